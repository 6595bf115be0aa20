#pragma once

#include "transitions/StepCopy.h"

#include <QtGlobal>
#include <vector>

class Surface;

// Carries out the copies of one effect's steps on its surfaces. A band that only grows
// from one step to the next copies just its new part, as long as neither the
// destination nor the new picture has been written since the step before: the rest
// already holds exactly those pixels, and the refresh then presents only the new part.
class StepPainter
{
public:
    // `oldPicture` is null for effects that do not use it.
    StepPainter(Surface &destination, const Surface *oldPicture, const Surface &newPicture);

    void paint(const std::vector<StepCopy> &copies);

private:
    [[nodiscard]] bool continuesLastStep(const std::vector<StepCopy> &copies) const;

    Surface &destination_;
    const Surface *oldPicture_;
    const Surface &newPicture_;
    std::vector<StepCopy> last_;
    qint64 destinationKey_ = 0;
    qint64 newPictureKey_ = 0;
};
