// Zeroing: the user's zero command, the ZeroThread that drives the library's zero tick by tick
// behind a progress box, and the supervision that warns when the sensor temperature has moved
// more than 5 'C since the last zero.
#pragma once

#include "meterdesk/core/sensor_takeover.h"

#include <chrono>
#include <memory>

struct SensorRecord;

namespace meterdesk {

struct AppState;
class Ui;
class Worker;

inline constexpr const char *kSensorZeroCaption = "Sensor Zero";
inline constexpr const char *kZeroingProgressText = "Zeroing sensor, please wait.";
inline constexpr const char *kZeroingProgressBox = "ZeroingProgressBox";
inline constexpr int kZeroProgressRange = 150;
// Temperature change since the zero above which the user is asked to zero again ('C).
inline constexpr double kZeroDriftLimitC = 5.0;

// The zero procedure on the calling thread: SensorZeroTick until it stops answering "in
// progress", one progress step per such answer unless an automatic test sequence runs. Sets
// zero_done only when the library accepted the zero. Returns the library's final result (1
// accepted, 13 rejected, 0 sensor gone).
int zero_procedure(AppState &state, Ui &ui, SensorRecord *sensor);

// The drift check made by the measurement thread after each reading: when the check is due
// and a zero was done, compare the sensor temperature with the temperature at the zero.
void zero_drift_check(AppState &state, SensorRecord *sensor);

// How the zero thread takes the sensor over from the measurement thread.
using ZeroTiming = TakeoverTiming;

class ZeroThread {
  public:
    ZeroThread(AppState &state, Ui &ui, ZeroTiming timing = {});
    ~ZeroThread();
    ZeroThread(const ZeroThread &) = delete;
    ZeroThread &operator=(const ZeroThread &) = delete;

    // The zero command (menu 40011, button 9001, Ctrl+Z), on the main thread: refuses without
    // a sensor or while a trace acquires, asks the user, then opens the progress box and
    // resumes the thread. Returns true when a zero was started.
    bool zero_command();

    // Waits until a started zero has finished; false on timeout.
    bool wait_finished(std::chrono::milliseconds timeout) const;

    // Ends the thread (after a running zero) within `timeout`.
    bool shutdown(std::chrono::milliseconds timeout = std::chrono::milliseconds(3000));

  private:
    void run_job();

    AppState &state_;
    Ui &ui_;
    const ZeroTiming timing_;
    std::unique_ptr<Worker> worker_;
};

} // namespace meterdesk
