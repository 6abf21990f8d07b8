#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <algorithm>
#include <cmath>
#include <vector>

namespace lirra::bench {

// The middle of the figures (the upper middle of an even count); NaN for none.
inline double median(std::vector<double> values)
{
    if (values.empty())
        return NAN;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// One of a process's memory figures in /proc/<pid>/status ("VmHWM:",
// "VmRSS:"), in MB: `pid` a child's, or "self"; 0 when it cannot be read.
inline double statusMb(const QByteArray &field, const QString &pid = QStringLiteral("self"))
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(field.size()).trimmed().split(' ').value(0).toDouble() / 1024.0;
    }
    return 0;
}

// A process's peak resident set so far, in MB.
inline double peakRssMb(const QString &pid = QStringLiteral("self"))
{
    return statusMb("VmHWM:", pid);
}

} // namespace lirra::bench
