#include "Sounds.h"

#include <algorithm>
#include <array>

namespace zentimo::synth {

namespace {

double smoothstep(double edge0, double edge1, double x)
{
    const double t = std::clamp((x - edge0) / (edge1 - edge0), 0.0, 1.0);
    return t * t * (3.0 - 2.0 * t);
}

// Rises over `attack`, falls over `release` before `dur`; zero outside the note.
double noteEnvelope(double t, double dur, double attack, double release)
{
    if (t < 0 || t > dur)
        return 0;
    double e = 1;
    if (t < attack)
        e *= 0.5 - 0.5 * std::cos(std::numbers::pi * t / attack);
    if (t > dur - release)
        e *= 0.5 - 0.5 * std::cos(std::numbers::pi * (dur - t) / release);
    return e;
}

void mixAt(Signal& into, int rate, double start, const Signal& piece, double gain = 1.0)
{
    const auto offset = size_t(std::max(0.0, start) * rate);
    for (size_t i = 0; i < piece.size() && offset + i < into.size(); ++i)
        into[offset + i] += gain * piece[i];
}

void addRoom(Signal& s, int rate, double rt60, double damping, double wet)
{
    const Signal r = room(s, rate, rt60, damping);
    for (size_t i = 0; i < s.size(); ++i)
        s[i] += wet * r[i];
}

// A whistle whose pitch slides from `from` to `to` along an eased curve.
Signal slideWhistle(int rate, double dur, double from, double to, double vibratoDepth, double vibratoRate,
                    Rng& rng)
{
    Signal s(size_t(dur * rate));
    Resonator breath;
    double phase = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = double(i) / rate;
        const double x = smoothstep(0, 1, t / dur);
        const double f =
            from * std::pow(to / from, x) * (1 + vibratoDepth * std::sin(kTwoPi * vibratoRate * t));
        phase += kTwoPi * f / rate;
        const double tone = std::sin(phase) + 0.12 * std::sin(2 * phase) + 0.04 * std::sin(3 * phase);
        const double air = breath.process(rng.bipolar(), f, 6, rate);
        s[i] = noteEnvelope(t, dur, 0.03, 0.05) * (tone + 0.25 * air);
    }
    return s;
}

// A spring: a twangy tone whose pitch drops and wobbles.
Signal boing(int rate, double dur)
{
    Signal s(size_t(dur * rate));
    Resonator mouth;
    double phase = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = double(i) / rate;
        const double wobble = std::exp(-t / 0.35) * std::sin(kTwoPi * 11 * t);
        const double f = (95 + 260 * std::exp(-t / 0.07)) * (1 + 0.18 * wobble);
        phase += kTwoPi * f / rate;
        const double src = harmonicSum(phase, f, rate, 40, [](int k) { return std::pow(k, -1.2); });
        const double twang = mouth.process(src, 650 + 450 * wobble, 3, rate);
        s[i] = std::min(1.0, t / 0.003) * std::exp(-t / 0.35) * (0.5 * src + 1.5 * twang);
    }
    return s;
}

// A wood block struck once.
Signal tok(int rate, double freq, Rng& rng)
{
    Signal s(size_t(0.12 * rate));
    Resonator click;
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = double(i) / rate;
        s[i] = 0.8 * std::sin(kTwoPi * freq * t) * std::exp(-t / 0.02) +
               0.5 * std::sin(kTwoPi * freq * 1.59 * t) * std::exp(-t / 0.012) +
               0.6 * click.process(rng.bipolar(), 2500, 2, rate) * std::exp(-t / 0.005);
    }
    return s;
}

// A fast upward sweep.
Signal zip(int rate, double dur)
{
    Signal s(size_t(dur * rate));
    double phase = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = double(i) / rate;
        const double f = 300 * std::pow(3200.0 / 300.0, t / dur);
        phase += kTwoPi * f / rate;
        s[i] = std::sin(std::numbers::pi * t / dur) * (std::sin(phase) + 0.3 * std::sin(2 * phase));
    }
    return s;
}

// A rubber-bulb horn.
Signal honk(int rate, double dur)
{
    Signal s(size_t(dur * rate));
    Resonator f1, f2;
    double phase = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = double(i) / rate;
        const double f = 390 * (1 - 0.06 * t / dur);
        phase += kTwoPi * f / rate;
        const double src = harmonicSum(phase, f, rate, 30, [](int k) { return 1.0 / k; }) *
                           (1 + 0.2 * std::sin(kTwoPi * 70 * t));
        s[i] = noteEnvelope(t, dur, 0.015, 0.04) *
               (0.3 * src + 1.2 * f1.process(src, 1300, 4, rate) + 0.8 * f2.process(src, 2600, 5, rate));
    }
    return s;
}

