#include "Synth.h"

#include <algorithm>
#include <array>
#include <fstream>

namespace zentimo::synth {

double Resonator::process(double x, double freq, double q, double rate)
{
    freq = std::clamp(freq, 20.0, 0.45 * rate);
    const double w = kTwoPi * freq / rate;
    const double alpha = std::sin(w) / (2.0 * q);
    const double a0 = 1.0 + alpha;
    const double b0 = alpha / a0;
    const double a1 = -2.0 * std::cos(w) / a0;
    const double a2 = (1.0 - alpha) / a0;
    const double y = b0 * x - b0 * m_x2 - a1 * m_y1 - a2 * m_y2;
    m_x2 = m_x1;
    m_x1 = x;
    m_y2 = m_y1;
    m_y1 = y;
    return y;
}

double LowPass::process(double x, double cutoff, double rate)
{
    const double a = 1.0 - std::exp(-kTwoPi * cutoff / rate);
    m_y += a * (x - m_y);
    return m_y;
}

namespace {

class Comb {
public:
    Comb(int delay, double feedback, double damping) : m_line(size_t(delay), 0.0), m_g(feedback), m_d(damping)
    {
    }
    double process(double x)
    {
        const double out = m_line[m_pos];
        m_store = out * (1.0 - m_d) + m_store * m_d;
        m_line[m_pos] = x + m_store * m_g;
        m_pos = (m_pos + 1) % m_line.size();
        return out;
    }

private:
    std::vector<double> m_line;
    size_t m_pos = 0;
    double m_g, m_d, m_store = 0;
};

class AllPass {
public:
    explicit AllPass(int delay) : m_line(size_t(delay), 0.0) {}
    double process(double x)
    {
        const double buffered = m_line[m_pos];
        const double out = buffered - 0.6 * x;
        m_line[m_pos] = x + 0.6 * buffered;
        m_pos = (m_pos + 1) % m_line.size();
        return out;
    }

private:
    std::vector<double> m_line;
    size_t m_pos = 0;
};

} // namespace

Signal room(const Signal& dry, double rate, double rt60, double damping)
{
    constexpr std::array<double, 4> combMs{29.7, 37.1, 41.1, 43.7};
    std::vector<Comb> combs;
    for (double ms : combMs) {
        const int delay = std::max(1, int(ms * rate / 1000.0));
        const double g = std::pow(10.0, -3.0 * (ms / 1000.0) / rt60);
        combs.emplace_back(delay, g, damping);
    }
    AllPass ap1(std::max(1, int(5.0 * rate / 1000.0)));
    AllPass ap2(std::max(1, int(1.7 * rate / 1000.0)));
    Signal wet(dry.size());
    for (size_t i = 0; i < dry.size(); ++i) {
        double sum = 0;
        for (Comb& c : combs)
            sum += c.process(dry[i]);
        wet[i] = ap2.process(ap1.process(sum * 0.25));
    }
    return wet;
}

void fadeEnds(Signal& s, double rate, double inSeconds, double outSeconds)
{
    const size_t in = std::min(s.size(), size_t(inSeconds * rate));
    const size_t out = std::min(s.size(), size_t(outSeconds * rate));
    for (size_t i = 0; i < in; ++i)
        s[i] *= 0.5 - 0.5 * std::cos(std::numbers::pi * double(i) / double(in));
    for (size_t i = 0; i < out; ++i)
        s[s.size() - 1 - i] *= 0.5 - 0.5 * std::cos(std::numbers::pi * double(i) / double(out));
}

void normalize(Signal& s, double peak)
{
    double max = 0;
    for (double v : s)
        max = std::max(max, std::abs(v));
    if (max <= 0)
        return;
    for (double& v : s)
        v *= peak / max;
}

std::vector<uint8_t> toUnsigned8(const Signal& s, Rng& rng)
{
    std::vector<uint8_t> out(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        const double dither = rng.uniform() - rng.uniform(); // triangular over +-1 step
        const double v = std::round(128.0 + 127.0 * s[i] + dither);
        out[i] = uint8_t(std::clamp(v, 0.0, 255.0));
    }
    return out;
}

namespace {

void put16(std::string& b, uint32_t v)
{
    b += char(v & 0xFF);
    b += char((v >> 8) & 0xFF);
}

void put32(std::string& b, uint32_t v)
{
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}

} // namespace

bool writeWave8(const std::string& path, int rate, const std::vector<uint8_t>& samples)
{
    const auto dataSize = uint32_t(samples.size());
    const uint32_t pad = dataSize & 1u; // chunks are word aligned
    std::string b;
    b += "RIFF";
    put32(b, 4 + (8 + 16) + (8 + dataSize + pad));
    b += "WAVE";
    b += "fmt ";
    put32(b, 16);
    put16(b, 1); // PCM
    put16(b, 1); // mono
    put32(b, uint32_t(rate));
    put32(b, uint32_t(rate)); // bytes per second
    put16(b, 1);              // block align
    put16(b, 8);              // bits per sample
    b += "data";
    put32(b, dataSize);
    b.append(reinterpret_cast<const char*>(samples.data()), samples.size());
    if (pad)
        b += char(0x80);
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(b.data(), std::streamsize(b.size()));
    return bool(f);
}

} // namespace zentimo::synth
