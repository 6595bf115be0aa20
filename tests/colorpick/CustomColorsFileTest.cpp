#include "CustomColorsFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class CustomColorsFileTest : public testing::Test
{
protected:
    [[nodiscard]] QString path() const { return dir.filePath(CustomColorsFileName); }

    void writeRaw(const QByteArray &content) const
    {
        QFile file(path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }

    [[nodiscard]] QByteArray readRaw() const
    {
        QFile file(path());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir dir;
};

TEST_F(CustomColorsFileTest, MissingFileGivesZeros)
{
    const CustomColorList colors = ReadCustomColors(path());
    for (const ColorValue color : colors)
        EXPECT_EQ(color, 0);
}

TEST_F(CustomColorsFileTest, ShortFileRepeatsItsLastValue)
{
    writeRaw("255\r\n65280\r\n16777215\r\n");
    const CustomColorList colors = ReadCustomColors(path());
    EXPECT_EQ(colors[0], 255);
    EXPECT_EQ(colors[1], 65280);
    for (int i = 2; i < CustomColorCount; ++i)
        EXPECT_EQ(colors[i], 16777215) << i;
}

TEST_F(CustomColorsFileTest, EachLineReadsItsLeadingNumber)
{
    writeRaw(" 42 junk\r\nabc\r\n2.5\r\n3.5\r\n&HFF\r\n1e20\r\n-7 \r\n\r\n");
    const CustomColorList colors = ReadCustomColors(path());
    const ColorValue expected[] = {42, 0, 2, 4, 255, 0, -7, 0};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(colors[i], expected[i]) << i;
}

TEST_F(CustomColorsFileTest, WritesTheExactFormat)
{
    CustomColorList colors{};
    colors[0] = 255;
    colors[18] = 16777215;
    colors[224] = -5;
    ASSERT_TRUE(WriteCustomColors(path(), colors).isEmpty());

    QByteArray expected;
    for (int i = 0; i < CustomColorCount; ++i)
        expected += i == 0 ? " 255 \r\n" : i == 18 ? " 16777215 \r\n" : i == 224 ? "-5 \r\n" : " 0 \r\n";
    EXPECT_EQ(readRaw(), expected);
    EXPECT_EQ(readRaw().count("\r\n"), 225);
}

TEST_F(CustomColorsFileTest, RoundTripKeepsEveryValue)
{
    CustomColorList colors{};
    for (int i = 0; i < CustomColorCount; ++i)
        colors[i] = i * 74565 - 100;
    ASSERT_TRUE(WriteCustomColors(path(), colors).isEmpty());
    EXPECT_EQ(ReadCustomColors(path()), colors);
}

TEST_F(CustomColorsFileTest, RewriteReplacesTheOldContentAndLeavesNoTemporaryFile)
{
    writeRaw(QByteArray(10000, 'x'));
    CustomColorList colors{};
    ASSERT_TRUE(WriteCustomColors(path(), colors).isEmpty());
    EXPECT_EQ(readRaw().size(), 225 * 5);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{CustomColorsFileName});
}

TEST_F(CustomColorsFileTest, FailedWriteReportsTheFailure)
{
    const QString blocked = dir.filePath(QStringLiteral("blocked"));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("blocked")));
    // A directory where the file should be cannot be replaced.
    EXPECT_FALSE(WriteCustomColors(blocked, CustomColorList{}).isEmpty());
    EXPECT_FALSE(WriteCustomColors(dir.filePath(QStringLiteral("missing/usercolors.cps")), CustomColorList{}).isEmpty());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{});
}

} // namespace
