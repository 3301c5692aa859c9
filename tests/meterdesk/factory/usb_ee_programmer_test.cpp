// The USB EE programmer and viewer against the simulated bus: the brand rows and their serial
// rules, the record in the bridge's two EEPROM behaviours, the question in both paths, the
// refusals (chip, string space, brand) and every EEPROM fault, and the state changing only
// after a verified write.
#include "meterdesk/factory/usb_ee_programmer.h"
#include "meterdesk/factory/usb_ee_record.h"
#include "meterdesk/factory/usb_ee_viewer.h"
#include "meterdesk/settings/support/settings_fixture.h"

#include "link/link.h"

#include <rfsim/rfsim_bus.h>

namespace {

using namespace meterdesk_test;
using meterdesk::BrandRow;
using meterdesk::DialogAction;
using Kind = UiCall::Kind;

constexpr meterdesk::TakeoverTiming kQuickTakeover{std::chrono::milliseconds(5),
                                                   std::chrono::milliseconds(3000)};
const std::vector<int> kProgrammerIds = {1445, 1403, 1446, 1686, 1447, 1443, 1444, 1442};

TEST(UsbEeRecord, ReprefixingKeepsTheRestAndNeverOverruns) {
    struct Case {
        const char *serial;
        BrandRow row;
        const char *expected;
    } const cases[] = {
        {"RXZ0042", BrandRow::kMarrick, "2060042"},
        {"2060042", BrandRow::kQuorixTechnology, "RXZ0042"},
        {"XR123456", BrandRow::kMarrick, "206123456"},
        {"RXZ123456", BrandRow::kZynQuorix, "XR123456"},
        {"X", BrandRow::kQuorixTechnology, "RXZ"},
        {"", BrandRow::kZynQuorix, "XR"},
        {"XR1234567890123", BrandRow::kQuorixTechnology, "RXZ123456789012"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(meterdesk::reprefix_serial(c.serial, c.row), c.expected) << c.serial;
}

TEST(UsbEeRecord, SerialFollowsTheSelectedRow) {
    struct Case {
        const char *serial;
        BrandRow row;
        bool accepted;
    } const cases[] = {
        {"XR123456", BrandRow::kZynQuorix, true},
        {"XR12345", BrandRow::kZynQuorix, false},
        {"XR1234567", BrandRow::kZynQuorix, false},
        {"206", BrandRow::kMarrick, false},
        {"2061", BrandRow::kMarrick, true},
        {"XR123456", BrandRow::kMarrick, false},
        {"2061234", BrandRow::kQuorixTechnology, false},
        {"RXZ1", BrandRow::kQuorixTechnology, true},
        {"RXZ-01", BrandRow::kQuorixTechnology, false},
        {"RXZ 001", BrandRow::kQuorixTechnology, false},
        {"RXZ123456789012", BrandRow::kQuorixTechnology, true},
        {"RXZ1234567890123", BrandRow::kQuorixTechnology, false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(meterdesk::serial_fits_row(c.serial, c.row), c.accepted) << c.serial;
}

TEST(UsbEeRecord, ComparisonKnowsABridgeWithoutAManufacturerIdField) {
    const auto written = meterdesk::usb_ee_record(BrandRow::kMarrick, 9, "2060042");
    auto read = written;
    read.manufacturer_id = "20";
    EXPECT_TRUE(meterdesk::eeprom_differences(written, read, false).empty());
    EXPECT_EQ(meterdesk::eeprom_differences(written, read, true),
              std::vector<std::string>{"Manufacturer ID: wrote \"QJ\", read \"20\""});
    read.serial_number = "2060043";
    read.product_id = 0x6015;
    EXPECT_EQ(meterdesk::eeprom_differences(written, read, false),
              (std::vector<std::string>{"Serial number: wrote \"2060042\", read \"2060043\"",
                                        "Product ID: wrote 0x6001, read 0x6015"}));
}

class UsbEeProgrammerTest : public SettingsTest {
  protected:
    std::vector<UiCall> messages(std::size_t mark) { return ui.of_kind(Kind::message, mark); }

    // Programs `serial` as description `entry`; returns the dialog's action.
    DialogAction program(int entry, const std::string &serial) {
        controls.set_selection(1446, entry);
        controls.set_text(1445, serial);
        return dialog.clicked(controls, 1447);
    }

    // The serial the bridge at bus position `index` reports.
    static std::string bridge_serial(int index) {
        char serial[32] = {};
        char description[80] = {};
        EXPECT_EQ(rfsim_bus_info(index, serial, sizeof serial, description, sizeof description), 0);
        return serial;
    }

    std::vector<std::string> viewer_lines() {
        FakeControls viewer_controls({1448, 1449});
        meterdesk::UsbEeViewerDialog viewer(state, ui, kQuickTakeover);
        EXPECT_TRUE(viewer.open(viewer_controls));
        return viewer_controls.items(1448);
    }

    FakeControls controls{kProgrammerIds};
    meterdesk::UsbEeProgrammerDialog dialog{state, ui, rfsense::link::active_bus(), kQuickTakeover};
};

TEST_F(UsbEeProgrammerTest, OpensWithTheSensorsEntryAndRowFollowsTheChoice) {
    connect(model_keys(3) + "serial = RXZ0042\n");
    dialog.open(controls);
    EXPECT_EQ(controls.selection(1446), 3);
    EXPECT_EQ(controls.items(1446).size(), 11u);
    EXPECT_EQ(controls.text(1445), "RXZ0042");
    EXPECT_EQ(controls.text(1403), "Quorix Techn'gy");
    controls.set_selection(1446, 9);
    dialog.description_chosen(controls);
    EXPECT_EQ(controls.text(1445), "2060042");
    EXPECT_EQ(controls.text(1403), "Marrick");
    EXPECT_FALSE(controls.enabled(1686));
    controls.set_selection(1446, 1);
    dialog.description_chosen(controls);
    controls.set_checked(1686, true);
    dialog.clicked(controls, 1686);
    EXPECT_TRUE(state.zyn_label);
    EXPECT_EQ(controls.text(1445), "XR0042");
    EXPECT_EQ(controls.text(1403), "Zyn Quorix");
    EXPECT_TRUE(controls.enabled(1686));
}

TEST_F(UsbEeProgrammerTest, SecondBrandSensorPassesOnTheSensorsOwnChip) {
    connect("description = USB Power Sensor 71326\nserial = 2061234\neeprom = ft232r\n");
    ASSERT_TRUE(state.brand_marrick);
    dialog.open(controls);
    EXPECT_EQ(controls.selection(1446), 9);
    const auto mark = ui.size();
    EXPECT_EQ(program(9, "2060042"), DialogAction::kClose);
    const auto shown = messages(mark);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].caption, "USB EE Program");
    EXPECT_EQ(shown[0].buttons, MessageButtons::kOkCancel);
    EXPECT_EQ(shown[0].text, "Found sensor.\nSerial number: 2061234\n\nOK to over-write EE?");
    EXPECT_EQ(shown[1].text, "Programmed USB EE successfully.\nSerial number 2060042\n\n       "
                             "*** IMPORTANT ***\nDisconnect sensor and reconnect.");
    EXPECT_EQ(bridge_serial(0), "2060042");
    EXPECT_EQ(state.sensor_serial.get(), "2060042");
    EXPECT_TRUE(state.brand_marrick);
    EXPECT_EQ(state.brand_label.get(), "Marrick");
    EXPECT_EQ(ui.repaints(RepaintRequest::kFrame, mark), 1);
    const auto lines = viewer_lines();
    ASSERT_GE(lines.size(), 9u);
    EXPECT_EQ(lines[0], "USB EE Data Read From Serial Number 2060042");
    EXPECT_EQ(lines[7], "Manufacturer ID = 20");
    EXPECT_EQ(lines[17], "Serial number enabled");
    EXPECT_TRUE(eventually([&] { return state.live_readout_enabled.load(); }));
}

TEST_F(UsbEeProgrammerTest, StoredRecordReadsBackFieldForField) {
    connect(model_keys(1) + "serial = RXZ0001\n");
    dialog.open(controls);
    ASSERT_EQ(program(1, "RXZ0777"), DialogAction::kClose);
    EXPECT_EQ(bridge_serial(0), "RXZ0777");
    EXPECT_EQ(viewer_lines(),
              (std::vector<std::string>{"USB EE Data Read From Serial Number RXZ0777",
                                        " ",
                                        "Signature1 = 0x00000000",
                                        "Signature2 = 0xFFFFFFFF",
                                        "Vendor ID = 0x0403",
                                        "Product ID = 0x6001",
                                        "Manufacturer = Quorix Techn'gy",
                                        "Manufacturer ID = RX",
                                        "Description = USB Power Sensor RX2LOKAN",
                                        "Max Power = 24mA",
                                        "PnP = 1",
                                        "Not self powered",
                                        "No remote wake-up",
                                        "Rev4",
                                        "IsoIn = 0",
                                        "IsoOut = 0",
                                        "Pull dwon disabled",
                                        "Serial number disabled",
                                        "USB Version enabled",
                                        "USB 2"}));
}

TEST_F(UsbEeProgrammerTest, WithoutASessionTheFirstSensorBridgeIsAskedFor) {
    ASSERT_EQ(rfsim_configure("[device]\nkind = programmer\n[device]\nkind = other\n"
                              "[device]\nserial = RXZ0005\neeprom = ft232r\n"),
              3)
        << rfsim_error();
    controls.set_items(1446, meterdesk::usb_ee_model_table());
    EXPECT_EQ(program(3, "RXZ0006"), DialogAction::kClose);
    const auto shown = messages(0);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].text, "Found sensor.\nSerial number: RXZ0005\n\nOK to over-write EE?"
                             "\n\nUSB device: USB Power Sensor RX4LO");
    EXPECT_EQ(bridge_serial(2), "RXZ0006");
}

TEST_F(UsbEeProgrammerTest, NoSensorBridgeMeansNoSensorsFound) {
    for (const char *bus : {"[device]\nkind = programmer\n", "[device]\nplugged = 0\n"}) {
        ASSERT_GE(rfsim_configure(bus), 0) << rfsim_error();
        controls.set_items(1446, meterdesk::usb_ee_model_table());
        const auto mark = ui.size();
        EXPECT_EQ(program(0, "RXZ0006"), DialogAction::kStay);
        const auto shown = messages(mark);
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].caption, "USB EE Program");
        EXPECT_EQ(shown[0].text, "No sensors found.");
    }
    // The viewer has its own title.
    FakeControls viewer_controls({1448, 1449});
    meterdesk::UsbEeViewerDialog viewer(state, ui, kQuickTakeover);
    const auto mark = ui.size();
    EXPECT_FALSE(viewer.open(viewer_controls));
    ASSERT_EQ(messages(mark).size(), 1u);
    EXPECT_EQ(messages(mark)[0].caption, "USB EE Read");
    EXPECT_EQ(messages(mark)[0].text, "No sensors found.");
}

