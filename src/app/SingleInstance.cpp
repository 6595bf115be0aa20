#include "app/SingleInstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <sys/stat.h>
#include <unistd.h>

namespace {

QLockFile *held = nullptr;

// A real folder, not a link, owned by this user and closed to everyone else.
bool isPrivate(const QString &folder)
{
    struct stat info {};
    return QDir::isAbsolutePath(folder) && ::lstat(QFile::encodeName(folder).constData(), &info) == 0 && S_ISDIR(info.st_mode)
           && info.st_uid == ::geteuid() && (info.st_mode & 077) == 0;
}

// Makes the folder if it is missing; one that someone else made or opened up is not used.
QString ownFolder(const QString &folder)
{
    ::mkdir(QFile::encodeName(folder).constData(), 0700);
    return isPrivate(folder) ? folder : QString();
}

} // namespace

SingleInstance::SingleInstance(const QString &programPath, const QString &lockFolder)
{
    if (lockFolder.isEmpty())
        return;
    const QByteArray key = QCryptographicHash::hash(programPath.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    lock_ = std::make_unique<QLockFile>(QDir(lockFolder).filePath(QStringLiteral("slideshow-saver-%1.lock").arg(QString::fromLatin1(key))));
    // Age alone never makes a lock stale: only a holder that no longer runs does.
    lock_->setStaleLockTime(0);
}

SingleInstance::~SingleInstance()
{
    if (held == lock_.get())
        held = nullptr;
}

QString SingleInstance::PrivateFolder()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (isPrivate(runtime))
        return runtime;
    const QString user = QString::number(::geteuid());
    if (const QString temporary = ownFolder(QDir::temp().filePath(QStringLiteral("slideshow-saver-") + user)); !temporary.isEmpty())
        return temporary;
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (cache.isEmpty() || !QDir().mkpath(cache))
        return {};
    return ownFolder(QDir(cache).filePath(QStringLiteral("slideshow-saver")));
}

bool SingleInstance::acquire()
{
    // Without a folder of the user's own, running beside another copy beats never starting.
    if (!lock_)
        return true;
    if (lock_->tryLock(0)) {
        held = lock_.get();
        return true;
    }
    // Only a lock that another running copy holds stops this one; a lock that cannot be
    // written (a full disk) must not keep the screen from being blanked.
    return lock_->error() != QLockFile::LockFailedError;
}

void SingleInstance::releaseHeld()
{
    if (held)
        held->unlock();
    held = nullptr;
}
