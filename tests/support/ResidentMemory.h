#pragma once

#include <QFile>

// AddressSanitizer serves blocks from an allocator of its own, which holds freed ones back
// on purpose: what the program asks of the system heap is not seen there.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool systemHeapInUse = false;
#else
inline constexpr bool systemHeapInUse = true;
#endif

// This process's resident memory in megabytes, as the system counts it; -1 when unknown.
[[nodiscard]] inline double residentMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024;
    return -1;
}
