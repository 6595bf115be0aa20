#include "slideshow/BlankForm.h"
#include "support/CountingPointer.h"
#include "SlideShowFixture.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <gtest/gtest.h>

TEST(BlankFormScreens, ShowOnPrimaryScreenOtherScreenCoveredAndListening)
{
    ASSERT_EQ(QGuiApplication::screens().size(), 2);
    ShowFolder folder;
    auto settings = folder.settings({});
    ShowRig rig(*settings);
    rig.choices.background = RGB(200, 30, 60);
    CountingPointer pointer;
    int ended = 0;
    BlankForm form(SlideShow::Services{*settings, rig.choices, rig.transitions, rig.yield, rig.messages, rig.random,
                                       [] { return QDateTime::currentDateTime(); }},
                   pointer, [&] { ++ended; });
    form.Load();
    form.showShow(false);
    EXPECT_EQ(form.geometry(), QRect(0, 0, 800, 600));
    QWidgetList covers = QApplication::topLevelWidgets();
    covers.removeIf([](const QWidget *w) { return w->objectName() != QLatin1String("ScreenCover"); });
    ASSERT_EQ(covers.size(), 1);
    QWidget *side = covers.first();
    EXPECT_TRUE(side->isVisible());
    EXPECT_EQ(side->geometry(), QRect(800, 0, 640, 480));
    EXPECT_EQ(side->grab().toImage().pixel(320, 240), qRgb(200, 30, 60));

    // Input on the other screen ends the show too: a movement of a pixel, and a key.
    for (const QPoint at : {QPoint(10, 10), QPoint(11, 10)}) {
        QMouseEvent move(QEvent::MouseMove, at, side->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(side, &move);
    }
    EXPECT_EQ(ended, 1);
    QKeyEvent key(QEvent::KeyPress, Qt::Key_Shift, Qt::ShiftModifier);
    QCoreApplication::sendEvent(side, &key);
    EXPECT_EQ(ended, 2);
}
