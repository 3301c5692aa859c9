// What the application derives from a connected sensor's identity texts: the model family,
// the brand, and the firmware revision as a number.
#pragma once

#include <string>
#include <string_view>

namespace meterdesk {

// Model family 0..6 from the start of the model/ID text. Prefixes are tried in family order,
// each over exactly its own length: "RX1"/"71308" 0, "RX2LOKAN"/"71312" 1, "RX3LOKAN"/"71318" 2,
// "RX4LO"/"71326" 3, "RX5L"/"71340" 4, "RX6" 5; anything else is 6.
int model_index_for(std::string_view sensor_model);

// Second-brand sensors have serial numbers beginning "206".
bool is_marrick_serial(std::string_view sensor_serial);

// Serial numbers beginning "RXZ" are placeholders.
bool is_real_serial(std::string_view sensor_serial);

// "Marrick" for "206...", "Quorix Techn'gy" for "RXZ...", else "Zyn Quorix".
std::string brand_label_for(std::string_view sensor_serial);

// 10 x (the decimal number at character 12 of the firmware identity text) + (the decimal
// number at character 14); 45 means revision 4.5. Missing or non-numeric parts count 0.
int firmware_number_of(std::string_view firmware_revision);

} // namespace meterdesk
