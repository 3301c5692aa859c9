#include "meterdesk/ui/qt_sound.h"

#include <QAudioFormat>
#include <QAudioSink>
#include <QBuffer>
#include <QCoreApplication>
#include <QFileInfo>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QThread>
#include <QUrl>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <numbers>
#include <thread>

namespace meterdesk::ui {
namespace {

constexpr int kToneRate = 22050;
constexpr double kToneLevel = 0.3;
constexpr double kFadeSeconds = 0.005; // no click at either end

bool on_gui_thread() {
    return QCoreApplication::instance() != nullptr &&
           QThread::currentThread() == QCoreApplication::instance()->thread();
}

// One sample of the tone at index i of n, faded in and out.
double tone_sample(int hz, int rate, int i, int n) {
    const double t = static_cast<double>(i) / rate;
    const double fade_samples = kFadeSeconds * rate;
    const double edge = std::min({1.0, i / fade_samples, (n - 1 - i) / fade_samples});
    return kToneLevel * std::max(0.0, edge) * std::sin(2.0 * std::numbers::pi * hz * t);
}

QByteArray tone(const QAudioFormat &format, int hz, int ms) {
    const int rate = format.sampleRate();
    const int channels = std::max(1, format.channelCount());
    const int n = static_cast<int>(static_cast<std::int64_t>(rate) * ms / 1000);
    QByteArray bytes;
    bytes.resize(static_cast<qsizetype>(n) * channels * format.bytesPerSample());
    char *out = bytes.data();
    for (int i = 0; i < n; ++i) {
        const double v = tone_sample(hz, rate, i, n);
        for (int c = 0; c < channels; ++c) {
            switch (format.sampleFormat()) {
            case QAudioFormat::Int16: {
                const auto s = static_cast<std::int16_t>(std::lround(v * 32767.0));
                std::memcpy(out, &s, sizeof s);
                break;
            }
            case QAudioFormat::Int32: {
                const auto s = static_cast<std::int32_t>(std::lround(v * 2147483647.0));
                std::memcpy(out, &s, sizeof s);
                break;
            }
            case QAudioFormat::Float: {
                const auto s = static_cast<float>(v);
                std::memcpy(out, &s, sizeof s);
                break;
            }
            case QAudioFormat::UInt8:
            default: {
                const auto s = static_cast<std::uint8_t>(std::lround(128.0 + v * 127.0));
                std::memcpy(out, &s, sizeof s);
                break;
            }
            }
            out += format.bytesPerSample();
        }
    }
    return bytes;
}

} // namespace

QtSound::QtSound(bool use_audio, QObject *parent) : QObject(parent) {
    if (!use_audio) return;
    const QList<QAudioDevice> outputs = QMediaDevices::audioOutputs();
    if (outputs.isEmpty()) return;
    device_ = QMediaDevices::defaultAudioOutput();
    if (device_.isNull()) device_ = outputs.front();
    audible_ = !device_.isNull();
}

QtSound::~QtSound() {
    shut_down();
}

void QtSound::beep(int hz, int ms) {
    if (shut_down_ || ms <= 0) return;
    if (audible_ && hz > 0) {
        if (on_gui_thread())
            start_tone(hz, ms);
        else
            QMetaObject::invokeMethod(
                this, [this, hz, ms] { start_tone(hz, ms); }, Qt::QueuedConnection);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void QtSound::start_tone(int hz, int ms) {
    if (shut_down_) return;
    QAudioFormat format;
    format.setSampleRate(kToneRate);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    if (!device_.isFormatSupported(format)) format = device_.preferredFormat();
    if (!format.isValid()) return;

    auto *sink = new QAudioSink(device_, format, this);
    auto *buffer = new QBuffer(sink);
    buffer->setData(tone(format, hz, ms));
    buffer->open(QIODevice::ReadOnly);
    connect(sink, &QAudioSink::stateChanged, sink, [sink](QAudio::State state) {
        if (state == QAudio::IdleState || state == QAudio::StoppedState) {
            sink->deleteLater(); // the whole tone has been played, or the output failed
        }
    });
    sink->start(buffer);
    if (sink->error() != QAudio::NoError) sink->deleteLater();
}

void QtSound::play_wav(std::string_view path) {
    if (shut_down_ || !audible_) return;
    const QString file = QString::fromUtf8(path.data(), static_cast<qsizetype>(path.size()));
    if (on_gui_thread())
        start_wav(file);
    else
        QMetaObject::invokeMethod(
            this, [this, file] { start_wav(file); }, Qt::QueuedConnection);
}

void QtSound::start_wav(const QString &path) {
    if (shut_down_ || !QFileInfo(path).isFile()) return; // a missing file plays nothing
    auto *effect = new QSoundEffect(device_, this);
    connect(effect, &QSoundEffect::playingChanged, effect, [effect] {
        if (!effect->isPlaying() && effect->status() != QSoundEffect::Loading)
            effect->deleteLater();
    });
    connect(effect, &QSoundEffect::statusChanged, effect, [effect] {
        if (effect->status() == QSoundEffect::Error) effect->deleteLater();
    });
    effect->setSource(QUrl::fromLocalFile(path));
    effect->play();
}

} // namespace meterdesk::ui
