#include "FitPicture.h"

#include "Dialogs.h"
#include "PictureLoader.h"
#include "Surface.h"

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

void FitPicture(const Surface &source, Surface &target, MessageSink &messages)
{
    if (source.height() == 0) {
        messages.showMessage(nullptr, ProgramTitle, QStringLiteral("%1 Division by zero").arg(DivisionByZeroError));
        return;
    }
    const QRectF fit = FitRect(float(source.width()), float(source.height()), float(target.width()), float(target.height()));
    target.clear();
    if (source.picture().isNull())
        return; // an invalid picture (481) is ignored silently
    // Pixel edges follow the rounded single-precision rectangle, so the margins stay equal.
    const QRect area(QPoint(qRound(fit.left()), qRound(fit.top())), QPoint(qRound(fit.right()) - 1, qRound(fit.bottom()) - 1));
    if (area.isEmpty())
        return;
    const QImage scaled = source.picture().size() == area.size()
        ? source.picture()
        : source.picture().scaled(area.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QPainter painter(&target.image());
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(area.topLeft(), scaled);
    painter.end();
    target.markChanged(area);
}
