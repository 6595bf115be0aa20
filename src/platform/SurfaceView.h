#pragma once

#include <QWidget>

class Surface;

// Presents a surface on screen: the surface's refresh repaints only what changed.
// The surface is in device pixels, so high-DPI screens show it one to one.
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
    Surface &surface_;
};
