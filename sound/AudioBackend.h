#pragma once
// What Zentimo needs of an audio system: one waveform channel (a new sound replaces the old one)
// and one file device, "zentimosong", for .mp3 and .mid files.

#include <QByteArray>
#include <QString>

namespace zentimo {

class AudioBackend {
public:
    enum class DeviceType { MpegVideo, Sequencer };

    virtual ~AudioBackend() = default;

    // A complete RIFF WAVE image held by the caller for as long as it plays.
    virtual bool playWaveImage(const QByteArray& image, bool loop) = 0;
    // A .wav file on disk; false when it cannot be played.
    virtual bool playWaveFile(const QString& path, bool loop) = 0;
    virtual void stopWave() = 0;

    virtual bool openDevice(const QString& path, DeviceType type) = 0; // "open"
    virtual bool playDevice() = 0;                                     // "play", once
    virtual void closeDevice() = 0;                                    // "close": halt and free

    // Loads what playing will need, without opening a device; a run about to end in an alarm calls it.
    virtual void warmUp() {}
};

} // namespace zentimo
