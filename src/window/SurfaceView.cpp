#include "window/SurfaceView.h"

#include "raster/Gdi.h"
#include "raster/Surface.h"
#include "window/ShmPresenter.h"

#include <QBackingStore>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>
#include <QScreen>

SurfaceView::SurfaceView(Surface &surface, QWidget *parent, Pixels pixels) : QWidget(parent), surface_(surface), pixels_(pixels)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    // On X the show's view is a window of its own that only the presenter draws on, so the
    // window's image in Qt holds none of its pixels: at 4K a second whole frame less.
    if (pixels_ == Pixels::Device && QGuiApplication::platformName() == QLatin1String("xcb")) {
        setAttribute(Qt::WA_NativeWindow);
        setAttribute(Qt::WA_PaintOnScreen);
    }
    frame_.setSingleShot(true);
    frame_.setTimerType(Qt::PreciseTimer);
    connect(&frame_, &QTimer::timeout, this, &SurfaceView::presentPending);
    // The surface may outlive the view or die before it (a form's members go before its
    // child widgets): the presenter checks the view is alive, and the view never touches
    // the surface once it is being destroyed.
    surface_.setPresenter([view = QPointer<SurfaceView>(this)](const QRect &changed) {
        if (view)
            view->schedule(changed);
    });
}

namespace {

// A mebibyte of pixels moved: what a core copies in about a tenth of a millisecond.
constexpr qint64 BackgroundWork = 1 << 18;

}

SurfaceView::~SurfaceView()
{
    // A frame being made calls back into this view; it is done before the view goes.
    Surface::finishBackground();
}

void SurfaceView::schedule(const QRect &changed)
{
    pending_ += changed;
    if (!frame_.isActive() && !making_)
        startFrame();
}

int FramePeriod(qreal refreshRate, qint64 paintCost, qint64 framePixels)
{
    // Rounded down, so frames never come less often than the screen shows them.
    const int screenFrame = qBound(1, int(1000.0 / (refreshRate > 0 ? refreshRate : 60.0)), 50);
    // Whatever a frame costs this thread delays the effect's next step as long: frames
    // that cost much come less often, keeping that delay near a twentieth of the time.
    const qint64 costly = paintCost * 20 / 1000000;
    // The window system copies every pixel of a frame once more, at the priority of the
    // steps and on a core they share: a frame of a whole 4K screen comes at most forty
    // times a second, a full HD one still at the screen's rate.
    const qint64 copied = framePixels * 3 / 1000000;
    // Never fewer than thirty frames a second, for either reason.
    return qMax(screenFrame, int(qMin<qint64>(qMax(costly, copied), 33)));
}

void SurfaceView::startFrame()
{
    const qint64 period = FramePeriod(screen() ? screen()->refreshRate() : 60.0, paintCost_, lastFramePixels_);
    const qint64 since = frameStart_.isValid() ? frameStart_.elapsed() : 0;
    frame_.start(int(qBound<qint64>(0, period - since, period)));
}

qreal SurfaceView::ratio() const
{
    return pixels_ == Pixels::Device ? devicePixelRatioF() : 1.0;
}

void SurfaceView::preparePresenter()
{
    if (shmTried_ == surface_.size())
        return;
    shm_.reset();
    shmTried_ = surface_.size();
    shm_ = ShmPresenter::open(winId(), shmTried_);
}

void SurfaceView::presentPending()
{
    frameStart_.start();
    const QRegion frame = std::exchange(pending_, QRegion());
    lastFramePixels_ = 0;
    for (const QRect &r : frame)
        lastFramePixels_ += qint64(r.width()) * r.height();
    // A surface resized since the presenter opened is shown by a paint, which opens one for its size.
    ShmPresenter *const shm = shm_ && shm_->size() == surface_.size() ? shm_.get() : nullptr;
    const auto put = [this, shm, frame] {
        if (shm)
            shm->present(surface_.presentedImage(), frame);
    };
    // A frame that costs little costs less to make here than to hand to another thread and
    // back, and shows before the next step falls due; but one put on X from here first
    // waits for X to take the last.
    const qint64 worthHanding = shm ? 1 : BackgroundWork;
    making_ = Surface::deferredWork() >= worthHanding && Surface::settleDeferredInBackground([this, frame, put, shm] {
        put();
        QMetaObject::invokeMethod(this, [this, frame, shm] { showFrame(frame, shm); }, Qt::QueuedConnection);
    });
    if (making_) {
        if (shm)
            paintCost_ = 0;
        return;
    }
    Surface::settleDeferred();
    QElapsedTimer cost;
    cost.start();
    put();
    if (shm)
        paintCost_ = cost.nsecsElapsed();
    showFrame(frame, shm);
}

