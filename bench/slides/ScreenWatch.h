#pragma once

#include <chrono>
#include <cstdint>
#include <memory>

// Watches an X display for a top-level window that covers the whole screen and for the
// screen's corners to show a colour. Kept apart so Xlib's macros never meet Qt's headers.
class ScreenWatch
{
public:
    using Clock = std::chrono::steady_clock;

    struct Times
    {
        double mappedMs = -1;  // a window covering the screen became viewable
        double coveredMs = -1; // both corners of the screen show the colour
    };

    // Null when the display cannot be opened.
    [[nodiscard]] static std::unique_ptr<ScreenWatch> open();
    ~ScreenWatch();

    [[nodiscard]] int width() const { return width_; }
    [[nodiscard]] int height() const { return height_; }

    // Forgets the events of earlier runs; call right before starting the program.
    void reset();
    // Times from start; a time stays -1 when the timeout passes first.
    [[nodiscard]] Times wait(Clock::time_point start, std::uint32_t rgb, int timeoutMs);

private:
    ScreenWatch() = default;
    [[nodiscard]] bool coversScreen(unsigned long window) const;
    [[nodiscard]] bool cornersShow(std::uint32_t rgb) const;

    void *display_ = nullptr;
    unsigned long root_ = 0;
    int width_ = 0;
    int height_ = 0;
};