TEST_F(UsbEeProgrammerTest, RefusalsWriteNothing) {
    struct Case {
        const char *keys;
        int entry;
        const char *serial;
        bool zyn;
        const char *text;
    } const cases[] = {
        {"chip = ft2232h\n", 3, "RXZ0006", false,
         "The EEPROM of this USB bridge (chip FT2232H) cannot be programmed and verified by this "
         "program.\n\nNothing was written."},
        {"eeprom = ft232r\n", 1, "RXZ12345678", false,
         "Manufacturer, description and serial number need 51 characters; the EEPROM of this USB "
         "bridge holds 48.\n\nNothing was written."},
        {"", 9, "XR123456", false, "Invalid Marrick serial number\nFormat: 206<number>"},
        {"", 2, "2061234", true, "Invalid Zyn Quorix serial number\nFormat: XR< 6 digits >"},
        {"", 0, "RXZ", false, "Invalid Quorix Technology serial number\nFormat: RXZ<number>"},
        {"", -1, "RXZ0006", false, "Select a description first."},
    };
    for (const auto &c : cases) {
        ASSERT_GE(rfsim_configure((std::string("[device]\nserial = RXZ0005\n") + c.keys).c_str()),
                  0);
        state.zyn_label = c.zyn;
        controls.set_items(1446, meterdesk::usb_ee_model_table());
        const auto mark = ui.size();
        EXPECT_EQ(program(c.entry, c.serial), DialogAction::kStay) << c.text;
        const auto shown = messages(mark);
        ASSERT_EQ(shown.size(), 1u) << c.text;
        EXPECT_EQ(shown[0].text, c.text);
        EXPECT_EQ(bridge_serial(0), "RXZ0005");
        EXPECT_EQ(state.sensor_serial.get(), "");
    }
}

