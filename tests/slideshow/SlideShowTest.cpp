#include "SlideShowFixture.h"
#include "support/ImageDifference.h"
#include "support/ResidentMemory.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <set>
#include <vector>

namespace {

const QRgb Red = qRgb(255, 0, 0);
const std::map<char, QRgb> Colours = {{'R', Red}, {'G', qRgb(0, 255, 0)}, {'B', qRgb(0, 0, 255)}};

// One entry a character: R, G, B a picture of that colour, - an empty entry, x a missing
// file, c a file that holds no picture.
QStringList entries(ShowRig &rig, const std::string &kinds)
{
    QStringList files;
    for (const char kind : kinds) {
        const QString path = rig.dir.filePath(QString::number(files.size()) + QStringLiteral(".png"));
        if (kind == 'c')
            writeFile(path, "\xFF\xD8 not really a jpeg");
        files << (kind == '-' ? QString() : Colours.count(kind) ? writePicture(path, Colours.at(kind)) : path);
    }
    return files;
}

// The colour at a surface's centre as the entries name it; '.' while it has no size.
char shown(const Surface &s)
{
    for (const auto &[name, colour] : Colours)
        if (!s.size().isEmpty() && s.image().pixel(s.width() / 2, s.height() / 2) == colour)
            return name;
    return s.size().isEmpty() ? '.' : '?';
}

} // namespace

TEST(SlideShow, LoadLaysOutThePictureAreaAndEachSlideIsFittedIntoIt)
{
    ShowRig rig;
    rig.list({rig.picture("tall.png", Red, QSize(10, 20))});
    rig.size = ImageSize::Large;
    rig.show.Load(QSize(96, 72)); // 1440 x 1080 twips: 1200 x 900 at 90 twips
    EXPECT_EQ(QRect(rig.show.newPicPosition(), rig.show.picImage.size()), QRect(6, 6, 80, 60));
    // NewPic has its background and nothing else before the first tick.
    EXPECT_EQ(std::pair(rig.show.NewPic.backColor(), rig.show.NewPic.size()), std::pair(RGB(0, 0, 128), QSize(0, 0)));
    rig.show.SwitchPic();
    // 1:2 into 80 x 60 is 30 x 60 at (25, 0), between margins of the background; the fit's own pixels are its test's.
    const QImage &slide = rig.show.NewPic.image();
    EXPECT_EQ(std::tuple(slide.size(), slide.pixel(24, 59), slide.pixel(25, 0), slide.pixel(55, 30)), std::tuple(QSize(80, 60), qRgb(0, 0, 128), Red, qRgb(0, 0, 128)));
}

// Each tick's slide as NewPic shows it; PrevPic keeps it for the next effect.
TEST(SlideShow, TicksShowTheEntriesInListOrderSkippingWhatCannotBeShown)
{
    const struct { const char *name, *entries, *ticks; int index; const char *label; } cases[] = {
        {"in list order, wrapping around", "RGB", "RGBRGBR", 1, ""},
        {"an empty entry sets the label and keeps the slide for its tick", "R-G", "RRG", 0, "No Files Selected"},
        {"missing and broken entries give their tick to the next", "RxcG", "RG", 0, ""},
        {"nothing to show: each tick makes one pass and ends where it began", "xx", "...", 0, ""},
        {"no entries", "", "..", 0, ""},
    };
    for (const auto &c : cases) {
        ShowRig rig;
        rig.list(entries(rig, c.entries));
        rig.show.Load(QSize(80, 60));
        std::string seen;
        for (const char *tick = c.ticks; *tick; ++tick) {
            rig.show.SwitchPic();
            seen += shown(rig.show.NewPic);
            EXPECT_EQ(shown(rig.show.PrevPic), seen.back()) << c.name;
        }
        EXPECT_EQ(seen, c.ticks) << c.name;
        EXPECT_EQ(std::pair(rig.show.slideIndex(), rig.show.labelText()), std::pair(c.index, QString::fromLatin1(c.label))) << c.name;
        EXPECT_EQ(rig.messages.shown, QStringList()) << c.name;
    }
}

