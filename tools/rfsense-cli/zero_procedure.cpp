#include "zero_procedure.h"

#include "diagnostics.h"
#include "platform.h"
#include "progress.h"
#include "session.h"

namespace rfsense::cli {

namespace {

// A zero takes 150 steps: 50 conversions in each of the three ranges.
constexpr int zero_steps = 150;
// A zero that has not ended after many times its length never will.
constexpr int step_limit = 20 * zero_steps;

} // namespace

ExitStatus zero_sensor(SensorRecord *record) {
    Progress progress("zeroing", zero_steps, platform::stderr_is_terminal());
    ZeroTickState state{};
    int32_t result = SENSOR_ZERO_IN_PROGRESS;
    int steps = 0;
    while (result == SENSOR_ZERO_IN_PROGRESS) {
        if (const int signal_number = platform::stop_signal(); signal_number != 0) {
            progress.finish();
            report_error("zero interrupted");
            return static_cast<ExitStatus>(exit_code(ExitStatus::interrupted_base) + signal_number);
        }
        if (steps == step_limit) {
            progress.finish();
            report_error("zero did not finish");
            return ExitStatus::sensor_lost;
        }
        result = SensorZeroTick(record, &state);
        progress.advance_to(++steps);
    }
    progress.finish();
    switch (result) {
    case SENSOR_DONE:
        return ExitStatus::ok;
    case SENSOR_ZERO_TOO_LARGE:
        report_error("zero too large: check no power is applied");
        if (simulated_bus())
            report_hint("The simulated sensor has RF power applied. Zero it with none: put\n"
                        "'power_dbm = off' in a simulator configuration FILE and give "
                        "--simulate=FILE.");
        return ExitStatus::zero_rejected;
    case SENSOR_NOT_CONNECTED:
        return report_sensor_lost();
    default:
        report_error("zero ended with unexpected result " + std::to_string(result));
        return ExitStatus::sensor_lost;
    }
}

} // namespace rfsense::cli
