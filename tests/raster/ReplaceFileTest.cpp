#include "raster/ReplaceFile.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

// On a file system that gives out part-way, the old file stays whole and no temporary
// file is left behind: the names in the folder are those there before.
void expectOldFileKept(const QString &folder, const QString &reason)
{
    const QString path = QDir(folder).filePath("settings.xml");
    const QByteArray old(11000, 'o');
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(old) == old.size() && file.flush());
    file.close();
    const QStringList before = QDir(folder).entryList(QDir::Files);
    EXPECT_EQ(ReplaceFile(path, QByteArray(40000, 'n')), reason);
    EXPECT_EQ(contentOf(path), old);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), before);
}

} // namespace

TEST(ReplaceFile, ReplacesWholeKeepingModeAndLinks)
{
    const QTemporaryDir dir;
    const QString path = dir.filePath("usercolors.cps");
    ASSERT_EQ(ReplaceFile(path, "first"), QString());
    ASSERT_EQ(::chmod(path.toLocal8Bit(), 0640), 0);
    ASSERT_TRUE(QFile::link(path, dir.filePath("link.cps")));
    EXPECT_EQ(ReplaceFile(dir.filePath("link.cps"), "second"), QString());
    EXPECT_EQ(contentOf(path), "second");
    EXPECT_TRUE(QFileInfo(dir.filePath("link.cps")).isSymLink());
    struct stat info {};
    ASSERT_EQ(::stat(path.toLocal8Bit(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::System), (QStringList{"link.cps", "usercolors.cps"}));
}

TEST(ReplaceFile, FileSizeLimitLeavesTheOldFileWhole)
{
    const QTemporaryDir dir;
    rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved;
    limited.rlim_cur = 20000;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    expectOldFileKept(dir.path(), QStringLiteral("File too large"));
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
}

TEST(ReplaceFile, FullDiskLeavesTheOldFileWhole)
{
    const QTemporaryDir dir;
    if (QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=64k", "tmpfs", dir.path()}) != 0)
        GTEST_SKIP() << "needs to mount a 64 KB tmpfs (root) to fill a real file system";
    // 48 KB of the 64 taken: the old file fits in what is left, its replacement does not.
    QFile filler(dir.filePath("filler"));
    ASSERT_TRUE(filler.open(QIODevice::WriteOnly) && filler.write(QByteArray(48 * 1024, 'f')) == 48 * 1024 && filler.flush());
    filler.close();
    expectOldFileKept(dir.path(), QStringLiteral("No space left on device"));
    EXPECT_EQ(QProcess::execute("umount", {dir.path()}), 0);
}
