#include "app/SingleInstance.h"

#include <QCryptographicHash>
#include <QDir>

SingleInstance::SingleInstance(const QString &lockFolder, const QString &programPath)
{
    const QByteArray key = QCryptographicHash::hash(programPath.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    lock_ = std::make_unique<QLockFile>(QDir(lockFolder).filePath(QStringLiteral("slideshow-saver-%1.lock").arg(QString::fromLatin1(key))));
    // Age alone never makes a lock stale: only a holder that no longer runs does.
    lock_->setStaleLockTime(0);
}

namespace {

QLockFile *held = nullptr;

} // namespace

SingleInstance::~SingleInstance()
{
    if (held == lock_.get())
        held = nullptr;
}

bool SingleInstance::acquire()
{
    if (!lock_->tryLock(0))
        return false;
    held = lock_.get();
    return true;
}

void SingleInstance::releaseHeld()
{
    if (held)
        held->unlock();
    held = nullptr;
}
