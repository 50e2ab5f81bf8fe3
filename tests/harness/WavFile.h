// A plain stereo 16-bit 44.1 kHz RIFF file of a sine tone, for the tests and
// benchmarks that play real files.
#pragma once
#include <cmath>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace harness {

inline bool WriteToneWav(const std::wstring& path, int seconds, double hz) {
    const uint32_t rate = 44100, bytes = rate * 4 * uint32_t(seconds);
    const uint32_t header[] = {0x46464952, 36 + bytes, 0x45564157, 0x20746d66, 16, 0x00020001,
                               rate,       rate * 4,   0x00100004, 0x61746164, bytes};
    std::vector<int16_t> samples(rate * 2);  // one second, repeated
    for (uint32_t i = 0; i < rate; ++i)
        samples[2 * i] = samples[2 * i + 1] = int16_t(8000 * std::sin(6.283185307 * hz * i / rate));
    std::ofstream out(path.c_str(), std::ios::binary);
    out.write(reinterpret_cast<const char*>(header), sizeof header);
    for (int second = 0; second < seconds; ++second)
        out.write(reinterpret_cast<const char*>(samples.data()), std::streamsize(samples.size() * 2));
    return bool(out);
}

}  // namespace harness
