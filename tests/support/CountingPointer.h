#pragma once

#include "window/PointerDisplay.h"

// The window system's pointer count, starting where a test puts it, with the requests counted.
class CountingPointer : public PointerDisplay
{
public:
    explicit CountingPointer(int start = 0) : count(start) {}
    int ShowCursor(bool show) override { return ++requests, count += show ? 1 : -1; }
    int count;
    int requests = 0;
};
