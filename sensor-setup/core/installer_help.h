// The installer's help: topic 1 (the options) is "hts10.dat" and topic 2 (after the
// installation) "hts11.dat" on the installation medium, scrambled rich text read through the
// help-file reader the meter uses too.
#pragma once

#include "meterdesk/base/help_file.h"
#include "sensor-setup/core/setup_ui.h"

#include <filesystem>
#include <optional>
#include <string>

namespace sensor_setup {

// Streams topic `topic` of the medium at `source` through `reader`. A missing file gives the
// warning "Can't find help file" (caption "Zyn Quorix Sensor Installation") through `ui`, and
// nothing; an empty file gives an empty document.
std::optional<std::string> load_installer_help(meterdesk::HelpStreamReader &reader, SetupUi &ui,
                                               const std::filesystem::path &source, int topic);

} // namespace sensor_setup
