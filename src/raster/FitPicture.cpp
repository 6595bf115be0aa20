#include "raster/FitPicture.h"

#include "raster/Surface.h"

#include <QPainter>

namespace {

constexpr int DivisionByZeroError = 11;

} // namespace

QRectF FitRect(float sourceWidth, float sourceHeight, float targetWidth, float targetHeight)
{
    const float ratio = sourceWidth / sourceHeight;
    float w = targetWidth;
    float h = targetHeight;
    if (w / h > ratio)
        w = ratio * h;
    else
        h = w / ratio;
    return QRectF((targetWidth - w) / 2.0f, (targetHeight - h) / 2.0f, w, h);
}

// Pixel edges follow the rounded single-precision rectangle, so the margins stay equal.
QRect FittedArea(QSize naturalSize, QSize target)
{
    const QRectF fit = FitRect(float(naturalSize.width()), float(naturalSize.height()), float(target.width()), float(target.height()));
    return QRect(QPoint(qRound(fit.left()), qRound(fit.top())), QPoint(qRound(fit.right()) - 1, qRound(fit.bottom()) - 1));
}

QSize FittedSize(QSize naturalSize, QSize target)
{
    return FittedArea(naturalSize, target).size();
}

QImage FittedPicture(const QImage &picture, QSize naturalSize, QSize target)
{
    const QSize size = FittedSize(naturalSize, target);
    if (picture.isNull() || size.isEmpty() || picture.size() == size)
        return picture;
    return picture.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QString FitPicture(const QImage &picture, QSize naturalSize, Surface &target)
{
    if (naturalSize.height() == 0)
        return QStringLiteral("%1 Division by zero").arg(DivisionByZeroError);
    target.clear();
    if (picture.isNull())
        return {}; // an invalid picture (481) is ignored silently
    const QRect area = FittedArea(naturalSize, target.size());
    if (area.isEmpty())
        return {};
    // Over the cleared background, so transparent parts show the background colour.
    QPainter painter(&target.image());
    painter.drawImage(area.topLeft(), FittedPicture(picture, naturalSize, target.size()));
    painter.end();
    target.markChanged(area);
    return {};
}

QImage SharedPart(const QImage &image, const QRect &part)
{
    // The copy held for the part keeps the pixels alive, and unchanged: a writer to either
    // image gets pixels of its own first.
    auto *owner = new QImage(image);
    return QImage(owner->constBits() + part.y() * owner->bytesPerLine() + qsizetype(part.x()) * 4, part.width(), part.height(),
                  owner->bytesPerLine(), owner->format(), [](void *held) { delete static_cast<QImage *>(held); }, owner);
}
