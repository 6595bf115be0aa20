// Slide loading, tick latency, memory, start-up and idle cost of the slide show, on
// pictures of 2 to 50 megapixels that it generates itself, and the memory of the largest
// picture the program accepts. Prints figures only; it never fails.

#include "window/Dialogs.h"
#include "window/EventYield.h"
#include "raster/FitPicture.h"
#include "raster/PictureLoader.h"
#include "raster/Surface.h"
#include "transitions/RuntimeRandom.h"
#include "settings/SettingsDoc.h"
#include "slideshow/ShowChoices.h"
#include "slideshow/SlideShow.h"
#include "window/TickClock.h"
#include "transitions/modTransition.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#ifdef BENCH_HAVE_X11
#include "ScreenWatch.h"
#endif

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <functional>
#include <malloc.h>
#include <optional>
#include <random>
#include <signal.h>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

double Median(std::vector<double> values)
{
    if (values.empty())
        return -1;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// ---- memory

// A field of /proc/<pid>/status in kB, or -1.
long StatusKb(const std::string &pid, const char *field)
{
    std::ifstream status("/proc/" + pid + "/status");
    std::string line;
    const std::string key = std::string(field) + ":";
    while (std::getline(status, line))
        if (line.rfind(key, 0) == 0)
            return std::atol(line.c_str() + key.size());
    return -1;
}

double PeakMb()
{
    return StatusKb("self", "VmHWM") / 1024.0;
}

double ResidentMb()
{
    return StatusKb("self", "VmRSS") / 1024.0;
}

// Starts a fresh peak at the current resident size, so each phase shows its own peak.
bool ResetPeak()
{
    malloc_trim(0);
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
    clear.flush();
    return bool(clear);
}

// ---- pictures

struct PictureSize
{
    int megapixels;
    QSize size; // 3:2
};

PictureSize SizeFor(int megapixels)
{
    const int height = int(std::lround(std::sqrt(megapixels * 1e6 / 1.5)));
    return {megapixels, QSize(height * 3 / 2, height)};
}

// Sky and ground gradients, soft shapes, hard edges and sensor-like noise: what a
// camera picture offers the decoder and the smooth scale.
QImage PhotoLike(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    const qreal w = size.width();
    const qreal h = size.height();
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, h * 0.6);
    sky.setColorAt(0, QColor(38, 86, 168));
    sky.setColorAt(1, QColor(205, 214, 232));
    painter.fillRect(QRectF(0, 0, w, h * 0.6), sky);
    QLinearGradient ground(0, h * 0.6, w * 0.3, h);
    ground.setColorAt(0, QColor(96, 128, 52));
    ground.setColorAt(1, QColor(38, 48, 20));
    painter.fillRect(QRectF(0, h * 0.6, w, h * 0.4), ground);

    std::mt19937 random(20260101); // the same scene at every size
    std::uniform_real_distribution<qreal> unit(0, 1);
    auto colour = [&] { return QColor::fromHsvF(unit(random), 0.3 + 0.6 * unit(random), 0.3 + 0.7 * unit(random)); };
    for (int k = 0; k < 36; ++k) {
        const QPointF centre(unit(random) * w, unit(random) * h);
        const qreal radius = (0.02 + 0.12 * unit(random)) * w;
        QRadialGradient glow(centre, radius, centre - QPointF(radius / 3, radius / 3));
        glow.setColorAt(0, colour().lighter(150));
        glow.setColorAt(1, colour());
        painter.setPen(Qt::NoPen);
        painter.setBrush(glow);
        painter.drawEllipse(centre, radius, radius * (0.5 + unit(random)));
    }
    for (int k = 0; k < 24; ++k) {
        painter.save();
        painter.translate(unit(random) * w, unit(random) * h);
        painter.rotate(unit(random) * 90 - 45);
        painter.setPen(QPen(colour().darker(200), std::max(1.0, w / 1500)));
        painter.setBrush(colour());
        painter.drawRect(QRectF(0, 0, (0.03 + 0.1 * unit(random)) * w, (0.03 + 0.1 * unit(random)) * h));
        painter.restore();
    }
    painter.setPen(QPen(QColor(20, 20, 20), std::max(1.0, w / 3000)));
    for (int k = 0; k < 60; ++k)
        painter.drawLine(QPointF(unit(random) * w, unit(random) * h), QPointF(unit(random) * w, unit(random) * h));
    painter.end();

    std::uint32_t state = 0x9E3779B9u;
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            state ^= state << 13;
            state ^= state >> 17;
            state ^= state << 5;
            const int noise = int(state % 13) - 6;
            const QRgb p = line[x];
            line[x] = qRgb(std::clamp(qRed(p) + noise, 0, 255), std::clamp(qGreen(p) + noise, 0, 255),
                           std::clamp(qBlue(p) + noise, 0, 255));
        }
    }
    return image;
}

struct PictureFile
{
    int megapixels;
    QSize size;
    const char *format;
    QString path;
    double fileMb;
};

