#include "measurement_settings.h"

#include "diagnostics.h"
#include "units_text.h"

#include <cstdio>

namespace rfsense::cli {

namespace {

std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

// Turns a library result into the command's outcome; `refusal` is the message for `refused`.
ExitStatus judge(int32_t result, int32_t refused, const std::string &refusal) {
    if (result == SENSOR_DONE) return ExitStatus::ok;
    if (result == SENSOR_NOT_CONNECTED) return report_sensor_lost();
    if (result == refused) {
        report_error(refusal);
        return ExitStatus::value_refused;
    }
    report_error("unexpected result " + std::to_string(result) + " while applying settings");
    return ExitStatus::value_refused;
}

ExitStatus switch_on(int32_t result) {
    if (result == SENSOR_NOT_CONNECTED) return report_sensor_lost();
    return ExitStatus::ok;
}

} // namespace

ExitStatus apply_settings(Session &session, const ReadOptions &options) {
    SensorRecord *record = session.record();
    ExitStatus status = ExitStatus::ok;

    if (options.frequency_hz) {
        const double hz = *options.frequency_hz;
        status = judge(SensorFrequency(record, hz), SENSOR_FREQUENCY_OUT_OF_RANGE,
                       "frequency " + format_frequency(hz) + " refused: this sensor accepts " +
                           session.frequency_span());
        if (status != ExitStatus::ok) return status;
    }
    if (options.cal_factor_percent) {
        const double percent = *options.cal_factor_percent;
        status = judge(SensorCalFactor(record, percent), SENSOR_CAL_FACTOR_OUT_OF_RANGE,
                       "cal factor " + number(percent) + " % refused: must be 50 to 150 %");
        if (status != ExitStatus::ok) return status;
    }
    if (options.offset_db) {
        const double db = *options.offset_db;
        status = judge(SensorOffset(record, db), SENSOR_OFFSET_OUT_OF_RANGE,
                       "offset " + number(db) + " dB refused: must be -50 to 100 dB");
        if (status == ExitStatus::ok) status = switch_on(SensorOffsetState(record, 1));
        if (status != ExitStatus::ok) return status;
    }
    if (options.duty_percent) {
        const double percent = *options.duty_percent;
        const std::string refusal =
            "duty cycle " + number(percent) + " % refused: must be above 0 and at most 100 %";
        // A duty cycle of 0 % would divide every reading by zero.
        status =
            percent > 0.0
                ? judge(SensorDutyCycle(record, percent), SENSOR_DUTY_CYCLE_OUT_OF_RANGE, refusal)
                : judge(SENSOR_DUTY_CYCLE_OUT_OF_RANGE, SENSOR_DUTY_CYCLE_OUT_OF_RANGE, refusal);
        if (status == ExitStatus::ok) status = switch_on(SensorDutyCycleState(record, 1));
        if (status != ExitStatus::ok) return status;
    }
    if (options.resolution) {
        const long decimals = *options.resolution;
        // The library keeps the decimals in an i32; anything beyond that is refused here alike.
        const auto value = static_cast<int32_t>(decimals < -1 || decimals > 99 ? -1 : decimals);
        status =
            judge(SensorStrResolution(record, value), SENSOR_RESOLUTION_OUT_OF_RANGE,
                  "resolution " + std::to_string(decimals) + " refused: must be 0 to 3 decimals");
        if (status != ExitStatus::ok) return status;
    }
    return ExitStatus::ok;
}

} // namespace rfsense::cli
