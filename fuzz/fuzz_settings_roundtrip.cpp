// Loads any bytes as settings.xml, saves what was read (plus one more entry holding the
// timer's text, so odd characters reach the writer), and requires that a saved file loads
// again with exactly the saved values and that a refused save leaves the file untouched.
#include "FuzzFile.h"
#include "settings/SettingsDoc.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QFile::remove(FuzzFolder().filePath(SettingsFileName + QStringLiteral(".bak")));
    const QString path = WriteFuzzFile(SettingsFileName, data, size);
    SettingsDoc doc(path);
    const bool loaded = doc.load().ok;
    SettingsValues values;
    values.timer = doc.timerText();
    values.background = doc.background();
    values.randomTransitions = doc.randomTransitions();
    values.imageSize = doc.imageSize().value_or(ImageSize::Medium);
    values.files = doc.files();
    Require(values.files.size() == doc.fileCount());
    values.files << values.timer;

    const SettingsSaveResult saved = doc.SaveSettings(values);
    QFile file(path);
    Require(file.open(QIODevice::ReadOnly));
    const QByteArray stored = file.readAll();
    if (!saved.ok) {
        Require(stored == QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
        return 0;
    }
    if (!loaded) {
        QFile backup(path + QStringLiteral(".bak"));
        Require(backup.open(QIODevice::ReadOnly) && backup.readAll() == QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    }
    SettingsDoc again(path);
    Require(again.load().ok);
    Require(again.timerText() == values.timer && again.background() == values.background
            && again.randomTransitions() == values.randomTransitions && again.imageSize() == values.imageSize
            && again.files() == values.files);
    return 0;
}
