#pragma once

#include <QLockFile>
#include <QString>
#include <memory>

// Keeps a second copy of the same program from running. The lock names the running
// copy's process, so a lock left behind by a crashed copy does not block the next start.
class SingleInstance
{
public:
    // One lock per program file: copies installed in different folders do not meet.
    SingleInstance(const QString &lockFolder, const QString &programPath);

    ~SingleInstance();

    // True when no other copy holds the lock; this copy then holds it until destroyed.
    [[nodiscard]] bool acquire();
    // Lets go of the lock this copy holds, for an exit that runs no destructors.
    static void releaseHeld();
    [[nodiscard]] QString lockPath() const { return lock_->fileName(); }

private:
    std::unique_ptr<QLockFile> lock_;
};