// A cork popping.
Signal pop(int rate, Rng& rng)
{
    Signal s(size_t(0.12 * rate));
    double phase = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = double(i) / rate;
        const double f = 1800 * (1 - 0.4 * t / 0.12);
        phase += kTwoPi * f / rate;
        s[i] = 0.9 * rng.bipolar() * std::exp(-t / 0.002) + std::sin(phase) * std::exp(-t / 0.03);
    }
    return s;
}

// A small organ pipe, as in a cuckoo clock.
Signal pipe(int rate, double freq, double dur, Rng& rng)
{
    Signal s(size_t(dur * rate));
    Resonator breath;
    double phase = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = double(i) / rate;
        const double f = freq * (1 - 0.02 * std::exp(-t / 0.02));
        phase += kTwoPi * f / rate;
        const double tone = std::sin(phase) + 0.25 * std::sin(2 * phase) + 0.08 * std::sin(3 * phase);
        const double air = breath.process(rng.bipolar(), f, 12, rate);
        s[i] = noteEnvelope(t, dur, 0.025, 0.07) * (1 - 0.25 * t / dur) * (tone + 0.3 * air);
    }
    return s;
}

} // namespace

// Inharmonic modes that decay at their own pace; the upper ones bloom just after the strike.
Signal gong(int rate, int frames)
{
    struct Mode {
        double ratio, amp, decay, bloom;
    };
    constexpr std::array<Mode, 20> modes{{
        {1.000, 1.00, 4.2, 0.0},  {1.006, 0.55, 4.0, 0.0},  {1.503, 0.70, 3.6, 0.05},
        {2.091, 0.65, 3.1, 0.1},  {2.098, 0.40, 3.0, 0.1},  {2.562, 0.55, 2.6, 0.15},
        {2.771, 0.45, 2.4, 0.2},  {3.433, 0.50, 2.0, 0.25}, {4.115, 0.40, 1.7, 0.3},
        {4.962, 0.35, 1.4, 0.35}, {5.883, 0.30, 1.2, 0.4},  {6.814, 0.26, 1.0, 0.4},
        {7.922, 0.22, 0.8, 0.45}, {9.341, 0.18, 0.6, 0.5},  {11.12, 0.15, 0.45, 0.5},
        {13.47, 0.12, 0.35, 0.5}, {16.08, 0.10, 0.25, 0.5}, {19.70, 0.08, 0.18, 0.5},
        {23.90, 0.06, 0.12, 0.5}, {28.30, 0.05, 0.09, 0.5},
    }};
    constexpr double f0 = 118.0;
    Rng rng(101);
    Signal s(size_t(frames), 0.0);
    for (const Mode& m : modes) {
        const double start = kTwoPi * rng.uniform();
        for (int i = 0; i < frames; ++i) {
            const double t = double(i) / rate;
            const double amp = m.amp * std::exp(-t / m.decay) * (1 - m.bloom * std::exp(-t / 0.3));
            s[size_t(i)] += amp * std::sin(start + kTwoPi * m.ratio * f0 * t);
        }
    }
    LowPass mallet;
    for (int i = 0; i < frames; ++i) {
        const double t = double(i) / rate;
        s[size_t(i)] += 1.2 * mallet.process(rng.bipolar(), 1500, rate) * std::exp(-t / 0.012) +
                        0.8 * std::sin(kTwoPi * 70 * t) * std::exp(-t / 0.06);
    }
    normalize(s, 0.95);
    fadeEnds(s, rate, 0.001, 0.004);
    return s;
}

