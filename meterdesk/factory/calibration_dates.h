// The texts of the calibration date stamps: six digits DDMMYY as the sensor keeps them (and as
// "tcd.dat" begins), shown as "DD-MM-20YY" when they are a real calendar date from 2007 to the
// current year, else as not set.
#pragma once

#include <string>
#include <string_view>

namespace meterdesk {

inline constexpr const char *kDateNotSet = "< Not set yet >";

// True for six digits DDMMYY that name a real date (29 February only in leap years) with
// 2007 <= 20YY <= current_year.
bool valid_date_code(std::string_view code, int current_year);

// "DD-MM-20YY" for a valid code, else "< Not set yet >".
std::string date_code_text(std::string_view code, int current_year);

} // namespace meterdesk
