#pragma once

#include <QString>

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
};

// The program's entry: single instance, settings load, then "/c" or "/s".
void Main(const QString &commandLine, MainServices &services);

// Ends the process at once: nothing is saved, no window's close handling runs.
[[noreturn]] void EndProgram();

// Shows the pointer and ends the program.
[[noreturn]] void EndSaver(PointerDisplay &pointer);
