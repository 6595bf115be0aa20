#pragma once

#include "app/CommandLine.h"

#include <QString>
#include <optional>

class PointerDisplay;
class EventYield;

// What Main needs of the program around it.
class MainServices
{
public:
    virtual ~MainServices() = default;
    // True when another copy of this program is already running.
    [[nodiscard]] virtual bool anotherCopyRunning() = 0;
    // Creates SettingsDoc and loads settings.xml into it; the outcome is not examined.
    virtual void loadSettings() = 0;
    virtual EventYield &events() = 0;
    virtual void showSetupFormModal() = 0;
    virtual void showBlankForm() = 0;
    // Runs the show inside another program's window until that window goes or the program is told to end.
    virtual void showInHostWindow(const HostWindowRequest &host) = 0;
};

// The program's entry: single instance, settings load, then "/c" or "/s". With a host window
// no lock is taken: a screen-saver daemon runs one copy per screen and another for its preview.
void Main(const QString &commandLine, MainServices &services, const std::optional<HostWindowRequest> &host = std::nullopt);

// Ends the process at once: nothing is saved, no window's close handling runs.
[[noreturn]] void EndProgram();

// Shows the pointer and ends the program.
[[noreturn]] void EndSaver(PointerDisplay &pointer);
