#pragma once

#include "slideshow/ShowChoices.h"
#include "slideshow/SlideShow.h"
#include "support/RecordingMessages.h"
#include "support/SettingsXml.h"
#include "support/TestFiles.h"
#include "transitions/RuntimeRandom.h"
#include "transitions/modTransition.h"
#include "window/EventYield.h"
#include "window/TickClock.h"

#include <QTemporaryDir>
#include <functional>

// A program folder with pictures of one colour each and its settings, and everything a show
// needs, with a fixed local time. Time moves a second per reading, so every pass of an effect
// is due at once; each pass over the events runs onPass, standing for whatever arrived meanwhile.
struct ShowRig : TickClock, EventYield, ShowChoices
{
    std::int64_t GetTickCount() override { return now += 1000; }
    void DoEvents() override { onPass(); }
    void DoEventsUntil(std::int64_t) override { DoEvents(); }
    ColorValue backgroundColor() override { return background; }
    bool randomTransitions() override { return randomChoice; }
    ImageSize imageSize() override { return size; }

    QString picture(const char *name, QRgb colour, QSize size = {40, 30}) { return writePicture(dir.filePath(QLatin1String(name)), colour, size); }
    void list(const QStringList &files, const QString &timer = QStringLiteral("1"))
    {
        writeFile(settings.filePath(), SettingsXml{.timer = timer, .files = files}.text());
        settings.load();
    }
    SlideShow::Services services()
    {
        return {settings, *this, transitions, *this, messages, random, [] { return QDateTime(QDate(2026, 1, 1), QTime(0, 0, 7)); }};
    }

    std::int64_t now = 0;
    std::function<void()> onPass = [] {};
    ColorValue background = RGB(0, 0, 128);
    bool randomChoice = false;
    ImageSize size = ImageSize::FullScreen;
    QTemporaryDir dir;
    SettingsDoc settings{dir.filePath(SettingsFileName)};
    RecordingMessages messages;
    RuntimeRandom random;
    modTransition transitions{*this, *this};
    SlideShow show{services()};
};
