#include "settings/SettingsDoc.h"

#include "raster/Units.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cmath>
#include <limits>

namespace {

const SettingsValues Presets;

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
    QFile file(filePath_);
    if (!file.exists())
        return {false, QStringLiteral("%1 does not exist").arg(filePath_)};
    if (!file.open(QIODevice::ReadOnly)) {
        keepBackupBeforeSave_ = true;
        return {false, QStringLiteral("%1 cannot be read: %2").arg(filePath_, file.errorString())};
    }
    QString error;
    int line = 0;
    int column = 0;
    QDomDocument parsed;
    if (!parsed.setContent(&file, &error, &line, &column)) {
        keepBackupBeforeSave_ = true;
        return {false, QStringLiteral("%1, line %2, column %3: %4").arg(filePath_).arg(line).arg(column).arg(error), line, column};
    }
    if (parsed.documentElement().tagName() != SettingsPath::Root) {
        keepBackupBeforeSave_ = true;
        return {false, QStringLiteral("%1 has no <settings> root element").arg(filePath_)};
    }
    document_ = parsed;
    return {};
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
        document_.appendChild(document_.createElement(SettingsPath::Root));
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
    const QDomElement timer = select(SettingsPath::Timer);
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
    const QDomElement element = select(SettingsPath::Background);
    const std::optional<double> value = element.isNull() ? std::nullopt : parseSettingsNumber(element.text());
    if (!value || *value < std::numeric_limits<std::int32_t>::min() || *value > std::numeric_limits<std::int32_t>::max())
        return Presets.background;
    return ColorValue(RoundHalfEven(*value));
}

bool SettingsDoc::randomTransitions() const
{
    const QDomElement element = select(SettingsPath::Transition);
    const std::optional<double> value = element.isNull() ? std::nullopt : parseSettingsNumber(element.text());
    return value ? *value == 1.0 : Presets.randomTransitions;
}

std::optional<ImageSize> SettingsDoc::imageSize() const
{
    const QString text = select(SettingsPath::ImageSize).text();
    for (ImageSize size : {ImageSize::Large, ImageSize::Medium, ImageSize::Small, ImageSize::FullScreen})
        if (text == imageSizeWord(size))
            return size;
    return std::nullopt;
}

int SettingsDoc::fileCount() const
{
    return int(select(SettingsPath::Files).childNodes().count());
}

std::optional<QString> SettingsDoc::fileAt(int index) const
{
    const QDomNodeList children = select(SettingsPath::Files).childNodes();
    if (index < 0 || index >= children.count())
        return std::nullopt;
    return children.at(index).toElement().isNull() ? children.at(index).nodeValue() : children.at(index).toElement().text();
}

QStringList SettingsDoc::files() const
{
    QStringList paths;
    for (int k = 0, n = fileCount(); k < n; ++k)
        paths << *fileAt(k);
    return paths;
}

QByteArray SettingsDoc::serialized() const
{
    return document_.toByteArray(2);
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
    setText(SettingsPath::Background, QString::number(values.background));
    setText(SettingsPath::Timer, values.timer);
    setText(SettingsPath::Transition, values.randomTransitions ? QStringLiteral("1") : QStringLiteral("0"));
    setText(SettingsPath::ImageSize, imageSizeWord(values.imageSize));
    QDomElement files = selectOrCreate(SettingsPath::Files);
    while (files.hasChildNodes())
        files.removeChild(files.firstChild());
    for (const QString &path : values.files) {
        QDomElement file = document_.createElement(SettingsPath::File);
        files.appendChild(file);
        file.appendChild(document_.createTextNode(path));
    }

    // The file is written as UTF-8 whatever the loaded declaration said.
    QDomNode first = document_.firstChild();
    if (first.isProcessingInstruction() && first.nodeName() == QLatin1String("xml"))
        first.setNodeValue(QStringLiteral("version=\"1.0\" encoding=\"UTF-8\""));

    const auto failed = [this, &stored](const QString &reason) {
        document_ = stored;
        return SettingsSaveResult{false, QStringLiteral("The settings could not be saved to %1: %2").arg(QDir::toNativeSeparators(filePath_), reason)};
    };
    if (keepBackupBeforeSave_ && QFileInfo::exists(filePath_)) {
        const QString backup = filePath_ + QStringLiteral(".bak");
        QFile::remove(backup);
        if (!QFile::copy(filePath_, backup))
            return failed(QStringLiteral("the unreadable old file could not be kept as %1").arg(backup));
    }
    // A per-user folder is made on the first save, not before.
    QDir().mkpath(QFileInfo(filePath_).absolutePath());
    QSaveFile file(filePath_);
    if (!file.open(QIODevice::WriteOnly))
        return failed(file.errorString());
    const QByteArray bytes = serialized();
    if (file.write(bytes) != bytes.size())
        return failed(file.errorString());
    if (!file.commit())
        return failed(file.errorString());
    keepBackupBeforeSave_ = false;
    return {};
}
