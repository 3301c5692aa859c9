#include "meterdesk/core/collection_file.h"

#include "meterdesk/core/ports.h"
#include "meterdesk/core/sampling.h"

namespace meterdesk {

bool CollectionFile::open(const std::string &path, bool append, const std::tm &local) {
    close();
    path_ = path;
    file_ = path.empty() ? nullptr : std::fopen(path.c_str(), append ? "a" : "w");
    if (file_ == nullptr) {
        fail();
        return false;
    }
    line_ = sample_date_line(local) + "\n";
    end_line_written();
    return is_open();
}

void CollectionFile::add(std::string_view text) {
    if (file_ != nullptr) line_ += text;
}

void CollectionFile::end_line() {
    if (file_ == nullptr) return;
    line_ += "\n";
    end_line_written();
}

void CollectionFile::end_line_written() {
    const bool written = std::fwrite(line_.data(), 1, line_.size(), file_) == line_.size() &&
                         std::fflush(file_) == 0;
    line_.clear();
    if (!written) fail();
}

void CollectionFile::close() {
    if (file_ == nullptr) return;
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    if (!closed) fail();
}

void CollectionFile::fail() {
    if (file_ != nullptr) {
        std::fclose(file_);
        file_ = nullptr;
    }
    ui_.message(kCollectionCaption, "Can't access file " + path_, MessageButtons::kOk,
                MessageIcon::kExclamation);
}

} // namespace meterdesk
