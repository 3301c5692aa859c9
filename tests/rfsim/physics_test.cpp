// The ADC and thermistor codes against the detector formulas, computed here independently.
#include "sim_link.h"

#include <cmath>
#include <string>

namespace {

using rfsim_test::SimLink;

// The library's default parameters with E0 raised by 0.1, as the default sensor stores them.
constexpr double sensor_equation[13] = {
    0.451422075,   46.998511431, -0.16739752, 38.918840708, 0.658688612,  -0.145810701, 1.992628645,
    -49.534820177, 0.975122284,  0.890270701, -0.147695445, -4.224442247, 0.505367444};

double equation_power(double volts) {
    const double *e = sensor_equation;
    const double l = std::log10(volts);
    return e[0] + e[1] * l + e[2] * l * l +
           e[3] * std::pow(std::pow(std::fabs(l - e[5]), e[6]) + std::pow(std::fabs(e[4]), e[6]),
                           1 / e[6]) +
           e[7] * std::exp(-std::pow((l - e[8]) / e[9], 2)) +
           e[10] * std::exp(-std::pow((l - e[11]) / e[12], 2));
}

class Physics : public ::testing::Test {
  protected:
    void SetUp() override {
        // Flat cal factors, no temperature table, no zero offset: the code is P^-1 alone.
        ASSERT_EQ(rfsim_configure("cal_factors = 1\ntcd = absent\nzero_offset_uv = 0 0 0\n"), 1)
            << rfsim_error();
    }

