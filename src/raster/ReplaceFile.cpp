#include "raster/ReplaceFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString systemError(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

// Permissions for the new file: the old file's, or what the user's umask gives a new one.
mode_t modeFor(const QByteArray &target)
{
    struct stat old {};
    if (::stat(target.constData(), &old) == 0)
        return old.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

QString writeAll(int fd, const QByteArray &content)
{
    const char *data = content.constData();
    qsizetype left = content.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, size_t(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return systemError(written < 0 ? errno : ENOSPC);
        data += written;
        left -= written;
    }
    // Space a file system reserves late shows up here rather than after the rename.
    if (::fsync(fd) != 0 && errno != EINVAL && errno != EROFS)
        return systemError(errno);
    return {};
}

} // namespace

QString ReplaceFile(const QString &path, const QByteArray &content)
{
    // A link to a regular file is followed, so the link stays; any other link is replaced.
    const QFileInfo info(path);
    const bool followLink = info.isSymLink() && QFileInfo(info.symLinkTarget()).isFile();
    const QByteArray target = QFile::encodeName(followLink ? info.symLinkTarget() : path);
    QDir().mkpath(QFileInfo(QFile::decodeName(target)).absolutePath()); // a per-user folder is made on the first save
    QByteArray temporary = target + ".XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return systemError(errno);
    // File systems without Unix permissions (FAT) refuse this; the content matters more.
    (void)::fchmod(fd, modeFor(target));
    QString failure = writeAll(fd, content);
    // A file system that writes late (NFS) reports its last failure at the close.
    if (::close(fd) != 0 && failure.isEmpty())
        failure = systemError(errno);
    if (failure.isEmpty() && ::rename(temporary.constData(), target.constData()) != 0)
        failure = systemError(errno);
    if (!failure.isEmpty())
        ::unlink(temporary.constData());
    return failure;
}