// The PNG coded by one of Debian's encoders into `out`, which the arguments name.
bool Encode(const char *program, const QStringList &arguments, const QString &out)
{
    const QString encoder = QStandardPaths::findExecutable(QLatin1String(program));
    if (encoder.isEmpty())
        return false;
    QProcess process;
    process.start(encoder, arguments);
    return process.waitForFinished(600000) && process.exitCode() == 0 && QFileInfo(out).size() > 0;
}

// HEIC as a phone writes it, from the PNG, by libheif's own encoder (libheif-examples).
bool EncodeHeic(const QString &png, const QString &heic)
{
    return Encode("heif-enc", {QStringLiteral("-q"), QStringLiteral("85"), QStringLiteral("-p"), QStringLiteral("preset=ultrafast"), png,
                               QStringLiteral("-o"), heic}, heic);
}

// AVIF in 4:2:0, as phones and browsers write it, at the encoder's fastest speed (libavif-bin).
bool EncodeAvif(const QString &png, const QString &avif)
{
    return Encode("avifenc", {QStringLiteral("-s"), QStringLiteral("10"), QStringLiteral("-j"), QStringLiteral("all"), QStringLiteral("-y"),
                              QStringLiteral("420"), png, avif}, avif);
}

// ---- HEIC in tiles, as phones write it

// Phones store large pictures as a grid of small coded tiles (HEVC's levels allow no single
// picture of 50 MP). Debian 12's heif-enc writes no grids, so each tile is coded by heif-enc
// on its own and the tiles are put together into one file here.
constexpr int TileSide = 512;

QByteArray BigEndian(quint32 value, int bytes)
{
    QByteArray out;
    for (int k = bytes - 1; k >= 0; --k)
        out += char((value >> (8 * k)) & 0xff);
    return out;
}

QByteArray Box(const char *type, const QByteArray &body)
{
    return BigEndian(quint32(8 + body.size()), 4) + QByteArray(type, 4) + body;
}

QByteArray FullBox(const char *type, int version, int flags, const QByteArray &body)
{
    return Box(type, BigEndian(quint32(version << 24 | flags), 4) + body);
}

// The body of the first box of the type among `boxes` (a run of boxes), searched through
// the containers on the way; `skip` bytes of a container's own fields come before its boxes.
std::optional<QByteArray> FindBox(const QByteArray &boxes, const char *type)
{
    const std::map<QByteArray, int> containers{{"meta", 4}, {"iprp", 0}, {"ipco", 0}};
    for (qsizetype at = 0; at + 8 <= boxes.size();) {
        const auto size = qsizetype(quint32(quint8(boxes[at])) << 24 | quint8(boxes[at + 1]) << 16 | quint8(boxes[at + 2]) << 8 | quint8(boxes[at + 3]));
        const QByteArray name = boxes.mid(at + 4, 4);
        if (size < 8 || at + size > boxes.size())
            return std::nullopt;
        if (name == type)
            return boxes.mid(at + 8, size - 8);
        if (const auto container = containers.find(name); container != containers.end())
            if (std::optional<QByteArray> inner = FindBox(boxes.mid(at + 8 + container->second, size - 8 - container->second), type))
                return inner;
        at += size;
    }
    return std::nullopt;
}

// heif-enc writes one picture: its coding configuration in the properties and its coded
// data alone in the media data.
struct CodedTile
{
    QByteArray config;
    QByteArray data;
};

std::optional<CodedTile> EncodeTile(const QImage &tile, const QDir &dir)
{
    const QString png = dir.filePath(QStringLiteral("tile.png")), heic = dir.filePath(QStringLiteral("tile.heic"));
    if (!tile.save(png) || !EncodeHeic(png, heic))
        return std::nullopt;
    QFile file(heic);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    std::optional<QByteArray> config = FindBox(bytes, "hvcC"), data = FindBox(bytes, "mdat");
    if (!config || !data)
        return std::nullopt;
    return CodedTile{*config, *data};
}

