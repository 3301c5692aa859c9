// Exports of power readings and corrections.
#include "convert.h"
#include "export_checks.h"
#include "models.h"
#include "power_chain.h"
#include "power_text.h"

#include <rfsense/rfsense.h>

#include <cmath>
#include <cstdint>
#include <mutex>

using rfsense::is_connected;
using rfsense::within;
namespace chain = rfsense::chain;
namespace convert = rfsense::convert;

namespace {

constexpr int32_t table_entries = 46;

uint8_t flag(unsigned char on) {
    return on != 0 ? 1 : 0;
}

} // namespace

extern "C" {

int32_t SensorPowerLog(SensorRecord *record, double *dbm) {
    if (!is_connected(record)) return 0;
    return chain::read_log(*record, *dbm);
}

int32_t SensorPowerLin(SensorRecord *record, double *watts) {
    if (!is_connected(record)) return 0;
    double value = 0;
    const int32_t result = chain::read_lin(*record, value);
    if (result != 0) *watts = value * 0.001;
    return result;
}

int32_t SensorPowerLogStr(SensorRecord *record, char *text) {
    if (!is_connected(record)) return 0;
    double dbm = 0;
    const int32_t result = chain::read_log(*record, dbm);
    if (result != 0)
        rfsense::text::format_log(text, dbm, record->string_resolution.load(),
                                  record->relative_on.load() != 0);
    return result;
}

int32_t SensorPowerLinStr(SensorRecord *record, char *text) {
    if (!is_connected(record)) return 0;
    double value = 0;
    const int32_t result = chain::read_lin(*record, value);
    if (result != 0)
        rfsense::text::format_lin(text, value, record->string_resolution.load(),
                                  record->relative_on.load() != 0);
    return result;
}

int32_t SensorStrResolution(SensorRecord *record, int32_t decimals) {
    if (!is_connected(record)) return 0;
    if (decimals < 0 || decimals > 3) return SENSOR_RESOLUTION_OUT_OF_RANGE;
    record->string_resolution = decimals;
    return 1;
}

int32_t SensorOffset(SensorRecord *record, double db) {
    if (!is_connected(record)) return 0;
    if (!within(db, -50, 100)) return SENSOR_OFFSET_OUT_OF_RANGE;
    record->offset_db = db;
    return 1;
}

int32_t SensorOffsetState(SensorRecord *record, unsigned char on) {
    if (!is_connected(record)) return 0;
    record->offset_on = flag(on);
    return 1;
}

int32_t SensorDutyCycle(SensorRecord *record, double percent) {
    if (!is_connected(record)) return 0;
    // 0 % would divide the detector voltage by zero; it is refused like any value outside.
    if (!within(percent, 0, 100) || percent == 0) return SENSOR_DUTY_CYCLE_OUT_OF_RANGE;
    record->duty_cycle = percent;
    return 1;
}

int32_t SensorDutyCycleState(SensorRecord *record, unsigned char on) {
    if (!is_connected(record)) return 0;
    record->duty_on = flag(on);
    return 1;
}

int32_t SensorRelativeSet(SensorRecord *record) {
    if (!is_connected(record)) return 0;
    if (record->relative_on.load() == 0) return SENSOR_RELATIVE_OFF;
    if (record->trigger_mode.load() == 0 && !chain::wait_for_average(*record)) return 0;
    if (!is_connected(record)) return 0;
    // The reference is the absolute reading, so setting it again on the same level still
    // reads 0 dB.
    const double dbm = chain::absolute_dbm(*record, record->averaged_volts.load());
    record->relative_dbm = dbm;
    record->relative_mw = std::pow(10.0, dbm / 10.0);
    return 1;
}

int32_t SensorRelativeState(SensorRecord *record, unsigned char on) {
    if (!is_connected(record)) return 0;
    record->relative_on = flag(on);
    return 1;
}

int32_t SensorRelativeLevelQuery(SensorRecord *record, double *dbm, double *mw) {
    if (!is_connected(record)) return 0;
    *dbm = record->relative_dbm.load();
    *mw = record->relative_mw.load();
    return 1;
}

int32_t SensorRelativeManualSet(SensorRecord *record, double dbm, double mw) {
    if (!is_connected(record)) return 0;
    record->relative_dbm = dbm;
    record->relative_mw = mw;
    return 1;
}

int32_t SensorFrequency(SensorRecord *record, double hz) {
    if (!is_connected(record)) return 0;
    const auto &model = rfsense::models::model(record->model_index);
    if (!within(hz, model.min_hz, model.max_hz)) return SENSOR_FREQUENCY_OUT_OF_RANGE;
    record->frequency = hz;
    convert::frequency_changed(*record);
    return 1;
}

int32_t SensorCalFactor(SensorRecord *record, double percent) {
    if (!is_connected(record)) return 0;
    if (!within(percent, 50, 150)) return SENSOR_CAL_FACTOR_OUT_OF_RANGE;
    record->cal_factor = percent * 0.01;
    return 1;
}

int32_t SensorCfQuery(SensorRecord *record, double *fraction) {
    if (!is_connected(record)) return 0;
    *fraction = record->model_index == 5 ? 1.0 : record->cal_factor.load();
    return 1;
}

int32_t SensorFreqCfTableQuery(SensorRecord *record, int32_t *count, double *frequencies,
                               double *factors) {
    if (!is_connected(record)) return 0;
    const int32_t n = rfsense::models::model(record->model_index).reported_points;
    std::lock_guard lock(record->conversion);
    for (size_t i = 0; i < static_cast<size_t>(n); ++i) {
        frequencies[i] = record->frequency_table[i];
        factors[i] = record->cal_factor_table[i];
    }
    *count = n;
    return 1;
}

int32_t SensorTableUpdate(SensorRecord *record, int32_t index, double factor) {
    if (!is_connected(record)) return 0;
    // Only the table's 46 entries exist; any other index changes nothing.
    if (index < 0 || index >= table_entries) return SENSOR_RANGE_OUT_OF_RANGE;
    {
        std::lock_guard lock(record->conversion);
        record->cal_factor_table[static_cast<size_t>(index)] = factor;
    }
    convert::recompute_cal_factor(*record);
    return 1;
}

int32_t SensorSettings(SensorRecord *record, SensorSettingsRecord *settings) {
    if (!is_connected(record)) return 0;
    settings->frequency = record->frequency.load();
    settings->cal_factor = record->cal_factor.load() * 100.0;
    settings->offset = record->offset_db.load();
    settings->offset_on = record->offset_on.load();
    settings->duty_cycle = record->duty_cycle.load();
    settings->duty_on = record->duty_on.load();
    settings->relative_dbm = record->relative_dbm.load();
    settings->relative_mw = record->relative_mw.load();
    settings->relative_on = record->relative_on.load();
    settings->zeroed = record->zeroed.load();
    return 1;
}

int32_t SensorVoltsToPower(SensorRecord *record, double volts, double *dbm) {
    if (!is_connected(record)) return 0;
    *dbm = convert::volts_to_dbm(*record, volts);
    return 1;
}

int32_t SensorTempComp(SensorRecord *record, unsigned char on) {
    if (!is_connected(record)) return 0;
    if (on != 0) {
        record->temp_comp_on = 1;
        record->temperature_update_due = 1;
    } else {
        record->temp_comp_on = 0;
        record->threshold_power_w = record->threshold_power_uncompensated_w.load();
    }
    return 1;
}

int32_t SensorTempCompGetPrams(SensorRecord *record, double *working_set) {
    if (!is_connected(record)) return 0;
    std::lock_guard lock(record->conversion);
    for (size_t i = 0; i < 9; ++i) working_set[i] = record->temp_comp_working[i];
    return 1;
}

int32_t SensorLinCor(SensorRecord *record, unsigned char on) {
    if (!is_connected(record)) return 0;
    if (record->linearity_loaded.load() == 0) return SENSOR_NO_LINEARITY_TABLE;
    record->linearity_on = flag(on);
    return 1;
}

int32_t SensorLinCorGetPrams(SensorRecord *record, double *working_set) {
    if (!is_connected(record)) return 0;
    if (record->linearity_loaded.load() == 0) return SENSOR_NO_LINEARITY_TABLE;
    const bool applicable = record->linearity_applicable.load() != 0;
    std::lock_guard lock(record->conversion);
    for (size_t i = 0; i < 9; ++i) working_set[i] = applicable ? record->linearity_working[i] : 0.0;
    return 1;
}

} // extern "C"
