// DataLogControl: the meter's continuous data log: "Start Data Log..." (40160) and "Stop Data
// Log" (40161) of the File menu, each greyed when it does not apply, and the log's state after
// the window title. The measurement loop hands every accepted reading to the ReadingLog; this
// class starts and stops it and reports a failure once ("Data Logging").
#pragma once

#include <string>

namespace meterdesk {

struct AppState;
class ReadingLog;
class Ui;

inline constexpr int kCmdStartDataLog = 40160;
inline constexpr int kCmdStopDataLog = 40161;
inline constexpr const char *kDataLogCaption = "Data Logging";

class DataLogControl {
  public:
    DataLogControl(AppState &state, Ui &ui, ReadingLog &log);

    // The save dialog in the collection folder, then the log; a refusal is told.
    void start_command();
    bool start(const std::string &path);
    void stop_command();

    // The title text and the two commands' states; a failure of the running log is told once.
    // Called after every change and once a second.
    void refresh();

    // The title text for the present state.
    std::string status_text() const;

  private:
    AppState &state_;
    Ui &ui_;
    ReadingLog &log_;
    bool failure_told_ = true;
    int shown_running_ = -1;         // the commands' state last given: -1 none yet
    std::string shown_status_ = "-"; // nothing shown yet
};

} // namespace meterdesk
