// The emulated USB bus as libusb and libftdi1 see it: the simulated devices as FT232R bridges,
// the kernel driver and the interface claim, refusals, the chip's packets and latency timer,
// unplug and replug, the EEPROM, asynchronous transfers, and the record of what was asked.
#include "usb/support/emulated_usb.h"

#include "rfsim/rfsim_bus.h"

#include <ftdi.h>
#include <libusb.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <array>
#include <chrono>
#include <cstring>
#include <memory>
#include <ostream>
#include <set>
#include <string>
#include <thread>

namespace {

using namespace usb_test;
using testing::HasSubstr;

struct FtdiFree {
    void operator()(ftdi_context *f) const { ftdi_free(f); }
};
using Ftdi = std::unique_ptr<ftdi_context, FtdiFree>;

Ftdi new_ftdi(ftdi_module_detach_mode mode = AUTO_DETACH_REATACH_SIO_MODULE) {
    Ftdi f(ftdi_new());
    if (f) f->module_detach_mode = mode;
    return f;
}

// A libusb context with the bus's devices listed.
class Listed {
  public:
    Listed() {
        EXPECT_EQ(libusb_init(&context_), 0);
        count_ = libusb_get_device_list(context_, &list_);
    }
    ~Listed() {
        if (list_ != nullptr) libusb_free_device_list(list_, 1);
        libusb_exit(context_);
    }
    Listed(const Listed &) = delete;
    Listed &operator=(const Listed &) = delete;

    ssize_t count() const { return count_; }
    libusb_device *at(ssize_t i) const { return list_[i]; }

  private:
    libusb_context *context_ = nullptr;
    libusb_device **list_ = nullptr;
    ssize_t count_ = -1;
};

// An opened and claimed device at the libusb level, with the latency timer set.
class Claimed {
  public:
    explicit Claimed(libusb_device *device, int latency_ms = 1) {
        EXPECT_EQ(libusb_open(device, &handle_), 0);
        if (handle_ == nullptr) return;
        libusb_set_auto_detach_kernel_driver(handle_, 1);
        EXPECT_EQ(libusb_claim_interface(handle_, 0), 0);
        EXPECT_EQ(control_out(9, uint16_t(latency_ms)), 0);
    }
    ~Claimed() {
        if (handle_ != nullptr) libusb_close(handle_);
    }
    Claimed(const Claimed &) = delete;
    Claimed &operator=(const Claimed &) = delete;

    libusb_device_handle *get() const { return handle_; }

    int control_out(uint8_t request, uint16_t value) {
        return libusb_control_transfer(handle_, 0x40, request, value, 1, nullptr, 0, 1000);
    }

    void send(const std::string &bytes) {
        int sent = 0;
        std::string copy = bytes;
        ASSERT_EQ(libusb_bulk_transfer(handle_, 0x02,
                                       reinterpret_cast<unsigned char *>(copy.data()),
                                       int(copy.size()), &sent, 1000),
                  0);
        ASSERT_EQ(sent, int(bytes.size()));
    }

    // One bulk IN transfer; returns its result and the bytes received.
    int receive(std::string &out, int length = 4096, unsigned timeout_ms = 1000) {
        std::vector<unsigned char> buffer(std::size_t(length), 0);
        int got = 0;
        const int code =
            libusb_bulk_transfer(handle_, 0x81, buffer.data(), length, &got, timeout_ms);
        out.assign(reinterpret_cast<const char *>(buffer.data()), std::size_t(got));
        return code;
    }

