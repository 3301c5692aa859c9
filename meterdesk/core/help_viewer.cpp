#include "meterdesk/core/help_viewer.h"

#include "meterdesk/base/paths.h"

#include <array>

namespace meterdesk {

std::filesystem::path help_topic_path(const std::filesystem::path &install_dir,
                                      const HelpTopic &topic) {
    return paths::resolve(install_dir, "help/" + std::string(topic.file_name));
}

std::optional<std::string> stream_help_document(HelpStreamReader &reader, Ui &ui,
                                                const HelpMissingWarning &missing) {
    std::string document;
    std::array<char, 4096> buffer{};
    for (;;) {
        const HelpStreamReader::Chunk chunk = reader.read(buffer);
        if (chunk.abort) {
            ui.message(missing.caption, missing.text, MessageButtons::kOk,
                       MessageIcon::kExclamation);
            return std::nullopt;
        }
        if (chunk.count == 0) return document;
        document.append(buffer.data(), chunk.count);
    }
}

HelpView show_help_topic(HelpStreamReader &reader, Ui &ui, const std::filesystem::path &install_dir,
                         int index, const std::vector<std::filesystem::path> &shipped) {
    HelpView view;
    view.background = kApplicationHelpPane;
    const std::optional<HelpTopic> topic = help_topic(index);
    if (!topic) {
        reader.close();
        return view;
    }
    view.title = help_window_title(*topic);
    reader.arm(paths::find_help_file(install_dir, shipped, topic->file_name), index);
    if (std::optional<std::string> document =
            stream_help_document(reader, ui, application_help_missing(*topic))) {
        view.rtf = std::move(*document);
        view.loaded = true;
    }
    return view;
}

} // namespace meterdesk
