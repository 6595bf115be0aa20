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
    QString file;
    int line = 0; // where the file stopped being a settings document; 0 when nowhere in it
    int column = 0;
    QString message;
};

struct SettingsSaveResult
{
    bool ok = true;
    QString file;
    QString message; // the sentence a window shows: the file and the reason
};

inline const QString SettingsFileName = QStringLiteral("settings.xml");

// The one in-memory document of settings.xml. Readers select values by path when
// they read them; a value that is missing or does not parse reads as the setup
// dialog's preset, so the program runs with any file or none.
class SettingsDoc
{
public:
    explicit SettingsDoc(QString filePath);

    // A file that does not parse, nests deeper than any settings file, or has another
    // root leaves the document empty and is kept as settings.xml.bak by the next save.
    SettingsLoadResult load();
    [[nodiscard]] const QString &filePath() const { return filePath_; }

    [[nodiscard]] QString timerText() const;
    // The slide interval in whole milliseconds, halves to even; 0 means no tick.
    [[nodiscard]] int timerIntervalMs() const;
    [[nodiscard]] ColorValue background() const;
    [[nodiscard]] bool randomTransitions() const;
    // nullopt when the text is none of the four words: the dialog keeps Medium.
    [[nodiscard]] std::optional<ImageSize> imageSize() const;
    // Every child of files is an entry whatever its name, except comments and
    // processing instructions, which only annotate the list.
    [[nodiscard]] int fileCount() const;
    [[nodiscard]] std::optional<QString> fileAt(int index) const;
    [[nodiscard]] QStringList files() const;

    // Writes the values into the document in place, keeping everything else it holds,
    // and replaces the file with the whole new content, or on any failure leaves both
    // the file and the document as they were.
    SettingsSaveResult SaveSettings(const SettingsValues &values);

private:
    SettingsLoadResult parse(const QByteArray &content);
    // The element at a slash-separated path from the document, or a null element.
    [[nodiscard]] QDomElement select(const QString &path) const;
    QDomElement selectOrCreate(const QString &path);
    void writeEntries(const QStringList &paths);
    [[nodiscard]] bool holds(const SettingsValues &values) const;

    QString filePath_;
    QDomDocument document_;
    bool keepBackupBeforeSave_ = false;
};

[[nodiscard]] QString imageSizeWord(ImageSize size);
// Reads a number the way the stored files are read: decimal, optional fraction.
[[nodiscard]] std::optional<double> parseSettingsNumber(const QString &text);
