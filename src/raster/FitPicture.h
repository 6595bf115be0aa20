#pragma once

#include <QImage>
#include <QRect>
#include <QRectF>
#include <QSize>
#include <QString>

class Surface;

// Where a picture of the source's proportions lands in a target of the given size:
// as large as fits, centred, in single precision.
[[nodiscard]] QRectF FitRect(float sourceWidth, float sourceHeight, float targetWidth, float targetHeight);

// Clears the target and draws the picture into it, as large as fits with the proportions
// of its natural size kept, centred; transparent parts show the target's background
// colour. The picture may have been decoded smaller than its natural size; one already
// at the fitted size is copied as it is. An invalid picture is ignored silently; any
// other failure comes back as its code, a blank and its description, for the window to
// show (empty when the fit succeeded).
[[nodiscard]] QString FitPicture(const QImage &picture, QSize naturalSize, Surface &target);

// Where the fit puts a picture of the natural size in a target of the given size, in pixels.
[[nodiscard]] QRect FittedArea(QSize naturalSize, QSize target);

// The size the fit gives a picture of the natural size in a target of the given size.
[[nodiscard]] QSize FittedSize(QSize naturalSize, QSize target);

// The picture scaled to the size the fit gives it in a target of the given size: the
// expensive part of a fit, which can run ahead of time.
[[nodiscard]] QImage FittedPicture(const QImage &picture, QSize naturalSize, QSize target);

// A part (within the image) of a 32-bit image as an image of its own that shares its pixels.
[[nodiscard]] QImage SharedPart(const QImage &image, const QRect &part);
