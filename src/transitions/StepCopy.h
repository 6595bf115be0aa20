#pragma once

enum class CopySource { NewPicture, OldPicture };

// One rectangle copy of a transition step, in destination pixels, always source copy.
// An unscaled copy reads a block of the target's size at (sourceX, sourceY); a stretched
// one scales the whole source rectangle onto the target.
struct StepCopy
{
    CopySource source = CopySource::NewPicture;
    bool stretched = false;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    int sourceX = 0;
    int sourceY = 0;
    int sourceWidth = 0;
    int sourceHeight = 0;

    // The new picture's rectangle onto the same place: the reveal effects' only copy.
    [[nodiscard]] static StepCopy inPlace(int x, int y, int width, int height)
    {
        return moved(CopySource::NewPicture, x, y, width, height, x, y);
    }

    [[nodiscard]] static StepCopy moved(CopySource source, int sourceX, int sourceY, int width, int height,
                                        int x, int y)
    {
        return {source, false, x, y, width, height, sourceX, sourceY, width, height};
    }

    [[nodiscard]] static StepCopy stretch(CopySource source, int sourceX, int sourceY, int sourceWidth,
                                          int sourceHeight, int x, int y, int width, int height)
    {
        return {source, true, x, y, width, height, sourceX, sourceY, sourceWidth, sourceHeight};
    }

    friend bool operator==(const StepCopy &, const StepCopy &) = default;
};
