#pragma once

#include <QImage>
#include <QProcess>
#include <QRect>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <optional>

// Every wait gets the same budget, and every tool its timeout, scaled by E2E_TIME_SCALE (default 1) on slow machines.
[[nodiscard]] int budgetMs();

// An external tool run to its end or killed at the (scaled) timeout; exitCode is -1 then.
struct ToolRun
{
    int exitCode = -1;
    QByteArray output;
};
ToolRun runTool(const QString &program, const QStringList &arguments, int timeoutMs = 10000);

// A program folder of its own (the program, settings.xml, pictures, HOME and XDG folders)
// and the real program started there under the test's X server. A failed test leaves a
// screenshot and prints the windows it saw.
class ProgramRig
{
public:
    ProgramRig();
    ~ProgramRig();

    [[nodiscard]] QString folder() const { return dir_.path(); }
    [[nodiscard]] QString path(const QString &name) const { return dir_.filePath(name); }
    QProcess &start(const QStringList &arguments, const QStringList &environment = {});
    // Any program, with the same environment and clean-up as the program under test.
    QProcess &launch(const QString &program, const QStringList &arguments, const QStringList &environment = {});

    // True once the condition has held on two polls in a row, within the budget.
    static bool waitFor(const char *what, const std::function<bool()> &condition);
    // The same, repeating an action that may safely be repeated every second meanwhile.
    static bool retryUntil(const char *what, const std::function<void()> &action, const std::function<bool()> &condition);
    // True when the process ended by itself with status 0, within the budget.
    static bool endedCleanly(QProcess &process);
    // The same, repeating an input (a key, a mouse move) every second until the process ends.
    static bool endsOn(QProcess &process, const char *what, const std::function<void()> &input);

    [[nodiscard]] static QImage screenshot();
    static void xdotool(const QStringList &arguments);
    static void click(QPoint at);
    // The geometry of the visible window with this title; nullopt when the tool says there is none.
    [[nodiscard]] static std::optional<QRect> window(const QString &title);
    [[nodiscard]] static bool windowGone(const QString &title);

private:
    QTemporaryDir dir_;
    std::vector<std::unique_ptr<QProcess>> processes_;
};

inline const QRgb Green = qRgb(0, 128, 0), Red = qRgb(255, 0, 0);

[[nodiscard]] bool near(QRgb a, QRgb b, int tolerance = 8);
// True when the shot shows exactly `inside` just within the picture's four corners and
// nearly `outside` (edges blend) just above and below it.
[[nodiscard]] bool showsPicture(const QImage &shot, const QRect &picture, QRgb inside = Red, QRgb outside = Green);
