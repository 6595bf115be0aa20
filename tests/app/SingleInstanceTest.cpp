#include "app/SingleInstance.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(SingleInstance, SecondCopyOfSameProgramIsRefusedUntilFirstEnds)
{
    QTemporaryDir dir;
    auto first = std::make_unique<SingleInstance>(dir.path(), "/opt/saver/slideshow-saver");
    ASSERT_TRUE(first->acquire());
    SingleInstance second(dir.path(), "/opt/saver/slideshow-saver");
    EXPECT_FALSE(second.acquire());
    SingleInstance elsewhere(dir.path(), "/home/me/slideshow-saver");
    EXPECT_TRUE(elsewhere.acquire());
    first.reset();
    EXPECT_TRUE(second.acquire());

    // An exit that runs no destructors still lets go of the lock.
    SingleInstance::releaseHeld();
    EXPECT_FALSE(QFile::exists(second.lockPath()));
}

TEST(SingleInstance, LockLeftByCrashedCopyDoesNotBlock)
{
    QTemporaryDir dir;
    SingleInstance probe(dir.path(), "/opt/saver/slideshow-saver");
    // A process that has ended leaves its number in the lock, as a crash would.
    QProcess finished;
    finished.start("true", {});
    ASSERT_TRUE(finished.waitForFinished());
    const qint64 deadPid = finished.processId() ? finished.processId() : 999999;
    QFile lock(probe.lockPath());
    ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
    lock.write(QByteArray::number(deadPid) + "\nslideshow-saver\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    lock.close();
    EXPECT_TRUE(probe.acquire());
}
