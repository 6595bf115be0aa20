// Runs the slide show's twelve transition choices at full HD and 4K with the real
// clock and event loop, presenting into a SurfaceView, and prints what each costs and
// how many frames a second reached the screen; --tsv prints the rows tab-separated.
// Prints figures only; it never fails.

#include "window/EventYield.h"
#include "raster/Surface.h"
#include "window/SurfaceView.h"
#include "window/TickClock.h"
#include "transitions/modTransition.h"

#include <QApplication>
#include <QPainter>
#include <QPaintEvent>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <functional>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

double CpuMilliseconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// Times every drawn pass from the end of the previous yield to the end of the yield
// that follows it, so a pass's cost holds its drawing, its refresh and the repaint.
class TimingYield final : public EventYield
{
public:
    explicit TimingYield(EventYield &inner) : inner_(inner) {}

    void DoEvents() override
    {
        inner_.DoEvents();
        const auto now = Clock::now();
        passCosts.push_back(Milliseconds(now - passStart_));
        passStart_ = now;
    }
    void DoEventsUntil(std::int64_t dueTick) override
    {
        inner_.DoEventsUntil(dueTick);
        passStart_ = Clock::now();
    }
    void start()
    {
        passCosts.clear();
        passStart_ = Clock::now();
    }

    std::vector<double> passCosts;

private:
    EventYield &inner_;
    Clock::time_point passStart_;
};

// Smooth gradients with a grid, so scaled copies do real averaging work.
QImage Picture(int width, int height, bool warm)
{
    QImage image(width, height, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, width, height);
    gradient.setColorAt(0, warm ? QColor(250, 120, 30) : QColor(20, 60, 200));
    gradient.setColorAt(1, warm ? QColor(90, 10, 60) : QColor(30, 220, 160));
    painter.fillRect(image.rect(), gradient);
    painter.setPen(QPen(Qt::white, 3));
    for (int x = 0; x < width; x += 97)
        painter.drawLine(x, 0, x, height);
    for (int y = 0; y < height; y += 89)
        painter.drawLine(0, y, width, y);
    return image;
}

struct Choice
{
    int number;
    const char *call;
    int interval; // -1 keeps the interval of the choice before
    std::function<void(modTransition &, Surface &, const Surface &, const Surface &)> run;
};

const std::vector<Choice> &Choices()
{
    static const std::vector<Choice> choices{
        {1, "CrossSlide 2,3", -1, [](auto &t, auto &d, auto &o, auto &n) { t.CrossSlide(d, o, n, 2, 3); }},
        {2, "CombWipe 2,3,10", 1, [](auto &t, auto &d, auto &, auto &n) { t.CombWipe(d, n, 2, 3, 10, true); }},
        {3, "CombSlide 1,4,10", 1, [](auto &t, auto &d, auto &, auto &n) { t.CombSlide(d, n, 1, 4, 10, true); }},
        {4, "Blinds 8,1,20", 30, [](auto &t, auto &d, auto &, auto &n) { t.Blinds(d, n, 8, 1, 20, 0); }},
        {5, "CombSlide 1,4,10", 1, [](auto &t, auto &d, auto &, auto &n) { t.CombSlide(d, n, 1, 4, 10, true); }},
        {6, "RandomLines 1,0", 1, [](auto &t, auto &d, auto &, auto &n) { t.RandomLines(d, n, 1, 0); }},
        {7, "CrossSlide 4,1", 1, [](auto &t, auto &d, auto &o, auto &n) { t.CrossSlide(d, o, n, 4, 1); }},
        {8, "StretchIn 2,1,0,0", 1, [](auto &t, auto &d, auto &o, auto &n) { t.StretchIn(d, o, n, 2, 1, 0, 0); }},
        {9, "StretchDoors 2,1,0,0", 1, [](auto &t, auto &d, auto &o, auto &n) { t.StretchDoors(d, o, n, 2, 1, 0, 0); }},
        {10, "Wipe 8,1", 1, [](auto &t, auto &d, auto &, auto &n) { t.Wipe(d, n, 8, 1); }},
        {11, "DoorsClose 1,1", 1, [](auto &t, auto &d, auto &, auto &n) { t.DoorsClose(d, n, 1, 1); }},
        {12, "DoorsOpen 1,1", 1, [](auto &t, auto &d, auto &, auto &n) { t.DoorsOpen(d, n, 1, 1); }},
        // Choice 1 again, at the interval the other choices use.
        {1, "CrossSlide 2,3", 1, [](auto &t, auto &d, auto &o, auto &n) { t.CrossSlide(d, o, n, 2, 3); }},
    };
    return choices;
}

