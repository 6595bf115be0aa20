#pragma once

#include <QImage>
#include <QProcess>
#include <QRect>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <optional>

// A program folder of its own (the program, settings.xml, pictures) and the real
// program started there under the test's X server.
class ProgramRig
{
public:
    ProgramRig();
    ~ProgramRig();

    [[nodiscard]] QString folder() const { return dir_.path(); }
    [[nodiscard]] QString path(const QString &name) const { return dir_.filePath(name); }
    QString picture(const QString &name, QRgb colour, QSize size);
    void writeSettings(const QString &timer, int background, int transition, const QString &size, const QStringList &files);
    void writeFile(const QString &name, const QByteArray &content);
    [[nodiscard]] QByteArray readFile(const QString &name) const;

    QProcess &start(const QStringList &arguments, const QStringList &environment = {});
    // Any program, with the same environment and clean-up as the program under test.
    QProcess &launch(const QString &program, const QStringList &arguments, const QStringList &environment = {});
    // True when the process ended with status 0 within the time.
    [[nodiscard]] static bool endsCleanly(QProcess &process, int milliseconds);

    static bool waitUntil(const std::function<bool()> &condition, int milliseconds);
    [[nodiscard]] static QImage screenshot();
    // Keeps a screenshot under the build tree, to be looked at.
    static void keep(const QImage &shot, const QString &name);
    static void xdotool(const QStringList &arguments);
    [[nodiscard]] static std::optional<QRect> windowGeometry(const QString &title);

private:
    QTemporaryDir dir_;
    std::vector<std::unique_ptr<QProcess>> processes_;
};

[[nodiscard]] bool near(QRgb a, QRgb b, int tolerance = 8);
