#include "widgets/memorystatus.h"

#include <QFile>
#include <QLocale>

#include <algorithm>
#include <optional>

#include <sys/sysinfo.h>

namespace {

// The figure of a "Name:   1234 kB" line in bytes, or nothing.
std::optional<quint64> field(QByteArrayView text, QByteArrayView name)
{
    const QList<QByteArray> lines = text.toByteArray().split('\n');
    for (const QByteArray &line : lines) {
        if (!line.startsWith(name) || line.size() <= name.size() || line.at(name.size()) != ':')
            continue;
        const QByteArray rest = line.mid(name.size() + 1).trimmed();
        const qsizetype space = rest.indexOf(' ');
        const bool kibibytes = space >= 0 && rest.mid(space + 1).trimmed() == "kB";
        bool ok = false;
        const quint64 value = rest.left(space < 0 ? rest.size() : space).toULongLong(&ok);
        // No machine has 2^54 bytes; a larger figure is garbage, and would
        // overflow once turned into bytes.
        if (!ok || value > (quint64(1) << 44))
            return std::nullopt;
        return kibibytes ? value * 1024 : value;
    }
    return std::nullopt;
}

int loadOf(quint64 total, quint64 available)
{
    if (total == 0)
        return 0;
    available = std::min(available, total);
    return int(((total - available) * 100 + total / 2) / total);
}

} // namespace

MemoryStatus parseMemInfo(QByteArrayView text)
{
    MemoryStatus status;
    const std::optional<quint64> total = field(text, "MemTotal");
    if (!total)
        return status;
    status.totalBytes = *total;
    std::optional<quint64> available = field(text, "MemAvailable");
    if (!available) {
        const quint64 free = field(text, "MemFree").value_or(0);
        available = free + field(text, "Buffers").value_or(0) + field(text, "Cached").value_or(0);
    }
    status.loadPercent = loadOf(*total, *available);
    return status;
}

MemoryStatus currentMemoryStatus()
{
    QFile file(QStringLiteral("/proc/meminfo"));
    // A /proc file reports size 0; read until the end.
    if (file.open(QIODevice::ReadOnly)) {
        const MemoryStatus status = parseMemInfo(file.readAll());
        if (status.totalBytes > 0)
            return status;
    }
    struct sysinfo info {};
    if (sysinfo(&info) != 0)
        return {};
    const quint64 unit = info.mem_unit ? info.mem_unit : 1;
    MemoryStatus status;
    status.totalBytes = quint64(info.totalram) * unit;
    status.loadPercent = loadOf(status.totalBytes, (quint64(info.freeram) + info.bufferram) * unit);
    return status;
}

QString physicalMemoryText(quint64 totalBytes, const QLocale &locale)
{
    return locale.toString(qulonglong((totalBytes + 512) / 1024)) + QStringLiteral(" KB");
}

QString memoryLoadText(int loadPercent)
{
    return QString::number(loadPercent) + QStringLiteral(" %");
}
