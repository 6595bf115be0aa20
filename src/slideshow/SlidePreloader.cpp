#include "SlidePreloader.h"

#include "FitPicture.h"

#include <QFileInfo>

PreparedSlide PrepareSlide(const QString &path, QSize area)
{
    const QFileInfo file(path);
    PreparedSlide slide{path, file.lastModified(), file.exists() ? file.size() : -1, LoadPicture(path, area)};
    if (slide.loaded.ok()) // the decode is let go once fitted: only the fitted picture is held
        slide.loaded.picture = FittedPicture(slide.loaded.picture, slide.loaded.naturalSize, area);
    return slide;
}

SlidePreloader::~SlidePreloader()
{
    if (pending_.valid())
        pending_.wait();
}

void SlidePreloader::prepare(const QString &path, QSize area)
{
    if (pending_.valid())
        pending_.wait();
    pendingPath_ = path;
    pendingArea_ = area;
    pending_ = std::async(std::launch::async, PrepareSlide, path, area);
}

PreparedSlide SlidePreloader::take(const QString &path, QSize area)
{
    if (pending_.valid() && pendingPath_ == path && pendingArea_ == area) {
        PreparedSlide slide = pending_.get();
        const QFileInfo file(path);
        const qint64 bytes = file.exists() ? file.size() : -1;
        if (bytes == slide.bytes && file.lastModified() == slide.modified)
            return slide;
    } else if (pending_.valid()) {
        pending_.wait();
        pending_ = {};
    }
    return PrepareSlide(path, area);
}
