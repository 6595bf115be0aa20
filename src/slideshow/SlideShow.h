#pragma once

#include "slideshow/GenerateRandom.h"
#include "slideshow/SlidePreloader.h"
#include "raster/Surface.h"

#include <QObject>
#include <QString>
#include <cstdint>

class SettingsDoc;
class ShowChoices;
class modTransition;
class EventYield;
class MessageSink;
class RuntimeRandom;

// The slides and their order, apart from any window: the four surfaces of the show,
// the index of the next entry and the slide switch. The window presents NewPic.
class SlideShow
{
public:
    struct Services
    {
        SettingsDoc &settings;
        ShowChoices &choices;
        modTransition &transitions;
        EventYield &events;
        MessageSink &messages;
        RuntimeRandom &random;
        LocalNow now;
    };

    explicit SlideShow(Services services);

    // The load's share: list size, background and picture area for a screen in pixels.
    void Load(QSize screen);

    // Shows the entry at SlideIndex, or the next one that can be shown, and moves on past
    // it. A tick that comes while a switch runs is ignored.
    void SwitchPic();

    Surface NewPic;
    Surface picImage;
    Surface PrevPic;
    Surface picHidden;

    // 0: the show never ticks.
    [[nodiscard]] int intervalMs() const { return intervalMs_; }
    [[nodiscard]] QPoint newPicPosition() const { return newPicPosition_; }
    [[nodiscard]] const QString &labelText() const { return labelText_; }
    [[nodiscard]] std::int32_t slideIndex() const { return SlideIndex; }
    [[nodiscard]] std::int32_t lastChoice() const { return lastChoice_; }

private:
    void runTransition(std::int32_t choice);
    void advance();
    void prepareNext();

    Services services_;
    // Receives the worker's word that the next slide is prepared; it outlives the preloader,
    // which waits for the worker, and takes any word still queued with it.
    QObject preloadDone_;
    SlidePreloader preloader_;
    std::int32_t SlideIndex = 0;
    std::int32_t LastSlideIndex = -1;
    int intervalMs_ = 0;
    QPoint newPicPosition_;
    QString labelText_;
    std::int32_t lastChoice_ = 0;
    bool switching_ = false;
};
