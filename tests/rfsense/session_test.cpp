// Session and channel exports against the simulated sensor: open and close, the caller's own
// commands between pause and resume, losing the sensor, and the answers of every export of the
// session and identity families while no sensor is connected.
#include "rfsense/rfsense.h"
#include "rfsense/sim_session.h"
#include "rfsim/rfsim.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <functional>
#include <string>

namespace {

using namespace rfsense_test;

TEST(Session, CloseOfANullRecordDoesNothing) {
    SensorClose(nullptr);
    SensorRecord *record = nullptr;
    SensorClose(&record);
    EXPECT_EQ(record, nullptr);
    EXPECT_EQ(SensorForceDisconnect(nullptr), nullptr);
    unsigned char over = 7;
    EXPECT_EQ(SensorConnected(nullptr, &over), 0);
}

TEST(Session, OpenGivesANotConnectedRecordAndCloseClearsThePointer) {
    SensorRecord *record = nullptr;
    SensorRecord *returned = SensorOpen(&record);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(returned, record);
    unsigned char over = 7;
    EXPECT_EQ(SensorConnected(record, &over), 0);
    EXPECT_EQ(over, 0); // written even when not connected
    SensorClose(&record);
    EXPECT_EQ(record, nullptr);
}

TEST(Session, DllRevision) {
    char text[8] = "xxxxxxx";
    EXPECT_EQ(SensorDLL_Revision(text), 4);
    EXPECT_STREQ(text, "3.1");
}

// Every export of these families that needs a sensor answers 0 and leaves its outputs alone
// (the two text exports clear their texts), on a fresh record and on a lost session alike.
void expect_not_connected_answers(SensorRecord *record) {
    char buffer[400];
    auto untouched = [&] {
        for (char c : buffer)
            if (c != '#') return false;
        return true;
    };
    struct Case {
        const char *name;
        std::function<int32_t()> call;
    };
    const Case cases[] = {
        {"SensorUsbHandle",
         [&] { return SensorUsbHandle(record, reinterpret_cast<FT_HANDLE *>(buffer)); }},
        {"SensorComms pause", [&] { return SensorComms(record, 0); }},
        {"SensorComms resume", [&] { return SensorComms(record, 1); }},
        {"SensorMessage", [&] { return SensorMessage(record, "ID?\n", 4); }},
        {"SensorMessageQuery", [&] { return SensorMessageQuery(record, buffer); }},
        {"SensorMessageDataQuery", [&] { return SensorMessageDataQuery(record, buffer, 9); }},
        {"SensorDiodeSN_K",
         [&] {
             return SensorDiodeSN_K(record, reinterpret_cast<int32_t *>(buffer),
                                    reinterpret_cast<int32_t *>(buffer + 8));
         }},
        {"SensorEquationPrams",
         [&] { return SensorEquationPrams(record, reinterpret_cast<double *>(buffer)); }},
        {"SensorTempCompGetTable",
         [&] {
             std::array<double, 46 * 7> table;
             table.fill(-1);
             const int32_t result = SensorTempCompGetTable(record, table.data());
             for (double v : table)
                 if (v != -1) return int32_t{-1};
             return result;
         }},
        {"SensorLinCorGetTable",
         [&] { return SensorLinCorGetTable(record, reinterpret_cast<double *>(buffer)); }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        std::memset(buffer, '#', sizeof buffer);
        EXPECT_EQ(c.call(), 0);
        EXPECT_TRUE(untouched());
    }
    char serial[20] = "xx";
    char model[28] = "xx";
    EXPECT_EQ(SensorDetails(record, serial, model), 0);
    EXPECT_STREQ(serial, "");
    EXPECT_STREQ(model, "");
    char text[20] = "xx";
    EXPECT_EQ(SensorFW_Revision(record, text), 0);
    EXPECT_STREQ(text, "");
}

TEST(Session, ExportsAnswerZeroWithoutASensor) {
    configure_bus("[device]\n");
    Session session;
    expect_not_connected_answers(session.get());
    expect_not_connected_answers(nullptr);
    ASSERT_EQ(session.init(), 1);
    EXPECT_EQ(SensorForceDisconnect(session.get()), session.get());
    EXPECT_FALSE(session.connected());
    expect_not_connected_answers(session.get());
}

class OpenSession : public ::testing::Test {
  protected:
    void SetUp() override {
        configure_bus("[device]\n");
        ASSERT_EQ(session.init(), 1);
    }
    SensorRecord *record() const { return session.get(); }

    Session session;
};

TEST_F(OpenSession, UsbHandleIsLent) {
    FT_HANDLE handle = nullptr;
    EXPECT_EQ(SensorUsbHandle(record(), &handle), 1);
    EXPECT_NE(handle, nullptr);
}

// While the reader is paused the caller has the sensor to itself; after resuming, readings
// flow again.
TEST_F(OpenSession, PauseParksTheReaderAndResumeRestartsIt) {
    double volts = 0;
    ASSERT_EQ(SensorVolts(record(), &volts), 1);
    ASSERT_EQ(SensorComms(record(), 0), 1);
    char line[72];
    for (int round = 0; round < 3; ++round) {
        ASSERT_EQ(SensorMessage(record(), "ID?\n", 4), 1);
        std::memset(line, 0, sizeof line);
        ASSERT_EQ(SensorMessageQuery(record(), line), 1);
        EXPECT_STREQ(line, "USB SENSOR V4.7\n"); // no conversion bytes mixed in
    }
    // Our own command stays the last one sent while the reader is parked.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(get_key(0, "last_command"), "ID?");

    ASSERT_EQ(SensorComms(record(), 1), 1);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(SensorVolts(record(), &volts), 1);
    EXPECT_EQ(get_key(0, "last_command"), "ADC?");
}

TEST_F(OpenSession, MessageQueryCopiesTheLineWithoutATerminator) {
    ASSERT_EQ(SensorComms(record(), 0), 1);
    set_key(0, "identity", "OK");
    ASSERT_EQ(SensorMessage(record(), "ID?\n", 4), 1);
    char line[16];
    std::memset(line, 'Z', sizeof line);
    ASSERT_EQ(SensorMessageQuery(record(), line), 1);
    EXPECT_EQ(std::string(line, 4), "OK\nZ"); // three characters, no NUL
    ASSERT_EQ(SensorComms(record(), 1), 1);
}

TEST_F(OpenSession, MessageDataQueryCopiesExactlyTheCount) {
    ASSERT_EQ(SensorComms(record(), 0), 1);
    ASSERT_EQ(SensorMessage(record(), "MI3\nMR4\n", 8), 1);
    char bytes[8];
    std::memset(bytes, 'Z', sizeof bytes);
    ASSERT_EQ(SensorMessageDataQuery(record(), bytes, 4), 1);
    EXPECT_EQ(std::string(bytes, 5), "CFT>Z");

    // An equation parameter: eight bytes of the double and "\n".
    ASSERT_EQ(SensorMessage(record(), "EQ01RD\n", 7), 1);
    char reply[9];
    ASSERT_EQ(SensorMessageDataQuery(record(), reply, 9), 1);
    double e0 = 0;
    std::memcpy(&e0, reply, 8);
    EXPECT_DOUBLE_EQ(e0, default_equation[0] + 0.1);
    EXPECT_EQ(reply[8], '\n');

    // A reply longer than the library's own 72-byte buffer arrives whole: 128 bytes of the
    // cal-factor area, 0xFF past its end.
    ASSERT_EQ(SensorMessage(record(), "MI3\nMR64\nMR64\n", 14), 1);
    std::string area(128, 'Z');
    ASSERT_EQ(SensorMessageDataQuery(record(), area.data(), 128), 1);
    const std::string hex = get_key(0, "area.cft");
    std::string stored;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        stored += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    stored.resize(128, '\xFF');
    EXPECT_EQ(area, stored.substr(0, 128));
    ASSERT_EQ(SensorComms(record(), 1), 1);
}

// Unplugging: the reader's next queue status fails, the session is lost, every call answers 0
// and nothing blocks.
TEST_F(OpenSession, UnplugLosesTheSession) {
    double dbm = 0;
    ASSERT_GE(SensorPowerLog(record(), &dbm), 1);
    set_key(0, "plugged", "0");
    EXPECT_TRUE(eventually([&] { return !session.connected(); }));
    EXPECT_EQ(SensorPowerLog(record(), &dbm), 0);
    double volts = 0;
    EXPECT_EQ(SensorVolts(record(), &volts), 0);
    char line[72];
    EXPECT_EQ(SensorMessageQuery(record(), line), 0);
    EXPECT_EQ(SensorComms(record(), 0), 0);
}

TEST_F(OpenSession, UnplugWhilePausedDoesNotHangTheCaller) {
    ASSERT_EQ(SensorComms(record(), 0), 1);
    set_key(0, "plugged", "0");
    ASSERT_EQ(SensorMessage(record(), "ID?\n", 4), 1);
    char line[72];
    EXPECT_EQ(SensorMessageQuery(record(), line), 0); // lost during the read
    EXPECT_FALSE(session.connected());
    EXPECT_EQ(SensorComms(record(), 1), 0);
}

TEST_F(OpenSession, ForceDisconnectThenCloseEndsTheThreads) {
    double volts = 0;
    ASSERT_EQ(SensorVolts(record(), &volts), 1);
    EXPECT_EQ(SensorForceDisconnect(record()), record());
    EXPECT_FALSE(session.connected());
    EXPECT_EQ(SensorVolts(record(), &volts), 0);
    // The fixture's Session closes it: the threads are joined, the device released, and the
    // device can be opened again at once.
}

TEST(Session, CloseReleasesTheDeviceForTheNextSession) {
    configure_bus("[device]\n");
    for (int i = 0; i < 3; ++i) {
        Session session;
        ASSERT_EQ(session.init(), 1) << i;
        double volts = 0;
        EXPECT_EQ(SensorVolts(session.get(), &volts), 1);
    }
}

} // namespace
