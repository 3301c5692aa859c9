#include "power_chain.h"

#include "channel.h"
#include "convert.h"

#include <chrono>
#include <cmath>
#include <mutex>

namespace rfsense::chain {

namespace {

// How often a wait for the next average looks whether the reader has parked meanwhile.
constexpr auto average_wait_slice = std::chrono::milliseconds(50);

} // namespace

bool wait_for_average(SensorRecord &record) {
    for (;;) {
        if (record.measurement_event.wait_for(record.connected, average_wait_slice)) return true;
        if (record.connected.load() == 0) return false;
        // No new average comes from a parked reader: the last one stands, while the sensor is
        // still there.
        if (channel::reader_parked(record)) return channel::still_attached(record);
    }
}

double absolute_dbm(SensorRecord &record, double averaged_volts) {
    double p = convert::volts_to_dbm(record, std::fabs(averaged_volts));
    if (record.model_index != 5) p -= 10.0 * std::log10(record.cal_factor.load());
    if (record.linearity_on.load() != 0 && record.linearity_applicable.load() != 0) {
        std::lock_guard lock(record.conversion);
        p -= convert::linearity_correction(record.linearity_table, record.frequency.load() * 1e-9,
                                           p, &record.linearity_working);
    }
    if (record.offset_on.load() != 0) p += record.offset_db.load();
    return p;
}

double log_value(SensorRecord &record, double averaged_volts) {
    double p = absolute_dbm(record, averaged_volts);
    if (record.relative_on.load() != 0) p -= record.relative_dbm.load();
    return p;
}

double lin_value(SensorRecord &record, double averaged_volts) {
    double mw = std::pow(10.0, absolute_dbm(record, averaged_volts) / 10.0);
    if (averaged_volts < 0) mw = -mw;
    if (record.relative_on.load() != 0) mw = mw / record.relative_mw.load() * 100.0;
    return mw;
}

namespace {

int result_code(const SensorRecord &record) {
    return record.over_range.load() != 0 ? 2 : 1;
}

} // namespace

int read_log(SensorRecord &record, double &dbm) {
    if (record.trigger_mode.load() == 0 && !wait_for_average(record)) return 0;
    if (record.connected.load() == 0) return 0;
    dbm = log_value(record, record.averaged_volts.load());
    return result_code(record);
}

int read_lin(SensorRecord &record, double &value) {
    const bool immediate = record.immediate.exchange(0) != 0;
    if (!immediate && record.trigger_mode.load() == 0 && !wait_for_average(record)) return 0;
    if (record.connected.load() == 0) return 0;
    value = lin_value(record, record.averaged_volts.load());
    return result_code(record);
}

} // namespace rfsense::chain
