#pragma once

#include "window/Dialogs.h"
#include "window/EventYield.h"
#include "transitions/RuntimeRandom.h"
#include "settings/SettingsDoc.h"
#include "slideshow/ShowChoices.h"
#include "slideshow/SlideShow.h"
#include "window/TickClock.h"
#include "transitions/modTransition.h"

#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <memory>

// Time moves a second per reading, so every pass of an effect is due at once.
class RacingClock : public TickClock
{
public:
    std::int64_t GetTickCount() override { return now += 1000; }
    std::int64_t now = 0;
};

class HookYield : public EventYield
{
public:
    void DoEvents() override
    {
        ++passes;
        if (onPass)
            onPass();
    }
    void DoEventsUntil(std::int64_t) override { DoEvents(); }
    std::function<void()> onPass;
    int passes = 0;
};

class FixedChoices : public ShowChoices
{
public:
    ColorValue backgroundColor() override { return background; }
    bool randomTransitions() override { return random; }
    ImageSize imageSize() override { return size; }
    ColorValue background = RGB(0, 0, 128);
    bool random = false;
    ImageSize size = ImageSize::FullScreen;
};

class RecordingMessages : public MessageSink
{
public:
    void showMessage(QWidget *, const QString &, const QString &text) override { shown << text; }
    QStringList shown;
};

// A program folder with settings.xml and pictures of one colour each.
class ShowFolder
{
public:
    QString picture(const QString &name, QRgb colour, QSize size = QSize(40, 30))
    {
        QImage image(size, QImage::Format_RGB32);
        image.fill(colour);
        const QString path = dir.filePath(name);
        image.save(path, "png");
        return path;
    }

    std::unique_ptr<SettingsDoc> settings(const QStringList &files, const QString &timer = QStringLiteral("1"))
    {
        QString entries;
        for (const QString &file : files)
            entries += QStringLiteral("<file>%1</file>").arg(file.toHtmlEscaped());
        QFile out(dir.filePath(SettingsFileName));
        out.open(QIODevice::WriteOnly);
        out.write(QStringLiteral("<settings><timer>%1</timer><background>0</background><transition>1</transition>"
                                 "<imagesize>FullScreen</imagesize><files>%2</files></settings>")
                      .arg(timer, entries)
                      .toUtf8());
        out.close();
        auto doc = std::make_unique<SettingsDoc>(dir.filePath(SettingsFileName));
        doc->load();
        return doc;
    }

    QTemporaryDir dir;
};

// Everything a SlideShow needs, with a fixed local time.
struct ShowRig
{
    explicit ShowRig(SettingsDoc &settings)
        : transitions(clock, yield)
        , show(SlideShow::Services{settings, choices, transitions, yield, messages, random,
                                   [] { return QDateTime(QDate(2026, 1, 1), QTime(0, 0, 7)); }})
    {
    }

    RacingClock clock;
    HookYield yield;
    FixedChoices choices;
    RecordingMessages messages;
    RuntimeRandom random;
    modTransition transitions;
    SlideShow show;
};
