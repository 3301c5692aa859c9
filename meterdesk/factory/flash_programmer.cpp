#include "meterdesk/factory/flash_programmer.h"

#include "meterdesk/base/paths.h"
#include "meterdesk/core/app_state.h"
#include "meterdesk/core/ports.h"
#include "meterdesk/core/search_hold.h"
#include "meterdesk/core/worker.h"

#include "link/link.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace meterdesk {

namespace ids = pic_flash_box;
namespace link = rfsense::link;

namespace {

constexpr const char *kHexFilter = "Hex Files (*.HEX)";

std::string link_sentence(const link::Device &device, link::Status status) {
    const std::string text = device.last_error();
    return text.empty() ? link::status_text(status) : text;
}

// Sends one packet whole; the reason when it did not go.
std::optional<std::string> send_packet(link::Device &device, const Packet &packet) {
    std::uint32_t written = 0;
    const link::Status status =
        device.write(packet.data(), static_cast<std::uint32_t>(packet.size()), written);
    if (status != link::Status::ok) return link_sentence(device, status);
    if (written != packet.size())
        return "The programmer took " + std::to_string(written) + " of the packet's " +
               std::to_string(packet.size()) + " bytes.";
    return std::nullopt;
}

// The whole file, when it can be read and holds at most 1 MiB (and one byte more, so that a
// larger file is recognised).
std::optional<std::string> read_hex_file(const std::string &path) {
    std::error_code error;
    // A folder (what a cancelled file dialog leaves) is no file either.
    if (path.empty() || !std::filesystem::is_regular_file(path, error)) return std::nullopt;
    std::ifstream file(path, std::ios::binary);
    if (!file) return std::nullopt;
    std::string content(kMaxFlashFileBytes + 1, '\0');
    file.read(content.data(), static_cast<std::streamsize>(content.size()));
    if (file.bad()) return std::nullopt;
    content.resize(static_cast<std::size_t>(file.gcount()));
    return content;
}

} // namespace

std::optional<std::string> identify_programmer(link::Device &device, FlashTiming timing) {
    if (device.purge() != link::Status::ok) return std::nullopt;
    const Packet &query = identity_query_packet();
    std::uint32_t written = 0;
    if (device.write(query.data(), static_cast<std::uint32_t>(query.size()), written) !=
            link::Status::ok ||
        written != query.size())
        return std::nullopt;
    const auto give_up = std::chrono::steady_clock::now() + timing.identity_limit;
    std::string answer;
    while (!answer.ends_with("\r\n")) {
        const auto now = std::chrono::steady_clock::now();
        if (now >= give_up) break;
        auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(give_up - now);
        if (!answer.empty()) wait = std::min(wait, timing.identity_silence);
        std::uint32_t waiting = 0;
        if (device.wait_queue(wait, waiting) != link::Status::ok) return std::nullopt;
        if (waiting == 0) {
            if (!answer.empty()) break; // the answer has ended
            continue;
        }
        std::string bytes(waiting, '\0');
        std::uint32_t got = 0;
        if (device.read(bytes.data(), waiting, got) != link::Status::ok) return std::nullopt;
        answer.append(bytes, 0, got);
        if (answer.size() > 256) break; // an identity is a short line
    }
    if (answer.empty()) return std::nullopt;
    answer.resize(answer.size() >= 2 ? answer.size() - 2 : 0);
    return answer;
}

FlashProgrammer::FlashProgrammer(AppState &state, Ui &ui, link::Bus &bus, Worker &worker,
                                 FlashTiming timing)
    : state_(state), ui_(ui), bus_(bus), worker_(worker), timing_(timing) {}

FlashProgrammer::~FlashProgrammer() {
    release();
}

void FlashProgrammer::release() {
    std::shared_ptr<link::Device> device;
    {
        std::lock_guard lock(mutex_);
        device = std::move(device_);
    }
    state_.programmer_connected = false;
}

bool FlashProgrammer::busy() const {
    return worker_.busy();
}

bool FlashProgrammer::connect() {
    release();
    std::unique_ptr<link::Device> found;
    {
        SearchHold hold(state_);
        std::uint32_t count = 0;
        if (bus_.list_devices(count) != link::Status::ok) count = 0;
        for (std::uint32_t index = 0; index < count && !found; ++index) {
            std::unique_ptr<link::Device> device;
            if (bus_.open(index, device) != link::Status::ok || !device) continue;
            link::DeviceInfo info;
            if (device->info(info) == link::Status::ok &&
                info.description == kProgrammerDescription)
                found = std::move(device);
        }
    }
    if (!found) {
        ui_.message(ids::kMessageCaption, "USB PIC Programmer not connected", MessageButtons::kOk,
                    MessageIcon::kExclamation);
        return false;
    }
    const auto identity = identify_programmer(*found, timing_);
    if (!identity) {
        ui_.message(ids::kMessageCaption,
                    "USB PIC Programmer not responding.\nDisconnect it and reconnect.",
                    MessageButtons::kOk, MessageIcon::kExclamation);
        return false;
    }
    state_.programmer_id = *identity;
    {
        std::lock_guard lock(mutex_);
        device_ = std::move(found);
    }
    state_.programmer_connected = true;
    return true;
}

