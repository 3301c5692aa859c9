// The statistics run: Start on the GUI thread, the burst of readings on the measurement thread
// (plugged into Sampling), and the switches between the statistics view and the measurement
// view.
//
// Every way a run can end closes its progress box: a complete run, "BREAK", a failed or
// non-finite reading, and the sensor going away between Start and the burst. The box is open
// before the run is requested, so that even a burst that ends at once finds it.
#pragma once

#include <filesystem>

struct SensorRecord;

namespace meterdesk {

struct AppState;
class Ui;

inline constexpr const char *kStatsProgressBox = "StatsProgressBox";
inline constexpr const char *kStatsProgressText = "Gathering stats data, please wait.";
inline constexpr const char *kStatsCaption = "Stats";
inline constexpr const char *kStatsMenu = "Stats_Menu";
inline constexpr int kCmdLeaveStats = 40119;

// "Start": takes the run's N, bins and mode from the state (the panel has committed them),
// ends a running trace at once, turns the live readout off, opens the progress box and asks
// the measurement thread for the burst. Without a sensor it says "No sensor connected." and
// opens nothing; returns whether a run was asked for.
bool start_stats_run(AppState &state, Ui &ui);

// Request 7 with "Stats_Menu" and the statistics toolbar alone (the trace edit boxes hidden):
// view mode 4.
void show_statistics_view(AppState &state, Ui &ui);

// "Exit" (40119, toolbar 9037): back to the measurement view of the present meas_mode.
void leave_statistics_view(AppState &state, Ui &ui);

class StatsBurst {
  public:
    // `stats_file` is where "sensor stats.txt" goes when saving is on.
    StatsBurst(AppState &state, Ui &ui, std::filesystem::path stats_file);

    // Measurement thread, once per pass while stats_requested: takes the burst and ends the
    // run.
    void run(SensorRecord *sensor);

    // Measurement thread, from the disconnect path: a run asked for and not yet taken ends.
    void connection_lost();

  private:
    // The run ended without results: close the box, and after "BREAK" (or a reading out of
    // range) give the live readout back.
    void abandon(bool restore_live_readout);

    AppState &state_;
    Ui &ui_;
    std::filesystem::path stats_file_;
};

} // namespace meterdesk
