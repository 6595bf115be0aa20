// Reads any bytes as usercolors.cps, writes the colours back and requires that the
// written file holds 225 lines in the stored format and reads back the same colours.
#include "FuzzFile.h"
#include "colorpick/CustomColorsFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const CustomColorList colors = ReadCustomColors(WriteFuzzFile(CustomColorsFileName, data, size));
    const QString copy = FuzzFolder().filePath(QStringLiteral("written.cps"));
    Require(WriteCustomColors(copy, colors).isEmpty());
    QFile file(copy);
    Require(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    Require(text.count("\r\n") == CustomColorCount && text.endsWith(" \r\n"));
    Require(ReadCustomColors(copy) == colors);
    return 0;
}
