#pragma once

#include "support/ImageDifference.h"
#include "support/SettingsXml.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QDeadlineTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <functional>
#include <gtest/gtest.h>
#include <iostream>
#include <list>
#include <optional>

// Every wait's budget and every tool's timeout grow with E2E_TIME_SCALE (1 and up) on slow machines.
inline int scaled(int ms) { return int(ms * std::max(1.0, qEnvironmentVariable("E2E_TIME_SCALE").toDouble())); }
inline const int BudgetMs = scaled(20000), PollMs = 100;

// An external tool run to its end; killed at its timeout, it reports exit code -1.
struct ToolRun { int exitCode = -1; QByteArray output; };
inline ToolRun runTool(const QString &program, const QStringList &arguments, int timeoutMs = 10000)
{
    QProcess process;
    process.start(program, arguments);
    const bool ended = process.waitForFinished(scaled(timeoutMs)) && process.exitStatus() == QProcess::NormalExit;
    return ended ? ToolRun{process.exitCode(), process.readAllStandardOutput()} : ToolRun{}; // going, QProcess kills what still runs
}

inline void xdotool(const QStringList &arguments) { runTool("xdotool", arguments); }
inline void click(QPoint at) { xdotool({"mousemove", QString::number(at.x()), QString::number(at.y()), "click", "1"}); }
inline QImage screenshot() { return QImage::fromData(runTool("import", {"-silent", "-window", "root", "png:-"}).output).convertToFormat(QImage::Format_RGB32); }
// `xdotool search` for a visible window of exactly this title exits 0 when it found one and 1 when there is none.
inline ToolRun searchWindow(const QString &title, const QStringList &then = {})
{
    return runTool("xdotool", QStringList{"search", "--onlyvisible", "--name", QStringLiteral("^%1$").arg(title)} + then);
}

// True once the condition has held on two polls in a row within the budget; the action, which must be
// safe to repeat, runs every second meanwhile.
inline bool waitFor(const char *what, const std::function<bool()> &condition, const std::function<void()> &action = [] {})
{
    const QDeadlineTimer deadline(BudgetMs);
    for (int poll = 0, held = 0; !deadline.hasExpired(); ++poll, QThread::msleep(PollMs)) {
        if (poll % 10 == 0)
            action();
        if ((held = condition() ? held + 1 : 0) == 2)
            return true;
    }
    std::cout << "gave up after " << BudgetMs << " ms waiting for " << what << "\n";
    return false;
}
// True when the process ends by itself with status 0 within the budget; the input is repeated every second until then.
inline bool endsCleanly(QProcess &process, const std::function<void()> &input = [] {})
{
    waitFor("the process to end", [&] { return process.state() == QProcess::NotRunning || process.waitForFinished(PollMs); }, input);
    return process.state() == QProcess::NotRunning && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}
// Where the visible window with this title sits, once it has stayed there on a few polls.
inline std::optional<QPoint> waitForWindow(const QString &title)
{
    QByteArray seen;
    const bool settled = waitFor(qPrintable(title), [&] {
        const ToolRun search = searchWindow(title, {"getwindowgeometry", "--shell"});
        return std::exchange(seen, search.output) == search.output && search.exitCode == 0;
    });
    const QRegularExpressionMatch at = QRegularExpression("\nX=(\\d+)\nY=(\\d+)\n").match(QString::fromLatin1(seen));
    return settled && at.hasMatch() ? std::optional(QPoint(at.captured(1).toInt(), at.captured(2).toInt())) : std::nullopt;
}

// The setup dialog's Apply and OK in its client area, from their twips positions (Frame1 sits 120 twips up).
inline const QPoint Apply(404, 380), Ok(340, 380);

inline const QRgb Green = qRgb(0, 128, 0), Red = qRgb(255, 0, 0);
inline bool near(QRgb a, QRgb b, int tolerance = 8) { return colourDistance(a, b) <= tolerance; }
// True when the shot shows exactly red just within the picture's four corners and nearly green (edges blend) just above and below it.
inline bool showsPicture(const QImage &shot, const QRect &picture)
{
    const QRect within = picture.adjusted(2, 2, -2, -2);
    const auto red = [&](QPoint p) { return shot.valid(p) && shot.pixel(p) == Red; };
    return red(within.topLeft()) && red(within.topRight()) && red(within.bottomLeft()) && red(within.bottomRight())
        && near(shot.pixel(within.left(), picture.top() - 3), Green) && near(shot.pixel(within.right(), picture.bottom() + 3), Green);
}

// A folder of its own (a copy of the program, settings.xml, pictures, HOME and the XDG folders) and the processes
// started there under the test's X server. A failed test keeps a screenshot and prints the windows it saw.
struct ProgramRig
{
    ProgramRig()
    {
        for (const char *folder : {"home", "config", "cache", "data", "runtime", "tmp"})
            QDir(dir.path()).mkdir(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QFile::copy(SLIDESHOW_SAVER_PATH, path("slideshow-saver"));
    }
    ~ProgramRig()
    {
        if (::testing::Test::HasFailure()) {
            const auto *test = ::testing::UnitTest::GetInstance()->current_test_info();
            const QString shot = QStringLiteral(E2E_SHOTS_DIR "/failed-%1.%2.png").arg(test->test_suite_name(), test->name());
            screenshot().save(shot);
            std::cout << "kept " << shot.toStdString() << "; visible windows:\n"
                      << runTool("xdotool", {"search", "--onlyvisible", "--name", ".", "getwindowname", "%@"}).output.toStdString();
        } // going, each QProcess kills and reaps what still runs
    }

    [[nodiscard]] QString path(const QString &name) const { return dir.filePath(name); }
    QProcess &start(const QStringList &arguments, const QStringList &environment = {}) { return launch(path("slideshow-saver"), arguments, environment); }
    // Any program, in the same folders and with the same clean-up; `environment` holds NAME=VALUE overrides.
    QProcess &launch(const QString &program, const QStringList &arguments, const QStringList &environment = {})
    {
        QProcessEnvironment own = QProcessEnvironment::systemEnvironment();
        for (const QString &setting : QStringList{"HOME=" + path("home"), "XDG_CONFIG_HOME=" + path("config"), "XDG_CACHE_HOME=" + path("cache"),
                                                  "XDG_DATA_HOME=" + path("data"), "XDG_RUNTIME_DIR=" + path("runtime"),
                                                  "TMPDIR=" + path("tmp"), "QT_QPA_PLATFORM=xcb"} + environment)
            own.insert(setting.section('=', 0, 0), setting.section('=', 1));
        QProcess &process = processes.emplace_back();
        process.setProcessEnvironment(own);
        process.setWorkingDirectory(dir.path());
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel); // a helper's output stays readable
        process.start(program, arguments);
        process.waitForStarted(BudgetMs);
        return process;
    }

    QTemporaryDir dir;
    std::list<QProcess> processes; // a list, so each process stays where its reference points
};