// A grid of TileSide tiles, the last row and column cut to the picture by the grid's size.
bool WriteTiledHeic(const QImage &image, const QDir &dir, const QString &path)
{
    const int columns = (image.width() + TileSide - 1) / TileSide, rows = (image.height() + TileSide - 1) / TileSide;
    if (columns > 256 || rows > 256)
        return false;
    std::vector<CodedTile> tiles;
    for (int row = 0; row < rows; ++row)
        for (int column = 0; column < columns; ++column) {
            std::optional<CodedTile> tile = EncodeTile(image.copy(column * TileSide, row * TileSide, TileSide, TileSide), dir);
            if (!tile || tile->config != (tiles.empty() ? tile->config : tiles.front().config))
                return false; // the tiles share one configuration
            tiles.push_back(std::move(*tile));
        }
    const quint16 count = quint16(tiles.size()), grid = count + 1; // tiles are items 1..count
    const auto meta = [&](quint32 dataStart) {
        QByteArray infos = BigEndian(count + 1, 2) + FullBox("infe", 2, 0, BigEndian(grid, 2) + BigEndian(0, 2) + "grid" + '\0');
        QByteArray locations = BigEndian(0x44, 1) + BigEndian(0, 1) + BigEndian(count + 1, 2);
        QByteArray references = BigEndian(grid, 2) + BigEndian(count, 2);
        QByteArray associations = BigEndian(count + 1, 4) + BigEndian(grid, 2) + BigEndian(1, 1) + BigEndian(3, 1);
        // The grid's description is its data, kept in the metadata: rows and columns less one, size.
        locations += BigEndian(grid, 2) + BigEndian(1, 2) + BigEndian(0, 2) + BigEndian(1, 2) + BigEndian(0, 4) + BigEndian(8, 4);
        for (quint16 id = 1; id <= count; ++id) {
            infos += FullBox("infe", 2, 1, BigEndian(id, 2) + BigEndian(0, 2) + "hvc1" + '\0');
            locations += BigEndian(id, 2) + BigEndian(0, 2) + BigEndian(0, 2) + BigEndian(1, 2) + BigEndian(dataStart, 4) + BigEndian(quint32(tiles[id - 1].data.size()), 4);
            dataStart += quint32(tiles[id - 1].data.size());
            references += BigEndian(id, 2);
            associations += BigEndian(id, 2) + BigEndian(2, 1) + BigEndian(0x81, 1) + BigEndian(2, 1);
        }
        const QByteArray properties = Box("hvcC", tiles.front().config) + FullBox("ispe", 0, 0, BigEndian(TileSide, 4) + BigEndian(TileSide, 4))
                                      + FullBox("ispe", 0, 0, BigEndian(image.width(), 4) + BigEndian(image.height(), 4));
        return FullBox("meta", 0, 0,
                       FullBox("hdlr", 0, 0, BigEndian(0, 4) + "pict" + QByteArray(13, '\0')) + FullBox("pitm", 0, 0, BigEndian(grid, 2))
                           + FullBox("iinf", 0, 0, infos) + FullBox("iloc", 1, 0, locations)
                           + Box("idat", BigEndian(0, 1) + BigEndian(0, 1) + BigEndian(rows - 1, 1) + BigEndian(columns - 1, 1) + BigEndian(image.width(), 2) + BigEndian(image.height(), 2))
                           + FullBox("iref", 0, 0, Box("dimg", references)) + Box("iprp", Box("ipco", properties) + FullBox("ipma", 0, 0, associations)));
    };
    const QByteArray type = Box("ftyp", QByteArray("heic") + BigEndian(0, 4) + "mif1heic");
    QByteArray data;
    for (const CodedTile &tile : tiles)
        data += tile.data;
    QFile out(path);
    return out.open(QIODevice::WriteOnly) && out.write(type + meta(quint32(type.size() + meta(0).size() + 8)) + Box("mdat", data)) > 0;
}

// JPEG at quality 90; PNG at quality 80, which Qt turns into zlib level 1: fast to write,
// yet compressed as a camera tool would (quality 90 would mean level 0, stored raw).
std::vector<PictureFile> Generate(const QDir &dir, PictureSize size)
{
    const QImage image = PhotoLike(size.size);
    std::vector<PictureFile> files;
    const auto name = [&](const char *format) {
        return dir.filePath(QStringLiteral("pic%1mp.%2").arg(size.megapixels).arg(QLatin1String(format)));
    };
    for (const auto &[format, quality] : {std::pair{"jpeg", 90}, std::pair{"png", 80}}) {
        image.save(name(format), format, quality);
        files.push_back({size.megapixels, size.size, format, name(format), QFileInfo(name(format)).size() / 1048576.0});
    }
    if (EncodeHeic(name("png"), name("heic")))
        files.push_back({size.megapixels, size.size, "heic", name("heic"), QFileInfo(name("heic")).size() / 1048576.0});
    if (EncodeAvif(name("png"), name("avif")))
        files.push_back({size.megapixels, size.size, "avif", name("avif"), QFileInfo(name("avif")).size() / 1048576.0});
    if (WriteTiledHeic(image, dir, name("tiled.heic")))
        files.push_back({size.megapixels, size.size, "heic*", name("tiled.heic"), QFileInfo(name("tiled.heic")).size() / 1048576.0});
    return files;
}

// The largest square under the program's limit of 200 MP, in soft gradients as a scan or a
// panorama stitch might hold: a small file that declares a huge picture.
constexpr int LimitSide = 14000;

std::vector<PictureFile> GenerateLimit(const QDir &dir)
{
    std::vector<PictureFile> files;
    QImage image(LimitSide, LimitSide, QImage::Format_RGB32);
    for (int y = 0; y < LimitSide; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < LimitSide; ++x)
            line[x] = qRgb(x * 255 / LimitSide, y * 255 / LimitSide, 128);
    }
    for (const auto &[format, quality] : {std::pair{"jpeg", 90}, std::pair{"png", 80}}) {
        const QString path = dir.filePath(QStringLiteral("limit.%1").arg(QLatin1String(format)));
        image.save(path, format, quality);
        files.push_back({196, image.size(), format, path, QFileInfo(path).size() / 1048576.0});
    }
    // heif-enc codes it as one picture, far beyond what HEVC's levels allow in one.
    const QString heic = dir.filePath(QStringLiteral("limit.heic"));
    if (EncodeHeic(files.back().path, heic))
        files.push_back({196, image.size(), "heic", heic, QFileInfo(heic).size() / 1048576.0});
    return files;
}

