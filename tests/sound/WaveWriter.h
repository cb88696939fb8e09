#pragma once
// Small sound files made at test time: a 16-bit PCM tone as WAVE, and a one-note MIDI file.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QtEndian>
#include <cmath>
#include <numbers>

namespace zentimo::test {

inline void put16(QByteArray& b, quint16 v)
{
    char raw[2];
    qToLittleEndian(v, raw);
    b.append(raw, 2);
}

inline void put32(QByteArray& b, quint32 v)
{
    char raw[4];
    qToLittleEndian(v, raw);
    b.append(raw, 4);
}

// Mono 16-bit samples of a sine tone, with 1 ms ramps so neither end clicks.
inline QByteArray tonePcm(int rate, double seconds, double freq, double amplitude = 0.5)
{
    const int n = int(std::lround(rate * seconds));
    const int ramp = rate / 1000;
    QByteArray pcm;
    pcm.reserve(n * 2);
    for (int i = 0; i < n; ++i) {
        double gain = amplitude;
        if (i < ramp)
            gain *= double(i) / ramp;
        if (n - 1 - i < ramp)
            gain *= double(n - 1 - i) / ramp;
        put16(pcm,
              quint16(qint16(std::lround(32767 * gain * std::sin(2 * std::numbers::pi * freq * i / rate)))));
    }
    return pcm;
}

// A RIFF WAVE image; `claimedDataSize` lets a test forge the data chunk's length.
inline QByteArray waveImage(int rate, const QByteArray& pcm16Mono, qint64 claimedDataSize = -1)
{
    const quint32 dataSize = claimedDataSize < 0 ? quint32(pcm16Mono.size()) : quint32(claimedDataSize);
    QByteArray b("RIFF");
    put32(b, claimedDataSize < 0 ? quint32(36 + pcm16Mono.size()) : 0xFFFFFFF0u);
    b.append("WAVEfmt ");
    put32(b, 16);
    put16(b, 1);
    put16(b, 1);
    put32(b, quint32(rate));
    put32(b, quint32(rate * 2));
    put16(b, 2);
    put16(b, 16);
    b.append("data");
    put32(b, dataSize);
    b.append(pcm16Mono);
    return b;
}

// Format 0, 480 ticks a beat at 120 beats a minute: one trumpet C5 lasting `beats`.
inline QByteArray midiNote(int beats)
{
    QByteArray track;
    track.append("\x00\xFF\x51\x03\x07\xA1\x20", 7); // tempo 500000 us a beat
    track.append("\x00\xC0\x38", 3);                 // trumpet
    track.append("\x00\x90\x48\x64", 4);             // note on
    const int ticks = 480 * beats;                   // as a variable-length quantity (below 2^14)
    track.append(char(0x80 | (ticks >> 7)));
    track.append(char(ticks & 0x7F));
    track.append("\x80\x48\x40", 3);     // note off
    track.append("\x00\xFF\x2F\x00", 4); // end of track
    QByteArray b("MThd\x00\x00\x00\x06\x00\x00\x00\x01\x01\xE0", 14);
    b.append("MTrk");
    char len[4];
    qToBigEndian(quint32(track.size()), len);
    b.append(len, 4);
    b.append(track);
    return b;
}

inline bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

} // namespace zentimo::test
