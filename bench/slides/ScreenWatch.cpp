#include "ScreenWatch.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <poll.h>

namespace {

Display *display(void *handle)
{
    return static_cast<Display *>(handle);
}

double Since(ScreenWatch::Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(ScreenWatch::Clock::now() - start).count();
}

} // namespace

std::unique_ptr<ScreenWatch> ScreenWatch::open()
{
    Display *d = XOpenDisplay(nullptr);
    if (!d)
        return nullptr;
    std::unique_ptr<ScreenWatch> watch(new ScreenWatch);
    watch->display_ = d;
    watch->root_ = DefaultRootWindow(d);
    watch->width_ = DisplayWidth(d, DefaultScreen(d));
    watch->height_ = DisplayHeight(d, DefaultScreen(d));
    XSelectInput(d, watch->root_, SubstructureNotifyMask);
    return watch;
}

ScreenWatch::~ScreenWatch()
{
    if (display_)
        XCloseDisplay(display(display_));
}

void ScreenWatch::reset()
{
    Display *d = display(display_);
    XSync(d, True);
}

bool ScreenWatch::coversScreen(unsigned long window) const
{
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display(display_), window, &attributes))
        return false; // gone again
    return attributes.map_state == IsViewable && attributes.x <= 0 && attributes.y <= 0 &&
           attributes.x + attributes.width >= width_ && attributes.y + attributes.height >= height_;
}

bool ScreenWatch::cornersShow(std::uint32_t rgb) const
{
    // GetImage on the root includes the windows above it: this is what the screen shows.
    Display *d = display(display_);
    for (const auto &[x, y] : {std::pair{2, 2}, std::pair{width_ - 3, height_ - 3}}) {
        XImage *image = XGetImage(d, root_, x, y, 1, 1, AllPlanes, ZPixmap);
        if (!image)
            return false;
        const unsigned long pixel = XGetPixel(image, 0, 0);
        XDestroyImage(image);
        if ((pixel & 0xFFFFFF) != rgb)
            return false;
    }
    return true;
}

ScreenWatch::Times ScreenWatch::wait(Clock::time_point start, std::uint32_t rgb, int timeoutMs)
{
    Display *d = display(display_);
    Times times;
    pollfd connection{ConnectionNumber(d), POLLIN, 0};
    while (Since(start) < timeoutMs) {
        while (times.mappedMs < 0 && XPending(d)) {
            XEvent event;
            XNextEvent(d, &event);
            unsigned long window = 0;
            if (event.type == MapNotify)
                window = event.xmap.window;
            else if (event.type == ConfigureNotify)
                window = event.xconfigure.window;
            if (window && coversScreen(window))
                times.mappedMs = Since(start);
        }
        if (times.mappedMs >= 0) {
            if (cornersShow(rgb)) {
                times.coveredMs = Since(start);
                return times;
            }
            poll(nullptr, 0, 1); // the program paints; look again in a millisecond
        } else {
            poll(&connection, 1, 5);
        }
    }
    return times;
}
