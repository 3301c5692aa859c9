#include "meterdesk/factory/calibration_dates.h"

#include <algorithm>

namespace meterdesk {

namespace {

constexpr int kFirstYear = 2007; // the first stamps were written in 2007

int two_digits(std::string_view text) {
    return (text[0] - '0') * 10 + (text[1] - '0');
}

int days_in_month(int month, int year) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

} // namespace

bool valid_date_code(std::string_view code, int current_year) {
    if (code.size() != 6 ||
        !std::all_of(code.begin(), code.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    const int day = two_digits(code.substr(0, 2));
    const int month = two_digits(code.substr(2, 2));
    const int year = 2000 + two_digits(code.substr(4, 2));
    if (year < kFirstYear || year > current_year || month < 1 || month > 12) return false;
    return day >= 1 && day <= days_in_month(month, year);
}

std::string date_code_text(std::string_view code, int current_year) {
    if (!valid_date_code(code, current_year)) return kDateNotSet;
    return std::string(code.substr(0, 2)) + "-" + std::string(code.substr(2, 2)) + "-20" +
           std::string(code.substr(4, 2));
}

} // namespace meterdesk