void SurfaceView::showFrame(const QRegion &frame, bool onScreen)
{
    making_ = false;
    if (!onScreen) {
        const qreal ratio = this->ratio();
        QRegion logical;
        for (const QRect &changed : frame)
            logical += QRectF(changed.x() / ratio, changed.y() / ratio, changed.width() / ratio, changed.height() / ratio)
                           .toAlignedRect();
        update(logical);
    }
    emit framePresented();
    if (!pending_.isEmpty() && !frame_.isActive())
        startFrame();
}

QPaintEngine *SurfaceView::paintEngine() const
{
    return testAttribute(Qt::WA_PaintOnScreen) ? nullptr : QWidget::paintEngine();
}

void SurfaceView::fitToSurface()
{
    const qreal ratio = this->ratio();
    resize(qRound(surface_.width() / ratio), qRound(surface_.height() / ratio));
}

void SurfaceView::paintEvent(QPaintEvent *event)
{
    QElapsedTimer cost;
    cost.start();
    if (testAttribute(Qt::WA_PaintOnScreen)) {
        if (surface_.size().isEmpty())
            return; // nothing to show yet, nor to open a presenter for
        preparePresenter();
        if (!shm_) {
            // The display cannot take this program's shared memory: Qt paints the view after all.
            setAttribute(Qt::WA_PaintOnScreen, false);
            update();
            return;
        }
        // The window is uncovered seldom, and the whole surface costs X one copy: it is put
        // whole, which also pays both sides' first touch of new shared memory now, with
        // what the window shows already, and not at an effect's first frame.
        shm_->present(surface_.presentedImage(), surface_.rect());
        paintCost_ = cost.nsecsElapsed();
        return;
    }
    const qreal ratio = this->ratio();
    const QRect logical = event->rect();
    // Only what the surface does not cover takes the background colour.
    const QRegion uncovered = QRegion(logical) - QRect(0, 0, qRound(surface_.width() / ratio), qRound(surface_.height() / ratio));
    QPainter painter(this);
    for (const QRect &part : uncovered)
        painter.fillRect(part, QColor(toQRgb(surface_.backColor())));
    // Only a paint into the window's own image goes there directly: a grab or a render
    // into another device must get the picture too.
    QPoint redirect;
    QImage *store = backingStore() ? dynamic_cast<QImage *>(backingStore()->paintDevice()) : nullptr;
    const bool direct = store && redirected(&redirect) == store && ratio == 1.0
        && store->devicePixelRatio() == 1.0
        && (store->format() == QImage::Format_RGB32 || store->format() == QImage::Format_ARGB32_Premultiplied);
    // The screen shows the frame as made so far; anything else drawn from the view gets it all.
    const QImage &image = direct ? surface_.presentedImage() : surface_.image();
    if (direct) {
        // A copy straight into the window's image, shared with a second core, is the
        // cheapest way a full-screen frame reaches the screen.
        painter.end();
        CopyRegion(*store, -redirect, image, event->region());
    } else {
        const QRect device = QRectF(logical.x() * ratio, logical.y() * ratio, logical.width() * ratio, logical.height() * ratio)
                                 .toAlignedRect() & image.rect();
        if (!device.isEmpty())
            painter.drawImage(QRectF(device.x() / ratio, device.y() / ratio, device.width() / ratio, device.height() / ratio),
                              image, device);
    }
    paintCost_ = cost.nsecsElapsed();
}
