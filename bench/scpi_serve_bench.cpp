// The SCPI server's throughput and the time it adds, with the simulated sensor in realistic
// timing (1 ms reply latency):
//   - READ? in a loop from one client: queries answered per second against the sensor's
//     conversion rate, at the fastest filter (500 conversions/s) and at range 0's default
//     filter (50/s); each READ? waits for a new average, so the ideal ratio is 1;
//   - round trip of *OPC? (no sensor involved) against a bare TCP echo on the same machine:
//     the difference is what the server's parsing and dispatch add.
#include "scpi/scpi_server.h"

#include <rfsense/rfsense.h>
#include <rfsim/rfsim.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr int32_t kFirstFilterIndex = 3; // range settings: gains 0..2, filters 3..5, lengths 6..8

int connect_to(int port) {
    const int socket = ::socket(AF_INET, SOCK_STREAM, 0);
    const int yes = 1;
    setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(socket, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0) {
        ::close(socket);
        return -1;
    }
    return socket;
}

// Sends one line and reads one reply line.
std::string ask(int socket, const std::string &line, std::string &pending) {
    const std::string message = line + "\n";
    if (::send(socket, message.data(), message.size(), MSG_NOSIGNAL) < 0) return {};
    while (true) {
        const auto end = pending.find('\n');
        if (end != std::string::npos) {
            std::string reply = pending.substr(0, end);
            pending.erase(0, end + 1);
            return reply;
        }
        char chunk[512];
        const ssize_t count = ::recv(socket, chunk, sizeof chunk, 0);
        if (count <= 0) return {};
        pending.append(chunk, static_cast<std::size_t>(count));
    }
}

double percentile(std::vector<double> values, double share) {
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(share * static_cast<double>(values.size() - 1))];
}

// Round trips of `query`, in microseconds.
std::vector<double> round_trips(int socket, const std::string &query, int count) {
    std::string pending;
    std::vector<double> times;
    for (int i = 0; i < count; ++i) {
        const auto start = Clock::now();
        if (ask(socket, query, pending).empty()) break;
        times.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    return times;
}

// A bare echo of each line on the loopback, the baseline of a round trip.
int start_echo(std::atomic<bool> &stop, std::thread &thread) {
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(listener, reinterpret_cast<sockaddr *>(&address), sizeof address);
    ::listen(listener, 1);
    socklen_t length = sizeof address;
    getsockname(listener, reinterpret_cast<sockaddr *>(&address), &length);
    thread = std::thread([listener, &stop] {
        const int client = ::accept(listener, nullptr, nullptr);
        const int yes = 1;
        setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
        char chunk[512];
        while (!stop) {
            const ssize_t count = ::recv(client, chunk, sizeof chunk, 0);
            if (count <= 0) break;
            ::send(client, chunk, static_cast<std::size_t>(count), MSG_NOSIGNAL);
        }
        ::close(client);
        ::close(listener);
    });
    return ntohs(address.sin_port);
}

} // namespace

int main() {
    setenv("RFSENSE_LINK", "sim", 1);
    unsetenv("RFSENSE_SIM");
    if (rfsim_configure("[device]\ntiming = realistic\nlatency_ms = 1\npower_dbm = 5\n") < 0) {
        std::fprintf(stderr, "scpi_serve_bench: %s\n", rfsim_error());
        return 1;
    }
    rfsense::scpi::SensorConnection sensor;
    rfsense::scpi::Instrument instrument(sensor);
    SensorRecord *record = sensor.get();
    if (record == nullptr || SensorRangeHold(record, 0) != SENSOR_DONE) {
        std::fprintf(stderr, "scpi_serve_bench: no simulated sensor\n");
        return 1;
    }
    rfsense::scpi::ServerOptions options;
    options.port = 0;
    rfsense::scpi::Server server(instrument, options);
    std::string error;
    if (!server.listen(error)) {
        std::fprintf(stderr, "scpi_serve_bench: %s\n", error.c_str());
        return 1;
    }
    std::atomic<bool> stop{false};
    std::thread serving([&] { server.run([&] { return stop.load(); }); });
    const int client = connect_to(server.port());

    bool all_met = true;
    struct Filter {
        int32_t code;
        double conversions;
    };
    for (const Filter filter : {Filter{0, 500.0}, Filter{4, 50.0}}) {
        // The server is idle between the runs: the session is set up from here.
        SensorFilterSettingsUpdate(record, kFirstFilterIndex, filter.code);
        std::string pending;
        for (int i = 0; i < 20; ++i) ask(client, "READ?", pending);
        long answered = 0;
        const auto start = Clock::now();
        while (Clock::now() - start < 2s) {
            if (ask(client, "READ?", pending).empty()) break;
            ++answered;
        }
        const double rate = static_cast<double>(answered) /
                            std::chrono::duration<double>(Clock::now() - start).count();
        const double ratio = rate / filter.conversions;
        all_met &= ratio >= 0.95;
        std::printf("scpi_serve READ? loop: %.1f queries/s at %g conversions/s (ratio %.3f; "
                    "target >= 0.95: %s)\n",
                    rate, filter.conversions, ratio, ratio >= 0.95 ? "met" : "NOT met");
    }

    const auto served = round_trips(client, "*OPC?", 5000);
    std::atomic<bool> stop_echo{false};
    std::thread echo_thread;
    const int echo = connect_to(start_echo(stop_echo, echo_thread));
    const auto bare = round_trips(echo, "*OPC?", 5000);
    stop_echo = true;
    ::close(echo);
    echo_thread.join();
    const double added = percentile(served, 0.5) - percentile(bare, 0.5);
    std::printf("scpi_serve *OPC? round trip: median %.1f us, p99 %.1f us; bare TCP echo: median "
                "%.1f us; added by the server: %.1f us (target < 200 us: %s)\n",
                percentile(served, 0.5), percentile(served, 0.99), percentile(bare, 0.5), added,
                added < 200.0 ? "met" : "NOT met");
    all_met &= added < 200.0;

    ::close(client);
    stop = true;
    serving.join();
    return all_met ? 0 : 2;
}
