#include "slideshow/SlidePreloader.h"

#include "raster/FitPicture.h"
#include "raster/Surface.h"

#include <QFileInfo>
#include <malloc.h>

PreparedSlide PrepareSlide(const QString &path, QSize area, ColorValue background)
{
    const QFileInfo file(path);
    PreparedSlide slide{path, file.lastModified(), file.exists() ? file.size() : -1, LoadPicture(path, area), {}, {}};
    if (!slide.fitted.ok())
        return slide;
    // The decode is let go once fitted: only the fitted picture and the frame are held.
    slide.fitted.picture = FittedPicture(slide.fitted.picture, slide.fitted.naturalSize, area);
    Surface frame(area.width(), area.height(), background);
    slide.fitFailure = FitPicture(slide.fitted.picture, slide.fitted.naturalSize, frame);
    slide.frame = frame.drawnImage();
    if (!slide.fitFailure.isEmpty() || slide.fitted.picture.hasAlphaChannel())
        return slide;
    // An opaque picture lands in the frame pixel for pixel: its pixels are held once, there.
    if (const QRect drawn = FittedArea(slide.fitted.naturalSize, area); drawn.size() == slide.fitted.picture.size())
        slide.fitted.picture = SharedPart(slide.frame, drawn);
    return slide;
}

SlidePreloader::~SlidePreloader()
{
    if (pending_.valid())
        pending_.wait();
}

void SlidePreloader::prepare(const QString &path, QSize area, ColorValue background, std::function<void()> prepared)
{
    if (pending_.valid())
        pending_.wait();
    pendingPath_ = path;
    pendingArea_ = area;
    pendingBackground_ = background;
    pending_ = std::async(std::launch::async, [=, prepared = std::move(prepared)] {
        PreparedSlide slide = PrepareSlide(path, area, background);
        // The decode's smaller blocks were freed into the heap, which would keep them till the
        // next decode: between two ticks the show holds its slides and nothing more.
        malloc_trim(0);
        if (prepared)
            prepared();
        return slide;
    });
}

PreparedSlide SlidePreloader::take(const QString &path, QSize area, ColorValue background)
{
    if (pending_.valid() && pendingPath_ == path && pendingArea_ == area && pendingBackground_ == background) {
        PreparedSlide slide = pending_.get();
        const QFileInfo file(path);
        const qint64 bytes = file.exists() ? file.size() : -1;
        if (bytes == slide.bytes && file.lastModified() == slide.modified)
            return slide;
    } else if (pending_.valid()) {
        pending_.wait();
        pending_ = {};
    }
    return PrepareSlide(path, area, background);
}
