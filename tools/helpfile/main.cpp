// helpfile: scramble a rich-text help document into a .dat help file, or unscramble one.
//
//   helpfile scramble IN OUT
//   helpfile unscramble IN OUT
//
// Both directions are the same XOR with the help-file key; the two names only say the intent.
#include "meterdesk/base/help_file.h"

#include <cstdio>
#include <string>
#include <string_view>

namespace {

int usage() {
    std::fputs("usage: helpfile scramble|unscramble IN OUT\n", stderr);
    return 2;
}

} // namespace

int main(int argc, char **argv) {
    if (argc != 4) return usage();
    const std::string_view command = argv[1];
    if (command != "scramble" && command != "unscramble") return usage();
    std::string error;
    if (!meterdesk::scramble_help_file(argv[2], argv[3], error)) {
        std::fprintf(stderr, "helpfile: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
