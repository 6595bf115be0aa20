#include "TransitionFixture.h"

#include <stdexcept>

namespace {

using Ticks = std::vector<std::int64_t>;

TEST(StepLoop, PassesWaitForTheIntervalTheFirstAfterAPauseOrAtIntervalZeroIsDueAtOnce)
{
    TransitionRig rig(2, 4);
    rig.transitions.StepInterval = 30;
    Ticks drawnAt;
    rig.onDrawnPass = [&] { drawnAt.push_back(rig.now); };
    rig.transitions.Wipe(rig.destination, rig.newPicture, 1, 1);
    // LastStepTick starts at 0, so the first pass at 1000 is due at once.
    EXPECT_EQ(drawnAt, (Ticks{1000, 1030, 1060, 1090}));
    EXPECT_EQ(rig.waits, (Ticks{1030, 1060, 1090, 1120}));
    EXPECT_EQ(rig.transitions.lastStepTick(), 1090);

    rig.now += 60000;
    drawnAt.clear();
    rig.transitions.DoorsClose(rig.destination, rig.newPicture, 1, 1);
    EXPECT_EQ(drawnAt.front(), 61120);

    rig.transitions.StepInterval = 0;
    const std::size_t waits = rig.waits.size(), frames = rig.frames.size();
    rig.transitions.Wipe(rig.destination, rig.newPicture, 2, 1);
    EXPECT_EQ(std::pair(rig.frames.size(), rig.waits.size()), std::pair(frames + 4, waits));
}

TEST(StepLoop, ZeroLimitEndsWithOnlyTheEndAction)
{
    TransitionRig rig(0, 4);
    rig.newPicture = TaggedSurface(3, 4, New);
    rig.transitions.Wipe(rig.destination, rig.newPicture, 4, 1);
    EXPECT_EQ(rig.yields(), 0u);
    EXPECT_EQ(rig.destination.picture(), rig.newPicture.picture());
    EXPECT_TRUE(rig.transitions.TransitionIdle());
}

TEST(StepLoop, NestedCallDrawsNothingAndLeavesTheFirstUndisturbed)
{
    TransitionRig alone(3, 6), rig(3, 6);
    alone.transitions.DoorsOpen(alone.destination, alone.newPicture, 1, 1);
    Surface other = TaggedSurface(3, 6, Old);
    // Any pass or wait of the nested call would add a frame or a wait of its own.
    rig.onDrawnPass = [&] { rig.transitions.Wipe(other, rig.newPicture, 1, 1); };
    rig.transitions.DoorsOpen(rig.destination, rig.newPicture, 1, 1);
    EXPECT_EQ(Rows(other.image()), "OOOOOO");
    EXPECT_TRUE(rig.frames == alone.frames && rig.waits == alone.waits);
}

TEST(StepLoop, FailureLeavesTheTransitionRunningSoLaterEffectsReturnAtOnce)
{
    TransitionRig rig(2, 4);
    rig.destination.setPresenter([](const QRect &) { throw std::runtime_error("surface lost"); });
    EXPECT_THROW(rig.transitions.Wipe(rig.destination, rig.newPicture, 1, 1), std::runtime_error);
    EXPECT_FALSE(rig.transitions.TransitionIdle());

    rig.destination.setPresenter({});
    const QImage before = rig.destination.image().copy();
    const std::size_t yields = rig.yields();
    rig.transitions.CrossSlide(rig.destination, rig.oldPicture, rig.newPicture, 2, 1);
    rig.transitions.Blinds(rig.destination, rig.newPicture, 1, 1, 2, 0);
    EXPECT_EQ(rig.destination.image(), before);
    EXPECT_EQ(rig.yields(), yields);
}

// A nested slide switch rewrites the new picture and the destination while an effect
// runs: the growing band must then be copied whole again, not just its new part.
TEST(StepLoop, BandsAreCopiedWholeAgainAfterTheSurfacesChange)
{
    TransitionRig rig(2, 6);
    rig.onDrawnPass = [&] {
        if (rig.frames.size() == 3)
            rig.newPicture.setPicture(TaggedImage(2, 6, Old));
        if (rig.frames.size() == 4)
            rig.destination.setPicture(TaggedImage(2, 6, Shown));
    };
    rig.transitions.Wipe(rig.destination, rig.newPicture, 1, 1);
    ASSERT_EQ(rig.frames.size(), 6u);
    const char *expected[] = {"NNSSSS", "OOOSSS", "OOOOSS", "OOOOOS"};
    for (int k = 0; k < 4; ++k)
        EXPECT_EQ(Rows(rig.frames[std::size_t(k) + 2]), expected[k]) << k;
}

// Steps record their copies and are drawn when something looks: every presented frame must
// show what drawing each step at once shows, also when frames are made in the background
// while later steps record, after a nested slide switch redraws the new picture mid-effect
// and when something reads the destination between two frames.
TEST(StepLoop, FramesPresentedNowAndThenShowWhatDrawingEveryStepShows)
{
    const struct { const char *name; Effect run; } cases[] = {
        {"Wipe", [](TransitionRig &r) { r.transitions.Wipe(r.destination, r.newPicture, 8, 1); }},
        {"DoorsOpen", [](TransitionRig &r) { r.transitions.DoorsOpen(r.destination, r.newPicture, 2, 1); }},
        {"Blinds", [](TransitionRig &r) { r.transitions.Blinds(r.destination, r.newPicture, 1, 1, 8, 0); }},
        {"RandomLines", [](TransitionRig &r) { r.transitions.RandomLines(r.destination, r.newPicture, 1, 0); }},
        {"CombWipe", [](TransitionRig &r) { r.transitions.CombWipe(r.destination, r.newPicture, 2, 1, 3, true); }},
        {"CombSlide", [](TransitionRig &r) { r.transitions.CombSlide(r.destination, r.newPicture, 1, 1, 3, true); }},
        {"StretchIn", [](TransitionRig &r) { r.transitions.StretchIn(r.destination, r.oldPicture, r.newPicture, 2, 1, 0, 1); }},
        {"StretchDoors", [](TransitionRig &r) { r.transitions.StretchDoors(r.destination, r.oldPicture, r.newPicture, 2, 1, 0, 1); }},
        {"CrossSlide 1", [](TransitionRig &r) { r.transitions.CrossSlide(r.destination, r.oldPicture, r.newPicture, 1, 2); }},
        {"CrossSlide 4", [](TransitionRig &r) { r.transitions.CrossSlide(r.destination, r.oldPicture, r.newPicture, 4, 1); }}};
    for (const auto &c : cases)
        for (const auto &[every, background] : {std::pair(3u, false), {4u, false}, {3u, true}, {2u, true}}) {
            SCOPED_TRACE(std::string(c.name) + " every " + std::to_string(every) + (background ? " in background" : ""));
            RuntimeRandom sameA(5), sameB(5);
            TransitionRig reference(24, 10, sameA), presented(24, 10, sameB);
            presented.presentEvery = every;
            presented.inBackground = background;
            QImage readBetween;
            for (TransitionRig *rig : {&reference, &presented})
                rig->onDrawnPass = [rig, &readBetween] {
                    if (rig->passes == 5)
                        rig->newPicture.setPicture(TaggedImage(24, 10, Old).mirrored(true, false));
                    if (rig->passes == 7 && rig->presentEvery > 1)
                        readBetween = rig->destination.image().copy();
                    if (rig->passes == 5 || rig->passes == 7)
                        rig->made = rig->passes;
                };
            c.run(reference);
            c.run(presented);
            ASSERT_EQ(presented.passes, reference.passes);
            ASSERT_EQ(presented.frames.size(), reference.passes / every);
            for (std::size_t k = 0; k < presented.frames.size(); ++k) {
                const std::size_t shown = background ? presented.shows[k] : (k + 1) * every;
                ASSERT_TRUE(shown == 0 || presented.frames[k] == reference.frames[shown - 1]) << "frame " << k << " shows pass " << shown;
            }
            EXPECT_EQ(readBetween, reference.frames.at(6));
            EXPECT_EQ(presented.destination.image(), reference.destination.image());
            EXPECT_EQ(presented.waits, reference.waits);
        }
}

}
