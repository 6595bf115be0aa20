#pragma once

#include "raster/ColorValue.h"
#include "raster/Units.h"

#include <QImage>
#include <QRect>
#include <QRegion>
#include <functional>

enum class StretchMode { BlackOnWhite = 1, Halftone = 4 };

// Drawing recorded now and made later, all at once. Before any surface's pixels are read
// or written on the recording thread it is made, so no reader ever sees it missing and
// no source changes under a copy that still has to read it.
class DeferredDrawing
{
public:
    virtual ~DeferredDrawing() = default;
    // Makes everything recorded, waiting first for what is being made in the background.
    virtual void settle() = 0;
    // Starts making what is recorded so far on another thread and returns at once; `made`
    // is called on that thread when it is done. Later recordings wait for the next call.
    virtual void settleInBackground(std::function<void()> made) = 0;
    // Waits for what settleInBackground started, leaving later recordings unmade.
    virtual void finishBackground() = 0;
    // What making the recordings costs, in pixels moved.
    [[nodiscard]] virtual qint64 work() const = 0;
};

// A picture surface: a persistent backing image that drawing goes into (the drawing
// context), a background colour, and a stored picture distinct from what was drawn.
// Sizes are in device pixels; twips are derived from them.
class Surface
{
public:
    using Presenter = std::function<void(const QRect &changed)>;

    explicit Surface(int width = 0, int height = 0, ColorValue background = 0);

    [[nodiscard]] int width() const { return image_.width(); }
    [[nodiscard]] int height() const { return image_.height(); }
    [[nodiscard]] QSize size() const { return image_.size(); }
    [[nodiscard]] QRect rect() const { return image_.rect(); }
    [[nodiscard]] int widthTwips() const { return width() * TwipsPerPixel; }
    [[nodiscard]] int heightTwips() const { return height() * TwipsPerPixel; }

    // Keeps the drawing at the top-left; uncovered parts take the background colour.
    void resize(int width, int height);

    [[nodiscard]] ColorValue backColor() const { return background_; }
    void setBackColor(ColorValue color);

    // Fills with the background colour and shows the stored picture, if any, at (0, 0):
    // earlier drawing is discarded.
    void clear();

    // The stored picture (null when none). Assigning it redraws the surface from it
    // and presents the whole surface.
    [[nodiscard]] const QImage &picture() const { return picture_; }
    void setPicture(const QImage &picture);
    // Takes the picture's natural size, as a surface that adopts a loaded file does.
    void adoptPicture(const QImage &picture);

    // Replaces the drawing by a prepared image of the surface's size, sharing its pixels.
    void replaceDrawing(const QImage &drawing);
    // Gives the drawing pixels of its own now, so the next drawing call does not copy them.
    void detachDrawing()
    {
        settleDeferred();
        image_.detach();
    }

    // The drawn image, as a picture of its own.
    [[nodiscard]] QImage drawnImage() const
    {
        settleDeferred();
        return image_;
    }

    // What a presented frame shows: the drawing once the background work is done, without
    // the recordings made since it began (the next frame makes those).
    [[nodiscard]] const QImage &presentedImage() const
    {
        finishBackground();
        return image_;
    }

    // The drawing context: always Format_RGB32. Deferred drawing is made first.
    [[nodiscard]] QImage &image()
    {
        settleDeferred();
        return image_;
    }
    [[nodiscard]] const QImage &image() const
    {
        settleDeferred();
        return image_;
    }
    // Changes whenever the drawing changes; deferred drawing is not made for it.
    [[nodiscard]] qint64 drawingKey() const { return image_.cacheKey(); }

    // One deferred drawing at a time per thread: deferring another makes the first.
    static void defer(DeferredDrawing *drawing);
    // Makes the deferred drawing, if any, and forgets it.
    static void settleDeferred();
    // Starts making the deferred drawing on another thread, calling `made` there when it is
    // done; false, with nothing started, when nothing is deferred.
    static bool settleDeferredInBackground(std::function<void()> made);
    // Waits for the background work of the deferred drawing, if any.
    static void finishBackground();
    // What making the deferred drawing costs, in pixels moved; 0 when nothing is deferred.
    [[nodiscard]] static qint64 deferredWork();
    // Forgets `drawing` without making it, if it is the one deferred.
    static void withdraw(DeferredDrawing *drawing);

    [[nodiscard]] StretchMode stretchMode() const { return stretchMode_; }
    void setStretchMode(StretchMode mode) { stretchMode_ = mode; }

    // Drawing calls report what they touched; refresh presents only that, one call of
    // the presenter per rectangle, so strips far apart do not present the space between.
    void markChanged(const QRect &area);
    [[nodiscard]] const QRegion &pendingChange() const { return changed_; }
    void refresh();
    void setPresenter(Presenter presenter) { presenter_ = std::move(presenter); }

private:
    QImage image_;
    QImage picture_;
    ColorValue background_ = 0;
    StretchMode stretchMode_ = StretchMode::BlackOnWhite;
    QRegion changed_;
    Presenter presenter_;
};
