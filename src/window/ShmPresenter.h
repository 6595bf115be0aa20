#pragma once

#include <QImage>
#include <QRegion>
#include <memory>
#include <optional>

struct xcb_connection_t;

// Puts a surface's frames on an X window through shared memory, from whichever thread made
// them: the thread that runs an effect's steps then neither copies a frame into the
// window's image nor waits while the window system takes it, and a 4K frame costs it
// nothing. The shared memory holds two bands of rows, not a whole frame: a frame goes to X
// band by band, one band copied while X reads the other, and a band is copied into shared
// memory only once X is done reading what it last held.
class ShmPresenter
{
public:
    // What a band holds at most, unless the surface is narrower: a quarter of a 4K screen
    // in both bands together, a whole full HD one.
    static constexpr qsizetype BandPixels = 1 << 20;

    // Null when the display cannot take this program's shared memory (a remote display,
    // another window system), when QT_XCB_NO_MITSHM is set, or when the window's pixels
    // are not 32-bit RGB.
    [[nodiscard]] static std::unique_ptr<ShmPresenter> open(unsigned long window, QSize size, qsizetype bandPixels = BandPixels);
    ~ShmPresenter();
    ShmPresenter(const ShmPresenter &) = delete;
    ShmPresenter &operator=(const ShmPresenter &) = delete;

    [[nodiscard]] QSize size() const { return size_; }

    // Shows `region` of `image`, which has the presenter's size, on the window at its top-left.
    void present(const QImage &image, const QRegion &region);

private:
    ShmPresenter(xcb_connection_t *connection, unsigned long window);

    struct Band
    {
        QImage rows; // the band's share of the shared memory
        std::optional<unsigned int> lastPut; // answered once X has read what the band last held
    };

    xcb_connection_t *connection_;
    unsigned int window_;
    unsigned int gc_ = 0;
    unsigned int segment_ = 0;
    void *memory_ = nullptr;
    QSize size_;
    Band bands_[2];
    int nextBand_ = 0;
};
