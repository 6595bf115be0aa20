#include "window/HostWindow.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QWindow>
#include <xcb/xcb.h>

namespace {

xcb_connection_t *xcbConnection()
{
    const auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

} // namespace

std::unique_ptr<HostWindow> HostWindow::open(unsigned long id)
{
    xcb_connection_t *connection = xcbConnection();
    if (!connection)
        return nullptr;
    if (id == 0)
        id = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const xcb_window_t window = xcb_window_t(id);
    xcb_get_window_attributes_reply_t *attributes =
        xcb_get_window_attributes_reply(connection, xcb_get_window_attributes(connection, window), nullptr);
    if (!attributes)
        return nullptr;
    // Event masks are kept per client: adding ours to what this program already asked for
    // leaves Qt's own selection and every other client's untouched.
    const uint32_t mask = attributes->your_event_mask | XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    free(attributes);
    xcb_change_window_attributes(connection, window, XCB_CW_EVENT_MASK, &mask);
    // Asked after selecting the events, so a change in between is not missed.
    xcb_get_geometry_reply_t *geometry = xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr);
    if (!geometry)
        return nullptr;
    const QSize size(geometry->width, geometry->height);
    free(geometry);
    return std::unique_ptr<HostWindow>(new HostWindow(id, size));
}

HostWindow::HostWindow(unsigned long id, QSize size) : id_(id), size_(size), window_(QWindow::fromWinId(WId(id)))
{
    QCoreApplication::instance()->installNativeEventFilter(this);
}

HostWindow::~HostWindow()
{
    QCoreApplication::instance()->removeNativeEventFilter(this);
    delete window_;
}

bool HostWindow::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    switch (event->response_type & ~0x80) {
    case XCB_CONFIGURE_NOTIFY: {
        const auto *configure = static_cast<const xcb_configure_notify_event_t *>(message);
        const QSize size(configure->width, configure->height);
        if (configure->window == id_ && size != size_) {
            size_ = size;
            emit resized(size_);
        }
        break;
    }
    case XCB_DESTROY_NOTIFY:
        if (static_cast<const xcb_destroy_notify_event_t *>(message)->window == id_)
            emit gone();
        break;
    default:
        break;
    }
    return false;
}
