#pragma once
// The audio back end on SDL2_mixer. Mixer channel 0 is the waveform channel; the file device is the
// mixer's music. The audio device opens with the first sound, not at program start; when it cannot be
// opened every call answers false and nothing plays. The mixer is one per process: all instances share it.

#include "sound/AudioBackend.h"

#include <QObject>

namespace zentimo {

class SdlAudio : public QObject, public AudioBackend {
    Q_OBJECT
public:
    static constexpr int kRate = 44100;
    // About 12 ms: an alarm sounds at once, with room for a busy desktop not to starve the device.
    static constexpr int kBufferFrames = 512;

    explicit SdlAudio(QObject* parent = nullptr);
    ~SdlAudio() override;

    bool playWaveImage(const QByteArray& image, bool loop) override;
    bool playWaveFile(const QString& path, bool loop) override;
    void stopWave() override;

    bool openDevice(const QString& path, DeviceType type) override;
    bool playDevice() override;
    void closeDevice() override;

    // Opens the audio device now rather than with the first sound; false when there is none.
    bool prepare();
    void warmUp() override;
    bool isOpen() const;
    bool isWavePlaying() const;
    bool isDevicePlaying() const;

Q_SIGNALS:
    // Delivered on the thread that owns this object, after the audio thread reported the end. A sound
    // replaced or stopped also reports its end.
    void waveFinished();
    void deviceFinished();
};

} // namespace zentimo
