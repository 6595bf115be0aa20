#pragma once

#include "transitions/StepCopy.h"

#include <functional>
#include <vector>

class RuntimeRandom;

// What one effect draws, apart from the timing: the step loop runs `stepsPerPass` steps
// per due pass, each ending the effect once the progress reaches `limit`, or else
// drawing copiesAt(progress) and advancing the progress by `step`. W and H are the
// destination's size in pixels.
struct EffectGeometry
{
    int limit = 0;
    int step = 1;
    int stepsPerPass = 1;
    // Appends the copies of the step at progress i, in drawing order.
    std::function<void(int i, std::vector<StepCopy> &copies)> copiesAt;
};

// Half a size rounded to the nearest integer with halves to even: 767 gives 384.
[[nodiscard]] int HalfToEven(int size);

[[nodiscard]] EffectGeometry WipeGeometry(int W, int H, int code, int step);
[[nodiscard]] EffectGeometry DoorsCloseGeometry(int W, int H, int direction, int step);
[[nodiscard]] EffectGeometry DoorsOpenGeometry(int W, int H, int direction, int step);
[[nodiscard]] EffectGeometry BlindsGeometry(int W, int H, int code, int step, int bandSize);
// `order` holds the line positions in the order they appear.
[[nodiscard]] EffectGeometry RandomLinesGeometry(int W, int H, int orientation, int linesPerPassLessOne,
                                                 std::vector<int> order);
// Positions 0 .. count - 1 after three sweeps that swap every entry with a random one.
[[nodiscard]] std::vector<int> ShuffledLines(int count, RuntimeRandom &random);

[[nodiscard]] EffectGeometry CombWipeGeometry(int W, int H, int direction, int step, int stripSize,
                                              bool firstSide);
[[nodiscard]] EffectGeometry CombSlideGeometry(int W, int H, int direction, int step, int stripSize,
                                               bool firstSide);

[[nodiscard]] EffectGeometry StretchInGeometry(int W, int H, int direction, int step, int extraStepsPerPass,
                                               int oldPictureMode);
[[nodiscard]] EffectGeometry StretchDoorsGeometry(int W, int H, int direction, int step,
                                                  int extraStepsPerPass, int oldPictureMode);