// "Charge!" twice on a bugle in C: G4 C5 E5 G5, E5 G5 (harmonics 3 to 6 of C3).
Signal bugle(int rate, int frames)
{
    struct Note {
        double start, dur;
        int partial;
    };
    constexpr double c3 = 130.81;
    constexpr double q = 0.165;
    std::vector<Note> notes;
    const auto charge = [&](double t0, double lastDur) {
        notes.push_back({t0, q, 3});
        notes.push_back({t0 + q, q, 4});
        notes.push_back({t0 + 2 * q, q, 5});
        notes.push_back({t0 + 3 * q, 0.42, 6});
        notes.push_back({t0 + 3 * q + 0.42, q, 5});
        notes.push_back({t0 + 4 * q + 0.42, lastDur, 6});
    };
    charge(0.04, 0.95);
    charge(2.40, 2.24);

    Rng rng(102);
    Signal s(size_t(frames), 0.0);
    for (const Note& n : notes) {
        const double freq = c3 * n.partial;
        const double sounding = n.dur - 0.02; // the tongue stops the air between notes
        Signal piece(size_t(sounding * rate));
        LowPass breath;
        double phase = 0;
        for (size_t i = 0; i < piece.size(); ++i) {
            const double t = double(i) / rate;
            const double vibrato =
                0.004 * std::sin(kTwoPi * 5.2 * t) * std::clamp((t - 0.25) / 0.3, 0.0, 1.0);
            const double f = freq * (1 - 0.035 * std::exp(-t / 0.03) + vibrato);
            phase += kTwoPi * f / rate;
            const double swell = 1 + 0.15 * std::min(1.0, t / 1.0);
            const double e = (1 - std::exp(-t / 0.008)) * (1 + 0.35 * std::exp(-t / 0.06)) * swell *
                             noteEnvelope(t, sounding, 0.001, 0.035);
            const double brightness = 0.9 + 2.6 * std::min(e, 1.2);
            const double tone = harmonicSum(phase, f, rate, 12, [&](int k) {
                return std::exp(-(k - 1) / brightness) * (k == 1 ? 0.7 : 1.0);
            });
            piece[i] = e * (tone + 0.05 * breath.process(rng.bipolar(), 2000, rate));
        }
        mixAt(s, rate, n.start, piece, 0.5);
    }
    addRoom(s, rate, 1.2, 0.3, 0.25);
    normalize(s, 0.95);
    fadeEnds(s, rate, 0.002, 0.005);
    return s;
}

// A harsh, steady buzz. Every component makes whole cycles over the length, so a loop has no seam.
Signal buzzer(int rate, int frames)
{
    const double f1 = 120.0 * rate / frames;
    const double f2 = 123.0 * rate / frames;
    Signal s(size_t(frames), 0.0);
    for (int i = 0; i < frames; ++i) {
        const double cycle = kTwoPi * double(i) / frames;
        const double saw = harmonicSum(120 * cycle, f1, rate, 60, [&](int k) {
            const double d = (k * f1 - 1700) / 500;
            return (1 + 1.5 * std::exp(-d * d)) / k;
        });
        const double square =
            harmonicSum(123 * cycle, f2, rate, 60, [](int k) { return k % 2 ? 1.0 / k : 0.0; });
        s[size_t(i)] = (saw + 0.7 * square) * (1 + 0.25 * std::sin(33 * cycle));
    }
    normalize(s, 0.95);
    return s;
}

// Slide whistle up and down, a spring, wood blocks, zips, a bulb horn, a falling whistle and a pop.
Signal crazySounds(int rate, int frames)
{
    Rng rng(104);
    Signal s(size_t(frames), 0.0);
    mixAt(s, rate, 0.02, slideWhistle(rate, 0.50, 450, 1900, 0.012, 6.5, rng), 0.8);
    mixAt(s, rate, 0.55, slideWhistle(rate, 0.45, 1900, 520, 0.012, 6.5, rng), 0.8);
    mixAt(s, rate, 1.10, boing(rate, 0.85), 0.8);
    mixAt(s, rate, 2.00, tok(rate, 900, rng));
    mixAt(s, rate, 2.14, tok(rate, 1100, rng));
    mixAt(s, rate, 2.28, tok(rate, 750, rng));
    for (double t : {2.45, 2.62, 2.79})
        mixAt(s, rate, t, zip(rate, 0.12), 0.7);
    mixAt(s, rate, 3.02, honk(rate, 0.22));
    mixAt(s, rate, 3.32, honk(rate, 0.22));
    mixAt(s, rate, 3.70, slideWhistle(rate, 0.70, 1600, 350, 0.06, 9, rng), 0.8);
    mixAt(s, rate, 4.42, pop(rate, rng), 0.9);
    addRoom(s, rate, 0.5, 0.2, 0.12);
    normalize(s, 0.95);
    fadeEnds(s, rate, 0.002, 0.004);
    return s;
}

