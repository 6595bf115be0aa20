#include "app/SCRNSAVE.h"

#include "app/CommandLine.h"
#include "window/EventYield.h"
#include "window/PointerDisplay.h"
#include "app/SingleInstance.h"

#include <cstdio>
#include <cstdlib>

void Main(const QString &commandLine, MainServices &services, const std::optional<HostWindowRequest> &host)
{
    if (host) {
        services.loadSettings();
        services.events().DoEvents();
        services.showInHostWindow(*host);
        return;
    }
    if (services.anotherCopyRunning())
        return;
    services.loadSettings();
    switch (ParseCommandLine(commandLine)) {
    case StartCommand::Configure:
        services.events().DoEvents();
        services.showSetupFormModal();
        return;
    case StartCommand::Show:
        for (int k = 0; k < 3; ++k)
            services.events().DoEvents();
        services.showBlankForm();
        for (int k = 0; k < 2; ++k)
            services.events().DoEvents();
        return;
    case StartCommand::Nothing:
        return;
    }
}

void EndProgram()
{
    SingleInstance::releaseHeld();
    std::fflush(nullptr);
    std::_Exit(0);
}

void EndSaver(PointerDisplay &pointer)
{
    ShowMousePointer(pointer);
    EndProgram();
}
