// MeasurementThread: the worker that owns the sensor session in normal operation.
//
// It finds the sensor, initialises it, reports initialisation problems, identifies it, runs
// ConnectDefaults and then polls the reading of the current measurement mode, handing every
// accepted reading to the display through AppState and repaint requests. When the sensor goes
// away it shows the disconnected screen once, greys the commands that need a sensor, closes
// the session and searches again every 500 ms. It runs until stop().
#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <string>

struct SensorRecord;

namespace meterdesk {

struct AppState;
class ReadingLog;
class Ui;
class Worker;

// Pacing of the loops. The defaults are the product's; tests shorten them.
struct MeasurementTiming {
    std::chrono::milliseconds startup_poll{100};     // waiting for the splash to end
    std::chrono::milliseconds search_poll{500};      // no sensor: retry SensorInit
    std::chrono::milliseconds paused_poll{100};      // live readout off
    std::chrono::milliseconds temperature_pace{250}; // one temperature reading per period
};

// Trace and statistics sampling run inside the measurement loop, so that only one thread
// talks to the sensor. Their owner plugs in here; the hook is called once per pass.
class SamplingHooks {
  public:
    virtual ~SamplingHooks() = default;
    virtual void after_pass(SensorRecord *sensor) = 0;
    // The sensor has gone (called on the disconnect path, before the session closes).
    virtual void connection_lost() {}
};

// The message for a SensorInit result, caption "Sensor Initialisation"; nothing for codes
// that need no report.
std::optional<std::string> init_result_message(int rc);

inline constexpr const char *kSensorInitialisationCaption = "Sensor Initialisation";

class MeasurementThread {
  public:
    MeasurementThread(AppState &state, Ui &ui, MeasurementTiming timing = {},
                      SamplingHooks *hooks = nullptr);
    ~MeasurementThread(); // stop()
    MeasurementThread(const MeasurementThread &) = delete;
    MeasurementThread &operator=(const MeasurementThread &) = delete;

    // Greys the connection-dependent commands and the measurement toolbar's readout commands,
    // starts main-window timer 1 (5000 ms) and the thread, which waits for startup_phase 1; it
    // enables the toolbar commands when it takes the window over, the others on connect.
    void start();

    // Ends the thread and closes the session so that the device is released. A blocking
    // reading is woken by disconnecting the session. Returns false when the thread did not
    // end within `timeout` (for example while a message box waits for the user); it is then
    // left to finish on its own.
    bool stop(std::chrono::milliseconds timeout = std::chrono::milliseconds(3000));

    // SensorForceDisconnect on the open session (Preset, after a firmware download): the loop
    // sees the sensor gone, closes the session and reconnects with the defaults. Safe from any
    // thread; does nothing while no session is open.
    void force_disconnect();

    // Every accepted reading also goes to this log (while it runs). Set before start().
    void set_reading_log(ReadingLog *log);

  private:
    struct Shared;
    std::shared_ptr<Shared> shared_;
    std::unique_ptr<Worker> worker_;
};

} // namespace meterdesk
