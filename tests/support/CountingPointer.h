#pragma once

#include "window/PointerDisplay.h"

// The window system's pointer count, starting where a test puts it.
class CountingPointer : public PointerDisplay
{
public:
    explicit CountingPointer(int start = 0) : count(start) {}
    int ShowCursor(bool show) override { return count += show ? 1 : -1; }
    int count;
};