TEST_F(UsbEeProgrammerTest, EepromFaultsNameWhatTheBridgeHolds) {
    struct Case {
        const char *mode;
        const char *failure;
    } const cases[] = {
        {"write_fails", "USB EE failed to program\n\nThe configuration EEPROM of the USB bridge "
                        "could not be written.\n\nThe USB bridge now holds: manufacturer "
                        "\"Quorix Techn'gy\", description \"USB Power Sensor RX4LO\", serial "
                        "number \"RXZ0005\".\nProgram it again."},
        {"corrupts", "USB EE failed to program\n\nSerial number: wrote \"RXZ0006\", read "
                     "\"RXZ0007\"\n\nThe USB bridge now holds: manufacturer \"Quorix Techn'gy\", "
                     "description \"USB Power Sensor RX4LO\", serial number \"RXZ0007\".\n"
                     "Program it again."},
        {"absent", "USB EE failed to program\n\nThe USB bridge has no configuration EEPROM.\n\n"
                   "The EEPROM of the USB bridge cannot be read: it may be blank.\n"
                   "Program it again."},
    };
    for (const auto &c : cases) {
        ASSERT_GE(
            rfsim_configure(
                (std::string("[device]\nserial = RXZ0005\neeprom = ") + c.mode + "\n").c_str()),
            0);
        controls.set_items(1446, meterdesk::usb_ee_model_table());
        const auto mark = ui.size();
        EXPECT_EQ(program(3, "RXZ0006"), DialogAction::kStay) << c.mode;
        const auto shown = messages(mark);
        ASSERT_EQ(shown.size(), 2u) << c.mode;
        EXPECT_EQ(shown[1].caption, "USB EE Program");
        EXPECT_EQ(shown[1].text, c.failure);
        EXPECT_EQ(state.sensor_serial.get(), "");
        EXPECT_EQ(ui.repaints(RepaintRequest::kFrame, mark), 0);
    }
}

