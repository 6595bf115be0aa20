#include "ProgramRig.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <gtest/gtest.h>
#include <iostream>

namespace {

constexpr int PollMs = 100;
constexpr QFile::Permissions OwnerOnly = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;

// `xdotool search` for one title exits 0 when it found the window and 1 when there is none.
ToolRun searchWindow(const QString &title, const QStringList &then)
{
    return runTool("xdotool", QStringList{"search", "--onlyvisible", "--name", QStringLiteral("^%1$").arg(title)} + then);
}

double timeScale()
{
    const double scale = qEnvironmentVariable("E2E_TIME_SCALE", "1").toDouble();
    return scale > 0 ? scale : 1;
}

} // namespace

int budgetMs()
{
    return int(20000 * timeScale());
}

ToolRun runTool(const QString &program, const QStringList &arguments, int timeoutMs)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(int(timeoutMs * timeScale()))) {
        process.kill();
        process.waitForFinished(1000);
        return {};
    }
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, process.readAllStandardOutput()};
}

ProgramRig::ProgramRig()
{
    for (const char *folder : {"home", "config", "cache", "data", "runtime", "tmp"})
        QDir(dir_.path()).mkdir(folder);
    QFile::setPermissions(path("runtime"), OwnerOnly);
    QFile::copy(SLIDESHOW_SAVER_PATH, path("slideshow-saver"));
    QFile::setPermissions(path("slideshow-saver"), OwnerOnly);
}

ProgramRig::~ProgramRig()
{
    if (::testing::Test::HasFailure()) {
        const auto *test = ::testing::UnitTest::GetInstance()->current_test_info();
        const QString name = QStringLiteral("failed-%1.%2").arg(test->test_suite_name(), test->name());
        QDir().mkpath(E2E_SHOTS_DIR);
        screenshot().save(QDir(E2E_SHOTS_DIR).filePath(name + ".png"));
        std::cout << "kept " << E2E_SHOTS_DIR << "/" << name.toStdString() << ".png; visible windows:\n"
                  << runTool("xdotool", {"search", "--onlyvisible", "--name", ".", "getwindowname", "%@"}).output.toStdString();
    }
    for (auto &process : processes_)
        if (process->state() != QProcess::NotRunning) {
            process->kill();
            process->waitForFinished(5000);
        }
}

QProcess &ProgramRig::start(const QStringList &arguments, const QStringList &extraEnvironment)
{
    return launch(path("slideshow-saver"), arguments, extraEnvironment);
}

QProcess &ProgramRig::launch(const QString &program, const QStringList &arguments, const QStringList &extraEnvironment)
{
    auto process = std::make_unique<QProcess>();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    const std::pair<const char *, const char *> own[] = {{"HOME", "home"},         {"XDG_CONFIG_HOME", "config"},
                                                         {"XDG_CACHE_HOME", "cache"}, {"XDG_DATA_HOME", "data"},
                                                         {"XDG_RUNTIME_DIR", "runtime"}, {"TMPDIR", "tmp"}};
    for (const auto &[variable, folder] : own)
        environment.insert(variable, path(folder));
    environment.insert("QT_QPA_PLATFORM", "xcb");
    for (const QString &setting : extraEnvironment)
        environment.insert(setting.section('=', 0, 0), setting.section('=', 1));
    process->setProcessEnvironment(environment);
    process->setWorkingDirectory(dir_.path());
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel); // a helper's output stays readable
    process->start(program, arguments);
    process->waitForStarted(budgetMs());
    processes_.push_back(std::move(process));
    return *processes_.back();
}

bool ProgramRig::waitFor(const char *what, const std::function<bool()> &condition)
{
    return retryUntil(what, [] {}, condition);
}

bool ProgramRig::retryUntil(const char *what, const std::function<void()> &action, const std::function<bool()> &condition)
{
    QElapsedTimer timer;
    timer.start();
    int held = 0;
    for (int poll = 0; timer.elapsed() < budgetMs(); ++poll, QThread::msleep(PollMs)) {
        if (poll % 10 == 0)
            action();
        held = condition() ? held + 1 : 0;
        if (held == 2) // a state seen twice in a row has settled
            return true;
    }
    std::cout << "gave up after " << timer.elapsed() << " ms waiting for " << what << "\n";
    return false;
}

bool ProgramRig::endsOn(QProcess &process, const char *what, const std::function<void()> &input)
{
    // The end is only noticed inside a wait.
    const auto ended = [&] { return process.state() == QProcess::NotRunning || process.waitForFinished(PollMs); };
    return retryUntil(what, input, ended) && endedCleanly(process);
}

bool ProgramRig::endedCleanly(QProcess &process)
{
    if (process.state() != QProcess::NotRunning && !process.waitForFinished(budgetMs()))
        return false;
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

QImage ProgramRig::screenshot()
{
    const ToolRun import = runTool("import", {"-silent", "-window", "root", "png:-"});
    return QImage::fromData(import.output, "PNG").convertToFormat(QImage::Format_RGB32);
}

void ProgramRig::xdotool(const QStringList &arguments)
{
    runTool("xdotool", arguments);
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
    QMap<QByteArray, int> values;
    for (const QByteArray &line : search.output.split('\n'))
        values[line.left(line.indexOf('='))] = line.mid(line.indexOf('=') + 1).toInt();
    return QRect(values["X"], values["Y"], values["WIDTH"], values["HEIGHT"]);
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

bool showsPicture(const QImage &shot, const QRect &picture, QRgb inside, QRgb outside)
{
    const QRect within = picture.adjusted(2, 2, -2, -2);
    for (const QPoint p : {within.topLeft(), within.topRight(), within.bottomLeft(), within.bottomRight()})
        if (!shot.valid(p) || shot.pixel(p) != inside)
            return false;
    return near(shot.pixel(within.left(), picture.top() - 3), outside) && near(shot.pixel(within.right(), picture.bottom() + 3), outside);
}
