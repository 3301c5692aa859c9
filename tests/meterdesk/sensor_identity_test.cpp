// Model family, brand and firmware number from a sensor's identity texts.
#include "meterdesk/core/sensor_identity.h"

#include <gtest/gtest.h>

namespace {

TEST(SensorIdentity, ModelFamilyByPrefixInTableOrder) {
    const struct {
        const char *model;
        int index;
    } cases[] = {
        {"RX1", 0},      {"RX1 (9kHz to 8GHz)", 0},
        {"71308", 0},    {"RX2LOKAN (10MHz to 12.4GHz)", 1},
        {"RX2LO", 6},    {"71312", 1},
        {"RX3LOKAN", 2}, {"71318x", 2},
        {"RX4LO", 3},    {"RX4LOKAN", 3},
        {"71326", 3},    {"RX5L", 4},
        {"71340", 4},    {"RX6 (75GHz to 110GHz)", 5},
        {"7130", 6},     {"UNKNOWN SENSOR", 6},
        {"", 6},         {"rx1", 6},
        {"RX10", 0}, // "RX1" is matched over three characters only
    };
    for (const auto &c : cases) {
        EXPECT_EQ(meterdesk::model_index_for(c.model), c.index) << c.model;
    }
}

TEST(SensorIdentity, BrandFromTheSerialNumber) {
    EXPECT_EQ(meterdesk::brand_label_for("2061234"), "Marrick");
    EXPECT_EQ(meterdesk::brand_label_for("RXZ0000"), "Quorix Techn'gy");
    EXPECT_EQ(meterdesk::brand_label_for("RX100001"), "Zyn Quorix");
    EXPECT_EQ(meterdesk::brand_label_for(""), "Zyn Quorix");
    EXPECT_TRUE(meterdesk::is_marrick_serial("206"));
    EXPECT_FALSE(meterdesk::is_marrick_serial("20"));
    EXPECT_FALSE(meterdesk::is_real_serial("RXZ0000"));
    EXPECT_TRUE(meterdesk::is_real_serial("RX100001"));
}

TEST(SensorIdentity, FirmwareNumberFromCharacters12And14) {
    EXPECT_EQ(meterdesk::firmware_number_of("USB SENSOR V4.7"), 47);
    EXPECT_EQ(meterdesk::firmware_number_of("USB SENSOR V4.5"), 45);
    EXPECT_EQ(meterdesk::firmware_number_of("USB SENSOR V3.12"), 42); // 10 x 3 + 12
    EXPECT_EQ(meterdesk::firmware_number_of("USB SENSOR V4"), 40);    // too short: 0
    EXPECT_EQ(meterdesk::firmware_number_of(""), 0);
    EXPECT_EQ(meterdesk::firmware_number_of("USB SENSOR Vx.y"), 0);
}

} // namespace
