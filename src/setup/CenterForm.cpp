#include "setup/CenterForm.h"

#include "raster/Surface.h"

#include <QScreen>
#include <QWidget>
#include <cmath>

namespace {

int roundHalfEven(double value)
{
    return int(std::nearbyint(value)); // the default rounding mode sends halves to even
}

} // namespace

QPoint CenteredTopLeftTwips(QSize screenTwips, QSize windowTwips)
{
    return {roundHalfEven((screenTwips.width() - windowTwips.width()) / 2.0),
            roundHalfEven((screenTwips.height() - windowTwips.height()) / 2.0)};
}

void CenterForm(QWidget &window)
{
    constexpr int twipsPerPixel = Surface::TwipsPerPixel;
    const QRect screen = window.screen()->geometry();
    const QPoint twips = CenteredTopLeftTwips(screen.size() * twipsPerPixel, window.frameGeometry().size() * twipsPerPixel);
    window.move(screen.topLeft()
                + QPoint(roundHalfEven(double(twips.x()) / twipsPerPixel), roundHalfEven(double(twips.y()) / twipsPerPixel)));
}