void Measure(int width, int height, bool tsv)
{
    SteadyTickClock clock;
    QtEventYield qtYield(clock);
    TimingYield yield(qtYield);
    modTransition transitions(clock, yield);

    Surface destination(width, height);
    Surface oldPicture(width, height);
    Surface newPicture(width, height);
    const QImage oldImage = Picture(width, height, false);
    const QImage newImage = Picture(width, height, true);
    oldPicture.setPicture(oldImage);
    newPicture.setPicture(newImage);

    SurfaceView view(destination, nullptr, SurfaceView::Pixels::Device);
    view.fitToSurface();
    view.show();
    // Counts the frames that reach the screen.
    int frames = 0;
    QObject::connect(&view, &SurfaceView::framePresented, [&frames] { ++frames; });

    for (const Choice &choice : Choices()) {
        // As the slide show leaves it: the destination shows the previous slide in pixels
        // of its own.
        frames = 0;
        destination.setPicture(oldImage);
        destination.detachDrawing();
        // The screen shows it before the effect starts, so that frame is not the effect's. A
        // view that shows nothing for five seconds has its row start anyway, and is named.
        const auto shownBy = clock.GetTickCount() + 5000;
        while (frames == 0 && clock.GetTickCount() < shownBy)
            qtYield.DoEventsUntil(clock.GetTickCount() + 100);
        if (frames == 0)
            std::fprintf(stderr, "%s: the previous picture never reached the screen\n", choice.call);
        if (choice.interval >= 0)
            transitions.StepInterval = choice.interval;
        // Slides are seconds apart, so an effect's first pass is due at once: it does not
        // wait out an interval that began in the row before.
        while (clock.GetTickCount() < transitions.lastStepTick() + transitions.StepInterval)
            qtYield.DoEventsUntil(transitions.lastStepTick() + transitions.StepInterval);

        yield.start();
        frames = 0;
        const double cpuStart = CpuMilliseconds();
        const auto wallStart = Clock::now();
        choice.run(transitions, destination, oldPicture, newPicture);
        const double wall = Milliseconds(Clock::now() - wallStart);
        const double cpu = CpuMilliseconds() - cpuStart;

        std::vector<double> costs = yield.passCosts;
        std::sort(costs.begin(), costs.end());
        const std::size_t passes = costs.size();
        double mean = 0;
        for (const double c : costs)
            mean += c;
        mean = passes ? mean / double(passes) : 0;
        const double p99 = passes ? costs[std::min(passes - 1, passes * 99 / 100)] : 0;
        const int interval = transitions.StepInterval;
        const double ideal = double(passes) * interval;
        const double ratio = ideal > 0 ? wall / ideal : 0;
        const double fps = wall > 0 ? frames * 1000.0 / wall : 0;
        const double cpuPerWall = wall > 0 ? cpu / wall : 0;
        if (tsv) {
            std::printf("%dx%d\t%d\t%s\t%d\t%zu\t%.0f\t%.0f\t%.3f\t%.1f\t%.0f\t%.3f\n", width, height, choice.number,
                        choice.call, interval, passes, wall, ideal, ratio, fps, cpu, cpuPerWall);
        } else {
            char ratioText[16] = "-";
            if (ideal > 0)
                std::snprintf(ratioText, sizeof ratioText, "%.2f", ratio);
            std::printf("%4dx%-4d %2d %-22s %3d %6zu %8.3f %8.3f %9.0f %9.0f %6s %5.1f %9.0f %5.2f\n", width, height,
                        choice.number, choice.call, interval, passes, mean, p99, wall, ideal, ratioText, fps, cpu,
                        cpuPerWall);
        }
        std::fflush(stdout);
    }
}

}

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const bool tsv = QCoreApplication::arguments().contains(QStringLiteral("--tsv"));
    if (tsv) {
        std::printf("size\tchoice\tcall\tinterval\tpasses\twall_ms\tideal_ms\tratio\tfps\tcpu_ms\tcpu_per_wall\n");
    } else {
        std::printf("platform: %s\n", qPrintable(QGuiApplication::platformName()));
        std::printf("size      #  call                   int passes  mean ms   p99 ms   wall ms  ideal ms  ratio   fps    cpu ms "
                    "cpu/wall\n");
    }
    for (const auto &[width, height] : {std::pair{1920, 1080}, std::pair{3840, 2160}})
        Measure(width, height, tsv);
    return 0;
}
