#pragma once

#include <QLockFile>
#include <QString>
#include <memory>

// Keeps a second copy of the same program, run by the same user, from running. The lock
// lives in a folder only that user can write to, so other users neither meet it nor can
// plant anything that stops the saver; it names the running copy's process, so a lock
// left behind by a killed copy does not block the next start.
class SingleInstance
{
public:
    // One lock per program file: copies installed in different folders do not meet.
    // An empty lockFolder means there is no place of the user's own: nothing is locked.
    explicit SingleInstance(const QString &programPath, const QString &lockFolder = PrivateFolder());

    ~SingleInstance();

    // The user's runtime folder ($XDG_RUNTIME_DIR), else a folder of the user's own in the
    // temporary folder, else one in the user's cache; each only if it is a real folder,
    // owned by the user and closed to everyone else. Empty when there is none.
    [[nodiscard]] static QString PrivateFolder();

    // True when no other copy holds the lock; this copy then holds it until destroyed.
    [[nodiscard]] bool acquire();
    // Lets go of the lock this copy holds, for an exit that runs no destructors.
    static void releaseHeld();
    [[nodiscard]] QString lockPath() const { return lock_ ? lock_->fileName() : QString(); }

private:
    std::unique_ptr<QLockFile> lock_;
};
