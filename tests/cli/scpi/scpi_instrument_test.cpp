// The SCPI instrument against the simulated sensor: what a script sees for the common
// commands, measurement, settings, refusals, the zero, and a sensor that goes and comes back.
#include "scpi/scpi_instrument.h"

#include <rfsim/rfsim.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>
#include <thread>

namespace {

using namespace std::chrono_literals;

const bool sim_link_chosen = (setenv("RFSENSE_LINK", "sim", 0), true);

void configure(const std::string &keys) {
    const std::string text = "[device]\n" + keys;
    ASSERT_GE(rfsim_configure(text.c_str()), 0) << rfsim_error();
}

void set(const char *key, const char *value) {
    ASSERT_EQ(rfsim_set(0, key, value), 0) << rfsim_error();
}

class ScpiInstrumentTest : public ::testing::Test {
  protected:
    rfsense::scpi::SensorConnection sensor;
    rfsense::scpi::Instrument instrument{sensor};

    std::string ask(const std::string &line) { return instrument.execute(line); }
    double number(const std::string &line) { return std::stod(ask(line)); }
    // The code of the oldest queued error (0 when none).
    int error_code() { return std::stoi(ask("SYST:ERR?")); }

    // Reads until a reading is a number again (the server retries a lost sensor twice a
    // second); NaN when none comes within `limit`.
    double wait_reading(std::chrono::milliseconds limit = 10s) {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < end) {
            const double value = number("MEAS?");
            if (value < 1e37) return value;
            std::this_thread::sleep_for(50ms);
        }
        return std::numeric_limits<double>::quiet_NaN();
    }
};

TEST_F(ScpiInstrumentTest, IdentityAndTheCommonCommands) {
    configure("serial = RX100042\n");
    EXPECT_EQ(
        ask("*IDN?").rfind("Zyn Quorix,RX4LO (10MHz to 26.5GHz),RX100042,USB SENSOR V4.7 lib ", 0),
        0u)
        << ask("*IDN?");
    EXPECT_EQ(ask("*OPC?"), "1");
    EXPECT_EQ(ask("*TST?"), "0");
    EXPECT_EQ(ask("*IDN?;*OPC?").substr(0, 10), "Zyn Quorix");
    EXPECT_EQ(ask("*IDN?;*OPC?").back(), '1');
    EXPECT_EQ(ask("SYST:VERS?"), "1999.0");
    EXPECT_EQ(error_code(), 0);
    configure("serial = 2060042\n");
    // A new bus is a new sensor only once the session is lost; the maker follows the serial.
    rfsense::scpi::SensorConnection other;
    rfsense::scpi::Instrument marrick(other);
    EXPECT_EQ(marrick.execute("*IDN?").rfind("Marrick,", 0), 0u);
}

TEST_F(ScpiInstrumentTest, MeasuresWithFrequencyOffsetAndUnit) {
    configure("power_dbm = -20\nfrequency_hz = 2400000000\ntemperature_c = 35\n"
              "noise_uv = 0.2\n");
    ask("*RST");
    ask("SENS:FREQ 2.4 GHz;CORR:OFFS 10 DB");
    EXPECT_EQ(number("FREQ?"), 2.4e9);
    EXPECT_EQ(ask("CORR:OFFS:STAT?"), "1");
    EXPECT_NEAR(number("MEAS:POW?"), -10.0, 0.02);
    ask("CORR:OFFS:STAT OFF;:UNIT:POW W");
    EXPECT_EQ(ask("UNIT:POW?"), "W");
    EXPECT_NEAR(number("READ?"), 1e-5, 1e-5 * 0.005);
    EXPECT_EQ(error_code(), 0);
    // FETCh? gives the same reading until INITiate asks for a new one.
    const std::string fetched = ask("FETC?");
    EXPECT_EQ(ask("FETC?"), fetched);
    ask("UNIT:POW DBM");
    EXPECT_NEAR(number("FETC?"), -20.0, 0.02);
}

TEST_F(ScpiInstrumentTest, RefusedValuesLeaveTheSettingAndNameTheAllowedRange) {
    configure("power_dbm = -20\n");
    ask("*RST;FREQ 1 GHZ");
    const struct {
        const char *command;
        int code;
        const char *detail;
    } cases[] = {
        {"FREQ 100GHZ", -222, "allowed 10MHz to 26.5GHz"},
        {"CORR:CFAC 151", -222, "allowed 50 to 150 PCT"},
        {"CORR:OFFS 101", -222, "allowed -50 to 100 DB"},
        {"CORR:DCYC 0", -222, "allowed above 0 to 100 PCT"},
        {"AVER:COUN 1001", -222, "allowed 1 to 1000"},
        {"AVER:COUN 4,3", -222, "allowed 0 to 2"},
        {"FREQ nan", -224, "expected a frequency"},
        {"UNIT:POW VOLT", -224, "expected DBM or W"},
        {"FREQ", -109, ""},
        {"*IDN? 1", -108, ""},
        {"*RST 1", -108, ""},
        {"MEAS:VOLT?", -113, "MEAS:VOLT?"},
    };
    for (const auto &c : cases) {
        ask(c.command);
        const std::string error = ask("SYST:ERR?");
        EXPECT_EQ(std::stoi(error), c.code) << c.command << ": " << error;
        EXPECT_NE(error.find(c.detail), std::string::npos) << c.command << ": " << error;
        EXPECT_EQ(error_code(), 0) << c.command;
    }
    EXPECT_EQ(number("FREQ?"), 1e9);
    EXPECT_EQ(number("CORR:OFFS?"), 0.0);
    ask("FREQ MAX");
    EXPECT_EQ(number("FREQ?"), 26.5e9);
    ask("AVER:COUN 16,1");
    EXPECT_EQ(ask("AVER:COUN? 1"), "16");
    EXPECT_EQ(ask("AVER:COUN:AUTO?"), "0");
    ask("AVER:COUN:AUTO ONCE");
    EXPECT_EQ(ask("AVER:COUN:AUTO?"), "1");
}

