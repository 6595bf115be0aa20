#include "colorpick/CustomColorsFile.h"

#include "support/TestFiles.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(CustomColorsFileTest, ReadsMissingShortAndOddFilesAndWritesEveryCellInItsFolder)
{
    const QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("new/") + CustomColorsFileName); // the write makes the folder
    EXPECT_EQ(ReadCustomColors(path), CustomColorList{});
    CustomColorList colors{255};
    colors.back() = -5;
    ASSERT_EQ(WriteCustomColors(path, colors), QString());
    // A blank stands for the sign of a non-negative value.
    EXPECT_EQ(readFile(path), " 255 \r\n" + QByteArray(" 0 \r\n").repeated(223) + "-5 \r\n");
    EXPECT_EQ(ReadCustomColors(path), colors);
    // What is no number reads 0, as does a number beyond 32 bits; a short file repeats its last value.
    ASSERT_TRUE(writeFile(path, " 42 junk\r\nabc\r\n2.5\r\n3.5\r\n&HFF\r\n1e20\r\n-7 \r\n\r\n16777215\r\n"));
    const CustomColorList read = ReadCustomColors(path);
    EXPECT_EQ(std::vector<ColorValue>(read.begin(), read.begin() + 10), (std::vector<ColorValue>{42, 0, 2, 4, 255, 0, -7, 0, 16777215, 16777215}));
    EXPECT_EQ(read.back(), 16777215);
}
