// The syntax of SCPI program messages as the server reads them: one line holds one or more
// messages separated by ";", each a header (a path of mnemonics, or a common command such as
// "*IDN?") with an optional "?" and comma-separated parameters.
//
// A header that starts with ":" or "*" is absolute; any other header is taken relative to the
// node of the previous command of the same line, as IEEE 488.2 and SCPI specify
// ("SENS:FREQ 1E9;AVER:COUN 4" sets SENS:AVER:COUN). Each new line starts at the root.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rfsense::scpi {

struct ProgramMessage {
    bool common = false;                 // "*IDN?", "*RST", ...
    bool query = false;                  // the header ends in "?"
    std::vector<std::string> nodes;      // the mnemonics as typed, the relative ones resolved
    std::vector<std::string> parameters; // trimmed, quoted strings kept with their quotes
    std::string header;                  // the header as typed, for error messages
};

struct SyntaxError {
    int code = -100; // -100 command error, -102 syntax error, ...
    std::string text;
};

// A message that could not be read becomes an error in place of its message; the messages
// before it on the line still run, those after it do not (the rest of the line is discarded).
struct ParsedLine {
    std::vector<ProgramMessage> messages;
    std::optional<SyntaxError> error;
};

ParsedLine parse_line(std::string_view line);

// One node of a command pattern ("MEASure", "[:SCALar]"): does the typed mnemonic name it? The
// short form is the pattern's upper-case letters (and digits), the long form the whole word,
// both without regard to case. A trailing "1" on the typed mnemonic names the same node
// (channel 1 of a one-channel instrument).
bool mnemonic_matches(std::string_view pattern_word, std::string_view typed);

// A command pattern such as "MEASure[:SCALar]:POWer[:AC]?" or "*IDN?": does the message match
// it, including whether it is a query? Optional nodes in brackets may be left out.
bool pattern_matches(std::string_view pattern, const ProgramMessage &message);

} // namespace rfsense::scpi
