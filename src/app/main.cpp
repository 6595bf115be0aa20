#include "app/CommandLine.h"
#include "app/FileLocations.h"
#include "app/Program.h"
#include "app/SCRNSAVE.h"

#include <QApplication>
#include <QDir>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    const FileLocations files = ChooseFileLocations(InspectProgramFolder(QCoreApplication::applicationDirPath()),
                                                    ConfigHome(qEnvironmentVariable("XDG_CONFIG_HOME"), QDir::homePath()));
    Program program(files, QCoreApplication::applicationFilePath());
    const QStringList arguments = QCoreApplication::arguments();
    Main(CommandLineText(arguments), program, ParseHostWindow(arguments, qEnvironmentVariable("XSCREENSAVER_WINDOW")));
    return 0;
}
