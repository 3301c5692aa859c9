#include "meterdesk/factory/equation_fit.h"

#include "meterdesk/base/paths.h"
#include "meterdesk/settings/number_text.h"

#include <charconv>
#include <cmath>
#include <fstream>

namespace meterdesk {

namespace {

// "%.6e" without the locale.
std::string exponent_text(double value) {
    char text[64];
    const auto [end, ec] =
        std::to_chars(text, text + sizeof text, value, std::chars_format::scientific, 6);
    return ec == std::errc() ? std::string(text, end) : std::string("nan");
}

std::string left(std::string text, std::size_t width) {
    if (text.size() < width) text.append(width - text.size(), ' ');
    return text;
}

std::string number_of(int n) {
    std::string text = printf_int(n);
    return n < 10 ? " " + text : text;
}

// The blank-separated numbers of a line, or nothing when one is not a number.
std::optional<std::vector<double>> numbers_of(const std::string &line) {
    std::vector<double> values;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
        std::size_t j = i;
        while (j < line.size() && line[j] != ' ' && line[j] != '\t' && line[j] != '\r') ++j;
        if (j > i) {
            const char *first = line.data() + i;
            if (*first == '+') ++first;
            double value = 0.0;
            const auto [end, ec] = std::from_chars(first, line.data() + j, value);
            if (ec != std::errc() || end != line.data() + j || !std::isfinite(value))
                return std::nullopt;
            values.push_back(value);
        }
        i = j;
    }
    return values;
}

std::string line_error(const std::filesystem::path &file, int line, const std::string &reason) {
    return file.string() + ", line " + printf_int(line) + ": " + reason;
}

std::string row(const FitPoint &p, const char *gap) {
    return printf_fixed(p.level.dbm, 3, 7) + gap + printf_fixed(p.level.volts, 6, 8) + gap +
           printf_fixed(p.power, 3, 7) + gap + printf_fixed(p.difference, 4, 7) +
           (p.fails ? "  <<<<" : "");
}

} // namespace

double equation_power(const EquationPrams &e, double volts) {
    const double l = std::log10(volts);
    const double hyperbola =
        std::pow(std::pow(std::fabs(l - e[5]), e[6]) + std::pow(std::fabs(e[4]), e[6]), 1.0 / e[6]);
    const double g1 = (l - e[8]) / e[9];
    const double g2 = (l - e[11]) / e[12];
    return e[0] + e[1] * l + e[2] * l * l + e[3] * hyperbola + e[7] * std::exp(-g1 * g1) +
           e[10] * std::exp(-g2 * g2);
}

std::filesystem::path levmar_folder() {
    return paths::resolve(paths::quorix_root(), "Levmar");
}

std::string pram_line(int number, double value) {
    const std::string text = std::fabs(value) >= 1000000.0 ? left(exponent_text(value), 10)
                                                           : left(printf_fixed(value, 10), 16);
    return "Pram " + number_of(number) + " = " + text;
}

std::vector<std::string> equation_pram_lines(const EquationPrams &prams) {
    std::vector<std::string> lines;
    auto group = [&](const char *title, int first, int last) {
        if (!lines.empty()) lines.emplace_back();
        lines.emplace_back(title);
        for (int n = first; n <= last; ++n)
            lines.push_back(pram_line(n, prams[static_cast<std::size_t>(n - 1)]));
    };
    group("Polynomial", 1, 3);
    group("Hyperbola", 4, 7);
    group("Gauss (1)", 8, 10);
    group("Gauss (2)", 11, 13);
    return lines;
}

FileRead<EquationPrams> read_fit_output(const std::filesystem::path &file, bool four_part) {
    std::ifstream in(file);
    if (!in) return {std::nullopt, "Can't open " + file.string()};
    // Line of the file, first parameter on it, parameter count.
    struct Row {
        int line;
        std::size_t first;
        std::size_t count;
    };
    const Row rows[] = {{2, 0, 3}, {4, 3, 4}, {6, 7, 3}, {8, 10, 3}};
    EquationPrams prams{};
    prams[10] = 0.0;
    prams[11] = 1.0;
    prams[12] = 1.0;
    std::string text;
    int line = 0;
    for (const Row &r : rows) {
        if (r.line == 8 && !four_part) break;
        while (line <= r.line) {
            if (!std::getline(in, text))
                return {std::nullopt, line_error(file, line + 1, "the file ends early")};
            ++line;
        }
        const auto values = numbers_of(text);
        if (!values) return {std::nullopt, line_error(file, line, "not a number")};
        if (values->size() < r.count)
            return {std::nullopt,
                    line_error(file, line,
                               "fewer than " + printf_int(static_cast<long long>(r.count)) +
                                   " numbers")};
        for (std::size_t i = 0; i < r.count; ++i) prams[r.first + i] = (*values)[i];
    }
    return {prams, {}};
}

FileRead<std::vector<Level>> read_levels(const std::filesystem::path &file) {
    std::ifstream in(file);
    if (!in) return {std::nullopt, "Can't open " + file.string()};
    std::vector<Level> levels;
    std::string text;
    int line = 0;
    while (std::getline(in, text)) {
        ++line;
        const auto values = numbers_of(text);
        if (!values) return {std::nullopt, line_error(file, line, "not a number")};
        if (values->empty()) continue;
        if (values->size() < 2)
            return {std::nullopt, line_error(file, line, "a power and a voltage are needed")};
        if ((*values)[1] <= 0.0)
            return {std::nullopt, line_error(file, line, "the voltage is not above 0")};
        if (static_cast<int>(levels.size()) == kMaxFitLevels)
            return {std::nullopt, "More than 46 levels in " + file.string()};
        levels.push_back({(*values)[0], (*values)[1]});
    }
    if (levels.size() < 2) return {std::nullopt, line_error(file, line, "fewer than 2 levels")};
    return {levels, {}};
}

std::vector<Level> expand_levels(const std::vector<Level> &levels) {
    std::vector<Level> points;
    for (std::size_t i = 0; i < levels.size(); ++i) {
        points.push_back(levels[i]);
        if (i + 1 == levels.size()) break;
        const Level &a = levels[i];
        const Level &b = levels[i + 1];
        for (int q = 1; q <= 3; ++q) {
            const double w = q / 4.0;
            points.push_back(
                {(1 - w) * a.dbm + w * b.dbm,
                 std::pow(10.0, (1 - w) * std::log10(a.volts) + w * std::log10(b.volts))});
        }
    }
    return points;
}

FitCheck check_fit(const std::vector<Level> &expanded, const EquationPrams &prams,
                   double limit_db) {
    FitCheck check;
    for (const Level &level : expanded) {
        FitPoint p{level, equation_power(prams, level.volts), 0.0, false};
        p.difference = level.dbm - p.power;
        p.fails = std::fabs(p.difference) > limit_db || !std::isfinite(p.difference);
        if (p.fails) ++check.fails;
        if (std::fabs(p.difference) > std::fabs(check.worst)) check.worst = p.difference;
        check.points.push_back(p);
    }
    return check;
}

std::vector<std::string> fit_check_list(const FitCheck &check) {
    std::vector<std::string> lines = {
        "", printf_int(check.fails) + " Bad fit(s) , worst fit = " + printf_fixed(check.worst, 4),
        ""};
    for (const FitPoint &p : check.points) lines.push_back(row(p, "\t"));
    return lines;
}

std::string expanded_fit_text(const FitCheck &check) {
    std::string text;
    for (const FitPoint &p : check.points) text += row(p, "  ") + "\n";
    return text;
}

} // namespace meterdesk
