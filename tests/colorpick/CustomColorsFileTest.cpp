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

    QTemporaryDir dir;
};

TEST_F(CustomColorsFileTest, MissingFileGivesZeros)
{
    EXPECT_EQ(ReadCustomColors(path()), CustomColorList{});
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
    EXPECT_EQ((std::vector<ColorValue>(colors.begin(), colors.begin() + 8)),
              (std::vector<ColorValue>{42, 0, 2, 4, 255, 0, -7, 0}));
}

TEST_F(CustomColorsFileTest, WritesTheExactFormatAtomicallyAndReadsItBack)
{
    writeRaw(QByteArray(10000, 'x'));
    CustomColorList colors{};
    colors[0] = 255;
    colors[18] = 16777215;
    colors[224] = -5;
    ASSERT_EQ(WriteCustomColors(path(), colors), QString());

    QByteArray expected;
    for (int i = 0; i < CustomColorCount; ++i)
        expected += i == 0 ? " 255 \r\n" : i == 18 ? " 16777215 \r\n" : i == 224 ? "-5 \r\n" : " 0 \r\n";
    QFile file(path());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), expected);
    EXPECT_EQ(ReadCustomColors(path()), colors);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{CustomColorsFileName});
}

TEST_F(CustomColorsFileTest, FailedWriteReportsTheFailure)
{
    // A directory where the file should be cannot be replaced.
    ASSERT_TRUE(QDir(dir.path()).mkdir(CustomColorsFileName));
    EXPECT_NE(WriteCustomColors(path(), CustomColorList{}), QString());
    EXPECT_NE(WriteCustomColors(dir.filePath(QStringLiteral("missing/usercolors.cps")), CustomColorList{}), QString());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{});
}

} // namespace
