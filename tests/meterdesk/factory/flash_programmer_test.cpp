// The FLASH programmer: the image check and its packets, and whole runs against the simulated
// bench programmer (identity, confirmation, packets, progress, a silent or pulled programmer, a
// second "Program", Cancel releasing the programmer).
#include "meterdesk/factory/flash_image.h"
#include "meterdesk/factory/flash_programmer.h"
#include "meterdesk/support/fake_controls.h"
#include "meterdesk/support/meter_fixture.h"

#include "meterdesk/core/worker.h"

#include "link/link.h"

#include <rfsim/rfsim_bus.h>

#include <cstdio>
#include <fstream>

namespace {

using namespace meterdesk_test;
using meterdesk::Packet;
using Kind = UiCall::Kind;

// One Intel HEX record with its checksum.
std::string record(int type, unsigned address, const std::vector<std::uint8_t> &data) {
    char text[16];
    std::snprintf(text, sizeof text, ":%02X%04X%02X", static_cast<unsigned>(data.size()), address,
                  static_cast<unsigned>(type));
    std::string line = text;
    unsigned sum = static_cast<unsigned>(data.size()) + (address >> 8) + (address & 0xFF) +
                   static_cast<unsigned>(type);
    for (std::uint8_t byte : data) {
        std::snprintf(text, sizeof text, "%02X", byte);
        line += text;
        sum += byte;
    }
    std::snprintf(text, sizeof text, "%02X\n", (0x100 - (sum & 0xFF)) & 0xFF);
    return line + text;
}

std::vector<std::uint8_t> bytes(std::size_t count, std::uint8_t first = 0) {
    std::vector<std::uint8_t> out(count);
    for (std::size_t i = 0; i < count; ++i) out[i] = static_cast<std::uint8_t>(first + i);
    return out;
}

const std::string kEnd = ":00000001FF\n";
const std::string kExtended0 = record(4, 0, {0, 0});

std::string hex(const Packet &packet) {
    std::string out;
    for (std::uint8_t byte : packet) {
        char text[4];
        std::snprintf(text, sizeof text, "%02X", byte);
        out += (out.empty() ? "" : " ") + std::string(text);
    }
    return out;
}

std::vector<std::string> all_packets(const meterdesk::FlashImage &image) {
    std::vector<std::string> out;
    for (const auto &line : image.lines)
        for (const auto &packet : line.packets) out.push_back(hex(packet));
    return out;
}

TEST(FlashImage, GapsAreSkippedRowByRow) {
    const auto built = meterdesk::build_flash_image(kExtended0 + record(0, 0x0000, bytes(16)) +
                                                    record(0, 0x0040, bytes(16, 0x40)) + kEnd);
    ASSERT_TRUE(built.image) << built.error->reason;
    const auto packets = all_packets(*built.image);
    ASSERT_EQ(packets.size(), 5u);
    EXPECT_EQ(packets[0], "00 80 00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F 00 82");
    for (int i = 1; i <= 3; ++i) EXPECT_EQ(packets[static_cast<std::size_t>(i)], "08 87 00 82");
    EXPECT_EQ(packets[4].substr(0, 8), "00 81 40");
    EXPECT_EQ(built.image->packet_count, 6u); // and the end packet
}

TEST(FlashImage, ShortRecordsArePaddedAndConfigurationWordsGoAlone) {
    const auto built = meterdesk::build_flash_image(record(0, 0x0000, bytes(8, 0xA0)) +
                                                    record(0, 0x4200, {0x12, 0x34}) + kEnd);
    ASSERT_TRUE(built.image) << built.error->reason;
    const auto packets = all_packets(*built.image);
    ASSERT_EQ(packets.size(), 2u);
    // The first data packet carries 00 80 also without an extended address record.
    EXPECT_EQ(packets[0], "00 80 A0 A1 A2 A3 A4 A5 A6 A7 FF FF FF FF FF FF FF FF 00 82");
    EXPECT_EQ(packets[1], "07 85 12 34 00 82");
    EXPECT_TRUE(built.image->multiword_lines.empty());

    const auto multiword = meterdesk::build_flash_image(record(0, 0x400E, bytes(4)) + kEnd);
    ASSERT_TRUE(multiword.image);
    EXPECT_EQ(multiword.image->multiword_lines, std::vector<int>{1});
}

TEST(FlashImage, AFileThatBreaksARuleIsRefusedWhole) {
    std::string bad_checksum = record(0, 0x0010, bytes(16));
    bad_checksum[bad_checksum.size() - 2] ^= 1;
    struct Case {
        std::string content;
        int line;
        const char *reason;
    } const cases[] = {
        {record(0, 0, bytes(16)) + bad_checksum + kEnd, 2, "checksum error"},
        {record(0, 0, bytes(17)) + kEnd, 1, "a record of more than 16 data bytes"},
        {record(0, 0x0008, bytes(8)) + kEnd, 1, "address 0008 is not a multiple of 16"},
        {record(0, 0x0020, bytes(16)) + record(0, 0x0010, bytes(16)) + kEnd, 2,
         "address 0010 is not above the previous record's"},
        {record(0, 0x0020, bytes(16)) + record(0, 0x0020, bytes(16)) + kEnd, 2,
         "address 0020 is not above the previous record's"},
        {record(4, 0, {0, 1}) + kEnd, 1, "an extended address other than 0"},
        {record(2, 0, {0x10, 0}) + kEnd, 1, "record type 02 is not supported"},
        {record(0, 0, bytes(16)), 1, "no end record"},
        {kEnd + record(0, 0, bytes(16)), 2, "data after the end record"},
        {record(0, 0x4000, bytes(1)) + kEnd, 1, "a configuration record of less than one word"},
        {std::string(meterdesk::kMaxFlashFileBytes + 1, '\n'), 0, "the file is larger than 1 MiB"},
    };
    for (const auto &c : cases) {
        const auto built = meterdesk::build_flash_image(c.content);
        ASSERT_FALSE(built.image) << c.reason;
        EXPECT_EQ(built.error->line, c.line) << c.reason;
        EXPECT_EQ(built.error->reason, c.reason);
    }
    EXPECT_EQ(meterdesk::bad_hex_file_text({3, "checksum error"}),
              "Bad HEX file: line 3 checksum error.\n\nNothing was programmed.");
}

} // namespace

