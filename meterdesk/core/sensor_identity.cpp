#include "meterdesk/core/sensor_identity.h"

#include "meterdesk/core/app_state.h"

#include <array>

namespace meterdesk {

namespace {

struct ModelPrefixes {
    std::string_view brand_a;
    std::string_view brand_b; // empty: the family has no second-brand model
};

constexpr std::array<ModelPrefixes, 6> kModelPrefixes = {{
    {"RX1", "71308"},
    {"RX2LOKAN", "71312"},
    {"RX3LOKAN", "71318"},
    {"RX4LO", "71326"},
    {"RX5L", "71340"},
    {"RX6", ""},
}};

// Like atoi: optional sign after leading blanks, then the leading digits; 0 without digits.
int leading_number(std::string_view text, std::size_t at) {
    if (at >= text.size()) return 0;
    std::size_t i = at;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > 1'000'000) break; // a revision is never this long; stop before overflow
    }
    return static_cast<int>(negative ? -value : value);
}

} // namespace

int model_index_for(std::string_view sensor_model) {
    for (std::size_t index = 0; index < kModelPrefixes.size(); ++index) {
        const auto &prefixes = kModelPrefixes[index];
        if (sensor_model.starts_with(prefixes.brand_a) ||
            (!prefixes.brand_b.empty() && sensor_model.starts_with(prefixes.brand_b))) {
            return static_cast<int>(index);
        }
    }
    return kModelUnknown;
}

bool is_marrick_serial(std::string_view sensor_serial) {
    return sensor_serial.starts_with("206");
}

bool is_real_serial(std::string_view sensor_serial) {
    return !sensor_serial.starts_with("RXZ");
}

std::string brand_label_for(std::string_view sensor_serial) {
    if (is_marrick_serial(sensor_serial)) return "Marrick";
    if (sensor_serial.starts_with("RXZ")) return "Quorix Techn'gy";
    return "Zyn Quorix";
}

int firmware_number_of(std::string_view firmware_revision) {
    return 10 * leading_number(firmware_revision, 12) + leading_number(firmware_revision, 14);
}

} // namespace meterdesk
