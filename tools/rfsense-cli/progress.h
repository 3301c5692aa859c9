// Progress of a long step on standard error: a bar redrawn in place on a terminal, a line every
// ten percent when standard error goes to a file or a pipe.
#pragma once

#include <string>

namespace rfsense::cli {

class Progress {
  public:
    Progress(std::string label, int total_steps, bool terminal);
    ~Progress();
    Progress(const Progress &) = delete;
    Progress &operator=(const Progress &) = delete;

    void advance_to(int steps_done);
    // Ends the display (a terminal bar gets its final newline).
    void finish();

  private:
    void draw(int percent);

    std::string label_;
    int total_;
    bool terminal_;
    bool finished_ = false;
    int shown_percent_ = -1;
};

} // namespace rfsense::cli
