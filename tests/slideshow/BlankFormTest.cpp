#include "slideshow/BlankForm.h"
#include "support/CountingPointer.h"
#include "SlideShowFixture.h"

#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>

// These run on two offscreen screens: the primary one 800 x 600 at (0, 0), the other 640 x 480 beside it.
namespace {

struct FormRig : ShowRig
{
    CountingPointer pointer;
    int ended = 0;
    BlankForm form{services(), pointer, [this] { ++ended; }};
    void start(const QString &timer = QStringLiteral("1")) { list({}, timer), form.Load(), form.showShow(false); }
};

// The window over the other screen; null unless there is exactly one.
QWidget *cover()
{
    QWidgetList covers = QApplication::topLevelWidgets();
    covers.removeIf([](const QWidget *w) { return w->objectName() != QLatin1String("ScreenCover"); });
    return covers.size() == 1 ? covers.first() : nullptr;
}

} // namespace

TEST(BlankForm, LoadCoversEveryScreenInTheBackgroundHidesThePointerAndTicksAtTheInterval)
{
    FormRig f;
    f.background = RGB(200, 30, 60);
    f.start(QStringLiteral("2.5"));
    EXPECT_EQ(f.pointer.count, -1);
    EXPECT_EQ(f.form.geometry(), QRect(0, 0, 800, 600));
    // White text is readable on the dark background.
    EXPECT_EQ(std::pair(f.form.palette().window().color(), f.form.palette().windowText().color()), std::pair(QColor(200, 30, 60), QColor(Qt::white)));
    EXPECT_EQ(std::pair(f.form.timer().interval(), f.form.timer().isActive()), std::pair(2500, true));
    QWidget *side = cover();
    ASSERT_NE(side, nullptr);
    EXPECT_EQ(side->isVisible() ? side->geometry() : QRect(), QRect(800, 0, 640, 480));
    EXPECT_EQ(side->grab().toImage().pixel(320, 240), qRgb(200, 30, 60));

    FormRig still; // an interval of 0 never ticks
    still.start(QStringLiteral("0"));
    EXPECT_FALSE(still.form.timer().isActive());
}

// Movements in twips, sent as pixels of 15 twips; the first movement only sets where the pointer was.
TEST(BlankForm, AnyKeyOrAMovementBeyondTheElementsToleranceEndsTheShow)
{
    enum Target { Window, Slide, OtherScreen };
    const struct { const char *name; Target on; std::vector<QPoint> twips; Qt::Key key; int ended; } cases[] = {
        {"window: moves of 2 twips, each from the last, are kept", Window, {{45, 45}, {47, 45}, {49, 47}}, Qt::Key(0), 0},
        {"window: a pixel ends the show", Window, {{45, 45}, {60, 45}}, Qt::Key(0), 1},
        {"slide: moves of 500 twips, each from the last, are kept", Slide, {{750, 750}, {1250, 750}, {1250, 1250}}, Qt::Key(0), 0},
        {"slide: 501 twips across end the show", Slide, {{750, 750}, {1251, 750}}, Qt::Key(0), 1},
        {"slide: 501 twips down end the show", Slide, {{750, 750}, {750, 1251}}, Qt::Key(0), 1},
        {"other screen: a pixel ends the show", OtherScreen, {{45, 45}, {45, 60}}, Qt::Key(0), 1},
        {"a lone shift on the window", Window, {}, Qt::Key_Shift, 1},
        {"a letter on the slide", Slide, {}, Qt::Key_A, 1},
        {"escape on the other screen", OtherScreen, {}, Qt::Key_Escape, 1},
    };
    for (const auto &c : cases) {
        FormRig f;
        f.start();
        QWidget *target = c.on == Window ? &f.form : c.on == Slide ? f.form.newPicView() : cover();
        for (const QPointF at : c.twips) {
            QMouseEvent move(QEvent::MouseMove, at / 15, target->mapToGlobal(at / 15), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
            QCoreApplication::sendEvent(target, &move);
        }
        if (c.key)
            QTest::keyPress(target, c.key);
        EXPECT_EQ(f.ended, c.ended) << c.name;
    }
}
