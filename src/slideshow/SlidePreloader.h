#pragma once

#include "PictureLoader.h"

#include <QDateTime>
#include <QImage>
#include <QString>
#include <future>

// A slide made ready ahead of its tick: decoded at the size it needs and scaled to its
// fit; loaded.naturalSize keeps the geometry of the fit.
struct PreparedSlide
{
    QString path;
    QDateTime modified;
    qint64 bytes = -1;
    PictureLoadResult loaded;
};

[[nodiscard]] PreparedSlide PrepareSlide(const QString &path, QSize area);

// Decodes the next slide on a worker thread during the interval, so the tick finds it
// ready. Only the next slide is ever held.
class SlidePreloader
{
public:
    SlidePreloader() = default;
    SlidePreloader(const SlidePreloader &) = delete;
    SlidePreloader &operator=(const SlidePreloader &) = delete;
    ~SlidePreloader();

    void prepare(const QString &path, QSize area);
    // The slide for the path: the prepared one while the file is still the one prepared,
    // else loaded now, so a file deleted or changed since is treated as at the tick.
    [[nodiscard]] PreparedSlide take(const QString &path, QSize area);

private:
    std::future<PreparedSlide> pending_;
    QString pendingPath_;
    QSize pendingArea_;
};
