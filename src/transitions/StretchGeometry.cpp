#include "transitions/EffectGeometry.h"

namespace {

constexpr auto New = CopySource::NewPicture;
constexpr auto Old = CopySource::OldPicture;

}

EffectGeometry StretchInGeometry(int W, int H, int direction, int step, int extraStepsPerPass, int oldPictureMode)
{
    return {W, step, extraStepsPerPass + 1, [=](int i, std::vector<StepCopy> &copies) {
                if (direction != 1 && direction != 2)
                    return;
                const bool fromLeft = direction == 1;
                copies.push_back(StepCopy::stretch(New, 0, 0, W, H, fromLeft ? 0 : W - i, 0, i, H));
                const int rest = fromLeft ? i : 0;
                if (oldPictureMode == 1)
                    copies.push_back(StepCopy::stretch(Old, 0, 0, W, H, rest, 0, W - i, H));
                else if (oldPictureMode == 3)
                    copies.push_back(StepCopy::moved(Old, fromLeft ? 0 : i, 0, W - i, H, rest, 0));
            }};
}

EffectGeometry StretchDoorsGeometry(int W, int H, int direction, int step, int extraStepsPerPass, int oldPictureMode)
{
    const bool sideways = direction == 2;
    const int half = (sideways ? W : H) / 2;
    return {half, step, extraStepsPerPass + 1, [=](int i, std::vector<StepCopy> &copies) {
                if (sideways) {
                    copies.push_back(StepCopy::stretch(New, 0, 0, half, H, 0, 0, i, H));
                    copies.push_back(StepCopy::stretch(New, half, 0, half, H, W - i, 0, i, H));
                    if (oldPictureMode == 1)
                        copies.push_back(StepCopy::stretch(Old, 0, 0, W, H, i, 0, W - 2 * i, H));
                } else {
                    copies.push_back(StepCopy::stretch(New, 0, 0, W, half, 0, 0, W, i));
                    copies.push_back(StepCopy::stretch(New, 0, half, W, half, 0, H - i, W, i));
                    if (oldPictureMode == 1)
                        copies.push_back(StepCopy::stretch(Old, 0, 0, W, H, 0, i, W, H - 2 * i));
                }
            }};
}
