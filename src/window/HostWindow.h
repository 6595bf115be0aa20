#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <QSize>
#include <memory>

class QWindow;

// A window of another program that the show draws into, such as a screen-saver daemon's
// window: tells its size in device pixels whenever it changes, and when it is destroyed.
class HostWindow final : public QObject, public QAbstractNativeEventFilter
{
    Q_OBJECT
public:
    // The display's root window for id 0. Null without an X display or when no such window exists.
    [[nodiscard]] static std::unique_ptr<HostWindow> open(unsigned long id);
    ~HostWindow() override;

    [[nodiscard]] QWindow *window() const { return window_; }
    [[nodiscard]] QSize size() const { return size_; }

signals:
    void resized(QSize devicePixels);
    void gone();

protected:
    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

private:
    HostWindow(unsigned long id, QSize size);

    unsigned long id_;
    QSize size_;
    QWindow *window_;
};
