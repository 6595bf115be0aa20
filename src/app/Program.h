#pragma once

#include "app/FileLocations.h"
#include "window/Dialogs.h"
#include "window/EventYield.h"
#include "window/PointerDisplay.h"
#include "app/SCRNSAVE.h"
#include "settings/SettingsDoc.h"
#include "slideshow/ShowChoices.h"
#include "app/SingleInstance.h"
#include "window/TickClock.h"
#include "transitions/modTransition.h"

#include <memory>

class BlankForm;
class SetupForm;
class frmColorPick;

// The running program: owns the settings document, the platform services and the
// three windows, each created and loaded on first reference.
class Program final : public MainServices, public ShowChoices
{
public:
    Program(FileLocations files, const QString &programPath);
    ~Program() override;

    bool anotherCopyRunning() override;
    void loadSettings() override;
    EventYield &events() override { return events_; }
    void showSetupFormModal() override;
    void showBlankForm() override;
    void showInHostWindow(const HostWindowRequest &host) override;

    ColorValue backgroundColor() override;
    bool randomTransitions() override;
    ImageSize imageSize() override;

private:
    SetupForm &setupForm();
    BlankForm &blankForm();
    void createBlankForm();
    frmColorPick &colorPicker();

    FileLocations locations_;
    SingleInstance instance_;
    std::unique_ptr<SettingsDoc> settings_;
    SteadyTickClock clock_;
    QtEventYield events_{clock_};
    QtPointerDisplay pointer_;
    QtMessageSink messages_;
    QtFileChooser files_;
    modTransition transitions_{clock_, events_};
    std::unique_ptr<frmColorPick> colorPicker_;
    std::unique_ptr<SetupForm> setupForm_;
    std::unique_ptr<BlankForm> blankForm_;
};
