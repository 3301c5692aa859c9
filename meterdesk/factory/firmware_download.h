// Firmware Download (command 40030): the user picks a HEX file; it is read whole and checked,
// rewritten into "temp.hex" in the install root's firmware folder and sent to the sensor by
// the FirmwareDownloadThread job behind the "FirmwareDloadProgressBox".
#pragma once

#include "meterdesk/core/sensor_takeover.h"
#include "meterdesk/factory/firmware_transfer.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace meterdesk {

struct AppState;
class Ui;
class Sound;
class Worker;

inline constexpr const char *kFirmwareCaption = "Sensor Firmware Download";
inline constexpr const char *kFirmwareProgressBox = "FirmwareDloadProgressBox";
inline constexpr const char *kFirmwareProgressText = "Downloading firmware, please wait.";
inline constexpr const char *kFirmwareCaution =
    "CAUTION\n\nThis procedure will\nover-write the current\nsensor firmware.";

// download_result values.
enum DownloadResult : int {
    kDownloadDone = 0,
    kDownloadSourceMissing = 1,
    kDownloadCopyInaccessible = 2,
    kDownloadBadData = 3, // a refused file, or a sensor that did not take it
};

struct FirmwareTiming {
    TakeoverTiming takeover;
    TransferTiming transfer;
};

// The copy: "temp.hex" in the install root's firmware folder.
std::filesystem::path firmware_copy_path();

class FirmwareDownload {
  public:
    FirmwareDownload(AppState &state, Ui &ui, Sound &sound, FirmwareTiming timing = {});
    ~FirmwareDownload();
    FirmwareDownload(const FirmwareDownload &) = delete;
    FirmwareDownload &operator=(const FirmwareDownload &) = delete;

    // The command, on the main thread: file dialog, caution box, the check of the source (a
    // refusal is shown at once and nothing is sent), then the progress box and the job.
    // Returns true when the job was started.
    bool download_command();

    // The last download's result (0..3), -1 before the first.
    int download_result() const { return result_.load(); }
    // The path chosen last.
    const std::string &firmware_source_path() const { return source_path_; }

    bool wait_finished(std::chrono::milliseconds timeout) const;
    bool shutdown(std::chrono::milliseconds timeout = std::chrono::milliseconds(3000));

  private:
    void run_job(std::vector<std::string> lines);
    void finish(int result, const std::string &message);

    AppState &state_;
    Ui &ui_;
    Sound &sound_;
    const FirmwareTiming timing_;
    std::string source_path_;
    std::atomic<int> result_{-1};
    std::unique_ptr<Worker> worker_;
};

} // namespace meterdesk
