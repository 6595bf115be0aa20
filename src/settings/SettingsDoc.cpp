#include "settings/SettingsDoc.h"

#include "raster/ReplaceFile.h"
#include "raster/Units.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QXmlStreamReader>
#include <cmath>
#include <limits>

namespace {

const SettingsValues Presets;

namespace Path {
const QString Root = QStringLiteral("settings");
const QString Timer = QStringLiteral("settings/timer");
const QString Background = QStringLiteral("settings/background");
const QString Transition = QStringLiteral("settings/transition");
const QString ImageSize = QStringLiteral("settings/imagesize");
const QString Files = QStringLiteral("settings/files");
const QString File = QStringLiteral("file");
} // namespace Path

// Far deeper than any settings file; copying and writing the document recurse once a
// level, so a deeper one could exhaust the stack on Apply.
constexpr int MaxDepth = 256;

struct Position
{
    int line;
    int column;
};

// Where the elements first nest deeper than MaxDepth; the scan stops there, so a
// document nested a hundred thousand deep costs no more than one nested 257 deep.
std::optional<Position> tooDeepAt(const QByteArray &content)
{
    QXmlStreamReader reader(content);
    int depth = 0;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::StartElement && ++depth > MaxDepth)
            return Position{int(reader.lineNumber()), int(reader.columnNumber())};
        if (token == QXmlStreamReader::EndElement)
            --depth;
    }
    return std::nullopt;
}

bool isEntry(const QDomNode &node)
{
    return !node.isComment() && !node.isProcessingInstruction();
}

QString entryText(const QDomNode &node)
{
    return node.isElement() ? node.toElement().text() : node.nodeValue();
}

} // namespace

std::optional<double> parseSettingsNumber(const QString &text)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

QString imageSizeWord(ImageSize size)
{
    switch (size) {
    case ImageSize::Large: return QStringLiteral("large");
    case ImageSize::Medium: return QStringLiteral("medium");
    case ImageSize::Small: return QStringLiteral("small");
    case ImageSize::FullScreen: return QStringLiteral("FullScreen");
    }
    return {};
}

SettingsDoc::SettingsDoc(QString filePath) : filePath_(std::move(filePath)) {}

SettingsLoadResult SettingsDoc::load()
{
    document_ = QDomDocument();
    keepBackupBeforeSave_ = false;
    const QFileInfo info(filePath_);
    if (!info.exists())
        return {false, filePath_, 0, 0, QStringLiteral("the file does not exist")};
    // A folder, device or pipe in its place is not read: it may never end.
    if (!info.isFile())
        return {false, filePath_, 0, 0, QStringLiteral("it is not a regular file")};
    keepBackupBeforeSave_ = true;
    QFile file(filePath_);
    if (!file.open(QIODevice::ReadOnly))
        return {false, filePath_, 0, 0, file.errorString()};
    const QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return {false, filePath_, 0, 0, file.errorString()};
    const SettingsLoadResult parsed = parse(content);
    keepBackupBeforeSave_ = !parsed.ok;
    return parsed;
}

SettingsLoadResult SettingsDoc::parse(const QByteArray &content)
{
    if (const std::optional<Position> deep = tooDeepAt(content))
        return {false, filePath_, deep->line, deep->column, QStringLiteral("the elements nest deeper than %1 levels").arg(MaxDepth)};
    QString error;
    int line = 0;
    int column = 0;
    QDomDocument parsed;
    if (!parsed.setContent(content, &error, &line, &column))
        return {false, filePath_, line, column, error};
    if (parsed.documentElement().tagName() != Path::Root)
        return {false, filePath_, 0, 0, QStringLiteral("it has no <settings> root element")};
    document_ = parsed;
    return {true, filePath_, 0, 0, {}};
}

QDomElement SettingsDoc::select(const QString &path) const
{
    const QStringList names = path.split(QLatin1Char('/'));
    QDomElement element = document_.documentElement();
    if (element.isNull() || element.tagName() != names.first())
        return {};
    for (qsizetype k = 1; k < names.size() && !element.isNull(); ++k)
        element = element.firstChildElement(names[k]);
    return element;
}

QDomElement SettingsDoc::selectOrCreate(const QString &path)
{
    if (document_.documentElement().isNull()) {
        document_.appendChild(document_.createProcessingInstruction(QStringLiteral("xml"), QStringLiteral("version=\"1.0\" encoding=\"UTF-8\"")));
        document_.appendChild(document_.createElement(Path::Root));
    }
    QDomElement element = select(path);
    if (element.isNull()) {
        element = document_.createElement(path.section(QLatin1Char('/'), -1));
        document_.documentElement().appendChild(element);
    }
    return element;
}

QString SettingsDoc::timerText() const
{
    const QDomElement timer = select(Path::Timer);
    return timer.isNull() ? Presets.timer : timer.text();
}

