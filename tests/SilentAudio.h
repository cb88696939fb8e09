#pragma once
// A back end that plays nothing and remembers what it was told, for tests of everything that makes sound.
// Calls are recorded as "playWaveImage 107 loop", "playWaveImage fallback once", "playWaveFile <path> loop",
// "stopWave", "openDevice <path> MpegVideo", "playDevice", "closeDevice", "warmUp <path>" ("warmUp" alone for
// the built-in sounds).

#include "sound/AudioBackend.h"
#include "sound/RegularFile.h"
#include "sound/SoundPlayer.h"

#include <QFileInfo>
#include <QStringList>
#include <unistd.h>

namespace zentimo {

class SilentAudio : public AudioBackend {
public:
    struct State {
        bool wavePlaying = false;
        bool waveLooping = false;
        bool deviceOpen = false;
        bool devicePlaying = false;
        bool deviceFailed = false; // opened on a file that cannot be played: "play" sounds the fallback
    };

    bool playWaveImage(const QByteArray& image, bool loop) override
    {
        m_calls << QStringLiteral("playWaveImage %1 %2").arg(describe(image), loopWord(loop));
        return !image.isEmpty() && startWave(loop);
    }

    // False, as the real back end answers, when the file is missing or is no RIFF WAVE file.
    bool playWaveFile(const QString& path, bool loop) override
    {
        m_calls << QStringLiteral("playWaveFile %1 %2").arg(path, loopWord(loop));
        return isWaveFile(path) && startWave(loop);
    }

    void stopWave() override
    {
        m_calls << QStringLiteral("stopWave");
        m_state.wavePlaying = m_state.waveLooping = false;
    }

    // False when the file is missing; playing then sounds the fallback, looped.
    bool openDevice(const QString& path, DeviceType type) override
    {
        m_calls << QStringLiteral("openDevice %1 %2")
                       .arg(path, type == DeviceType::Sequencer ? QStringLiteral("Sequencer")
                                                                : QStringLiteral("MpegVideo"));
        m_state.deviceOpen = m_state.devicePlaying = false;
        m_state.deviceFailed = !QFileInfo(path).isFile();
        m_state.deviceOpen = !m_state.deviceFailed;
        return m_state.deviceOpen;
    }

    bool playDevice() override
    {
        m_calls << QStringLiteral("playDevice");
        if (m_state.deviceFailed)
            m_calls << QStringLiteral("playWaveImage fallback loop");
        m_state.devicePlaying = m_state.deviceOpen || m_state.deviceFailed;
        return m_state.devicePlaying;
    }

    void closeDevice() override
    {
        m_calls << QStringLiteral("closeDevice");
        m_state = State{.wavePlaying = m_state.wavePlaying, .waveLooping = m_state.waveLooping};
    }

    void warmUp(const QString& file) override
    {
        m_calls << (file.isEmpty() ? QStringLiteral("warmUp") : QStringLiteral("warmUp ") + file);
    }

    bool isPlaying() const override { return m_state.wavePlaying || m_state.devicePlaying; }

    QStringList takeCalls() { return std::exchange(m_calls, {}); }
    const State& state() const { return m_state; }

private:
    bool startWave(bool loop)
    {
        m_state.wavePlaying = true;
        m_state.waveLooping = loop;
        return true;
    }

    static QString describe(const QByteArray& image)
    {
        if (image == SoundPlayer::fallbackImage())
            return QStringLiteral("fallback");
        for (int id = SoundPlayer::kFirstBuiltIn; id <= SoundPlayer::kLastBuiltIn; ++id)
            if (image == SoundPlayer::builtInImage(id))
                return QString::number(id);
        return QStringLiteral("<%1 bytes>").arg(image.size());
    }

    static QString loopWord(bool loop) { return loop ? QStringLiteral("loop") : QStringLiteral("once"); }

    static bool isWaveFile(const QString& path)
    {
        const int fd = RegularFile::open(path);
        if (fd < 0)
            return false;
        const QByteArray head = RegularFile::read(fd, 12);
        ::close(fd);
        return head.size() == 12 && head.startsWith("RIFF") && head.mid(8) == "WAVE";
    }

    QStringList m_calls;
    State m_state;
};

} // namespace zentimo
