// A measuring session against the simulated sensor: configured, opened, zeroed with the RF off,
// and functions that apply a level and read it back once the average holds only the new level.
#pragma once

#include "rfsense/rfsense.h"
#include "rfsense/sim_session.h"
#include "rfsim/rfsim.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace rfsense_test {

// The numbers of a list-valued key of the simulator (the equation E0..E12, the zero offsets of
// ranges 0, 1, 2, ...).
inline std::vector<double> numbers_of(int device, const char *key) {
    std::vector<double> e;
    const std::string text = get_key(device, key);
    const char *p = text.c_str();
    while (*p != '\0') {
        char *end = nullptr;
        const double v = std::strtod(p, &end);
        if (end == p) {
            ++p;
            continue;
        }
        e.push_back(v);
        p = end;
    }
    return e;
}

// "tessaline prams.txt" whose eight bands all hold the simulated sensor's E0..E9.
inline std::string band_file_for(const std::vector<double> &e) {
    std::string text;
    for (int band = 0; band < 8; ++band) {
        text += "Band " + std::to_string(band) + "\n";
        for (size_t i = 0; i < 10; ++i) {
            char line[64];
            std::snprintf(line, sizeof line, "%.17g\n", e[i]);
            text += line;
        }
    }
    return text;
}

class MeasuringSensor {
  public:
    // Opens the first sensor of a bus of `devices` sections (fast timing and no noise are added
    // to each) and zeroes it with the RF off.
    explicit MeasuringSensor(const std::vector<std::string> &devices) {
        std::string text;
        for (const auto &keys : devices)
            text += "[device]\ntiming = fast\nnoise_uv = 0\n" + keys + "\n";
        configure_bus(text);
        data_.write("tessaline prams.txt", band_file_for(numbers_of(0, "equation")));
        SensorPath(record(), data_.path().c_str());
    }
    explicit MeasuringSensor(const std::string &keys = "")
        : MeasuringSensor(std::vector<std::string>{keys}) {}

    SensorRecord *record() const { return session_.get(); }

    // SensorInit, a fresh temperature and a zero with the RF off.
    void start(int device = 0) {
        ASSERT_EQ(session_.init(), 1);
        zero(device);
    }

    void zero(int device = 0) {
        set_key(device, "power_dbm", "off");
        ASSERT_EQ(SensorZero(record()), 1);
    }

    // Applies `dbm` and returns the reading once a whole average holds the new level (twice
    // restarted, so that a range change during the first fill is behind it).
    double settled_dbm(double dbm, int device = 0) {
        set_key(device, "power_dbm", std::to_string(dbm));
        return read_settled();
    }

    double read_settled() {
        EXPECT_EQ(SensorTrigger(record()), 1);
        EXPECT_EQ(SensorTrigger(record()), 1);
        double value = 0;
        EXPECT_GE(SensorPowerLog(record(), &value), 1);
        return value;
    }

    // The sensor's thermistor at `celsius`, read by the library at once.
    void temperature(double celsius, int device = 0) {
        set_key(device, "temperature_c", std::to_string(celsius));
        double t = 0;
        ASSERT_EQ(SensorTemperature(record(), &t), 1);
        ASSERT_NEAR(t, celsius, 0.5);
    }

  private:
    DataFolder data_;
    Session session_;
};

} // namespace rfsense_test
