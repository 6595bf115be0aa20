#include "setup/UpDown.h"

#include <QToolButton>

namespace {

QToolButton *arrowButton(Qt::ArrowType arrow, const char *name, QWidget *parent)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setArrowType(arrow);
    button->setAutoRepeat(true);
    button->setFocusPolicy(Qt::NoFocus); // the arrows leave the focus in the text box
    return button;
}

} // namespace

UpDown::UpDown(QWidget *parent)
    : QWidget(parent), up_(arrowButton(Qt::UpArrow, "upArrow", this)), down_(arrowButton(Qt::DownArrow, "downArrow", this))
{
}

void UpDown::resizeEvent(QResizeEvent *)
{
    const int upHeight = (height() + 1) / 2;
    up_->setGeometry(0, 0, width(), upHeight);
    down_->setGeometry(0, upHeight, width(), height() - upHeight);
}
