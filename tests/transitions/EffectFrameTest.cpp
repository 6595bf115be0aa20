#include "TransitionFixture.h"

#include "transitions/EffectGeometry.h"

#include <array>

namespace {

Effect Wipe(int code) { return [=](TransitionRig &r) { r.transitions.Wipe(r.destination, r.newPicture, code, 1); }; }
Effect DoorsClose(int dir) { return [=](TransitionRig &r) { r.transitions.DoorsClose(r.destination, r.newPicture, dir, 1); }; }
Effect DoorsOpen(int dir) { return [=](TransitionRig &r) { r.transitions.DoorsOpen(r.destination, r.newPicture, dir, 1); }; }
Effect Blinds(int code) { return [=](TransitionRig &r) { r.transitions.Blinds(r.destination, r.newPicture, code, 1, 20, 0); }; }
Effect CrossSlide(int dir, int step) { return [=](TransitionRig &r) { r.transitions.CrossSlide(r.destination, r.oldPicture, r.newPicture, dir, step); }; }

// Runs one effect and checks the drawn pass count, that the end action shows the whole new
// picture, and returns drawn frame `frame` (-1: the last).
QImage Frame(const char *name, int width, int height, const Effect &run, std::size_t passes, int frame)
{
    SCOPED_TRACE(name);
    TransitionRig rig(width, height);
    run(rig);
    EXPECT_EQ(rig.frames.size(), passes);
    EXPECT_EQ(Rows(rig.destination.image()), Repeat("N", height));
    EXPECT_TRUE(rig.transitions.TransitionIdle());
    return frame < 0 ? rig.frames.back() : rig.frames.at(std::size_t(frame));
}

TEST(EffectFrames, RevealsLineByLine)
{
    const std::string S5 = Repeat("S", 5), N5 = Repeat("N", 5), S15 = Repeat("S", 15), RightBands = Repeat(S15 + N5, 2) + S5;
    // Lines are columns when the surface is wider than high, else rows.
    const struct { const char *name; int width, height; Effect run; std::size_t passes; int frame; std::string lines; } cases[] = {
        {"Wipe from top", 2, 7, Wipe(1), 7, 3, "NNNSSSS"},
        {"Wipe from bottom", 2, 7, Wipe(2), 7, 3, "SSSSNNN"},
        {"Wipe from left", 10, 2, Wipe(4), 10, 3, "NNNSSSSSSS"},
        {"Wipe 8 leaves the first column to the end", 1024, 2, Wipe(8), 1024, -1, "S" + Repeat("N", 1023)},
        {"Wipe 3 takes the height drawing nothing", 2, 7, Wipe(3), 7, 3, "SSSSSSS"},
        {"Wipe 5 takes the width drawing nothing", 10, 2, Wipe(5), 10, 3, Repeat("S", 10)},
        {"DoorsClose 1 on 767 rows leaves row 383 to the end", 4, 767, DoorsClose(1), 384, -1, Repeat("N", 383) + "S" + Repeat("N", 383)},
        {"DoorsClose columns", 10, 2, DoorsClose(2), 5, 2, "NNSSSSSSNN"},
        {"DoorsClose unknown takes half the width", 10, 2, DoorsClose(3), 5, 2, Repeat("S", 10)},
        {"DoorsOpen on 1025 rows from centre 512, last frame", 4, 1025, DoorsOpen(1), 512, -1, "S" + Repeat("N", 1022) + "SS"},
        {"DoorsOpen columns on an odd width", 1025, 2, DoorsOpen(2), 512, 2, Repeat("S", 510) + "NNNN" + Repeat("S", 511)},
        // 20 passes whatever the size; bands open from one edge; a band past the picture draws nothing.
        {"Blinds 1 down", 2, 45, Blinds(1), 20, 5, Repeat(N5 + S15, 2) + N5},
        {"Blinds 2 up", 2, 45, Blinds(2), 20, 5, Repeat(S15 + N5, 2) + S5},
        {"Blinds 3 as up", 2, 45, Blinds(3), 20, 5, Repeat(S15 + N5, 2) + S5},
        {"Blinds 4 left", 1000, 2, Blinds(4), 20, 5, Repeat(N5 + S15, 50)},
        {"Blinds 8 right", 45, 2, Blinds(8), 20, 5, RightBands},
        {"Blinds 8 narrow", 7, 2, Blinds(8), 20, 5, Repeat("S", 7)},
        {"Blinds 5 to 9 but 8 as right", 45, 2, Blinds(5), 20, 5, RightBands},
        {"Blinds 0 draws nothing", 45, 2, Blinds(0), 20, 5, Repeat("S", 45)},
        {"CrossSlide half 0 still draws three passes", 4, 1, CrossSlide(2, 3), 3, -1, "NNNN"}};
    for (const auto &c : cases)
        EXPECT_EQ(Lines(Frame(c.name, c.width, c.height, c.run, c.passes, c.frame), c.width > c.height), c.lines) << c.name;
}

TEST(EffectFrames, MovesPixelsWhereTheyBelong)
{
    const auto combSlide = [](int direction, bool firstSide) {
        return [=](TransitionRig &r) { r.transitions.CombSlide(r.destination, r.newPicture, direction, 4, 10, firstSide); };
    };
    const auto pushOut = [](TransitionRig &r) { r.transitions.StretchIn(r.destination, r.oldPicture, r.newPicture, 2, 1, 0, 3); };
    const auto combWipe = [](int direction, bool firstSide) {
        return [=](TransitionRig &r) { r.transitions.CombWipe(r.destination, r.newPicture, direction, 3, 10, firstSide); };
    };
    const struct { const char *name; int width, height; Effect run; std::size_t passes; int frame; std::vector<std::tuple<int, int, Origin>> at; } cases[] = {
        // Strip 0 shows the top four new rows at its bottom; strip 10 the bottom four at its top.
        {"CombSlide across", 12, 15, combSlide(2, true), 3, 1,
         {{0, 0, {New, 8, 0}}, {3, 9, {New, 11, 9}}, {4, 0, {Shown, 4, 0}}, {8, 10, {New, 0, 10}}, {11, 14, {New, 3, 14}}, {7, 14, {Shown, 7, 14}}}},
        {"CombSlide first side false", 15, 12, combSlide(1, false), 3, 1,
         {{9, 8, {New, 9, 0}}, {9, 11, {New, 9, 3}}, {9, 7, {Shown, 9, 7}}, {10, 0, {New, 10, 8}}, {14, 3, {New, 14, 11}}, {14, 4, {Shown, 14, 4}}}},
        // Strips of 10 alternate sides, i = 3; first side false starts from the other.
        {"CombWipe across, first side false", 20, 25, combWipe(2, false), 7, 1,
         {{0, 10, {New, 0, 10}}, {2, 19, {New, 2, 19}}, {3, 10, {Shown, 3, 10}}, {17, 0, {New, 17, 0}}, {16, 9, {Shown, 16, 9}}, {19, 24, {New, 19, 24}}}},
        {"CombWipe down", 20, 25, combWipe(1, true), 9, 1,
         {{9, 2, {New, 9, 2}}, {0, 3, {Shown, 0, 3}}, {10, 22, {New, 10, 22}}, {19, 21, {Shown, 19, 21}}, {10, 0, {Shown, 10, 0}}, {19, 24, {New, 19, 24}}}},
        {"StretchIn mode 3 pushes the old picture out", 10, 3, pushOut, 10, 4, {{0, 2, {Old, 4, 2}}, {5, 0, {Old, 9, 0}}}},
        {"CrossSlide H 768 step 3", 2, 768, CrossSlide(2, 3), 128 + 129, 1, {{0, 0, {New, 0, 3}}, {1, 3, {Old, 1, 0}}}},
        // Rows 49 and 50 keep the last drawing of phase one.
        {"CrossSlide H 100 step 3", 2, 100, CrossSlide(2, 3), 17 + 18, 17,
         {{0, 0, {New, 0, 51}}, {0, 48, {New, 0, 99}}, {0, 49, {Old, 0, 1}}, {0, 50, {Old, 0, 2}}, {0, 51, {Old, 0, 0}}, {1, 99, {Old, 1, 48}}}},
        {"CrossSlide rising, phase one", 2, 10, CrossSlide(1, 2), 3 + 4, 1, {{0, 0, {Old, 0, 2}}, {0, 8, {New, 0, 6}}}},
        {"CrossSlide rising, phase two", 2, 10, CrossSlide(1, 2), 3 + 4, 4, {{0, 3, {Old, 0, 7}}, {0, 4, {New, 0, 0}}}},
        // Directions 3 and 4 are 1 and 2 with rows and columns exchanged.
        {"CrossSlide leftward, phase one", 10, 2, CrossSlide(3, 2), 3 + 4, 1, {{0, 1, {Old, 2, 1}}, {8, 0, {New, 6, 0}}, {7, 1, {Old, 9, 1}}}},
        {"CrossSlide leftward, phase two", 10, 2, CrossSlide(3, 2), 3 + 4, 4, {{3, 0, {Old, 7, 0}}, {4, 1, {New, 0, 1}}, {9, 0, {New, 5, 0}}}},
        {"CrossSlide rightward W 100 step 3", 100, 2, CrossSlide(4, 3), 17 + 18, 17,
         {{0, 0, {New, 51, 0}}, {48, 0, {New, 99, 0}}, {49, 0, {Old, 1, 0}}, {50, 1, {Old, 2, 1}}, {51, 0, {Old, 0, 0}}, {99, 1, {Old, 48, 1}}}},
        {"CrossSlide rightward, phase one", 9, 1, CrossSlide(4, 1), 4 + 5, 3, {{0, 0, {New, 3, 0}}, {2, 0, {New, 5, 0}}, {3, 0, {Old, 0, 0}}, {8, 0, {Old, 5, 0}}}}};
    for (const auto &c : cases) {
        const QImage frame = Frame(c.name, c.width, c.height, c.run, c.passes, c.frame);
        for (const auto &[x, y, origin] : c.at)
            EXPECT_EQ(OriginAt(frame, x, y), origin) << c.name << " at " << x << ',' << y;
    }
}

TEST(EffectFrames, RandomLinesCopyEveryLineOnceAndEndInThePassAfterTheLast)
{
    RuntimeRandom random(7);
    TransitionRig rig(37, 3, random);
    rig.transitions.RandomLines(rig.destination, rig.newPicture, 1, 0);
    ASSERT_EQ(rig.frames.size(), 37u);
    // A copied line stays new, so one more new line a pass is a line not copied before.
    for (std::size_t k = 0; k < rig.frames.size(); ++k) {
        const std::string columns = Columns(rig.frames[k]);
        EXPECT_TRUE(columns.find('?') == std::string::npos && std::count(columns.begin(), columns.end(), 'N') == int(k) + 1) << k << ": " << columns;
    }
    EXPECT_EQ(rig.waits.size(), 37u); // before each of the 36 later lines and before the pass that ends
    RuntimeRandom seeded(7);
    EXPECT_EQ(ShuffledLines(8, seeded), (std::vector<int>{6, 5, 7, 2, 0, 1, 4, 3}));

    // Rows, three per pass: the fourth pass draws the last line and ends before its refresh.
    const std::string third = Rows(Frame("RandomLines rows", 3, 10, [](TransitionRig &r) {
        r.transitions.RandomLines(r.destination, r.newPicture, 2, 2); }, 3, 2));
    EXPECT_EQ(std::count(third.begin(), third.end(), 'N'), 9);
}

// Solid old (red) and new (blue) pictures, so halftone averaging cannot blur the bands:
// one letter per column, N blue, O red, S the untouched destination.
TEST(EffectFrames, StretchBandsForModes0And1AndStretchDoorsOnAnOddWidth)
{
    const struct { const char *name; bool doors; int width, direction, extraSteps, mode; std::size_t passes, frame; const char *bands; } cases[] = {
        {"StretchIn right, mode 0 keeps the old", false, 10, 2, 0, 0, 10, 4, "SSSSSSNNNN"},
        {"StretchIn left, mode 1 squeezes the old", false, 10, 1, 0, 1, 10, 4, "NNNNOOOOOO"},
        {"StretchIn extra steps per refresh", false, 9, 2, 2, 0, 3, 1, "SSSSNNNNN"},
        {"StretchDoors odd width leaves the middle", true, 9, 2, 0, 0, 4, 3, "NNNSSSNNN"},
        {"StretchDoors squeezing", true, 9, 2, 0, 1, 4, 2, "NNOOOOONN"}};
    for (const auto &c : cases) {
        TransitionRig rig(c.width, 3);
        QImage red(c.width, 3, QImage::Format_RGB32), blue(c.width, 3, QImage::Format_RGB32);
        red.fill(Qt::red);
        blue.fill(Qt::blue);
        rig.oldPicture.adoptPicture(red);
        rig.newPicture.adoptPicture(blue);
        (rig.transitions.*(c.doors ? &modTransition::StretchDoors : &modTransition::StretchIn))(
            rig.destination, rig.oldPicture, rig.newPicture, c.direction, 1, c.extraSteps, c.mode);
        ASSERT_EQ(rig.frames.size(), c.passes) << c.name;
        std::string bands;
        for (int x = 0; x < c.width; ++x) {
            const QRgb p = rig.frames[c.frame].pixel(x, 1);
            bands += p == blue.pixel(0, 0) ? 'N' : p == red.pixel(0, 0) ? 'O' : OriginAt(rig.frames[c.frame], x, 1).tag == Shown ? 'S' : '?';
        }
        EXPECT_EQ(bands, c.bands) << c.name;
        EXPECT_EQ(rig.destination.image(), blue) << c.name;
        EXPECT_EQ(rig.destination.stretchMode(), StretchMode::Halftone) << c.name;
    }
    // Halftone averages: a red and a blue column squeezed into one mix.
    TransitionRig rig(2, 1);
    rig.newPicture.adoptPicture(QImage(reinterpret_cast<const uchar *>(std::array{0xFFFF0000u, 0xFF0000FFu}.data()), 2, 1,
                                       QImage::Format_RGB32).copy());
    rig.transitions.StretchIn(rig.destination, rig.oldPicture, rig.newPicture, 2, 1, 0, 0);
    EXPECT_EQ(rig.frames.at(1).pixel(1, 0), 0xFF7F007Fu);
}

TEST(EffectFrames, CrossSlideClearsTheFlagForTheOneYieldBetweenItsPhases)
{
    TransitionRig rig(2, 768);
    std::vector<std::size_t> idleAt; // the drawn passes that yield with the flag clear
    rig.onDrawnPass = [&] { if (rig.transitions.TransitionIdle()) idleAt.push_back(rig.frames.size() - 1); };
    rig.transitions.CrossSlide(rig.destination, rig.oldPicture, rig.newPicture, 2, 3);
    EXPECT_EQ(Rows(rig.frames.front()), Repeat("O", 768));
    EXPECT_EQ(idleAt, std::vector<std::size_t>{127});
}

}
