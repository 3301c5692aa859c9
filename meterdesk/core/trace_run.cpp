#include "meterdesk/core/trace_run.h"

#include "meterdesk/core/app_state.h"
#include "meterdesk/core/c_format.h"
#include "meterdesk/core/collection_file.h"
#include "meterdesk/core/ports.h"
#include "meterdesk/core/sampling.h"
#include "meterdesk/trace/plot_layout.h"

#include <rfsense/rfsense.h>

#include <algorithm>
#include <ctime>

namespace meterdesk {
namespace {

constexpr int kUnitsVolts = 1120;
constexpr int kUnitsLinear = 1121;
constexpr int kUnitsLog = 1122;

// Indices of the collection columns the run writes (boxes 1456, 1460, 1461).
constexpr std::size_t kColumnVolts = 0;
constexpr std::size_t kColumnPower = 4;
constexpr std::size_t kColumnBlockTemperature = 5;

int data_units_of(int units) {
    switch (units) {
    case kUnitsLinear:
        return 2;
    case kUnitsLog:
        return 1;
    default:
        return 0;
    }
}

SampleUnit sample_unit_of(int units) {
    switch (units) {
    case kUnitsLinear:
        return SampleUnit::kMilliwatts;
    case kUnitsLog:
        return SampleUnit::kDbm;
    default:
        return SampleUnit::kVolts;
    }
}

std::tm local_now() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local;
}

} // namespace

TraceRun::TraceRun(AppState &state, Ui &ui, TraceRunTiming timing)
    : state_(state), ui_(ui), timing_(timing) {}

void TraceRun::run(SensorRecord *sensor) {
    if (!state_.trace_running) return;
    const int units = state_.trace_units;
    state_.trace_data_units = data_units_of(units);
    state_.trace_count = 0;
    ui_.repaint(RepaintRequest::kTraceScreen);
    state_.trace_valid = true;

    CollectionFile collection(ui_);
    if (state_.collection_enabled)
        collection.open(state_.collection_path.get(), state_.collection_append, local_now());

    const int samples = std::clamp<int>(state_.trace_samples, 1, kTracePoints);
    End end = End::kComplete;
    int i = 0;
    while (i < samples) {
        unsigned char over_range = 0;
        if (SensorConnected(sensor, &over_range) == 0) {
            end = End::kSensorGone;
            break;
        }
        // trace_running is read before sample_due: Stop sets sample_due first, so a run that
        // sees the trace stopped also sees the final point due.
        const bool running = state_.trace_running;
        if (state_.sample_due.exchange(false)) {
            if (!take_point(sensor, i, units, collection)) {
                end = End::kReadFailed;
                break;
            }
            SensorPowerImmediate(sensor);
            if (!state_.trace_running) {
                end = End::kStopped; // the final point is kept, without a repaint
                break;
            }
            if (i >= 1) ui_.repaint(RepaintRequest::kTracePlot);
            ++i;
        } else if (!running) {
            end = End::kEndedElsewhere; // cleared without a final point: a mode change
            break;
        }
        refresh_trace_boxes(sensor, units);
        if (i < samples)
            state_.trace_wake.wait_for(timing_.poll,
                                       [&] { return state_.sample_due || !state_.trace_running; });
    }
    collection.close();
    finish(end, samples);
}

bool TraceRun::take_point(SensorRecord *sensor, int index, int units, CollectionFile &collection) {
    double value = 0.0;
    if (!read_sample(sensor, sample_unit_of(units), value)) return false;
    const bool collect = collection.is_open();
    // Column fields go through a fixed buffer: the run allocates nothing per point.
    char field[64];
    auto add = [&](std::size_t length) { collection.add(std::string_view(field, length)); };
    const bool relative = state_.relative_enabled;
    const auto &columns = state_.collection_columns;
    if (collect && columns[kColumnVolts]) {
        double volts = value;
        if (units != kUnitsVolts && !read_sample(sensor, SampleUnit::kVolts, volts)) return false;
        add(c_format_into(field, sizeof field, "%10.8fV\t", volts));
    }
    if (collect && columns[kColumnPower]) {
        if (units == kUnitsLinear) {
            add(relative ? c_format_into(field, sizeof field, "%6.2f%%\t", value)
                         : c_format_into(field, sizeof field, "%10.8fW\t", value));
        } else if (units == kUnitsLog) {
            add(c_format_into(field, sizeof field, "%5.3f", value));
            collection.add(relative ? "dB\t" : "dBm\t");
        }
    }

    double celsius = 0.0;
    if (SensorTemperature(sensor, &celsius) == 0) return false;
    const bool in_celsius = state_.temperature_celsius;
    const double temperature = in_celsius ? celsius : celsius * 1.8 + 32.0;
    if (state_.trace_temperature && collect && columns[kColumnBlockTemperature]) {
        add(c_format_into(field, sizeof field, "%4.1f", temperature));
        collection.add(in_celsius ? "'C\t" : "'F\t");
    }
    if (collect) collection.end_line();

    const auto slot = static_cast<std::size_t>(index);
    state_.trace_values[slot].store(value, std::memory_order_relaxed);
    state_.trace_temps[slot].store(temperature, std::memory_order_relaxed);
    state_.trace_count.store(index + 1, std::memory_order_release);
    return true;
}

void TraceRun::refresh_trace_boxes(SensorRecord *sensor, int units) {
    const int left = state_.display_countdown.fetch_sub(1) - 1;
    if (left >= 1) return;
    state_.display_countdown = DisplayUpdateRate(sensor);
    char text[128] = {};
    const int rc =
        units == kUnitsLinear ? SensorPowerLinStr(sensor, text) : SensorPowerLogStr(sensor, text);
    if (rc == 0) return;
    ui_.set_trace_box_text("LiveReadingBox", text);
    ui_.set_trace_box_text("StatusBox", state_.trace_status_text.get());
}

void TraceRun::finish(End end, int samples) {
    state_.seconds_per_pixel = samples * state_.trace_period_s * 0.002;
    ui_.stop_timer(kTraceSampleTimer);
    state_.trace_running = false;
    switch (end) {
    case End::kComplete:
        ui_.install_menu("Trace_Menu_2");
        ui_.show_toolbar(kViewTraceRunning, false);
        ui_.show_toolbar(kViewTraceComplete, true);
        state_.view_mode = kViewTraceComplete;
        state_.trace_status_text =
            state_.trace_clipped || trace_clips(state_) ? "Trace Clipped" : "Trace Complete";
        break;
    case End::kEndedElsewhere:
        // A mode change or the statistics ended the trace; nothing is left to do in the trace
        // view, so it returns to measurement as Exit does (unless that was done already).
        if (state_.view_mode == kViewTraceRunning) leave_to_measurement_view(state_, ui_);
        return;
    case End::kStopped:
        // Stop switches to the stopped view before it clears trace_running; a view still
        // "running" means a mode change ended the trace just as a point fell due.
        if (state_.view_mode == kViewTraceRunning) {
            leave_to_measurement_view(state_, ui_);
            return;
        }
        break;
    case End::kSensorGone:
    case End::kReadFailed:
        return; // the connection handling takes over
    }
    if (state_.trace_box_open && on_run_end_) on_run_end_();
}

} // namespace meterdesk
