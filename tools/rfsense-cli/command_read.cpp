// `read`: a number of readings, or readings until a stop signal, in the chosen unit and format.
#include "commands.h"

#include "diagnostics.h"
#include "measurement_settings.h"
#include "platform.h"
#include "reading_output.h"
#include "session.h"
#include "settling.h"
#include "zero_procedure.h"

#include "meterdesk/core/reading_log.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>

namespace rfsense::cli {

namespace {

constexpr int default_decimals = 3;
// In relative mode the library gives the percentage scaled like watts (percent × 0.001).
constexpr double relative_percent_scale = 1000.0;

Quantity quantity_of(const ReadOptions &options) {
    switch (options.unit) {
    case Unit::dbm:
        return options.relative ? Quantity::relative_db : Quantity::dbm;
    case Unit::watts:
        return options.relative ? Quantity::relative_percent : Quantity::watts;
    case Unit::volts:
        break;
    }
    return Quantity::volts;
}

// Waits for the next average and takes it. False when the sensor has gone.
bool take_reading(SensorRecord *record, Quantity quantity, Reading &reading) {
    int32_t result = SENSOR_NOT_CONNECTED;
    double value = 0.0;
    switch (quantity) {
    case Quantity::dbm:
    case Quantity::relative_db:
        result = SensorPowerLog(record, &value);
        break;
    case Quantity::watts:
    case Quantity::relative_percent:
        result = SensorPowerLin(record, &value);
        if (quantity == Quantity::relative_percent) value *= relative_percent_scale;
        break;
    case Quantity::volts: {
        result = SensorVolts(record, &value);
        unsigned char over_range = 0;
        if (result != SENSOR_NOT_CONNECTED && SensorConnected(record, &over_range) != 0)
            result = over_range != 0 ? SENSOR_OVER_RANGE : SENSOR_DONE;
        else
            result = SENSOR_NOT_CONNECTED;
        break;
    }
    }
    if (result == SENSOR_NOT_CONNECTED) return false;
    reading.value = value;
    reading.over_range = result == SENSOR_OVER_RANGE;
    reading.taken = std::chrono::system_clock::now();
    return true;
}

ExitStatus report_output_failure() {
    // A reader that went away (`rfsense read -c | head`) is not worth a message.
    if (errno != EPIPE)
        report_error(std::string("cannot write the readings: ") + std::strerror(errno));
    return ExitStatus::output_failed;
}

meterdesk::LogUnit log_unit_of(Quantity quantity) {
    switch (quantity) {
    case Quantity::dbm:
        return meterdesk::LogUnit::kDbm;
    case Quantity::relative_db:
        return meterdesk::LogUnit::kDb;
    case Quantity::watts:
        return meterdesk::LogUnit::kWatts;
    case Quantity::relative_percent:
        return meterdesk::LogUnit::kPercent;
    case Quantity::volts:
        break;
    }
    return meterdesk::LogUnit::kVolts;
}

ExitStatus report_log_failure(const std::string &file, const std::string &reason,
                              std::uint64_t saved) {
    report_error("cannot write the log " + file + ": " + reason + "; " + std::to_string(saved) +
                 " readings saved");
    return ExitStatus::output_failed;
}

// The --output log: every reading also goes to the file, written and forced to the disk by its
// own thread; on a terminal its count is shown once a second.
class OutputLog {
  public:
    explicit OutputLog(std::optional<std::string> file) : file_(std::move(file)) {}

    bool wanted() const { return file_.has_value(); }

    ExitStatus start() {
        if (!file_) return ExitStatus::ok;
        if (auto refused = log_.start(*file_)) return report_log_failure(*file_, *refused, 0);
        shown_ = std::chrono::steady_clock::now();
        terminal_ = platform::stderr_is_terminal();
        return ExitStatus::ok;
    }

    ExitStatus add(const Reading &reading, Quantity quantity) {
        if (!file_) return ExitStatus::ok;
        if (!log_.log(reading.value, log_unit_of(quantity), reading.over_range)) return failed();
        if (terminal_) {
            const auto now = std::chrono::steady_clock::now();
            if (now - shown_ >= std::chrono::seconds(1)) {
                std::fprintf(stderr, "logging to %s: %llu readings\n", file_->c_str(),
                             static_cast<unsigned long long>(log_.accepted()));
                shown_ = now;
            }
        }
        return ExitStatus::ok;
    }

    // Writes the rest and forces it to the disk.
    ExitStatus finish() {
        if (!file_) return ExitStatus::ok;
        log_.stop();
        if (log_.failure()) return failed();
        return ExitStatus::ok;
    }

  private:
    ExitStatus failed() {
        log_.stop();
        const auto failure = log_.failure();
        return report_log_failure(*file_, failure ? failure->reason : "the log stopped",
                                  log_.saved());
    }

    std::optional<std::string> file_;
    meterdesk::ReadingLog log_;
    std::chrono::steady_clock::time_point shown_;
    bool terminal_ = false;
};

// Stopping is how a continuous read ends; any other read was cut short.
ExitStatus stopped_status(const ReadOptions &options) {
    if (options.continuous) return ExitStatus::ok;
    return static_cast<ExitStatus>(exit_code(ExitStatus::interrupted_base) +
                                   platform::stop_signal());
}

} // namespace

ExitStatus run_read(const CommandLine &line) {
    const ReadOptions &options = line.read;
    Session session;
    if (const ExitStatus status = session.open(line.global); status != ExitStatus::ok)
        return status;
    SensorRecord *record = session.record();

    if (options.zero_first) {
        if (const ExitStatus status = zero_sensor(record); status != ExitStatus::ok) return status;
    }
    if (const ExitStatus status = apply_settings(session, options); status != ExitStatus::ok)
        return status;
    const Quantity quantity = quantity_of(options);
    const int decimals =
        options.resolution ? static_cast<int>(*options.resolution) : default_decimals;
    ReadingWriter writer(stdout, options.format, quantity, decimals);
    errno = 0;
    if (!writer.begin()) return report_output_failure();
    OutputLog log(options.output);
    if (const ExitStatus status = log.start(); status != ExitStatus::ok) return status;

    switch (wait_for_settled_average(record)) {
    case Settling::settled:
        break;
    case Settling::stopped:
        return stopped_status(options);
    case Settling::lost:
        return report_sensor_lost();
    }
    if (options.relative) {
        // The next average, a settled one, becomes the reference; readings then show the
        // change from it.
        if (SensorRelativeState(record, 1) == SENSOR_NOT_CONNECTED ||
            SensorRelativeSet(record) != SENSOR_DONE)
            return report_sensor_lost();
    }

    for (long taken = 0; options.continuous || taken < options.count; ++taken) {
        if (platform::stop_signal() != 0) break;
        Reading reading;
        if (!take_reading(record, quantity, reading)) {
            (void)log.finish(); // what was read stays in the log
            return report_sensor_lost();
        }
        if (const ExitStatus status = log.add(reading, quantity); status != ExitStatus::ok)
            return status;
        errno = 0;
        if (!writer.write(reading)) return report_output_failure();
    }
    if (const ExitStatus status = log.finish(); status != ExitStatus::ok) return status;

    return platform::stop_signal() != 0 ? stopped_status(options) : ExitStatus::ok;
}

} // namespace rfsense::cli
