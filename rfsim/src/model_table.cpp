#include "model_table.h"

#include <array>
#include <cctype>

namespace rfsim {

namespace {

struct ModelName {
    std::string_view brand_a;
    std::string_view brand_b;
};

// Compared in this order, each as a prefix of the name that follows "USB Power Sensor ".
constexpr std::array<ModelName, 6> model_names{{
    {"RX1", "71308"},
    {"RX2LOKAN", "71312"},
    {"RX3LOKAN", "71318"},
    {"RX4LO", "71326"},
    {"RX5L", "71340"},
    {"RX6", ""},
}};

constexpr double kHz = 1e3;
constexpr double MHz = 1e6;
constexpr double GHz = 1e9;

std::vector<double> coaxial_table(int last_whole_ghz) {
    std::vector<double> table{10 * MHz, 50 * MHz, 100 * MHz, 500 * MHz};
    for (int g = 1; g <= last_whole_ghz; ++g) table.push_back(g * GHz);
    return table;
}

int digit_at(std::string_view text, size_t position) {
    if (position >= text.size() || std::isdigit(static_cast<unsigned char>(text[position])) == 0)
        return 0;
    return text[position] - '0';
}

} // namespace

int model_from_description(std::string_view description) {
    constexpr size_t name_start = 17; // after "USB Power Sensor "
    if (description.size() < name_start) return generic_model;
    const std::string_view name = description.substr(name_start);
    for (size_t i = 0; i < model_names.size(); ++i) {
        if (name.starts_with(model_names[i].brand_a)) return static_cast<int>(i);
        if (!model_names[i].brand_b.empty() && name.starts_with(model_names[i].brand_b))
            return static_cast<int>(i);
    }
    return generic_model;
}

std::vector<double> frequency_table(int model) {
    switch (model) {
    case 0: {
        std::vector<double> table{9 * kHz,  500 * kHz, 1 * MHz,   2.5 * MHz, 4 * MHz,
                                  5 * MHz,  6 * MHz,   7 * MHz,   8 * MHz,   9 * MHz,
                                  10 * MHz, 50 * MHz,  100 * MHz, 500 * MHz};
        for (int g = 1; g <= 8; ++g) table.push_back(g * GHz);
        return table;
    }
    case 1: {
        auto table = coaxial_table(11);
        table.push_back(12.4 * GHz);
        return table;
    }
    case 2: {
        auto table = coaxial_table(17);
        table.push_back(18.5 * GHz);
        return table;
    }
    case 3: {
        auto table = coaxial_table(25);
        table.push_back(26.5 * GHz);
        return table;
    }
    case 4:
        return coaxial_table(40);
    case millimetre_model:
        return {};
    default:
        return coaxial_table(25);
    }
}

int cal_points(int model) {
    switch (model) {
    case 0:
    case 2:
        return 22;
    case 1:
        return 16;
    case 3:
        return 30;
    case 4:
        return 44;
    case millimetre_model:
        return 0;
    default:
        return 22;
    }
}

int firmware_revision(std::string_view identity) {
    return digit_at(identity, 12) * 10 + digit_at(identity, 14);
}

} // namespace rfsim
