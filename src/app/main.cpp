#include "app/CommandLine.h"
#include "app/Program.h"
#include "app/SCRNSAVE.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    Program program(QCoreApplication::applicationDirPath(), QCoreApplication::applicationFilePath());
    Main(CommandLineText(QCoreApplication::arguments()), program);
    return 0;
}
