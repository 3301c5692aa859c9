// Two-sensor arithmetic: differences and ratios of the readings of sensors A and B.
#include "export_checks.h"
#include "power_chain.h"

#include <rfsense/rfsense.h>

#include <cmath>
#include <cstdint>

namespace chain = rfsense::chain;

namespace {

enum class Chain { log, lin };

struct Pair {
    int32_t result = 0;
    double a = 0;
    double b = 0;
};

// Reads A, then B, each through its own chain. Result 15 or 16 when A or B is not connected
// (or is lost while waiting), else 3 / 4 for an over-range A / B, else 1.
Pair read_pair(SensorRecord *a, SensorRecord *b, Chain kind) {
    Pair pair;
    if (!rfsense::is_connected(a)) {
        pair.result = SENSOR_A_NOT_CONNECTED;
        return pair;
    }
    if (!rfsense::is_connected(b)) {
        pair.result = SENSOR_B_NOT_CONNECTED;
        return pair;
    }
    const auto read = [kind](SensorRecord &record, double &value) {
        return kind == Chain::log ? chain::read_log(record, value) : chain::read_lin(record, value);
    };
    const int32_t result_a = read(*a, pair.a);
    if (result_a == 0) {
        pair.result = SENSOR_A_NOT_CONNECTED;
        return pair;
    }
    const int32_t result_b = read(*b, pair.b);
    if (result_b == 0) {
        pair.result = SENSOR_B_NOT_CONNECTED;
        return pair;
    }
    pair.result = result_a == 2   ? SENSOR_A_OVER_RANGE
                  : result_b == 2 ? SENSOR_B_OVER_RANGE
                                  : SENSOR_DONE;
    return pair;
}

double mw(double dbm) {
    return std::pow(10.0, dbm / 10.0);
}

template <class Combine>
int32_t two_sensor(SensorRecord *a, SensorRecord *b, double *out, Chain kind, Combine combine) {
    const Pair pair = read_pair(a, b, kind);
    if (pair.result == SENSOR_A_NOT_CONNECTED || pair.result == SENSOR_B_NOT_CONNECTED)
        return pair.result;
    *out = combine(pair.a, pair.b);
    return pair.result;
}

} // namespace

extern "C" {

// A difference of powers where the subtrahend is the larger has no logarithm: the result is
// NaN, never a finite number.
int32_t SensorPowerLog_AminusB(SensorRecord *a, SensorRecord *b, double *result) {
    return two_sensor(a, b, result, Chain::log,
                      [](double pa, double pb) { return 10.0 * std::log10(mw(pa) - mw(pb)); });
}

int32_t SensorPowerLog_BminusA(SensorRecord *a, SensorRecord *b, double *result) {
    return two_sensor(a, b, result, Chain::log,
                      [](double pa, double pb) { return 10.0 * std::log10(mw(pb) - mw(pa)); });
}

int32_t SensorPowerLog_AoverB(SensorRecord *a, SensorRecord *b, double *result) {
    return two_sensor(a, b, result, Chain::log,
                      [](double pa, double pb) { return 10.0 * std::log10(mw(pa) / mw(pb)); });
}

int32_t SensorPowerLog_BoverA(SensorRecord *a, SensorRecord *b, double *result) {
    return two_sensor(a, b, result, Chain::log,
                      [](double pa, double pb) { return 10.0 * std::log10(mw(pb) / mw(pa)); });
}

int32_t SensorPowerLin_AminusB(SensorRecord *a, SensorRecord *b, double *result) {
    return two_sensor(a, b, result, Chain::lin,
                      [](double pa, double pb) { return pa * 0.001 - pb * 0.001; });
}

int32_t SensorPowerLin_BminusA(SensorRecord *a, SensorRecord *b, double *result) {
    return two_sensor(a, b, result, Chain::lin,
                      [](double pa, double pb) { return pb * 0.001 - pa * 0.001; });
}

int32_t SensorPowerLin_AoverB(SensorRecord *a, SensorRecord *b, double *result) {
    return two_sensor(a, b, result, Chain::lin, [](double pa, double pb) { return pa / pb; });
}

int32_t SensorPowerLin_BoverA(SensorRecord *a, SensorRecord *b, double *result) {
    return two_sensor(a, b, result, Chain::lin, [](double pa, double pb) { return pb / pa; });
}

} // extern "C"
