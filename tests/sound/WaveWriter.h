#pragma once
// Small sound files made at test time: a 16-bit PCM tone as WAVE, and a one-note MIDI file.

#include "../Files.h"

#include <QByteArray>
#include <QtEndian>
#include <cmath>
#include <numbers>

namespace zentimo::test {

template <typename T> void putLE(QByteArray& b, T v)
{
    v = qToLittleEndian(v);
    b.append(reinterpret_cast<const char*>(&v), sizeof v);
}

// Mono 16-bit samples of a sine tone at half the full scale.
inline QByteArray tonePcm(int rate, double seconds, double freq)
{
    QByteArray pcm;
    for (int i = 0; i < int(std::lround(rate * seconds)); ++i)
        putLE(pcm, qint16(std::lround(16383 * std::sin(2 * std::numbers::pi * freq * i / rate))));
    return pcm;
}

inline QByteArray waveImage(int rate, const QByteArray& pcm16Mono)
{
    QByteArray b("RIFF");
    putLE(b, quint32(36 + pcm16Mono.size()));
    b.append("WAVEfmt ");
    for (quint32 v : {16u, 1u | 1u << 16, quint32(rate), quint32(rate * 2), 2u | 16u << 16}) // mono, 16-bit
        putLE(b, v);
    b.append("data");
    putLE(b, quint32(pcm16Mono.size()));
    return b + pcm16Mono;
}

// Format 0, 480 ticks a beat at 120 beats a minute: one trumpet C5 lasting `beats` (below 34).
inline QByteArray midiNote(int beats)
{
    const int ticks = 480 * beats; // as a two-byte variable-length quantity
    return QByteArray("MThd\0\0\0\x06\0\0\0\x01\x01\xE0MTrk\0\0\0\x17"      // one track of 23 bytes
                      "\0\xFF\x51\x03\x07\xA1\x20\0\xC0\x38\0\x90\x48\x64", // tempo, trumpet, note on
                      36) +
           char(0x80 | (ticks >> 7)) + char(ticks & 0x7F) +
           QByteArray("\x80\x48\x40\0\xFF\x2F\0", 7); // off, end
}

} // namespace zentimo::test
