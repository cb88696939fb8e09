#pragma once
// Building blocks of the sound synthesiser: oscillators, filters, a small room and an 8-bit WAVE writer.

#include <cmath>
#include <cstdint>
#include <numbers>
#include <string>
#include <vector>

namespace zentimo::synth {

using Signal = std::vector<double>;

constexpr double kTwoPi = 2.0 * std::numbers::pi;

// Deterministic, so every build produces the same bytes.
class Rng {
public:
    explicit Rng(uint64_t seed) : m_state(seed ? seed : 0x9E3779B97F4A7C15ull) {}
    double uniform() // [0, 1)
    {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 7;
        m_state ^= m_state << 17;
        return double(m_state >> 11) * (1.0 / 9007199254740992.0);
    }
    double bipolar() { return 2.0 * uniform() - 1.0; }

private:
    uint64_t m_state;
};

// Two-pole band-pass resonator (RBJ, constant peak gain); the centre may move every sample.
class Resonator {
public:
    double process(double x, double freq, double q, double rate);

private:
    double m_x1 = 0, m_x2 = 0, m_y1 = 0, m_y2 = 0;
};

// One-pole low-pass.
class LowPass {
public:
    double process(double x, double cutoff, double rate);

private:
    double m_y = 0;
};

// Sum of harmonics of a moving fundamental, each below the Nyquist limit; amplitude(k) gives harmonic k's
// weight.
template <typename Amp>
double harmonicSum(double phase, double f0, double rate, int maxHarmonics, Amp amplitude)
{
    double sum = 0;
    for (int k = 1; k <= maxHarmonics; ++k) {
        if (k * f0 >= 0.47 * rate)
            break;
        sum += amplitude(k) * std::sin(k * phase);
    }
    return sum;
}

// A Schroeder room: four combs and two all-passes; returns only the reverberation.
Signal room(const Signal& dry, double rate, double rt60, double damping);

// Raised-cosine ramps over the first and last `seconds`.
void fadeEnds(Signal& s, double rate, double inSeconds, double outSeconds);

void normalize(Signal& s, double peak);

// PCM mono 8-bit with triangular (TPDF) dither.
std::vector<uint8_t> toUnsigned8(const Signal& s, Rng& rng);
bool writeWave8(const std::string& path, int rate, const std::vector<uint8_t>& samples);

inline int frames(double seconds, int rate)
{
    return int(std::lround(seconds * rate));
}

} // namespace zentimo::synth