int SettingsDoc::timerIntervalMs() const
{
    const std::optional<double> seconds = parseSettingsNumber(timerText());
    const double ms = seconds.value_or(parseSettingsNumber(Presets.timer).value()) * 1000.0;
    // The timer cannot wait longer than a signed 32-bit count of milliseconds; negative never ticks.
    if (ms >= double(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    return std::max(RoundHalfEven(ms), 0);
}

ColorValue SettingsDoc::background() const
{
    const QDomElement element = select(Path::Background);
    const std::optional<double> value = element.isNull() ? std::nullopt : parseSettingsNumber(element.text());
    return value ? ColorFromNumber(*value).value_or(Presets.background) : Presets.background;
}

bool SettingsDoc::randomTransitions() const
{
    const QDomElement element = select(Path::Transition);
    const std::optional<double> value = element.isNull() ? std::nullopt : parseSettingsNumber(element.text());
    return value ? *value == 1.0 : Presets.randomTransitions;
}

std::optional<ImageSize> SettingsDoc::imageSize() const
{
    const QString text = select(Path::ImageSize).text();
    for (ImageSize size : {ImageSize::Large, ImageSize::Medium, ImageSize::Small, ImageSize::FullScreen})
        if (text == imageSizeWord(size))
            return size;
    return std::nullopt;
}

int SettingsDoc::fileCount() const
{
    int count = 0;
    for (QDomNode node = select(Path::Files).firstChild(); !node.isNull(); node = node.nextSibling())
        count += isEntry(node);
    return count;
}

std::optional<QString> SettingsDoc::fileAt(int index) const
{
    if (index < 0)
        return std::nullopt;
    for (QDomNode node = select(Path::Files).firstChild(); !node.isNull(); node = node.nextSibling())
        if (isEntry(node) && index-- == 0)
            return entryText(node);
    return std::nullopt;
}

QStringList SettingsDoc::files() const
{
    QStringList paths;
    for (QDomNode node = select(Path::Files).firstChild(); !node.isNull(); node = node.nextSibling())
        if (isEntry(node))
            paths << entryText(node);
    return paths;
}

void SettingsDoc::writeEntries(const QStringList &paths)
{
    QDomElement files = selectOrCreate(Path::Files);
    const auto entry = [this](const QString &path) {
        QDomElement file = document_.createElement(Path::File);
        file.appendChild(document_.createTextNode(path));
        return file;
    };
    // Each old entry gives its place to the next path, so comments stay where they were.
    qsizetype next = 0;
    QDomNode lastEntry;
    for (QDomNode node = files.firstChild(); !node.isNull();) {
        const QDomNode following = node.nextSibling();
        if (isEntry(node) && next < paths.size()) {
            lastEntry = entry(paths[next++]);
            files.replaceChild(lastEntry, node);
        } else if (isEntry(node)) {
            files.removeChild(node);
        }
        node = following;
    }
    for (; next < paths.size(); ++next)
        lastEntry = lastEntry.isNull() ? files.appendChild(entry(paths[next])) : files.insertAfter(entry(paths[next]), lastEntry);
}

bool SettingsDoc::holds(const SettingsValues &values) const
{
    return timerText() == values.timer && background() == values.background && randomTransitions() == values.randomTransitions
           && imageSize() == values.imageSize && files() == values.files;
}

SettingsSaveResult SettingsDoc::SaveSettings(const SettingsValues &values)
{
    // A failed save leaves the document as the file is, so later readers see what is stored.
    const QDomDocument stored = document_.cloneNode(true).toDocument();
    const auto setText = [this](const QString &path, const QString &text) {
        QDomElement element = selectOrCreate(path);
        while (element.hasChildNodes())
            element.removeChild(element.firstChild());
        element.appendChild(document_.createTextNode(text));
    };
    setText(Path::Background, QString::number(values.background));
    setText(Path::Timer, values.timer);
    setText(Path::Transition, values.randomTransitions ? QStringLiteral("1") : QStringLiteral("0"));
    setText(Path::ImageSize, imageSizeWord(values.imageSize));
    writeEntries(values.files);

    // The file is written as UTF-8 whatever the loaded declaration said.
    QDomNode first = document_.firstChild();
    if (first.isProcessingInstruction() && first.nodeName() == QLatin1String("xml"))
        first.setNodeValue(QStringLiteral("version=\"1.0\" encoding=\"UTF-8\""));

    const auto failed = [this, &stored](const QString &reason) {
        document_ = stored;
        return SettingsSaveResult{false, filePath_,
                                  QStringLiteral("The settings could not be saved to %1: %2").arg(QDir::toNativeSeparators(filePath_), reason)};
    };
    const QByteArray content = document_.toByteArray(2);
    // XML cannot hold every character a path or a typed text may have (control characters,
    // a lone carriage return); a file that would read back otherwise is not written.
    SettingsDoc written(filePath_);
    if (!written.parse(content).ok || !written.holds(values))
        return failed(QStringLiteral("a picture path or the seconds hold characters the file cannot store"));

    if (keepBackupBeforeSave_ && QFileInfo(filePath_).isFile()) {
        const QString backup = filePath_ + QStringLiteral(".bak");
        QFile old(filePath_);
        QString failure = old.open(QIODevice::ReadOnly) ? QString() : old.errorString();
        const QByteArray oldContent = old.readAll();
        if (failure.isEmpty() && old.error() != QFileDevice::NoError)
            failure = old.errorString();
        if (failure.isEmpty())
            failure = ReplaceFile(backup, oldContent);
        if (!failure.isEmpty())
            return failed(QStringLiteral("the damaged old file could not be kept as %1: %2").arg(QDir::toNativeSeparators(backup), failure));
    }
    if (const QString failure = ReplaceFile(filePath_, content); !failure.isEmpty())
        return failed(failure);
    keepBackupBeforeSave_ = false;
    return {true, filePath_, {}};
}
