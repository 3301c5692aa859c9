// The measurement settings' cost on the GUI thread, on the offscreen platform and a simulated
// sensor:
//  1. re-opening the control panel (every control refreshed from the state), aim 20 ms;
//  2. a full Apply (frequency, offset, duty cycle, manual reference, limits, meter scale, each
//     with its library call), aim 2 ms;
//  3. saving a setup file and recalling it, aim 5 ms;
//  4. how long the relative "Set" button holds the GUI thread in realistic timing (the library
//     takes the reference from a fresh average).
#include "meterdesk/core/app_state.h"
#include "meterdesk/core/ports.h"
#include "meterdesk/core/sensor_identity.h"
#include "meterdesk/settings/control_panel_ids.h"
#include "meterdesk/settings/setup_commands.h"
#include "meterdesk/ui/settings/measurement_control_panel.h"
#include "meterdesk/widgets/qt_controls.h"
#include "quiet_ui.h"

#include <rfsense/rfsense.h>
#include <rfsim/rfsim.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
namespace ids = meterdesk::control_panel;

// A Ui that answers every question with OK and shows nothing.
class SilentUi final : public QuietUi {
  public:
    meterdesk::MessageAnswer message(std::string_view, std::string_view, meterdesk::MessageButtons,
                                     meterdesk::MessageIcon) override {
        ++messages;
        return meterdesk::MessageAnswer::kOk;
    }

    int messages = 0;
};

struct Timing {
    double median_ms;
    double mean_ms;
    double worst_ms;
};

Timing time_runs(int runs, const std::function<void()> &run) {
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        run();
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    std::sort(ms.begin(), ms.end());
    double sum = 0;
    for (double v : ms) sum += v;
    return {ms[ms.size() / 2], sum / static_cast<double>(ms.size()), ms.back()};
}

void print(const char *what, const Timing &t, const char *aim) {
    std::printf("  %-40s median %8.3f ms   mean %8.3f ms   worst %8.3f ms   (aim %s)\n", what,
                t.median_ms, t.mean_ms, t.worst_ms, aim);
}

// A session on the simulated sensor, as the measurement thread would leave it in AppState.
class Session {
  public:
    explicit Session(meterdesk::AppState &state) : state_(state) {
        SensorOpen(&record_);
        if (SensorInit(record_) == 0) {
            std::fprintf(stderr, "no simulated sensor answered\n");
            std::exit(1);
        }
        char serial[32] = {};
        char model[64] = {};
        SensorDetails(record_, serial, model);
        state.sensor_serial = serial;
        state.sensor_model = model;
        state.model_index = meterdesk::model_index_for(model);
        state.sensor_handle = record_;
        state.sensor_connected = true;
        state.connection_state = meterdesk::kConnectionMeasuring;
        state.live_readout_enabled = true;
        state.info_panel_shown = true;
    }
    ~Session() {
        state_.sensor_handle = nullptr;
        SensorClose(&record_);
    }

  private:
    meterdesk::AppState &state_;
    SensorRecord *record_ = nullptr;
};

void click(meterdesk::ui::QtControls &controls, int id) {
    qobject_cast<QAbstractButton *>(controls.widget(id))->click();
}

void panel_figures(const std::filesystem::path &scratch) {
    meterdesk::AppState state;
    state.app_dir = scratch.string();
    SilentUi ui;
    Session session(state);
    meterdesk::ui::MeasurementControlPanel panel(state, ui, {});
    auto &controls = panel.controls();

    std::printf("Control panel on a simulated sensor (fast timing), 200 runs each:\n");
    print("re-open (initialise every control)", time_runs(200, [&] { panel.open_panel(); }),
          "20 ms");

    // Every Apply step on: the offset, duty cycle, manual reference, limits and meter scale.
    click(controls, ids::kOffsetEnable);
    click(controls, ids::kDutyEnable);
    click(controls, ids::kRelativeEnable);
    click(controls, ids::kRelativeAutoSet);
    click(controls, ids::kLimitsEnable);
    click(controls, ids::kMeterAuto);
    panel.open_panel();
    controls.set_text(ids::kFrequencyEdit, "2400");
    controls.set_text(ids::kOffsetEdit, "3");
    controls.set_text(ids::kDutyEdit, "50");
    controls.set_text(ids::kRelativeEdit, "-10");
    controls.set_text(ids::kHighLimitEdit, "10");
    controls.set_text(ids::kLowLimitEdit, "-40");
    controls.set_text(ids::kMeterMinEdit, "-60");
    controls.set_text(ids::kMeterMaxEdit, "20");
    const int before = ui.messages;
    print("full Apply (seven steps, library calls)",
          time_runs(200, [&] { click(controls, ids::kApply); }), "2 ms");
    if (ui.messages != before) std::printf("  (Apply refused a value: the figure is not valid)\n");

    const std::string file = (scratch / "bench setup.txt").string();
    print("save + recall of a setup file",
          time_runs(200,
                    [&] {
                        meterdesk::save_setup(state, ui, file);
                        meterdesk::recall_setup(state, ui, file);
                    }),
          "5 ms");
    print("  of which the save", time_runs(200, [&] { meterdesk::save_setup(state, ui, file); }),
          "-");
    print("  of which the recall",
          time_runs(200, [&] { meterdesk::recall_setup(state, ui, file); }), "-");
    panel.hide();
}

void set_button_figures() {
    rfsim_configure("timing = realistic\nlatency_ms = 1\npower_dbm = -20\n");
    meterdesk::AppState state;
    SilentUi ui;
    Session session(state);
    meterdesk::ui::MeasurementControlPanel panel(state, ui, {});
    panel.open_panel();
    click(panel.controls(), ids::kRelativeEnable);
    std::printf("Relative \"Set\" in realistic timing (1 ms latency), 10 presses:\n");
    print("GUI thread held by Set",
          time_runs(10, [&] { click(panel.controls(), ids::kRelativeSet); }), "none given");
    panel.hide();
}

} // namespace

int main(int argc, char **argv) {
    setenv("RFSENSE_LINK", "sim", 0);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const std::filesystem::path scratch =
        std::filesystem::temp_directory_path() / ("settings_bench." + std::to_string(getpid()));
    std::filesystem::create_directories(scratch);
    setenv("QUORIX_HOME", scratch.c_str(), 1);
    QApplication app(argc, argv);
    // The offscreen platform reports every raise() it cannot do; the figures are what counts.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});

    rfsim_configure("power_dbm = -20\n");
    panel_figures(scratch);
    set_button_figures();

    std::error_code ignored;
    std::filesystem::remove_all(scratch, ignored);
    return 0;
}
