// What the command line asks for, parsed into plain records before any sensor is touched.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace rfsense::cli {

enum class Command { none, list, info, read, zero, firmware, serve };
enum class Unit { dbm, watts, volts };
enum class Format { text, csv };

struct GlobalOptions {
    bool help = false;
    bool version = false;
    std::optional<std::string> simulate; // "default" or a configuration file
    std::optional<std::string> data_dir; // folder of the calibration files
};

struct InfoOptions {
    bool table = false;
};

struct ReadOptions {
    long count = 1;
    bool continuous = false;
    Unit unit = Unit::dbm;
    Format format = Format::text;
    std::optional<double> frequency_hz;
    std::optional<double> offset_db;
    std::optional<double> duty_percent;
    std::optional<double> cal_factor_percent;
    std::optional<long> resolution; // decimals; the sensor library judges the range
    bool relative = false;
    bool zero_first = false;
    std::optional<std::string> output; // -o: also log every reading to this CSV file
};

struct FirmwareOptions {
    bool normalise_only = false; // print the copy, touch no sensor
    std::string file;            // the HEX file
};

struct ServeOptions {
    std::string listen_address = "127.0.0.1";
    long port = 5025;
    std::optional<std::string> serial; // the sensor to serve; the first found when not given
    long idle_timeout_s = 600;
};

struct CommandLine {
    GlobalOptions global;
    Command command = Command::none;
    InfoOptions info;
    ReadOptions read;
    FirmwareOptions firmware;
    ServeOptions serve;
};

struct ParseResult {
    CommandLine line;
    std::string error; // empty when the command line is usable
};

// Global options may stand before or after the command; "--" ends option parsing.
ParseResult parse_command_line(const std::vector<std::string> &arguments);

const char *command_name(Command command);

} // namespace rfsense::cli
