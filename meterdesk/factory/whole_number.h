// Numbers typed into the factory dialogs' edits. A value that is not a whole decimal number
// ("12.5", "1e3", "12abc", an empty edit) is refused like a value out of range, rather than read
// as far as it looks like a number: a technician's typing slip must not program a sensor.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace meterdesk {

// The whole decimal number in `text` (blanks around it allowed, an optional sign), when `text`
// holds at most `max_chars` characters and the number fits in a long long; else nothing.
std::optional<long long> whole_number(std::string_view text, std::size_t max_chars);

// whole_number within low..high; else nothing.
std::optional<long long> whole_number_in(std::string_view text, std::size_t max_chars,
                                         long long low, long long high);

} // namespace meterdesk