bool FlashProgrammer::start(FlashImage image) {
    std::shared_ptr<link::Device> device;
    {
        std::lock_guard lock(mutex_);
        device = device_;
    }
    if (!device) return false;
    state_.flash_line_count = static_cast<std::int32_t>(image.lines.size());
    ui_.progress_open(ids::kProgressBox, "Programming the microcontroller FLASH, please wait.",
                      static_cast<int>(image.lines.size()));
    const bool posted =
        worker_.resume([this, image = std::move(image), device] { run(image, device); });
    if (!posted) ui_.progress_close(ids::kProgressBox);
    return posted;
}

void FlashProgrammer::run(const FlashImage &image, std::shared_ptr<link::Device> device) {
    std::size_t sent = 0;
    std::optional<std::string> failure;
    int failed_line = 0;
    for (const FlashLine &line : image.lines) {
        for (const Packet &packet : line.packets) {
            failure = send_packet(*device, packet);
            if (failure) break;
            ++sent;
        }
        if (failure) {
            failed_line = line.line;
            break;
        }
        ui_.progress_step(ids::kProgressBox);
    }
    if (!failure) {
        failure = send_packet(*device, end_packet());
        if (failure)
            failed_line = image.file_lines;
        else
            ++sent;
    }
    std::optional<std::string> answer;
    if (!failure) answer = identify_programmer(*device, timing_);
    ui_.progress_close(ids::kProgressBox);

    if (failure) {
        ui_.message(ids::kFileCaption,
                    "FLASH programming failed at line " + std::to_string(failed_line) + " of " +
                        std::to_string(image.file_lines) + ".\n\n" + *failure +
                        "\n\nThe microcontroller may be only partly programmed: program it "
                        "again.",
                    MessageButtons::kOk, MessageIcon::kExclamation);
        return;
    }
    std::string text = "FLASH programming complete.\n" + std::to_string(sent) +
                       " packets sent to " + state_.programmer_id.get() + ".";
    if (!answer)
        text += "\n\nWarning: the programmer did not answer its identity query afterwards; "
                "check it before relying on the result.";
    ui_.message(ids::kFileCaption, text, MessageButtons::kOk, MessageIcon::kExclamation);
}

PicFlashProgramDialog::PicFlashProgramDialog(AppState &state, Ui &ui, FlashProgrammer &programmer)
    : state_(state), ui_(ui), programmer_(programmer) {}

void PicFlashProgramDialog::open(Controls &controls) {
    controls.set_text(ids::kHexFileEdit, state_.flash_hex_path.get());
    controls.set_text(ids::kProgrammerId, state_.programmer_id.get());
}

DialogAction PicFlashProgramDialog::clicked(Controls &controls, int id) {
    switch (id) {
    case ids::kSelectFile:
        select_file(controls);
        break;
    case ids::kProgram:
        program(controls);
        break;
    case ids::kCancel:
        closed();
        return DialogAction::kClose;
    default:
        break;
    }
    return DialogAction::kStay;
}

void PicFlashProgramDialog::closed() {
    programmer_.release();
}

void PicFlashProgramDialog::select_file(Controls &controls) {
    const std::string folder = paths::resolve(state_.app_dir.get(), "firmware").string();
    const std::string path = ui_.open_file_dialog(folder, kHexFilter);
    // Cancelling puts the folder into the path, so that a following "Program" finds no file.
    state_.flash_hex_path = path.empty() ? folder : path;
    controls.set_text(ids::kHexFileEdit, state_.flash_hex_path.get());
}

void PicFlashProgramDialog::program(Controls &controls) {
    if (programmer_.busy()) return;
    if (!programmer_.connect()) {
        controls.set_text(ids::kProgrammerId, "");
        return;
    }
    controls.set_text(ids::kProgrammerId, state_.programmer_id.get());

    const std::string path = state_.flash_hex_path.get();
    const auto content = read_hex_file(path);
    if (!content) {
        ui_.message(ids::kFileCaption, "File not found or not seleceted", MessageButtons::kOk,
                    MessageIcon::kExclamation);
        programmer_.release();
        return;
    }
    FlashImageResult built = build_flash_image(*content);
    if (!built.image) {
        ui_.message(ids::kFileCaption, bad_hex_file_text(*built.error), MessageButtons::kOk,
                    MessageIcon::kExclamation);
        programmer_.release();
        return;
    }
    std::string question = "CAUTION\n\nThis procedure will\nover-write the current\n"
                           "microcontroller FLASH.\n\nProgrammer: " +
                           state_.programmer_id.get() + "\nFile: " + path;
    const auto &multiword = built.image->multiword_lines;
    if (!multiword.empty()) {
        const bool several = multiword.size() > 1;
        question += several ? "\n\nWarning: the configuration records on lines "
                            : "\n\nWarning: the configuration record on line ";
        for (std::size_t i = 0; i < multiword.size(); ++i)
            question += (i > 0 ? ", " : "") + std::to_string(multiword[i]);
        question += several ? " hold more than one word; only the first word of each is sent."
                            : " holds more than one word; only the first word is sent.";
    }
    if (ui_.message(ids::kMessageCaption, question, MessageButtons::kOkCancel,
                    MessageIcon::kExclamation) != MessageAnswer::kOk) {
        programmer_.release();
        return;
    }
    programmer_.start(std::move(*built.image));
}

} // namespace meterdesk
