#pragma once

// The memory of this process as /proc tells it, for the probes that print
// the peak a window takes.
#include <QFile>

namespace tavolux::bench {

// A field of /proc/self/status in kB ("VmRSS:", "VmHWM:"), -1 when unknown.
inline long statusKb(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(int(qstrlen(field))).trimmed().split(' ').first().toLong();
    return -1;
}

// Resets the high-water mark, so that the next peak is what follows; gives
// the resident memory now, in kB.
inline long resetPeak()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
    clear.close();
    return statusKb("VmRSS:");
}

} // namespace tavolux::bench
