// One sensor session for the length of a command: opened and initialised on demand, always closed
// (so the device is released) when the command ends, whichever way it ends.
#pragma once

#include "cli_options.h"
#include "exit_status.h"

#include <rfsense/rfsense.h>

#include <string>

namespace rfsense::cli {

class Session {
  public:
    Session() = default;
    ~Session();
    Session(const Session &) = delete;
    Session &operator=(const Session &) = delete;

    // Finds and prepares the sensor. Calibration-data problems are reported as warnings and the
    // session stays usable; anything else that stops the command is reported and returned.
    ExitStatus open(const GlobalOptions &options);
    void close();

    SensorRecord *record() const { return record_; }

    // The frequency span the sensor accepts, as its model text states it ("10MHz to 40GHz").
    std::string frequency_span();

  private:
    SensorRecord *record_ = nullptr;
};

// Checks the link the environment chose, before any sensor is looked for. An unusable simulator
// configuration is reported and stops the command (usage status); an unknown RFSENSE_LINK value
// is a warning, since the real sensors are then used.
ExitStatus check_link_choice();

// True when the simulated bus stands in for real sensors.
bool simulated_bus();

// What a SensorInit result means, in the words shown to the user; nullptr for 1 (all loaded).
const char *init_result_text(int code);

// Reports that the sensor stopped answering and returns the matching status.
ExitStatus report_sensor_lost();

} // namespace rfsense::cli
