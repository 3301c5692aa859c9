// The dialogs and panels of the application, registered with the main window's PanelRegistry
// at start-up. Each dialog module adds its own lines to register_dialog_set().
#pragma once

#include <filesystem>
#include <vector>

namespace meterdesk {
struct AppState;
class Ui;
class Sound;
class MeasurementThread;
class FlashProgrammer;
} // namespace meterdesk

namespace meterdesk::ui {

class PanelRegistry;

struct DialogContext {
    AppState &state;
    Ui &ui;
    MeasurementThread &measurement;
    // Where the data the program ships is looked for after app_dir (help topics).
    std::vector<std::filesystem::path> shipped_data = {};
    // The speaker (the firmware download beeps at its end); none in some tests.
    Sound *sound = nullptr;
    // FlashProgrammerThread, kept by the composition root (the FLASH programmer is not
    // registered without it).
    FlashProgrammer *flash_programmer = nullptr;
};

void register_dialog_set(PanelRegistry &panels, const DialogContext &context);

} // namespace meterdesk::ui
