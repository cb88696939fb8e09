#pragma once
// A back end that plays nothing and remembers what it was told, for tests of everything that makes sound.
// Calls are recorded as "playWaveImage 107 loop", "playWaveImage fallback once", "playWaveFile <path> loop",
// "stopWave", "openDevice <path> MpegVideo", "playDevice", "closeDevice", "warmUp <path>" ("warmUp" alone for
// the built-in sounds).

#include "sound/AudioBackend.h"

#include <QStringList>

namespace zentimo {

class SilentAudio : public AudioBackend {
public:
    struct State {
        bool wavePlaying = false;
        bool waveLooping = false;
        QString waveSource; // "107", "fallback", a file path, or "<n bytes>" for another image
        bool deviceOpen = false;
        bool devicePlaying = false;
        QString devicePath;
        DeviceType deviceType = DeviceType::MpegVideo;
        bool deviceFailed = false; // opened on a file that cannot be played: "play" sounds the fallback
    };

    bool playWaveImage(const QByteArray& image, bool loop) override;
    // Answers false, as the real back end would, when the file is missing or is no RIFF WAVE file.
    bool playWaveFile(const QString& path, bool loop) override;
    void stopWave() override;

    // Answers false when the file is missing; playing then sounds the fallback, looped.
    bool openDevice(const QString& path, DeviceType type) override;
    bool playDevice() override;
    void closeDevice() override;
    void warmUp(const QString& file) override;
    bool isPlaying() const override { return m_state.wavePlaying || m_state.devicePlaying; }

    // Without a device every call fails, as on a machine with no sound.
    void setAvailable(bool available) { m_available = available; }
    // The end of the file on the device, as time would bring it.
    void finishDevice();
    // What the real back end finds out on its decoder thread: the .wav file now playing cannot be played.
    void failWave();

    const QStringList& calls() const { return m_calls; }
    QStringList takeCalls();
    const State& state() const { return m_state; }

private:
    QStringList m_calls;
    State m_state;
    bool m_available = true;
};

} // namespace zentimo
