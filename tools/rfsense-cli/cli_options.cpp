#include "cli_options.h"

#include "value_parse.h"

#include <array>
#include <span>

namespace rfsense::cli {

namespace {

enum class Argument { none, required, optional };

enum class OptionId {
    help,
    version,
    simulate,
    data_dir,
    table,
    count,
    continuous,
    unit,
    format,
    frequency,
    offset,
    duty,
    cal_factor,
    resolution,
    relative,
    zero,
    normalise_only,
    output,
    listen,
    port,
    serial,
    idle_timeout,
};

struct OptionEntry {
    const char *long_name;
    char short_name; // '\0' when there is none
    Argument argument;
    OptionId id;
};

constexpr std::array global_entries{
    OptionEntry{"help", 'h', Argument::none, OptionId::help},
    OptionEntry{"version", 'V', Argument::none, OptionId::version},
    OptionEntry{"simulate", '\0', Argument::optional, OptionId::simulate},
    OptionEntry{"data-dir", '\0', Argument::required, OptionId::data_dir},
};

constexpr std::array info_entries{
    OptionEntry{"table", 't', Argument::none, OptionId::table},
};

constexpr std::array read_entries{
    OptionEntry{"count", 'n', Argument::required, OptionId::count},
    OptionEntry{"continuous", 'c', Argument::none, OptionId::continuous},
    OptionEntry{"unit", 'u', Argument::required, OptionId::unit},
    OptionEntry{"format", '\0', Argument::required, OptionId::format},
    OptionEntry{"frequency", 'f', Argument::required, OptionId::frequency},
    OptionEntry{"offset", '\0', Argument::required, OptionId::offset},
    OptionEntry{"duty", '\0', Argument::required, OptionId::duty},
    OptionEntry{"cal-factor", '\0', Argument::required, OptionId::cal_factor},
    OptionEntry{"resolution", 'r', Argument::required, OptionId::resolution},
    OptionEntry{"relative", '\0', Argument::none, OptionId::relative},
    OptionEntry{"zero", '\0', Argument::none, OptionId::zero},
    OptionEntry{"output", 'o', Argument::required, OptionId::output},
};

constexpr std::array firmware_entries{
    OptionEntry{"normalise-only", '\0', Argument::none, OptionId::normalise_only},
};

constexpr std::array serve_entries{
    OptionEntry{"listen", '\0', Argument::required, OptionId::listen},
    OptionEntry{"port", 'p', Argument::required, OptionId::port},
    OptionEntry{"serial", '\0', Argument::required, OptionId::serial},
    OptionEntry{"idle-timeout", '\0', Argument::required, OptionId::idle_timeout},
};

std::span<const OptionEntry> command_entries(Command command) {
    switch (command) {
    case Command::firmware:
        return firmware_entries;
    case Command::info:
        return info_entries;
    case Command::read:
        return read_entries;
    case Command::serve:
        return serve_entries;
    default:
        return {};
    }
}

const OptionEntry *find_long(std::span<const OptionEntry> entries, const std::string &name) {
    for (const auto &entry : entries)
        if (name == entry.long_name) return &entry;
    return nullptr;
}

const OptionEntry *find_short(std::span<const OptionEntry> entries, char name) {
    for (const auto &entry : entries)
        if (entry.short_name != '\0' && entry.short_name == name) return &entry;
    return nullptr;
}

std::optional<Command> command_from_name(const std::string &name) {
    if (name == "list") return Command::list;
    if (name == "info") return Command::info;
    if (name == "read") return Command::read;
    if (name == "zero") return Command::zero;
    if (name == "firmware") return Command::firmware;
    if (name == "serve") return Command::serve;
    return std::nullopt;
}

// Stores one option's value; returns an error text or "".
std::string apply(CommandLine &line, OptionId id, const std::string &shown_name,
                  const std::optional<std::string> &value) {
    auto invalid = [&](const char *expected) {
        return "invalid value '" + *value + "' for " + shown_name + ": expected " + expected;
    };
    ReadOptions &read = line.read;
    switch (id) {
    case OptionId::help:
        line.global.help = true;
        break;
    case OptionId::version:
        line.global.version = true;
        break;
    case OptionId::simulate:
        line.global.simulate = value.value_or("default");
        if (line.global.simulate->empty()) return "--simulate= needs a configuration file name";
        break;
    case OptionId::data_dir:
        if (value->empty()) return "--data-dir needs a folder name";
        line.global.data_dir = *value;
        break;
    case OptionId::table:
        line.info.table = true;
        break;
    case OptionId::normalise_only:
        line.firmware.normalise_only = true;
        break;
    case OptionId::count: {
        const auto count = parse_integer(*value);
        if (!count || *count < 1) return invalid("a whole number of readings, 1 or more");
        read.count = *count;
        break;
    }
    case OptionId::continuous:
        read.continuous = true;
        break;
    case OptionId::unit:
        if (*value == "dbm" || *value == "dBm")
            read.unit = Unit::dbm;
        else if (*value == "w" || *value == "W")
            read.unit = Unit::watts;
        else if (*value == "v" || *value == "V")
            read.unit = Unit::volts;
        else
            return invalid("dbm, w or v");
        break;
    case OptionId::format:
        if (*value == "text")
            read.format = Format::text;
        else if (*value == "csv")
            read.format = Format::csv;
        else
            return invalid("text or csv");
        break;
    case OptionId::frequency:
        read.frequency_hz = parse_frequency(*value);
        if (!read.frequency_hz)
            return invalid("a frequency in Hz, optionally with k, M or G (e.g. 2.4G)");
        break;
    case OptionId::offset:
        read.offset_db = parse_number(*value);
        if (!read.offset_db) return invalid("a number of dB");
        break;
    case OptionId::duty:
        read.duty_percent = parse_number(*value);
        if (!read.duty_percent) return invalid("a percentage");
        break;
    case OptionId::cal_factor:
        read.cal_factor_percent = parse_number(*value);
        if (!read.cal_factor_percent) return invalid("a percentage");
        break;
    case OptionId::resolution:
        read.resolution = parse_integer(*value);
        if (!read.resolution) return invalid("a number of decimals, 0 to 3");
        break;
    case OptionId::relative:
        read.relative = true;
        break;
    case OptionId::zero:
        read.zero_first = true;
        break;
    case OptionId::output:
        if (value->empty()) return "--output needs a file name";
        read.output = *value;
        break;
    case OptionId::listen:
        if (value->empty()) return invalid("an address to listen on, e.g. 0.0.0.0");
        line.serve.listen_address = *value;
        break;
    case OptionId::port: {
        const auto port = parse_integer(*value);
        if (!port || *port < 0 || *port > 65535) return invalid("a port number, 0 to 65535");
        line.serve.port = *port;
        break;
    }
    case OptionId::serial:
        if (value->empty()) return invalid("a sensor serial number");
        line.serve.serial = *value;
        break;
    case OptionId::idle_timeout: {
        const auto seconds = parse_integer(*value);
        if (!seconds || *seconds < 1 || *seconds > 86400)
            return invalid("a number of seconds, 1 to 86400");
        line.serve.idle_timeout_s = *seconds;
        break;
    }
    }
    return {};
}

// The options the parser knows at this point: the global ones and those of the command.
const OptionEntry *lookup_long(Command command, const std::string &name) {
    if (const auto *entry = find_long(global_entries, name)) return entry;
    return find_long(command_entries(command), name);
}

const OptionEntry *lookup_short(Command command, char name) {
    if (const auto *entry = find_short(global_entries, name)) return entry;
    return find_short(command_entries(command), name);
}

std::string unknown_option(Command command, const std::string &shown) {
    if (command == Command::none) return "unknown option '" + shown + "'";
    return "unknown option '" + shown + "' for '" + command_name(command) + "'";
}

std::string check_combination(const CommandLine &line) {
    const ReadOptions &read = line.read;
    if (line.command != Command::read) return {};
    if (read.relative && read.unit == Unit::volts)
        return "--relative applies to dBm and W readings, not to volts";
    return {};
}

} // namespace

const char *command_name(Command command) {
    switch (command) {
    case Command::list:
        return "list";
    case Command::info:
        return "info";
    case Command::read:
        return "read";
    case Command::zero:
        return "zero";
    case Command::firmware:
        return "firmware";
    case Command::serve:
        return "serve";
    case Command::none:
        break;
    }
    return "";
}

ParseResult parse_command_line(const std::vector<std::string> &arguments) {
    ParseResult result;
    CommandLine &line = result.line;
    bool options_ended = false;
    long count_given = 0;

    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string &argument = arguments[i];
        const bool is_option = !options_ended && argument.size() > 1 && argument[0] == '-';

        if (!is_option) {
            if (line.command == Command::firmware && line.firmware.file.empty()) {
                line.firmware.file = argument;
                continue;
            }
            if (line.command != Command::none) {
                result.error = "unexpected argument '" + argument + "'";
                return result;
            }
            const auto command = command_from_name(argument);
            if (!command) {
                result.error = "unknown command '" + argument + "'";
                if (i > 0 && arguments[i - 1] == "--simulate")
                    result.error += " (a configuration file goes as --simulate=FILE)";
                return result;
            }
            line.command = *command;
            continue;
        }
        if (argument == "--") {
            options_ended = true;
            continue;
        }

        const OptionEntry *entry = nullptr;
        std::string shown;
        std::optional<std::string> value;
        bool value_attached = false;

        if (argument[1] == '-') {
            const std::string body = argument.substr(2);
            const auto equals = body.find('=');
            const std::string name = body.substr(0, equals);
            shown = "--" + name;
            entry = lookup_long(line.command, name);
            if (!entry) {
                result.error = unknown_option(line.command, shown);
                return result;
            }
            if (equals != std::string::npos) {
                value = body.substr(equals + 1);
                value_attached = true;
            }
        } else {
            shown = argument.substr(0, 2);
            entry = lookup_short(line.command, argument[1]);
            if (!entry) {
                result.error = unknown_option(line.command, shown);
                return result;
            }
            if (argument.size() > 2) {
                if (entry->argument == Argument::none) {
                    result.error = "option '" + shown + "' takes no value (in '" + argument + "')";
                    return result;
                }
                value = argument.substr(2);
                value_attached = true;
            }
        }

        switch (entry->argument) {
        case Argument::none:
            if (value_attached) {
                result.error = "option '" + shown + "' takes no value";
                return result;
            }
            break;
        case Argument::required:
            if (!value_attached) {
                if (i + 1 >= arguments.size()) {
                    result.error = "option '" + shown + "' needs a value";
                    return result;
                }
                value = arguments[++i];
            }
            break;
        case Argument::optional:
            break; // only the attached form "--name=value" carries a value
        }

        if (entry->id == OptionId::count) ++count_given;
        result.error = apply(line, entry->id, shown, value);
        if (!result.error.empty()) return result;
    }

    if (line.global.help || line.global.version) return result;
    if (line.command == Command::none) {
        result.error = "no command given";
        return result;
    }
    if (count_given > 0 && line.read.continuous) {
        result.error = "--count and --continuous exclude each other";
        return result;
    }
    if (line.command == Command::firmware && line.firmware.file.empty()) {
        result.error = "'firmware' needs the HEX file to send";
        return result;
    }
    result.error = check_combination(line);
    return result;
}

} // namespace rfsense::cli
