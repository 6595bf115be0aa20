#include "app/Program.h"

#include "slideshow/BlankForm.h"
#include "transitions/RuntimeRandom.h"
#include "setup/SetupForm.h"
#include "colorpick/frmColorPick.h"

#include "window/HostWindow.h"

#include <QDir>
#include <QEventLoop>
#include <csignal>
#include <unistd.h>

Program::Program(FileLocations files, const QString &programPath)
    : locations_(std::move(files)), instance_(programPath)
{
}

Program::~Program() = default;

bool Program::anotherCopyRunning()
{
    return !instance_.acquire();
}

void Program::loadSettings()
{
    settings_ = std::make_unique<SettingsDoc>(locations_.settingsFile());
    settings_->load(); // a missing or broken file reads as the dialog's presets
}

void Program::showSetupFormModal()
{
    setupForm().exec();
    EndProgram(); // the title bar's close ends the program as Cancel does
}

void Program::showBlankForm()
{
    blankForm().showShow(true);
}

void Program::showInHostWindow(const HostWindowRequest &request)
{
    // A daemon ends its screen savers with SIGTERM; nothing is left to save or tidy.
    struct sigaction terminate = {};
    terminate.sa_handler = [](int) { _exit(0); };
    sigaction(SIGTERM, &terminate, nullptr);
    const std::unique_ptr<HostWindow> host = HostWindow::open(request.window);
    if (!host)
        EndProgram();
    QEventLoop loop;
    QObject::connect(host.get(), &HostWindow::gone, &loop, &QEventLoop::quit);
    createBlankForm();
    blankForm_->showInHost(*host);
    loop.exec();
    EndProgram();
}

ColorValue Program::backgroundColor()
{
    return setupForm().backgroundColor();
}

bool Program::randomTransitions()
{
    return setupForm().randomTransitions();
}

ImageSize Program::imageSize()
{
    return setupForm().imageSize();
}

SetupForm &Program::setupForm()
{
    if (!setupForm_) {
        SetupForm::Hooks hooks;
        hooks.pickColor = [this] { return colorPicker().pickColor(); };
        hooks.startPreview = [this] { blankForm().showShow(false); };
        hooks.endProgram = [] { EndProgram(); };
        setupForm_ = std::make_unique<SetupForm>(*settings_, files_, messages_, std::move(hooks));
    }
    return *setupForm_;
}

BlankForm &Program::blankForm()
{
    if (!blankForm_) {
        createBlankForm();
        blankForm_->Load();
    }
    return *blankForm_;
}

void Program::createBlankForm()
{
    blankForm_ = std::make_unique<BlankForm>(
        SlideShow::Services{*settings_, *this, transitions_, events_, messages_, RuntimeRandom::shared(),
                            [] { return QDateTime::currentDateTime(); }},
        pointer_, [this] { EndSaver(pointer_); });
}

frmColorPick &Program::colorPicker()
{
    if (!colorPicker_)
        colorPicker_ = std::make_unique<frmColorPick>(locations_.customColorsFile(), messages_);
    return *colorPicker_;
}
