#pragma once
// Small sound files made at test time: a 16-bit PCM tone as WAVE, and a one-note MIDI file.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace zentimo::test {

template <typename T> void putLE(QByteArray& b, T v)
{
    char raw[sizeof v];
    qToLittleEndian(v, raw);
    b.append(raw, sizeof v);
}

// Mono 16-bit samples of a sine tone, with 1 ms ramps so neither end clicks.
inline QByteArray tonePcm(int rate, double seconds, double freq)
{
    const int n = int(std::lround(rate * seconds));
    const int ramp = std::max(1, rate / 1000);
    QByteArray pcm;
    for (int i = 0; i < n; ++i) {
        const double gain = 0.5 * std::min({1.0, double(i) / ramp, double(n - 1 - i) / ramp});
        putLE(pcm, qint16(std::lround(32767 * gain * std::sin(2 * std::numbers::pi * freq * i / rate))));
    }
    return pcm;
}

// A RIFF WAVE image; `claimedDataSize` lets a test forge the data chunk's length.
inline QByteArray waveImage(int rate, const QByteArray& pcm16Mono, qint64 claimedDataSize = -1)
{
    const bool forged = claimedDataSize >= 0;
    QByteArray b("RIFF");
    putLE(b, forged ? 0xFFFFFFF0u : quint32(36 + pcm16Mono.size()));
    b.append("WAVEfmt ");
    for (quint32 v : {16u, 1u | 1u << 16, quint32(rate), quint32(rate * 2), 2u | 16u << 16}) // mono, 16-bit
        putLE(b, v);
    b.append("data");
    putLE(b, quint32(forged ? claimedDataSize : pcm16Mono.size()));
    return b + pcm16Mono;
}

// Format 0, 480 ticks a beat at 120 beats a minute: one trumpet C5 lasting `beats` (below 34).
inline QByteArray midiNote(int beats)
{
    const int ticks = 480 * beats;                   // as a two-byte variable-length quantity
    QByteArray track("\x00\xFF\x51\x03\x07\xA1\x20"  // tempo 500000 us a beat
                     "\x00\xC0\x38\x00\x90\x48\x64", // trumpet, note on
                     14);
    track += char(0x80 | (ticks >> 7));
    track += char(ticks & 0x7F);
    track.append("\x80\x48\x40\x00\xFF\x2F\x00", 7); // note off, end of track
    QByteArray b("MThd\x00\x00\x00\x06\x00\x00\x00\x01\x01\xE0MTrk", 18);
    char length[4];
    qToBigEndian(quint32(track.size()), length);
    b.append(length, 4);
    return b + track;
}

inline bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

} // namespace zentimo::test
