#pragma once

#include <QRegion>
#include <QTimer>
#include <QWidget>

class Surface;

// Presents a surface on screen: the surface's refresh repaints only what changed, at
// most once a frame of the screen, so an effect drawing every millisecond shows its
// latest state at the screen's own rate. The surface is in device pixels, so high-DPI
// screens show it one to one.
class SurfaceView : public QWidget
{
    Q_OBJECT
public:
    explicit SurfaceView(Surface &surface, QWidget *parent = nullptr);
    ~SurfaceView() override;

    // Resizes the widget to the surface's size in device pixels.
    void fitToSurface();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void presentPending();

    Surface &surface_;
    QRegion pending_;
    QTimer frame_;
};
