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

namespace {

std::optional<unsigned long> windowNumber(const QString &text)
{
    bool ok = false;
    const bool hex = text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive);
    const qulonglong value = hex ? text.mid(2).toULongLong(&ok, 16) : text.toULongLong(&ok, 10);
    // X window numbers are 29 bits; 0 would mean "no window".
    if (!ok || value == 0 || value > 0x1FFFFFFFull)
        return std::nullopt;
    return static_cast<unsigned long>(value);
}

bool isFlag(const QString &argument, QLatin1String name)
{
    return argument == QLatin1String("-") + name || argument == QLatin1String("--") + name;
}

} // namespace

std::optional<HostWindowRequest> ParseHostWindow(const QStringList &arguments, const QString &xscreensaverWindow)
{
    for (qsizetype k = 1; k < arguments.size(); ++k) {
        if (isFlag(arguments[k], QLatin1String("window-id"))) {
            if (k + 1 == arguments.size())
                return std::nullopt;
            const std::optional<unsigned long> window = windowNumber(arguments[k + 1]);
            return window ? std::optional(HostWindowRequest{*window}) : std::nullopt;
        }
        if (isFlag(arguments[k], QLatin1String("root")))
            return HostWindowRequest{windowNumber(xscreensaverWindow.trimmed()).value_or(0)};
    }
    return std::nullopt;
}
