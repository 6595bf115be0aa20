#pragma once

#include <QRectF>

class Surface;
class MessageSink;

// Where a picture of the source's proportions lands in a target of the given size:
// as large as fits, centred, in single precision.
[[nodiscard]] QRectF FitRect(float sourceWidth, float sourceHeight, float targetWidth, float targetHeight);

// Clears the target and draws the source's stored picture into it, as large as fits
// with its proportions kept, centred. An invalid picture is ignored silently; any other
// failure is shown as its code, a blank and its description, and never reaches the caller.
void FitPicture(const Surface &source, Surface &target, MessageSink &messages);
