#include "colorpick/CustomColorsFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Writes content as usercolors.cps in dir and reads it back.
CustomColorList readBack(const QTemporaryDir &dir, const QByteArray &content)
{
    QFile file(dir.filePath(CustomColorsFileName));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
    file.close();
    return ReadCustomColors(file.fileName());
}

TEST(CustomColorsFileTest, MissingShortAndOddFiles)
{
    const QTemporaryDir dir;
    EXPECT_EQ(ReadCustomColors(dir.filePath(CustomColorsFileName)), CustomColorList{});
    // A short file repeats its last value.
    CustomColorList expected;
    expected.fill(16777215);
    expected[0] = 255;
    expected[1] = 65280;
    EXPECT_EQ(readBack(dir, "255\r\n65280\r\n16777215\r\n"), expected);
    const CustomColorList odd = readBack(dir, " 42 junk\r\nabc\r\n2.5\r\n3.5\r\n&HFF\r\n1e20\r\n-7 \r\n\r\n");
    EXPECT_EQ((std::vector<ColorValue>(odd.begin(), odd.begin() + 8)), (std::vector<ColorValue>{42, 0, 2, 4, 255, 0, -7, 0}));
}

TEST(CustomColorsFileTest, WritesTheExactFormatOverTheOldFileOrReportsTheFailure)
{
    const QTemporaryDir dir;
    const QString path = dir.filePath(CustomColorsFileName);
    (void)readBack(dir, QByteArray(10000, 'x'));
    CustomColorList colors{};
    colors[0] = 255;
    colors[224] = -5;
    ASSERT_EQ(WriteCustomColors(path, colors), QString());
    QByteArray expected;
    for (int i = 0; i < CustomColorCount; ++i)
        expected += i == 0 ? " 255 \r\n" : i == 224 ? "-5 \r\n" : " 0 \r\n";
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), expected);
    EXPECT_EQ(ReadCustomColors(path), colors);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{CustomColorsFileName});

    // A directory where the file should be cannot be replaced; no temporary file stays behind.
    ASSERT_TRUE(QFile::remove(path) && QDir(dir.path()).mkdir(CustomColorsFileName));
    EXPECT_NE(WriteCustomColors(path, colors), QString());
    EXPECT_EQ(WriteCustomColors(dir.filePath(QStringLiteral("new/usercolors.cps")), colors), QString()); // makes its folder
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{});
}

} // namespace
