#include "settings/SettingsDoc.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class SettingsDocTest : public ::testing::Test
{
protected:
    QString path() const { return dir.filePath(SettingsFileName); }

    void write(const QByteArray &content, const QString &name = SettingsFileName) const
    {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }

    QByteArray read(const QString &name = SettingsFileName) const
    {
        QFile file(dir.filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir dir;
};

const QByteArray Example = R"(<?xml version="1.0"?>
<!-- kept by hand -->
<settings>
  <timer>5</timer>
  <background>16777215</background>
  <transition>1</transition>
  <imagesize>FullScreen</imagesize>
  <owner>me</owner>
  <files><file>/p/a.jpg</file><!--kept--><?pi here?><photo>/p/b.jpg</photo><file>/p/a.jpg</file></files>
</settings>
)";

// Everything a reader takes from the document, compared in one go.
struct Read
{
    QString timer;
    int ms;
    ColorValue background;
    bool random;
    std::optional<ImageSize> size;
    QStringList files;
    bool operator==(const Read &) const = default;
};

Read readBack(const SettingsDoc &doc)
{
    return {doc.timerText(), doc.timerIntervalMs(), doc.background(), doc.randomTransitions(), doc.imageSize(), doc.files()};
}

const Read Presets{"1", 1000, 0, true, std::nullopt, {}};

void PrintTo(const Read &r, std::ostream *os)
{
    *os << r.timer.toStdString() << " " << r.ms << "ms bg " << r.background << (r.random ? " random" : " none") << " size "
        << (r.size ? int(*r.size) : -1) << " files " << r.files.join(',').toStdString();
}

// A settings document whose elements nest depth levels deep, the root being the first.
QByteArray nested(int depth)
{
    return "<settings>" + QByteArray("<a>").repeated(depth - 1) + QByteArray("</a>").repeated(depth - 1) + "</settings>";
}

} // namespace

TEST_F(SettingsDocTest, ReadsEveryValueAndEveryChildOfFiles)
{
    write(Example);
    SettingsDoc doc(path());
    EXPECT_TRUE(doc.load().ok);
    // Comments and processing instructions are not entries; any element is.
    EXPECT_EQ(readBack(doc), (Read{"5", 5000, 16777215, true, ImageSize::FullScreen, {"/p/a.jpg", "/p/b.jpg", "/p/a.jpg"}}));
    EXPECT_EQ(doc.fileCount(), 3);
    EXPECT_EQ(doc.fileAt(2), "/p/a.jpg");
    EXPECT_EQ(doc.fileAt(3), std::nullopt);
    EXPECT_EQ(doc.fileAt(-1), std::nullopt);
}

TEST_F(SettingsDocTest, ValueTextForms)
{
    struct Case
    {
        const char *timer, *background, *transition, *size;
        Read expected;
    };
    const Case cases[] = {
        {"2.5", "-1", "1.0", "large", {"2.5", 2500, -1, true, ImageSize::Large, {}}},
        {"0", "255", "2", "Large", {"0", 0, 255, false, std::nullopt, {}}},
        {"0.0005", "65280", "0", "medium", {"0.0005", 0, 65280, false, ImageSize::Medium, {}}}, // 0.5 ms rounds to even 0
        {"0.0015", "0", "1", "small", {"0.0015", 2, 0, true, ImageSize::Small, {}}},            // 1.5 ms rounds to even 2
        {"abc", "blue", "yes", "", {"abc", 1000, 0, true, std::nullopt, {}}},                  // presets where nothing parses
        {"-3", "99999999999", "1", "fullscreen", {"-3", 0, 0, true, std::nullopt, {}}},
    };
    for (const Case &c : cases) {
        write(QStringLiteral("<settings><timer>%1</timer><background>%2</background><transition>%3</transition>"
                             "<imagesize>%4</imagesize><files/></settings>")
                  .arg(c.timer, c.background, c.transition, c.size).toUtf8());
        SettingsDoc doc(path());
        ASSERT_TRUE(doc.load().ok);
        EXPECT_EQ(readBack(doc), c.expected) << c.timer;
    }
}

TEST_F(SettingsDocTest, MissingMalformedOrIncompleteFilesReadAsPresets)
{
    const std::pair<QByteArray, bool> cases[] = {
        {QByteArray(), false}, {"<settings><timer>5</timer", false}, {"<config><timer>5</timer></config>", false},
        {"<settings/>", true},  {nested(256), true},                  {nested(257), false},
        {nested(100000), false}, // refused as soon as it is too deep, not after building the whole tree
    };
    for (const auto &[content, ok] : cases) {
        QFile::remove(path());
        if (!content.isNull())
            write(content);
        SettingsDoc doc(path());
        const SettingsLoadResult result = doc.load();
        EXPECT_EQ(result.ok, ok) << content.left(40).constData();
        EXPECT_EQ(result.message.isEmpty(), result.ok) << content.left(40).constData();
        EXPECT_EQ(readBack(doc), Presets) << content.left(40).constData();
    }
    write("<settings>\n<timer>5</timer\n</settings>");
    SettingsDoc doc(path());
    const SettingsLoadResult result = doc.load();
    EXPECT_EQ(result.line, 3);
    EXPECT_GT(result.column, 0);
    EXPECT_EQ(result.file, path());
}

