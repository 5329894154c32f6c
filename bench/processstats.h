#pragma once
// This process's CPU time and memory, for the window's load and soak runs.
#include <QFile>

#include <sys/resource.h>
#include <unistd.h>

inline double cpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

inline double residentMb() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly)) return 0;
    const auto fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toDouble() * double(::getpagesize()) / 1e6 : 0;
}

inline double peakMb() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) * 1024 / 1e6; // kilobytes of 1024 bytes
}
