#include "window/Dialogs.h"

#include <QFileDialog>
#include <QMessageBox>

std::optional<QString> QtFileChooser::chooseFile(QWidget *parent)
{
    const QString path = QFileDialog::getOpenFileName(parent);
    if (path.isEmpty())
        return std::nullopt;
    return path;
}

void QtMessageSink::showMessage(QWidget *parent, const QString &title, const QString &text)
{
    QMessageBox::information(parent, title, text, QMessageBox::Ok);
}
