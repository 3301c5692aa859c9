#include "sensor-setup/core/sha256.h"

#include <array>
#include <cstdint>

namespace sensor_setup {

Sha256::Sha256() : context_{} {
    sha256_init(&context_);
}

void Sha256::update(std::span<const char> bytes) {
    sha256_update(&context_, bytes.size(), reinterpret_cast<const std::uint8_t *>(bytes.data()));
}

std::string Sha256::hex() {
    std::array<std::uint8_t, SHA256_DIGEST_SIZE> digest{};
    sha256_digest(&context_, digest.size(), digest.data());
    static const char digits[] = "0123456789abcdef";
    std::string out;
    out.reserve(2 * digest.size());
    for (std::uint8_t byte : digest) {
        out.push_back(digits[byte >> 4]);
        out.push_back(digits[byte & 0xF]);
    }
    return out;
}

} // namespace sensor_setup