namespace {

constexpr meterdesk::FlashTiming kFlashTiming{std::chrono::milliseconds(2000),
                                              std::chrono::milliseconds(20)};
const std::vector<int> kFlashIds = {1452, 1403, 1402, 1453, 1441, 1450, 1451};

// A small firmware image: extended address, two rows with a gap, a short row, a configuration
// word, the end.
std::string sample_image() {
    return kExtended0 + record(0, 0x0000, bytes(16)) + record(0, 0x0040, bytes(16, 0x40)) +
           record(0, 0x0050, bytes(8, 0x50)) + record(0, 0x400E, {0x3F, 0x3A}) + kEnd;
}

std::string sim_get(int device, const char *key) {
    std::string value(1 << 20, '\0');
    const int length = rfsim_get(device, key, value.data(), static_cast<int>(value.size()));
    EXPECT_GE(length, 0) << rfsim_error();
    value.resize(static_cast<std::size_t>(std::max(length, 0)));
    return value;
}

std::vector<std::string> lines_of(const std::string &text) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start < text.size()) {
        const auto end = text.find('\n', start);
        out.push_back(text.substr(start, end - start));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return out;
}

class FlashProgrammerTest : public MeterTest {
  protected:
    void SetUp() override { state.app_dir = app.path().string(); }

    void bus(const std::string &text) {
        ASSERT_GE(rfsim_configure(text.c_str()), 0) << rfsim_error();
    }

    void hex_file(const std::string &content) {
        const auto path = app.path() / "firmware.hex";
        std::ofstream(path, std::ios::binary) << content;
        state.flash_hex_path = path.string();
    }

    // Presses "Program" and waits for the worker to finish.
    void program() {
        dialog.clicked(controls, 1453);
        ASSERT_TRUE(worker.wait_idle(std::chrono::milliseconds(10000)));
    }

    std::vector<UiCall> messages(std::size_t mark = 0) { return ui.of_kind(Kind::message, mark); }

    meterdesk::Worker worker;
    meterdesk::FlashProgrammer programmer{state, ui, rfsense::link::active_bus(), worker,
                                          kFlashTiming};
    FakeControls controls{kFlashIds};
    meterdesk::PicFlashProgramDialog dialog{state, ui, programmer};
};

