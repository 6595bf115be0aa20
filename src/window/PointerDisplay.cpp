#include "window/PointerDisplay.h"

#include <QCursor>
#include <QGuiApplication>

int QtPointerDisplay::ShowCursor(bool show)
{
    const bool wasVisible = count_ >= 0;
    count_ += show ? 1 : -1;
    const bool visible = count_ >= 0;
    if (wasVisible && !visible)
        QGuiApplication::setOverrideCursor(QCursor(Qt::BlankCursor));
    else if (!wasVisible && visible)
        QGuiApplication::restoreOverrideCursor();
    return count_;
}

void HideMousePointer(PointerDisplay &pointer)
{
    while (pointer.ShowCursor(false) >= 0) {
    }
}

void ShowMousePointer(PointerDisplay &pointer)
{
    while (pointer.ShowCursor(true) < 0) {
    }
}
