#include "slideshow/BlankForm.h"
#include "support/CountingPointer.h"
#include "SlideShowFixture.h"

#include <QTest>
#include <gtest/gtest.h>

namespace {

void moveOver(QWidget *widget, QPoint at)
{
    QMouseEvent move(QEvent::MouseMove, at, widget->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &move);
}

struct FormRig
{
    explicit FormRig(SettingsDoc &settings)
        : rig(settings)
        , form(SlideShow::Services{settings, rig.choices, rig.transitions, rig.yield, rig.messages, rig.random,
                                   [] { return QDateTime::currentDateTime(); }},
               pointer, [this] { ++ended; })
    {
    }
    ShowRig rig;
    CountingPointer pointer;
    int ended = 0;
    BlankForm form;
};

} // namespace

TEST(BlankForm, LoadCoversScreenHidesPointerAndTicksAtInterval)
{
    ShowFolder folder;
    auto settings = folder.settings({}, "2.5");
    FormRig f(*settings);
    f.form.Load();
    EXPECT_EQ(f.pointer.count, -1);
    EXPECT_EQ(f.form.geometry(), QGuiApplication::primaryScreen()->geometry());
    EXPECT_EQ(f.form.timer().interval(), 2500);
    EXPECT_EQ(f.form.palette().color(QPalette::Window), QColor(0, 0, 128));
    EXPECT_EQ(f.form.palette().color(QPalette::WindowText), QColor(Qt::white)); // readable on the dark background

    auto still = folder.settings({}, "0");
    FormRig g(*still);
    g.form.Load();
    g.form.showShow(false);
    EXPECT_FALSE(g.form.timer().isActive());
}

TEST(BlankForm, MouseMovementBeyondEachElementsToleranceEndsTheShow)
{
    ShowFolder folder;
    auto settings = folder.settings({folder.picture("a.png", qRgb(255, 0, 0))});
    struct Case
    {
        bool onSlide;
        QPoint from, to;
        int ended;
    };
    // One pixel is 15 twips: the window tolerates 2 twips, the slide 500.
    for (const Case c : {Case{false, {3, 3}, {3, 3}, 0}, Case{false, {3, 3}, {4, 3}, 1}, Case{true, {50, 50}, {83, 50}, 0},
                         Case{true, {50, 50}, {84, 50}, 1}, Case{true, {50, 50}, {50, 84}, 1}}) {
        FormRig f(*settings);
        f.rig.choices.size = ImageSize::Small;
        f.form.Load();
        f.form.showShow(false);
        f.form.slideShow().SwitchPic();
        QWidget *target = c.onSlide ? f.form.newPicView() : &f.form;
        moveOver(target, c.from); // the first movement only sets where the pointer was
        moveOver(target, c.to);
        EXPECT_EQ(f.ended, c.ended) << (c.onSlide ? "slide " : "window ") << c.to.x() << "," << c.to.y();
    }
}

TEST(BlankForm, MovementOfExactlyTheToleranceIsKept)
{
    ShowFolder folder;
    auto settings = folder.settings({});
    FormRig f(*settings);
    f.form.mouseMoved(0, 0, BlankForm::WindowThreshold);
    f.form.mouseMoved(2, 0, BlankForm::WindowThreshold);
    f.form.mouseMoved(2, 500, BlankForm::NewPicThreshold);
    EXPECT_EQ(f.ended, 0);
    f.form.mouseMoved(2, 1001, BlankForm::NewPicThreshold);
    EXPECT_EQ(f.ended, 1);
}

TEST(BlankForm, AnyKeyEndsTheShowALoneShiftToo)
{
    ShowFolder folder;
    auto settings = folder.settings({});
    for (Qt::Key key : {Qt::Key_Shift, Qt::Key_A, Qt::Key_Escape}) {
        FormRig f(*settings);
        f.form.Load();
        f.form.showShow(false);
        QTest::keyPress(&f.form, key);
        QTest::keyPress(f.form.newPicView(), key);
        EXPECT_EQ(f.ended, 2) << key;
    }
}
