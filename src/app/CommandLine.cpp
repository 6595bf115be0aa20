#include "app/CommandLine.h"

QString CommandLineText(const QStringList &arguments)
{
    return arguments.mid(1).join(QLatin1Char(' '));
}

StartCommand ParseCommandLine(const QString &commandLine)
{
    if (commandLine.contains(QLatin1String("/c"), Qt::CaseSensitive))
        return StartCommand::Configure;
    if (commandLine.contains(QLatin1String("/s"), Qt::CaseSensitive))
        return StartCommand::Show;
    return StartCommand::Nothing;
}
