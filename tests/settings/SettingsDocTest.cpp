#include "settings/SettingsDoc.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QByteArray Example = "<?xml version=\"1.0\"?>\n<!-- kept by hand -->\n<settings><timer>5</timer><background>16777215</background><transition>1</transition>"
                           "<imagesize>FullScreen</imagesize><owner>me</owner><files><file>/p/a.jpg</file><!--kept--><photo>/p/b.jpg</photo><?pi here?></files></settings>\n";

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

} // namespace

TEST_F(SettingsDocTest, ValueTextForms)
{
    const struct { const char *timer, *background, *transition, *size, *read; } cases[] = {
        {"2.5", "-1", "1.0", "large", "2.5 2500ms -1 random large "},
        {"0", "255", "2", "Large", "0 0ms 255 none - "},
        {"0.0005", "65280", "0", "medium", "0.0005 0ms 65280 none medium "}, // 0.5 ms rounds to even 0
        {"0.0015", "0", "1", "small", "0.0015 2ms 0 random small "},         // 1.5 ms rounds to even 2
        {"abc", "blue", "yes", "", "abc 1000ms 0 random - "},                // presets where nothing parses
        {"-3", "99999999999", "1", "fullscreen", "-3 0ms 0 random - "},
        {"1e10", "inf", "inf", "FullScreen", "1e10 2147483647ms 0 random full "}, // the longest wait a timer takes
    };
    ASSERT_TRUE(QDir().mkpath(dir.filePath("user")));
    for (const auto &c : cases) {
        writeFile(path, QStringLiteral("<settings><timer>%1</timer><background>%2</background><transition>%3</transition>"
                                       "<imagesize>%4</imagesize><files/></settings>").arg(c.timer, c.background, c.transition, c.size).toUtf8());
        SettingsDoc doc(path);
        ASSERT_TRUE(doc.load().ok);
        EXPECT_EQ(readBack(doc), c.read) << c.timer;
    }
}

TEST_F(SettingsDocTest, AFileThatIsNoSettingsDocumentReadsAsPresetsAndTheFirstSaveKeepsItAsBackup)
{
    const struct { const char *name; QByteArray content; bool ok; int line; } cases[] = {
        {"missing, folder too", QByteArray(), false, 0},
        {"unclosed tag", "<settings>\n<timer>5</timer\n</settings>", false, 3},
        {"another root", "<config><timer>5</timer></config>", false, 0},
        {"empty root", "<settings/>", true, 0},
        {"256 deep", nested(256), true, 0},
        {"257 deep", nested(257), false, 1},
        {"100000 deep", nested(100000), false, 1}, // refused as soon as it is too deep, not after building the whole tree
    };
    for (const auto &c : cases) {
        QDir(dir.filePath("user")).removeRecursively();
        ASSERT_TRUE(c.content.isNull() || (QDir().mkpath(dir.filePath("user")) && writeFile(path, c.content)));
        SettingsDoc doc(path);
        const SettingsLoadResult result = doc.load();
        EXPECT_EQ(std::tuple(result.ok, result.message.isEmpty(), result.line, result.file), std::tuple(c.ok, c.ok, c.line, path)) << c.name;
        EXPECT_EQ(readBack(doc), "1 1000ms 0 random - ") << c.name;
        // The save makes whatever the file lacks, from its folder on.
        ASSERT_TRUE(doc.SaveSettings({.files = {"/x.jpg"}}).ok) << c.name;
        EXPECT_EQ(readFile(path + ".bak"), c.ok ? QByteArray() : c.content) << c.name;
        SettingsDoc again(path);
        EXPECT_TRUE(again.load().ok) << c.name;
        EXPECT_EQ(readBack(again), "1 1000ms 0 random medium /x.jpg") << c.name;
    }
}

TEST_F(SettingsDocTest, ReadsEveryValueAndSavesInPlaceOrNotAtAll)
{
    ASSERT_TRUE(QDir().mkpath(dir.filePath("user")) && writeFile(path, Example));
    SettingsDoc doc(path);
    ASSERT_TRUE(doc.load().ok);
    // Every child of files is an entry but comments and processing instructions.
    EXPECT_EQ(readBack(doc), "5 5000ms 16777215 random full /p/a.jpg,/p/b.jpg");
    EXPECT_EQ(doc.fileCount(), 2);
    EXPECT_EQ(doc.fileAt(1), "/p/b.jpg");
    EXPECT_TRUE(!doc.fileAt(2) && !doc.fileAt(-1));

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
