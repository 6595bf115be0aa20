#include "transitions/EffectGeometry.h"

namespace {

// Strips at k = 0, s, 2s, ... up to and including the extent, alternating sides from
// the first. A strip size of 0 or less lays no strips, so such a call only takes passes.
template <typename StripCopy>
EffectGeometry Strips(int W, int H, int direction, int step, int stripSize, bool firstSide, StripCopy stripCopy)
{
    const bool rows = direction == 2;
    return {rows ? W : H, step, 1, [=](int i, std::vector<StepCopy> &copies) {
                const int extent = rows ? H : W;
                if (stripSize <= 0)
                    return;
                bool side = firstSide;
                for (int k = 0; k <= extent; k += stripSize) {
                    copies.push_back(stripCopy(k, i, side));
                    side = !side;
                }
            }};
}

}

// Column strips only for direction 1; every other direction lays row strips, though
// only direction 2 swaps the limit and the extent to match them.
EffectGeometry CombWipeGeometry(int W, int H, int direction, int step, int stripSize, bool firstSide)
{
    const int s = stripSize;
    return Strips(W, H, direction, step, s, firstSide, [=](int k, int i, bool side) {
        if (direction == 1)
            return side ? StepCopy::inPlace(k, 0, s, i) : StepCopy::inPlace(k, H - i, s, i);
        return side ? StepCopy::inPlace(0, k, i, s) : StepCopy::inPlace(W - i, k, i, s);
    });
}

EffectGeometry CombSlideGeometry(int W, int H, int direction, int step, int stripSize, bool firstSide)
{
    const int s = stripSize;
    constexpr auto New = CopySource::NewPicture;
    return Strips(W, H, direction, step, s, firstSide, [=](int k, int i, bool side) {
        if (direction == 1)
            return side ? StepCopy::moved(New, k, H - i, s, i, k, 0) : StepCopy::moved(New, k, 0, s, i, k, H - i);
        return side ? StepCopy::moved(New, W - i, k, i, s, 0, k) : StepCopy::moved(New, 0, k, i, s, W - i, k);
    });
}
