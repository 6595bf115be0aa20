#pragma once

#include "transitions/StepCopy.h"

#include "raster/Surface.h"

#include <QImage>
#include <QRect>
#include <QtGlobal>
#include <functional>
#include <future>
#include <vector>

// Carries out the copies of one effect's steps on its surfaces. A step only records its
// copies; they are made when anything next reads or writes a surface's pixels, which for
// the screen is once a presented frame, so steps no frame shows cost next to nothing; a
// frame's copies may be made on a thread of their own while the steps go on. A copy
// wholly covered by a later one is dropped, as drawing it could show nothing.
// A band that only grows from one step to the next copies just its new part, as long as
// neither the destination nor the new picture has been written since the step before.
class StepPainter final : public DeferredDrawing
{
public:
    // `oldPicture` is null for effects that do not use it; neither picture is the destination.
    StepPainter(Surface &destination, const Surface *oldPicture, const Surface &newPicture);
    // Makes what is still recorded: the destination keeps what the steps drew.
    ~StepPainter() override;
    StepPainter(const StepPainter &) = delete;
    StepPainter &operator=(const StepPainter &) = delete;

    void paint(const std::vector<StepCopy> &copies);
    void settle() override;
    void settleInBackground(std::function<void()> made) override;
    void finishBackground() override;
    [[nodiscard]] qint64 work() const override;
    // Forgets what is still recorded, for an end that replaces the whole drawing.
    void discard();

private:
    struct Recorded
    {
        StepCopy copy;
        QRect area; // what the copy writes, clipped to both surfaces
        std::size_t index; // its place among its step's copies
    };

    // Recorded copies taken away from the surfaces, to be made on any thread.
    struct Batch
    {
        QImage target;     // the destination's pixels
        QImage newPicture; // shares the new picture's pixels
        QImage oldPicture; // shares the old picture's pixels, for the effects that use it
        bool smooth = false;
        std::vector<Recorded> copies;

        [[nodiscard]] const QImage &sourceOf(const StepCopy &copy) const
        {
            return copy.source == CopySource::OldPicture ? oldPicture : newPicture;
        }
    };

    [[nodiscard]] Batch takeRecorded();
    static void make(Batch &batch);
    [[nodiscard]] bool continuesLastStep(const std::vector<StepCopy> &copies) const;
    [[nodiscard]] const Surface &sourceOf(const StepCopy &copy) const;
    void markChanged(const std::vector<Recorded> &step);
    void dropCoveredBy(const std::vector<Recorded> &step, std::size_t copies);
    void rememberKeys();

    Surface &destination_;
    const Surface *oldPicture_;
    const Surface &newPicture_;
    std::vector<StepCopy> last_;
    std::vector<Recorded> recorded_;
    qint64 destinationKey_ = 0;
    qint64 newPictureKey_ = 0;
    std::future<void> background_;
};
