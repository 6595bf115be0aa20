#pragma once

#include <QWidget>

class QToolButton;

// The up-down arrows beside a text box: two stacked arrow buttons sharing the widget's
// height, repeating while held. What a press changes is up to whoever connects them.
class UpDown : public QWidget
{
    Q_OBJECT
public:
    explicit UpDown(QWidget *parent = nullptr);

    [[nodiscard]] QToolButton *upArrow() const { return up_; }
    [[nodiscard]] QToolButton *downArrow() const { return down_; }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    QToolButton *up_;
    QToolButton *down_;
};
