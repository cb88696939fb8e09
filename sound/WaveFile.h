#pragma once
// Reads a .wav file into a clean RIFF WAVE image for the decoder, in bounded memory: the sizes in the
// header are never trusted, so a forged header cannot make us allocate more than the file holds.

#include <QByteArray>
#include <QString>

namespace zentimo {

class WaveFile {
public:
    // Upper bounds on the sample data taken from one file; longer files play their beginning.
    static constexpr qint64 kMaxDataBytes = 16LL * 1024 * 1024;
    static constexpr int kMaxSeconds = 30 * 60;
    // What the mixer may spend on one file once decoded and converted; longer files play their beginning.
    static constexpr qint64 kMaxDecodedBytes = 64LL * 1024 * 1024;
    // Below this no sound file is recorded; a forged rate would make the conversion enormous.
    static constexpr int kMinRate = 4000;
    // Converting to the device's rate runs on the window's thread at about 100 ns a frame: a file at
    // another rate plays at most this much, so that loading it stalls the window for about 100 ms at most.
    static constexpr int kMaxResampledSeconds = 20;

    // "RIFF" + "WAVE" + the "fmt " chunk + the "data" chunk cut to what is really there;
    // empty when the file cannot be read or is no WAVE file.
    static QByteArray readImage(const QString& path, qint64 maxDataBytes = kMaxDataBytes,
                                int maxSeconds = kMaxSeconds);
};

} // namespace zentimo
