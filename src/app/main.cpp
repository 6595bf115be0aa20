#include "CommandLine.h"
#include "Program.h"
#include "SCRNSAVE.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    Program program(QCoreApplication::applicationDirPath(), QCoreApplication::applicationFilePath());
    Main(CommandLineText(QCoreApplication::arguments()), program);
    return 0;
}
