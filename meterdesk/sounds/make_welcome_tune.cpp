// make_welcome_tune: writes the meter's welcome tune, a short rising chime, as a WAV file
// (RIFF, PCM, 22050 Hz, 16-bit, mono). The build runs it, so the product ships a tune of its
// own without any recorded sound in the source tree.
//
// Usage: make_welcome_tune OUTPUT.WAV
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <numbers>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 22050;

struct Note {
    double start_s;  // when it is struck
    double hz;       // its pitch
    double length_s; // how long it rings
};

// A major arpeggio up to the octave, then the chord together.
constexpr Note kNotes[] = {
    {0.00, 523.25, 0.45}, // C5
    {0.16, 659.25, 0.45}, // E5
    {0.32, 783.99, 0.45}, // G5
    {0.48, 1046.50, 0.9}, // C6
    {0.80, 523.25, 0.9},  {0.80, 659.25, 0.9}, {0.80, 783.99, 0.9},
};
constexpr double kTotalSeconds = 1.8;

// A struck bell-like tone: fundamental and two soft overtones, quick attack, slow decay.
double note_sample(const Note &note, double t) {
    const double since = t - note.start_s;
    if (since < 0.0 || since > note.length_s) return 0.0;
    const double attack = std::min(1.0, since / 0.01);
    const double release = std::min(1.0, (note.length_s - since) / 0.05);
    const double decay = std::exp(-3.0 * since);
    const double w = 2.0 * std::numbers::pi * note.hz * since;
    const double tone = std::sin(w) + 0.3 * std::sin(2.0 * w) + 0.1 * std::sin(3.0 * w);
    return attack * release * decay * tone;
}

void put16(std::vector<char> &out, std::uint16_t v) {
    out.push_back(static_cast<char>(v & 0xff));
    out.push_back(static_cast<char>(v >> 8));
}

void put32(std::vector<char> &out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xff));
}

void put_text(std::vector<char> &out, const char *text) {
    for (const char *c = text; *c != '\0'; ++c) out.push_back(*c);
}

} // namespace

int main(int argc, char **argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_welcome_tune OUTPUT.WAV\n");
        return 2;
    }
    const auto frames = static_cast<std::uint32_t>(kTotalSeconds * kRate);
    std::vector<std::int16_t> samples(frames);
    for (std::uint32_t i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / kRate;
        double v = 0.0;
        for (const Note &note : kNotes) v += note_sample(note, t);
        v *= 0.18; // the chord of three stays well inside full scale
        samples[i] = static_cast<std::int16_t>(std::lround(std::clamp(v, -1.0, 1.0) * 32767.0));
    }

    const std::uint32_t data_bytes = frames * 2;
    std::vector<char> wav;
    put_text(wav, "RIFF");
    put32(wav, 36 + data_bytes);
    put_text(wav, "WAVE");
    put_text(wav, "fmt ");
    put32(wav, 16);        // PCM format chunk
    put16(wav, 1);         // PCM
    put16(wav, 1);         // mono
    put32(wav, kRate);     // sample rate
    put32(wav, kRate * 2); // bytes per second
    put16(wav, 2);         // bytes per frame
    put16(wav, 16);        // bits per sample
    put_text(wav, "data");
    put32(wav, data_bytes);
    for (std::int16_t s : samples) put16(wav, static_cast<std::uint16_t>(s));

    const std::string path = argv[1];
    const std::string temporary = path + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(wav.data(), static_cast<std::streamsize>(wav.size()));
        if (!out) {
            std::fprintf(stderr, "make_welcome_tune: cannot write %s\n", temporary.c_str());
            std::remove(temporary.c_str());
            return 1;
        }
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::fprintf(stderr, "make_welcome_tune: cannot write %s\n", path.c_str());
        std::remove(temporary.c_str());
        return 1;
    }
    return 0;
}
