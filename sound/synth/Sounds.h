#pragma once
// The recipes of Zentimo's built-in sounds. Each returns samples in -1..1 at its own rate.

#include "Synth.h"

namespace zentimo::synth {

struct Recipe {
    const char* file;
    int rate;
    double seconds;
    Signal (*make)(int rate, int frames);
};

Signal gong(int rate, int frames);
Signal bugle(int rate, int frames);
Signal buzzer(int rate, int frames);
Signal crazySounds(int rate, int frames);
Signal cuckooClock(int rate, int frames);
Signal fogHorn(int rate, int frames);
Signal carHorn(int rate, int frames);
Signal ding(int rate, int frames);

} // namespace zentimo::synth
