#pragma once

#include <QPoint>
#include <QSize>

class QWidget;

// Where a window of the given outer size goes to be centred on a screen, both in twips:
// half the difference, a half going to the even neighbour.
[[nodiscard]] QPoint CenteredTopLeftTwips(QSize screenTwips, QSize windowTwips);

// Moves the window so that its outer frame is centred on its screen; its size stays.
void CenterForm(QWidget &window);
