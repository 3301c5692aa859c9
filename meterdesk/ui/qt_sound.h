// QtSound: the Sound port on Qt Multimedia.
//
// beep(hz, ms) plays a generated sine on the default audio output and blocks its caller for
// the tone's duration; play_wav starts a WAV file and returns. The audio objects live on the
// GUI thread; calls from workers are queued to it. Without an audio output (a headless
// machine, an offscreen run) it stays silent, but beep still takes its time, so that alarm
// patterns keep their rhythm.
#pragma once

#include "meterdesk/core/ports.h"

#include <QAudioDevice>
#include <QObject>

#include <atomic>

namespace meterdesk::ui {

class QtSound final : public QObject, public Sound {
  public:
    // Made on the GUI thread. `use_audio` false keeps it silent whatever the machine has.
    explicit QtSound(bool use_audio = true, QObject *parent = nullptr);
    ~QtSound() override;

    void beep(int hz, int ms) override;
    void play_wav(std::string_view path) override;

    // An audio output was found.
    bool audible() const { return audible_; }

    // Later calls return at once (program end).
    void shut_down() { shut_down_ = true; }

  private:
    void start_tone(int hz, int ms);     // GUI thread
    void start_wav(const QString &path); // GUI thread

    QAudioDevice device_;
    bool audible_ = false;
    std::atomic<bool> shut_down_{false};
};

} // namespace meterdesk::ui
