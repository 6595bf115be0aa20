#include "app/SingleInstance.h"
#include "support/TestFiles.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

TEST(SingleInstance, SecondCopyOfSameProgramIsRefusedUntilFirstEnds)
{
    QTemporaryDir dir;
    auto first = std::make_unique<SingleInstance>("/opt/saver/slideshow-saver", dir.path());
    ASSERT_TRUE(first->acquire());
    SingleInstance second("/opt/saver/slideshow-saver", dir.path()), elsewhere("/home/me/slideshow-saver", dir.path());
    EXPECT_EQ(std::pair(second.acquire(), elsewhere.acquire()), std::pair(false, true));
    first.reset();
    EXPECT_TRUE(second.acquire());
    // An exit that runs no destructors still lets go of the lock.
    SingleInstance::releaseHeld();
    EXPECT_FALSE(QFile::exists(second.lockPath()));
}

TEST(SingleInstance, LockOfAnEndedCopyIsTakenButNotOneOfARunningCopyHoweverOld)
{
    // A copy that crashed leaves a number that names no process: pid_max is one past the largest the system gives.
    const qint64 deadPid = readFile("/proc/sys/kernel/pid_max").trimmed().toLongLong();
    for (const auto &[pid, taken] : {std::pair(deadPid, true), {QCoreApplication::applicationPid(), false}}) {
        QTemporaryDir dir;
        SingleInstance probe("/opt/saver/slideshow-saver", dir.path());
        const QByteArray holder = QByteArray::number(pid) + "\n" + QCoreApplication::applicationFilePath().toUtf8() + "\n" + QSysInfo::machineHostName().toUtf8() + "\n";
        QFile lock(probe.lockPath());
        ASSERT_TRUE(writeFile(lock.fileName(), holder) && lock.open(QIODevice::ReadWrite)
                    && lock.setFileTime(QDateTime::currentDateTime().addDays(-1), QFileDevice::FileModificationTime));
        EXPECT_EQ(probe.acquire(), taken) << (taken ? "ended copy" : "running copy");
    }
}

// Nobody else can plant the lock: each folder is used only when it is a real folder of the user's, closed to others.
TEST(SingleInstance, LockFolderIsTheUsersOwnRuntimeFolderElseAPrivateOne)
{
    QTemporaryDir runtime, temporary, cache;
    for (const auto &[name, folder] : {std::pair("XDG_RUNTIME_DIR", &runtime), {"TMPDIR", &temporary}, {"XDG_CACHE_HOME", &cache}})
        qputenv(name, folder->path().toLocal8Bit());
    // A runtime folder open to the group or to others gives way to one made for the user alone.
    const QString own = temporary.filePath(QStringLiteral("slideshow-saver-%1").arg(::geteuid()));
    for (const auto &[mode, folder] : {std::pair<mode_t, QString>(0700, runtime.path()), {0730, own}, {0703, own}}) {
        ASSERT_EQ(::chmod(runtime.path().toLocal8Bit(), mode), 0);
        EXPECT_EQ(SingleInstance::PrivateFolder(), folder) << std::oct << mode;
    }
    // A plain file, even a closed one, standing at the folder's name sends the lock to the cache.
    ASSERT_TRUE(::rmdir(own.toLocal8Bit()) == 0 && writeFile(own, "planted") && QFile::setPermissions(own, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    EXPECT_EQ(SingleInstance::PrivateFolder(), cache.filePath("slideshow-saver"));
    for (const char *name : {"XDG_RUNTIME_DIR", "TMPDIR", "XDG_CACHE_HOME"})
        qunsetenv(name);
}
