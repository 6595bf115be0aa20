#pragma once

#include "window/Dialogs.h"

#include <QStringList>

// A message sink that keeps every text it is given, in order.
struct RecordingMessages : MessageSink
{
    void showMessage(QWidget *, const QString &, const QString &text) override { shown << text; }
    QStringList shown;
};
