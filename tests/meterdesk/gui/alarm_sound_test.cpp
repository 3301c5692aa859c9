// The application's sounds: the welcome tune at start-up and the alarm beeps that a limit
// alarm with its beep on sets off while the readout is drawn.
#include "meterdesk/base/paths.h"
#include "meterdesk/gui/support/meter_app_fixture.h"

#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace meterdesk_test {
namespace {

class RecordingSound : public meterdesk::Sound {
  public:
    void beep(int hz, int ms) override {
        std::lock_guard lock(mutex_);
        beeps_.emplace_back(hz, ms);
    }
    void play_wav(std::string_view path) override {
        std::lock_guard lock(mutex_);
        wavs_.emplace_back(path);
    }
    std::vector<std::pair<int, int>> beeps() const {
        std::lock_guard lock(mutex_);
        return beeps_;
    }
    std::vector<std::string> wavs() const {
        std::lock_guard lock(mutex_);
        return wavs_;
    }

  private:
    mutable std::mutex mutex_;
    std::vector<std::pair<int, int>> beeps_;
    std::vector<std::string> wavs_;
};

TEST_F(MeterAppTest, WelcomeTuneAtStartAndHighLimitBeepsWhileTheAlarmHolds) {
    configure();
    RecordingSound sound;
    auto c = config();
    c.sound = &sound;
    make(c);
    start();
    ASSERT_EQ(sound.wavs().size(), 1u); // no "AppSettings.dat": the tune plays
    // The app folder holds no tune: the one the build made is played, a PCM WAV file.
    std::ifstream tune(sound.wavs()[0], std::ios::binary);
    std::string header(44, '\0');
    ASSERT_TRUE(tune.read(header.data(), 44)) << sound.wavs()[0];
    EXPECT_EQ(header.substr(0, 4), "RIFF");
    EXPECT_EQ(header.substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(header.substr(36, 4), "data");
    EXPECT_GT(std::filesystem::file_size(sound.wavs()[0]), 20000u); // about a second of sound

    ASSERT_TRUE(wait_measuring());
    EXPECT_TRUE(window().timer_active(meterdesk::kZeroDriftTimer)); // started on connect
    EXPECT_TRUE(sound.beeps().empty());
    QMetaObject::invokeMethod(&window(), [&] {
        state().limits_enabled = true;
        state().limits_beep = true;
        state().limit_high_db = -20.0; // the sensor sees -10 dBm
    });
    ASSERT_TRUE(wait([&] { return sound.beeps().size() >= 2; }, 5000));
    EXPECT_EQ(sound.beeps()[0], std::make_pair(2000, 250));

    // The alarm clears: the beeps stop.
    QMetaObject::invokeMethod(&window(), [&] { state().limit_high_db = 0.0; });
    ASSERT_TRUE(wait([&] { return !state().limit_high_alarm; }));
    QTest::qWait(800); // a tone and its pause may still be under way
    const std::size_t after = sound.beeps().size();
    QTest::qWait(800);
    EXPECT_EQ(sound.beeps().size(), after);
}

} // namespace
} // namespace meterdesk_test
