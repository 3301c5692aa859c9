// TraceMarkersBox: the logic of the "Trace Markers" dialog (modeless, shown by "Markers...").
// Two time markers and two level markers over the trace plot; the plot writes their readings
// into the dialog's list. The scroll bars report raw events; this logic applies the markers'
// own steps: a time marker moves 1 pixel left and 2 pixels right per line step (50..550), a
// level marker 1 per line step (10..210), a page step is ten line steps, dragging sets the
// position directly; nothing moves while no trace is valid.
#pragma once

#include "meterdesk/base/controls.h"

#include <string>
#include <vector>

namespace meterdesk {

struct AppState;
class Ui;

inline constexpr const char *kTraceMarkersBoxName = "TraceMarkersBox";

class TraceMarkersBox {
  public:
    static constexpr int kXToggle = 1555;
    static constexpr int kYToggle = 1556;
    static constexpr int kX1Scroll = 1572;
    static constexpr int kX2Scroll = 1573;
    static constexpr int kY1Scroll = 1574;
    static constexpr int kY2Scroll = 1575;
    static constexpr int kLabelMarkers = 1570;
    static constexpr int kList = 1569;
    static constexpr int kClose = 1577;

    TraceMarkersBox(AppState &state, Ui &ui, Controls &controls);

    static const std::vector<int> &control_ids();

    void initialise();
    DialogAction command(int id);
    void scroll(int id, ScrollAction action, int drag_position);

    // The plot's marker readings.
    void show_readings(const std::vector<std::string> &lines);

  private:
    void show_toggles();
    void redraw_if_drawn();

    AppState &state_;
    Ui &ui_;
    Controls &controls_;
};

} // namespace meterdesk