// "Cuck-oo" twice: a falling major third from F#5 to D5.
Signal cuckooClock(int rate, int frames)
{
    Rng rng(105);
    Signal s(size_t(frames), 0.0);
    for (double t0 : {0.03, 1.00}) {
        mixAt(s, rate, t0, pipe(rate, 740, 0.30, rng));
        mixAt(s, rate, t0 + 0.37, pipe(rate, 587.3, 0.45, rng));
    }
    addRoom(s, rate, 0.6, 0.3, 0.2);
    normalize(s, 0.95);
    fadeEnds(s, rate, 0.002, 0.005);
    return s;
}

// A diaphone: a low, reedy blast that ends with a downward grunt, over a long echo.
Signal fogHorn(int rate, int frames)
{
    Rng rng(106);
    Signal s(size_t(frames), 0.0);
    Resonator body, throat;
    LowPass rough;
    double phaseA = 0, phaseB = 0;
    const double dur = 2.95;
    for (int i = 0; i < frames; ++i) {
        const double t = double(i) / rate;
        if (t > dur)
            break;
        double f = 80 + 18 * smoothstep(0, 0.15, t);
        f -= 26 * smoothstep(2.55, 2.85, t);
        f *= 1 + 0.004 * std::sin(kTwoPi * 0.7 * t);
        phaseA += kTwoPi * f / rate;
        phaseB += kTwoPi * f * 1.005 / rate;
        const auto weights = [](int k) { return std::pow(k, -0.7); };
        const double src =
            harmonicSum(phaseA, f, rate, 40, weights) + 0.6 * harmonicSum(phaseB, f, rate, 40, weights);
        const double grain = 1 + 0.8 * rough.process(rng.bipolar(), 30, rate);
        const double e = smoothstep(0, 0.12, t) * (1 - smoothstep(2.6, dur, t));
        s[size_t(i)] =
            e * grain *
            (0.4 * src + body.process(src, 320, 2, rate) + 0.6 * throat.process(src, 650, 3, rate));
    }
    addRoom(s, rate, 2.2, 0.4, 0.5);
    normalize(s, 0.95);
    fadeEnds(s, rate, 0.002, 0.006);
    return s;
}

// "A-oo-ga": the klaxon's pitch climbs as its motor spins up, the vowel rounds, then falls away.
Signal carHorn(int rate, int frames)
{
    Rng rng(107);
    Signal s(size_t(frames), 0.0);
    Resonator f1, f2;
    double phase = 0;
    constexpr double top = 0.72;
    const auto rise = [](double t) { return 160 + 220 * (1 - std::exp(-t / 0.16)); };
    for (int i = 0; i < frames; ++i) {
        const double t = double(i) / rate;
        if (t > 1.46)
            break;
        double f = rise(std::min(t, top));
        if (t > top)
            f = std::max(180.0, f - 150 * std::pow((t - top) / 0.5, 1.3));
        phase += kTwoPi * f / rate;
        const double oo = smoothstep(0.08, 0.25, t) * (1 - smoothstep(0.66, 0.80, t));
        const double formant1 = 750 + (380 - 750) * oo;
        const double formant2 = 1200 + (850 - 1200) * oo;
        const double src =
            harmonicSum(phase, f, rate, 40, [](int k) { return 1.0 / k; }) + 0.05 * rng.bipolar();
        const double voiced =
            0.3 * src + f1.process(src, formant1, 5, rate) + 0.7 * f2.process(src, formant2, 7, rate);
        const double e = smoothstep(0, 0.03, t) * (1 - smoothstep(0.85, 1.46, t));
        s[size_t(i)] = e * std::tanh(1.5 * voiced) / std::tanh(1.5);
    }
    addRoom(s, rate, 0.8, 0.3, 0.2);
    normalize(s, 0.95);
    fadeEnds(s, rate, 0.002, 0.005);
    return s;
}

// A small bell, played when a sound file is missing.
Signal ding(int rate, int frames)
{
    struct Partial {
        double ratio, amp, decay;
    };
    constexpr std::array<Partial, 4> partials{
        {{1.0, 1.0, 0.35}, {2.01, 0.4, 0.2}, {2.76, 0.25, 0.12}, {4.1, 0.1, 0.07}}};
    Signal s(size_t(frames), 0.0);
    for (const Partial& p : partials) {
        for (int i = 0; i < frames; ++i) {
            const double t = double(i) / rate;
            s[size_t(i)] += p.amp * std::exp(-t / p.decay) * std::sin(kTwoPi * 880 * p.ratio * t);
        }
    }
    normalize(s, 0.9);
    fadeEnds(s, rate, 0.002, 0.005);
    return s;
}

} // namespace zentimo::synth
