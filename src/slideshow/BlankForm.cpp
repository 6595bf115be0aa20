#include "slideshow/BlankForm.h"

#include "window/Dialogs.h"
#include "window/HostWindow.h"
#include "window/PointerDisplay.h"
#include "window/SurfaceView.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QWindow>
#include <cmath>

namespace {

float twips(qreal pixels)
{
    return float(PixelsToTwips(pixels));
}

QColor toQColor(ColorValue color)
{
    return QColor(toQRgb(color));
}

} // namespace

BlankForm::BlankForm(SlideShow::Services services, PointerDisplay &pointer, std::function<void()> endSaver, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , show_(std::move(services))
    , pointer_(pointer)
    , endSaver_(std::move(endSaver))
{
    setObjectName(QStringLiteral("BlankForm"));
    setWindowTitle(ProgramTitle);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAutoFillBackground(true);
    view_ = new SurfaceView(show_.NewPic, this, SurfaceView::Pixels::Device);
    view_->setObjectName(QStringLiteral("NewPic"));
    view_->setMouseTracking(true);
    view_->installEventFilter(this);
    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Label1->setMouseTracking(true);
    Label1->installEventFilter(this);
    // Over a view that is a window of its own, only a window shows, and it cannot show the
    // slide through: the line is a strip of the background colour, which its text is chosen
    // to read on.
    Label1->setAttribute(Qt::WA_NativeWindow, view_->testAttribute(Qt::WA_NativeWindow));
    Label1->setAutoFillBackground(true);
    Label1->hide();
    connect(&Timer1, &QTimer::timeout, this, &BlankForm::tick);
}

BlankForm::~BlankForm()
{
    qDeleteAll(covers_);
}

QWidget *BlankForm::newPicView() const
{
    return view_;
}

QString BlankForm::labelText() const
{
    return Label1->text();
}

void BlankForm::Load()
{
    QScreen *screen = QGuiApplication::primaryScreen();
    const QRect geometry = screen->geometry();
    const qreal ratio = screen->devicePixelRatio();
    // The slides are drawn at the screen's device pixels, never enlarged afterwards.
    layOut(QSize(qRound(geometry.width() * ratio), qRound(geometry.height() * ratio)), ratio);
    setGeometry(geometry);
    coverOtherScreens(show_.NewPic.backColor());
    HideMousePointer(pointer_);
}

void BlankForm::layOut(QSize devicePixels, qreal ratio)
{
    show_.Load(devicePixels);
    Timer1.setInterval(show_.intervalMs());
    const ColorValue background = show_.NewPic.backColor();
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, toQColor(background));
    const bool dark = qGray(toQRgb(background)) < 128;
    palette.setColor(QPalette::WindowText, dark ? Qt::white : Qt::black);
    setPalette(palette);

    const QPoint position = show_.newPicPosition();
    view_->move(qRound(position.x() / ratio), qRound(position.y() / ratio));
    // The view covers the picture area from the start, so the form never paints there, in
    // the background colour till the next slide: the first, or after a resize the one that
    // fits, where the old size's slide would sit out of place. Till then it shares the
    // pixels of picImage, which holds the same.
    show_.NewPic.adoptPicture(show_.picImage.drawnImage());
    view_->fitToSurface();
    Label1->setGeometry(qRound(position.x() / ratio), qRound(position.y() / ratio), qRound(show_.picImage.width() / ratio),
                        Label1->sizeHint().height());
}

void BlankForm::showInHost(HostWindow &host)
{
    host_ = &host;
    setFocusPolicy(Qt::NoFocus);
    // A native window of our own inside the host's: the host keeps the keys, mouse and pointer.
    winId();
    windowHandle()->setParent(host.window());
    followHost();
    connect(&host, &HostWindow::resized, this, [this] {
        hostResized_ = true;
        // The surfaces keep their size while a slide switch draws into them.
        if (!ticking_)
            followHost();
    });
    show();
    if (Timer1.interval() > 0)
        Timer1.start();
}

void BlankForm::followHost()
{
    hostResized_ = false;
    const qreal ratio = devicePixelRatioF();
    const QSize size = host_->size();
    layOut(size, ratio);
    setGeometry(0, 0, qRound(size.width() / ratio), qRound(size.height() / ratio));
    if (Timer1.isActive())
        Timer1.start();
}

void BlankForm::coverOtherScreens(ColorValue background)
{
    for (QScreen *screen : QGuiApplication::screens()) {
        if (screen == QGuiApplication::primaryScreen())
            continue;
        auto *cover = new QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
        cover->setObjectName(QStringLiteral("ScreenCover"));
        QPalette palette = cover->palette();
        palette.setColor(QPalette::Window, toQColor(background));
        cover->setPalette(palette);
        cover->setAutoFillBackground(true);
        cover->setMouseTracking(true);
        cover->installEventFilter(this);
        cover->setGeometry(screen->geometry());
        covers_.push_back(cover);
    }
}

void BlankForm::showShow(bool modal)
{
    for (QWidget *cover : covers_)
        cover->show();
    // Input must reach the show even when it is a preview over the modal setup dialog,
    // which would otherwise keep every other window's mouse and keys to itself.
    setWindowModality(Qt::ApplicationModal);
    show();
    raise();
    activateWindow();
    grabKeyboard();
    if (Timer1.interval() > 0)
        Timer1.start();
    if (modal) {
        QEventLoop loop;
        connect(this, &QObject::destroyed, &loop, &QEventLoop::quit);
        loop.exec();
    }
}

void BlankForm::tick()
{
    ticking_ = true;
    show_.SwitchPic();
    ticking_ = false;
    if (hostResized_)
        followHost();
    view_->fitToSurface();
    if (!show_.labelText().isEmpty() && Label1->text() != show_.labelText()) {
        Label1->setText(show_.labelText());
        Label1->show();
    }
}

void BlankForm::mouseMoved(float x, float y, float threshold)
{
    if (host_)
        return; // the host's program decides when the show ends
    if (!LastMouseX || !LastMouseY) {
        LastMouseX = x;
        LastMouseY = y;
    }
    if (std::fabs(x - *LastMouseX) > threshold || std::fabs(y - *LastMouseY) > threshold) {
        endSaver_();
        return;
    }
    LastMouseX = x;
    LastMouseY = y;
}

void BlankForm::keyPressEvent(QKeyEvent *)
{
    if (!host_)
        endSaver_();
}

void BlankForm::mouseMoveEvent(QMouseEvent *event)
{
    mouseMoved(twips(event->position().x()), twips(event->position().y()), WindowThreshold);
}

bool BlankForm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        if (!host_)
            endSaver_();
        return true;
    }
    if (event->type() == QEvent::MouseMove) {
        const auto *move = static_cast<QMouseEvent *>(event);
        // The slide has its own, wider tolerance; the label lies on the slide's area.
        const float threshold = watched == view_ || watched == Label1 ? NewPicThreshold : WindowThreshold;
        QPointF at = move->position();
        if (watched == Label1)
            at = Label1->mapTo(view_, at);
        mouseMoved(twips(at.x()), twips(at.y()), threshold);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
