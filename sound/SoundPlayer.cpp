#include "sound/SoundPlayer.h"
#include <QFile>
namespace zentimo {
SoundPlayer::SoundPlayer(std::unique_ptr<AudioBackend> b) : m_backend(std::move(b)) {}
SoundPlayer::~SoundPlayer() = default;
AudioBackend& SoundPlayer::backend() { return *m_backend; }
bool SoundPlayer::PlayBuiltInLooped(int) { return m_backend && m_backend->playWaveImage({}, true); }
bool SoundPlayer::PlayBuiltInOnce(int) { return m_backend && m_backend->playWaveImage({}, false); }
bool SoundPlayer::PlayWaveFile(const QString& p, bool loop) { return m_backend && m_backend->playWaveFile(p, loop); }
void SoundPlayer::StopWaveform() { if (m_backend) m_backend->stopWave(); }
bool SoundPlayer::OpenDevice(const QString& p, AudioBackend::DeviceType t) { return m_backend && m_backend->openDevice(p, t); }
bool SoundPlayer::PlayDevice() { return m_backend && m_backend->playDevice(); }
void SoundPlayer::CloseDevice() { if (m_backend) m_backend->closeDevice(); }
QString SoundPlayer::ShortPath(const QString& p) { return QFile::exists(p) ? p : QString(); }
QString SoundPlayer::LoadSound(const QString&, FileError*) { return {}; }
QByteArray SoundPlayer::builtInImage(int) { return {}; }
}
