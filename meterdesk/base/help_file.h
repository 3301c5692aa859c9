// Help files: rich-text documents whose bytes are XOR-ed with one fixed key byte, and the
// streaming reader that unscrambles them for the help pane. The installer reads its two topics
// through the same reader.
#pragma once

#include "meterdesk/base/rgb.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace meterdesk {

// The key of the shipped help-file set; every help file of both programs uses it.
inline constexpr std::uint8_t kHelpFileKey = 0x9B;

// XORs every byte with the key, in place. Scrambling is its own inverse.
void scramble_help_bytes(std::span<char> bytes, std::uint8_t key = kHelpFileKey);

// Streams `from` into `to` scrambled (or unscrambled: the same operation). Returns false with a
// reason in `error` when a file cannot be read or written; a partly written `to` is removed.
bool scramble_help_file(const std::filesystem::path &from, const std::filesystem::path &to,
                        std::string &error, std::uint8_t key = kHelpFileKey);

// One streaming reader per program; one document is streamed at a time.
class HelpStreamReader {
  public:
    struct Chunk {
        bool abort = false;    // the file could not be opened: stop streaming
        std::size_t count = 0; // unscrambled bytes written; 0 ends the stream
    };

    // Selects the document to stream next: any open file is closed and the next read opens
    // `path` from its first byte. `cookie` is the topic index handed to the pane.
    void arm(std::filesystem::path path, int cookie = 0);

    // Fills `buffer` with the next unscrambled bytes. The first read after arm() opens the file;
    // if it cannot be opened the chunk says abort and the reader stays armed.
    Chunk read(std::span<char> buffer);

    // Closes the file and arms the reader for the next document (Close of the help window).
    void close();

    bool open_on_next_read() const { return open_on_next_read_; }
    int cookie() const { return cookie_; }
    const std::filesystem::path &path() const { return path_; }

  private:
    bool open_on_next_read_ = true;
    std::ifstream file_;
    std::filesystem::path path_;
    int cookie_ = 0;
};

// Application help topics. The topic index is 8 (no topic) after start-up.
inline constexpr int kNoHelpTopic = 8;

struct HelpTopic {
    int index = kNoHelpTopic;
    std::string_view file_name; // in the "help" folder of the installation
    std::string_view caption;
};

// Topics 0..3, 9 and 10; nothing for the unused indexes.
std::optional<HelpTopic> help_topic(int index);

// "Help for " followed by the topic caption.
std::string help_window_title(const HelpTopic &topic);

// Warning shown when a help file cannot be opened.
struct HelpMissingWarning {
    std::string caption;
    std::string text;
};

// The application's warning: "Cant find help file", captioned with the topic caption.
HelpMissingWarning application_help_missing(const HelpTopic &topic);

// The installer's warning: "Can't find help file", captioned "Zyn Quorix Sensor Installation".
HelpMissingWarning installer_help_missing();

// Background colours of the help pane.
inline constexpr Rgb kApplicationHelpPane{190, 210, 250};
inline constexpr Rgb kInstallerHelpPane{160, 180, 230};

} // namespace meterdesk
