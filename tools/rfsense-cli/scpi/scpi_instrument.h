// The SCPI instrument: the command set of one power sensor, run message by message against the
// library. It keeps the settings a client made (unit, frequency, corrections, averaging,
// relative mode) and puts them back on a sensor that returns after an unplug; a lost sensor
// gives -240 errors and "9.91E+37" (not a number) for a reading, so that no client waits for a
// reply that never comes.
#pragma once

#include "scpi/scpi_status.h"
#include "scpi/scpi_syntax.h"
#include "scpi/scpi_values.h"
#include "scpi/sensor_connection.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rfsense::scpi {

// The reply value of a reading that could not be taken (the SCPI "not a number").
inline constexpr double kNotANumber = 9.91e37;

class Instrument {
  public:
    // `simulated`: the sensor is on the simulated bus, and the SIMulation commands (which
    // change the simulated devices, for demonstrations and tests) are offered.
    explicit Instrument(SensorConnection &sensor, bool simulated = false);

    // Runs the messages of one line; returns the replies of its queries joined by ";" (the
    // line's response message), empty when there is none. Errors go to the error queue.
    std::string execute(std::string_view line);

    Status &status() { return status_; }

  private:
    using Reply = std::optional<std::string>;

    Reply run(const ProgramMessage &message);
    SensorRecord *sensor();
    // The session, or nullptr with a -240 error queued.
    SensorRecord *connected_sensor();
    void sensor_lost();
    // A library result: true when done; otherwise the matching error is queued.
    bool check(int32_t result, std::string_view what);
    void take_defaults(SensorRecord *record);
    void apply_settings(SensorRecord *record);
    void reset();
    std::optional<double> read_power(bool in_watts);

    // Parameter helpers; each queues its error and gives nullopt.
    bool expect_parameters(const ProgramMessage &message, std::size_t minimum, std::size_t maximum);
    std::optional<bool> boolean_parameter(const ProgramMessage &message);
    // The one numeric parameter of a setting, in the quantity's base unit: the number given, or
    // the value MIN, MAX or DEF stands for.
    struct SpecialValues {
        double minimum;
        double maximum;
        double fallback; // DEF
    };
    std::optional<double> numeric_parameter(const ProgramMessage &message, Quantity quantity,
                                            std::string_view expected, SpecialValues special);

    Reply identify();
    Reply reading(bool fresh);
    Reply frequency(const ProgramMessage &message);
    Reply cal_factor(const ProgramMessage &message);
    Reply offset(const ProgramMessage &message);
    Reply switch_state(const ProgramMessage &message, bool &setting,
                       int32_t (*apply)(SensorRecord *, unsigned char), std::string_view what);
    Reply offset_state(const ProgramMessage &message);
    Reply duty_cycle(const ProgramMessage &message);
    Reply duty_cycle_state(const ProgramMessage &message);
    Reply relative_state(const ProgramMessage &message);
    Reply relative_once(const ProgramMessage &message);
    Reply average_count(const ProgramMessage &message);
    Reply average_auto(const ProgramMessage &message);
    Reply unit(const ProgramMessage &message);
    Reply zero(const ProgramMessage &message);
    Reply temperature();
    Reply simulation(const ProgramMessage &message);

    SensorConnection &connection_;
    const bool simulated_;
    Status status_;

    // What a client set, put back on every new session; *RST returns to the defaults the
    // session started with.
    struct Settings {
        bool watts = false;
        std::optional<double> frequency_hz;
        std::optional<double> cal_factor_percent;
        double offset_db = 0.0;
        bool offset_on = false;
        double duty_percent = 100.0;
        bool duty_on = false;
        bool relative_on = false;
        std::optional<int> average_length[3];
        bool continuous = true;
    } settings_;
    struct Defaults {
        double frequency_hz = 50e6;
        int average_length[3] = {1, 1, 1};
    } defaults_;

    std::optional<double> last_reading_; // for FETCh?, in the unit of the reading
    bool last_in_watts_ = false;
    bool fetch_fresh_ = true; // INITiate asks FETCh? for a new reading
};

} // namespace rfsense::scpi
