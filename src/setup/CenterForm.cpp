#include "setup/CenterForm.h"

#include "raster/Units.h"

#include <QScreen>
#include <QWidget>

QPoint CenteredTopLeftTwips(QSize screenTwips, QSize windowTwips)
{
    return {RoundHalfEven((screenTwips.width() - windowTwips.width()) / 2.0),
            RoundHalfEven((screenTwips.height() - windowTwips.height()) / 2.0)};
}

void CenterForm(QWidget &window)
{
    const QRect screen = window.screen()->geometry();
    const QPoint twips = CenteredTopLeftTwips(screen.size() * TwipsPerPixel, window.frameGeometry().size() * TwipsPerPixel);
    window.move(screen.topLeft() + QPoint(TwipsToPixels(twips.x()), TwipsToPixels(twips.y())));
}
