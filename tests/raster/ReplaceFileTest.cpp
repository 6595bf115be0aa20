#include "raster/ReplaceFile.h"

#include "support/TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

TEST(ReplaceFile, ReplacesWholeKeepingModeAndLinksToFiles)
{
    const QTemporaryDir dir;
    const QString path = dir.filePath("usercolors.cps");
    ASSERT_EQ(ReplaceFile(path, "first"), QString());
    ASSERT_EQ(::chmod(path.toLocal8Bit(), 0640), 0);
    ASSERT_TRUE(QFile::link(path, dir.filePath("link.cps")));
    EXPECT_EQ(ReplaceFile(dir.filePath("link.cps"), "second"), QString());
    EXPECT_EQ(readFile(path), "second");
    EXPECT_TRUE(QFileInfo(dir.filePath("link.cps")).isSymLink());
    struct stat info {};
    ASSERT_EQ(::stat(path.toLocal8Bit(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    // A link to a folder is replaced by the file; the folder stays as it was.
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder") && QFile::link(dir.filePath("folder"), dir.filePath("settings.xml")));
    EXPECT_EQ(ReplaceFile(dir.filePath("settings.xml"), "third"), QString());
    EXPECT_FALSE(QFileInfo(dir.filePath("settings.xml")).isSymLink());
    EXPECT_EQ(readFile(dir.filePath("settings.xml")), "third");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System),
              (QStringList{"folder", "link.cps", "settings.xml", "usercolors.cps"}));
}

// On a file system that gives out part-way, the old file stays whole and no temporary file
// is left behind: the names in the folder are those there before.
TEST(ReplaceFile, FileSystemGivingOutPartWayLeavesTheOldFileWhole)
{
    rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    using Step = std::function<bool(const QString &folder)>;
    rlimit limited = saved;
    limited.rlim_cur = 20000;
    const struct { const char *name; Step giveOut; Step undo; QString reason; } cases[] = {
        {"file size limit", [&](const QString &) { return std::signal(SIGXFSZ, SIG_IGN) != SIG_ERR && ::setrlimit(RLIMIT_FSIZE, &limited) == 0; },
         [&](const QString &) { return ::setrlimit(RLIMIT_FSIZE, &saved) == 0 && std::signal(SIGXFSZ, SIG_DFL) != SIG_ERR; }, "File too large"},
        // 48 KB of a 64 KB file system taken: the old file fits in what is left, its replacement does not.
        {"full disk",
         [](const QString &folder) {
             return QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=64k", "tmpfs", folder}) == 0 && writeFile(folder + "/filler", QByteArray(48 * 1024, 'f'));
         },
         [](const QString &folder) { return QProcess::execute("umount", {folder}) == 0; }, "No space left on device"},
    };
    for (const auto &c : cases) {
        const QTemporaryDir dir;
        if (!c.giveOut(dir.path()))
            GTEST_SKIP() << c.name << ": needs to mount a 64 KB tmpfs (root) to fill a real file system";
        const QString path = dir.filePath("settings.xml");
        const QByteArray old(11000, 'o');
        EXPECT_TRUE(writeFile(path, old)) << c.name;
        const QStringList before = QDir(dir.path()).entryList(QDir::Files);
        EXPECT_EQ(ReplaceFile(path, QByteArray(40000, 'n')), c.reason) << c.name;
        EXPECT_EQ(readFile(path), old) << c.name;
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), before) << c.name;
        EXPECT_TRUE(c.undo(dir.path())) << c.name;
    }
}
