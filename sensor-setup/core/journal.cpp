#include "sensor-setup/core/journal.h"

#include <array>
#include <optional>
#include <utility>

namespace sensor_setup {
namespace {

constexpr std::array<std::pair<JournalKind, std::string_view>, 8> kNames = {{
    {JournalKind::kBegin, "begin"},
    {JournalKind::kFolder, "folder"},
    {JournalKind::kStage, "stage"},
    {JournalKind::kCommit, "commit"},
    {JournalKind::kSwap, "swap"},
    {JournalKind::kAbort, "abort"},
    {JournalKind::kDone, "done"},
    {JournalKind::kUndone, "undone"},
}};

std::string escape(const std::string &text) {
    std::string out;
    for (char c : text) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '\t')
            out += "\\t";
        else if (c == '\n')
            out += "\\n";
        else
            out.push_back(c);
    }
    return out;
}

std::string unescape(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) {
            const char next = text[++i];
            out.push_back(next == 't' ? '\t' : next == 'n' ? '\n' : next);
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

std::optional<JournalKind> kind_named(std::string_view name) {
    for (const auto &[kind, text] : kNames)
        if (text == name) return kind;
    return std::nullopt;
}

std::vector<std::string_view> fields(std::string_view line) {
    std::vector<std::string_view> out;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= line.size(); ++i) {
        if (i == line.size() || line[i] == '\t') {
            out.push_back(line.substr(start, i - start));
            start = i + 1;
        }
    }
    return out;
}

fs::path hidden_beside(const fs::path &dest, std::string_view suffix) {
    return dest.parent_path() / ("." + dest.filename().string() + std::string(suffix));
}

} // namespace

std::string format_journal_entry(const JournalEntry &entry) {
    std::string line;
    for (const auto &[kind, text] : kNames)
        if (kind == entry.kind) line = text;
    if (!entry.path.empty() || !entry.dest.empty()) line += "\t" + escape(entry.path.string());
    if (!entry.dest.empty()) line += "\t" + escape(entry.dest.string());
    return line + "\n";
}

std::vector<JournalEntry> parse_journal(std::string_view text) {
    std::vector<JournalEntry> entries;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) break; // a torn last line was never acted on
        const std::vector<std::string_view> parts = fields(text.substr(start, end - start));
        start = end + 1;
        const std::optional<JournalKind> kind = kind_named(parts[0]);
        if (!kind) continue;
        JournalEntry entry{*kind, {}, {}};
        if (parts.size() > 1) entry.path = unescape(parts[1]);
        if (parts.size() > 2) entry.dest = unescape(parts[2]);
        entries.push_back(std::move(entry));
    }
    return entries;
}

fs::path staging_name(const fs::path &dest) {
    return hidden_beside(dest, ".setup-new");
}

fs::path backup_name(const fs::path &dest) {
    return hidden_beside(dest, ".setup-old");
}

} // namespace sensor_setup
