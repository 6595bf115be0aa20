#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>

// A folder of the fuzzing process's own where each input is written as a file, since
// the program reads its files by path; in memory where possible, as every save syncs.
inline const QTemporaryDir &FuzzFolder()
{
    static const QTemporaryDir folder(QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm/fuzz-XXXXXX")
                                                                                 : QDir::tempPath() + QStringLiteral("/fuzz-XXXXXX"));
    return folder;
}

inline QString WriteFuzzFile(const QString &name, const uint8_t *data, size_t size)
{
    const QString path = FuzzFolder().filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || file.write(reinterpret_cast<const char *>(data), qint64(size)) != qint64(size))
        std::abort();
    return path;
}

// A broken promise of the code under test: libFuzzer keeps the input that caused it.
inline void Require(bool holds)
{
    if (!holds)
        std::abort();
}
