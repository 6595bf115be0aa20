#include "window/ShmPresenter.h"

#include "raster/Gdi.h"

#include <cstdlib>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <xcb/shm.h>
#include <xcb/xcb.h>

namespace {

// The window's pixels are what a Format_RGB32 image holds: depth 24 in 32-bit words.
bool TakesRgb32(xcb_connection_t *connection, xcb_window_t window)
{
    xcb_get_geometry_reply_t *geometry = xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr);
    const bool depth24 = geometry && geometry->depth == 24;
    std::free(geometry);
    if (!depth24)
        return false;
    const xcb_setup_t *setup = xcb_get_setup(connection);
    for (auto f = xcb_setup_pixmap_formats_iterator(setup); f.rem; xcb_format_next(&f)) {
        if (f.data->depth == 24)
            return f.data->bits_per_pixel == 32 && setup->image_byte_order == XCB_IMAGE_ORDER_LSB_FIRST;
    }
    return false;
}

}

ShmPresenter::ShmPresenter(xcb_connection_t *connection, unsigned long window)
    : connection_(connection), window_(xcb_window_t(window))
{
}

std::unique_ptr<ShmPresenter> ShmPresenter::open(unsigned long window, QSize size, qsizetype bandPixels)
{
    // A user who turns Qt's own use of shared memory off means this program's too.
    if (size.isEmpty() || qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM"))
        return nullptr;
    // Two bands cover a small surface whole; a wide one gets bands of a row at least.
    const int bandRows = int(qBound(qsizetype(1), bandPixels / size.width(), qsizetype(size.height() + 1) / 2));
    const qsizetype bandBytes = qsizetype(size.width()) * bandRows * 4;
    // A connection of its own, so frames put from another thread never wait on Qt's, and a
    // window that goes while a frame is under way troubles nobody.
    std::unique_ptr<ShmPresenter> presenter(new ShmPresenter(xcb_connect(nullptr, nullptr), window));
    xcb_connection_t *const connection = presenter->connection_;
    if (xcb_connection_has_error(connection) || !TakesRgb32(connection, presenter->window_))
        return nullptr;
    const xcb_query_extension_reply_t *shm = xcb_get_extension_data(connection, &xcb_shm_id);
    if (!shm || !shm->present)
        return nullptr;
    const int id = shmget(IPC_PRIVATE, std::size_t(bandBytes) * 2, IPC_CREAT | 0600);
    if (id < 0)
        return nullptr;
    void *memory = shmat(id, nullptr, 0);
    if (memory == reinterpret_cast<void *>(-1)) {
        shmctl(id, IPC_RMID, nullptr);
        return nullptr;
    }
    presenter->memory_ = memory;
    const xcb_shm_seg_t segment = xcb_generate_id(connection);
    xcb_generic_error_t *refused = xcb_request_check(connection, xcb_shm_attach_checked(connection, segment, id, 0));
    // Marked for removal once both have it attached: it lasts while they do, and no crash
    // can leave it behind.
    shmctl(id, IPC_RMID, nullptr);
    if (refused) {
        std::free(refused);
        return nullptr;
    }
    presenter->segment_ = segment;
    presenter->gc_ = xcb_generate_id(connection);
    const uint32_t noExposures = 0;
    xcb_create_gc(connection, presenter->gc_, presenter->window_, XCB_GC_GRAPHICS_EXPOSURES, &noExposures);
    presenter->size_ = size;
    for (int k = 0; k < 2; ++k)
        presenter->bands_[k].rows = QImage(static_cast<uchar *>(memory) + k * bandBytes, size.width(), bandRows, size.width() * 4,
                                           QImage::Format_RGB32);
    return presenter;
}

ShmPresenter::~ShmPresenter()
{
    if (segment_) {
        xcb_free_gc(connection_, gc_);
        xcb_shm_detach(connection_, segment_);
        // X lets go of the memory before this program does.
        std::free(xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
    }
    if (memory_)
        shmdt(memory_);
    xcb_disconnect(connection_);
}

void ShmPresenter::present(const QImage &image, const QRegion &region)
{
    const QRegion shown = region & QRect(QPoint(), size_) & image.rect();
    const int bandRows = bands_[0].rows.height();
    const QRect bounds = shown.boundingRect();
    for (int top = bounds.top(); top <= bounds.bottom(); top += bandRows) {
        const QRegion part = shown & QRect(0, top, size_.width(), bandRows);
        if (part.isEmpty())
            continue;
        Band &band = bands_[std::exchange(nextBand_, 1 - nextBand_)];
        if (band.lastPut)
            std::free(xcb_get_input_focus_reply(connection_, xcb_get_input_focus_cookie_t{*band.lastPut}, nullptr));
        CopyRegion(band.rows, QPoint(0, -top), image, part);
        const uint32_t offset = uint32_t(band.rows.constBits() - static_cast<const uchar *>(memory_));
        for (const QRect &r : part)
            xcb_shm_put_image(connection_, window_, gc_, uint16_t(size_.width()), uint16_t(bandRows), int16_t(r.x()), int16_t(r.y() - top),
                              uint16_t(r.width()), uint16_t(r.height()), int16_t(r.x()), int16_t(r.y()), 24, XCB_IMAGE_FORMAT_Z_PIXMAP, 0,
                              segment_, offset);
        // Requests are answered in order: this one's answer says X has read the band.
        band.lastPut = xcb_get_input_focus(connection_).sequence;
        xcb_flush(connection_); // X reads this band while the next is copied
    }
    // Errors, such as a window gone while its last frame was under way, have nobody to tell.
    while (xcb_generic_event_t *event = xcb_poll_for_event(connection_))
        std::free(event);
}
