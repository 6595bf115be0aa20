#pragma once

#include <QElapsedTimer>
#include <QRegion>
#include <QTimer>
#include <QWidget>
#include <memory>

class ShmPresenter;
class Surface;

// Milliseconds from the start of one frame to the start of the next, for a screen of
// `refreshRate` frames a second (0 when unknown), a last frame that took this thread
// `paintCost` nanoseconds and changed `framePixels` pixels.
[[nodiscard]] int FramePeriod(qreal refreshRate, qint64 paintCost, qint64 framePixels);

// Presents a surface on screen: the surface's refresh repaints only what changed, at
// most once a frame of the screen, so an effect drawing every millisecond shows its
// latest state at the screen's own rate. A frame's deferred drawing is made on another
// thread while this one goes on, and the frame is shown once it is made; on an X display
// the show's view is a window of its own that that thread puts the frames on. Frames that
// cost this thread or the window system much come less often, down to thirty a second.
class SurfaceView : public QWidget
{
    Q_OBJECT
public:
    enum class Pixels
    {
        Logical, // a dialog's surface: one surface pixel per widget pixel, enlarged on high-DPI screens
        Device,  // the show's surface: one surface pixel per screen pixel, never enlarged
    };

    explicit SurfaceView(Surface &surface, QWidget *parent = nullptr, Pixels pixels = Pixels::Logical);
    ~SurfaceView() override;

    // Resizes the widget to the surface's size in device pixels.
    void fitToSurface();

signals:
    // A frame has been handed to the window system.
    void framePresented();

protected:
    void paintEvent(QPaintEvent *event) override;
    [[nodiscard]] QPaintEngine *paintEngine() const override;

private:
    void schedule(const QRect &changed);
    void startFrame();
    void presentPending();
    void showFrame(const QRegion &frame, bool onScreen);
    // Opens a presenter on the view's window for the surface's size, unless one was tried for it.
    void preparePresenter();
    [[nodiscard]] qreal ratio() const;

    Surface &surface_;
    Pixels pixels_;
    QRegion pending_;
    QTimer frame_;
    bool making_ = false; // a frame's drawing is being made in the background
    QElapsedTimer frameStart_;
    qint64 paintCost_ = 0; // nanoseconds the last frame took this thread
    qint64 lastFramePixels_ = 0; // pixels the last frame changed
    std::unique_ptr<ShmPresenter> shm_;
    QSize shmTried_; // the surface size a presenter was last opened for
};
