// CPU time the whole process has used so far (user + system), for the benchmarks' CPU figures.
#pragma once

#include <sys/resource.h>
#include <sys/time.h>

inline double process_cpu_seconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval &t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) * 1e-6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}
