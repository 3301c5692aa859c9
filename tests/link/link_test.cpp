// Status sentences and the choice of backend from the environment.
#include "link/backends.h"
#include "link/bus_choice.h"
#include "link/link.h"
#include "link/link_error.h"

#include <rfsim/rfsim.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace rfsense::link {
namespace {

TEST(StatusText, EveryStatusHasItsOwnSentence) {
    const Status all[] = {Status::ok,
                          Status::invalid_handle,
                          Status::device_not_found,
                          Status::device_not_opened,
                          Status::io_error,
                          Status::insufficient_resources,
                          Status::invalid_parameter,
                          Status::eeprom_read_failed,
                          Status::eeprom_write_failed,
                          Status::eeprom_not_present,
                          Status::device_list_not_ready,
                          Status::other_error};
    std::set<std::string> seen;
    for (const Status status : all) {
        const std::string text = status_text(status);
        SCOPED_TRACE(static_cast<int>(status));
        ASSERT_GT(text.size(), 10u);
        EXPECT_EQ(text.back(), '.');
        EXPECT_TRUE(seen.insert(text).second) << "shared sentence: " << text;
    }
    // A number no status has still reads as a sentence, not as nothing.
    EXPECT_GT(std::string(status_text(static_cast<Status>(99))).size(), 10u);
}

struct ChoiceCase {
    const char *name;
    const char *sim;
    const char *link;
    const char *backend;
    bool error;
};

void PrintTo(const ChoiceCase &c, std::ostream *out) {
    *out << c.name;
}

class ChooseBus : public testing::TestWithParam<ChoiceCase> {};

TEST_P(ChooseBus, FollowsTheEnvironment) {
    const ChoiceCase &c = GetParam();
    BusChoice choice = choose_bus(c.sim, c.link);
    ASSERT_NE(choice.bus, nullptr);
    EXPECT_STREQ(choice.backend, c.backend);
    EXPECT_EQ(!choice.error.empty(), c.error) << choice.error;
}

INSTANTIATE_TEST_SUITE_P(
    Environment, ChooseBus,
    testing::Values(ChoiceCase{"nothing_set", nullptr, nullptr, "ftdi", false},
                    ChoiceCase{"link_empty", nullptr, "", "ftdi", false},
                    ChoiceCase{"link_ftdi", nullptr, "ftdi", "ftdi", false},
                    ChoiceCase{"link_unknown", nullptr, "usb", "ftdi", true},
                    ChoiceCase{"link_sim", nullptr, "sim", "sim", false},
                    ChoiceCase{"sim_default", "default", nullptr, "sim", false},
                    // A named simulator wins over the link.
                    ChoiceCase{"sim_default_link_ftdi", "default", "ftdi", "sim", false},
                    ChoiceCase{"sim_missing_file", "/nonexistent/rfsense-sim.conf", nullptr, "sim",
                               true}),
    [](const testing::TestParamInfo<ChoiceCase> &param_info) {
        return std::string(param_info.param.name);
    });

TEST(ChooseBusMessages, UnknownLinkNamesTheValue) {
    const BusChoice choice = choose_bus(nullptr, "serial");
    EXPECT_NE(choice.error.find("\"serial\""), std::string::npos) << choice.error;
}

TEST(ChooseBusSimulator, DefaultHoldsOneSensor) {
    BusChoice choice = choose_bus("default", nullptr);
    uint32_t count = 0;
    ASSERT_EQ(choice.bus->list_devices(count), Status::ok);
    EXPECT_EQ(count, 1u);
}

TEST(ChooseBusSimulator, UnreadableFileLeavesAnEmptyBus) {
    BusChoice choice = choose_bus("/nonexistent/rfsense-sim.conf", nullptr);
    uint32_t count = 99;
    ASSERT_EQ(choice.bus->list_devices(count), Status::ok);
    EXPECT_EQ(count, 0u);
    std::unique_ptr<Device> device;
    EXPECT_EQ(choice.bus->open(0, device), Status::device_not_found);
    EXPECT_EQ(device, nullptr);
}

TEST(ChooseBusSimulator, ConfigurationFileWithoutSectionsHoldsTheDefaultSensor) {
    const auto path = std::filesystem::temp_directory_path() /
                      ("rfsense-link-test-" +
                       std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + ".conf");
    std::ofstream(path) << "# nothing but a comment\n";
    BusChoice choice = choose_bus(path.c_str(), nullptr);
    std::filesystem::remove(path);
    EXPECT_TRUE(choice.error.empty()) << choice.error;
    uint32_t count = 0;
    ASSERT_EQ(choice.bus->list_devices(count), Status::ok);
    EXPECT_EQ(count, 1u);
}

// The sensor library and the program each hold a copy of the link layer; with the simulator
// configured from a file, the second copy must share the bus the first built, not replace it
// under the session the first has opened.
TEST(ChooseBusSimulator, SecondCopyWithTheSameFileSharesTheBus) {
    const auto path = std::filesystem::temp_directory_path() /
                      ("rfsense-link-once-" +
                       std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + ".conf");
    std::ofstream(path) << "[device]\nserial = RX000123\n[device]\nkind = programmer\n";
    BusChoice library = choose_bus(path.c_str(), nullptr);
    std::unique_ptr<Device> session;
    ASSERT_EQ(library.bus->open(0, session), Status::ok);
    BusChoice program = choose_bus(path.c_str(), nullptr);
    std::filesystem::remove(path);
    EXPECT_TRUE(program.error.empty()) << program.error;
    DeviceInfo info;
    ASSERT_EQ(session->info(info), Status::ok) << session->last_error();
    EXPECT_EQ(info.serial, "RX000123");
    uint32_t count = 0;
    ASSERT_EQ(program.bus->list_devices(count), Status::ok);
    EXPECT_EQ(count, 2u);

    // Replacing the bus on purpose still drops the session, which then says why.
    ASSERT_GE(rfsim_configure(""), 0);
    EXPECT_EQ(session->info(info), Status::io_error);
    EXPECT_NE(session->last_error().find("unplugged"), std::string::npos) << session->last_error();
}

TEST(SimBackend, ReportsTheChipAndWhatItsEepromCanDo) {
    struct Case {
        const char *keys;
        uint32_t type;
        bool programmable;
        std::size_t characters;
        bool keeps_id;
    } const cases[] = {
        {"", kChipFt232r, true, 31 + 63 + 15, true},
        {"eeprom = ft232r\n", kChipFt232r, true, 48, false},
        {"eeprom = blank\n", kChipFt232r, true, 48, false},
        {"chip = ft2232h\n", kChipFt2232h, false, 0, false},
        {"chip = ft232h\n", kChipFt232h, false, 0, false},
        {"chip = ftx\n", kChipFtx, false, 0, false},
    };
    for (const auto &c : cases) {
        ASSERT_GE(rfsim_configure((std::string("[device]\n") + c.keys).c_str()), 0);
        std::string error;
        auto bus = make_sim_bus("", error);
        std::unique_ptr<Device> device;
        ASSERT_EQ(bus->open(0, device), Status::ok);
        DeviceInfo info;
        ASSERT_EQ(device->info(info), Status::ok) << c.keys;
        EXPECT_EQ(info.type, c.type) << c.keys;
        EXPECT_EQ(info.id, 0x04036001u) << c.keys;
        const EepromSupport support = device->eeprom_support();
        EXPECT_EQ(support.programmable, c.programmable) << c.keys;
        EXPECT_EQ(support.string_characters, c.characters) << c.keys;
        EXPECT_EQ(support.keeps_manufacturer_id, c.keeps_id) << c.keys;
    }
}

TEST(ActiveBus, IsChosenOnceForAllThreads) {
    std::vector<Bus *> seen(8, nullptr);
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < seen.size(); ++i)
        threads.emplace_back([&seen, i] { seen[i] = &active_bus(); });
    for (std::thread &thread : threads) thread.join();
    for (Bus *bus : seen) EXPECT_EQ(bus, &active_bus());
    // The suite runs with RFSENSE_LINK=sim.
    EXPECT_STREQ(active_backend_name(), "sim");
    EXPECT_TRUE(active_bus_error().empty()) << active_bus_error();
}

TEST(LinkError, BelongsToTheThreadThatFailed) {
    set_link_error("first thread's failure");
    std::string other = "unset";
    std::thread([&other] { other = last_link_error(); }).join();
    EXPECT_EQ(other, "");
    EXPECT_EQ(last_link_error(), "first thread's failure");
    clear_link_error();
    EXPECT_EQ(last_link_error(), "");
}

} // namespace
} // namespace rfsense::link
