#include "SlideShowFixture.h"

#include <gtest/gtest.h>

namespace {

QRgb centre(const Surface &s)
{
    return s.image().pixel(s.width() / 2, s.height() / 2);
}

const QRgb Red = qRgb(255, 0, 0), Green = qRgb(0, 255, 0), Blue = qRgb(0, 0, 255);

} // namespace

TEST(SlideShow, LoadLaysOutPictureAreaAndShowsNothingYet)
{
    ShowFolder folder;
    auto settings = folder.settings({folder.picture("a.png", Red)}, "2.5");
    ShowRig rig(*settings);
    rig.choices.size = ImageSize::Large;
    rig.show.Load(QSize(1024, 768));
    EXPECT_EQ(rig.show.intervalMs(), 2500);
    EXPECT_EQ(rig.show.picImage.size(), QSize(853, 640));
    EXPECT_EQ(rig.show.newPicPosition(), QPoint(64, 64));
    EXPECT_EQ(rig.show.NewPic.size(), QSize(0, 0));
    EXPECT_EQ(rig.show.NewPic.backColor(), RGB(0, 0, 128));
    EXPECT_EQ(rig.show.lastSlideIndex(), 0);
}

TEST(SlideShow, EntriesInListOrderWrappingAround)
{
    ShowFolder folder;
    auto settings = folder.settings({folder.picture("a.png", Red), folder.picture("b.png", Green), folder.picture("c.png", Blue)});
    ShowRig rig(*settings);
    rig.show.Load(QSize(80, 60));
    const QRgb expected[] = {Red, Green, Blue, Red, Green, Blue, Red};
    for (QRgb colour : expected) {
        rig.show.SwitchPic();
        EXPECT_EQ(centre(rig.show.NewPic), colour);
        EXPECT_EQ(centre(rig.show.PrevPic), colour);
    }
    EXPECT_EQ(rig.show.NewPic.size(), QSize(80, 60));
    EXPECT_TRUE(rig.messages.shown.isEmpty());
}

TEST(SlideShow, FittedSlideKeepsProportionsOnBackground)
{
    ShowFolder folder;
    auto settings = folder.settings({folder.picture("tall.png", Red, QSize(10, 20))});
    ShowRig rig(*settings);
    rig.show.Load(QSize(80, 60));
    rig.show.SwitchPic();
    // 1:2 into 80 x 60 is 30 x 60 at (25, 0); the margins show the background.
    EXPECT_EQ(rig.show.NewPic.image().pixel(24, 30), qRgb(0, 0, 128));
    EXPECT_EQ(rig.show.NewPic.image().pixel(25, 30), Red);
    EXPECT_EQ(rig.show.NewPic.image().pixel(54, 30), Red);
    EXPECT_EQ(rig.show.NewPic.image().pixel(55, 30), qRgb(0, 0, 128));
}

TEST(SlideShow, EmptyEntrySetsLabelAndMovesOnKeepingSlide)
{
    ShowFolder folder;
    auto settings = folder.settings({folder.picture("a.png", Red), QString(), folder.picture("b.png", Green)});
    ShowRig rig(*settings);
    rig.show.Load(QSize(80, 60));
    rig.show.SwitchPic();
    rig.show.SwitchPic();
    EXPECT_EQ(rig.show.labelText(), "No Files Selected");
    EXPECT_EQ(centre(rig.show.NewPic), Red);
    EXPECT_EQ(rig.show.slideIndex(), 2);
    rig.show.SwitchPic();
    EXPECT_EQ(centre(rig.show.NewPic), Green);
}

TEST(SlideShow, MissingOrCorruptEntryIsSkippedNotRetriedForever)
{
    ShowFolder folder;
    QFile corrupt(folder.dir.filePath("corrupt.jpg"));
    corrupt.open(QIODevice::WriteOnly);
    corrupt.write("\xFF\xD8 not really a jpeg");
    corrupt.close();
    auto settings = folder.settings({folder.picture("a.png", Red), folder.dir.filePath("gone.png"), corrupt.fileName(),
                                     folder.picture("b.png", Green)});
    ShowRig rig(*settings);
    rig.show.Load(QSize(80, 60));
    rig.show.SwitchPic();
    EXPECT_EQ(centre(rig.show.NewPic), Red);
    // The two bad entries give their tick to the next good one.
    rig.show.SwitchPic();
    EXPECT_EQ(centre(rig.show.NewPic), Green);
    EXPECT_EQ(rig.show.slideIndex(), 0);
    EXPECT_TRUE(rig.messages.shown.isEmpty());
}

TEST(SlideShow, NoEntriesOrNothingShowableKeepsBackground)
{
    ShowFolder folder;
    auto none = folder.settings({});
    ShowRig empty(*none);
    empty.show.Load(QSize(80, 60));
    empty.show.SwitchPic();
    EXPECT_EQ(empty.show.lastSlideIndex(), -1);
    EXPECT_EQ(empty.show.slideIndex(), 0);
    EXPECT_EQ(empty.show.NewPic.size(), QSize(0, 0));

    auto broken = folder.settings({folder.dir.filePath("x.png"), folder.dir.filePath("y.png")});
    ShowRig rig(*broken);
    rig.show.Load(QSize(80, 60));
    rig.show.SwitchPic();
    rig.show.SwitchPic();
    EXPECT_EQ(rig.show.NewPic.size(), QSize(0, 0));
    EXPECT_EQ(rig.show.slideIndex(), 0); // each tick makes one pass and ends where it began
}

TEST(SlideShow, RandomTransitionEndsOnNewSlideForOneEntryToo)
{
    ShowFolder folder;
    auto settings = folder.settings({folder.picture("a.png", Red), folder.picture("b.png", Green)});
    ShowRig rig(*settings);
    rig.choices.random = true;
    rig.show.Load(QSize(40, 30));
    std::set<int> choices;
    for (int k = 0; k < 40; ++k) {
        rig.show.SwitchPic();
        choices.insert(rig.show.lastChoice());
        EXPECT_EQ(rig.show.NewPic.image(), rig.show.picImage.image());
        EXPECT_EQ(centre(rig.show.NewPic), k % 2 ? Green : Red);
        EXPECT_TRUE(rig.transitions.TransitionIdle());
    }
    EXPECT_GE(choices.size(), 8u);
    EXPECT_GE(*choices.begin(), 1);
    EXPECT_LE(*choices.rbegin(), 12);
}

TEST(SlideShow, TickDuringSwitchStartsNoNestedSwitch)
{
    ShowFolder folder;
    auto settings = folder.settings({folder.picture("a.png", Red), folder.picture("b.png", Green), folder.picture("c.png", Blue)});
    ShowRig rig(*settings);
    rig.choices.random = true;
    rig.show.Load(QSize(40, 30));
    int nested = 0;
    rig.yield.onPass = [&] {
        ++nested;
        rig.show.SwitchPic();
    };
    rig.show.SwitchPic();
    EXPECT_GT(nested, 0);
    EXPECT_EQ(rig.show.slideIndex(), 1);
    EXPECT_EQ(centre(rig.show.NewPic), Red);
    rig.show.SwitchPic();
    EXPECT_EQ(centre(rig.show.NewPic), Green);
}
