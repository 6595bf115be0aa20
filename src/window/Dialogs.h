#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// The file-open dialog, taking one or several existing files: their full paths in the
// order the dialog gives them, none when the user cancels.
class FileChooser
{
public:
    virtual ~FileChooser() = default;
    [[nodiscard]] virtual QStringList chooseFiles(QWidget *parent) = 0;
};

class QtFileChooser final : public FileChooser
{
public:
    [[nodiscard]] QStringList chooseFiles(QWidget *parent) override;
};

// A message box with only an OK button.
class MessageSink
{
public:
    virtual ~MessageSink() = default;
    virtual void showMessage(QWidget *parent, const QString &title, const QString &text) = 0;
};

class QtMessageSink final : public MessageSink
{
public:
    void showMessage(QWidget *parent, const QString &title, const QString &text) override;
};

inline const QString ProgramTitle = QStringLiteral("slideshow-saver");
