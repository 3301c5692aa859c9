// The conversion maths: detector equation, temperature and linearity corrections, cal factor,
// square-law region and threshold power.
#include "convert.h"
#include "models.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

namespace convert = rfsense::convert;

namespace {

using Equation = std::array<double, 13>;
using TempTable = std::array<std::array<double, 10>, 46>;
using LinTable = std::array<std::array<double, 10>, 16>;
using Working = std::array<double, 9>;

// A neutral equation: every term off, the knee exponent 1 and the widths 1 so nothing divides by
// zero.
Equation neutral() {
    Equation e{};
    e[6] = 1;
    e[9] = 1;
    e[12] = 1;
    return e;
}

struct EquationCase {
    const char *name;
    Equation e;
    double volts;
    double dbm;
};

TEST(EquationPower, EachTermFollowsTheDetectorEquation) {
    std::vector<EquationCase> cases;
    Equation e = neutral();
    e[0] = 3;
    cases.push_back({"constant", e, 0.5, 3});
    e = neutral();
    e[1] = 10;
    cases.push_back({"log term", e, 0.01, -20});
    e = neutral();
    e[2] = 1;
    cases.push_back({"square of log", e, 0.001, 9});
    e = neutral();
    e[3] = 2, e[4] = -0.5, e[5] = -1, e[6] = 2;
    cases.push_back({"knee at its centre gives |E4|", e, 0.1, 1.0});
    cases.push_back({"knee away from centre", e, 100, 2 * std::sqrt(9 + 0.25)});
    e = neutral();
    e[7] = 4, e[8] = -1, e[9] = 0.5;
    cases.push_back({"first bump at its centre", e, 0.1, 4});
    cases.push_back({"first bump one width away", e, std::pow(10, -0.5), 4 * std::exp(-1.0)});
    e = neutral();
    e[10] = -2, e[11] = 0, e[12] = 2;
    cases.push_back({"second bump", e, 100, -2 * std::exp(-1.0)});
    // The stored default parameters at a few voltages (evaluated independently).
    const Equation d = rfsense::models::default_equation;
    cases.push_back({"default at 2 mV", d, 0.002, -25.051510834496494});
    cases.push_back({"default at 10 mV", d, 0.01, -17.68502190412568});
    cases.push_back({"default at 0.1 V", d, 0.1, -5.143746032383492});
    cases.push_back({"default at 1 V", d, 1.0, 11.69258803257119});
    cases.push_back({"default at 2 V", d, 2.0, 17.576983109587026});
    for (const auto &c : cases)
        EXPECT_NEAR(convert::equation_power(c.e, c.volts), c.dbm, 1e-9) << c.name;
}

// A table that is linear in power and temperature: bilinear interpolation and extrapolation give
// the plane back exactly, whichever bracket is used, so the value checks the weights and the
// working set checks the bracket.
TempTable plane_temp_table(bool extended) {
    const std::vector<double> nodes =
        extended ? std::vector<double>{-15, -10, -5, 0, 10, 20, 25, 30, 40, 50}
                 : std::vector<double>{0, 10, 20, 25, 30, 40, 50};
    TempTable t{};
    for (size_t row = 0; row < 46; ++row)
        for (size_t col = 0; col < nodes.size(); ++col)
            t[row][col] = 0.01 * (static_cast<double>(row) - 25) + 0.001 * nodes[col];
    return t;
}

struct TempCase {
    bool extended;
    double celsius;
    double dbm;
    double p_lo, p_hi, t_lo, t_hi;
};

TEST(TemperatureCorrection, BracketsInterpolateAndExtrapolate) {
    const std::vector<TempCase> cases = {
        {false, 15, -3.5, -4, -3, 10, 20},      // inside, negative power
        {false, 25, 7.25, 7, 8, 25, 30},        // on a node: the bracket above it
        {false, 0, 0, 0, 1, 0, 10},             // first node
        {false, -5, 3, 3, 4, 0, 10},            // below the first node: first bracket
        {false, 60, 3, 3, 4, 40, 50},           // above the last node: last bracket
        {false, 50, 3, 3, 4, 40, 50},           // the last node itself
        {true, -20, -10.5, -11, -10, -15, -10}, // 10-column form below its first node
        {true, -7, 0.5, 0, 1, -10, -5},
        {true, 22, 12, 12, 13, 20, 25},
        {true, 55, -24.5, -25, -24, 40, 50},
        {false, 20, -3, -4, -3, 20, 25},    // a whole negative power sits at the bracket's top
        {false, 30, -30, -25, -24, 30, 40}, // below -25 dBm: first row, weight at -25
        {false, 30, -25, -25, -24, 30, 40},
        {false, 30, 20, 19, 20, 30, 40},   // +20 dBm: the last bracket
        {false, 30, 22.5, 19, 20, 30, 40}, // above +20 dBm: extrapolated along the last rows
        {true, 45, 19.5, 19, 20, 40, 50},
    };
    for (const auto &c : cases) {
        const TempTable t = plane_temp_table(c.extended);
        Working w{};
        const double got = convert::temp_correction(t, c.extended, c.celsius, c.dbm, &w);
        const double p = c.dbm < -25 ? -25 : c.dbm;
        const double expected = 0.01 * p + 0.001 * c.celsius;
        SCOPED_TRACE(testing::Message() << "T=" << c.celsius << " p=" << c.dbm
                                        << (c.extended ? " (10 columns)" : " (7 columns)"));
        EXPECT_NEAR(got, expected, 1e-12);
        EXPECT_EQ(w[0], c.p_hi);
        EXPECT_EQ(w[1], c.p_lo);
        EXPECT_EQ(w[2], c.t_hi);
        EXPECT_EQ(w[3], c.t_lo);
        const auto at = [&](double pn, double tn) { return 0.01 * pn + 0.001 * tn; };
        EXPECT_NEAR(w[4], at(c.p_lo, c.t_lo), 1e-12);
        EXPECT_NEAR(w[5], at(c.p_hi, c.t_lo), 1e-12);
        EXPECT_NEAR(w[6], at(c.p_hi, c.t_hi), 1e-12);
        EXPECT_NEAR(w[7], at(c.p_lo, c.t_hi), 1e-12);
        EXPECT_EQ(w[8], got);
    }
}

TEST(TemperatureCorrection, UsesTheFourCornersOfItsCell) {
    // One non-zero cell corner at a time shows which table entries weigh in.
    TempTable t{};
    t[22][1] = 1.0; // -3 dBm, 10 'C
    Working w{};
    // p = -3.5: bracket -4..-3 (rows 21, 22), e = 0.5; T = 15: 10..20 (columns 1, 2), r = 0.5.
    EXPECT_NEAR(convert::temp_correction(t, false, 15, -3.5, &w), 0.25, 1e-12);
    EXPECT_EQ(w[5], 1.0); // (upper power, lower temperature)
    // Outside the cell the entry has no weight.
    EXPECT_EQ(convert::temp_correction(t, false, 25, -3.5, nullptr), 0.0);
}

TEST(TemperatureCorrection, NonFinitePowerStaysInsideTheTable) {
    const TempTable t = plane_temp_table(false);
    Working w{};
    const double got = convert::temp_correction(t, false, 20, std::nan(""), &w);
    EXPECT_TRUE(std::isnan(got));
    EXPECT_EQ(w[1], -25);
    convert::temp_correction(t, false, 20, 1e300, &w);
    EXPECT_EQ(w[1], 19);
}

LinTable plane_lin_table() {
    LinTable t{};
    for (size_t i = 0; i < 16; ++i) {
        const double f = i < 15 ? 12.01 + static_cast<double>(i) : 26.51;
        for (size_t j = 0; j < 10; ++j)
            t[i][j] = 0.1 * f + 0.01 * (-25.0 + 5.0 * static_cast<double>(j));
    }
    return t;
}

struct LinCase {
    double ghz;
    double dbm;
    double p_lo, p_hi, f_lo, f_hi;
};

TEST(LinearityCorrection, BracketsInterpolateAndExtrapolate) {
    const std::vector<LinCase> cases = {
        {5, -22, -25, -20, 12.01, 13.01},     // below 12.01 GHz: rows 0 and 1
        {12.01, -30, -25, -20, 12.01, 13.01}, // below -25 dBm: weight at -25
        {12.5, -20, -20, -15, 12.01, 13.01},  // -20 dBm exactly: -20..-15
        {18.2, 3, 0, 5, 18.01, 19.01},
        {20.01, 0, -5, 0, 20.01, 21.01},   // 0 dBm: the node at or above it is 0
        {26.3, 15, 10, 15, 26.01, 26.51},  // 15 dBm is the top of 10..15
        {26.51, 18, 15, 20, 26.01, 26.51}, // from 26.51 GHz on: rows 14 and 15
        {30, 25, 15, 20, 26.01, 26.51},    // extrapolated in both axes
    };
    const LinTable t = plane_lin_table();
    for (const auto &c : cases) {
        Working w{};
        const double got = convert::linearity_correction(t, c.ghz, c.dbm, &w);
        const double p = c.dbm < -25 ? -25 : c.dbm;
        SCOPED_TRACE(testing::Message() << c.ghz << " GHz, " << c.dbm << " dBm");
        EXPECT_NEAR(got, 0.1 * c.ghz + 0.01 * p, 1e-12);
        EXPECT_EQ(w[0], c.p_hi);
        EXPECT_EQ(w[1], c.p_lo);
        EXPECT_NEAR(w[2], c.f_hi, 1e-12);
        EXPECT_NEAR(w[3], c.f_lo, 1e-12);
        const auto at = [](double f, double pn) { return 0.1 * f + 0.01 * pn; };
        EXPECT_NEAR(w[4], at(c.f_lo, c.p_lo), 1e-12);
        EXPECT_NEAR(w[5], at(c.f_lo, c.p_hi), 1e-12);
        EXPECT_NEAR(w[6], at(c.f_hi, c.p_hi), 1e-12);
        EXPECT_NEAR(w[7], at(c.f_hi, c.p_lo), 1e-12);
        EXPECT_EQ(w[8], got);
    }
}

TEST(CalFactor, InterpolatesBetweenPointsAndExtrapolatesPastTheLast) {
    const double f[] = {1e9, 2e9, 4e9};
    const double k[] = {0.9, 1.0, 1.2};
    const struct {
        double hz;
        double factor;
    } cases[] = {{0.5e9, 0.9}, {1e9, 0.9}, {1.5e9, 0.95}, {2e9, 1.0},
                 {3e9, 1.1},   {4e9, 1.2}, {5e9, 1.3}};
    for (const auto &c : cases)
        EXPECT_NEAR(convert::cal_factor_at(f, k, 3, c.hz), c.factor, 1e-12) << c.hz;
    EXPECT_EQ(convert::cal_factor_at(f, k, 0, 3e9), 1.0);
    EXPECT_EQ(convert::cal_factor_at(f, k, 1, 3e9), 0.9);
}

TEST(BandParameters, BandsFollowTheFrequencyLimits) {
    const struct {
        double ghz;
        int band;
    } cases[] = {{74.9, 0},  {77.49, 0}, {77.5, 1}, {85, 2},     {90, 3},
                 {92.25, 4}, {100, 5},   {105, 6},  {107.25, 7}, {110.1, 7}};
    for (const auto &c : cases)
        EXPECT_EQ(convert::band_for_frequency(c.ghz * 1e9), c.band) << c.ghz;
}

// Record-level conversion: a record with a known equation and threshold power.
class RecordConversion : public testing::Test {
  protected:
    void SetUp() override {
        record.equation = neutral();
        record.equation[1] = 10; // P(V) = 10 log10(V): -26.99 dBm at 2 mV
        record.temp_comp_on = 0;
        record.threshold_power_w = 1e-6; // -30 dBm at the threshold voltage
    }
    SensorRecord record;
};

TEST_F(RecordConversion, ThresholdVoltageItselfIsSquareLaw) {
    EXPECT_NEAR(convert::volts_to_dbm(record, 0.002), -30.0, 1e-12);
    EXPECT_NEAR(convert::volts_to_dbm(record, 0.001), -30.0 - 10 * std::log10(2.0), 1e-12);
    EXPECT_NEAR(convert::volts_to_dbm(record, 0.0020001), 10 * std::log10(0.0020001), 1e-12);
}

TEST_F(RecordConversion, HalfDutyCycleDoublesTheVoltage) {
    record.duty_cycle = 50;
    record.duty_on = 1;
    EXPECT_NEAR(convert::volts_to_dbm(record, 0.0005), -30.0 + 10 * std::log10(0.5), 1e-12);
    EXPECT_NEAR(convert::volts_to_dbm(record, 0.1), 10 * std::log10(0.2), 1e-12);
}

TEST_F(RecordConversion, TemperatureCompensationSubtractsTheCorrection) {
    record.temp_comp_table = plane_temp_table(false);
    record.temp_comp_on = 1;
    record.temperature1 = 35;
    const double p = 10 * std::log10(0.5);
    EXPECT_NEAR(convert::volts_to_dbm(record, 0.5), p - (0.01 * p + 0.035), 1e-12);
    EXPECT_NEAR(record.temp_comp_working[8], 0.01 * p + 0.035, 1e-12);
}

TEST_F(RecordConversion, ThresholdPowerFromTheEquationAndItsCompensation) {
    convert::init_threshold_power(record);
    const double p = 10 * std::log10(0.002);
    EXPECT_NEAR(record.threshold_power_dbm.load(), p, 1e-12);
    EXPECT_NEAR(record.threshold_power_w.load(), std::pow(10, p / 10) * 0.001, 1e-18);
    EXPECT_EQ(record.threshold_power_w.load(), record.threshold_power_uncompensated_w.load());
    // The square-law region then joins the equation at the threshold voltage.
    EXPECT_NEAR(convert::volts_to_dbm(record, 0.002), p, 1e-12);

    record.temp_comp_table = plane_temp_table(false);
    record.temperature1 = 10;
    convert::update_threshold_power(record);
    const double c = 0.01 * -25 + 0.010; // p lies below -25 dBm: the correction of -25 dBm
    EXPECT_NEAR(record.threshold_power_w.load(), std::pow(10, (p - c) / 10) * 0.001, 1e-18);
    EXPECT_NEAR(record.threshold_power_uncompensated_w.load(), std::pow(10, p / 10) * 0.001, 1e-18);
}

TEST_F(RecordConversion, FrequencyChangeRecomputesCalFactorAndLinearityApplicability) {
    record.model_index = 3;
    record.frequency_points =
        rfsense::models::frequency_table(3, record.frequency_table); // 30 points
    for (size_t i = 0; i < 46; ++i)
        record.cal_factor_table[i] = 1.0 - 0.01 * static_cast<double>(i);
    record.frequency = 1.5e9; // between points 4 (1 GHz) and 5 (2 GHz)
    convert::frequency_changed(record);
    EXPECT_NEAR(record.cal_factor.load(), 0.955, 1e-12);
    EXPECT_EQ(record.linearity_applicable.load(), 0);
    record.frequency = 12e9;
    convert::frequency_changed(record);
    EXPECT_EQ(record.linearity_applicable.load(), 1);
    record.model_index = 2;
    convert::frequency_changed(record);
    EXPECT_EQ(record.linearity_applicable.load(), 0);
    record.model_index = rfsense::models::generic_model;
    convert::frequency_changed(record);
    EXPECT_EQ(record.cal_factor.load(), 1.0);
}

TEST_F(RecordConversion, Model5TakesTheBandOfTheFrequency) {
    record.model_index = 5;
    for (size_t band = 0; band < 8; ++band) {
        record.band_parameters[band] = {};
        record.band_parameters[band][0] = static_cast<double>(band);
        record.band_parameters[band][1] = 10;
        record.band_parameters[band][6] = 1;
        record.band_parameters[band][9] = 1;
    }
    record.frequency = 95e9; // band 4
    convert::frequency_changed(record);
    EXPECT_EQ(record.equation[0], 4);
    EXPECT_EQ(record.equation[10], 0);
    EXPECT_EQ(record.equation[11], 1);
    EXPECT_EQ(record.equation[12], 1);
    // The threshold power follows the band's equation.
    EXPECT_NEAR(record.threshold_power_dbm.load(), 4 + 10 * std::log10(0.002), 1e-12);
}

} // namespace
