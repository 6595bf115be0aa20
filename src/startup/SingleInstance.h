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

    // True when no other copy holds the lock; this copy then holds it until destroyed.
    [[nodiscard]] bool acquire();
    [[nodiscard]] QString lockPath() const { return lock_->fileName(); }

private:
    std::unique_ptr<QLockFile> lock_;
};
