// SHA-256, to tell an installed file the user has left alone from one that was changed. The
// digest itself is nettle's, which uses the processor's SHA instructions where there are any.
#pragma once

#include <nettle/sha2.h>

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
    sha256_ctx context_;
};

} // namespace sensor_setup
