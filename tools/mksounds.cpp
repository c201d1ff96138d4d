// Writes the program's stock sounds into a folder: "beep.wav" (a short
// tone), "chime.wav" (three falling bell notes) and "melody.mid" (a short
// General MIDI tune), so the sound chooser has something to offer. Given a
// second name it also writes there "alarm", a two-tone call for an MP3
// encoder to turn into the stock MP3.
// Usage: mksounds DIR [ALARM.wav]
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {
const int kRate = 22050;

void put16(std::vector<uint8_t> &b, unsigned v) {
    b.push_back(v & 0xff);
    b.push_back((v >> 8) & 0xff);
}
void put32(std::vector<uint8_t> &b, unsigned v) {
    put16(b, v & 0xffff);
    put16(b, v >> 16);
}
void put32be(std::vector<uint8_t> &b, unsigned v) {
    for (int s = 24; s >= 0; s -= 8) b.push_back((v >> s) & 0xff);
}

bool write_file(const std::string &path, const std::vector<uint8_t> &data) {
    FILE *f = fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = fwrite(data.data(), 1, data.size(), f) == data.size();
    return fclose(f) == 0 && ok;
}

// 16-bit mono PCM.
std::vector<uint8_t> wav(const std::vector<int16_t> &samples) {
    std::vector<uint8_t> b = {'R', 'I', 'F', 'F'};
    unsigned bytes = (unsigned)samples.size() * 2;
    put32(b, 36 + bytes);
    for (char c : std::string("WAVEfmt ")) b.push_back(c);
    put32(b, 16);
    put16(b, 1);
    put16(b, 1);
    put32(b, kRate);
    put32(b, kRate * 2);
    put16(b, 2);
    put16(b, 16);
    for (char c : std::string("data")) b.push_back(c);
    put32(b, bytes);
    for (int16_t s : samples) put16(b, (uint16_t)s);
    return b;
}

// Adds a decaying sine note starting at second start; a short attack keeps
// the start free of clicks.
void add_note(std::vector<float> &mix, double start, double seconds, double hz, double decay) {
    int first = (int)(start * kRate), n = (int)(seconds * kRate);
    if ((int)mix.size() < first + n) mix.resize(first + n);
    for (int i = 0; i < n; i++) {
        double t = (double)i / kRate;
        double env = std::min(1.0, t * 200) * std::exp(-decay * t);
        mix[first + i] += (float)(env * std::sin(2 * M_PI * hz * t));
    }
}

std::vector<int16_t> to_pcm(const std::vector<float> &mix, double gain) {
    std::vector<int16_t> out(mix.size());
    for (size_t i = 0; i < mix.size(); i++) {
        double v = std::max(-1.0, std::min(1.0, mix[i] * gain));
        out[i] = (int16_t)std::lround(v * 32000);
    }
    return out;
}

std::vector<uint8_t> beep() {
    std::vector<float> mix;
    add_note(mix, 0, 0.4, 880, 2);
    return wav(to_pcm(mix, 0.6));
}

std::vector<uint8_t> chime() {
    std::vector<float> mix;
    add_note(mix, 0.0, 1.2, 1318.5, 3);
    add_note(mix, 0.3, 1.2, 1046.5, 3);
    add_note(mix, 0.6, 1.4, 784.0, 3);
    return wav(to_pcm(mix, 0.4));
}

// Four rising two-tone calls, one second in all.
std::vector<uint8_t> alarm() {
    std::vector<float> mix;
    for (int i = 0; i < 4; i++) {
        add_note(mix, i * 0.25, 0.125, 784.0, 4);
        add_note(mix, i * 0.25 + 0.125, 0.125, 1046.5, 4);
    }
    return wav(to_pcm(mix, 0.5));
}

// A format 0 file, one track, 480 ticks per quarter note: a bell rising in
// steps (instrument 15, tubular bells).
std::vector<uint8_t> melody() {
    std::vector<uint8_t> track = {0x00, 0xC0, 14};
    const int notes[] = {72, 76, 79, 84, 79, 84};
    for (int n : notes) {
        track.insert(track.end(), {0x00, 0x90, (uint8_t)n, 100});
        track.insert(track.end(), {0x83, 0x60, 0x80, (uint8_t)n, 0});  // 480 ticks later
    }
    track.insert(track.end(), {0x00, 0xFF, 0x2F, 0x00});
    std::vector<uint8_t> b = {'M', 'T', 'h', 'd'};
    put32be(b, 6);
    b.insert(b.end(), {0, 0, 0, 1, 0x01, 0xE0});
    for (char c : std::string("MTrk")) b.push_back(c);
    put32be(b, (unsigned)track.size());
    b.insert(b.end(), track.begin(), track.end());
    return b;
}
}  // namespace

int main(int argc, char **argv) {
    if (argc != 2 && argc != 3) {
        fprintf(stderr, "usage: mksounds DIR [ALARM.wav]\n");
        return 2;
    }
    std::string dir = argv[1];
    bool ok = write_file(dir + "/beep.wav", beep()) && write_file(dir + "/chime.wav", chime()) &&
              write_file(dir + "/melody.mid", melody());
    if (!ok) perror(dir.c_str());
    if (ok && argc == 3 && !write_file(argv[2], alarm())) {
        perror(argv[2]);
        ok = false;
    }
    return ok ? 0 : 1;
}
