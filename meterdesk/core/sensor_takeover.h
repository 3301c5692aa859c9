// SensorTakeover: a thread other than the measurement thread takes the sensor over for a job
// that talks to it at length (the zero, writing calibration data), and gives it back on every
// path out of the job.
//
// Taking over stops the live readout, gives the measurement loop time to finish the pass it is
// in, and waits (bounded) until the loop reports itself parked; then a SensorLease keeps the
// session open for the job. Giving back turns the live readout on again, unless the trace or
// statistics screen is up (those screens keep it off).
#pragma once

#include "meterdesk/core/search_hold.h"
#include "meterdesk/core/sensor_lease.h"

#include <chrono>
#include <optional>

namespace meterdesk {

struct AppState;

struct TakeoverTiming {
    std::chrono::milliseconds settle{250};      // lets the measurement thread finish its pass
    std::chrono::milliseconds park_limit{3000}; // longest wait for it to park
};

class SensorTakeover {
  public:
    // With `hold_search` the sensor search is held too (SearchHold), for jobs that open the
    // USB bridges themselves.
    explicit SensorTakeover(AppState &state, TakeoverTiming timing = {}, bool hold_search = false);
    ~SensorTakeover();
    SensorTakeover(const SensorTakeover &) = delete;
    SensorTakeover &operator=(const SensorTakeover &) = delete;

    // The session record, or nullptr when the sensor went away before the job could start.
    SensorRecord *sensor() const { return lease_ ? lease_->get() : nullptr; }
    explicit operator bool() const { return sensor() != nullptr; }

  private:
    AppState &state_;
    std::optional<SearchHold> hold_;
    std::optional<SensorLease> lease_;
};

} // namespace meterdesk
