// HelpBox: the application's help window - a modeless dialog with one read-only rich-text pane
// and a Close button. It is created hidden at start-up with no topic (8) and kept; showing a
// topic streams that topic's scrambled help file through the core's reader, reads the rich
// text and fills the pane. A missing file gives the core's warning box through the Ui port and
// an empty pane.
#pragma once

#include "meterdesk/base/help_file.h"

#include <QDialog>

#include <filesystem>
#include <vector>

class QTextEdit;

namespace meterdesk {
struct AppState;
class Ui;
} // namespace meterdesk

namespace meterdesk::ui {

class HelpBox : public QDialog {
  public:
    // The help files are looked up under the state's app_dir when a topic is shown, then in
    // the folders of data the program ships (`shipped`, see paths::shipped_data_folders).
    HelpBox(AppState &state, Ui &ui, QWidget *owner = nullptr,
            std::vector<std::filesystem::path> shipped = {});

    // Makes `index` the program's help topic (AppState::help_topic), loads it (0..3, 9, 10;
    // see help_topic), sets the title "Help for " + caption and brings the window up. Indexes
    // without a topic load nothing and leave the window as it is.
    void show_topic(int index);

    // "Show the panel": shows the topic the caller has put into AppState::help_topic.
    void show_current_topic();

    // The program's help topic; kNoHelpTopic (8) until one is asked for.
    int topic() const;

    QTextEdit *pane() const { return pane_; }

    // Close: closes the file, re-arms the reader for the next topic and hides the window.
    void reject() override;

  private:
    AppState &state_;
    Ui &ui_;
    const std::vector<std::filesystem::path> shipped_;
    HelpStreamReader reader_;
    QTextEdit *pane_;
};

} // namespace meterdesk::ui
