// SensorLease: lets a thread other than the measurement thread use the open sensor session
// without the measurement thread closing (and freeing) it underneath.
//
// The lease counts itself in before it reads sensor_handle; the measurement thread clears
// sensor_handle before it waits for the count to reach zero and closes the session. So a lease
// either sees the record and keeps it alive until it ends, or sees no record at all. Calls on a
// record whose sensor has gone simply return 0.
#pragma once

#include "meterdesk/core/app_state.h"

namespace meterdesk {

class SensorLease {
  public:
    explicit SensorLease(AppState &state) : state_(state) {
        state_.sensor_lessees.fetch_add(1);
        sensor_ = state_.sensor_handle.load();
    }
    ~SensorLease() { state_.sensor_lessees.fetch_sub(1); }
    SensorLease(const SensorLease &) = delete;
    SensorLease &operator=(const SensorLease &) = delete;

    // The session record, or nullptr when no session is open.
    SensorRecord *get() const { return sensor_; }
    explicit operator bool() const { return sensor_ != nullptr; }

  private:
    AppState &state_;
    SensorRecord *sensor_ = nullptr;
};

} // namespace meterdesk