// The setup dialog's preview of one picture: loaded for, and fitted into, its 81 x 65 pixels.
double PreviewPeakMb(const QString &path)
{
    ResetPeak();
    Surface preview(81, 65);
    const PictureLoadResult loaded = LoadPicture(path, preview.size());
    const QString failure = FitPicture(loaded.picture, loaded.naturalSize, preview);
    if (!loaded.ok() || !failure.isEmpty())
        std::fprintf(stderr, "preview: %s not shown\n", qPrintable(path));
    return PeakMb();
}

// ---- decode and fit

struct Difference
{
    double channel[3] = {-1, -1, -1};
    [[nodiscard]] double worst() const { return *std::max_element(std::begin(channel), std::end(channel)); }
};

Difference MeanAbsoluteDifference(const QImage &a, const QImage &b)
{
    Difference d;
    if (a.size() != b.size() || a.isNull())
        return d;
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    double sum[3] = {0, 0, 0};
    for (int row = 0; row < x.height(); ++row) {
        const auto *p = reinterpret_cast<const QRgb *>(x.constScanLine(row));
        const auto *q = reinterpret_cast<const QRgb *>(y.constScanLine(row));
        for (int col = 0; col < x.width(); ++col) {
            sum[0] += std::abs(qRed(p[col]) - qRed(q[col]));
            sum[1] += std::abs(qGreen(p[col]) - qGreen(q[col]));
            sum[2] += std::abs(qBlue(p[col]) - qBlue(q[col]));
        }
    }
    const double pixels = double(x.width()) * x.height();
    for (int c = 0; c < 3; ++c)
        d.channel[c] = sum[c] / pixels;
    return d;
}

struct DecodeRow
{
    PictureFile file;
    double fullMs;
    double oursMs;
    Difference difference;
    QSize fitted;
};

DecodeRow CompareDecode(const PictureFile &file, QSize area)
{
    std::vector<double> full, ours;
    QImage fullFit, ourFit;
    for (int run = 0; run < 3; ++run) {
        auto start = Clock::now();
        {
            const PictureLoadResult loaded = LoadPicture(file.path);
            fullFit = FittedPicture(loaded.picture, loaded.naturalSize, area);
        }
        full.push_back(Milliseconds(Clock::now() - start));
        start = Clock::now();
        {
            // The same two steps with the decode at the size the fit needs; the worker's
            // drawing of the whole frame comes on top of both and is left out.
            const PictureLoadResult loaded = LoadPicture(file.path, area);
            ourFit = FittedPicture(loaded.picture, loaded.naturalSize, area);
        }
        ours.push_back(Milliseconds(Clock::now() - start));
    }
    return {file, Median(full), Median(ours), MeanAbsoluteDifference(fullFit, ourFit), ourFit.size()};
}

// ---- tick to first pass

class BenchChoices final : public ShowChoices
{
public:
    ColorValue backgroundColor() override { return RGB(0, 0, 0); }
    bool randomTransitions() override { return true; }
    ImageSize imageSize() override { return ImageSize::FullScreen; }
};

class QuietMessages final : public MessageSink
{
public:
    void showMessage(QWidget *, const QString &, const QString &text) override
    {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
    }
};

// The interval between ticks: the event loop runs while the worker prepares the next slide.
void RunEventsFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

QString SettingsXml(int timerSeconds, ColorValue background, const QString &imageSize, const QStringList &files)
{
    QString entries;
    for (const QString &file : files)
        entries += QStringLiteral("<file>%1</file>").arg(file.toHtmlEscaped());
    return QStringLiteral("<settings><timer>%1</timer><background>%2</background><transition>1</transition>"
                          "<imagesize>%3</imagesize><files>%4</files></settings>")
        .arg(timerSeconds)
        .arg(background)
        .arg(imageSize, entries);
}

void WriteFile(const QString &path, const QString &text)
{
    QFile out(path);
    if (out.open(QIODevice::WriteOnly))
        out.write(text.toUtf8());
}

struct LatencyRow
{
    std::vector<double> ms;
    std::vector<double> takenMs; // tick to the prepared slide adopted into picHidden
    std::vector<int> choices;
};

constexpr int TimedSwitches = 3;

