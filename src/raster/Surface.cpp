#include "raster/Surface.h"

#include <QPainter>

namespace {

thread_local DeferredDrawing *Deferred = nullptr;

}

void Surface::defer(DeferredDrawing *drawing)
{
    if (Deferred != drawing)
        settleDeferred();
    Deferred = drawing;
}

void Surface::settleDeferred()
{
    if (DeferredDrawing *drawing = std::exchange(Deferred, nullptr))
        drawing->settle();
}

bool Surface::settleDeferredInBackground(std::function<void()> made)
{
    DeferredDrawing *const drawing = std::exchange(Deferred, nullptr);
    if (!drawing)
        return false;
    drawing->settleInBackground(std::move(made));
    // It stays deferred: whoever next reads or writes pixels waits for its background work.
    Deferred = drawing;
    return true;
}

void Surface::finishBackground()
{
    if (Deferred)
        Deferred->finishBackground();
}

qint64 Surface::deferredWork()
{
    return Deferred ? Deferred->work() : 0;
}

void Surface::withdraw(DeferredDrawing *drawing)
{
    if (Deferred == drawing)
        Deferred = nullptr;
}

Surface::Surface(int width, int height, ColorValue background)
    : image_(qMax(width, 0), qMax(height, 0), QImage::Format_RGB32), background_(background)
{
    image_.fill(toQRgb(background_));
}

void Surface::resize(int width, int height)
{
    settleDeferred();
    width = qMax(width, 0);
    height = qMax(height, 0);
    if (width == image_.width() && height == image_.height())
        return;
    QImage resized(width, height, QImage::Format_RGB32);
    resized.fill(toQRgb(background_));
    QPainter painter(&resized);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(0, 0, image_);
    painter.end();
    image_ = std::move(resized);
    markChanged(image_.rect());
}

void Surface::setBackColor(ColorValue color)
{
    background_ = color;
}

void Surface::clear()
{
    settleDeferred();
    if (picture_.size() == image_.size() && picture_.format() == QImage::Format_RGB32) {
        image_ = picture_; // shares the pixels until the next drawing
        markChanged(image_.rect());
        return;
    }
    image_.fill(toQRgb(background_));
    if (!picture_.isNull()) {
        QPainter painter(&image_);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(0, 0, picture_);
    }
    markChanged(image_.rect());
}

void Surface::setPicture(const QImage &picture)
{
    settleDeferred();
    picture_ = picture;
    clear();
    refresh();
}

void Surface::adoptPicture(const QImage &picture)
{
    settleDeferred();
    picture_ = picture;
    if (image_.size() != picture.size())
        image_ = QImage(picture.size(), QImage::Format_RGB32);
    clear();
    refresh();
}

void Surface::replaceDrawing(const QImage &drawing)
{
    settleDeferred();
    Q_ASSERT(drawing.size() == image_.size());
    image_ = drawing.format() == QImage::Format_RGB32 ? drawing : drawing.convertToFormat(QImage::Format_RGB32);
    markChanged(image_.rect());
}

void Surface::markChanged(const QRect &area)
{
    const QRect visible = area & image_.rect();
    // A full-surface change swallows everything; skip the region arithmetic then.
    if (visible == image_.rect())
        changed_ = visible;
    else if (!visible.isEmpty())
        changed_ += visible;
}

void Surface::refresh()
{
    const QRegion changed = std::exchange(changed_, QRegion());
    if (!presenter_)
        return;
    for (const QRect &rect : changed)
        presenter_(rect);
}
