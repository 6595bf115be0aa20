#include "slideshow/SlideShow.h"

#include "window/Dialogs.h"
#include "slideshow/PictureArea.h"
#include "transitions/RuntimeRandom.h"
#include "settings/SettingsDoc.h"
#include "slideshow/ShowChoices.h"
#include "window/EventYield.h"
#include "transitions/modTransition.h"

#include <exception>

SlideShow::SlideShow(Services services) : services_(std::move(services)) {}

void SlideShow::Load(QSize screen)
{
    intervalMs_ = services_.settings.timerIntervalMs();
    LastSlideIndex = services_.settings.fileCount() - 1;
    const ColorValue background = services_.choices.backgroundColor();
    const QRect area = PictureArea(services_.choices.imageSize(), screen);
    for (Surface *surface : {&NewPic, &picImage, &PrevPic, &picHidden})
        surface->setBackColor(background);
    picImage.resize(area.width(), area.height());
    picImage.clear();
    newPicPosition_ = area.topLeft();
    SlideIndex = 0;
    prepareNext();
}

void SlideShow::SwitchPic()
{
    if (switching_)
        return; // a nested switch would skip a slide and swap pictures under the running effect
    std::optional<QString> path = services_.settings.fileAt(SlideIndex);
    if (!path)
        return; // no entries
    switching_ = true;
    const struct Reset
    {
        bool &flag;
        ~Reset() { flag = false; }
    } reset{switching_};

    if (path->isEmpty()) {
        labelText_ = QStringLiteral("No Files Selected");
        advance();
        return;
    }
    picHidden.adoptPicture(QImage());
    services_.events.DoEvents();
    PreparedSlide slide = preloader_.take(*path, picImage.size(), picImage.backColor());
    // An entry that cannot be shown gives its tick to the next one, for one pass over the
    // list at most; an empty entry keeps its own tick for its label.
    for (std::int32_t tried = 1; !slide.fitted.ok(); ++tried) {
        advance();
        path = services_.settings.fileAt(SlideIndex);
        if (tried > LastSlideIndex || !path || path->isEmpty())
            return;
        slide = preloader_.take(*path, picImage.size(), picImage.backColor());
    }
    picHidden.adoptPicture(slide.fitted.picture);
    // FitPicture's drawing of picHidden into picImage, made ahead on the worker thread.
    if (!slide.fitFailure.isEmpty())
        services_.messages.showMessage(nullptr, ProgramTitle, slide.fitFailure);
    picImage.replaceDrawing(slide.frame);
    NewPic.resize(picImage.width(), picImage.height());
    if (services_.choices.randomTransitions()) {
        try {
            runTransition(GenerateRandom(1, 12, services_.random, services_.now));
        } catch (const std::exception &) {
            return; // the screen keeps what the effect drew; the entry is tried again
        }
    }
    const QImage shown = picImage.drawnImage();
    NewPic.setPicture(shown);
    PrevPic.adoptPicture(shown);
    services_.events.DoEvents();
    advance();
}

void SlideShow::advance()
{
    ++SlideIndex;
    if (SlideIndex > LastSlideIndex)
        SlideIndex = 0;
    prepareNext();
}

void SlideShow::prepareNext()
{
    const std::optional<QString> next = services_.settings.fileAt(SlideIndex);
    if (!next || next->isEmpty())
        return;
    // The next effect draws into NewPic, which shares the slide's pixels. Their copy is made
    // once the next slide is prepared: neither held, a whole screen's worth, beside its decode
    // nor made in the effect's first pass.
    std::function<void()> prepared;
    if (services_.choices.randomTransitions())
        prepared = [this] { QMetaObject::invokeMethod(&preloadDone_, [this] { NewPic.detachDrawing(); }, Qt::QueuedConnection); };
    preloader_.prepare(*next, picImage.size(), picImage.backColor(), std::move(prepared));
}

void SlideShow::runTransition(std::int32_t choice)
{
    lastChoice_ = choice;
    modTransition &t = services_.transitions;
    switch (choice) {
    case 1: t.CrossSlide(NewPic, PrevPic, picImage, 2, 3); break;
    case 2: t.StepInterval = 1; t.CombWipe(NewPic, picImage, 2, 3, 10, true); break;
    case 3: t.StepInterval = 1; t.CombSlide(NewPic, picImage, 1, 4, 10, true); break;
    case 4: t.StepInterval = 30; t.Blinds(NewPic, picImage, 8, 1, 20, 0); break;
    case 5: t.StepInterval = 1; t.CombSlide(NewPic, picImage, 1, 4, 10, true); break;
    case 6: t.StepInterval = 1; t.RandomLines(NewPic, picImage, 1, 0); break;
    case 7: t.StepInterval = 1; t.CrossSlide(NewPic, PrevPic, picImage, 4, 1); break;
    case 8: t.StepInterval = 1; t.StretchIn(NewPic, PrevPic, picImage, 2, 1, 0, 0); break;
    case 9: t.StepInterval = 1; t.StretchDoors(NewPic, PrevPic, picImage, 2, 1, 0, 0); break;
    case 10: t.StepInterval = 1; t.Wipe(NewPic, picImage, 8, 1); break;
    case 11: t.StepInterval = 1; t.DoorsClose(NewPic, picImage, 1, 1); break;
    case 12: t.StepInterval = 1; t.DoorsOpen(NewPic, picImage, 1, 1); break;
    default: break;
    }
}
