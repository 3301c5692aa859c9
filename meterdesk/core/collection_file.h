// The trace data-collection file: one line per trace point with the chosen columns, after a
// date line at the start of each run.
//
// A file that cannot be opened, or a write that fails during the run (a full disk), is told
// once with "Can't access file %s" (caption "Trace Data Collection"); the trace then goes on
// without the file.
#pragma once

#include <cstdio>
#include <ctime>
#include <string>
#include <string_view>

namespace meterdesk {

class Ui;

inline constexpr const char *kCollectionCaption = "Trace Data Collection";

class CollectionFile {
  public:
    explicit CollectionFile(Ui &ui) : ui_(ui) {}
    ~CollectionFile() { close(); }
    CollectionFile(const CollectionFile &) = delete;
    CollectionFile &operator=(const CollectionFile &) = delete;

    // Opens `path` for appending or anew and writes the date line; false (after the message)
    // when it cannot.
    bool open(const std::string &path, bool append, const std::tm &local);

    bool is_open() const { return file_ != nullptr; }

    // Appends text to the current line / ends the line. The line goes out whole at end_line;
    // a failed write closes the file after the message.
    void add(std::string_view text);
    void end_line();

    void close();

  private:
    void end_line_written();
    void fail();

    Ui &ui_;
    std::FILE *file_ = nullptr;
    std::string path_;
    std::string line_;
};

} // namespace meterdesk
