// The bridge's configuration EEPROM in the FT232R's own layout: 64 little-endian words with the
// USB descriptor fields, the chip options, three string descriptors and a checksum in the last
// word. The simulator keeps the image beside the record of rfsim_bus_ee_read so that whatever
// reads the chip word by word (an emulated USB bridge) sees what a real one holds.
#pragma once

#include "rfsim/rfsim_bus.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace rfsim {

constexpr std::size_t bridge_eeprom_bytes = 128;
using EepromImage = std::array<uint8_t, bridge_eeprom_bytes>;

// Characters the three strings may hold together: the bytes from the first string to the
// checksum, less a two-byte header per string, at two bytes per character.
constexpr std::size_t eeprom_string_characters = 48;

// The checksum the chip expects in the last word, over every word before it.
uint16_t eeprom_checksum(const EepromImage &image);
bool eeprom_checksum_ok(const EepromImage &image);

// The image of a record. Chip options that the record does not hold (pin functions, drive
// strength, signal inversion, oscillator) come from `options` when given, else from the chip's
// factory settings. Strings longer than the image can hold in all are cut, the manufacturer
// first, then the description. The checksum is valid.
EepromImage encode_eeprom(const rfsim_eeprom &record, const EepromImage *options = nullptr);

// The record an image describes, or nothing when its checksum is wrong or its string pointers
// lead outside it. Fields the chip's layout does not hold (plug and play, the layout revision
// flags) are taken from `previous`; the manufacturer id is the serial number's first two
// characters, as the chip has no field for it.
std::optional<rfsim_eeprom> decode_eeprom(const EepromImage &image, const rfsim_eeprom &previous);

} // namespace rfsim
