#pragma once
#include "sound/AudioBackend.h"
#include <QStringList>
namespace zentimo {
class SilentAudio : public AudioBackend {
public:
    bool playWaveImage(const QByteArray&, bool loop) override { m_calls << QStringLiteral("playWaveImage %1").arg(loop); return true; }
    bool playWaveFile(const QString& p, bool loop) override { m_calls << QStringLiteral("playWaveFile %1 %2").arg(p).arg(loop); return true; }
    void stopWave() override { m_calls << QStringLiteral("stopWave"); }
    bool openDevice(const QString& p, DeviceType) override { m_calls << QStringLiteral("openDevice ") + p; return true; }
    bool playDevice() override { m_calls << QStringLiteral("playDevice"); return true; }
    void closeDevice() override { m_calls << QStringLiteral("closeDevice"); }
    QStringList calls() const { return m_calls; }
    void clearCalls() { m_calls.clear(); }
private:
    QStringList m_calls;
};
}
