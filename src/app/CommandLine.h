#pragma once

#include <QString>
#include <QStringList>
#include <optional>

enum class StartCommand { Nothing, Configure, Show };

// The argument text that follows the program's name, arguments joined by blanks.
[[nodiscard]] QString CommandLineText(const QStringList &arguments);

// Plain case-sensitive substring tests, "/c" before "/s": "/c:1234" and "/s /c" configure,
// "/S", "/C" and "/p 1234" do nothing.
[[nodiscard]] StartCommand ParseCommandLine(const QString &commandLine);

// A window of another program to show the slides in, as XScreenSaver starts its screen savers.
struct HostWindowRequest
{
    // 0: the display's root window.
    unsigned long window = 0;
    friend bool operator==(const HostWindowRequest &, const HostWindowRequest &) = default;
};

// "--root" asks for the window named by $XSCREENSAVER_WINDOW, or the root window when it names
// none; "--window-id ID" (decimal or 0x-hex) for that window. One dash serves as well as two.
// nullopt when neither is asked for or the ID is not a window number.
[[nodiscard]] std::optional<HostWindowRequest> ParseHostWindow(const QStringList &arguments, const QString &xscreensaverWindow);
