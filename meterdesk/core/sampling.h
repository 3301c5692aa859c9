// Sampling: the plug-in through which the trace run and the statistics burst take their
// samples inside the measurement loop, so that only one thread talks to the sensor.
//
// The composition root plugs the two jobs in before the measurement thread starts. After every
// pass of the loop the trace run is entered while a trace acquires, then the statistics burst
// while one is requested; both run even with the live readout off. When the sensor goes, the
// trace view's edit boxes are hidden and each job is told.
#pragma once

#include "meterdesk/core/measurement_thread.h"

#include <ctime>
#include <functional>
#include <string>

struct SensorRecord;

namespace meterdesk {

struct AppState;
class Ui;

// The unit a sample is taken in: volts (SensorVolts), dBm (SensorPowerLog) or mW
// (SensorPowerLin x 1000).
enum class SampleUnit { kVolts, kDbm, kMilliwatts };

// Reads one sample; false when the library refuses (the sensor has gone).
bool read_sample(SensorRecord *sensor, SampleUnit unit, double &value);

// The date line of a trace collection file: "%d.%d.%02d at %d:%02d:%02d" with day, month,
// year - 2000, hour, minute and second.
std::string sample_date_line(const std::tm &local);

// Back to the measurement view from the trace or statistics view: the display of the present
// meas_mode (select measurement mode), the view-0 menu, the measurement toolbar in place of
// the current one, the trace edit boxes hidden, view_mode 0 and the trace and statistics
// screens no longer shown.
void leave_to_measurement_view(AppState &state, Ui &ui);

// Ends a running trace at once (a mode change, or a statistics burst about to start) and
// returns to the measurement view: the run ends without taking another point.
void end_trace_at_once(AppState &state, Ui &ui);

class Sampling : public SamplingHooks {
  public:
    using Job = std::function<void(SensorRecord *sensor)>;
    using Notice = std::function<void()>;

    Sampling(AppState &state, Ui &ui);

    // Plugged in once, before the measurement thread starts.
    void set_trace_run(Job run, Notice on_connection_lost = {});
    void set_stats_burst(Job burst, Notice on_connection_lost = {});

    void after_pass(SensorRecord *sensor) override;
    void connection_lost() override;

  private:
    AppState &state_;
    Ui &ui_;
    Job trace_run_;
    Notice trace_lost_;
    Job stats_burst_;
    Notice stats_lost_;
};

} // namespace meterdesk