TEST_F(FlashProgrammerTest, StreamsACheckedImageAndReportsIt) {
    bus("[device]\nkind = other\n[device]\nkind = programmer\n");
    hex_file(sample_image());
    dialog.open(controls);
    program();
    EXPECT_EQ(controls.text(1403), "PIC PROGRAMMER V2.1");
    const auto shown = messages();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].caption, "MicroController FLASH Programmer");
    EXPECT_EQ(shown[0].buttons, MessageButtons::kOkCancel);
    EXPECT_EQ(shown[0].text, "CAUTION\n\nThis procedure will\nover-write the current\n"
                             "microcontroller FLASH.\n\nProgrammer: PIC PROGRAMMER V2.1\nFile: " +
                                 state.flash_hex_path.get());
    EXPECT_EQ(shown[1].caption, "FLASH Programming");
    EXPECT_EQ(shown[1].text, "FLASH programming complete.\n8 packets sent to PIC PROGRAMMER V2.1.");
    EXPECT_EQ(
        lines_of(sim_get(1, "packets")),
        (std::vector<std::string>{"00 80 00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F 00 82",
                                  "08 87 00 82", "08 87 00 82", "08 87 00 82",
                                  "00 81 40 41 42 43 44 45 46 47 48 49 4A 4B 4C 4D 4E 4F 00 82",
                                  "00 81 50 51 52 53 54 55 56 57 FF FF FF FF FF FF FF FF 00 82",
                                  "07 85 3F 3A 00 82", "00 83 00 82"}));
    const auto opened = ui.of_kind(Kind::progress_open);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].caption, "FlashProgProgressBox");
    EXPECT_EQ(opened[0].number, 6);
    EXPECT_EQ(ui.count(Kind::progress_step), 6);
    EXPECT_EQ(ui.count(Kind::progress_close), 1);
    EXPECT_TRUE(state.programmer_connected);

    // A second "Program" closes the handle still held and programs again.
    program();
    EXPECT_EQ(messages().back().text,
              "FLASH programming complete.\n8 packets sent to PIC PROGRAMMER V2.1.");
    // Cancel releases the programmer for others.
    EXPECT_EQ(dialog.clicked(controls, 1441), meterdesk::DialogAction::kClose);
    EXPECT_FALSE(state.programmer_connected);
    const int handle = rfsim_bus_open(1);
    EXPECT_GT(handle, 0) << rfsim_error();
    rfsim_bus_close(handle);
}

TEST_F(FlashProgrammerTest, ABadFileSendsNothing) {
    bus("[device]\nkind = programmer\n");
    std::string image = sample_image();
    image[image.find('\n') + 10] ^= 1; // a data digit of line 2: its checksum no longer holds
    hex_file(image);
    program();
    const auto shown = messages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].caption, "FLASH Programming");
    EXPECT_EQ(shown[0].text, "Bad HEX file: line 2 checksum error.\n\nNothing was programmed.");
    EXPECT_EQ(sim_get(0, "packets"), "");
    EXPECT_EQ(ui.count(Kind::progress_open), 0);

    // A missing file, and the folder a cancelled file dialog leaves.
    for (const auto &path : {app.path() / "missing.hex", app.path()}) {
        state.flash_hex_path = path.string();
        const auto mark = ui.size();
        program();
        ASSERT_EQ(messages(mark).size(), 1u);
        EXPECT_EQ(messages(mark)[0].text, "File not found or not seleceted");
    }
}

TEST_F(FlashProgrammerTest, CancellingTheQuestionSendsNothing) {
    bus("[device]\nkind = programmer\n");
    hex_file(kExtended0 + record(0, 0x4000, bytes(4)) + kEnd);
    ui.script_answer(MessageAnswer::kCancel);
    program();
    const auto shown = messages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_NE(shown[0].text.find("\n\nWarning: the configuration record on line 2 holds more "
                                 "than one word; only the first word is sent."),
              std::string::npos)
        << shown[0].text;
    EXPECT_EQ(sim_get(0, "packets"), "");
    EXPECT_FALSE(state.programmer_connected);
}

TEST_F(FlashProgrammerTest, MissingOrSilentProgrammer) {
    bus("[device]\n");
    program();
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0].caption, "MicroController FLASH Programmer");
    EXPECT_EQ(messages()[0].text, "USB PIC Programmer not connected");

    bus("[device]\nkind = programmer\nsilent = 1\n");
    hex_file(sample_image());
    const auto mark = ui.size();
    const auto began = std::chrono::steady_clock::now();
    program();
    EXPECT_LT(std::chrono::steady_clock::now() - began, std::chrono::seconds(3));
    ASSERT_EQ(messages(mark).size(), 1u);
    EXPECT_EQ(messages(mark)[0].text,
              "USB PIC Programmer not responding.\nDisconnect it and reconnect.");
}

TEST_F(FlashProgrammerTest, APulledCableStopsAtItsLine) {
    // The identity query, then two data rows: the cable goes with the skips of line 3.
    bus("[device]\nkind = programmer\nfault = unplug@3\n");
    hex_file(sample_image());
    program();
    const auto shown = messages();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].caption, "FLASH Programming");
    EXPECT_TRUE(shown[1].text.starts_with("FLASH programming failed at line 3 of 6.\n\n"))
        << shown[1].text;
    EXPECT_TRUE(shown[1].text.ends_with("\n\nThe microcontroller may be only partly programmed: "
                                        "program it again."))
        << shown[1].text;
    EXPECT_EQ(ui.count(Kind::progress_close), 1);
}

TEST_F(FlashProgrammerTest, RealisticTimingWithNoise) {
    bus("[device]\nkind = sensor\nnoise_uv = 5\ntemperature_c = 35\n[device]\nkind = programmer\n"
        "timing = realistic\nlatency_ms = 4\n");
    hex_file(sample_image());
    program();
    ASSERT_EQ(messages().size(), 2u);
    EXPECT_EQ(messages()[1].text,
              "FLASH programming complete.\n8 packets sent to PIC PROGRAMMER V2.1.");
}

} // namespace
