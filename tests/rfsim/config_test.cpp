// The configuration text: sections, bus defaults, and errors that name the line and the key.
#include "sim_link.h"

#include <string>

namespace {

using rfsim_test::get;

TEST(Config, NoSectionsGivesOneDefaultSensor) {
    ASSERT_EQ(rfsim_configure(""), 1) << rfsim_error();
    EXPECT_EQ(rfsim_bus_count(), 1);
    char serial[32];
    char description[80];
    ASSERT_EQ(rfsim_bus_info(0, serial, sizeof serial, description, sizeof description), 0);
    EXPECT_STREQ(serial, "RX100001");
    EXPECT_STREQ(description, "USB Power Sensor RX4LO");
    EXPECT_EQ(get(0, "power_dbm"), "-10");
    EXPECT_EQ(get(0, "identity"), "USB SENSOR V4.7");
    EXPECT_EQ(get(0, "timing"), "fast");
}

TEST(Config, SectionsInBusOrderInheritTheBusDefaults) {
    const char *text = "# two sensors and a programmer\n"
                       "power_dbm = -20   # for every device\n"
                       "\n"
                       "[device]\n"
                       "serial = XR000042\n"
                       "[device]\n"
                       "kind = programmer\n"
                       "[device]\n"
                       "description = USB Power Sensor 71340\n"
                       "power_dbm = off\n";
    ASSERT_EQ(rfsim_configure(text), 3) << rfsim_error();
    EXPECT_EQ(get(0, "serial"), "XR000042");
    EXPECT_EQ(get(0, "power_dbm"), "-20");
    EXPECT_EQ(get(1, "description"), "USB PIC Programmer");
    EXPECT_EQ(get(1, "serial"), "RX100002");
    EXPECT_EQ(get(2, "power_dbm"), "off");
    EXPECT_EQ(get(2, "model"), "4");
}

TEST(Config, ErrorsNameTheLineAndTheKey) {
    struct Case {
        const char *text;
        const char *message;
    };
    const Case cases[] = {
        {"kind = sensor\n\n# note\npowr_dbm = -3\n", "line 4: unknown key 'powr_dbm'"},
        {"[device]\nready = maybe\n", "line 2: bad value 'maybe' for key 'ready'"},
        {"power_dbm = -3dB\n", "line 1: bad value '-3dB' for key 'power_dbm'"},
        {"equation = 1 2 3\n", "line 1: bad value '1 2 3' for key 'equation'"},
        {"zero_offset_uv = 1 2\n", "line 1: bad value '1 2' for key 'zero_offset_uv'"},
        {"[sensor]\n", "line 1: unknown section '[sensor]'"},
        {"\n\njust words\n", "line 3: expected 'key = value', got 'just words'"},
        {"serial = 0123456789ABCDEF\n", "line 1: bad value '0123456789ABCDEF' for key 'serial'"},
    };
    ASSERT_EQ(rfsim_configure("serial = KEEP0001\n"), 1);
    for (const Case &c : cases) {
        EXPECT_EQ(rfsim_configure(c.text), -1) << c.text;
        EXPECT_EQ(std::string(rfsim_error()), c.message);
    }
    // A rejected text leaves the bus as it was.
    EXPECT_EQ(get(0, "serial"), "KEEP0001");
}

TEST(Config, SetAndGetAtRunTime) {
    ASSERT_EQ(rfsim_configure(""), 1);
    EXPECT_EQ(rfsim_set(0, "frequency_hz", "18e9"), 0);
    EXPECT_EQ(get(0, "frequency_hz"), "18000000000");
    EXPECT_EQ(rfsim_set(0, "temperature_c", "hot"), -1);
    EXPECT_EQ(std::string(rfsim_error()), "bad value 'hot' for key 'temperature_c'");
    EXPECT_EQ(rfsim_set(0, "nonsense", "1"), -1);
    EXPECT_EQ(rfsim_set(3, "power_dbm", "1"), -1);
    EXPECT_EQ(rfsim_get(0, "nonsense", nullptr, 0), -1);

    // The full length comes back even when the buffer is too small; the copy is truncated.
    char small[5];
    const int n = rfsim_get(0, "description", small, sizeof small);
    EXPECT_EQ(n, static_cast<int>(std::string("USB Power Sensor RX4LO").size()));
    EXPECT_STREQ(small, "USB ");
}

TEST(Config, DefaultCalFactorsStayNearOneAndFallWithFrequency) {
    ASSERT_EQ(rfsim_configure("description = USB Power Sensor RX5L\n"), 1);
    std::string text = get(0, "cal_factors");
    std::vector<double> factors;
    for (size_t pos = 0; pos < text.size();) {
        size_t end = text.find(' ', pos);
        if (end == std::string::npos) end = text.size();
        factors.push_back(std::stod(text.substr(pos, end - pos)));
        pos = end + 1;
    }
    ASSERT_EQ(factors.size(), 44u);
    for (size_t i = 0; i < factors.size(); ++i) {
        EXPECT_GE(factors[i], 0.8);
        EXPECT_LE(factors[i], 1.05);
        if (i > 0) {
            EXPECT_LE(factors[i], factors[i - 1]);
        }
    }
}

} // namespace
