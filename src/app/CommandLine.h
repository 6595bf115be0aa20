#pragma once

#include <QString>
#include <QStringList>

enum class StartCommand { Nothing, Configure, Show };

// The argument text that follows the program's name, arguments joined by blanks.
[[nodiscard]] QString CommandLineText(const QStringList &arguments);

// Plain case-sensitive substring tests, "/c" before "/s": "/c:1234" and "/s /c" configure,
// "/S", "/C" and "/p 1234" do nothing.
[[nodiscard]] StartCommand ParseCommandLine(const QString &commandLine);
