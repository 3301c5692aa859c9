// reading_log_bench: the data log's throughput, the producer's cost per reading and the memory
// it holds, logging 10 million readings to a file in the temporary folder.
//
// The producer runs as fast as the log takes readings (it backs off while the queue is more
// than half full), so the rate printed is what the writer thread sustains to the disk.
#include "meterdesk/core/reading_log.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace {

long resident_kib() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    return -1;
}

} // namespace

int main(int argc, char **argv) {
    const long total = argc > 1 ? std::stol(argv[1]) : 10'000'000;
    const auto file = std::filesystem::temp_directory_path() / "reading_log_bench.csv";
    std::filesystem::remove(file);

    meterdesk::ReadingLog log;
    if (auto refused = log.start(file.string())) {
        std::fprintf(stderr, "cannot start the log: %s\n", refused->c_str());
        return 1;
    }
    const long rss_before = resident_kib();
    std::vector<double> cost_ns;
    cost_ns.reserve(static_cast<std::size_t>(total / 100 + 1));
    const auto begin = std::chrono::steady_clock::now();
    long rss_after_first_million = -1;
    for (long i = 0; i < total; ++i) {
        while (log.queued() > log.capacity() / 2)
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        if (i % 100 == 0) {
            const auto t0 = std::chrono::steady_clock::now();
            if (!log.log(-10.0 + static_cast<double>(i % 1000) * 0.001, meterdesk::LogUnit::kDbm,
                         false))
                break;
            const auto t1 = std::chrono::steady_clock::now();
            cost_ns.push_back(std::chrono::duration<double, std::nano>(t1 - t0).count());
        } else if (!log.log(-10.0, meterdesk::LogUnit::kDbm, false)) {
            break;
        }
        if (i == 1'000'000) rss_after_first_million = resident_kib();
    }
    log.stop();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    const long rss_end = resident_kib();
    if (log.failure()) std::printf("log failed: %s\n", log.failure()->reason.c_str());

    std::sort(cost_ns.begin(), cost_ns.end());
    auto quantile = [&](double q) {
        return cost_ns.empty()
                   ? 0.0
                   : cost_ns[static_cast<std::size_t>(q * static_cast<double>(cost_ns.size() - 1))];
    };
    std::printf("readings logged       %llu of %ld\n", static_cast<unsigned long long>(log.saved()),
                total);
    std::printf("rate to the disk      %.0f readings/s\n",
                static_cast<double>(log.saved()) / seconds);
    std::printf("producer per reading  median %.0f ns, p99.9 %.0f ns, max %.0f ns\n", quantile(0.5),
                quantile(0.999), cost_ns.empty() ? 0.0 : cost_ns.back());
    std::printf("resident memory       start %ld KiB, after 1 M %ld KiB, end %ld KiB "
                "(growth after the first million: %ld KiB)\n",
                rss_before, rss_after_first_million, rss_end, rss_end - rss_after_first_million);
    std::printf("file size             %.1f MB\n",
                static_cast<double>(std::filesystem::file_size(file)) / 1e6);
    std::filesystem::remove(file);
    return 0;
}
