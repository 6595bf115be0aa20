#include "transitions/CrossSlideGeometry.h"

namespace {

constexpr auto New = CopySource::NewPicture;
constexpr auto Old = CopySource::OldPicture;

}

CrossSlideGeometry::CrossSlideGeometry(int W, int H, int direction)
    : W_(W), H_(H), direction_(direction), half_((direction == 1 || direction == 2 ? H : W) / 2)
{
}

void CrossSlideGeometry::phaseOneAt(int i, std::vector<StepCopy> &copies) const
{
    if (direction_ == 1) {
        copies.push_back(StepCopy::moved(Old, 0, i, W_, H_ - i, 0, 0));
        copies.push_back(StepCopy::moved(New, 0, H_ - 2 * i, W_, i, 0, H_ - i));
    } else if (direction_ == 2) {
        copies.push_back(StepCopy::moved(Old, 0, 0, W_, H_ - i, 0, i));
        copies.push_back(StepCopy::moved(New, 0, i, W_, i, 0, 0));
    }
}

void CrossSlideGeometry::phaseTwoAt(int i, std::vector<StepCopy> &copies) const
{
    // Direction 1's first copy may read old rows below the picture at its first step;
    // the copy is clipped to the old picture, so those rows keep what they showed.
    if (direction_ == 1) {
        copies.push_back(StepCopy::moved(Old, 0, i, W_, i, 0, 0));
        copies.push_back(StepCopy::moved(New, 0, 0, W_, H_ - i, 0, i));
    } else if (direction_ == 2) {
        copies.push_back(StepCopy::moved(Old, 0, 0, W_, H_ - i, 0, i));
        copies.push_back(StepCopy::moved(New, 0, i, W_, H_ - i, 0, 0));
    }
}