// A show of one picture repeated, as the program runs it: the first tick is untimed so
// PrevPic holds a slide; each timed tick comes after an interval long enough for the
// worker to have prepared it.
LatencyRow TickLatency(const QDir &dir, const QString &picture, QSize screen, int intervalMs)
{
    QStringList files;
    for (int k = 0; k <= TimedSwitches; ++k)
        files << picture;
    const QString settingsPath = dir.filePath(QStringLiteral("latency-settings.xml"));
    WriteFile(settingsPath, SettingsXml(60, 0, QStringLiteral("FullScreen"), files));
    SettingsDoc settings(settingsPath);
    settings.load();

    // The step loop reads the clock first for the effect's first due test, which its first pass
    // meets at once. That pass can change nothing on screen (Blinds uncovers bands of no height
    // first), so the first change may come a StepInterval later, by the effect's own timing.
    struct FirstReadClock final : TickClock
    {
        SteadyTickClock steady;
        bool armed = false;
        std::optional<Clock::time_point> firstRead;
        std::int64_t GetTickCount() override
        {
            if (armed && !firstRead)
                firstRead = Clock::now();
            return steady.GetTickCount();
        }
    } clock;
    QtEventYield yield(clock.steady);
    RuntimeRandom random;
    modTransition transitions(clock, yield, random);
    BenchChoices choices;
    QuietMessages messages;
    SlideShow show(SlideShow::Services{settings, choices, transitions, yield, messages, random,
                                       [] { return QDateTime::currentDateTime(); }});

    std::optional<Clock::time_point> taken;
    // picHidden presents only when it adopts the slide: its emptying beforehand changes nothing.
    show.picHidden.setPresenter([&](const QRect &) {
        if (clock.armed && !taken)
            taken = Clock::now();
    });

    show.Load(screen);
    RunEventsFor(intervalMs);
    show.SwitchPic();
    LatencyRow row;
    for (int k = 0; k < TimedSwitches; ++k) {
        RunEventsFor(intervalMs);
        clock.firstRead.reset();
        taken.reset();
        clock.armed = true;
        const auto tick = Clock::now();
        show.SwitchPic();
        clock.armed = false;
        row.ms.push_back(clock.firstRead ? Milliseconds(*clock.firstRead - tick) : -1);
        row.takenMs.push_back(taken ? Milliseconds(*taken - tick) : -1);
        row.choices.push_back(show.lastChoice());
    }
    return row;
}

// ---- the real program

struct ProgramCopy
{
    QString folder;
    QString program;
};

ProgramCopy CopyProgram(const QDir &dir, const QString &settingsXml)
{
    const QString folder = dir.filePath(QStringLiteral("program"));
    QDir().mkpath(folder);
    const QString program = QDir(folder).filePath(QStringLiteral("slideshow-saver"));
    QFile::remove(program);
    QFile::copy(QStringLiteral(SLIDESHOW_SAVER_PATH), program);
    QFile::setPermissions(program, QFile::permissions(program) | QFileDevice::ExeOwner);
    WriteFile(QDir(folder).filePath(SettingsFileName), settingsXml);
    return {folder, program};
}

// The bench's own environment, with the program on X and its lock in its own folder.
std::vector<std::string> ChildEnvironment(const QString &tempFolder)
{
    std::vector<std::string> env;
    for (char **e = environ; *e; ++e) {
        const std::string entry(*e);
        if (entry.rfind("QT_QPA_PLATFORM=", 0) != 0 && entry.rfind("TMPDIR=", 0) != 0)
            env.push_back(entry);
    }
    env.push_back("QT_QPA_PLATFORM=xcb");
    env.push_back("TMPDIR=" + tempFolder.toStdString());
    return env;
}

pid_t Spawn(const QString &program, const char *argument, const std::vector<std::string> &env)
{
    const std::string path = program.toStdString();
    std::vector<char *> argv{const_cast<char *>(path.c_str()), const_cast<char *>(argument), nullptr};
    std::vector<char *> envp;
    for (const std::string &entry : env)
        envp.push_back(const_cast<char *>(entry.c_str()));
    envp.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawn(&pid, path.c_str(), nullptr, nullptr, argv.data(), envp.data()) != 0)
        return -1;
    return pid;
}

void Stop(pid_t pid)
{
    if (pid <= 0)
        return;
    kill(pid, SIGTERM);
    int status = 0;
    waitpid(pid, &status, 0);
}

// utime + stime of a process in milliseconds, or -1.
double CpuMs(pid_t pid)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto nameEnd = text.rfind(')'); // the name may hold blanks and parentheses
    if (nameEnd == std::string::npos)
        return -1;
    std::istringstream fields(text.substr(nameEnd + 2));
    std::vector<std::string> tokens;
    for (std::string token; fields >> token;)
        tokens.push_back(token);
    if (tokens.size() < 13)
        return -1; // the first token is field 3 (state): utime is field 14, stime 15
    const double ticks = std::stod(tokens[11]) + std::stod(tokens[12]);
    return ticks * 1000.0 / double(sysconf(_SC_CLK_TCK));
}

struct StartupReport
{
    std::string skipped;
    int screenWidth = 0;
    int screenHeight = 0;
    std::vector<double> bareMs, mappedMs, coveredMs;
    double idleCpuMs = -1;
    double idleChildPeakMb = -1;
    double idleChildRssMb = -1;
};