TEST_F(UsbEeProgrammerTest, BlankBridgeIsProgrammedAsANewSensor) {
    ASSERT_GE(rfsim_configure("[device]\ndescription = USB <-> Serial\neeprom = blank\n"), 0);
    controls.set_items(1446, meterdesk::usb_ee_model_table());
    EXPECT_EQ(program(4, "RXZ0100"), DialogAction::kClose);
    const auto shown = messages(0);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].text,
              "Unknown (new) sensor.\n\nOK to program EE?\n\nUSB device: USB <-> Serial");
    EXPECT_EQ(bridge_serial(0), "RXZ0100");
}

TEST_F(UsbEeProgrammerTest, ThroughTheSessionInRealisticTimingAtFortyDegrees) {
    connect(model_keys(3) + "serial = RXZ0042\neeprom = ft232r\ntiming = realistic\n"
                            "latency_ms = 2\ntemperature_c = 40\nnoise_uv = 3\n");
    dialog.open(controls);
    const auto mark = ui.size();
    EXPECT_EQ(program(3, "RXZ0044"), DialogAction::kClose);
    ASSERT_EQ(messages(mark).size(), 2u);
    EXPECT_TRUE(messages(mark)[1].text.starts_with("Programmed USB EE successfully."));
    EXPECT_EQ(bridge_serial(0), "RXZ0044");
    // The reader and the measurement loop run again.
    const auto resumed = ui.size();
    EXPECT_TRUE(
        ui.wait_for(Kind::repaint, 1, static_cast<int>(RepaintRequest::kLiveReadout), resumed));
}

TEST_F(UsbEeProgrammerTest, CancelWritesNothing) {
    connect(model_keys(3) + "serial = RXZ0042\n");
    dialog.open(controls);
    ui.script_answer(MessageAnswer::kCancel);
    EXPECT_EQ(program(3, "RXZ0043"), DialogAction::kStay);
    EXPECT_EQ(bridge_serial(0), "RXZ0042");
    EXPECT_EQ(state.sensor_serial.get(), "RXZ0042");
    EXPECT_TRUE(eventually([&] { return state.live_readout_enabled.load(); }));
}

} // namespace
