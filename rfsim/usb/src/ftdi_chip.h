// One emulated FT232R bridge: the USB face of one simulated device for as long as it stays
// plugged in (a replug powers up a new chip with a new address). It answers the vendor requests
// of the FTDI protocol, frames the device's replies into 64-byte packets behind two modem-status
// bytes paced by its latency timer, and keeps the interface's claim and kernel driver.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace rfsim::usb {

// What stays with a configuration position whatever is plugged there: the refusals a test asks
// for and the record of vendor requests.
struct PositionState {
    bool access_denied = false; // opening fails as without permission
    bool busy = false;          // another program holds the interface
    std::deque<std::string> requests;
};

// The descriptors a chip loads from its EEPROM at power-up (the factory defaults when the
// EEPROM's checksum is wrong).
struct Descriptors {
    uint16_t vendor_id = 0x0403;
    uint16_t product_id = 0x6001;
    uint8_t attributes = 0x80; // configuration bmAttributes
    uint8_t max_power = 45;    // 2 mA units
    bool serial_in_use = false;
    std::string manufacturer = "FTDI";
    std::string product = "FT232R USB UART";
    std::string serial;
};

Descriptors descriptors_from_image(const std::vector<uint8_t> &image);

class Chip {
  public:
    using Clock = std::chrono::steady_clock;

    static constexpr int packet_size = 64;
    static constexpr unsigned char in_endpoint = 0x81;
    static constexpr unsigned char out_endpoint = 0x02;

    // `states` is shared with the emulated bus, which guards it with `states_mutex`.
    Chip(int position, uint64_t plug_id, int address, Descriptors descriptors,
         std::mutex &states_mutex, PositionState &state);
    ~Chip();
    Chip(const Chip &) = delete;
    Chip &operator=(const Chip &) = delete;

    const int position;
    const uint64_t plug_id; // the simulator's id of this stay on the bus
    const int address;
    const Descriptors descriptors;

    // Still plugged in: the simulator's device at `position` has the same plug id.
    bool present() const;

    // A host handle opens and closes the chip; the first open reaches the simulated device.
    // Results are libusb error codes.
    int open_host(const void *host);
    void close_host(const void *host);

    int claim(const void *host, bool auto_detach);
    int release(const void *host, bool auto_detach);
    int kernel_driver_active();
    int detach_kernel_driver();
    int attach_kernel_driver();
    int set_configuration(const void *host, int configuration);
    int configuration();

    // Bytes transferred or a libusb error.
    int control(uint8_t request_type, uint8_t request, uint16_t value, uint16_t index,
                unsigned char *data, uint16_t length);
    int bulk(const void *host, unsigned char endpoint, unsigned char *data, int length,
             int *transferred, unsigned timeout_ms);

    // Test view: "kernel_driver", "claimed", "open_handles", "latency_ms", "baud".
    std::string get(const std::string &key);

  private:
    int sim_handle_locked() const;
    int gone_code_locked() const;
    void record(const std::string &line);
    int bulk_in(unsigned char *data, int length, int *transferred, unsigned timeout_ms);
    int drain_to_host();

    std::mutex mutex_;   // the chip's state below
    std::mutex in_pipe_; // one IN transfer at a time, as the host controller queues them
    std::mutex &states_mutex_;
    PositionState &state_;

    int sim_handle_ = -1;
    int open_hosts_ = 0;
    const void *claimed_by_ = nullptr;
    bool kernel_driver_ = true; // ftdi_sio is bound at power-up
    bool driver_detached_by_claim_ = false;

    int latency_ms_ = 16;
    uint16_t baud_value_ = 0x4138; // 9600 baud
    uint16_t baud_index_ = 0;
    uint16_t data_characteristics_ = 8;
    uint16_t flow_control_ = 0;
    uint16_t modem_control_ = 0;
    uint16_t bitmode_ = 0;
    Clock::time_point last_packet_{};
};

} // namespace rfsim::usb
