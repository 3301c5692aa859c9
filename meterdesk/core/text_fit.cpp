#include "meterdesk/core/text_fit.h"

#include <algorithm>
#include <map>
#include <numeric>
#include <optional>

namespace meterdesk {
namespace {

bool has_ink(const TextInk &ink) {
    return ink.bottom >= ink.top;
}

bool fits(const TextLine &line, const TextInk &ink, int right_limit,
          std::optional<int> next_ink_top) {
    if (line.x + ink.advance > right_limit) return false;
    if (!next_ink_top || !has_ink(ink)) return true;
    return line.y + ink.bottom <= *next_ink_top - 2; // one blank row between the two
}

// One pass from the lowest row up: each line gets the largest font, from its present one down,
// that fits. The lines of one row are fitted against the row below, not each other.
void fit_pass(std::vector<TextLine> &lines, const std::vector<std::size_t> &order, int right_limit,
              int min_font_px, const TextMeasure &measure) {
    std::optional<int> below_ink_top; // first ink row of the nearest inked row below
    std::size_t i = 0;
    while (i < order.size()) {
        const int row = lines[order[i]].y;
        std::optional<int> row_ink_top;
        for (; i < order.size() && lines[order[i]].y == row; ++i) {
            TextLine &line = lines[order[i]];
            const int smallest = std::min(min_font_px, line.font_px);
            TextInk ink;
            for (int px = line.font_px; px >= smallest; --px) {
                line.font_px = px;
                ink = measure(line.text, px);
                if (fits(line, ink, right_limit, below_ink_top)) break;
            }
            if (has_ink(ink)) {
                const int top = line.y + ink.top;
                row_ink_top = row_ink_top ? std::min(*row_ink_top, top) : top;
            }
        }
        if (row_ink_top) below_ink_top = row_ink_top;
    }
}

// Gives every line of a group the group's smallest font; true when a line changed.
bool share_group_fonts(std::vector<TextLine> &lines) {
    std::map<int, int> smallest;
    for (const TextLine &line : lines) {
        if (line.group == 0) continue;
        auto [it, added] = smallest.emplace(line.group, line.font_px);
        if (!added) it->second = std::min(it->second, line.font_px);
    }
    bool changed = false;
    for (TextLine &line : lines) {
        if (line.group == 0) continue;
        const int px = smallest[line.group];
        if (line.font_px != px) {
            line.font_px = px;
            changed = true;
        }
    }
    return changed;
}

} // namespace

void fit_text_lines(std::vector<TextLine> &lines, int right_limit, int min_font_px,
                    const TextMeasure &measure) {
    std::vector<std::size_t> order(lines.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return lines[a].y > lines[b].y; });
    // A group made smaller moves its ink, so the lines above are fitted again. Fonts only get
    // smaller, so this ends.
    do {
        fit_pass(lines, order, right_limit, min_font_px, measure);
    } while (share_group_fonts(lines));
}

} // namespace meterdesk
