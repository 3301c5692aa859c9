// SearchHold: while a factory tool scans or programs the USB bridges, the measurement thread
// must not open them for its sensor search (SensorInit opens every bridge in turn). A hold
// pauses the search for its lifetime; the constructor returns once no search pass is running
// (or after a bounded wait). Holds nest and may come from several threads.
#pragma once

#include <chrono>

namespace meterdesk {

struct AppState;

class SearchHold {
  public:
    explicit SearchHold(AppState &state,
                        std::chrono::milliseconds limit = std::chrono::milliseconds(3000));
    ~SearchHold();
    SearchHold(const SearchHold &) = delete;
    SearchHold &operator=(const SearchHold &) = delete;

  private:
    AppState &state_;
};

} // namespace meterdesk
