#include "transitions/CrossSlideGeometry.h"

namespace {

constexpr auto New = CopySource::NewPicture;
constexpr auto Old = CopySource::OldPicture;

// Directions 3 and 4 are 1 and 2 turned onto the other axis: the same copies with rows
// and columns exchanged.
[[nodiscard]] StepCopy Turned(const StepCopy &c)
{
    return StepCopy::moved(c.source, c.sourceY, c.sourceX, c.height, c.width, c.y, c.x);
}

}

CrossSlideGeometry::CrossSlideGeometry(int W, int H, int direction)
    : W_(W), H_(H), direction_(direction), half_((direction == 1 || direction == 2 ? H : W) / 2)
{
}

void CrossSlideGeometry::phaseOneAt(int i, std::vector<StepCopy> &copies) const
{
    const bool turned = direction_ == 3 || direction_ == 4;
    const int w = turned ? H_ : W_, h = turned ? W_ : H_;
    const std::size_t first = copies.size();
    if (direction_ == 1 || direction_ == 3) {
        copies.push_back(StepCopy::moved(Old, 0, i, w, h - i, 0, 0));
        copies.push_back(StepCopy::moved(New, 0, h - 2 * i, w, i, 0, h - i));
    } else if (direction_ == 2 || direction_ == 4) {
        copies.push_back(StepCopy::moved(Old, 0, 0, w, h - i, 0, i));
        copies.push_back(StepCopy::moved(New, 0, i, w, i, 0, 0));
    }
    if (turned)
        for (std::size_t n = first; n < copies.size(); ++n)
            copies[n] = Turned(copies[n]);
}

void CrossSlideGeometry::phaseTwoAt(int i, std::vector<StepCopy> &copies) const
{
    const bool turned = direction_ == 3 || direction_ == 4;
    const int w = turned ? H_ : W_, h = turned ? W_ : H_;
    const std::size_t first = copies.size();
    // Directions 1 and 3 may read old lines beyond the picture at their first step; the
    // copy is clipped to the old picture, so those lines keep what they showed.
    if (direction_ == 1 || direction_ == 3) {
        copies.push_back(StepCopy::moved(Old, 0, i, w, i, 0, 0));
        copies.push_back(StepCopy::moved(New, 0, 0, w, h - i, 0, i));
    } else if (direction_ == 2 || direction_ == 4) {
        copies.push_back(StepCopy::moved(Old, 0, 0, w, h - i, 0, i));
        copies.push_back(StepCopy::moved(New, 0, i, w, h - i, 0, 0));
    }
    if (turned)
        for (std::size_t n = first; n < copies.size(); ++n)
            copies[n] = Turned(copies[n]);
}