TEST_F(SettingsDocTest, SaveWritesValuesInPlaceKeepingForeignContent)
{
    write(Example);
    SettingsDoc doc(path());
    ASSERT_TRUE(doc.load().ok);
    SettingsValues values;
    values.timer = QStringLiteral("2.5");
    values.background = RGB(1, 2, 3);
    values.randomTransitions = false;
    values.imageSize = ImageSize::Small;
    values.files = {"/p/c.png", "/p/c.png", QStringLiteral("/bilder/Grüße/Øre 東京.jpg")};
    ASSERT_TRUE(doc.SaveSettings(values).ok);
    const QByteArray first = read();
    EXPECT_TRUE(first.contains("<!-- kept by hand -->"));
    EXPECT_TRUE(first.contains("<owner>me</owner>"));
    // The comment and the processing instruction keep their places between the entries.
    EXPECT_TRUE(QString::fromUtf8(first).remove(QRegularExpression("\n *")).contains(
        "<files><file>/p/c.png</file><!--kept--><?pi here?><file>/p/c.png</file><file>/bilder/"));
    EXPECT_TRUE(first.contains("<background>197121</background>"));
    EXPECT_TRUE(first.contains("<transition>0</transition>"));
    EXPECT_TRUE(first.contains("<imagesize>small</imagesize>"));
    EXPECT_TRUE(first.contains("<timer>2.5</timer>"));

    SettingsDoc again(path());
    ASSERT_TRUE(again.load().ok);
    EXPECT_EQ(readBack(again), (Read{"2.5", 2500, RGB(1, 2, 3), false, ImageSize::Small, values.files}));

    // Entries are replaced, never accumulated: a second Apply writes the same bytes.
    ASSERT_TRUE(doc.SaveSettings(values).ok);
    EXPECT_EQ(read(), first);
    values.files.clear();
    ASSERT_TRUE(doc.SaveSettings(values).ok);
    SettingsDoc empty(path());
    ASSERT_TRUE(empty.load().ok);
    EXPECT_EQ(empty.fileCount(), 0);
}

TEST_F(SettingsDocTest, SaveCreatesMissingFileAndElements)
{
    SettingsDoc doc(path());
    EXPECT_FALSE(doc.load().ok);
    SettingsValues values;
    values.files = {"/x.jpg"};
    ASSERT_TRUE(doc.SaveSettings(values).ok);
    SettingsDoc reloaded(path());
    ASSERT_TRUE(reloaded.load().ok);
    EXPECT_EQ(readBack(reloaded), (Read{"1", 1000, 0, true, ImageSize::Medium, {"/x.jpg"}}));
    EXPECT_FALSE(QFile::exists(path() + ".bak"));

    write("<settings><timer>3</timer><owner>x</owner></settings>");
    SettingsDoc partial(path());
    ASSERT_TRUE(partial.load().ok);
    ASSERT_TRUE(partial.SaveSettings(values).ok);
    SettingsDoc completed(path());
    ASSERT_TRUE(completed.load().ok);
    EXPECT_EQ(readBack(completed), (Read{"1", 1000, 0, true, ImageSize::Medium, {"/x.jpg"}}));
    EXPECT_TRUE(read().contains("<owner>x</owner>"));
}

TEST_F(SettingsDocTest, MalformedFileIsKeptAsBackupBeforeReplaced)
{
    for (const QByteArray &damaged : {QByteArray("<settings><timer>5</timer><files><file>/a.jpg</file></settings>"), nested(5000)}) {
        write(damaged);
        SettingsDoc doc(path());
        EXPECT_FALSE(doc.load().ok);
        ASSERT_TRUE(doc.SaveSettings(SettingsValues{}).ok);
        EXPECT_EQ(read(SettingsFileName + ".bak"), damaged);
        SettingsDoc reloaded(path());
        EXPECT_TRUE(reloaded.load().ok);
    }
}

TEST_F(SettingsDocTest, FailedSaveReportsWritesNothingAndKeepsStoredValuesInMemory)
{
    write(Example);
    SettingsDoc doc(path());
    ASSERT_TRUE(doc.load().ok);
    // A folder where the file should be makes every write fail, for root too.
    ASSERT_TRUE(QFile::remove(path()));
    ASSERT_TRUE(QDir(dir.path()).mkdir(SettingsFileName));
    SettingsValues values;
    values.timer = QStringLiteral("9");
    values.files = {"/new.png"};
    const SettingsSaveResult result = doc.SaveSettings(values);
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.message.contains(QDir::toNativeSeparators(path())));
    EXPECT_EQ(doc.timerText(), "5");
    EXPECT_EQ(doc.fileCount(), 3);

    // A per-user folder that does not exist yet is made by the first save.
    SettingsDoc fresh(dir.filePath("new/folder/settings.xml"));
    fresh.load();
    EXPECT_TRUE(fresh.SaveSettings(values).ok);
    EXPECT_TRUE(QFile::exists(dir.filePath("new/folder/settings.xml")));
    // A file that would not load again with these paths is not written.
    write(Example, "other.xml");
    SettingsDoc other(dir.filePath("other.xml"));
    ASSERT_TRUE(other.load().ok);
    for (const char *odd : {"/p/bell\a.jpg", "/p/start\x01.jpg"}) {
        values.files = {odd};
        EXPECT_FALSE(other.SaveSettings(values).ok) << odd;
        EXPECT_EQ(read("other.xml"), Example);
    }
}
