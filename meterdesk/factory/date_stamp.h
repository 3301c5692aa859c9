// Stamping the sensor with the date of a calibration (equation, cal factors, linearity): the
// six digits DDMMYY are written twice and read back until the sensor confirms them or the user
// gives up.
#pragma once

#include <ctime>
#include <string>

struct SensorRecord;

namespace meterdesk {

struct AppState;
class Ui;

enum class StampKind { kEquation = 0, kCalFactors = 1, kLinearity = 2 };

enum class StampOutcome {
    kConfirmed,    // the sensor read the date back
    kNotSupported, // firmware before 3.0 keeps no stamps; nothing was sent
    kNotConfirmed, // the user gave up after a wrong read-back
    kSensorGone,   // the sensor stopped answering
};

// Day x 10000 + month x 100 + (year - 2000), as six digits: "050306" for 5 March 2006.
std::string date_code(const std::tm &date);

// Stamps the sensor. The caller has paused the library's reader. A read-back that differs asks
// "Wrote ... Received ... Click OK to retry." (OK queries again, Cancel gives up).
StampOutcome stamp_date(const AppState &state, Ui &ui, SensorRecord *sensor, StampKind kind,
                        const std::tm &date);

} // namespace meterdesk
