#pragma once

#include <QString>

// The number at the start of a text, as the boxes and usercolors.cps are read: blanks
// and tabs anywhere are skipped, "&H" and "&O" introduce hexadecimal and octal digits,
// and a text that does not start with a number reads 0 ("12abc" is 12, "1 2" is 12).
[[nodiscard]] double Val(const QString &text);
