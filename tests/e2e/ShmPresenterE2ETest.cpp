#include "window/ShmPresenter.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <xcb/xcb.h>

namespace {

constexpr QRgb Background = 0xff123456;

// A window of one colour, 40 x 30, mapped at the screen's top-left, on a connection of its own.
struct PlainWindow
{
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    xcb_window_t id = xcb_generate_id(connection);

    PlainWindow()
    {
        const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
        const uint32_t values[] = {Background & 0xffffff, 1};
        xcb_create_window(connection, XCB_COPY_FROM_PARENT, id, screen->root, 0, 0, 40, 30, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, XCB_CW_BACK_PIXEL | XCB_CW_OVERRIDE_REDIRECT, values);
        xcb_map_window(connection, id);
        std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
    }
    ~PlainWindow() { xcb_disconnect(connection); }

    [[nodiscard]] QImage contents() const
    {
        auto *reply = xcb_get_image_reply(connection, xcb_get_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, id, 0, 0, 40, 30, ~0u), nullptr);
        const QImage image = reply ? QImage(xcb_get_image_data(reply), 40, 30, QImage::Format_RGB32).copy() : QImage();
        std::free(reply);
        return image;
    }
};

QImage Frame(int shade)
{
    QImage frame(20, 10, QImage::Format_RGB32);
    for (int k = 0; k < 20 * 10; ++k)
        frame.setPixel(k % 20, k / 20, qRgb(k % 20 * 12, k / 20 * 25, shade));
    return frame;
}

}

// Bands of five rows (the surface's halves), of one row and of three rows.
TEST(ShmPresenter, PutsEachFramesRegionAtItsPlaceAndLeavesTheRest)
{
    for (const qsizetype bandPixels : {ShmPresenter::BandPixels, qsizetype(20), qsizetype(60)}) {
        SCOPED_TRACE(bandPixels);
        const PlainWindow window;
        const QImage first = Frame(200), second = Frame(50);
        const QRegion firstRegion = QRegion(0, 0, 5, 10) + QRegion(12, 2, 8, 3), secondRegion(3, 1, 12, 7);
        {
            const auto presenter = ShmPresenter::open(window.id, first.size(), bandPixels);
            ASSERT_TRUE(presenter);
            presenter->present(first, firstRegion);
            presenter->present(second, secondRegion);
        } // closed only once X has taken both frames
        const QImage shown = window.contents();
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 40; ++x) {
                const QPoint onFrame(x, y);
                const QRgb expected = secondRegion.contains(onFrame) ? second.pixel(onFrame) : firstRegion.contains(onFrame) ? first.pixel(onFrame) : Background;
                ASSERT_EQ(shown.pixel(x, y), expected) << "at " << x << "," << y;
            }
    }
}

TEST(ShmPresenter, OpensForNoWindowThatIsNotThere)
{
    EXPECT_FALSE(ShmPresenter::open(0x7fffffff, QSize(20, 10)));
}
