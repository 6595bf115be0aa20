#pragma once

#include "window/EventYield.h"
#include "raster/Surface.h"
#include "window/TickClock.h"
#include "transitions/modTransition.h"

#include <QImage>
#include <gtest/gtest.h>
#include <functional>
#include <string>
#include <vector>

// Every pixel names its origin: which picture (tag) and where in it it came from.
enum Tag { Shown = 1, Old = 2, New = 3 };

struct Origin
{
    int tag, x, y;
    bool operator==(const Origin &) const = default;
};

inline QImage TaggedImage(int width, int height, Tag tag)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, 0xFF000000u | (unsigned(tag) << 22) | (unsigned(x) << 11) | unsigned(y));
    return image;
}

inline Surface TaggedSurface(int width, int height, Tag tag)
{
    Surface surface;
    surface.adoptPicture(TaggedImage(width, height, tag));
    return surface;
}

inline Origin OriginAt(const QImage &frame, int x, int y)
{
    const unsigned code = frame.pixel(x, y) & 0xFFFFFFu;
    return {int(code >> 22), int((code >> 11) & 0x7FF), int(code & 0x7FF)};
}

// One letter per row (or column): S, O or N when every pixel of it is that picture's own
// pixel in place, '?' otherwise.
inline std::string Lines(const QImage &frame, bool columns)
{
    std::string letters(std::size_t(columns ? frame.width() : frame.height()), 0);
    for (int y = 0; y < frame.height(); ++y)
        for (int x = 0; x < frame.width(); ++x) {
            const Origin o = OriginAt(frame, x, y);
            const char here = o.x != x || o.y != y ? '?' : " SON"[o.tag];
            char &letter = letters[std::size_t(columns ? x : y)];
            letter = letter == 0 || letter == here ? here : '?';
        }
    return letters;
}
inline std::string Rows(const QImage &frame) { return Lines(frame, false); }
inline std::string Columns(const QImage &frame) { return Lines(frame, true); }

// Repeat("N", 3) + "S" reads like the frame it describes.
inline std::string Repeat(const std::string &letters, int count) { return QByteArray::fromStdString(letters).repeated(count).toStdString(); }

// A destination showing the previous slide, old and new pictures of one size, and a
// transition module with StepInterval 1 on this rig's clock and yield. Waiting jumps the
// clock to the due tick; the yield after a drawn pass presents, recording the frame, at
// every `presentEvery`-th drawn pass. In the background, as a view does, that yield records
// the frame made since the last one and starts making the next; `made` is the pass whose
// state that frame shows.
struct TransitionRig : TickClock, EventYield
{
    TransitionRig(int width, int height, RuntimeRandom &random = RuntimeRandom::shared())
        : destination(TaggedSurface(width, height, Shown)), oldPicture(TaggedSurface(width, height, Old)),
          newPicture(TaggedSurface(width, height, New)), transitions(*this, *this, random)
    {
        transitions.StepInterval = 1;
    }
    std::int64_t GetTickCount() override { return now; }
    void DoEventsUntil(std::int64_t dueTick) override { waits.push_back(now = dueTick); }
    void DoEvents() override
    {
        if (++passes % presentEvery == 0 && inBackground) {
            frames.push_back(destination.presentedImage().copy());
            shows.push_back(made);
            made = passes;
            EXPECT_TRUE(Surface::settleDeferredInBackground([] {}));
        } else if (passes % presentEvery == 0) {
            frames.push_back(destination.image().copy());
        }
        if (onDrawnPass)
            onDrawnPass();
    }
    std::size_t yields() const { return frames.size() + waits.size(); }

    std::int64_t now = 1000;
    std::size_t presentEvery = 1, passes = 0, made = 0;
    bool inBackground = false;
    std::vector<std::size_t> shows;
    std::vector<QImage> frames;
    std::vector<std::int64_t> waits;
    std::function<void()> onDrawnPass;
    Surface destination, oldPicture, newPicture;
    modTransition transitions;
};

// One effect run on a rig, as the tables name it.
using Effect = std::function<void(TransitionRig &)>;
