#pragma once

#include "raster/ColorValue.h"

#include <QDomDocument>
#include <QString>
#include <QStringList>
#include <optional>

enum class ImageSize { FullScreen, Large, Medium, Small };

// What the setup dialog's controls hold, as SaveSettings writes it.
struct SettingsValues
{
    QString timer = QStringLiteral("1");
    ColorValue background = 0;
    bool randomTransitions = true;
    ImageSize imageSize = ImageSize::Medium;
    QStringList files;
};

struct SettingsLoadResult
{
    bool ok = true;
    QString message; // with the line and column where the file did not parse
    int line = 0;
    int column = 0;
};

struct SettingsSaveResult
{
    bool ok = true;
    QString message; // names the file and the reason
};

namespace SettingsPath {
inline const QString Root = QStringLiteral("settings");
inline const QString Timer = QStringLiteral("settings/timer");
inline const QString Background = QStringLiteral("settings/background");
inline const QString Transition = QStringLiteral("settings/transition");
inline const QString ImageSize = QStringLiteral("settings/imagesize");
inline const QString Files = QStringLiteral("settings/files");
inline const QString File = QStringLiteral("file");
} // namespace SettingsPath

inline const QString SettingsFileName = QStringLiteral("settings.xml");

// The one in-memory document of settings.xml. Readers select values by path when
// they read them; a value that is missing or does not parse reads as the setup
// dialog's preset, so the program runs with any file or none.
class SettingsDoc
{
public:
    explicit SettingsDoc(QString filePath);

    SettingsLoadResult load();
    [[nodiscard]] const QString &filePath() const { return filePath_; }

    // The element at a slash-separated path from the document, or a null element.
    [[nodiscard]] QDomElement select(const QString &path) const;

    [[nodiscard]] QString timerText() const;
    // The slide interval in whole milliseconds, halves to even; 0 means no tick.
    [[nodiscard]] int timerIntervalMs() const;
    [[nodiscard]] ColorValue background() const;
    [[nodiscard]] bool randomTransitions() const;
    // nullopt when the text is none of the four words: the dialog keeps Medium.
    [[nodiscard]] std::optional<ImageSize> imageSize() const;
    // Every child node of files counts, whatever its name.
    [[nodiscard]] int fileCount() const;
    [[nodiscard]] std::optional<QString> fileAt(int index) const;
    [[nodiscard]] QStringList files() const;

    // Writes the values into the document in place, keeping everything else it holds,
    // and replaces the file atomically. On failure the file on disk stays as it was.
    SettingsSaveResult SaveSettings(const SettingsValues &values);

    [[nodiscard]] QByteArray serialized() const;

private:
    QDomElement selectOrCreate(const QString &path);

    QString filePath_;
    QDomDocument document_;
    bool keepBackupBeforeSave_ = false;
};

[[nodiscard]] QString imageSizeWord(ImageSize size);
// Reads a number the way the stored files are read: decimal, optional fraction.
[[nodiscard]] std::optional<double> parseSettingsNumber(const QString &text);
