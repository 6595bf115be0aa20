#pragma once

#include "slideshow/SlideShow.h"

#include <QTimer>
#include <QWidget>
#include <functional>
#include <optional>

class HostWindow;
class PointerDisplay;
class QLabel;
class SurfaceView;

// The full-screen window of the show: background colour everywhere, the slide at the
// picture area, no pointer; any key or a mouse movement beyond a small threshold ends
// the program. Other screens are covered in the background colour too.
class BlankForm : public QWidget
{
    Q_OBJECT
public:
    BlankForm(SlideShow::Services services, PointerDisplay &pointer, std::function<void()> endSaver, QWidget *parent = nullptr);
    ~BlankForm() override;

    // Reads the settings, covers the screen, lays out the picture area and hides the pointer.
    void Load();
    // Shows the window and, when modal, runs until the program ends.
    void showShow(bool modal);
    // Instead of Load and showShow: the show inside another program's window, at that window's
    // size and following it, taking no keys or mouse and leaving the pointer alone.
    void showInHost(HostWindow &host);

    [[nodiscard]] const QTimer &timer() const { return Timer1; }
    [[nodiscard]] QWidget *newPicView() const;
    [[nodiscard]] QString labelText() const;

    // Twips thresholds between two movements: over the window's margin and over the slide.
    static constexpr float WindowThreshold = 2.0f;
    static constexpr float NewPicThreshold = 500.0f;

    // One mouse movement at (x, y) twips in the receiving element's own coordinates.
    void mouseMoved(float x, float y, float threshold);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void tick();
    void layOut(QSize devicePixels, qreal ratio);
    void followHost();
    void coverOtherScreens(ColorValue background);

    SlideShow show_;
    PointerDisplay &pointer_;
    std::function<void()> endSaver_;
    QTimer Timer1;
    SurfaceView *view_ = nullptr;
    QLabel *Label1 = nullptr;
    std::vector<QWidget *> covers_;
    std::optional<float> LastMouseX;
    std::optional<float> LastMouseY;
    HostWindow *host_ = nullptr;
    bool ticking_ = false;
    bool hostResized_ = false;
};
