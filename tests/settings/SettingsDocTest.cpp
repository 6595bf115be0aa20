#include "settings/SettingsDoc.h"
#include "support/SettingsXml.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Everything a reader takes from the document, in one line.
std::string readBack(const SettingsDoc &d)
{
    const char *sizes[] = {"full", "large", "medium", "small"};
    return QStringLiteral("%1 %2ms %3 %4 %5 %6").arg(d.timerText()).arg(d.timerIntervalMs()).arg(d.background())
        .arg(d.randomTransitions() ? "random" : "none", d.imageSize() ? sizes[int(*d.imageSize())] : "-", d.files().join(',')).toStdString();
}

// A settings document whose elements nest depth levels deep, the root being the first.
QByteArray nested(int depth) { return "<settings>" + QByteArray("<a>").repeated(depth - 1) + QByteArray("</a>").repeated(depth - 1) + "</settings>"; }

class SettingsDocTest : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    const QString path = dir.filePath("user/settings.xml");
};

// A file that is no settings document reads as the presets and is kept as a backup by the first save.
TEST_F(SettingsDocTest, ValueTextFormsAndFilesThatAreNoSettingsDocument)
{
    const struct { const char *name; QByteArray content; int line; const char *read; } cases[] = {
        {"fraction, -1, 1.0, large", SettingsXml{"2.5", "-1", "1.0", "large"}.text(), 0, "2.5 2500ms -1 random large "},
        {"transition 2, Large", SettingsXml{"0", "255", "2", "Large"}.text(), 0, "0 0ms 255 none - "},
        {"0.5 ms rounds to even 0", SettingsXml{"0.0005", "65280", "0", "medium"}.text(), 0, "0.0005 0ms 65280 none medium "},
        {"1.5 ms rounds to even 2", SettingsXml{"0.0015", "0", "1", "small"}.text(), 0, "0.0015 2ms 0 random small "},
        {"presets where nothing parses", SettingsXml{"abc", "blue", "yes", ""}.text(), 0, "abc 1000ms 0 random - "},
        {"negative seconds, beyond 32 bits, fullscreen", SettingsXml{"-3", "99999999999", "1", "fullscreen"}.text(), 0, "-3 0ms 0 random - "},
        {"the longest wait a timer takes, inf", SettingsXml{"1e10", "inf", "inf", "FullScreen"}.text(), 0, "1e10 2147483647ms 0 random full "},
        {"empty root", "<settings/>", 0, "1 1000ms 0 random - "},
        {"256 deep", nested(256), 0, "1 1000ms 0 random - "},
        {"missing, folder too", QByteArray(), 0, nullptr},
        {"unclosed tag", "<settings>\n<timer>5</timer\n</settings>", 3, nullptr},
        {"another root", "<config><timer>5</timer></config>", 0, nullptr},
        {"257 deep", nested(257), 1, nullptr},
        {"100000 deep", nested(100000), 1, nullptr}, // refused as soon as it is too deep, not after building the whole tree
    };
    for (const auto &c : cases) {
        QDir(dir.filePath("user")).removeRecursively();
        ASSERT_TRUE(c.content.isNull() || (QDir().mkpath(dir.filePath("user")) && writeFile(path, c.content)));
        SettingsDoc doc(path);
        const SettingsLoadResult result = doc.load();
        const bool ok = c.read != nullptr;
        EXPECT_EQ(std::tuple(result.ok, result.message.isEmpty(), result.line, result.file, readBack(doc)),
                  std::tuple(ok, ok, c.line, path, std::string(ok ? c.read : "1 1000ms 0 random - "))) << c.name;
        // The save makes whatever the file lacks, from its folder on.
        ASSERT_TRUE(doc.SaveSettings({.files = {"/x.jpg"}}).ok) << c.name;
        EXPECT_EQ(readFile(path + ".bak"), ok ? QByteArray() : c.content) << c.name;
        SettingsDoc again(path);
        EXPECT_TRUE(again.load().ok && readBack(again) == "1 1000ms 0 random medium /x.jpg") << c.name;
    }
}

TEST_F(SettingsDocTest, ReadsEveryValueAndSavesInPlaceOrNotAtAll)
{
    ASSERT_TRUE(QDir().mkpath(dir.filePath("user")) && writeFile(path, "<?xml version=\"1.0\"?>\n<!-- kept by hand -->\n<settings><timer>5</timer>"
        "<background>16777215</background><transition>1</transition><imagesize>FullScreen</imagesize><owner>me</owner>"
        "<files><file>/p/a.jpg</file><!--kept--><photo>/p/b.jpg</photo><?pi here?></files></settings>\n"));
    SettingsDoc doc(path);
    ASSERT_TRUE(doc.load().ok);
    // Every child of files is an entry but comments and processing instructions.
    EXPECT_EQ(readBack(doc), "5 5000ms 16777215 random full /p/a.jpg,/p/b.jpg");
    EXPECT_TRUE(doc.fileCount() == 2 && doc.fileAt(1) == "/p/b.jpg" && !doc.fileAt(2) && !doc.fileAt(-1));

    // Everything else stays where it was, and added entries go after the last one.
    const SettingsValues values{"2.5", RGB(1, 2, 3), false, ImageSize::Small, {"/p/c.png", "/p/c.png", QStringLiteral("/bilder/Grüße/Øre 東京.jpg")}};
    ASSERT_TRUE(doc.SaveSettings(values).ok);
    const QByteArray first = readFile(path);
    const auto flat = [](const QByteArray &xml) { return QString::fromUtf8(xml).remove(QRegularExpression("\n *")).toStdString(); };
    EXPECT_EQ(flat(first), "<?xml version=\"1.0\" encoding=\"UTF-8\"?><!-- kept by hand --><settings><timer>2.5</timer><background>197121</background>"
                           "<transition>0</transition><imagesize>small</imagesize><owner>me</owner><files><file>/p/c.png</file><!--kept-->"
                           "<file>/p/c.png</file><file>/bilder/Grüße/Øre 東京.jpg</file><?pi here?></files></settings>");
    // A second Apply writes the same bytes; a file that would not load again with these paths is not written.
    ASSERT_TRUE(doc.SaveSettings(values).ok);
    for (const char *odd : {"/p/bell\a.jpg", "/p/start\x01.jpg"})
        EXPECT_FALSE(doc.SaveSettings({.files = {odd}}).ok) << odd;
    EXPECT_EQ(readFile(path), first);
    ASSERT_TRUE(doc.SaveSettings({}).ok);
    EXPECT_TRUE(flat(readFile(path)).ends_with("<owner>me</owner><files><!--kept--><?pi here?></files></settings>"));

    // A folder where the file should be makes every write fail, for root too; the document keeps what is stored.
    ASSERT_TRUE(QFile::remove(path) && QDir().mkdir(path));
    const SettingsSaveResult failed = doc.SaveSettings(values);
    EXPECT_TRUE(!failed.ok && failed.message.contains(QDir::toNativeSeparators(path))) << failed.message.toStdString();
    EXPECT_EQ(readBack(doc), "1 1000ms 0 random medium ");
}

} // namespace
