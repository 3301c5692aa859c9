// TraceDataCollectionBox: the logic of the modal "Trace Data Collection" dialog (a factory
// option) that edits what a trace run writes to its collection file: collection on or off,
// the file, append or new, and the columns. Every change is stored at once.
//
// Only the columns 1456, 1460, 1461 and 1462 can be changed, and only with collection on; the
// other three are never enabled. Column 1460 "Power" keeps its label and values as other
// programs read them (milliwatts written with a "W" unit).
#pragma once

#include "meterdesk/base/controls.h"

#include <vector>

namespace meterdesk {

struct AppState;
class Ui;

inline constexpr int kCmdTraceDataCollection = 40035;
inline constexpr const char *kTraceDataCollectionBox = "TraceDataCollectionBox";

class TraceDataCollectionBox {
  public:
    static constexpr int kSelectFile = 1455;
    static constexpr int kPath = 1135;
    static constexpr int kAppend = 1463;
    static constexpr int kFirstColumn = 1456; // 1456..1462
    static constexpr int kEnable = 1136;
    static constexpr int kClose = 1134;
    static constexpr int kHelp = 1137;

    TraceDataCollectionBox(AppState &state, Ui &ui, Controls &controls);

    static const std::vector<int> &control_ids();

    void initialise();
    DialogAction command(int id);

  private:
    void enable_columns();

    AppState &state_;
    Ui &ui_;
    Controls &controls_;
};

} // namespace meterdesk
