#include "emulated_bus.h"

#include "call_counts.h"

#include "rfsim/rfsim.h"
#include "rfsim/usb_emulation.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

namespace rfsim::usb {

namespace {

std::string sim_value(int position, const char *key, bool &ok) {
    std::vector<char> text(512);
    const int length = rfsim_get(position, key, text.data(), int(text.size()));
    ok = length >= 0 && length < int(text.size());
    return ok ? std::string(text.data(), std::size_t(length)) : std::string();
}

std::vector<uint8_t> from_hex(const std::string &hex) {
    std::vector<uint8_t> bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes.push_back(static_cast<uint8_t>(std::stoul(hex.substr(i, 2), nullptr, 16)));
    return bytes;
}

} // namespace

EmulatedBus &EmulatedBus::instance() {
    static EmulatedBus bus;
    return bus;
}

// The positions listed in an environment variable ("0", "0 2", "1,3").
std::vector<int> positions_in(const char *name) {
    std::vector<int> positions;
    const char *text = std::getenv(name);
    if (text == nullptr) return positions;
    std::string list(text);
    std::replace(list.begin(), list.end(), ',', ' ');
    std::istringstream in(list);
    for (int position = 0; in >> position;) positions.push_back(position);
    return positions;
}

bool EmulatedBus::start() {
    std::call_once(started_, [this] {
        {
            std::lock_guard states(states_mutex_);
            for (int position : positions_in("RFSIM_USB_DENIED"))
                states_[position].access_denied = true;
            for (int position : positions_in("RFSIM_USB_BUSY")) states_[position].busy = true;
        }
        const char *config = std::getenv("RFSIM_USB");
        if (config == nullptr || *config == '\0') return;
        std::string text;
        if (std::strcmp(config, "default") != 0) {
            std::ifstream file(config, std::ios::binary);
            if (!file) {
                config_error_ = std::string("cannot read RFSIM_USB=") + config;
                start_ok_ = false;
                return;
            }
            std::ostringstream content;
            content << file.rdbuf();
            text = content.str();
        }
        if (rfsim_configure(text.c_str()) < 0) {
            config_error_ = std::string("RFSIM_USB=") + config + ": " + rfsim_error();
            start_ok_ = false;
        }
    });
    return start_ok_;
}

std::vector<std::shared_ptr<Chip>> EmulatedBus::scan() {
    std::vector<std::shared_ptr<Chip>> present;
    std::lock_guard lock(mutex_);
    for (int position = 0;; ++position) {
        bool ok = false;
        const std::string plugged = sim_value(position, "plugged", ok);
        if (!ok) break; // past the last device
        if (plugged != "1") continue;
        const uint64_t plug_id =
            std::strtoull(sim_value(position, "plug_id", ok).c_str(), nullptr, 10);
        std::shared_ptr<Chip> &chip = chips_[position];
        if (!chip || chip->plug_id != plug_id) {
            const std::vector<uint8_t> image = from_hex(sim_value(position, "eeprom.image", ok));
            const int address = next_address_;
            next_address_ = next_address_ >= 127 ? 2 : next_address_ + 1;
            PositionState *state = nullptr;
            {
                std::lock_guard states(states_mutex_);
                state = &states_[position];
            }
            chip = std::make_shared<Chip>(position, plug_id, address, descriptors_from_image(image),
                                          states_mutex_, *state);
        }
        present.push_back(chip);
    }
    return present;
}

int EmulatedBus::get(int position, const std::string &key, std::string &value, std::string &error) {
    value.clear();
    if (position == -1) {
        if (key == "calls") {
            value = call_counts_text();
        } else if (key == "config_error") {
            start();
            value = config_error_;
        } else {
            error = "unknown bus key '" + key + "'";
            return -1;
        }
        return int(value.size());
    }
    if (position < 0) {
        error = "no device " + std::to_string(position);
        return -1;
    }
    {
        std::lock_guard states(states_mutex_);
        PositionState &state = states_[position];
        if (key == "requests") {
            for (const std::string &line : state.requests) {
                value += line;
                value += '\n';
            }
            return int(value.size());
        }
        if (key == "access") {
            value = std::string(state.access_denied ? "denied" : "granted");
            return int(value.size());
        }
        if (key == "busy") {
            value = std::string(state.busy ? "1" : "0");
            return int(value.size());
        }
    }
    std::shared_ptr<Chip> chip;
    for (const auto &present : scan())
        if (present->position == position) chip = present;
    if (key == "address") {
        if (chip) value = std::to_string(chip->address);
        return int(value.size());
    }
    if (!chip) {
        error = "no device plugged in at position " + std::to_string(position);
        return -1;
    }
    value = chip->get(key);
    if (value.empty()) {
        error = "unknown device key '" + key + "'";
        return -1;
    }
    return int(value.size());
}

int EmulatedBus::set(int position, const std::string &key, const std::string &value,
                     std::string &error) {
    if (position < 0) {
        error = "no device " + std::to_string(position);
        return -1;
    }
    std::lock_guard states(states_mutex_);
    PositionState &state = states_[position];
    if (key == "access" && (value == "granted" || value == "denied")) {
        state.access_denied = value == "denied";
        return 0;
    }
    if (key == "busy" && (value == "0" || value == "1")) {
        state.busy = value == "1";
        return 0;
    }
    error = "cannot set '" + key + "' to '" + value + "'";
    return -1;
}

void EmulatedBus::clear() {
    clear_call_counts();
    std::lock_guard states(states_mutex_);
    for (auto &[position, state] : states_) state = PositionState{};
}

} // namespace rfsim::usb

namespace {

thread_local std::string last_error;

} // namespace

extern "C" {

int rfsim_usb_get(int device, const char *key, char *out, int size) {
    if (key == nullptr) {
        last_error = "a key is required";
        return -1;
    }
    std::string value;
    const int length = rfsim::usb::EmulatedBus::instance().get(device, key, value, last_error);
    if (length < 0) return -1;
    if (out != nullptr && size > 0) {
        const std::size_t n = std::min(value.size(), std::size_t(size - 1));
        std::memcpy(out, value.data(), n);
        out[n] = '\0';
    }
    return length;
}

int rfsim_usb_set(int device, const char *key, const char *value) {
    if (key == nullptr || value == nullptr) {
        last_error = "key and value are required";
        return -1;
    }
    return rfsim::usb::EmulatedBus::instance().set(device, key, value, last_error);
}

void rfsim_usb_clear(void) {
    rfsim::usb::EmulatedBus::instance().clear();
}

const char *rfsim_usb_error(void) {
    return last_error.c_str();
}

} // extern "C"