// Each pass over the events during a switch brings a tick, which must not start a switch of its own.
TEST(SlideShow, RandomTransitionsDrawEveryChoiceAndEndOnTheNewSlideIgnoringTicksMeanwhile)
{
    ShowRig rig;
    rig.list(entries(rig, "RG"));
    rig.randomChoice = true;
    rig.show.Load(QSize(40, 30));
    std::vector<QImage> frames; // NewPic at each pass
    rig.onPass = [&] {
        frames.push_back(rig.show.NewPic.image());
        rig.show.SwitchPic();
    };
    std::set<int> choices;
    for (int k = 0; k < 200; ++k) {
        frames.clear();
        rig.show.SwitchPic();
        choices.insert(rig.show.lastChoice());
        EXPECT_EQ(shown(rig.show.NewPic), "RG"[k % 2]);
        EXPECT_EQ(rig.show.NewPic.image(), rig.show.picImage.image());
        if (k == 0 || (rig.show.lastChoice() != 2 && rig.show.lastChoice() != 7))
            continue;
        // Choices 2 and 7 bring the new slide in at the left edge first.
        const QRgb was = Colours.at("GR"[k % 2]);
        const auto first = std::find_if(frames.begin(), frames.end(), [&](const QImage &f) { return f.pixel(0, 0) != was || f.pixel(39, 0) != was; });
        ASSERT_NE(first, frames.end()) << k;
        EXPECT_EQ(std::pair(first->pixel(0, 0), first->pixel(39, 0)), std::pair(Colours.at("RG"[k % 2]), was)) << "choice " << rig.show.lastChoice();
    }
    EXPECT_EQ(choices, std::set<int>({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
}

// After a switch NewPic shares the slide's pixels while the next picture is decoded; once that
// is prepared, the event loop gives it pixels of its own for the next effect to draw into.
TEST(SlideShow, NewPicCopiesTheSlideOnlyOnceTheNextIsPrepared)
{
    ShowRig rig;
    rig.list(entries(rig, "RG"));
    rig.randomChoice = true;
    rig.show.Load(QSize(40, 30));
    rig.show.SwitchPic();
    const auto own = [&] { return rig.show.NewPic.drawnImage().constBits() != rig.show.picImage.drawnImage().constBits(); };
    EXPECT_FALSE(own());
    for (const QDeadlineTimer deadline(10000); !own() && !deadline.hasExpired();)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
    EXPECT_EQ(std::pair(own(), rig.show.NewPic.drawnImage()), std::pair(true, rig.show.picImage.drawnImage()));
}

// 12 MB freed into the heap stay resident till a slide has been prepared.
TEST(SlidePreloader, GivesWhatTheHeapKeepsBackOnceASlideIsPrepared)
{
    if (!systemHeapInUse)
        GTEST_SKIP() << "blocks come from AddressSanitizer's allocator";
    ShowRig rig;
    const QString blue = rig.picture("b.png", qRgb(0, 0, 255));
    const double before = residentMb();
    std::vector<char>(12 << 20, 1);
    const double kept = residentMb();
    SlidePreloader preloader;
    preloader.prepare(blue, QSize(40, 30));
    EXPECT_TRUE(preloader.take(blue, QSize(40, 30)).fitted.ok());
    EXPECT_GT(kept - before, 10);
    EXPECT_LT(residentMb() - before, 2);
}

// The prepared slide is served only while its file and the request are those it was made for.
TEST(SlidePreloader, PreparesTheFittedFrameAndServesItOnlyWhileItIsStillWhatIsAsked)
{
    ShowRig rig;
    const QString blue = rig.picture("b.png", qRgb(0, 0, 255));
    SlidePreloader preloader;
    const QDateTime modified = QFileInfo(blue).lastModified();
    preloader.prepare(blue, QSize(40, 30));
    // While the worker prepares b.png, a slide made here keeps only its picture at the fitted
    // size, not the larger decode, and those pixels only once: where its frame shows them.
    const PreparedSlide slide = PrepareSlide(rig.picture("photo.png", Red, QSize(1600, 2400)), QSize(500, 400), RGB(0, 0, 255));
    EXPECT_EQ(std::tuple(slide.fitted.naturalSize, slide.fitted.picture.size(), slide.fitted.picture.constBits(), slide.fitted.picture.pixel(265, 399)), std::tuple(QSize(1600, 2400), QSize(266, 400), slide.frame.constScanLine(0) + 117 * 4, Red));
    // Then b.png is rewritten at another size, keeping its modification time.
    QFile file(writePicture(blue, qRgb(0, 255, 0), QSize(50, 30)));
    ASSERT_TRUE(file.open(QIODevice::ReadWrite) && file.setFileTime(modified, QFileDevice::FileModificationTime));
    const PreparedSlide changed = preloader.take(blue, QSize(40, 30));
    EXPECT_EQ(std::pair(changed.fitted.naturalSize, changed.fitted.picture.pixel(0, 0)), std::pair(QSize(50, 30), qRgb(0, 255, 0)));

    preloader.prepare(blue, QSize(40, 30));
    EXPECT_EQ(preloader.take(rig.picture("c.png", Red), QSize(40, 30)).fitted.picture.pixel(0, 0), Red);
    preloader.prepare(blue, QSize(40, 30));
    EXPECT_EQ(preloader.take(blue, QSize(20, 30)).fitted.picture.size(), QSize(20, 12));
}
