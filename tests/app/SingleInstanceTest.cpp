#include "app/SingleInstance.h"

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

TEST(SingleInstance, LockLeftByCrashedCopyDoesNotBlock)
{
    QTemporaryDir dir;
    SingleInstance probe("/opt/saver/slideshow-saver", dir.path());
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

TEST(SingleInstance, LockFolderIsTheUsersOwnRuntimeFolderElseAPrivateOne)
{
    QTemporaryDir runtime;
    QTemporaryDir temporary;
    const QByteArray oldRuntime = qgetenv("XDG_RUNTIME_DIR");
    const QByteArray oldTemporary = qgetenv("TMPDIR");
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    qputenv("TMPDIR", temporary.path().toLocal8Bit());
    ASSERT_EQ(::chmod(runtime.path().toLocal8Bit(), 0700), 0);
    EXPECT_EQ(SingleInstance::PrivateFolder(), runtime.path());
    // A runtime folder the group or others may write to is not the user's own.
    const QString own = temporary.filePath(QStringLiteral("slideshow-saver-%1").arg(::geteuid()));
    for (const mode_t open : {0730, 0703}) {
        ASSERT_EQ(::chmod(runtime.path().toLocal8Bit(), open), 0);
        EXPECT_EQ(SingleInstance::PrivateFolder(), own) << std::oct << open;
    }
    struct stat made {};
    ASSERT_EQ(::lstat(own.toLocal8Bit(), &made), 0);
    EXPECT_EQ(made.st_mode & 0777, 0700u);
    qputenv("XDG_RUNTIME_DIR", oldRuntime);
    qputenv("TMPDIR", oldTemporary);
}

// Copies run by two users, a killed copy, and files planted by another user where a
// user's lock folder would be made.
TEST(SingleInstance, UsersNeverBlockEachOtherAndNothingPlantedStopsTheSaver)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to run copies as other users with setpriv";
    QTemporaryDir shared; // as /tmp is: anyone may make entries, only their owner removes them
    ASSERT_EQ(::chmod(shared.path().toLocal8Bit(), 01777), 0);
    const QString probe = shared.filePath("probe");
    ASSERT_TRUE(QFile::copy(SINGLE_INSTANCE_PROBE, probe));
    std::vector<std::unique_ptr<QProcess>> copies;
    const auto start = [&](int uid, const QString &home = "/nonexistent") {
        auto copy = std::make_unique<QProcess>();
        QProcessEnvironment environment;
        environment.insert("TMPDIR", shared.path());
        environment.insert("HOME", home);
        copy->setProcessEnvironment(environment);
        copy->start("setpriv", {QStringLiteral("--reuid=%1").arg(uid), QStringLiteral("--regid=%1").arg(uid), "--clear-groups", probe,
                                "/usr/games/slideshow-saver"});
        const bool answered = copy->waitForReadyRead(10000);
        const QByteArray answer = answered ? copy->readLine().trimmed() : "no answer";
        copies.push_back(std::move(copy));
        return answer;
    };
    const int nobody = 65534;
    const int other = 4242;
    EXPECT_EQ(start(nobody), "runs");
    EXPECT_EQ(start(other), "runs");
    EXPECT_EQ(start(nobody), "refused");
    copies[0]->kill();
    ASSERT_TRUE(copies[0]->waitForFinished(10000));
    EXPECT_EQ(start(nobody), "runs");

    // Another user plants a file, a link, or an open folder at each name a user's folder would have.
    const QString planted[] = {shared.filePath("slideshow-saver-4243"), shared.filePath("slideshow-saver-4244"),
                               shared.filePath("slideshow-saver-4245")};
    QFile file(planted[0]);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_TRUE(QFile::link(shared.path(), planted[1]));
    ASSERT_TRUE(QDir().mkdir(planted[2]) && ::chmod(planted[2].toLocal8Bit(), 0777) == 0);
    EXPECT_EQ(start(4243), "runs");
    EXPECT_EQ(start(4244), "runs");
    // With a home of its own the user falls back to a folder there, and one copy still runs.
    const QString home = shared.filePath("home");
    ASSERT_TRUE(QDir().mkdir(home) && ::chown(home.toLocal8Bit(), 4245, 4245) == 0);
    EXPECT_EQ(start(4245, home), "runs");
    EXPECT_EQ(start(4245, home), "refused");
    for (auto &copy : copies)
        copy->closeWriteChannel();
    for (auto &copy : copies)
        EXPECT_TRUE(copy->state() == QProcess::NotRunning || copy->waitForFinished(10000));
}
