// SHA-256, to tell an installed file the user has left alone from one that was changed.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace sensor_setup {

class Sha256 {
  public:
    Sha256();
    void update(std::span<const char> bytes);
    // The digest as 64 lower-case hex digits; the object is used up.
    std::string hex();

  private:
    void block(const unsigned char *data);

    std::array<std::uint32_t, 8> state_;
    std::array<unsigned char, 64> buffer_{};
    std::size_t buffered_ = 0;
    std::uint64_t length_ = 0;
};

} // namespace sensor_setup
