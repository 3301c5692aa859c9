// TraceRun: the trace's sampling on the measurement thread.
//
// The composition root plugs run() into the sampling plug-in, which calls it after a pass of
// the measurement loop while trace_running is set. One call is one whole run: it takes a point
// each time sample_due is found set (by the sample timer, or by Stop for the final point),
// writes the chosen columns to the collection file, refreshes the trace edit boxes, and ends
// when every point is taken, when Stop has had its final point, when the sensor goes, when
// another command cleared trace_running (a mode change: the view then returns to measurement
// at once), or when a read fails. Between points it sleeps on AppState::trace_wake instead of
// spinning, waking at least every `poll` to check the connection.
#pragma once

#include <chrono>
#include <functional>

struct SensorRecord;

namespace meterdesk {

struct AppState;
class Ui;

struct TraceRunTiming {
    std::chrono::milliseconds poll{20}; // longest sleep between checks of the connection
};

class TraceRun {
  public:
    TraceRun(AppState &state, Ui &ui, TraceRunTiming timing = {});

    void run(SensorRecord *sensor);

    // Called on the measurement thread after a run that ended complete or stopped, so that an
    // open trace control panel is re-initialised.
    void set_on_run_end(std::function<void()> on_run_end) { on_run_end_ = std::move(on_run_end); }

  private:
    enum class End { kComplete, kStopped, kEndedElsewhere, kSensorGone, kReadFailed };

    bool take_point(SensorRecord *sensor, int index, int units, class CollectionFile &collection);
    void refresh_trace_boxes(SensorRecord *sensor, int units);
    void finish(End end, int samples);

    AppState &state_;
    Ui &ui_;
    TraceRunTiming timing_;
    std::function<void()> on_run_end_;
};

} // namespace meterdesk
