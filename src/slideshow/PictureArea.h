#pragma once

#include "settings/SettingsDoc.h"

#include <QRect>

// Where the fitted slide lies on a screen of the given size in pixels: the size is the
// screen's divided by 1.2, 1.5 or 2 and both offsets come from the width. Where the
// top offset would push the area off the bottom of a very wide screen, it is pulled up
// to fit.
[[nodiscard]] QRect PictureArea(ImageSize size, QSize screen);