TEST_F(ScpiInstrumentTest, ZeroWithRfOffAndARefusedZeroWithPowerApplied) {
    configure("power_dbm = off\ntemperature_c = 30\n");
    ask("CAL:ZERO:AUTO ONCE");
    EXPECT_EQ(error_code(), 0);
    set("power_dbm", "0");
    ask("CAL:ZERO:AUTO ONCE");
    const std::string error = ask("SYST:ERR?");
    EXPECT_EQ(std::stoi(error), 201) << error;
    EXPECT_NE(error.find("switch the RF power off"), std::string::npos);
}

TEST_F(ScpiInstrumentTest, RelativeModeTakesThePresentReadingAsReference) {
    configure("power_dbm = -15\n");
    ask("CALC:REL:MAGN:AUTO ONCE");
    EXPECT_EQ(ask("SYST:ERR?"), "0,\"No error\"");
    EXPECT_EQ(ask("CALC:REL?"), "1");
    EXPECT_NEAR(number("MEAS?"), 0.0, 0.02);
    ask("CALC:REL:STAT OFF");
    EXPECT_NEAR(number("MEAS?"), -15.0, 0.02);
}

TEST_F(ScpiInstrumentTest, AnUnpluggedSensorGivesHardwareErrorsThenReadsAgainWithItsSettings) {
    configure("power_dbm = -20\nfrequency_hz = 2400000000\n");
    // A frequency set after a cal factor puts the table's factor back, also on the new session.
    ask("CORR:CFAC 120;:FREQ 2.4GHZ");
    const double table_factor = number("CORR:CFAC?");
    EXPECT_NE(table_factor, 120.0);
    EXPECT_NEAR(number("MEAS?"), -20.0, 0.02);
    set("plugged", "0");
    // The last average may still come until the library has seen the loss.
    std::string reading;
    const auto end = std::chrono::steady_clock::now() + 5s;
    while ((reading = ask("MEAS?")) != "9.910000E+37" && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(20ms);
    EXPECT_EQ(reading, "9.910000E+37");
    EXPECT_EQ(error_code(), -240);
    EXPECT_EQ(ask("*TST?"), "1");
    set("plugged", "1");
    EXPECT_NEAR(wait_reading(), -20.0, 0.02);
    EXPECT_EQ(number("FREQ?"), 2.4e9); // the setting went back onto the new session
    EXPECT_EQ(number("CORR:CFAC?"), table_factor);
}

TEST_F(ScpiInstrumentTest, SimulationCommandsExistOnlyOnTheSimulatedBus) {
    configure("power_dbm = -20\n");
    ask("SIM:SET 0,\"power_dbm\",\"-30\"");
    EXPECT_EQ(error_code(), -113); // this instrument was not made for the simulated bus
    rfsense::scpi::SensorConnection simulated_sensor;
    rfsense::scpi::Instrument simulated(simulated_sensor, true);
    simulated.execute("SIMulation:SET 0,\"power_dbm\",\"-30\"");
    EXPECT_EQ(simulated.execute("SIM:GET? 0,'power_dbm'"), "\"-30\"");
    EXPECT_NEAR(std::stod(simulated.execute("MEAS?")), -30.0, 0.05);
    simulated.execute("SIM:SET 0,\"bogus\",\"1\"");
    EXPECT_EQ(std::stoi(simulated.execute("SYST:ERR?")), -224);
    for (const char *refused : {"SIM:SET 0,power_dbm,1", "SIM:SET 1e30,\"plugged\",\"0\"",
                                "SIM:SET -1,\"plugged\",\"0\"", "SIM:GET? 0.5,\"plugged\""}) {
        simulated.execute(refused);
        EXPECT_EQ(std::stoi(simulated.execute("SYST:ERR?")), -224) << refused;
    }
    // A quote inside a value comes back doubled.
    simulated.execute("SIM:SET 0,\"description\",\"USB Power Sensor RX4LO \"\"A\"\"\"");
    EXPECT_EQ(simulated.execute("SIM:GET? 0,\"description\""),
              "\"USB Power Sensor RX4LO \"\"A\"\"\"");
}

// Realistic sensor timing at another temperature, with noise.
TEST(ScpiInstrumentSlow, ReadsInRealisticTimingAt45C) {
    configure("timing = realistic\ntemperature_c = 45\nnoise_uv = 0.5\npower_dbm = -5\n");
    rfsense::scpi::SensorConnection sensor;
    rfsense::scpi::Instrument instrument(sensor);
    // The first average settles after about a second in range 0.
    double value = std::numeric_limits<double>::quiet_NaN();
    for (int i = 0; i < 100; ++i) value = std::stod(instrument.execute("READ?"));
    EXPECT_NEAR(value, -5.0, 0.05);
    EXPECT_EQ(instrument.execute("SYST:ERR?"), "0,\"No error\"");
    configure("timing = fast\n");
}

} // namespace
