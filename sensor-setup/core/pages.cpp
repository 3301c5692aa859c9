#include "sensor-setup/core/pages.h"

#include "meterdesk/base/help_file.h"
#include "sensor-setup/core/control_ids.h"

namespace sensor_setup {

void WelcomePage::open() {
    controls_.set_caption(kWelcomeCaption);
    controls_.set_text(ids::kWelcomeLine1, "Welcome to the installation procedure for the");
    controls_.set_text(ids::kWelcomeLine2, "Zyn Quorix range of RF/Microwave Power Sensors.");
    controls_.set_text(ids::kWelcomeLine3, "Revision 3.1");
}

DialogAction WelcomePage::continue_pressed() {
    if (++presses_ == 1) {
        controls_.set_text(ids::kWelcomeLine1, "Sensors covered by this procedure include");
        controls_.set_text(ids::kWelcomeLine2, "RX1, RX2LOKAN, RX3LOKAN and RX4LO.");
        controls_.set_text(ids::kWelcomeLine3,
                           "The help of the meter application describes each model.");
        return DialogAction::kStay;
    }
    for (int id : {ids::kWelcomeLine1, ids::kWelcomeLine2, ids::kWelcomeLine3})
        controls_.set_text(id, "");
    return DialogAction::kClose;
}

void OptionsPage::open() {
    controls_.set_caption(kWelcomeCaption);
    controls_.set_checked(ids::kDesktopShortcut, state_.desktop_launcher);
    controls_.set_checked(ids::kMenuShortcut, state_.menu_launcher);
    controls_.set_text(ids::kTargetPath, state_.target);
}

void OptionsPage::desktop_clicked() {
    state_.desktop_launcher = !state_.desktop_launcher;
    controls_.set_checked(ids::kDesktopShortcut, state_.desktop_launcher);
}

void OptionsPage::menu_clicked() {
    state_.menu_launcher = !state_.menu_launcher;
    controls_.set_checked(ids::kMenuShortcut, state_.menu_launcher);
}

void OptionsPage::browse_pressed() {
    const std::optional<std::string> folder = ui_.choose_folder(kPickerTitle);
    if (!folder || folder->empty()) return;
    state_.target = browsed_target_text(*folder);
    controls_.set_text(ids::kTargetPath, state_.target);
}

void OptionsPage::help_pressed() {
    state_.help_topic = 1;
    ui_.show_help(1);
}

DialogAction OptionsPage::continue_pressed() {
    return DialogAction::kClose;
}

void ProgressPage::open() {
    controls_.set_caption(kProgressCaption);
    controls_.set_text(ids::kProgressLine1, "Installing please wait ...");
    for (int id : {ids::kProgressLine2, ids::kProgressLine3, ids::kProgressLine4})
        controls_.set_text(id, "");
    for (int id : {ids::kFinish, ids::kProgressHelp, ids::kImportant})
        controls_.set_shown(id, false);
    controls_.set_shown(ids::kProgressCancel, true);
    ui_.start_timer(kInstallTimer, kInstallDelayMs);
}

void ProgressPage::command(int command_id) {
    if (command_id != kInstallCommand || started_) return;
    started_ = true;
    // From here the installation runs to its end: it can fail and undo itself, but not be
    // left half done by a Cancel.
    controls_.set_shown(ids::kProgressCancel, false);
    ui_.start_install();
}

void ProgressPage::install_finished(const InstallReport &report) {
    state_.report = report;
    state_.exit_status = exit_status(report.outcome);
    if (report.outcome == Outcome::kDone) {
        controls_.set_text(ids::kProgressLine1, "Installation complete.");
        controls_.set_text(ids::kProgressLine2,
                           "If this is a first time installation then connect a sensor before");
        controls_.set_text(ids::kProgressLine3,
                           "running the Zyn Quorix USB Power Sensor application.");
        controls_.set_text(ids::kProgressLine4, "Click the Help button for further information.");
    } else {
        controls_.set_text(ids::kProgressLine1, "Installation failed.");
        controls_.set_text(ids::kProgressLine2,
                           report.failure ? report.failure->path.string() : "");
        controls_.set_text(ids::kProgressLine3, report.failure ? report.failure->reason : "");
        controls_.set_text(ids::kProgressLine4, report.aftermath());
    }
    for (int id : {ids::kFinish, ids::kProgressHelp, ids::kImportant})
        controls_.set_shown(id, true);
    ui_.stop_timer(kInstallTimer);
    const std::string notes = installation_notes(report);
    if (!notes.empty()) ui_.message(meterdesk::installer_help_missing().caption, notes);
}

void ProgressPage::help_pressed() {
    state_.help_topic = 2;
    ui_.show_help(2);
}

DialogAction ProgressPage::finish_pressed() {
    return DialogAction::kClose;
}

DialogAction ProgressPage::cancel_pressed() {
    if (started_) return DialogAction::kStay;
    ui_.stop_timer(kInstallTimer);
    return DialogAction::kClose;
}

std::string installation_notes(const InstallReport &report) {
    std::string notes;
    auto add = [&](const std::string &line) {
        if (line.empty()) return;
        if (!notes.empty()) notes += "\n";
        notes += line;
    };
    add(report.recovery);
    if (report.outcome == Outcome::kDone && !report.missing_folders.empty()) {
        std::string text = "Not on the installation medium, so nothing was copied from:";
        for (const std::string &folder : report.missing_folders) text += " \"" + folder + "\"";
        add(text + ".");
    }
    add(report.launcher_note);
    return notes;
}

} // namespace sensor_setup
