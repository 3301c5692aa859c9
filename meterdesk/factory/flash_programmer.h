// The microcontroller FLASH programmer (resource "PicFlashProgramBox", command 40059): streams
// an Intel HEX file to the bench programmer ("USB PIC Programmer") on a worker thread. The
// file is checked whole before anything is sent, the user confirms with the programmer's
// identity and the file named, every write is checked, and the outcome is reported: success
// with the packets sent, or the line where it stopped and that the microcontroller may be only
// partly programmed.
#pragma once

#include "meterdesk/base/controls.h"
#include "meterdesk/factory/flash_image.h"

#include <chrono>
#include <memory>
#include <mutex>
#include <string>

namespace rfsense::link {
class Bus;
class Device;
} // namespace rfsense::link

namespace meterdesk {

struct AppState;
class Ui;
class Worker;

namespace pic_flash_box {

inline constexpr const char *kResourceName = "PicFlashProgramBox";
inline constexpr const char *kCaption = "Microcontorller FLASH Programmer";
inline constexpr const char *kMessageCaption = "MicroController FLASH Programmer";
inline constexpr const char *kFileCaption = "FLASH Programming";
inline constexpr const char *kProgressBox = "FlashProgProgressBox";
inline constexpr int kProgressBar = 1454;
inline constexpr int kHexFileEdit = 1452;
inline constexpr int kProgrammerId = 1403;
inline constexpr int kSelectFile = 1402;
inline constexpr int kProgram = 1453;
inline constexpr int kCancel = 1441;
inline constexpr int kVerify = 1450; // no action
inline constexpr int kHelp = 1451;   // no action

} // namespace pic_flash_box

inline constexpr const char *kProgrammerDescription = "USB PIC Programmer";

struct FlashTiming {
    std::chrono::milliseconds identity_limit{2000}; // longest wait for the identity
    std::chrono::milliseconds identity_silence{50}; // the answer has ended after this quiet
};

// The programmer's identity answer: the bytes up to "\r\n", or up to a short silence after the
// first byte, less the last two characters; nothing when it stays silent for `limit`.
std::optional<std::string> identify_programmer(rfsense::link::Device &device, FlashTiming timing);

// FlashProgrammerThread: the programmer's handle, held from "Program" until Cancel, the
// dialog's end or shutdown, and the job that streams an image on the worker.
class FlashProgrammer {
  public:
    FlashProgrammer(AppState &state, Ui &ui, rfsense::link::Bus &bus, Worker &worker,
                    FlashTiming timing = {});
    ~FlashProgrammer();

    // Finds the programmer among the bridges (the sensor search held meanwhile), purges it and
    // asks its identity, into AppState::programmer_id. A handle still held is closed first.
    // Tells the user and returns false when it is missing or silent.
    bool connect();

    // Closes the handle if one is held.
    void release();

    // Posts the job: progress box, packets, end packet, identity check, report. False when the
    // worker is busy or no programmer is held.
    bool start(FlashImage image);

    bool busy() const;

  private:
    void run(const FlashImage &image, std::shared_ptr<rfsense::link::Device> device);

    AppState &state_;
    Ui &ui_;
    rfsense::link::Bus &bus_;
    Worker &worker_;
    FlashTiming timing_;
    mutable std::mutex mutex_;
    std::shared_ptr<rfsense::link::Device> device_; // the programmer_handle
};

// The dialog's logic.
class PicFlashProgramDialog {
  public:
    PicFlashProgramDialog(AppState &state, Ui &ui, FlashProgrammer &programmer);

    void open(Controls &controls);
    DialogAction clicked(Controls &controls, int id);
    // The dialog ends however it ends: the programmer's handle is released (unless a job runs,
    // which keeps its own reference).
    void closed();

  private:
    void select_file(Controls &controls);
    void program(Controls &controls);

    AppState &state_;
    Ui &ui_;
    FlashProgrammer &programmer_;
};

} // namespace meterdesk
