// A typed value that a dialog refuses: the message to show and the edit it belongs to.
#pragma once

#include <string>

namespace meterdesk {

class Controls;
class Ui;

struct Refusal {
    int edit_id = 0;
    std::string caption;
    std::string text;
};

// Shows the refusal in an owner-less warning box with an OK button, then gives the refused edit
// the focus with its text selected. The typed text is kept.
void show_refusal(Ui &ui, Controls &controls, const Refusal &refusal);

} // namespace meterdesk
