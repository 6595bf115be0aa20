#include "window/Dialogs.h"

#include <QFileDialog>
#include <QMessageBox>

QStringList QtFileChooser::chooseFiles(QWidget *parent)
{
    return QFileDialog::getOpenFileNames(parent);
}

void QtMessageSink::showMessage(QWidget *parent, const QString &title, const QString &text)
{
    QMessageBox::information(parent, title, text, QMessageBox::Ok);
}
