#include "models.h"

#include <cstring>

namespace rfsense::models {

namespace {

constexpr double kHz = 1e3;
constexpr double MHz = 1e6;
constexpr double GHz = 1e9;

constexpr std::array<Model, 7> table{{
    {"RX1", "71308", "RX1 (9KHz to 8GHz)", "71308 (9KHz to 8GHz)", 9 * kHz, 8 * GHz, 22, 22,
     0.00015},
    {"RX2LOKAN", "71312", "RX2LOKAN (10MHz to 12.4GHz)", "71312 (10MHz to 12.4GHz)", 10 * MHz,
     12.4 * GHz, 16, 16, 0.000015},
    {"RX3LOKAN", "71318", "RX3LOKAN (10MHz to 18.5GHz)", "71318 (10MHz to 18.5GHz)", 10 * MHz,
     18.5 * GHz, 22, 22, 0.000015},
    {"RX4LO", "71326", "RX4LO (10MHz to 26.5GHz)", "71326 (10MHz to 26.5GHz)", 10 * MHz,
     26.5 * GHz, 30, 30, 0.0003},
    {"RX5L", "71340", "RX5L (10MHz to 40GHz)", "71340 (10MHz to 40GHz)", 10 * MHz, 40 * GHz, 44,
     44, 0.000015},
    {"RX6", nullptr, "RX6 (75GHz to 110GHz)", "RX6 (75GHz to 110GHz)", 74.9 * GHz, 110.1 * GHz, 0,
     22, 0.00005},
    {"", nullptr, "UNKNOWN SENSOR", "UNKNOWN SENSOR", 10 * MHz, 40 * GHz, 0, 22, 0.000015},
}};

// 10 MHz, 50 MHz, 100 MHz, 500 MHz, then 1 GHz steps up to `last_whole` GHz.
int coaxial_table(std::array<double, 46> &out, int last_whole) {
    int n = 0;
    for (double f : {10 * MHz, 50 * MHz, 100 * MHz, 500 * MHz}) out[n++] = f;
    for (int g = 1; g <= last_whole; ++g) out[n++] = g * GHz;
    return n;
}

} // namespace

const Model &model(int index) {
    if (index < 0 || index > generic_model)
        return table[generic_model];
    return table[static_cast<size_t>(index)];
}

int model_from_description(const char *description) {
    static constexpr const char prefix[] = "USB Power Sensor ";
    constexpr size_t prefix_length = sizeof prefix - 1;
    if (description == nullptr || std::strlen(description) < prefix_length)
        return generic_model;
    const char *name = description + prefix_length;
    for (int i = 0; i < generic_model; ++i) {
        const Model &m = table[static_cast<size_t>(i)];
        if (std::strncmp(name, m.name_a, std::strlen(m.name_a)) == 0)
            return i;
        if (m.name_b != nullptr && std::strncmp(name, m.name_b, std::strlen(m.name_b)) == 0)
            return i;
    }
    return generic_model;
}

bool is_brand_a(const char *serial) {
    return serial != nullptr && (serial[0] == 'R' || serial[0] == 'X');
}

int frequency_table(int index, std::array<double, 46> &out) {
    out.fill(0.0);
    switch (index) {
    case 0: {
        int n = 0;
        for (double f : {9 * kHz, 500 * kHz, 1 * MHz, 2.5 * MHz, 4 * MHz, 5 * MHz, 6 * MHz,
                         7 * MHz, 8 * MHz, 9 * MHz, 10 * MHz, 50 * MHz, 100 * MHz, 500 * MHz})
            out[n++] = f;
        for (int g = 1; g <= 8; ++g) out[n++] = g * GHz;
        return n; // 22
    }
    case 1: {
        int n = coaxial_table(out, 11);
        out[n++] = 12.4 * GHz;
        return n; // 16
    }
    case 2: {
        int n = coaxial_table(out, 17);
        out[n++] = 18.5 * GHz;
        return n; // 22
    }
    case 3: {
        int n = coaxial_table(out, 25);
        out[n++] = 26.5 * GHz;
        return n; // 30
    }
    case 4:
        return coaxial_table(out, 40); // 44
    case 5:
        return 0;
    default:
        return coaxial_table(out, 25); // 29
    }
}

const std::array<double, 13> default_equation = {
    0.351422075,  46.998511431,  -0.16739752, 38.918840708, 0.658688612,
    -0.145810701, 1.992628645,   -49.534820177, 0.975122284, 0.890270701,
    -0.147695445, -4.224442247, 0.505367444};

} // namespace rfsense::models
