// The application's help window logic: which document a topic loads, the window title and pane
// colour, and the warning when the file is missing. The Qt help window shows the result.
#pragma once

#include "meterdesk/core/display_colours.h"
#include "meterdesk/base/help_file.h"
#include "meterdesk/core/ports.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace meterdesk {

// The topic's file under the installation folder: <install>/help/<file>, the "help" folder
// spelled as on disk ("Help" or "help").
std::filesystem::path help_topic_path(const std::filesystem::path &install_dir,
                                      const HelpTopic &topic);

// Reads the whole document the reader is armed with. A missing file shows `missing` as a
// warning box through `ui` and gives nothing; an empty file gives an empty document without
// a warning.
std::optional<std::string> stream_help_document(HelpStreamReader &reader, Ui &ui,
                                                const HelpMissingWarning &missing);

struct HelpView {
    std::string title;   // "Help for " + caption; empty for the no-topic index
    Rgb background;      // the pane's colour
    std::string rtf;     // the unscrambled document; empty when missing
    bool loaded = false; // the document was streamed
};

// Shows topic `index` of the application: arms the reader with the topic's file, streams it,
// and returns what the window shows. The file is looked for under `install_dir`, then under
// the folders of data the program ships (paths::shipped_data_folders); when none has it, the
// path under `install_dir` is streamed, which warns that it is missing. The no-topic index (8)
// and the unused indexes load nothing and leave the reader armed.
HelpView show_help_topic(HelpStreamReader &reader, Ui &ui, const std::filesystem::path &install_dir,
                         int index, const std::vector<std::filesystem::path> &shipped = {});

} // namespace meterdesk
