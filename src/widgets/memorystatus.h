#pragma once

// The machine's memory as the about box shows it.

#include <QByteArrayView>
#include <QString>

class QLocale;

struct MemoryStatus
{
    quint64 totalBytes = 0; // physical memory
    int loadPercent = 0;    // share of it in use, 0 to 100
};

// From the text of /proc/meminfo: MemTotal, and in use what MemAvailable
// leaves (MemFree, Buffers and Cached on kernels without it). Missing or
// garbled figures give zeros.
MemoryStatus parseMemInfo(QByteArrayView text);
// /proc/meminfo, or sysinfo() where that cannot be read.
MemoryStatus currentMemoryStatus();

// "16,318,012 KB": the kibibytes, rounded, with the locale's group separators.
QString physicalMemoryText(quint64 totalBytes, const QLocale &locale);
// "42 %"
QString memoryLoadText(int loadPercent);
