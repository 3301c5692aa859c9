#include "meterdesk/factory/firmware_download.h"

#include "meterdesk/base/paths.h"
#include "meterdesk/core/app_state.h"
#include "meterdesk/core/ports.h"
#include "meterdesk/core/settings_files.h"
#include "meterdesk/core/worker.h"
#include "meterdesk/factory/file_selection.h"
#include "meterdesk/factory/firmware_hex.h"

#include <fstream>
#include <iterator>
#include <sstream>

namespace meterdesk {

namespace {

constexpr int kDefaultBeepHz = 750;
constexpr int kDefaultBeepMs = 300;

// The whole file, or nothing when it cannot be read.
std::optional<std::string> read_whole(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream content;
    content << in.rdbuf();
    if (in.bad()) return std::nullopt;
    return content.str();
}

} // namespace

std::filesystem::path firmware_copy_path() {
    return paths::startup_firmware_folder() / "temp.hex";
}

FirmwareDownload::FirmwareDownload(AppState &state, Ui &ui, Sound &sound, FirmwareTiming timing)
    : state_(state), ui_(ui), sound_(sound), timing_(timing), worker_(std::make_unique<Worker>()) {}

FirmwareDownload::~FirmwareDownload() {
    shutdown();
}

bool FirmwareDownload::download_command() {
    if (worker_->busy()) return false; // the modal box keeps a second download from starting
    const std::optional<std::string> chosen =
        select_file(ui_, state_, FileSelection::kFirmwareDownload);
    if (!chosen) return false;
    source_path_ = *chosen;
    if (ui_.message(kFirmwareCaption, kFirmwareCaution, MessageButtons::kOkCancel,
                    MessageIcon::kExclamation) != MessageAnswer::kOk)
        return false;

    // Read whole and checked before anything is written or sent.
    const std::optional<std::string> content = read_whole(source_path_);
    if (!content) {
        finish(kDownloadSourceMissing, "File not found: " + source_path_);
        return false;
    }
    FirmwareCopy copy = normalise_firmware(*content);
    if (copy.refusal) {
        finish(kDownloadBadData, firmware_refusal_text(source_path_, *copy.refusal));
        return false;
    }

    // The bar counts the copy's lines (a fixed 0..770 would overrun on a longer file).
    const int lines = static_cast<int>(copy.lines.size());
    ui_.progress_open(kFirmwareProgressBox, kFirmwareProgressText, lines);
    if (!worker_->resume([this, l = std::move(copy.lines)]() mutable { run_job(std::move(l)); })) {
        ui_.progress_close(kFirmwareProgressBox);
        return false;
    }
    return true;
}

void FirmwareDownload::run_job(std::vector<std::string> lines) {
    SensorTakeover takeover(state_, timing_.takeover); // live readout off until the end
    const std::string text = firmware_copy_text(lines);
    const std::filesystem::path copy_path = firmware_copy_path();
    std::error_code ignored;
    std::filesystem::create_directories(copy_path.parent_path(), ignored);
    if (!replace_file_contents(copy_path, reinterpret_cast<const unsigned char *>(text.data()),
                               text.size())) {
        sound_.beep(kDefaultBeepHz, kDefaultBeepMs);
        ui_.progress_close(kFirmwareProgressBox);
        finish(kDownloadCopyInaccessible,
               "Can't access " + copy_path.string() + "\nNothing was sent to the sensor.");
        return;
    }
    TransferResult sent;
    sent.total = static_cast<int>(lines.size());
    if (takeover)
        sent = send_firmware(takeover.sensor(), lines, timing_.transfer,
                             [this] { ui_.progress_step(kFirmwareProgressBox); });
    sound_.beep(kDefaultBeepHz, kDefaultBeepMs);
    ui_.progress_close(kFirmwareProgressBox);
    if (sent.end == TransferEnd::kComplete) {
        finish(kDownloadDone, {});
    } else if (!sent.dload_sent) {
        finish(kDownloadBadData, "Syntax error/bad data\n\nThe sensor was no longer connected.\n"
                                 "Nothing was sent to the sensor.");
    } else {
        finish(kDownloadBadData, "Syntax error/bad data\n\n" + firmware_state_sentence(sent));
    }
}

void FirmwareDownload::finish(int result, const std::string &message) {
    result_ = result;
    if (!message.empty())
        ui_.message(kFirmwareCaption, message, MessageButtons::kOk, MessageIcon::kExclamation);
}

bool FirmwareDownload::wait_finished(std::chrono::milliseconds timeout) const {
    return worker_->wait_idle(timeout);
}

bool FirmwareDownload::shutdown(std::chrono::milliseconds timeout) {
    return worker_->shutdown(timeout);
}

} // namespace meterdesk