constexpr ColorValue StartBackground = RGB(30, 90, 150);
constexpr int StartRuns = 5;
constexpr int IdleSettleMs = 3000;
constexpr int IdleSpanMs = 10000;

StartupReport MeasureProgram(const QDir &dir, const QStringList &pictures)
{
    StartupReport report;
    if (!std::getenv("DISPLAY") || !*std::getenv("DISPLAY")) {
        report.skipped = "skipped: no DISPLAY";
        return report;
    }
#ifndef BENCH_HAVE_X11
    report.skipped = "skipped: built without Xlib";
    return report;
#else
    std::unique_ptr<ScreenWatch> watch = ScreenWatch::open();
    if (!watch) {
        report.skipped = "skipped: cannot open DISPLAY";
        return report;
    }
    report.screenWidth = watch->width();
    report.screenHeight = watch->height();
    const ProgramCopy copy = CopyProgram(dir, SettingsXml(60, StartBackground, QStringLiteral("Medium"), pictures));
    const std::vector<std::string> env = ChildEnvironment(dir.path());
    const std::uint32_t rgb = toQRgb(StartBackground) & 0xFFFFFF;

    for (int run = 0; run < StartRuns; ++run) {
        const auto start = Clock::now();
        const pid_t pid = Spawn(copy.program, "/p", env);
        int status = 0;
        if (pid > 0 && waitpid(pid, &status, 0) == pid)
            report.bareMs.push_back(Milliseconds(Clock::now() - start));
    }
    for (int run = 0; run <= StartRuns; ++run) {
        watch->reset();
        const auto start = Clock::now();
        const pid_t pid = Spawn(copy.program, "/s", env);
        const ScreenWatch::Times times = watch->wait(start, rgb, 10000);
        const bool idleRun = run == StartRuns; // the extra run stays up for the idle figure
        if (idleRun) {
            std::this_thread::sleep_for(std::chrono::milliseconds(IdleSettleMs)); // the first slide's preparation ends
            const double before = CpuMs(pid);
            std::this_thread::sleep_for(std::chrono::milliseconds(IdleSpanMs));
            const double after = CpuMs(pid);
            if (before >= 0 && after >= 0)
                report.idleCpuMs = after - before;
            report.idleChildPeakMb = StatusKb(std::to_string(pid), "VmHWM") / 1024.0;
            report.idleChildRssMb = StatusKb(std::to_string(pid), "VmRSS") / 1024.0;
        } else {
            report.mappedMs.push_back(times.mappedMs);
            report.coveredMs.push_back(times.coveredMs);
        }
        Stop(pid);
    }
    return report;
#endif
}

// A show's peak is that of its costliest effect over a decode: in 30 s of random effects
// one run missed it by 50 MB where the next met it. In 90 s, 45 ticks, each of the twelve
// choices comes four times on average, and two runs agreed within a megabyte.
constexpr int ShowSwitchSeconds = 2;
constexpr int ShowSpanSeconds = 90;

struct ProgramPeak
{
    const char *format;
    double peakMb;
};

// The program's peak over a show of one picture, loaded anew at every tick, full screen with
// random transitions: the show's own surfaces, the window's and the window system's shared
// memory together.
std::vector<ProgramPeak> ProgramShowPeaks(const QDir &dir, const std::vector<PictureFile> &files)
{
    std::vector<ProgramPeak> peaks;
    const std::vector<std::string> env = ChildEnvironment(dir.path());
    for (const PictureFile &file : files) {
        std::fprintf(stderr, "%d MP %s: the program's show\n", file.megapixels, file.format);
        const ProgramCopy copy = CopyProgram(dir, SettingsXml(ShowSwitchSeconds, 0, QStringLiteral("FullScreen"), {file.path}));
        const pid_t pid = Spawn(copy.program, "/s", env);
        std::this_thread::sleep_for(std::chrono::seconds(ShowSpanSeconds));
        peaks.push_back({file.format, pid > 0 ? StatusKb(std::to_string(pid), "VmHWM") / 1024.0 : -1});
        Stop(pid);
    }
    return peaks;
}

// ---- the table

