#include "slideshow/BlankForm.h"
#include "window/PointerDisplay.h"
#include "SlideShowFixture.h"

#include <QTest>
#include <gtest/gtest.h>

namespace {

class CountingPointer : public PointerDisplay
{
public:
    int ShowCursor(bool show) override { return count += show ? 1 : -1; }
    int count = 0;
};

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

    auto still = folder.settings({}, "0");
    FormRig g(*still);
    g.form.Load();
    g.form.showShow(false);
    EXPECT_FALSE(g.form.timer().isActive());
}

TEST(BlankForm, MouseThresholdsOnWindowAndSlide)
{
    ShowFolder folder;
    auto settings = folder.settings({});
    FormRig f(*settings);
    // The first movement never ends the show, whatever the distance.
    f.form.mouseMoved(0, 0, BlankForm::WindowThreshold);
    f.form.mouseMoved(2, 2, BlankForm::WindowThreshold);
    EXPECT_EQ(f.ended, 0);
    f.form.mouseMoved(17, 2, BlankForm::WindowThreshold); // one pixel is 15 twips
    EXPECT_EQ(f.ended, 1);

    FormRig g(*settings);
    g.form.mouseMoved(1000, 1000, BlankForm::NewPicThreshold);
    g.form.mouseMoved(1500, 500, BlankForm::NewPicThreshold);
    EXPECT_EQ(g.ended, 0);
    g.form.mouseMoved(2001, 500, BlankForm::NewPicThreshold);
    EXPECT_EQ(g.ended, 1);
}

TEST(BlankForm, RealMouseEventsUseEachElementsThreshold)
{
    ShowFolder folder;
    auto settings = folder.settings({folder.picture("a.png", qRgb(255, 0, 0))});
    FormRig f(*settings);
    f.rig.choices.size = ImageSize::Small;
    f.form.Load();
    f.form.showShow(false);
    f.form.slideShow().SwitchPic();
    QWidget *slide = f.form.newPicView();
    moveOver(slide, QPoint(50, 50));
    moveOver(slide, QPoint(60, 70)); // 20 pixels is 300 twips: tolerated
    EXPECT_EQ(f.ended, 0);
    moveOver(slide, QPoint(100, 70)); // 40 pixels is 600 twips
    EXPECT_EQ(f.ended, 1);

    FormRig g(*settings);
    g.form.Load();
    g.form.showShow(false);
    moveOver(&g.form, QPoint(3, 3));
    moveOver(&g.form, QPoint(4, 3));
    EXPECT_EQ(g.ended, 1);
}

TEST(BlankForm, AnyKeyEndsTheShowALoneShiftToo)
{
    ShowFolder folder;
    auto settings = folder.settings({});
    for (Qt::Key key : {Qt::Key_Shift, Qt::Key_Control, Qt::Key_A, Qt::Key_Escape}) {
        FormRig f(*settings);
        f.form.Load();
        f.form.showShow(false);
        QTest::keyPress(&f.form, key);
        EXPECT_EQ(f.ended, 1) << key;
        QTest::keyPress(f.form.newPicView(), key);
        EXPECT_EQ(f.ended, 2) << key;
    }
}
