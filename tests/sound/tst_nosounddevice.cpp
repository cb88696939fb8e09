// On a machine where no audio device can be opened the alarm goes on silently: every call answers
// false and nothing crashes.

#include "WaveWriter.h"
#include "sound/SdlAudio.h"
#include "sound/SoundPlayer.h"

#include <QTemporaryDir>
#include <QTest>

using namespace zentimo;
using namespace zentimo::test;

class TestNoSoundDevice : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void everyCallFailsQuietly()
    {
        QTemporaryDir dir;
        const QString wav = dir.filePath("a.wav");
        writeFile(wav, waveImage(8000, tonePcm(8000, 0.2, 440)));
        const QString mid = dir.filePath("a.mid");
        writeFile(mid, midiNote(1));

        SoundPlayer player;
        auto& audio = static_cast<SdlAudio&>(player.backend());
        player.StopWaveform();
        player.CloseDevice();
        QVERIFY(!player.PlayBuiltInLooped(107));
        QVERIFY(!player.PlayBuiltInOnce(101));
        QVERIFY(!player.PlayWaveFile(wav, true));
        QVERIFY(!player.OpenDevice('"' + mid + '"', AudioBackend::DeviceType::Sequencer));
        QVERIFY(!player.PlayDevice());
        player.StopWaveform();
        player.CloseDevice();
        QVERIFY(!audio.prepare());
        QVERIFY(!audio.isOpen());
        QVERIFY(!audio.isWavePlaying());
        QVERIFY(!audio.isDevicePlaying());
    }
};

QTEST_GUILESS_MAIN(TestNoSoundDevice)
#include "tst_nosounddevice.moc"
