#include "meterdesk/core/data_log_control.h"

#include "meterdesk/base/paths.h"
#include "meterdesk/core/app_state.h"
#include "meterdesk/core/ports.h"
#include "meterdesk/core/reading_log.h"

namespace meterdesk {

DataLogControl::DataLogControl(AppState &state, Ui &ui, ReadingLog &log)
    : state_(state), ui_(ui), log_(log) {}

void DataLogControl::start_command() {
    if (log_.running()) return;
    std::string folder = state_.collection_dir.get();
    if (folder.empty()) folder = paths::collection_folder(state_.app_dir.get()).string();
    const std::string path = ui_.save_file_dialog(folder, "CSV Files (*.csv)");
    if (!path.empty()) start(path);
}

bool DataLogControl::start(const std::string &path) {
    if (auto refused = log_.start(path)) {
        ui_.message(kDataLogCaption, "Can't write log file " + path + "\n\n" + *refused,
                    MessageButtons::kOk, MessageIcon::kExclamation);
        refresh();
        return false;
    }
    failure_told_ = false;
    refresh();
    return true;
}

void DataLogControl::stop_command() {
    log_.stop();
    refresh();
}

std::string DataLogControl::status_text() const {
    if (!log_.running()) return {};
    if (!state_.sensor_connected) return " - Logging: waiting for sensor";
    if (!state_.live_readout_enabled) return " - Logging paused";
    return " - Logging: " + std::to_string(log_.accepted()) + " readings";
}

void DataLogControl::refresh() {
    const bool running = log_.running();
    if (shown_running_ != static_cast<int>(running)) {
        ui_.enable_command(kCmdStartDataLog, !running);
        ui_.enable_command(kCmdStopDataLog, running);
        shown_running_ = running;
    }
    const std::string status = status_text();
    if (status != shown_status_) {
        ui_.log_status(status);
        shown_status_ = status;
    }
    if (!failure_told_) {
        if (const auto failure = log_.failure()) {
            failure_told_ = true;
            ui_.message(kDataLogCaption,
                        "Logging stopped.\n\nCan't write log file " + failure->path + "\n\n" +
                            failure->reason + "\n\n" + std::to_string(failure->saved) +
                            " readings were saved.",
                        MessageButtons::kOk, MessageIcon::kExclamation);
        }
    }
}

} // namespace meterdesk
