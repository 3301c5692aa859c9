// TracePlotPainter: carries out the trace plot's layout (plot_layout.h) with QPainter into the
// main window's backing image, for repaint requests 6 (trace plot) and 10 (trace screen).
// Runs on the GUI thread. The markers' listbox lines go to the markers dialog through a sink.
#pragma once

#include "meterdesk/core/ports.h"
#include "meterdesk/trace/plot_layout.h"

#include <QImage>

#include <functional>
#include <string>
#include <vector>

namespace meterdesk {
struct AppState;
}

namespace meterdesk::ui {

struct ScreenResources;

class TracePlotPainter {
  public:
    TracePlotPainter(AppState &state, const ScreenResources &resources);

    // Request 6 or 10. A request 10 for a trace that already has two points (a replay of the
    // window, a recalled trace) redraws every layer instead of the "Initialising" screen.
    void paint(QImage &image, RepaintRequest code);

    using MarkerListSink = std::function<void(const std::vector<std::string> &lines)>;
    void set_marker_list_sink(MarkerListSink sink) { marker_list_sink_ = std::move(sink); }

    // The last pass carried out; for tests.
    const PlotPass &last_pass() const { return last_; }

  private:
    void carry_out(QImage &image, const PlotPass &pass);

    AppState &state_;
    const ScreenResources &resources_;
    PlotMemory memory_;
    PlotPass last_;
    MarkerListSink marker_list_sink_;
};

} // namespace meterdesk::ui
