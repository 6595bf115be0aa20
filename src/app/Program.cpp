#include "app/Program.h"

#include "slideshow/BlankForm.h"
#include "transitions/RuntimeRandom.h"
#include "setup/SetupForm.h"
#include "colorpick/frmColorPick.h"

#include <QDir>

Program::Program(const QString &programFolder, const QString &programPath)
    : programFolder_(programFolder), instance_(programPath)
{
}

Program::~Program() = default;

bool Program::anotherCopyRunning()
{
    return !instance_.acquire();
}

void Program::loadSettings()
{
    settings_ = std::make_unique<SettingsDoc>(QDir(programFolder_).filePath(SettingsFileName));
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
        blankForm_ = std::make_unique<BlankForm>(
            SlideShow::Services{*settings_, *this, transitions_, events_, messages_, RuntimeRandom::shared(),
                                [] { return QDateTime::currentDateTime(); }},
            pointer_, [this] { EndSaver(pointer_); });
        blankForm_->Load();
    }
    return *blankForm_;
}

frmColorPick &Program::colorPicker()
{
    if (!colorPicker_)
        colorPicker_ = std::make_unique<frmColorPick>(QDir(programFolder_).filePath(QStringLiteral("usercolors.cps")), messages_);
    return *colorPicker_;
}
