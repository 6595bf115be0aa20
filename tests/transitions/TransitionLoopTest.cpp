#include "TransitionFixture.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

TEST(StepLoop, PassesWaitForTheIntervalAndDrawOncePerDuePass)
{
    TransitionRig rig(2, 4);
    rig.transitions.StepInterval = 30;
    std::vector<std::int64_t> drawnAt;
    rig.yield.onDrawnPass = [&] { drawnAt.push_back(rig.clock.now); };
    rig.transitions.Wipe(rig.destination, rig.newPicture, 1, 1);

    // LastStepTick starts at 0, so the first pass at 1000 is due at once.
    EXPECT_EQ(drawnAt, (std::vector<std::int64_t>{1000, 1030, 1060, 1090}));
    EXPECT_EQ(rig.yield.waits, (std::vector<std::int64_t>{1030, 1060, 1090, 1120}));
    EXPECT_EQ(rig.transitions.lastStepTick(), 1090);
    EXPECT_EQ(Rows(rig.yield.frames.back()), "NNNS");
}

TEST(StepLoop, ZeroIntervalMakesEveryPassDue)
{
    TransitionRig rig(2, 4);
    rig.transitions.StepInterval = 0;
    rig.transitions.Wipe(rig.destination, rig.newPicture, 2, 1);
    EXPECT_EQ(rig.yield.frames.size(), 4u);
    EXPECT_TRUE(rig.yield.waits.empty());
}

TEST(StepLoop, FirstPassAfterAPauseIsDueAtOnce)
{
    TransitionRig rig(2, 4);
    rig.transitions.StepInterval = 30;
    rig.transitions.Wipe(rig.destination, rig.newPicture, 1, 1);
    rig.clock.now += 60000;
    rig.yield.waits.clear();
    std::size_t waitsBeforeFirstDraw = 99;
    rig.yield.onDrawnPass = [&] { waitsBeforeFirstDraw = std::min(waitsBeforeFirstDraw, rig.yield.waits.size()); };

    rig.transitions.DoorsClose(rig.destination, rig.newPicture, 1, 1);
    EXPECT_EQ(waitsBeforeFirstDraw, 0u);
}

TEST(StepLoop, ZeroLimitEndsWithOnlyTheEndAction)
{
    TransitionRig rig(0, 4);
    rig.newPicture = TaggedSurface(3, 4, New);
    rig.transitions.Wipe(rig.destination, rig.newPicture, 4, 1);
    EXPECT_TRUE(rig.yield.frames.empty());
    EXPECT_TRUE(rig.yield.waits.empty());
    EXPECT_EQ(rig.destination.picture(), rig.newPicture.picture());
    EXPECT_TRUE(rig.transitions.TransitionIdle());
}

TEST(StepLoop, NestedCallDrawsNothingAndLeavesTheFirstUndisturbed)
{
    TransitionRig alone(3, 6);
    alone.transitions.DoorsOpen(alone.destination, alone.newPicture, 1, 1);

    TransitionRig rig(3, 6);
    Surface other = TaggedSurface(3, 6, Old);
    std::size_t nestedYields = 0;
    rig.yield.onDrawnPass = [&] {
        const std::size_t before = rig.yield.frames.size() + rig.yield.waits.size();
        rig.transitions.Wipe(other, rig.newPicture, 1, 1);
        nestedYields += rig.yield.frames.size() + rig.yield.waits.size() - before;
    };
    rig.transitions.DoorsOpen(rig.destination, rig.newPicture, 1, 1);

    EXPECT_EQ(nestedYields, 0u);
    EXPECT_EQ(Rows(other.image()), "OOOOOO");
    EXPECT_EQ(rig.yield.frames, alone.yield.frames);
    EXPECT_EQ(rig.destination.image(), alone.destination.image());
}

TEST(StepLoop, CrossSlideLetsANestedEffectRunBetweenItsPhases)
{
    TransitionRig rig(2, 8);
    Surface other = TaggedSurface(2, 8, Old);
    int nestedRuns = 0;
    rig.yield.onDrawnPass = [&] {
        if (rig.transitions.TransitionIdle() && nestedRuns++ == 0) {
            rig.transitions.Wipe(other, rig.newPicture, 1, 4);
            EXPECT_TRUE(rig.transitions.TransitionIdle());
        }
    };
    rig.transitions.CrossSlide(rig.destination, rig.oldPicture, rig.newPicture, 2, 1);

    EXPECT_EQ(nestedRuns, 1);
    EXPECT_EQ(Rows(other.image()), Repeat('N', 8));
    EXPECT_EQ(Rows(rig.destination.image()), Repeat('N', 8));
    EXPECT_TRUE(rig.transitions.TransitionIdle());
}

TEST(StepLoop, FailureLeavesTheTransitionRunningSoLaterEffectsReturnAtOnce)
{
    TransitionRig rig(2, 4);
    rig.destination.setPresenter([](const QRect &) { throw std::runtime_error("surface lost"); });
    EXPECT_THROW(rig.transitions.Wipe(rig.destination, rig.newPicture, 1, 1), std::runtime_error);
    EXPECT_TRUE(rig.transitions.transitionRunning());

    rig.destination.setPresenter({});
    const QImage before = rig.destination.image().copy();
    const std::size_t yields = rig.yield.frames.size() + rig.yield.waits.size();
    rig.transitions.CrossSlide(rig.destination, rig.oldPicture, rig.newPicture, 2, 1);
    rig.transitions.Blinds(rig.destination, rig.newPicture, 1, 1, 2, 0);
    EXPECT_EQ(rig.destination.image(), before);
    EXPECT_EQ(rig.yield.frames.size() + rig.yield.waits.size(), yields);
}

}

namespace {

// A nested slide switch rewrites the new picture and the destination while an effect runs.
TEST(StepLoop, BandsAreCopiedWholeAgainAfterTheSurfacesChange)
{
    TransitionRig rig(2, 6);
    rig.yield.onDrawnPass = [&] {
        if (rig.yield.frames.size() == 3)
            rig.newPicture.setPicture(TaggedImage(2, 6, Old));
        if (rig.yield.frames.size() == 4)
            rig.destination.setPicture(TaggedImage(2, 6, Shown));
    };
    rig.transitions.Wipe(rig.destination, rig.newPicture, 1, 1);

    ASSERT_EQ(rig.yield.frames.size(), 6u);
    EXPECT_EQ(Rows(rig.yield.frames[2]), "NNSSSS");
    EXPECT_EQ(Rows(rig.yield.frames[3]), "OOOSSS");
    EXPECT_EQ(Rows(rig.yield.frames[4]), "OOOOSS");
    EXPECT_EQ(Rows(rig.yield.frames[5]), "OOOOOS");
}

}
