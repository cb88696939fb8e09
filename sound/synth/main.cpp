// Writes Zentimo's built-in sounds as 8-bit mono WAVE files into the folder given.

#include "Sounds.h"

#include <cstdio>

using namespace zentimo::synth;

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    const Recipe recipes[] = {
        {"101.wav", 8000, 5.25, gong},        {"102.wav", 8000, 5.83, bugle},
        {"103.wav", 8000, 1.09, buzzer},      {"104.wav", 22050, 4.56, crazySounds},
        {"105.wav", 8000, 1.98, cuckooClock}, {"106.wav", 8000, 3.27, fogHorn},
        {"107.wav", 11025, 1.50, carHorn},    {"fallback.wav", 11025, 0.60, ding},
    };
    const std::string folder = argv[1];
    uint64_t seed = 1;
    for (const Recipe& r : recipes) {
        const int n = frames(r.seconds, r.rate);
        Signal s = r.make(r.rate, n);
        s.resize(size_t(n));
        Rng dither(seed++);
        if (!writeWave8(folder + "/" + r.file, r.rate, toUnsigned8(s, dither))) {
            std::fprintf(stderr, "cannot write %s/%s\n", folder.c_str(), r.file);
            return 1;
        }
    }
    return 0;
}
