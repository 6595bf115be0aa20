#pragma once

#include <QImage>
#include <QPoint>
#include <QRegion>
#include <memory>
#include <optional>

struct xcb_connection_t;

// Puts a surface's frames on an X window through shared memory, from whichever thread made
// them: the thread that runs an effect's steps then neither copies a frame into the
// window's image nor waits while the window system takes it, and a 4K frame costs it
// nothing. Each frame is copied into the shared image only once X is done reading the last.
class ShmPresenter
{
public:
    // Null when the display cannot take this program's shared memory (a remote display,
    // another window system) or the window's pixels are not 32-bit RGB.
    [[nodiscard]] static std::unique_ptr<ShmPresenter> open(unsigned long window, QSize size);
    ~ShmPresenter();
    ShmPresenter(const ShmPresenter &) = delete;
    ShmPresenter &operator=(const ShmPresenter &) = delete;

    [[nodiscard]] QSize size() const { return shared_.size(); }

    // Shows `region` of `image`, which has the presenter's size, on the window with the
    // image's top-left at `at`.
    void present(const QImage &image, const QRegion &region, QPoint at);

private:
    ShmPresenter(xcb_connection_t *connection, unsigned long window);

    xcb_connection_t *connection_;
    unsigned int window_;
    unsigned int gc_ = 0;
    unsigned int segment_ = 0;
    void *memory_ = nullptr;
    QImage shared_;
    std::optional<unsigned int> lastPut_; // answered once X has taken the last frame
};