QString Label(const PictureFile &f)
{
    return QStringLiteral("%1 MP %2").arg(f.megapixels, 2).arg(QLatin1String(f.format), -4);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTemporaryDir temp;
    const QDir dir(temp.path());
    const QSize area4k(3840, 2160);
    const QSize areaHd(1920, 1080);
    const bool peaksReset = ResetPeak();

    struct SizeBlock
    {
        PictureSize size;
        double generateMs;
        double decodePeakMb;
    };
    std::vector<SizeBlock> blocks;
    std::vector<DecodeRow> decodeRows;
    struct LatencyResult
    {
        PictureFile file;
        LatencyRow at4k;
        LatencyRow atHd;
        double baseMb;
        double peakMb;
    };
    std::vector<LatencyResult> latencyRows;
    std::vector<PictureFile> allFiles;
    double overallPeakMb = PeakMb();

    // Sizes in megapixels from the command line ("bench_slides 50"), else the camera range.
    std::vector<int> sizes;
    for (int k = 1; k < argc; ++k)
        if (const int megapixels = std::atoi(argv[k]); megapixels > 0 && megapixels <= 150)
            sizes.push_back(megapixels);
    if (sizes.empty())
        sizes = {2, 12, 24, 50};
    for (const int megapixels : sizes) {
        const PictureSize size = SizeFor(megapixels);
        std::fprintf(stderr, "%d MP: generating %dx%d\n", megapixels, size.size.width(), size.size.height());
        auto start = Clock::now();
        const std::vector<PictureFile> files = Generate(dir, size);
        const double generateMs = Milliseconds(Clock::now() - start);
        overallPeakMb = std::max(overallPeakMb, PeakMb());

        ResetPeak();
        std::vector<double> prepareMs;
        for (const PictureFile &file : files) {
            std::fprintf(stderr, "%d MP %s: decoding\n", megapixels, file.format);
            decodeRows.push_back(CompareDecode(file, area4k));
            prepareMs.push_back(decodeRows.back().oursMs);
        }
        const double decodePeakMb = PeakMb();
        overallPeakMb = std::max(overallPeakMb, decodePeakMb);

        for (std::size_t k = 0; k < files.size(); ++k) {
            std::fprintf(stderr, "%d MP %s: ticking\n", megapixels, files[k].format);
            ResetPeak();
            const double baseMb = ResidentMb();
            // Three preparations' worth of interval: the worker shares two cores with the rest.
            const int intervalMs = int(3 * prepareMs[k]) + 300;
            LatencyResult result{files[k], TickLatency(dir, files[k].path, area4k, intervalMs), {}, baseMb, 0};
            result.atHd = TickLatency(dir, files[k].path, areaHd, intervalMs);
            result.peakMb = PeakMb();
            overallPeakMb = std::max(overallPeakMb, result.peakMb);
            latencyRows.push_back(result);
        }
        blocks.push_back({size, generateMs, decodePeakMb});
        allFiles.insert(allFiles.end(), files.begin(), files.end());
    }

    struct LimitRow
    {
        PictureFile file;
        double showBaseMb;
        double showPeakMb;
        double previewPeakMb;
        bool shown;
    };
    std::vector<LimitRow> limitRows;
    std::fprintf(stderr, "196 MP: generating\n");
    for (const PictureFile &file : GenerateLimit(dir)) {
        std::fprintf(stderr, "196 MP %s: ticking\n", file.format);
        ResetPeak();
        const double baseMb = ResidentMb();
        const LatencyRow ticks = TickLatency(dir, file.path, area4k, 8000);
        const double showPeakMb = PeakMb();
        const bool shown = !ticks.takenMs.empty() && ticks.takenMs.front() >= 0;
        limitRows.push_back({file, baseMb, showPeakMb, PreviewPeakMb(file.path), shown});
    }
    for (const LimitRow &r : limitRows)
        QFile::remove(r.file.path);

    // A camera folder: the 12 MP picture first, then the rest.
    QStringList pictures;
    for (const PictureFile &f : allFiles)
        if (f.megapixels == 12 && QLatin1String(f.format) == QLatin1String("jpeg"))
            pictures.prepend(f.path);
        else
            pictures << f.path;
    std::fprintf(stderr, "start-up and idle\n");
    const StartupReport startup = MeasureProgram(dir, pictures);
    const int largestMegapixels = *std::max_element(sizes.begin(), sizes.end());
    std::vector<PictureFile> largest;
    for (const PictureFile &f : allFiles)
        if (f.megapixels == largestMegapixels)
            largest.push_back(f);
    const std::vector<ProgramPeak> programPeaks = startup.skipped.empty() ? ProgramShowPeaks(dir, largest) : std::vector<ProgramPeak>();

    std::printf("bench_slides: platform %s, Qt %s, %u cores\n", qPrintable(QGuiApplication::platformName()), qVersion(),
                std::thread::hardware_concurrency());
    std::printf("\nDecode + fit into 3840x2160 (median of 3)\n");
    std::printf("picture        pixels       file MB   full ms   ours ms   ratio   fitted      mad R   mad G   mad B  <=2\n");
    for (const DecodeRow &r : decodeRows) {
        std::printf("%-13s  %5dx%-5d  %7.1f  %8.1f  %8.1f  %6.2f   %4dx%-4d  %6.3f  %6.3f  %6.3f  %s\n",
                    qPrintable(Label(r.file)), r.file.size.width(), r.file.size.height(), r.file.fileMb, r.fullMs,
                    r.oursMs, r.oursMs > 0 ? r.fullMs / r.oursMs : 0.0, r.fitted.width(), r.fitted.height(),
                    r.difference.channel[0], r.difference.channel[1], r.difference.channel[2],
                    r.difference.worst() < 0 ? "size!" : r.difference.worst() <= 2 ? "yes" : "NO");
    }

    if (std::any_of(decodeRows.begin(), decodeRows.end(), [](const DecodeRow &r) { return QLatin1String(r.file.format) == QLatin1String("heic*"); }))
        std::printf("heic: one coded picture, as heif-enc writes it (at an odd width, a grid of one tile); heic*: the\n"
                    "same picture as phones store it, a grid of %d-pixel tiles\n", TileSide);
    std::printf("\nTick to the effect's first pass, at its first due test (random transitions, %d ticks each; target < 16 ms)\n", TimedSwitches);
    std::printf("(taken: tick to the prepared slide adopted, before the fit is drawn and the effect starts)\n");
    std::printf("picture        3840x2160: median    max  taken  effects     1920x1080: median    max  taken  effects\n");
    auto effects = [](const LatencyRow &row) {
        std::string text;
        for (const int c : row.choices) {
            if (!text.empty())
                text += ',';
            text += std::to_string(c);
        }
        return text;
    };
    double worstLatency = 0;
    for (const LatencyResult &r : latencyRows) {
        const double max4k = *std::max_element(r.at4k.ms.begin(), r.at4k.ms.end());
        const double maxHd = *std::max_element(r.atHd.ms.begin(), r.atHd.ms.end());
        worstLatency = std::max({worstLatency, max4k, maxHd});
        std::printf("%-13s  %17.2f %6.2f %6.2f  %-10s  %17.2f %6.2f %6.2f  %-10s\n", qPrintable(Label(r.file)),
                    Median(r.at4k.ms), max4k, Median(r.at4k.takenMs), effects(r.at4k).c_str(), Median(r.atHd.ms), maxHd,
                    Median(r.atHd.takenMs), effects(r.atHd).c_str());
    }
    std::printf("worst: %.2f ms -> %s\n", worstLatency, worstLatency < 16 ? "under 16 ms" : "TARGET MISSED");

    std::printf("\nPeak RSS (VmHWM)%s\n", peaksReset ? ", reset before each phase" : ", cumulative: clear_refs not writable");
    std::printf("size    generate ms   decode+fit peak MB   show 4K+HD base/peak MB, per format   (target peak < 250)\n");
    for (const SizeBlock &b : blocks) {
        std::printf("%2d MP   %11.0f   %18.1f", b.size.megapixels, b.generateMs, b.decodePeakMb);
        for (const LatencyResult &r : latencyRows)
            if (r.file.megapixels == b.size.megapixels)
                std::printf("   %s %6.1f / %6.1f%s", r.file.format, r.baseMb, r.peakMb, r.peakMb < 250 ? "" : " OVER");
        std::printf("\n");
    }
    std::printf("\nThe largest accepted picture, %dx%d (target peak < 400)\n", LimitSide, LimitSide);
    std::printf("picture   file MB   show 4K base/peak MB   preview peak MB   shown\n");
    for (const LimitRow &r : limitRows)
        std::printf("%-8s  %7.1f   %8.1f / %6.1f%s   %15.1f%s   %s\n", r.file.format, r.file.fileMb, r.showBaseMb, r.showPeakMb,
                    r.showPeakMb < 400 ? "    " : " OVER", r.previewPeakMb, r.previewPeakMb < 400 ? "    " : " OVER", r.shown ? "yes" : "refused");
    std::printf("overall peak: %.1f MB (the full 50 MP decode alone holds %.0f MB); resident now %.1f MB\n",
                overallPeakMb, SizeFor(50).size.width() * double(SizeFor(50).size.height()) * 4 / 1048576.0, ResidentMb());

    std::printf("\nThe program (release copy, xcb), median of %d\n", StartRuns);
    if (!startup.skipped.empty()) {
        std::printf("start-up: %s\nidle CPU: %s\n", startup.skipped.c_str(), startup.skipped.c_str());
        return 0;
    }
    std::printf("screen %dx%d, first slide a 12 MP JPEG, image size Medium\n", startup.screenWidth, startup.screenHeight);
    std::printf("/p  start to exit (bare process start)   %8.1f ms\n", Median(startup.bareMs));
    std::printf("/s  start to show window mapped          %8.1f ms\n", Median(startup.mappedMs));
    const double covered = Median(startup.coveredMs);
    std::printf("/s  start to screen covered in colour    %8.1f ms   (target < 300: %s)\n", covered,
                covered < 0 ? "timed out" : covered < 300 ? "met" : "MISSED");
    std::printf("idle CPU (/s, timer 60 s): %.0f ms over %d s; program VmHWM %.1f MB, VmRSS %.1f MB\n", startup.idleCpuMs,
                IdleSpanMs / 1000, startup.idleChildPeakMb, startup.idleChildRssMb);
    std::printf("\nThe program's show at %dx%d: one %d MP picture, full screen, a tick every %d s with random transitions,\n"
                "for %d s (VmHWM; target peak < 250)\n", startup.screenWidth, startup.screenHeight, largestMegapixels, ShowSwitchSeconds, ShowSpanSeconds);
    for (const ProgramPeak &p : programPeaks)
        std::printf("%-6s %6.1f MB%s\n", p.format, p.peakMb, p.peakMb < 250 ? "" : " OVER");
    return 0;
}