    // Volts the host would compute for the reply to "ADC?" at the given gain and reference.
    double measure(SimLink &link, int gain, bool high_ref) {
        link.send(high_ref ? "REF0\n" : "REF1\n");
        link.send("GAIN" + std::to_string(gain) + "\n");
        link.send(gain == 1 ? "FLT5\n" : "FLT13\n");
        const double code = link.query_big_endian("ADC?\n", 4);
        const double volts_per_count = (high_ref ? 3.3 : 1.17) / 16777216.0;
        return (code - 8388608.0) * volts_per_count * 2.0 / gain;
    }
};

TEST_F(Physics, AboveThresholdTheCodeInvertsTheEquation) {
    for (double p : {-20.0, -10.0, 0.0, 10.0, 20.0}) {
        ASSERT_EQ(rfsim_set(0, "power_dbm", std::to_string(p).c_str()), 0);
        SimLink link;
        const bool high = p > -5;
        const double v = measure(link, high ? 1 : 2, high);
        EXPECT_NEAR(equation_power(v), p, 0.002) << p << " dBm, " << v << " V";
    }
}

TEST_F(Physics, BelowThresholdTheDetectorIsSquareLaw) {
    const double threshold_dbm = equation_power(0.002);
    for (double p : {-30.0, -40.0, -50.0}) {
        ASSERT_EQ(rfsim_set(0, "power_dbm", std::to_string(p).c_str()), 0);
        SimLink link;
        const double expected = 0.002 * std::pow(10.0, (p - threshold_dbm) / 10.0);
        EXPECT_NEAR(measure(link, 2, false), expected, 1e-7) << p;
    }
}

TEST_F(Physics, RfOffGivesTheZeroOffsetOfTheRange) {
    ASSERT_EQ(rfsim_set(0, "power_dbm", "off"), 0);
    ASSERT_EQ(rfsim_set(0, "zero_offset_uv", "30 20 10"), 0);
    SimLink link;
    const uint32_t mid = 8388608;
    link.send("REF1\nGAIN2\nFLT13\n");
    EXPECT_EQ(link.query_big_endian("ADC?\n", 4), mid + std::lround(10e-6 / (1.17 / 16777216)));
    ASSERT_EQ(rfsim_get(0, "range", nullptr, 0), 1);
    EXPECT_EQ(rfsim_test::get(0, "range"), "2");
    link.send("FLT7\n");
    EXPECT_EQ(link.query_big_endian("ADC?\n", 4), mid + std::lround(20e-6 / (1.17 / 16777216)));
    link.send("REF0\nGAIN1\nFLT5\n");
    EXPECT_EQ(link.query_big_endian("ADC?\n", 4), mid + std::lround(30e-6 / (3.3 / 16777216)));
    EXPECT_EQ(rfsim_test::get(0, "range"), "0");
}

TEST_F(Physics, MillimetreModelUsesTheFirstTenParametersOnly) {
    // E10..E12 of the key would add 7 dB near 0.1 V; the RX6 works with E10 = 0, E11 = E12 = 1.
    std::string equation;
    for (int i = 0; i < 10; ++i) equation += std::to_string(sensor_equation[i]) + " ";
    equation += "7 -1 1";
    ASSERT_EQ(rfsim_configure(("description = USB Power Sensor RX6\nzero_offset_uv = 0 0 0\n"
                               "frequency_hz = 94e9\nequation = " +
                               equation)
                                  .c_str()),
              1);
    SimLink link;
    const double v = measure(link, 1, true);
    const double l = std::log10(v);
    const double default_gauss2 =
        sensor_equation[10] *
        std::exp(-std::pow((l - sensor_equation[11]) / sensor_equation[12], 2));
    EXPECT_NEAR(equation_power(v) - default_gauss2, -10, 0.002);
}

TEST_F(Physics, TheSensorsOwnCalFactorRaisesTheDetectorPower) {
    // Default cal factors: 10 GHz is point 13 of the RX4LO table, the third field of "FRCF3?".
    ASSERT_EQ(rfsim_configure("tcd = absent\nzero_offset_uv = 0 0 0\nfrequency_hz = 10e9\n"), 1);
    SimLink link;
    const std::string fields = link.query("FRCF3?\n", 21);
    const double cf = std::stoi(fields.substr(12, 4)) / 1000.0;
    EXPECT_LT(cf, 0.99);
    EXPECT_NEAR(equation_power(measure(link, 1, true)), -10 + 10 * std::log10(cf), 0.002);
}

TEST_F(Physics, TriggeredReadingSumsConversions) {
    ASSERT_EQ(rfsim_set(0, "power_dbm", "-15"), 0);
    SimLink link;
    link.send("REF1\nGAIN2\nFLT7\nTRG.E\n");
    const uint32_t code = link.query_big_endian("ADC?\n", 4);
    link.send("TRG?\n");
    const std::string r = link.read(7);
    ASSERT_EQ(r.size(), 7u);
    const auto byte = [&r](size_t i) { return static_cast<uint64_t>(static_cast<uint8_t>(r[i])); };
    const uint64_t n = byte(0) << 8 | byte(1);
    const uint64_t sum = byte(2) << 32 | byte(3) << 24 | byte(4) << 16 | byte(5) << 8 | byte(6);
    ASSERT_GT(n, 0u);
    EXPECT_EQ(sum, n * code);
}

TEST_F(Physics, ThermistorCodesFollowTheTemperatures) {
    ASSERT_EQ(rfsim_set(0, "temperature_c", "40"), 0);
    ASSERT_EQ(rfsim_set(0, "air_temperature_c", "10"), 0);
    SimLink link;
    auto temperature = [](uint32_t code, double rs, double r0, double b) {
        const double v = code * 0.0024414;
        const double r = v * rs / (2.5 - v);
        return b / (std::log(r / r0) + b / 298) - 273;
    };
    EXPECT_NEAR(temperature(link.query_big_endian("T1?\n", 2), 33000, 30000, 4143), 40, 0.1);
    EXPECT_NEAR(temperature(link.query_big_endian("T3?\n", 2), 43000, 47000, 4050), 10, 0.1);
    EXPECT_NEAR(temperature(link.query_big_endian("T2?\n", 2), 43000, 47000, 4050), 10, 0.1);
}

} // namespace
