#include "ProgramRig.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>

ProgramRig::ProgramRig()
{
    QFile::copy(QStringLiteral(SLIDESHOW_SAVER_PATH), dir_.filePath(QStringLiteral("slideshow-saver")));
    QFile::setPermissions(dir_.filePath(QStringLiteral("slideshow-saver")), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

ProgramRig::~ProgramRig()
{
    for (auto &process : processes_)
        if (process->state() != QProcess::NotRunning) {
            process->kill();
            process->waitForFinished(2000);
        }
}

QString ProgramRig::picture(const QString &name, QRgb colour, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    const QString file = dir_.filePath(name);
    image.save(file);
    return file;
}

void ProgramRig::writeSettings(const QString &timer, int background, int transition, const QString &size, const QStringList &files)
{
    QString entries;
    for (const QString &file : files)
        entries += QStringLiteral("<file>%1</file>").arg(file.toHtmlEscaped());
    writeFile(QStringLiteral("settings.xml"),
              QStringLiteral("<?xml version=\"1.0\"?>\n<!-- e2e -->\n<settings><timer>%1</timer><background>%2</background>"
                             "<transition>%3</transition><imagesize>%4</imagesize><extra>kept</extra><files>%5</files></settings>\n")
                  .arg(timer)
                  .arg(background)
                  .arg(transition)
                  .arg(size, entries)
                  .toUtf8());
}

void ProgramRig::writeFile(const QString &name, const QByteArray &content)
{
    QFile file(dir_.filePath(name));
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(content);
}

QByteArray ProgramRig::readFile(const QString &name) const
{
    QFile file(dir_.filePath(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QProcess &ProgramRig::start(const QStringList &arguments, const QStringList &extraEnvironment)
{
    return launch(dir_.filePath(QStringLiteral("slideshow-saver")), arguments, extraEnvironment);
}

QProcess &ProgramRig::launch(const QString &program, const QStringList &arguments, const QStringList &extraEnvironment)
{
    auto process = std::make_unique<QProcess>();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    for (const QString &setting : extraEnvironment)
        environment.insert(setting.section(QLatin1Char('='), 0, 0), setting.section(QLatin1Char('='), 1));
    process->setProcessEnvironment(environment);
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process->start(program, arguments);
    process->waitForStarted();
    processes_.push_back(std::move(process));
    return *processes_.back();
}

bool ProgramRig::endsCleanly(QProcess &process, int milliseconds)
{
    if (process.state() != QProcess::NotRunning && !process.waitForFinished(milliseconds))
        return false;
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

bool ProgramRig::waitUntil(const std::function<bool()> &condition, int milliseconds)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > milliseconds)
            return false;
        QThread::msleep(40); // a real program under a real X server: poll, with a deadline
    }
    return true;
}

QImage ProgramRig::screenshot()
{
    QProcess import;
    import.start(QStringLiteral("import"), {QStringLiteral("-silent"), QStringLiteral("-window"), QStringLiteral("root"), QStringLiteral("png:-")});
    import.waitForFinished(10000);
    return QImage::fromData(import.readAllStandardOutput(), "PNG").convertToFormat(QImage::Format_RGB32);
}

void ProgramRig::keep(const QImage &shot, const QString &name)
{
    QDir().mkpath(QStringLiteral(E2E_SHOTS_DIR));
    shot.save(QDir(QStringLiteral(E2E_SHOTS_DIR)).filePath(name + QStringLiteral(".png")));
}

void ProgramRig::xdotool(const QStringList &arguments)
{
    QProcess::execute(QStringLiteral("xdotool"), arguments);
}

std::optional<QRect> ProgramRig::windowGeometry(const QString &title)
{
    QProcess search;
    search.start(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
                                             QStringLiteral("^%1$").arg(title), QStringLiteral("getwindowgeometry"), QStringLiteral("--shell")});
    search.waitForFinished(5000);
    const QString out = QString::fromUtf8(search.readAllStandardOutput());
    QRect geometry;
    bool found = false;
    for (const QString &line : out.split(QLatin1Char('\n'))) {
        const QString value = line.section(QLatin1Char('='), 1);
        if (line.startsWith(QLatin1String("X="))) geometry.moveLeft(value.toInt()), found = true;
        if (line.startsWith(QLatin1String("Y="))) geometry.moveTop(value.toInt());
        if (line.startsWith(QLatin1String("WIDTH="))) geometry.setWidth(value.toInt());
        if (line.startsWith(QLatin1String("HEIGHT="))) geometry.setHeight(value.toInt());
    }
    if (!found)
        return std::nullopt;
    return geometry;
}

bool near(QRgb a, QRgb b, int tolerance)
{
    return std::abs(qRed(a) - qRed(b)) <= tolerance && std::abs(qGreen(a) - qGreen(b)) <= tolerance
        && std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}
