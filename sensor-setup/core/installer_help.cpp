#include "sensor-setup/core/installer_help.h"

#include "sensor-setup/core/medium.h"

#include <array>

namespace sensor_setup {

std::optional<std::string> load_installer_help(meterdesk::HelpStreamReader &reader, SetupUi &ui,
                                               const std::filesystem::path &source, int topic) {
    reader.arm(installer_help_file(source, topic), topic);
    std::string document;
    std::array<char, 4096> buffer{};
    for (;;) {
        const meterdesk::HelpStreamReader::Chunk chunk = reader.read(buffer);
        if (chunk.abort) {
            const meterdesk::HelpMissingWarning missing = meterdesk::installer_help_missing();
            ui.message(missing.caption, missing.text);
            return std::nullopt;
        }
        if (chunk.count == 0) return document;
        document.append(buffer.data(), chunk.count);
    }
}

} // namespace sensor_setup
