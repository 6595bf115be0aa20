#include "app/SingleInstance.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

TEST(SingleInstance, SecondCopyOfSameProgramIsRefusedUntilFirstEnds)
{
    QTemporaryDir dir;
    auto first = std::make_unique<SingleInstance>("/opt/saver/slideshow-saver", dir.path());
    ASSERT_TRUE(first->acquire());
    SingleInstance second("/opt/saver/slideshow-saver", dir.path());
    EXPECT_FALSE(second.acquire());
    SingleInstance elsewhere("/home/me/slideshow-saver", dir.path());
    EXPECT_TRUE(elsewhere.acquire());
    first.reset();
    EXPECT_TRUE(second.acquire());

    // An exit that runs no destructors still lets go of the lock.
    SingleInstance::releaseHeld();
    EXPECT_FALSE(QFile::exists(second.lockPath()));
}

TEST(SingleInstance, LockOfAnEndedCopyIsTakenButNotOneOfARunningCopyHoweverOld)
{
    // A process that has ended leaves its number in the lock, as a crash would.
    QProcess finished;
    finished.start("true", {});
    ASSERT_TRUE(finished.waitForStarted());
    const qint64 deadPid = finished.processId();
    ASSERT_TRUE(finished.waitForFinished());
    const std::tuple<const char *, qint64, QString, bool> cases[] = {
        {"ended copy", deadPid, "slideshow-saver", true},
        {"running copy", QCoreApplication::applicationPid(), QCoreApplication::applicationFilePath(), false},
    };
    for (const auto &[name, pid, program, taken] : cases) {
        QTemporaryDir dir;
        SingleInstance probe("/opt/saver/slideshow-saver", dir.path());
        QFile lock(probe.lockPath());
        ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
        lock.write(QByteArray::number(pid) + "\n" + program.toUtf8() + "\n" + QSysInfo::machineHostName().toUtf8() + "\n");
        ASSERT_TRUE(lock.flush() && lock.setFileTime(QDateTime::currentDateTime().addDays(-1), QFileDevice::FileModificationTime));
        lock.close();
        EXPECT_EQ(probe.acquire(), taken) << name;
    }
}

// Nobody else can plant the lock: each folder is used only when it is a real folder of the user's, closed to others.
TEST(SingleInstance, LockFolderIsTheUsersOwnRuntimeFolderElseAPrivateOne)
{
    QTemporaryDir runtime, temporary, cache;
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    qputenv("TMPDIR", temporary.path().toLocal8Bit());
    qputenv("XDG_CACHE_HOME", cache.path().toLocal8Bit());
    ASSERT_EQ(::chmod(runtime.path().toLocal8Bit(), 0700), 0);
    EXPECT_EQ(SingleInstance::PrivateFolder(), runtime.path());
    const QString own = temporary.filePath(QStringLiteral("slideshow-saver-%1").arg(::geteuid()));
    for (const mode_t open : {0730, 0703}) {
        ASSERT_EQ(::chmod(runtime.path().toLocal8Bit(), open), 0);
        EXPECT_EQ(SingleInstance::PrivateFolder(), own) << std::oct << open;
    }
    struct stat made {};
    ASSERT_EQ(::lstat(own.toLocal8Bit(), &made), 0);
    EXPECT_EQ(made.st_mode & 0777, 0700u);
    // A plain file, even a closed one, standing at the folder's name sends the lock to the cache.
    ASSERT_EQ(::rmdir(own.toLocal8Bit()), 0);
    QFile planted(own);
    ASSERT_TRUE(planted.open(QIODevice::WriteOnly) && planted.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    EXPECT_EQ(SingleInstance::PrivateFolder(), cache.filePath("slideshow-saver"));
    for (const char *name : {"XDG_RUNTIME_DIR", "TMPDIR", "XDG_CACHE_HOME"})
        qunsetenv(name);
}
