#pragma once

// The window system's pointer display count: visible while it is zero or more.
class PointerDisplay
{
public:
    virtual ~PointerDisplay() = default;
    // Raises (show) or lowers (hide) the count by one and returns the new count.
    virtual int ShowCursor(bool show) = 0;
};

// Leave the pointer hidden (count -1 or lower) or visible (count 0 or higher),
// however many requests that takes.
void HideMousePointer(PointerDisplay &pointer);
void ShowMousePointer(PointerDisplay &pointer);

// Hides the pointer over every window of the application while the count is negative.
class QtPointerDisplay final : public PointerDisplay
{
public:
    int ShowCursor(bool show) override;

private:
    int count_ = 0;
};
