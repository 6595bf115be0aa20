#include "transitions/StepPainter.h"

#include "raster/Gdi.h"
#include "raster/Surface.h"

#include <QThreadPool>

#include <algorithm>
#include <memory>
#include <sys/resource.h>
#include <tuple>
#include <unistd.h>

namespace {

// The thread that makes frames behind the steps gives way at once to a step whose time
// has come, which would otherwise wait while that thread and the window system hold both
// cores. Nothing else Qt's pool runs is more urgent than a step, so the thread stays so.
void LowerThisThread()
{
    static thread_local const bool lowered = setpriority(PRIO_PROCESS, id_t(gettid()), 19) == 0;
    static_cast<void>(lowered);
}

// Steps of this many copies or fewer may cover one another; more are strips side by side.
constexpr std::size_t FewCopies = 4;

[[nodiscard]] bool InPlace(const StepCopy &copy)
{
    return copy.source == CopySource::NewPicture && !copy.stretched && copy.sourceX == copy.x
        && copy.sourceY == copy.y;
}

// What `current` adds to `previous` when that is one rectangle; otherwise all of `current`.
[[nodiscard]] StepCopy Growth(const StepCopy &previous, const StepCopy &current)
{
    if (previous.width <= 0 || previous.height <= 0)
        return current;
    const auto [x, y, w, h] = std::tuple(current.x, current.y, current.width, current.height);
    const auto [px, py, pw, ph] = std::tuple(previous.x, previous.y, previous.width, previous.height);
    if (px == x && pw == w && ph <= h) {
        if (py == y)
            return StepCopy::inPlace(x, y + ph, w, h - ph);
        if (py + ph == y + h)
            return StepCopy::inPlace(x, y, w, h - ph);
    }
    if (py == y && ph == h && pw <= w) {
        if (px == x)
            return StepCopy::inPlace(x + pw, y, w - pw, h);
        if (px + pw == x + w)
            return StepCopy::inPlace(x, y, w - pw, h);
    }
    return current;
}

}

StepPainter::StepPainter(Surface &destination, const Surface *oldPicture, const Surface &newPicture)
    : destination_(destination), oldPicture_(oldPicture), newPicture_(newPicture)
{
    Q_ASSERT(&newPicture != &destination && oldPicture != &destination);
}

StepPainter::~StepPainter()
{
    Surface::withdraw(this);
    settle();
}

const Surface &StepPainter::sourceOf(const StepCopy &copy) const
{
    return copy.source == CopySource::OldPicture ? *oldPicture_ : newPicture_;
}

void StepPainter::paint(const std::vector<StepCopy> &copies)
{
    const bool grows = continuesLastStep(copies);
    std::vector<Recorded> step;
    for (std::size_t n = 0; n < copies.size(); ++n) {
        const StepCopy copy = grows ? Growth(last_[n], copies[n]) : copies[n];
        const Surface &source = sourceOf(copy);
        const QRect area = copy.stretched
            ? StretchBltArea(destination_, copy.x, copy.y, copy.width, copy.height, source, copy.sourceX,
                             copy.sourceY, copy.sourceWidth, copy.sourceHeight)
            : BitBltArea(destination_, copy.x, copy.y, copy.width, copy.height, source, copy.sourceX, copy.sourceY);
        if (area.isEmpty())
            continue;
        if (copies.size() <= FewCopies)
            std::erase_if(step, [&](const Recorded &r) { return area.contains(r.area); });
        step.push_back({copy, area, n});
    }
    markChanged(step);
    // Grown parts are new pixels, apart from each other and from all recorded before them:
    // they cover nothing, and looking would cost more the longer the frame.
    if (!grows)
        dropCoveredBy(step, copies.size());
    recorded_.insert(recorded_.end(), step.begin(), step.end());
    last_ = copies;
    if (!recorded_.empty())
        Surface::defer(this);
    rememberKeys();
}

void StepPainter::dropCoveredBy(const std::vector<Recorded> &step, std::size_t copies)
{
    // Many copies are strips side by side, each covering at most its own earlier place: the
    // search stays in step with the number of strips, as a pass must take well under its interval.
    std::vector<QRect> at(copies);
    for (const Recorded &r : step)
        at[r.index] = r.area;
    // A few copies may tile the surface between them, as a cross slide's do.
    QRegion drawn;
    if (copies <= FewCopies)
        for (const Recorded &r : step)
            drawn += r.area;
    std::erase_if(recorded_, [&](const Recorded &earlier) {
        return (earlier.index < copies && at[earlier.index].contains(earlier.area))
            || (!drawn.isEmpty() && QRegion(earlier.area).subtracted(drawn).isEmpty());
    });
}

void StepPainter::markChanged(const std::vector<Recorded> &step)
{
    // Comb strips alternate between two sides: where one rectangle per side is mostly
    // drawn on, it is presented instead of a region of hundreds of strips.
    QRect sides[2];
    qint64 drawn[2] = {0, 0};
    for (std::size_t n = 0; n < step.size(); ++n) {
        sides[n % 2] |= step[n].area;
        drawn[n % 2] += qint64(step[n].area.width()) * step[n].area.height();
    }
    for (int side = 0; side < 2; ++side) {
        if (step.size() > FewCopies && 2 * drawn[side] >= qint64(sides[side].width()) * sides[side].height()) {
            destination_.markChanged(sides[side]);
            continue;
        }
        for (std::size_t n = std::size_t(side); n < step.size(); n += 2)
            destination_.markChanged(step[n].area);
    }
}

