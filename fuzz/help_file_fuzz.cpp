// A help file as the help pane gets it: streamed from disk, unscrambled, read as rich text.
#include "fuzz_input.h"
#include "meterdesk/base/help_file.h"
#include "meterdesk/base/rtf_reader.h"

#include <array>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    static meterdesk::HelpStreamReader reader;
    reader.arm(rfsense_fuzz::scratch_file(data, size, "topic.hlp"));
    std::string document;
    std::array<char, 4096> buffer{};
    while (true) {
        const auto chunk = reader.read(buffer);
        if (chunk.abort || chunk.count == 0) break;
        document.append(buffer.data(), chunk.count);
    }
    reader.close();
    meterdesk::rtf::read(document);
    return 0;
}
