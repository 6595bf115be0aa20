#include "TransitionFixture.h"

#include "RuntimeRandom.h"

#include <gtest/gtest.h>

#include <set>

namespace {

TEST(RevealFrames, WipeFromTheRightLeavesTheFirstColumnToTheEnd)
{
    TransitionRig rig(1024, 2);
    rig.transitions.Wipe(rig.destination, rig.newPicture, 8, 1);

    ASSERT_EQ(rig.yield.frames.size(), 1024u);
    EXPECT_EQ(Columns(rig.yield.frames.front()), Repeat('S', 1024));
    EXPECT_EQ(Columns(rig.yield.frames[1]), Repeat('S', 1023) + "N");
    EXPECT_EQ(Columns(rig.yield.frames.back()), "S" + Repeat('N', 1023));
    EXPECT_EQ(Columns(rig.destination.image()), Repeat('N', 1024));
    EXPECT_TRUE(rig.transitions.TransitionIdle());
}

TEST(RevealFrames, DoorsCloseOnAnOddHeightCompletesTheMiddleRowOnlyAtTheEnd)
{
    TransitionRig rig(4, 767);
    rig.transitions.DoorsClose(rig.destination, rig.newPicture, 1, 1);

    ASSERT_EQ(rig.yield.frames.size(), 384u);
    EXPECT_EQ(Rows(rig.yield.frames.back()), Repeat('N', 383) + "S" + Repeat('N', 383));
    EXPECT_EQ(Rows(rig.destination.image()), Repeat('N', 767));
}

TEST(RevealFrames, DoorsOpenOpensFromTheEvenCentre)
{
    TransitionRig rig(4, 1025);
    rig.transitions.DoorsOpen(rig.destination, rig.newPicture, 1, 1);

    ASSERT_EQ(rig.yield.frames.size(), 512u);
    EXPECT_EQ(Rows(rig.yield.frames[2]), Repeat('S', 510) + Repeat('N', 4) + Repeat('S', 511));
    EXPECT_EQ(Rows(rig.yield.frames.back()), "S" + Repeat('N', 1022) + "SS");
}

TEST(RevealFrames, BlindsTakeTheirBandSizeInPassesWhateverTheSize)
{
    for (const int width : {7, 45, 1000}) {
        TransitionRig rig(width, 2);
        rig.transitions.Blinds(rig.destination, rig.newPicture, 8, 1, 20, 0);
        EXPECT_EQ(rig.yield.frames.size(), 20u) << width;
    }
}

TEST(RevealFrames, BlindsRevealEveryBandFromItsEdge)
{
    TransitionRig right(45, 2);
    right.transitions.Blinds(right.destination, right.newPicture, 8, 1, 20, 0);
    // At i = 5 the bands at 0 and 20 show their last five columns; the band at 40 would start off the picture.
    const std::string band = Repeat('S', 15) + Repeat('N', 5);
    EXPECT_EQ(Columns(right.yield.frames[5]), band + band + Repeat('S', 5));

    TransitionRig down(2, 45);
    down.transitions.Blinds(down.destination, down.newPicture, 1, 1, 20, 0);
    const std::string top = Repeat('N', 5) + Repeat('S', 15);
    EXPECT_EQ(Rows(down.yield.frames[5]), top + top + Repeat('N', 5));
}

std::vector<QImage> BlindsFrames(int code)
{
    TransitionRig rig(45, 45);
    rig.transitions.Blinds(rig.destination, rig.newPicture, code, 1, 20, 0);
    return rig.yield.frames;
}

TEST(RevealFrames, BlindsCodesShareTheirBands)
{
    EXPECT_EQ(BlindsFrames(3), BlindsFrames(2));
    const auto rightEdge = BlindsFrames(8);
    for (const int code : {5, 6, 7, 9, 100})
        EXPECT_EQ(BlindsFrames(code), rightEdge) << code;
    EXPECT_NE(BlindsFrames(4), rightEdge);
}

TEST(RevealFrames, RandomLinesCopyEveryLineOnceAndEndInThePassAfterTheLast)
{
    RuntimeRandom random(7);
    TransitionRig rig(37, 3);
    modTransition transitions(rig.clock, rig.yield, random);
    transitions.StepInterval = 1;
    transitions.RandomLines(rig.destination, rig.newPicture, 1, 0);

    ASSERT_EQ(rig.yield.frames.size(), 37u);
    std::set<int> shown;
    for (const QImage &frame : rig.yield.frames) {
        const std::string columns = Columns(frame);
        ASSERT_EQ(columns.find('?'), std::string::npos);
        EXPECT_EQ(std::count(columns.begin(), columns.end(), 'N'), int(shown.size()) + 1);
        for (int x = 0; x < 37; ++x)
            if (columns[std::size_t(x)] == 'N')
                shown.insert(x);
    }
    EXPECT_EQ(shown.size(), 37u);
    // One wait before each of the 36 later lines and one before the pass that ends.
    EXPECT_EQ(rig.yield.waits.size(), 37u);
}

TEST(RevealFrames, RandomLinesOnRowsDrawSeveralPerPass)
{
    TransitionRig rig(3, 10);
    rig.transitions.RandomLines(rig.destination, rig.newPicture, 2, 2);

    // The fourth pass draws the last line and ends before its refresh.
    ASSERT_EQ(rig.yield.frames.size(), 3u);
    const std::string third = Rows(rig.yield.frames[2]);
    EXPECT_EQ(std::count(third.begin(), third.end(), 'N'), 9);
    EXPECT_EQ(Rows(rig.destination.image()), Repeat('N', 10));
}

TEST(StripFrames, CombWipeWithFirstSideFalseStartsFromTheRight)
{
    TransitionRig rig(20, 25);
    rig.transitions.CombWipe(rig.destination, rig.newPicture, 2, 3, 10, false);

    ASSERT_EQ(rig.yield.frames.size(), 7u);
    // At i = 3 the strips at 0 and 20 show their right three columns, the one at 10 its left three.
    const QImage &frame = rig.yield.frames[1];
    for (int y = 0; y < 25; ++y)
        for (int x = 0; x < 20; ++x)
            EXPECT_EQ(OriginAt(frame, x, y).tag, (y / 10 == 1 ? x < 3 : x >= 17) ? New : Shown) << x << ',' << y;
}

TEST(StripFrames, CombSlideWithFirstSideFalseSlidesTheFirstStripUp)
{
    TransitionRig rig(15, 12);
    rig.transitions.CombSlide(rig.destination, rig.newPicture, 1, 4, 10, false);

    ASSERT_EQ(rig.yield.frames.size(), 3u);
    const QImage &frame = rig.yield.frames[1];
    // Strip 0 shows the top four new rows at the bottom; strip 10 the bottom four at the top.
    EXPECT_EQ(OriginAt(frame, 9, 8), (Origin{New, 9, 0}));
    EXPECT_EQ(OriginAt(frame, 9, 11), (Origin{New, 9, 3}));
    EXPECT_EQ(OriginAt(frame, 9, 7), (Origin{Shown, 9, 7}));
    EXPECT_EQ(OriginAt(frame, 10, 0), (Origin{New, 10, 8}));
    EXPECT_EQ(OriginAt(frame, 14, 3), (Origin{New, 14, 11}));
    EXPECT_EQ(OriginAt(frame, 14, 4), (Origin{Shown, 14, 4}));
}

// Solid pictures, so halftone averaging cannot blur what the bands show.
struct StretchRig : TransitionRig
{
    StretchRig(int width) : TransitionRig(width, 3)
    {
        oldPicture.adoptPicture(Solid(width, Qt::red));
        newPicture.adoptPicture(Solid(width, Qt::blue));
    }
    static QImage Solid(int width, QColor colour)
    {
        QImage image(width, 3, QImage::Format_RGB32);
        image.fill(colour);
        return image;
    }
    // One letter per column of a frame: N blue, O red, S the untouched destination.
    static std::string Bands(const QImage &frame)
    {
        std::string letters;
        for (int x = 0; x < frame.width(); ++x)
            letters += frame.pixel(x, 1) == QColor(Qt::blue).rgb()  ? 'N'
                       : frame.pixel(x, 1) == QColor(Qt::red).rgb() ? 'O'
                       : OriginAt(frame, x, 1).tag == Shown         ? 'S'
                                                                    : '?';
        return letters;
    }
};

TEST(StretchFrames, StretchInFromTheRightKeepsOrSqueezesTheOldPicture)
{
    StretchRig keep(10);
    keep.transitions.StretchIn(keep.destination, keep.oldPicture, keep.newPicture, 2, 1, 0, 0);
    ASSERT_EQ(keep.yield.frames.size(), 10u);
    EXPECT_EQ(StretchRig::Bands(keep.yield.frames[0]), Repeat('S', 10));
    EXPECT_EQ(StretchRig::Bands(keep.yield.frames[4]), Repeat('S', 6) + Repeat('N', 4));
    EXPECT_EQ(keep.destination.stretchMode(), StretchMode::Halftone);

    StretchRig squeeze(10);
    squeeze.transitions.StretchIn(squeeze.destination, squeeze.oldPicture, squeeze.newPicture, 1, 1, 0, 1);
    EXPECT_EQ(StretchRig::Bands(squeeze.yield.frames[4]), Repeat('N', 4) + Repeat('O', 6));
}

TEST(StretchFrames, StretchInPushesTheOldPictureOut)
{
    TransitionRig rig(10, 3);
    rig.transitions.StretchIn(rig.destination, rig.oldPicture, rig.newPicture, 2, 1, 0, 3);
    EXPECT_EQ(OriginAt(rig.yield.frames[4], 0, 2), (Origin{Old, 4, 2}));
    EXPECT_EQ(OriginAt(rig.yield.frames[4], 5, 0), (Origin{Old, 9, 0}));
}

TEST(StretchFrames, ExtraStepsAdvanceSeveralStepsPerRefresh)
{
    StretchRig rig(9);
    rig.transitions.StretchIn(rig.destination, rig.oldPicture, rig.newPicture, 2, 1, 2, 0);
    ASSERT_EQ(rig.yield.frames.size(), 3u);
    EXPECT_EQ(StretchRig::Bands(rig.yield.frames[1]), Repeat('S', 4) + Repeat('N', 5));
}

TEST(StretchFrames, StretchDoorsOnAnOddWidthLeaveTheMiddleToTheEnd)
{
    StretchRig rig(9);
    rig.transitions.StretchDoors(rig.destination, rig.oldPicture, rig.newPicture, 2, 1, 0, 0);
    ASSERT_EQ(rig.yield.frames.size(), 4u);
    EXPECT_EQ(StretchRig::Bands(rig.yield.frames.back()), Repeat('N', 3) + Repeat('S', 3) + Repeat('N', 3));
    EXPECT_EQ(StretchRig::Bands(rig.destination.image()), Repeat('N', 9));

    StretchRig squeeze(9);
    squeeze.transitions.StretchDoors(squeeze.destination, squeeze.oldPicture, squeeze.newPicture, 2, 1, 0, 1);
    EXPECT_EQ(StretchRig::Bands(squeeze.yield.frames[2]), "NNOOOOONN");
}

TEST(CrossSlideFrames, SeamFallsThroughBothPhases)
{
    TransitionRig rig(2, 768);
    std::vector<bool> runningAtYield;
    rig.yield.onDrawnPass = [&] { runningAtYield.push_back(rig.transitions.transitionRunning()); };
    rig.transitions.CrossSlide(rig.destination, rig.oldPicture, rig.newPicture, 2, 3);

    // Phase one draws 0, 3, ..., 381; phase two 384, 381, ..., 0.
    ASSERT_EQ(rig.yield.frames.size(), 128u + 129u);
    EXPECT_EQ(Rows(rig.yield.frames.front()), Repeat('O', 768));
    const QImage &second = rig.yield.frames[1];
    EXPECT_EQ(OriginAt(second, 0, 0), (Origin{New, 0, 3}));
    EXPECT_EQ(OriginAt(second, 1, 3), (Origin{Old, 1, 0}));
    EXPECT_EQ(Rows(rig.yield.frames.back()), Repeat('N', 768));
    // The flag is clear for the one yield between the phases.
    EXPECT_EQ(std::count(runningAtYield.begin(), runningAtYield.end(), false), 1);
    EXPECT_FALSE(runningAtYield[127]);
}

TEST(CrossSlideFrames, RowsBetweenThePhasesKeepTheLastFirstPhaseDrawing)
{
    TransitionRig rig(2, 100);
    rig.transitions.CrossSlide(rig.destination, rig.oldPicture, rig.newPicture, 2, 3);

    ASSERT_EQ(rig.yield.frames.size(), 17u + 18u);
    const QImage &firstOfPhaseTwo = rig.yield.frames[17];
    EXPECT_EQ(OriginAt(firstOfPhaseTwo, 0, 0), (Origin{New, 0, 51}));
    EXPECT_EQ(OriginAt(firstOfPhaseTwo, 0, 48), (Origin{New, 0, 99}));
    EXPECT_EQ(OriginAt(firstOfPhaseTwo, 0, 49), (Origin{Old, 0, 1}));
    EXPECT_EQ(OriginAt(firstOfPhaseTwo, 0, 50), (Origin{Old, 0, 2}));
    EXPECT_EQ(OriginAt(firstOfPhaseTwo, 0, 51), (Origin{Old, 0, 0}));
    EXPECT_EQ(OriginAt(firstOfPhaseTwo, 1, 99), (Origin{Old, 1, 48}));
}

TEST(CrossSlideFrames, RisingSeamPushesTheOldPictureUp)
{
    TransitionRig rig(2, 10);
    rig.transitions.CrossSlide(rig.destination, rig.oldPicture, rig.newPicture, 1, 2);
    ASSERT_EQ(rig.yield.frames.size(), 3u + 4u);
    EXPECT_EQ(OriginAt(rig.yield.frames[1], 0, 0), (Origin{Old, 0, 2}));
    EXPECT_EQ(OriginAt(rig.yield.frames[1], 0, 8), (Origin{New, 0, 6}));
    EXPECT_EQ(OriginAt(rig.yield.frames[4], 0, 3), (Origin{Old, 0, 7}));
    EXPECT_EQ(OriginAt(rig.yield.frames[4], 0, 4), (Origin{New, 0, 0}));
}

TEST(CrossSlideFrames, ZeroHalfStillDrawsThreePasses)
{
    TransitionRig rig(4, 1);
    rig.transitions.CrossSlide(rig.destination, rig.oldPicture, rig.newPicture, 2, 3);
    EXPECT_EQ(rig.yield.frames.size(), 3u);
    EXPECT_EQ(Rows(rig.destination.image()), "N");
}

TEST(CrossSlideFrames, SidewaysDirectionsOnlyTakeTheirTime)
{
    TransitionRig rig(8, 2);
    rig.transitions.CrossSlide(rig.destination, rig.oldPicture, rig.newPicture, 4, 1);
    ASSERT_EQ(rig.yield.frames.size(), 4u + 5u);
    for (const QImage &frame : rig.yield.frames)
        EXPECT_EQ(Rows(frame), "OO");
    EXPECT_EQ(Rows(rig.destination.image()), "NN");
}

}