  private:
    libusb_device_handle *handle_ = nullptr;
};

TEST(EmulatedUsb, StandsInForEveryLibusbFunctionLibftdiCalls) {
    // The libusb imports of libftdi1 1.5 (nm -D libftdi1.so.2) and of the link layer.
    const char *names[] = {"libusb_alloc_transfer",
                           "libusb_bulk_transfer",
                           "libusb_cancel_transfer",
                           "libusb_claim_interface",
                           "libusb_close",
                           "libusb_control_transfer",
                           "libusb_detach_kernel_driver",
                           "libusb_exit",
                           "libusb_free_config_descriptor",
                           "libusb_free_device_list",
                           "libusb_free_transfer",
                           "libusb_get_bus_number",
                           "libusb_get_config_descriptor",
                           "libusb_get_configuration",
                           "libusb_get_device_address",
                           "libusb_get_device_descriptor",
                           "libusb_get_device_list",
                           "libusb_get_string_descriptor_ascii",
                           "libusb_handle_events_timeout",
                           "libusb_handle_events_timeout_completed",
                           "libusb_init",
                           "libusb_open",
                           "libusb_ref_device",
                           "libusb_release_interface",
                           "libusb_set_auto_detach_kernel_driver",
                           "libusb_set_configuration",
                           "libusb_submit_transfer",
                           "libusb_unref_device",
                           "libusb_strerror",
                           "libusb_error_name",
                           "libusb_kernel_driver_active",
                           "libusb_attach_kernel_driver",
                           "libusb_get_port_numbers"};
    for (const char *name : names) {
        void *function = dlsym(RTLD_DEFAULT, name);
        ASSERT_NE(function, nullptr) << name;
        Dl_info info{};
        ASSERT_NE(dladdr(function, &info), 0) << name;
        EXPECT_THAT(info.dli_fname, HasSubstr("librfsim-usb")) << name;
    }
    // And libftdi's calls land there.
    configure("");
    Ftdi f = new_ftdi();
    EXPECT_EQ(calls_of("libusb_init"), 1);
}

TEST(EmulatedUsb, PresentsEachSimulatedDeviceAsAnFt232r) {
    configure("[device]\nserial = RX9001\n"
              "[device]\nkind = programmer\nserial = PP1\n");
    Listed listed;
    ASSERT_EQ(listed.count(), 2);
    std::set<int> addresses;
    for (ssize_t i = 0; i < 2; ++i) {
        libusb_device *device = listed.at(i);
        libusb_device_descriptor d{};
        ASSERT_EQ(libusb_get_device_descriptor(device, &d), 0);
        EXPECT_EQ(d.idVendor, 0x0403);
        EXPECT_EQ(d.idProduct, 0x6001);
        EXPECT_EQ(d.bcdDevice, 0x0600);
        EXPECT_EQ(d.iSerialNumber, 3);
        EXPECT_EQ(d.bNumConfigurations, 1);
        libusb_config_descriptor *config = nullptr;
        ASSERT_EQ(libusb_get_config_descriptor(device, 0, &config), 0);
        ASSERT_EQ(config->bNumInterfaces, 1);
        ASSERT_EQ(config->interface[0].num_altsetting, 1);
        const libusb_interface_descriptor &setting = config->interface[0].altsetting[0];
        ASSERT_EQ(setting.bNumEndpoints, 2);
        for (int e = 0; e < 2; ++e) {
            EXPECT_EQ(setting.endpoint[e].bEndpointAddress, e == 0 ? 0x81 : 0x02);
            EXPECT_EQ(setting.endpoint[e].bmAttributes, LIBUSB_TRANSFER_TYPE_BULK);
            EXPECT_EQ(setting.endpoint[e].wMaxPacketSize, 64);
        }
        libusb_free_config_descriptor(config);
        EXPECT_EQ(libusb_get_bus_number(device), 1);
        addresses.insert(libusb_get_device_address(device));
        uint8_t ports[7] = {};
        ASSERT_EQ(libusb_get_port_numbers(device, ports, 7), 1);
        EXPECT_EQ(ports[0], i + 1);
    }
    EXPECT_EQ(addresses.size(), 2u);

    // The strings, read by libftdi1's own code.
    Ftdi f = new_ftdi();
    ftdi_device_list *found = nullptr;
    ASSERT_EQ(ftdi_usb_find_all(f.get(), &found, 0x0403, 0x6001), 2);
    const std::array<std::array<std::string, 3>, 2> expected{
        {{"Quorix Techn'gy", "USB Power Sensor RX4LO", "RX9001"},
         {"FTDI", "USB PIC Programmer", "PP1"}}};
    int i = 0;
    for (ftdi_device_list *d = found; d != nullptr; d = d->next, ++i) {
        char manufacturer[64], description[64], serial[32];
        ASSERT_EQ(
            ftdi_usb_get_strings(f.get(), d->dev, manufacturer, 64, description, 64, serial, 32), 0)
            << ftdi_get_error_string(f.get());
        EXPECT_EQ(manufacturer, expected[std::size_t(i)][0]);
        EXPECT_EQ(description, expected[std::size_t(i)][1]);
        EXPECT_EQ(serial, expected[std::size_t(i)][2]);
    }
    ftdi_list_free(&found);
}

struct DetachCase {
    const char *name;
    ftdi_module_detach_mode mode;
    int open_result;
    const char *driver_after_close;
};

void PrintTo(const DetachCase &c, std::ostream *out) {
    *out << c.name;
}

class KernelDriver : public testing::TestWithParam<DetachCase> {};

TEST_P(KernelDriver, FollowsLibftdisDetachMode) {
    const DetachCase &c = GetParam();
    configure("");
    EXPECT_EQ(usb_get(0, "kernel_driver"), "attached");
    Ftdi f = new_ftdi(c.mode);
    ASSERT_EQ(ftdi_usb_open(f.get(), 0x0403, 0x6001), c.open_result)
        << ftdi_get_error_string(f.get());
    if (c.open_result != 0) {
        EXPECT_EQ(usb_get(0, "kernel_driver"), "attached");
        return;
    }
    EXPECT_EQ(f->type, TYPE_R);
    EXPECT_EQ(f->max_packet_size, 64);
    EXPECT_EQ(usb_get(0, "kernel_driver"), "detached");
    EXPECT_EQ(usb_get(0, "claimed"), "1");
    // libftdi1 resets the port and leaves the line at 9600 baud on open.
    const auto sent = requests(0);
    EXPECT_EQ(count_of(sent, "reset value=0 index=1"), 1);
    EXPECT_EQ(count_of(sent, "baud_rate value=16696 index=0"), 1);
    ftdi_usb_close(f.get());
    EXPECT_EQ(usb_get(0, "claimed"), "0");
    EXPECT_EQ(usb_get(0, "kernel_driver"), c.driver_after_close);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, KernelDriver,
    testing::Values(DetachCase{"reattach", AUTO_DETACH_REATACH_SIO_MODULE, 0, "attached"},
                    DetachCase{"detach", AUTO_DETACH_SIO_MODULE, 0, "detached"},
                    // With the driver bound and nothing detaching it, the claim is refused.
                    DetachCase{"leave", DONT_DETACH_SIO_MODULE, -5, "attached"}),
    [](const testing::TestParamInfo<DetachCase> &param_info) {
        return std::string(param_info.param.name);
    });

TEST(EmulatedUsb, DetachedDriverCanBeAttachedAgain) {
    configure("");
    Listed listed;
    ASSERT_EQ(listed.count(), 1);
    libusb_device_handle *handle = nullptr;
    ASSERT_EQ(libusb_open(listed.at(0), &handle), 0);
    EXPECT_EQ(libusb_kernel_driver_active(handle, 0), 1);
    EXPECT_EQ(libusb_claim_interface(handle, 0), LIBUSB_ERROR_BUSY); // the driver holds it
    EXPECT_EQ(libusb_detach_kernel_driver(handle, 0), 0);
    EXPECT_EQ(libusb_kernel_driver_active(handle, 0), 0);
    EXPECT_EQ(libusb_detach_kernel_driver(handle, 0), LIBUSB_ERROR_NOT_FOUND);
    ASSERT_EQ(libusb_claim_interface(handle, 0), 0);
    EXPECT_EQ(libusb_attach_kernel_driver(handle, 0), LIBUSB_ERROR_BUSY); // claimed by us
    ASSERT_EQ(libusb_release_interface(handle, 0), 0);
    EXPECT_EQ(libusb_attach_kernel_driver(handle, 0), 0);
    EXPECT_EQ(libusb_kernel_driver_active(handle, 0), 1);
    EXPECT_EQ(libusb_claim_interface(handle, 1), LIBUSB_ERROR_NOT_FOUND); // one interface only
    libusb_close(handle);
}

TEST(EmulatedUsb, RefusesAsAHostWithoutPermissionOrWithTheDeviceHeldElsewhere) {
    configure("");
    usb_set(0, "access", "denied");
    {
        Listed listed;
        libusb_device_handle *handle = nullptr;
        EXPECT_EQ(libusb_open(listed.at(0), &handle), LIBUSB_ERROR_ACCESS);
        Ftdi f = new_ftdi();
        EXPECT_EQ(ftdi_usb_open(f.get(), 0x0403, 0x6001), -4);
    }
    usb_set(0, "access", "granted");
    usb_set(0, "busy", "1");
    {
        Ftdi f = new_ftdi();
        EXPECT_EQ(ftdi_usb_open(f.get(), 0x0403, 0x6001), -5);
        EXPECT_EQ(usb_get(0, "kernel_driver"), "attached");
    }
    usb_set(0, "busy", "0");
    // A second program finds the interface claimed by the first.
    Ftdi first = new_ftdi();
    ASSERT_EQ(ftdi_usb_open(first.get(), 0x0403, 0x6001), 0);
    Ftdi second = new_ftdi();
    EXPECT_EQ(ftdi_usb_open(second.get(), 0x0403, 0x6001), -5);
    EXPECT_EQ(usb_get(0, "open_handles"), "1");
}

TEST(EmulatedUsb, RepliesArriveBehindTheTwoModemStatusBytes) {
    configure("");
    Listed listed;
    Claimed chip(listed.at(0));
    std::string in;
    ASSERT_EQ(chip.receive(in), 0);
    EXPECT_EQ(in, std::string("\x01\x60", 2)) << "nothing to send: a status-only packet";

    chip.send("ID?\n");
    std::string reply;
    for (int i = 0; i < 20 && reply.size() <= 2; ++i) ASSERT_EQ(chip.receive(reply), 0);
    EXPECT_EQ(reply, std::string("\x01\x60", 2) + "USB SENSOR V4.7\n");

    // Five replies (80 bytes): one full packet, then the rest in a short one, each behind its
    // own status bytes.
    chip.send("ID?\nID?\nID?\nID?\nID?\n");
    std::string all;
    for (int i = 0; i < 20 && all.size() < 84; ++i) {
        std::string part;
        ASSERT_EQ(chip.receive(part), 0);
        if (part.size() > 2) all += part;
    }
    ASSERT_EQ(all.size(), 84u);
    EXPECT_EQ(all.substr(0, 2), std::string("\x01\x60", 2));
    EXPECT_EQ(all.substr(64, 2), std::string("\x01\x60", 2));
    std::string five;
    for (int i = 0; i < 5; ++i) five += "USB SENSOR V4.7\n";
    EXPECT_EQ(all.substr(2, 62) + all.substr(66), five);

    // A buffer with room for one packet takes one.
    chip.send("ID?\nID?\nID?\nID?\nID?\n");
    std::string one;
    for (int i = 0; i < 20 && one.size() <= 2; ++i) ASSERT_EQ(chip.receive(one, 64), 0);
    EXPECT_EQ(one.size(), 64u);
    std::string too_small;
    EXPECT_EQ(chip.receive(too_small, 63), LIBUSB_ERROR_OVERFLOW);
}

TEST(EmulatedUsb, LatencyTimerHoldsShortPacketsButNotFullOnes) {
    configure("");
    Listed listed;
    Claimed chip(listed.at(0), 250);
    std::array<unsigned char, 1> latency{};
    ASSERT_EQ(libusb_control_transfer(chip.get(), 0xC0, 0x0A, 0, 1, latency.data(), 1, 1000), 1);
    EXPECT_EQ(latency[0], 250);

    std::string in;
    ASSERT_EQ(chip.receive(in), 0); // the timer had long expired: at once
    // The timer restarted with that packet: a transfer that gives up well before it ends gets
    // nothing, not even the status bytes.
    EXPECT_EQ(chip.receive(in, 4096, 30), LIBUSB_ERROR_TIMEOUT);
    EXPECT_EQ(in, "");

    // A full packet does not wait for the timer; the short rest does.
    chip.send("ID?\nID?\nID?\nID?\nID?\n");
    EXPECT_EQ(chip.receive(in, 4096, 60), LIBUSB_ERROR_TIMEOUT);
    ASSERT_EQ(in.size(), 64u);
    EXPECT_EQ(in.substr(0, 18), std::string("\x01\x60", 2) + "USB SENSOR V4.7\n");
}

TEST(EmulatedUsb, UnplugFailsEveryCallAndReplugComesBackAtANewAddress) {
    configure("[device]\n[device]\nserial = RX000002\n");
    libusb_context *context = nullptr;
    ASSERT_EQ(libusb_init(&context), 0);
    libusb_device **list = nullptr;
    ASSERT_EQ(libusb_get_device_list(context, &list), 2);
    const int address = libusb_get_device_address(list[0]);
    libusb_device_handle *handle = nullptr;
    ASSERT_EQ(libusb_open(list[0], &handle), 0);
    libusb_free_device_list(list, 1);
    EXPECT_EQ(usb_get(0, "address"), std::to_string(address));

    set_key(0, "plugged", "0");
    unsigned char byte[2] = {};
    int got = 0;
    EXPECT_EQ(libusb_control_transfer(handle, 0xC0, 0x05, 0, 1, byte, 2, 100),
              LIBUSB_ERROR_NO_DEVICE);
    EXPECT_EQ(libusb_bulk_transfer(handle, 0x81, byte, 2, &got, 100), LIBUSB_ERROR_NO_DEVICE);
    EXPECT_EQ(libusb_claim_interface(handle, 0), LIBUSB_ERROR_NO_DEVICE);
    EXPECT_EQ(libusb_kernel_driver_active(handle, 0), LIBUSB_ERROR_NO_DEVICE);
    int config = 0;
    EXPECT_EQ(libusb_get_configuration(handle, &config), LIBUSB_ERROR_NO_DEVICE);
    EXPECT_EQ(libusb_get_string_descriptor_ascii(handle, 2, byte, 2), LIBUSB_ERROR_NO_DEVICE);
    EXPECT_EQ(usb_get(0, "address"), "");
    ASSERT_EQ(libusb_get_device_list(context, &list), 1);
    libusb_free_device_list(list, 1);

    set_key(0, "plugged", "1");
    ASSERT_EQ(libusb_get_device_list(context, &list), 2);
    EXPECT_NE(libusb_get_device_address(list[0]), address);
    EXPECT_EQ(usb_get(0, "kernel_driver"), "attached"); // a fresh chip, driver bound again
    EXPECT_EQ(libusb_control_transfer(handle, 0xC0, 0x05, 0, 1, byte, 2, 100),
              LIBUSB_ERROR_NO_DEVICE)
        << "the old handle stays dead";
    libusb_close(handle);
    ASSERT_EQ(libusb_open(list[0], &handle), 0);
    EXPECT_EQ(libusb_control_transfer(handle, 0xC0, 0x05, 0, 1, byte, 2, 100), 2);
    libusb_close(handle);
    libusb_free_device_list(list, 1);
    libusb_exit(context);
}

TEST(EmulatedUsb, UnplugDuringATransferEndsItWithAnIoError) {
    configure("");
    Listed listed;
    Claimed chip(listed.at(0), 255);
    std::string in;
    ASSERT_EQ(chip.receive(in), 0); // restarts the 255 ms timer
    std::thread unplug([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        rfsim_set(0, "plugged", "0");
    });
    EXPECT_EQ(chip.receive(in, 4096, 5000), LIBUSB_ERROR_IO);
    unplug.join();
    EXPECT_EQ(chip.receive(in), LIBUSB_ERROR_NO_DEVICE);
}

TEST(EmulatedUsb, EepromReadByLibftdiIsTheSimulatorsImage) {
    configure("serial = RX424242\n");
    Ftdi f = new_ftdi();
    ASSERT_EQ(ftdi_usb_open(f.get(), 0x0403, 0x6001), 0) << ftdi_get_error_string(f.get());
    ASSERT_EQ(ftdi_read_eeprom(f.get()), 0) << ftdi_get_error_string(f.get());
    ASSERT_EQ(ftdi_eeprom_decode(f.get(), 0), 0) << ftdi_get_error_string(f.get());
    std::array<unsigned char, 256> buffer{};
    ASSERT_EQ(ftdi_get_eeprom_buf(f.get(), buffer.data(), int(buffer.size())), 0);
    std::string hex;
    for (std::size_t i = 0; i < 128; ++i) {
        char h[3];
        std::snprintf(h, sizeof h, "%02X", buffer[i]);
        hex += h;
    }
    EXPECT_EQ(hex, sim_get(0, "eeprom.image"));

    int value = 0;
    ftdi_get_eeprom_value(f.get(), VENDOR_ID, &value);
    EXPECT_EQ(value, 0x0403);
    ftdi_get_eeprom_value(f.get(), MAX_POWER, &value);
    EXPECT_EQ(value, 24);
    ftdi_get_eeprom_value(f.get(), USE_SERIAL, &value);
    EXPECT_EQ(value, 1);
    char manufacturer[32], description[64], serial[16];
    ASSERT_EQ(ftdi_eeprom_get_strings(f.get(), manufacturer, 32, description, 64, serial, 16), 0);
    EXPECT_STREQ(manufacturer, "Quorix Techn'gy");
    EXPECT_STREQ(description, "USB Power Sensor RX4LO");
    EXPECT_STREQ(serial, "RX424242");
    EXPECT_EQ(count_of(requests(0), "eeprom_read value=0 index=0"), 1);
}

TEST(EmulatedUsb, EepromWrittenByLibftdiTakesEffectAtTheNextPowerUp) {
    configure("");
    Ftdi f = new_ftdi();
    ASSERT_EQ(ftdi_usb_open(f.get(), 0x0403, 0x6001), 0);
    ASSERT_EQ(ftdi_read_eeprom(f.get()), 0);
    char marrick[] = "Marrick", sensor[] = "USB Power Sensor 71340", serial[] = "2060042";
    ASSERT_EQ(ftdi_eeprom_initdefaults(f.get(), marrick, sensor, serial), 0);
    ftdi_set_eeprom_value(f.get(), MAX_POWER, 100);
    ftdi_set_eeprom_value(f.get(), SELF_POWERED, 1);
    ftdi_set_eeprom_value(f.get(), USE_SERIAL, 1);
    ASSERT_GE(ftdi_eeprom_build(f.get()), 0) << ftdi_get_error_string(f.get());
    ASSERT_EQ(ftdi_write_eeprom(f.get()), 0) << ftdi_get_error_string(f.get());
    const auto sent = requests(0);
    EXPECT_EQ(std::count_if(sent.begin(), sent.end(),
                            [](const std::string &r) { return r.rfind("eeprom_write", 0) == 0; }),
              64);

    // The simulator's record follows the whole image at once.
    EXPECT_EQ(sim_get(0, "serial"), "2060042");
    EXPECT_EQ(sim_get(0, "description"), "USB Power Sensor 71340");
    ftdi_usb_close(f.get());

    // The chip presents its strings as it loaded them at power-up, until it is plugged in again.
    auto strings = [&] {
        ftdi_device_list *found = nullptr;
        EXPECT_EQ(ftdi_usb_find_all(f.get(), &found, 0x0403, 0x6001), 1);
        char m[64] = {}, d[64] = {}, s[32] = {};
        EXPECT_EQ(ftdi_usb_get_strings(f.get(), found->dev, m, 64, d, 64, s, 32), 0);
        ftdi_list_free(&found);
        return std::string(m) + "|" + d + "|" + s;
    };
    EXPECT_EQ(strings(), "Quorix Techn'gy|USB Power Sensor RX4LO|RX100001");
    set_key(0, "plugged", "0");
    set_key(0, "plugged", "1");
    EXPECT_EQ(strings(), "Marrick|USB Power Sensor 71340|2060042");
}

TEST(EmulatedUsb, ErasedEepromFailsItsChecksumAndTheChipFallsBackToItsDefaults) {
    configure("");
    {
        Listed listed;
        Claimed chip(listed.at(0));
        EXPECT_EQ(libusb_control_transfer(chip.get(), 0x40, 0x92, 0, 0, nullptr, 0, 1000), 0);
        std::array<unsigned char, 2> word{};
        EXPECT_EQ(libusb_control_transfer(chip.get(), 0xC0, 0x90, 0, 5, word.data(), 2, 1000), 2);
        EXPECT_EQ(word[0], 0xFF);
        EXPECT_EQ(word[1], 0xFF);
    }
    Ftdi f = new_ftdi();
    ASSERT_EQ(ftdi_usb_open(f.get(), 0x0403, 0x6001), 0);
    ASSERT_EQ(ftdi_read_eeprom(f.get()), 0);
    testing::internal::CaptureStderr();
    EXPECT_EQ(ftdi_eeprom_decode(f.get(), 0), -1);
    // libftdi1 says so on stderr even when asked to be quiet.
    EXPECT_THAT(testing::internal::GetCapturedStderr(), HasSubstr("Checksum Error"));
    ftdi_usb_close(f.get());

    set_key(0, "plugged", "0");
    set_key(0, "plugged", "1");
    Listed listed;
    libusb_device_descriptor d{};
    ASSERT_EQ(libusb_get_device_descriptor(listed.at(0), &d), 0);
    EXPECT_EQ(d.iSerialNumber, 0) << "no serial number without a valid EEPROM";
    libusb_device_handle *handle = nullptr;
    ASSERT_EQ(libusb_open(listed.at(0), &handle), 0);
    unsigned char text[64] = {};
    ASSERT_GT(libusb_get_string_descriptor_ascii(handle, 2, text, sizeof text), 0);
    EXPECT_STREQ(reinterpret_cast<char *>(text), "FT232R USB UART");
    EXPECT_EQ(libusb_get_string_descriptor_ascii(handle, 3, text, sizeof text), LIBUSB_ERROR_PIPE);
    libusb_close(handle);
}

TEST(EmulatedUsb, AsynchronousTransfersOfLibftdiComplete) {
    configure("");
    Ftdi f = new_ftdi();
    ASSERT_EQ(ftdi_usb_open(f.get(), 0x0403, 0x6001), 0);
    ASSERT_EQ(ftdi_set_latency_timer(f.get(), 1), 0);
    unsigned char command[] = "ID?\n";
    ftdi_transfer_control *write = ftdi_write_data_submit(f.get(), command, 4);
    ASSERT_NE(write, nullptr);
    EXPECT_EQ(ftdi_transfer_data_done(write), 4);
    std::array<unsigned char, 16> reply{};
    ftdi_transfer_control *read = ftdi_read_data_submit(f.get(), reply.data(), 16);
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(ftdi_transfer_data_done(read), 16);
    EXPECT_EQ(std::string(reinterpret_cast<char *>(reply.data()), 16), "USB SENSOR V4.7\n");
    EXPECT_GE(calls_of("libusb_submit_transfer"), 2);
    EXPECT_GE(calls_of("libusb_handle_events_timeout_completed"), 2);
    ftdi_usb_close(f.get());
}

TEST(EmulatedUsb, RecordsTheVendorRequestsAndTheCallsItSees) {
    configure("");
    Ftdi f = new_ftdi();
    ASSERT_EQ(ftdi_usb_open(f.get(), 0x0403, 0x6001), 0);
    rfsim_usb_clear();
    EXPECT_EQ(ftdi_set_latency_timer(f.get(), 2), 0);
    EXPECT_EQ(ftdi_tcioflush(f.get()), 0);
    EXPECT_EQ(ftdi_setflowctrl(f.get(), SIO_RTS_CTS_HS), 0);
    EXPECT_EQ(ftdi_setdtr_rts(f.get(), 1, 0), 0);
    EXPECT_EQ(ftdi_set_line_property(f.get(), BITS_8, STOP_BIT_1, NONE), 0);
    unsigned short status = 0;
    EXPECT_EQ(ftdi_poll_modem_status(f.get(), &status), 0);
    EXPECT_EQ(status, 0x6001);
    EXPECT_EQ(requests(0), (std::vector<std::string>{
                               "set_latency value=2 index=1",
                               "reset value=1 index=1", // transmit queue (tcoflush)
                               "reset value=2 index=1", // receive queue (tciflush)
                               "flow_control value=0 index=257",
                               "modem_control value=769 index=1",
                               "data_characteristics value=8 index=1",
                               "modem_status value=0 index=1",
                           }));
    EXPECT_EQ(usb_get(0, "latency_ms"), "2");
    EXPECT_EQ(calls_of("libusb_control_transfer"), 7);
    EXPECT_EQ(calls_of("libusb_open"), 0);
}

} // namespace
