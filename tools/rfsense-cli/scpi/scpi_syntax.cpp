#include "scpi/scpi_syntax.h"

#include <cctype>

namespace rfsense::scpi {
namespace {

bool is_mnemonic_char(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_';
}

std::string_view trim(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

char upper(char c) {
    return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

// Splits at `separator` outside quoted strings; an unterminated quote gives nullopt.
std::optional<std::vector<std::string_view>> split_outside_quotes(std::string_view text,
                                                                  char separator) {
    std::vector<std::string_view> parts;
    char quote = 0;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quote != 0) {
            if (c == quote) quote = 0; // a doubled quote reopens at once: still inside
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == separator) {
            parts.push_back(text.substr(start, i - start));
            start = i + 1;
        }
    }
    if (quote != 0) return std::nullopt;
    parts.push_back(text.substr(start));
    return parts;
}

SyntaxError error(int code, std::string text) {
    return SyntaxError{code, std::move(text)};
}

// Reads one message; `base` is the node path relative headers hang from.
std::optional<SyntaxError> parse_message(std::string_view text,
                                         const std::vector<std::string> &base,
                                         ProgramMessage &message) {
    // The header ends at the first white space; the parameters follow.
    std::size_t header_end = 0;
    while (header_end < text.size() && text[header_end] != ' ' && text[header_end] != '\t')
        ++header_end;
    std::string_view header = text.substr(0, header_end);
    const std::string_view rest = trim(text.substr(header_end));
    message.header = std::string(header);

    if (!header.empty() && header.back() == '?') {
        message.query = true;
        header.remove_suffix(1);
    }
    if (header.empty()) return error(-102, "Syntax error; missing header");

    if (header.front() == '*') {
        message.common = true;
        std::string name = "*";
        for (char c : header.substr(1)) {
            if (std::isalpha(static_cast<unsigned char>(c)) == 0)
                return error(-102, "Syntax error; bad common command " + message.header);
            name += upper(c);
        }
        if (name.size() < 2) return error(-102, "Syntax error; bad common command");
        message.nodes = {name};
    } else {
        const bool absolute = header.front() == ':';
        if (absolute) header.remove_prefix(1);
        message.nodes = absolute ? std::vector<std::string>{} : base;
        while (true) {
            const auto colon = header.find(':');
            const std::string_view node = header.substr(0, colon);
            if (node.empty()) return error(-102, "Syntax error; empty node in " + message.header);
            for (char c : node) {
                if (!is_mnemonic_char(c))
                    return error(-102, "Syntax error; invalid character in " + message.header);
            }
            if (node.size() > 12)
                return error(-112, "Program mnemonic too long; " + std::string(node));
            message.nodes.emplace_back(node);
            if (colon == std::string_view::npos) break;
            header.remove_prefix(colon + 1);
        }
    }

    if (!rest.empty()) {
        const auto parameters = split_outside_quotes(rest, ',');
        if (!parameters) return error(-150, "String data error; unterminated string");
        for (std::string_view parameter : *parameters) {
            parameter = trim(parameter);
            if (parameter.empty()) return error(-102, "Syntax error; empty parameter");
            message.parameters.emplace_back(parameter);
        }
    }
    return std::nullopt;
}

} // namespace

ParsedLine parse_line(std::string_view line) {
    ParsedLine parsed;
    const auto pieces = split_outside_quotes(line, ';');
    if (!pieces) {
        parsed.error = error(-150, "String data error; unterminated string");
        return parsed;
    }
    std::vector<std::string> base; // the root at the start of a line
    for (std::string_view piece : *pieces) {
        piece = trim(piece);
        if (piece.empty()) continue; // "A;;B" and a trailing ";" are harmless
        ProgramMessage message;
        if (auto failure = parse_message(piece, base, message)) {
            parsed.error = std::move(failure);
            return parsed;
        }
        // A common command leaves the path where it was; any other sets it to its own node.
        if (!message.common) base.assign(message.nodes.begin(), message.nodes.end() - 1);
        parsed.messages.push_back(std::move(message));
    }
    return parsed;
}

bool mnemonic_matches(std::string_view pattern_word, std::string_view typed) {
    if (typed.size() > 1 && typed.back() == '1' && pattern_word.back() != '1' &&
        mnemonic_matches(pattern_word, typed.substr(0, typed.size() - 1))) {
        return true;
    }
    std::string short_form;
    for (char c : pattern_word) {
        if (std::isupper(static_cast<unsigned char>(c)) != 0 ||
            std::isdigit(static_cast<unsigned char>(c)) != 0 || c == '*')
            short_form += c;
    }
    const auto same = [](std::string_view a, std::string_view b) {
        if (a.size() != b.size()) return false;
        for (std::size_t i = 0; i < a.size(); ++i) {
            if (upper(a[i]) != upper(b[i])) return false;
        }
        return true;
    };
    return same(typed, short_form) || same(typed, pattern_word);
}

namespace {

struct PatternNode {
    std::string word;
    bool optional = false;
};

std::vector<PatternNode> pattern_nodes(std::string_view pattern) {
    std::vector<PatternNode> nodes;
    std::size_t i = 0;
    while (i < pattern.size()) {
        PatternNode node;
        if (pattern[i] == '[') {
            node.optional = true;
            ++i;
        }
        if (i < pattern.size() && pattern[i] == ':') ++i;
        while (i < pattern.size() && pattern[i] != ':' && pattern[i] != '[' && pattern[i] != ']' &&
               pattern[i] != '?')
            node.word += pattern[i++];
        if (i < pattern.size() && pattern[i] == ']') ++i;
        if (i < pattern.size() && pattern[i] == '?') ++i;
        if (!node.word.empty()) nodes.push_back(std::move(node));
    }
    return nodes;
}

bool match_from(const std::vector<PatternNode> &pattern, std::size_t p,
                const std::vector<std::string> &typed, std::size_t t) {
    if (p == pattern.size()) return t == typed.size();
    if (pattern[p].optional && match_from(pattern, p + 1, typed, t)) return true;
    return t < typed.size() && mnemonic_matches(pattern[p].word, typed[t]) &&
           match_from(pattern, p + 1, typed, t + 1);
}

} // namespace

bool pattern_matches(std::string_view pattern, const ProgramMessage &message) {
    const bool query = !pattern.empty() && pattern.back() == '?';
    if (query != message.query) return false;
    if (!pattern.empty() && pattern.front() == '*') {
        if (!message.common) return false;
        std::string_view name = pattern;
        if (query) name.remove_suffix(1);
        return mnemonic_matches(name, message.nodes.front());
    }
    if (message.common) return false;
    return match_from(pattern_nodes(pattern), 0, message.nodes, 0);
}

} // namespace rfsense::scpi
