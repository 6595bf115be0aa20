#pragma once

#include "EventYield.h"
#include "Surface.h"
#include "TickClock.h"
#include "modTransition.h"

#include <QImage>
#include <functional>
#include <string>
#include <vector>

// Pixels name their origin: which picture (tag) and where in it they came from.
enum Tag { Shown = 1, Old = 2, New = 3 };

struct Origin
{
    int tag;
    int x;
    int y;
    friend bool operator==(const Origin &, const Origin &) = default;
};

class FakeClock final : public TickClock
{
public:
    std::int64_t now = 1000;
    std::int64_t GetTickCount() override { return now; }
};

// Waiting jumps the clock to the due tick; every yield after a drawn pass records the
// destination as that pass left it.
class RecordingYield final : public EventYield
{
public:
    RecordingYield(FakeClock &clock, const Surface &destination) : clock_(clock), destination_(destination) {}

    void DoEvents() override
    {
        frames.push_back(destination_.image().copy());
        if (onDrawnPass)
            onDrawnPass();
    }
    void DoEventsUntil(std::int64_t dueTick) override
    {
        waits.push_back(dueTick);
        clock_.now = dueTick;
    }

    std::vector<QImage> frames;
    std::vector<std::int64_t> waits;
    std::function<void()> onDrawnPass;

private:
    FakeClock &clock_;
    const Surface &destination_;
};

[[nodiscard]] QImage TaggedImage(int width, int height, Tag tag);
// A surface whose drawing and stored picture are the tagged image.
[[nodiscard]] Surface TaggedSurface(int width, int height, Tag tag);
[[nodiscard]] Origin OriginAt(const QImage &frame, int x, int y);
// One letter per row (or column): S, O or N when every pixel of it is that picture's own
// pixel in place, '?' otherwise.
[[nodiscard]] std::string Rows(const QImage &frame);
[[nodiscard]] std::string Columns(const QImage &frame);
// Repeats a letter: Repeat('N', 3) + "S" reads like the frame it describes.
[[nodiscard]] std::string Repeat(char letter, int count);

// A destination showing the previous slide, old and new pictures of one size, and a
// transition module on a fake clock with StepInterval 1.
struct TransitionRig
{
    TransitionRig(int width, int height)
        : destination(TaggedSurface(width, height, Shown)), oldPicture(TaggedSurface(width, height, Old)),
          newPicture(TaggedSurface(width, height, New)), yield(clock, destination)
    {
        transitions.StepInterval = 1;
    }

    FakeClock clock;
    Surface destination;
    Surface oldPicture;
    Surface newPicture;
    RecordingYield yield;
    modTransition transitions{clock, yield};
};
