#include "sound/SilentAudio.h"

#include "sound/RegularFile.h"
#include "sound/SoundPlayer.h"

#include <QFile>
#include <QFileInfo>
#include <unistd.h>

namespace zentimo {

namespace {

QString describeImage(const QByteArray& image)
{
    if (image == SoundPlayer::fallbackImage())
        return QStringLiteral("fallback");
    for (int id = SoundPlayer::kFirstBuiltIn; id <= SoundPlayer::kLastBuiltIn; ++id) {
        if (image == SoundPlayer::builtInImage(id))
            return QString::number(id);
    }
    return QStringLiteral("<%1 bytes>").arg(image.size());
}

QString loopWord(bool loop)
{
    return loop ? QStringLiteral("loop") : QStringLiteral("once");
}

bool isWaveFile(const QString& path)
{
    const int fd = RegularFile::open(path);
    if (fd < 0)
        return false;
    const QByteArray head = RegularFile::read(fd, 12);
    ::close(fd);
    return head.size() == 12 && head.startsWith("RIFF") && head.mid(8) == "WAVE";
}

} // namespace

bool SilentAudio::playWaveImage(const QByteArray& image, bool loop)
{
    const QString source = describeImage(image);
    m_calls << QStringLiteral("playWaveImage %1 %2").arg(source, loopWord(loop));
    if (!m_available || image.isEmpty())
        return false;
    m_state.wavePlaying = true;
    m_state.waveLooping = loop;
    m_state.waveSource = source;
    return true;
}

bool SilentAudio::playWaveFile(const QString& path, bool loop)
{
    m_calls << QStringLiteral("playWaveFile %1 %2").arg(path, loopWord(loop));
    if (!m_available || !isWaveFile(path))
        return false;
    m_state.wavePlaying = true;
    m_state.waveLooping = loop;
    m_state.waveSource = path;
    return true;
}

void SilentAudio::warmUp(const QString& file)
{
    m_calls << (file.isEmpty() ? QStringLiteral("warmUp") : QStringLiteral("warmUp ") + file);
}

void SilentAudio::stopWave()
{
    m_calls << QStringLiteral("stopWave");
    m_state.wavePlaying = false;
    m_state.waveLooping = false;
    m_state.waveSource.clear();
}

bool SilentAudio::openDevice(const QString& path, DeviceType type)
{
    m_calls << QStringLiteral("openDevice %1 %2")
                   .arg(path, type == DeviceType::Sequencer ? QStringLiteral("Sequencer")
                                                            : QStringLiteral("MpegVideo"));
    m_state.deviceOpen = false;
    m_state.devicePlaying = false;
    m_state.devicePath.clear();
    m_state.deviceFailed = m_available;
    if (!m_available || !QFileInfo(path).isFile())
        return false;
    m_state.deviceFailed = false;
    m_state.deviceOpen = true;
    m_state.devicePath = path;
    m_state.deviceType = type;
    return true;
}

bool SilentAudio::playDevice()
{
    m_calls << QStringLiteral("playDevice");
    if (m_state.deviceFailed)
        m_calls << QStringLiteral("playWaveImage fallback loop");
    if (!m_state.deviceOpen && !m_state.deviceFailed)
        return false;
    m_state.devicePlaying = true;
    return true;
}

void SilentAudio::closeDevice()
{
    m_calls << QStringLiteral("closeDevice");
    m_state.deviceOpen = false;
    m_state.deviceFailed = false;
    m_state.devicePlaying = false;
    m_state.devicePath.clear();
}

void SilentAudio::finishDevice()
{
    if (!m_state.deviceFailed)
        m_state.devicePlaying = false;
    notifyEnded();
}

void SilentAudio::failWave()
{
    if (m_state.wavePlaying)
        playWaveImage(fallback(), m_state.waveLooping);
}

QStringList SilentAudio::takeCalls()
{
    QStringList calls;
    calls.swap(m_calls);
    return calls;
}

} // namespace zentimo
