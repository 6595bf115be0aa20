#pragma once

#include "Dialogs.h"

#include <QStringList>

// Keeps every message instead of showing a box.
class RecordingMessageSink final : public MessageSink
{
public:
    void showMessage(QWidget *, const QString &title, const QString &text) override
    {
        titles.append(title);
        texts.append(text);
    }

    QStringList titles;
    QStringList texts;
};
