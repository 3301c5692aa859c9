// TraceBox: the logic of the trace control panel ("Trace Control", modeless, created once and
// re-initialised each time it is shown) and the trace commands of the menus and toolbar that
// do not need the panel (Start from "Trace_Menu_2", Stop, Exit).
#pragma once

#include "meterdesk/base/controls.h"

#include <vector>

namespace meterdesk {

struct AppState;
class Ui;

inline constexpr const char *kTraceBoxName = "TraceBox";

class TraceBox {
  public:
    TraceBox(AppState &state, Ui &ui, Controls &controls);

    static const std::vector<int> &control_ids();

    // Shows the settings; trace_box_open becomes true.
    void initialise();

    // A button or radio of the panel.
    DialogAction command(int id);

  private:
    DialogAction start();
    void redraw();
    DialogAction recall();
    void set_running_look(bool running);

    AppState &state_;
    Ui &ui_;
    Controls &controls_;
};

// "Start" of "Trace_Menu_2" (and its toolbar button): an open control panel is closed and a
// trace starts with the present settings, unchecked.
void start_trace_from_menu(AppState &state, Ui &ui);

// Redraw's unit conversion of the stored points: dBm to mW when the units are linear and the
// data is not, mW to dBm when the units are log and the data is not; nothing otherwise.
void convert_trace_units(AppState &state);

} // namespace meterdesk
