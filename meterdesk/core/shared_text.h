// A fixed-capacity, NUL-terminated text field that several threads may read and write.
//
// The measurement thread fills identity texts (serial, model, firmware) while the user-interface
// thread draws them; a tiny lock per field keeps a reader from seeing half of an update. Text
// longer than the capacity is cut, never written past the end.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>
#include <mutex>
#include <string>
#include <string_view>

namespace meterdesk {

template <std::size_t Capacity>
class SharedText {
  public:
    static constexpr std::size_t capacity = Capacity;

    SharedText() = default;
    explicit SharedText(std::string_view initial) { set(initial); }
    SharedText(const SharedText &) = delete;
    SharedText &operator=(const SharedText &) = delete;

    // Stores `text`, cut to the capacity (and at an embedded NUL).
    void set(std::string_view text) {
        const auto nul = text.find('\0');
        if (nul != std::string_view::npos) text = text.substr(0, nul);
        const std::size_t n = std::min(text.size(), Capacity);
        std::lock_guard lock(mutex_);
        std::memcpy(chars_.data(), text.data(), n);
        chars_[n] = '\0';
    }

    SharedText &operator=(std::string_view text) {
        set(text);
        return *this;
    }

    std::string get() const {
        std::lock_guard lock(mutex_);
        return std::string(chars_.data());
    }

    bool starts_with(std::string_view prefix) const { return get().starts_with(prefix); }
    bool empty() const { return get().empty(); }

  private:
    mutable std::mutex mutex_;
    std::array<char, Capacity + 1> chars_{};
};

} // namespace meterdesk
