#pragma once

#include "raster/ColorValue.h"
#include "raster/PictureLoader.h"

#include <QDateTime>
#include <QImage>
#include <QString>
#include <functional>
#include <future>

// A slide made ready ahead of its tick: decoded at the size it needs, scaled to its fit
// (fitted.naturalSize keeps the fit's geometry) and drawn into the whole picture area
// as FitPicture draws it, so the tick has no pixels left to touch.
struct PreparedSlide
{
    QString path;
    QDateTime modified;
    qint64 bytes = -1;
    PictureLoadResult fitted; // the picture at its fitted size, null when the file held none
    QImage frame;
    QString fitFailure; // what the fit reported, for the window to show (a worker shows no message box)
};

[[nodiscard]] PreparedSlide PrepareSlide(const QString &path, QSize area, ColorValue background = 0);

// Decodes the next slide on a worker thread during the interval, so the tick finds it
// ready. Only the next slide is ever held.
class SlidePreloader
{
public:
    SlidePreloader() = default;
    SlidePreloader(const SlidePreloader &) = delete;
    SlidePreloader &operator=(const SlidePreloader &) = delete;
    ~SlidePreloader();

    // `prepared`, if given, is called on the worker once the slide is ready and its decode let go.
    void prepare(const QString &path, QSize area, ColorValue background = 0, std::function<void()> prepared = {});
    // The slide for the path: the prepared one while the file is still the one prepared,
    // else loaded now, so a file deleted or changed since is treated as at the tick.
    [[nodiscard]] PreparedSlide take(const QString &path, QSize area, ColorValue background = 0);

private:
    std::future<PreparedSlide> pending_;
    QString pendingPath_;
    QSize pendingArea_;
    ColorValue pendingBackground_ = 0;
};
