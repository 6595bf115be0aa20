#include "ProgramRig.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <iostream>
#include <gtest/gtest.h>

namespace {

constexpr int PollMs = 100;

// The answer of `xdotool search` for one title: 0 found, 1 positively none, else unknown.
ToolRun searchWindow(const QString &title, const QStringList &then)
{
    return runTool(QStringLiteral("xdotool"),
                   QStringList{QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
                               QStringLiteral("^%1$").arg(title)} + then);
}

} // namespace

int budgetMs()
{
    const double scale = qEnvironmentVariable("E2E_TIME_SCALE", QStringLiteral("1")).toDouble();
    return int(20000 * (scale > 0 ? scale : 1));
}

ToolRun runTool(const QString &program, const QStringList &arguments, int timeoutMs)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished(1000);
        return {};
    }
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, process.readAllStandardOutput()};
}

ProgramRig::ProgramRig()
{
    for (const char *folder : {"home", "config", "cache", "data", "runtime", "tmp"})
        QDir(dir_.path()).mkdir(QLatin1String(folder));
    QFile::setPermissions(path(QStringLiteral("runtime")), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QFile::copy(QStringLiteral(SLIDESHOW_SAVER_PATH), path(QStringLiteral("slideshow-saver")));
    QFile::setPermissions(path(QStringLiteral("slideshow-saver")), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

ProgramRig::~ProgramRig()
{
    if (::testing::Test::HasFailure()) {
        const auto *test = ::testing::UnitTest::GetInstance()->current_test_info();
        const QString name = QStringLiteral("failed-%1.%2").arg(QLatin1String(test->test_suite_name()), QLatin1String(test->name()));
        keep(screenshot(), name);
        const ToolRun windows = runTool(QStringLiteral("xdotool"), {"search", "--onlyvisible", "--name", ".", "getwindowname", "%@"});
        std::cout << "kept " << E2E_SHOTS_DIR << "/" << name.toStdString() << ".png; visible windows:\n"
                  << windows.output.toStdString() << std::flush;
    }
    for (auto &process : processes_)
        if (process->state() != QProcess::NotRunning) {
            process->kill();
            process->waitForFinished(5000);
        }
}

QProcess &ProgramRig::start(const QStringList &arguments, const QStringList &extraEnvironment)
{
    auto process = std::make_unique<QProcess>();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    const std::pair<const char *, const char *> own[] = {{"HOME", "home"},           {"XDG_CONFIG_HOME", "config"},
                                                         {"XDG_CACHE_HOME", "cache"}, {"XDG_DATA_HOME", "data"},
                                                         {"XDG_RUNTIME_DIR", "runtime"}, {"TMPDIR", "tmp"}};
    for (const auto &[variable, folder] : own)
        environment.insert(QLatin1String(variable), path(QLatin1String(folder)));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    for (const QString &setting : extraEnvironment)
        environment.insert(setting.section(QLatin1Char('='), 0, 0), setting.section(QLatin1Char('='), 1));
    process->setProcessEnvironment(environment);
    process->setWorkingDirectory(dir_.path());
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->start(path(QStringLiteral("slideshow-saver")), arguments);
    process->waitForStarted(budgetMs());
    processes_.push_back(std::move(process));
    return *processes_.back();
}

bool ProgramRig::waitFor(const char *what, const std::function<bool()> &condition)
{
    QElapsedTimer timer;
    timer.start();
    int held = 0;
    while (timer.elapsed() < budgetMs()) {
        held = condition() ? held + 1 : 0;
        if (held == 2)
            return true;
        QThread::msleep(PollMs); // a real program under a real X server: poll, with a deadline
    }
    std::cout << "gave up after " << timer.elapsed() << " ms waiting for " << what << "\n";
    return false;
}

bool ProgramRig::retryUntil(const char *what, const std::function<void()> &action, const std::function<bool()> &condition)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < budgetMs()) {
        action();
        for (int k = 0; k < 10; ++k, QThread::msleep(PollMs))
            if (condition())
                return true;
    }
    std::cout << "gave up after " << timer.elapsed() << " ms repeating until " << what << "\n";
    return false;
}

bool ProgramRig::hasEnded(QProcess &process)
{
    // The end is only noticed inside a wait.
    return process.state() == QProcess::NotRunning || process.waitForFinished(PollMs);
}

bool ProgramRig::endedCleanly(QProcess &process)
{
    if (process.state() != QProcess::NotRunning && !process.waitForFinished(budgetMs()))
        return false;
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

QImage ProgramRig::screenshot()
{
    const ToolRun import = runTool(QStringLiteral("import"), {"-silent", "-window", "root", "png:-"});
    return QImage::fromData(import.output, "PNG").convertToFormat(QImage::Format_RGB32);
}

void ProgramRig::keep(const QImage &shot, const QString &name)
{
    QDir().mkpath(QStringLiteral(E2E_SHOTS_DIR));
    shot.save(QDir(QStringLiteral(E2E_SHOTS_DIR)).filePath(name + QStringLiteral(".png")));
}

void ProgramRig::xdotool(const QStringList &arguments)
{
    runTool(QStringLiteral("xdotool"), arguments);
}

void ProgramRig::click(QPoint at)
{
    xdotool({"mousemove", QString::number(at.x()), QString::number(at.y()), "click", "1"});
}

std::optional<QRect> ProgramRig::window(const QString &title)
{
    const ToolRun search = searchWindow(title, {"getwindowgeometry", "--shell"});
    if (search.exitCode != 0)
        return std::nullopt;
    QRect geometry;
    for (const QByteArray &line : search.output.split('\n')) {
        const int value = line.mid(line.indexOf('=') + 1).toInt();
        if (line.startsWith("X=")) geometry.moveLeft(value);
        if (line.startsWith("Y=")) geometry.moveTop(value);
        if (line.startsWith("WIDTH=")) geometry.setWidth(value);
        if (line.startsWith("HEIGHT=")) geometry.setHeight(value);
    }
    return geometry;
}

bool ProgramRig::windowGone(const QString &title)
{
    return searchWindow(title, {}).exitCode == 1;
}

bool near(QRgb a, QRgb b, int tolerance)
{
    return std::abs(qRed(a) - qRed(b)) <= tolerance && std::abs(qGreen(a) - qGreen(b)) <= tolerance
        && std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}
