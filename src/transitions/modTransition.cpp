#include "transitions/modTransition.h"

#include "transitions/CrossSlideGeometry.h"
#include "transitions/EffectGeometry.h"
#include "transitions/StepPainter.h"

#include "window/EventYield.h"
#include "raster/Gdi.h"
#include "raster/Surface.h"
#include "window/TickClock.h"

namespace {

[[nodiscard]] int PixelWidth(const Surface &surface)
{
    return surface.widthTwips() / TwipsPerPixel;
}

[[nodiscard]] int PixelHeight(const Surface &surface)
{
    return surface.heightTwips() / TwipsPerPixel;
}

}

modTransition::modTransition(TickClock &clock, EventYield &yield, RuntimeRandom &random)
    : clock_(clock), yield_(yield), random_(random)
{
}

void modTransition::Wipe(Surface &destination, const Surface &newPicture, int code, int step)
{
    if (!TransitionIdle())
        return;
    RunSteps(destination, nullptr, newPicture,
             WipeGeometry(PixelWidth(destination), PixelHeight(destination), code, step));
}

void modTransition::DoorsClose(Surface &destination, const Surface &newPicture, int direction, int step)
{
    if (!TransitionIdle())
        return;
    RunSteps(destination, nullptr, newPicture,
             DoorsCloseGeometry(PixelWidth(destination), PixelHeight(destination), direction, step));
}

void modTransition::DoorsOpen(Surface &destination, const Surface &newPicture, int direction, int step)
{
    if (!TransitionIdle())
        return;
    RunSteps(destination, nullptr, newPicture,
             DoorsOpenGeometry(PixelWidth(destination), PixelHeight(destination), direction, step));
}

void modTransition::Blinds(Surface &destination, const Surface &newPicture, int code, int step, int bandSize,
                           int /*ignored*/)
{
    if (!TransitionIdle())
        return;
    RunSteps(destination, nullptr, newPicture,
             BlindsGeometry(PixelWidth(destination), PixelHeight(destination), code, step, bandSize));
}

void modTransition::RandomLines(Surface &destination, const Surface &newPicture, int orientation,
                                int linesPerPassLessOne)
{
    if (!TransitionIdle())
        return;
    const int W = PixelWidth(destination);
    const int H = PixelHeight(destination);
    RunSteps(destination, nullptr, newPicture,
             RandomLinesGeometry(W, H, orientation, linesPerPassLessOne,
                                 ShuffledLines(orientation == 1 ? W : H, random_)));
}

void modTransition::CombWipe(Surface &destination, const Surface &newPicture, int direction, int step,
                             int stripSize, bool firstSide)
{
    if (!TransitionIdle())
        return;
    RunSteps(destination, nullptr, newPicture,
             CombWipeGeometry(PixelWidth(destination), PixelHeight(destination), direction, step, stripSize,
                              firstSide));
}

void modTransition::CombSlide(Surface &destination, const Surface &newPicture, int direction, int step,
                              int stripSize, bool firstSide)
{
    if (!TransitionIdle())
        return;
    RunSteps(destination, nullptr, newPicture,
             CombSlideGeometry(PixelWidth(destination), PixelHeight(destination), direction, step, stripSize,
                               firstSide));
}

void modTransition::StretchIn(Surface &destination, const Surface &oldPicture, const Surface &newPicture,
                              int direction, int step, int extraStepsPerPass, int oldPictureMode)
{
    if (!TransitionIdle())
        return;
    const EffectGeometry geometry = StretchInGeometry(PixelWidth(destination), PixelHeight(destination), direction,
                                                      step, extraStepsPerPass, oldPictureMode);
    SetStretchBltMode(destination, StretchMode::Halftone);
    RunSteps(destination, &oldPicture, newPicture, geometry);
}

void modTransition::StretchDoors(Surface &destination, const Surface &oldPicture, const Surface &newPicture,
                                 int direction, int step, int extraStepsPerPass, int oldPictureMode)
{
    if (!TransitionIdle())
        return;
    const EffectGeometry geometry = StretchDoorsGeometry(PixelWidth(destination), PixelHeight(destination),
                                                         direction, step, extraStepsPerPass, oldPictureMode);
    SetStretchBltMode(destination, StretchMode::Halftone);
    RunSteps(destination, &oldPicture, newPicture, geometry);
}

void modTransition::CrossSlide(Surface &destination, const Surface &oldPicture, const Surface &newPicture,
                               int direction, int step)
{
    if (!TransitionIdle())
        return;
    destination.setPicture(oldPicture.picture());
    const CrossSlideGeometry geometry(PixelWidth(destination), PixelHeight(destination), direction);
    StepPainter painter(destination, &oldPicture, newPicture);
    std::vector<StepCopy> copies;
    int i = 0;

    // Phase one ends by clearing the flag, which leaves the guard open for one yield.
    TransitionRunning = true;
    RunPasses(destination, newPicture, painter, [&] {
        copies.clear();
        geometry.phaseOneAt(i, copies);
        painter.paint(copies);
        i += step;
        return i >= geometry.half() ? Pass::DrawnLast : Pass::Drawn;
    });

    TransitionRunning = true;
    RunPasses(destination, newPicture, painter, [&] {
        if (i < 0)
            return Pass::Ended;
        copies.clear();
        geometry.phaseTwoAt(i, copies);
        painter.paint(copies);
        i -= step;
        return Pass::Drawn;
    });
}

void modTransition::RunSteps(Surface &destination, const Surface *oldPicture, const Surface &newPicture,
                             const EffectGeometry &geometry)
{
    StepPainter painter(destination, oldPicture, newPicture);
    std::vector<StepCopy> copies;
    int i = 0;
    TransitionRunning = true;
    RunPasses(destination, newPicture, painter, [&] {
        for (int n = 0; n < geometry.stepsPerPass; ++n) {
            if (i >= geometry.limit)
                return Pass::Ended;
            copies.clear();
            geometry.copiesAt(i, copies);
            painter.paint(copies);
            i += geometry.step;
        }
        return Pass::Drawn;
    });
}

// A failure anywhere in here leaves TransitionRunning set on purpose: later effects
// then return at once and slides change without a transition.
template <typename DuePass>
void modTransition::RunPasses(Surface &destination, const Surface &newPicture, StepPainter &painter, DuePass duePass)
{
    while (TransitionRunning) {
        const std::int64_t due = LastStepTick + StepInterval;
        if (due > clock_.GetTickCount()) {
            // Sleeps until an event arrives or the pass falls due, so waiting spins no core.
            yield_.DoEventsUntil(due);
            continue;
        }
        const Pass pass = duePass();
        if (pass == Pass::Ended) {
            TransitionRunning = false;
            // The new picture replaces the whole drawing: what is still recorded would never show.
            painter.discard();
            destination.setPicture(newPicture.picture());
            return;
        }
        destination.refresh();
        LastStepTick = clock_.GetTickCount();
        if (pass == Pass::DrawnLast)
            TransitionRunning = false;
        yield_.DoEvents();
    }
}
