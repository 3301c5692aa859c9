// `info`: who the sensor is and what calibration data it carries.
#include "commands.h"

#include "diagnostics.h"
#include "session.h"
#include "units_text.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <span>
#include <string>

namespace rfsense::cli {

namespace {

constexpr std::size_t serial_size = 20;
constexpr std::size_t model_text_size = 28;
constexpr std::size_t identity_size = 20;
constexpr std::size_t revision_size = 20;
constexpr int table_capacity = 46;

void field(const char *name, const std::string &value) {
    std::printf("%-18s %s\n", (std::string(name) + ":").c_str(), value.c_str());
}

} // namespace

ExitStatus run_info(const CommandLine &line) {
    Session session;
    if (const ExitStatus status = session.open(line.global); status != ExitStatus::ok)
        return status;
    SensorRecord *record = session.record();

    char serial[serial_size] = {};
    char model[model_text_size] = {};
    char identity[identity_size] = {};
    char library[revision_size] = {};
    int32_t diode_serial = 0;
    int32_t k_factor = 0;
    if (SensorDetails(record, serial, model) != SENSOR_DONE ||
        SensorFW_Revision(record, identity) != SENSOR_DONE ||
        SensorDiodeSN_K(record, &diode_serial, &k_factor) != SENSOR_DONE)
        return report_sensor_lost();
    SensorDLL_Revision(library);

    field("model", model);
    field("serial", serial);
    field("firmware", identity);
    field("diode serial", std::to_string(diode_serial));
    field("diode K factor", std::to_string(k_factor));
    field("library", library);

    if (line.info.table) {
        int32_t count = 0;
        std::array<double, table_capacity> frequencies{};
        std::array<double, table_capacity> factors{};
        if (SensorFreqCfTableQuery(record, &count, frequencies.data(), factors.data()) !=
            SENSOR_DONE)
            return report_sensor_lost();
        if (count < 0 || count > table_capacity) count = 0;
        // Models without a table (RX6) report points with no frequency: not a table to show.
        const auto points = std::span(frequencies).first(static_cast<std::size_t>(count));
        if (std::none_of(points.begin(), points.end(), [](double hz) { return hz > 0.0; })) {
            std::printf("\ncal factor table:  none (this model has no cal factor table)\n");
        } else {
            std::printf("\ncal factor table (%d points):\n", count);
            std::printf("%14s  %9s\n", "frequency", "factor");
            for (int32_t i = 0; i < count; ++i) {
                const auto at = static_cast<std::size_t>(i);
                std::printf("%14s  %7.2f %%\n", format_frequency(frequencies[at]).c_str(),
                            factors[at] * 100.0);
            }
        }
    }
    if (std::fflush(stdout) != 0) {
        report_error("cannot write the sensor details");
        return ExitStatus::output_failed;
    }
    return ExitStatus::ok;
}

} // namespace rfsense::cli
