#include "meterdesk/settings/trace_data_collection_box.h"

#include "meterdesk/base/paths.h"
#include "meterdesk/core/app_state.h"
#include "meterdesk/core/ports.h"

namespace meterdesk {
namespace {

// The columns the trace run can write (boxes 1456, 1460, 1461) and the air temperature.
bool column_offered(int index) {
    return index == 0 || index == 4 || index == 5 || index == 6;
}

} // namespace

TraceDataCollectionBox::TraceDataCollectionBox(AppState &state, Ui &ui, Controls &controls)
    : state_(state), ui_(ui), controls_(controls) {}

const std::vector<int> &TraceDataCollectionBox::control_ids() {
    static const std::vector<int> ids = [] {
        std::vector<int> list = {kSelectFile, kPath, kAppend, kEnable, kClose, kHelp};
        for (int i = 0; i < static_cast<int>(kCollectionColumns); ++i)
            list.push_back(kFirstColumn + i);
        return list;
    }();
    return ids;
}

void TraceDataCollectionBox::initialise() {
    controls_.set_text(kPath, state_.collection_path.get());
    controls_.set_checked(kAppend, state_.collection_append);
    for (std::size_t i = 0; i < kCollectionColumns; ++i)
        controls_.set_checked(kFirstColumn + static_cast<int>(i), state_.collection_columns[i]);
    controls_.set_checked(kEnable, state_.collection_enabled);
    enable_columns();
}

void TraceDataCollectionBox::enable_columns() {
    const bool on = state_.collection_enabled;
    for (int i = 0; i < static_cast<int>(kCollectionColumns); ++i)
        controls_.set_enabled(kFirstColumn + i, on && column_offered(i));
}

DialogAction TraceDataCollectionBox::command(int id) {
    if (id >= kFirstColumn && id < kFirstColumn + static_cast<int>(kCollectionColumns)) {
        const auto index = static_cast<std::size_t>(id - kFirstColumn);
        // A click can only reach an enabled box; the check guards callers that skip the view.
        if (!state_.collection_enabled || !column_offered(static_cast<int>(index)))
            return DialogAction::kStay;
        const bool on = !state_.collection_columns[index];
        state_.collection_columns[index] = on;
        controls_.set_checked(id, on);
        return DialogAction::kStay;
    }
    switch (id) {
    case kEnable: {
        const bool on = !state_.collection_enabled;
        state_.collection_enabled = on;
        controls_.set_checked(kEnable, on);
        enable_columns();
        return DialogAction::kStay;
    }
    case kAppend: {
        const bool on = !state_.collection_append;
        state_.collection_append = on;
        controls_.set_checked(kAppend, on);
        return DialogAction::kStay;
    }
    case kSelectFile: {
        // The folder ConnectDefaults set for the sensor's brand, or app_dir's before a connect.
        std::string folder = state_.collection_dir.get();
        if (folder.empty()) folder = paths::collection_folder(state_.app_dir.get()).string();
        const std::string path = ui_.open_file_dialog(folder, "All Files (*.*)");
        if (!path.empty()) state_.collection_path = path;
        controls_.set_text(kPath, state_.collection_path.get());
        return DialogAction::kStay;
    }
    case kClose:
        return DialogAction::kClose;
    default:
        return DialogAction::kStay; // "Help" does nothing
    }
}

} // namespace meterdesk
