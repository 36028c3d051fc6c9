// Synthesises the program's two sound cues as 16-bit mono PCM wave files:
// Tavrel.wav, a soft two-note chime announcing a message, and Saved.wav, a short
// rising blip confirming a save; and the bell that stands in for the system beep where the
// session has none. Usage: makewav <Tavrel.wav> <Saved.wav> [<bell.wav>]
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <numbers>
#include <vector>

namespace {

constexpr int kRate = 22050;

struct Note {
    double startSec;
    double freq;
    double lengthSec;
    double gain;
};

std::vector<double> render(const std::vector<Note>& notes, double totalSec) {
    std::vector<double> out(static_cast<size_t>(totalSec * kRate), 0.0);
    for (const Note& n : notes) {
        const auto first = static_cast<size_t>(n.startSec * kRate);
        const auto count = static_cast<size_t>(n.lengthSec * kRate);
        for (size_t i = 0; i < count && first + i < out.size(); ++i) {
            const double t = static_cast<double>(i) / kRate;
            const double attack = std::min(1.0, t / 0.006); // no click at the onset
            const double decay = std::exp(-t * 5.0 / n.lengthSec);
            const double w = 2 * std::numbers::pi * n.freq * t;
            // A bell-like tone: fundamental plus a quiet octave and twelfth.
            const double s = std::sin(w) + 0.30 * std::sin(2 * w) + 0.12 * std::sin(3 * w);
            out[first + i] += n.gain * attack * decay * s;
        }
    }
    return out;
}

void put16(std::ofstream& f, uint16_t v) {
    const char b[2] = {static_cast<char>(v & 0xff), static_cast<char>(v >> 8)};
    f.write(b, 2);
}

void put32(std::ofstream& f, uint32_t v) {
    put16(f, static_cast<uint16_t>(v & 0xffff));
    put16(f, static_cast<uint16_t>(v >> 16));
}

bool writeWave(const char* path, const std::vector<double>& samples) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    if (!f)
        return false;
    const auto dataBytes = static_cast<uint32_t>(samples.size() * 2);
    f.write("RIFF", 4);
    put32(f, 36 + dataBytes);
    f.write("WAVEfmt ", 8);
    put32(f, 16);
    put16(f, 1); // PCM
    put16(f, 1); // mono
    put32(f, kRate);
    put32(f, kRate * 2);
    put16(f, 2);
    put16(f, 16);
    f.write("data", 4);
    put32(f, dataBytes);
    for (double s : samples) {
        const double clipped = std::fmax(-1.0, std::fmin(1.0, s));
        put16(f, static_cast<uint16_t>(static_cast<int16_t>(std::lround(clipped * 30000))));
    }
    return static_cast<bool>(f);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: makewav <Tavrel.wav> <Saved.wav> [<bell.wav>]\n");
        return 2;
    }
    // E5 then A5: an upward fourth reads as "something for you".
    const auto chime = render({{0.0, 659.26, 0.55, 0.40}, {0.16, 880.0, 0.70, 0.40}}, 0.90);
    // C6 to G6 in quick succession: short and bright, distinct from the chime.
    const auto blip = render({{0.0, 1046.5, 0.12, 0.32}, {0.07, 1567.98, 0.18, 0.32}}, 0.28);
    // One short B5, apart from the notes of the chime and the blip, so it is told from both.
    const auto bell = render({{0.0, 987.77, 0.15, 0.45}}, 0.15);
    if (!writeWave(argv[1], chime) || !writeWave(argv[2], blip) ||
        (argc == 4 && !writeWave(argv[3], bell))) {
        std::perror("makewav");
        return 1;
    }
    return 0;
}