StepPainter::Batch StepPainter::takeRecorded()
{
    Batch batch;
    QImage &to = destination_.image();
    // Writes through this view of the pixels leave the destination's own image untouched,
    // so this thread may read its size and key while another makes the copies.
    batch.target = QImage(to.bits(), to.width(), to.height(), to.bytesPerLine(), QImage::Format_RGB32);
    batch.newPicture = newPicture_.image();
    if (oldPicture_)
        batch.oldPicture = oldPicture_->image();
    batch.smooth = destination_.stretchMode() == StretchMode::Halftone;
    batch.copies = std::exchange(recorded_, {});
    rememberKeys();
    return batch;
}

void StepPainter::make(Batch &batch)
{
    QImage &to = batch.target;
    const bool unscaled = std::none_of(batch.copies.begin(), batch.copies.end(),
                                       [](const Recorded &m) { return m.copy.stretched; });
    if (!unscaled) {
        for (const Recorded &m : batch.copies) {
            const StepCopy &c = m.copy;
            if (c.stretched)
                StretchImage(to, c.x, c.y, c.width, c.height, batch.sourceOf(c), c.sourceX, c.sourceY, c.sourceWidth,
                             c.sourceHeight, batch.smooth);
            else
                CopyPixels(to, m.area.topLeft(), batch.sourceOf(c), m.area.translated(c.sourceX - c.x, c.sourceY - c.y));
        }
        return;
    }
    // Many strips share the work best by rows: each core makes every copy within its own
    // half of the surface, in order, so overlapping copies still land as they would one by one.
    uchar *const toBits = to.bits();
    const qsizetype toStride = to.bytesPerLine();
    // Only what the copies move is worth a second core, not the surface they land on.
    qsizetype moved = 0;
    for (const Recorded &m : batch.copies)
        moved += qsizetype(m.area.width()) * m.area.height() * 4;
    SplitRows(to.height(), moved / qMax(1, to.height()), [&](int first, int end) {
        const QRect rows(0, first, to.width(), end - first);
        for (const Recorded &m : batch.copies) {
            const QRect part = m.area & rows;
            if (part.isEmpty())
                continue;
            const QPoint origin = part.topLeft() + QPoint(m.copy.sourceX - m.copy.x, m.copy.sourceY - m.copy.y);
            const QImage &source = batch.sourceOf(m.copy);
            const qsizetype fromStride = source.bytesPerLine();
            CopyRows(toBits + part.y() * toStride + qsizetype(part.x()) * 4, toStride,
                     source.constBits() + origin.y() * fromStride + qsizetype(origin.x()) * 4, fromStride,
                     part.height(), part.width());
        }
    });
}

void StepPainter::settle()
{
    finishBackground();
    if (recorded_.empty())
        return;
    Batch batch = takeRecorded();
    make(batch);
}

void StepPainter::settleInBackground(std::function<void()> made)
{
    finishBackground();
    if (recorded_.empty()) {
        made();
        return;
    }
    // Another thread makes the frame, keeping the thread that runs the steps free to run them
    // on time. It is one of Qt's own pool, where Qt's smooth scaling stays on that one thread
    // instead of taking every core from the steps.
    auto batch = std::make_shared<Batch>(takeRecorded());
    auto done = std::make_shared<std::promise<void>>();
    background_ = done->get_future();
    QThreadPool::globalInstance()->start([batch, done, made = std::move(made)] {
        LowerThisThread();
        make(*batch);
        // Told before the wait ends, so a view that waits as it dies is never called after.
        made();
        done->set_value();
    });
}

qint64 StepPainter::work() const
{
    // A stretch reads its whole source besides what it writes.
    qint64 pixels = 0;
    for (const Recorded &r : recorded_) {
        pixels += qint64(r.area.width()) * r.area.height();
        if (r.copy.stretched)
            pixels += qint64(qMax(0, r.copy.sourceWidth)) * qMax(0, r.copy.sourceHeight);
    }
    return pixels;
}

void StepPainter::discard()
{
    finishBackground();
    recorded_.clear();
    Surface::withdraw(this);
}

void StepPainter::finishBackground()
{
    if (background_.valid())
        background_.get();
}

void StepPainter::rememberKeys()
{
    // Any write to an image, ours included, changes its key; reading leaves it alone.
    destinationKey_ = destination_.drawingKey();
    newPictureKey_ = newPicture_.drawingKey();
}

bool StepPainter::continuesLastStep(const std::vector<StepCopy> &copies) const
{
    return !copies.empty() && copies.size() == last_.size() && destinationKey_ == destination_.drawingKey()
        && newPictureKey_ == newPicture_.drawingKey() && std::all_of(copies.begin(), copies.end(), InPlace)
        && std::all_of(last_.begin(), last_.end(), InPlace);
}
