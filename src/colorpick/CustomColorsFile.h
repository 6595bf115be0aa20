#pragma once

#include "raster/ColorValue.h"

#include <QString>
#include <array>

inline constexpr int CustomColorCount = 225;
using CustomColorList = std::array<ColorValue, CustomColorCount>;

inline const QString CustomColorsFileName = QStringLiteral("usercolors.cps");

// One value a line; index 0 belongs to no cell. A missing or short file is not an
// error: a line that cannot be read repeats the previous line's value, so a missing
// file gives all zeros.
[[nodiscard]] CustomColorList ReadCustomColors(const QString &path);

// Writes all 225 lines (" value " and CR LF) in place of the old file, or leaves the old
// file whole when anything fails. Returns the failure, empty on success.
[[nodiscard]] QString WriteCustomColors(const QString &path, const CustomColorList &colors);
