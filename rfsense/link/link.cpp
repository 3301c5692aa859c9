// The link layer's shared pieces: status sentences, the per-thread failure reason, and the one
// choice of backend per process.
#include "link/link.h"

#include "link/backends.h"
#include "link/bus_choice.h"
#include "link/link_error.h"
#include "link/trace.h"

#include <cstdlib>
#include <utility>

namespace rfsense::link {

const char *status_text(Status status) {
    switch (status) {
    case Status::ok:
        return "The operation succeeded.";
    case Status::invalid_handle:
        return "The USB bridge is not open, so the operation could not be carried out.";
    case Status::device_not_found:
        return "No USB bridge was found at that position; the sensor may not be plugged in.";
    case Status::device_not_opened:
        return "The USB bridge could not be opened; another program may be using it, or you may "
               "lack permission to open it.";
    case Status::io_error:
        return "Communication with the USB bridge failed; the device may have been unplugged.";
    case Status::insufficient_resources:
        return "The system ran out of resources while talking to the USB bridge.";
    case Status::invalid_parameter:
        return "A value given to the USB bridge was not valid.";
    case Status::eeprom_read_failed:
        return "The configuration EEPROM of the USB bridge could not be read.";
    case Status::eeprom_write_failed:
        return "The configuration EEPROM of the USB bridge could not be written.";
    case Status::eeprom_not_present:
        return "The USB bridge has no configuration EEPROM.";
    case Status::device_list_not_ready:
        return "The list of USB devices could not be obtained; USB access is not available.";
    case Status::other_error:
        return "The USB bridge reported an unexpected error.";
    }
    return "The link reported a status this program does not know.";
}

namespace {

thread_local std::string thread_link_error;

// Stands in when a backend could not be made at all, so active_bus() always has a bus to give.
class EmptyBus final : public Bus {
  public:
    Status list_devices(uint32_t &count) override {
        count = 0;
        return Status::ok;
    }
    Status open(uint32_t, std::unique_ptr<Device> &out) override {
        out.reset();
        return Status::device_not_found;
    }
};

BusChoice &process_choice() {
    // A function-local static: the environment is read and the backend built exactly once, even
    // when several threads ask first at the same time.
    static BusChoice choice = [] {
        BusChoice chosen = choose_bus(std::getenv("RFSENSE_SIM"), std::getenv("RFSENSE_LINK"));
        if (trace_requested(std::getenv("RFSENSE_TRACE")))
            chosen.bus = make_tracing_bus(std::move(chosen.bus), stderr_trace_sink());
        return chosen;
    }();
    return choice;
}

} // namespace

const std::string &last_link_error() {
    return thread_link_error;
}
void set_link_error(std::string message) {
    thread_link_error = std::move(message);
}
void clear_link_error() {
    thread_link_error.clear();
}

BusChoice choose_bus(const char *sim, const char *link) {
    const std::string sim_value = sim != nullptr ? sim : "";
    const std::string link_value = link != nullptr ? link : "";
    BusChoice choice;
    if (!sim_value.empty() || link_value == "sim") {
        // An empty configuration keeps the simulated bus as the process has set it up.
        choice.backend = "sim";
        choice.bus = make_sim_bus(sim_value, choice.error);
    } else {
        if (!link_value.empty() && link_value != "ftdi")
            choice.error = "RFSENSE_LINK=\"" + link_value +
                           "\" is not a known link (use \"ftdi\" or \"sim\"); using the USB "
                           "bridges.";
        choice.bus = make_ftdi_bus();
    }
    if (!choice.bus) choice.bus = std::make_unique<EmptyBus>();
    return choice;
}

Bus &active_bus() {
    return *process_choice().bus;
}

const char *active_backend_name() {
    return process_choice().backend;
}

const std::string &active_bus_error() {
    return process_choice().error;
}

} // namespace rfsense::link
