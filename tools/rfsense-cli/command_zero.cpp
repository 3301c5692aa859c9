// `zero`: zeroes the sensor and shows the offsets it measured. The zero lives in the session, so
// this checks that a zero is accepted; `read --zero` measures with a fresh one.
#include "commands.h"

#include "diagnostics.h"
#include "session.h"
#include "zero_procedure.h"

#include <cstdio>

namespace rfsense::cli {

ExitStatus run_zero(const CommandLine &line) {
    Session session;
    if (const ExitStatus status = session.open(line.global); status != ExitStatus::ok)
        return status;
    SensorRecord *record = session.record();

    if (const ExitStatus status = zero_sensor(record); status != ExitStatus::ok) return status;

    double range2 = 0.0;
    double range1 = 0.0;
    double range0 = 0.0;
    if (SensorZeroRangeValues(record, &range2, &range1, &range0) != SENSOR_DONE)
        return report_sensor_lost();
    std::printf("zero accepted\n");
    std::printf("range 0 zero offset: %.6e V\n", range0);
    std::printf("range 1 zero offset: %.6e V\n", range1);
    std::printf("range 2 zero offset: %.6e V\n", range2);
    if (std::fflush(stdout) != 0) {
        report_error("cannot write the zero result");
        return ExitStatus::output_failed;
    }
    return ExitStatus::ok;
}

} // namespace rfsense::cli
