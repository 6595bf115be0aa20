#pragma once

#include <QRect>
#include <QString>
#include <QWidget>
#include <utility>

// Creates a named child of container at a fixed geometry, as the forms lay out their
// controls; the name is how tests and the forms' own handlers find a control again.
template <typename Widget, typename... Args>
Widget *PlaceWidget(QWidget *container, const char *name, const QRect &geometry, Args &&...args)
{
    auto *widget = new Widget(std::forward<Args>(args)..., container);
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(geometry);
    return widget;
}
