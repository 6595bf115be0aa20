#include "SurfaceView.h"

#include "Surface.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScreen>

SurfaceView::SurfaceView(Surface &surface, QWidget *parent, Pixels pixels) : QWidget(parent), surface_(surface), pixels_(pixels)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    frame_.setSingleShot(true);
    frame_.setTimerType(Qt::PreciseTimer);
    connect(&frame_, &QTimer::timeout, this, &SurfaceView::presentPending);
    surface_.setPresenter([this](const QRect &changed) {
        pending_ += changed;
        if (!frame_.isActive()) {
            const qreal rate = screen() ? screen()->refreshRate() : 60.0;
            frame_.start(qBound(1, qRound(1000.0 / (rate > 0 ? rate : 60.0)), 50));
        }
    });
}

qreal SurfaceView::ratio() const
{
    return pixels_ == Pixels::Device ? devicePixelRatioF() : 1.0;
}

void SurfaceView::presentPending()
{
    const qreal ratio = this->ratio();
    for (const QRect &changed : std::exchange(pending_, QRegion()))
        update(QRectF(changed.x() / ratio, changed.y() / ratio, changed.width() / ratio, changed.height() / ratio)
                   .toAlignedRect());
}

SurfaceView::~SurfaceView()
{
    surface_.setPresenter({});
}

void SurfaceView::fitToSurface()
{
    const qreal ratio = this->ratio();
    resize(qRound(surface_.width() / ratio), qRound(surface_.height() / ratio));
}

void SurfaceView::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    const QImage &image = surface_.image();
    const qreal ratio = this->ratio();
    const QRect logical = event->rect();
    const QRect device = QRectF(logical.x() * ratio, logical.y() * ratio, logical.width() * ratio, logical.height() * ratio)
                             .toAlignedRect() & image.rect();
    // Only what the surface does not cover takes the background colour.
    const QRegion uncovered = QRegion(logical) - QRect(0, 0, qRound(image.width() / ratio), qRound(image.height() / ratio));
    for (const QRect &part : uncovered)
        painter.fillRect(part, QColor(toQRgb(surface_.backColor())));
    if (!device.isEmpty())
        painter.drawImage(QRectF(device.x() / ratio, device.y() / ratio, device.width() / ratio, device.height() / ratio),
                          image, device);
}
