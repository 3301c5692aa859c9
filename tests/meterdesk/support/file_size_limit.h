// FileSizeLimit: while it lives, no write of this process grows a file past a size, so a save
// fails half-way as on a full disk (this works for root too, unlike file permissions).
#pragma once

#include <csignal>
#include <sys/resource.h>

namespace meterdesk_test {

class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        old_handler_ = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &old_);
        rlimit limit = old_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, old_handler_);
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

  private:
    rlimit old_{};
    void (*old_handler_)(int) = nullptr;
};

} // namespace meterdesk_test
