#pragma once

#include "transitions/RuntimeRandom.h"

#include <cstdint>

class Surface;
class StepPainter;
class TickClock;
class EventYield;
struct EffectGeometry;

// The transition effects and the state they share. One instance lives for the whole
// run; the slide switch sets StepInterval before each call. Every effect draws into the
// destination step by step, refreshing it and yielding to the event loop at every pass,
// and returns at once without drawing while another effect runs.
class modTransition
{
public:
    // RandomLines shuffles with `random`; the program shares one generator with the slide show.
    modTransition(TickClock &clock, EventYield &yield, RuntimeRandom &random = RuntimeRandom::shared());

    std::int32_t StepInterval = 0;

    [[nodiscard]] bool TransitionIdle() const { return !TransitionRunning; }
    [[nodiscard]] std::int64_t lastStepTick() const { return LastStepTick; }

    void Wipe(Surface &destination, const Surface &newPicture, int code, int step);
    void DoorsClose(Surface &destination, const Surface &newPicture, int direction, int step);
    void DoorsOpen(Surface &destination, const Surface &newPicture, int direction, int step);
    void Blinds(Surface &destination, const Surface &newPicture, int code, int step, int bandSize, int ignored);
    void RandomLines(Surface &destination, const Surface &newPicture, int orientation, int linesPerPassLessOne);
    void CombWipe(Surface &destination, const Surface &newPicture, int direction, int step, int stripSize, bool firstSide);
    void CombSlide(Surface &destination, const Surface &newPicture, int direction, int step, int stripSize, bool firstSide);
    void StretchIn(Surface &destination, const Surface &oldPicture, const Surface &newPicture, int direction, int step, int extraStepsPerPass, int oldPictureMode);
    void StretchDoors(Surface &destination, const Surface &oldPicture, const Surface &newPicture, int direction, int step, int extraStepsPerPass, int oldPictureMode);
    void CrossSlide(Surface &destination, const Surface &oldPicture, const Surface &newPicture, int direction, int step);

private:
    // What a due pass did: drew (and, for CrossSlide's first phase, drew its last), or
    // found the effect at its end.
    enum class Pass { Drawn, DrawnLast, Ended };

    void RunSteps(Surface &destination, const Surface *oldPicture, const Surface &newPicture,
                  const EffectGeometry &geometry);
    // Passes while TransitionRunning holds, up to the due pass that ends the effect.
    template <typename DuePass>
    void RunPasses(Surface &destination, const Surface &newPicture, StepPainter &painter, DuePass duePass);

    TickClock &clock_;
    EventYield &yield_;
    RuntimeRandom &random_;
    bool TransitionRunning = false;
    std::int64_t LastStepTick = 0;
};
