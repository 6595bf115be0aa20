#include "raster/ReplaceFile.h"

#include "support/TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>

// A link to a file is followed, keeping the link and the file's mode; a link to a folder is
// replaced by the file and the folder stays as it was.
TEST(ReplaceFile, ReplacesWholeKeepingModeAndLinksToFiles)
{
    const QTemporaryDir dir;
    const QString path = dir.filePath("usercolors.cps"), link = dir.filePath("link.cps"), toFolder = dir.filePath("settings.xml");
    const int openFiles = QDir("/proc/self/fd").count();
    ASSERT_EQ(ReplaceFile(path, "first"), QString());
    ASSERT_TRUE(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup) && QFile::link(path, link));
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder") && QFile::link(dir.filePath("folder"), toFolder));
    EXPECT_EQ(QStringList({ReplaceFile(link, "second"), ReplaceFile(toFolder, "third")}), QStringList({"", ""}));
    EXPECT_EQ(QFileInfo(path).permissions(), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser | QFile::ReadGroup);
    EXPECT_EQ(QStringList({readFile(path), readFile(link), readFile(toFolder)}), QStringList({"second", "second", "third"}));
    EXPECT_TRUE(QFileInfo(link).isSymLink() && !QFileInfo(toFolder).isSymLink());
    EXPECT_EQ(QDir("/proc/self/fd").count(), openFiles); // every temporary file closed
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System), (QStringList{"folder", "link.cps", "settings.xml", "usercolors.cps"}));
}

// A file system that gives out part-way, here at a file size limit, leaves the old file whole
// and no temporary file behind.
TEST(ReplaceFile, WriteFailingPartWayLeavesTheOldFileWhole)
{
    const QTemporaryDir dir;
    const QString path = dir.filePath("settings.xml");
    ASSERT_TRUE(writeFile(path, QByteArray(11000, 'o')));
    rlimit saved {}, limited {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    limited = {20000, saved.rlim_max};
    ASSERT_TRUE(std::signal(SIGXFSZ, SIG_IGN) != SIG_ERR && ::setrlimit(RLIMIT_FSIZE, &limited) == 0);
    const QString failure = ReplaceFile(path, QByteArray(40000, 'n'));
    ASSERT_TRUE(::setrlimit(RLIMIT_FSIZE, &saved) == 0 && std::signal(SIGXFSZ, SIG_DFL) != SIG_ERR);
    EXPECT_EQ(failure, "File too large");
    EXPECT_EQ(readFile(path), QByteArray(11000, 'o'));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"settings.xml"});
}
