// The detailed reason for the last failed link operation of the calling thread. A Status says
// what kind of failure it was; this says what happened, in words a user can act on ("permission
// denied ... install the udev rule"), so that no caller has to show a bare USB error number.
#pragma once

#include <string>

namespace rfsense::link {

// Empty when the thread's last link operation that records reasons succeeded.
const std::string &last_link_error();
void set_link_error(std::string message);
void clear_link_error();

} // namespace rfsense::link
