#pragma once

#include "transitions/StepCopy.h"

#include <vector>

// The copies of CrossSlide's two phases. Directions 1 (seam rising) and 2 (seam falling)
// move the pictures vertically; 3 (seam from the right edge to the left) and 4 (from the
// left edge to the right) horizontally; any other direction only takes its time over
// half the width and draws nothing.
class CrossSlideGeometry
{
public:
    CrossSlideGeometry(int W, int H, int direction);

    // Phase one ends once the progress reaches it; phase two runs back down to 0.
    [[nodiscard]] int half() const { return half_; }

    void phaseOneAt(int i, std::vector<StepCopy> &copies) const;
    void phaseTwoAt(int i, std::vector<StepCopy> &copies) const;

private:
    int W_;
    int H_;
    int direction_;
    int half_;
};
