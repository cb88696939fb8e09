// The sound player's rules, told to a silent back end, and what is kept of files that claim too much.

#include "WaveWriter.h"
#include "sound/SilentAudio.h"
#include "sound/SoundPlayer.h"
#include "sound/WaveFile.h"

#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>
#include <unistd.h>

using namespace zentimo;
using namespace zentimo::test;

class TestSoundPlayer : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<SoundPlayer> m_player;
    SilentAudio* m_audio = nullptr;

    QString path(const QString& name) const { return m_dir->filePath(name); }
    QString writeTone(const QString& name)
    {
        const QString p = path(name);
        writeFile(p, waveImage(8000, tonePcm(8000, 0.2, 440)));
        return p;
    }

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        auto audio = std::make_unique<SilentAudio>();
        m_audio = audio.get();
        m_player = std::make_unique<SoundPlayer>(std::move(audio));
    }

    void cleanup()
    {
        m_player.reset();
        m_dir.reset();
    }

    void newBuiltInSoundStopsTheOldBeforeReplacingItsBuffer()
    {
        m_player->PlayBuiltInOnce(101);
        m_player->PlayBuiltInLooped(105);
        QCOMPARE(m_audio->calls(),
                 (QStringList{"playWaveImage 101 once", "stopWave", "playWaveImage 105 loop"}));
        QCOMPARE(m_player->SoundResourceData(), SoundPlayer::builtInImage(105));
        QCOMPARE(m_audio->state().waveSource, "105");
    }

    // A .wav plays on the waveform channel and an .mp3 or .mid on the file device: each stops only its own.
    void eachChannelStopsOnlyItself()
    {
        const QString wav = writeTone("tone.wav");
        const QString mid = path("song.mid");
        writeFile(mid, midiNote(1));
        QVERIFY(m_player->PlayWaveFile(wav, true));
        QVERIFY(m_player->OpenDevice('"' + mid + '"', AudioBackend::DeviceType::Sequencer));
        QVERIFY(m_player->PlayDevice());
        m_player->CloseDevice();
        QVERIFY(m_audio->state().wavePlaying && !m_audio->state().deviceOpen);
        QVERIFY(m_player->OpenDevice('"' + mid + '"', AudioBackend::DeviceType::Sequencer));
        m_player->StopWaveform();
        QVERIFY(!m_audio->state().wavePlaying && m_audio->state().deviceOpen);
    }

    void deviceIsToldThePathWithoutItsQuotes_data()
    {
        QTest::addColumn<QString>("quoted");
        QTest::addColumn<QString>("expected");
        QTest::newRow("quoted") << QString("\"/music/wake up.mp3\"") << "/music/wake up.mp3";
        QTest::newRow("unquoted") << QString("/music/a.mid") << "/music/a.mid";
        QTest::newRow("quotes inside") << QString("\"/m/say \"hi\".mp3\"") << "/m/say \"hi\".mp3";
        QTest::newRow("one quote") << QString("\"") << "\"";
    }

    void deviceIsToldThePathWithoutItsQuotes()
    {
        QFETCH(QString, quoted);
        QFETCH(QString, expected);
        QVERIFY(!m_player->OpenDevice(quoted, AudioBackend::DeviceType::MpegVideo)); // none of them exists
        QCOMPARE(m_audio->calls(), QStringList{"openDevice " + expected + " MpegVideo"});
        QVERIFY(!m_player->PlayDevice());
    }

    void loadSoundReportsFileErrors_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("description");
        QTest::newRow("missing file") << "missing.mp3" << 53 << "File not found";
        QTest::newRow("missing folder") << "no/such/folder/a.mp3" << 76 << "Path not found";
        QTest::newRow("a folder") << "folder" << 75 << "Path/File access error";
        QTest::newRow("empty path") << "" << 75 << "Path/File access error";
        QTest::newRow("unreadable") << "locked.mp3" << 70 << "Permission denied";
    }

    void loadSoundReportsFileErrors()
    {
        QFETCH(QString, name);
        QFETCH(int, number);
        QFETCH(QString, description);
        QDir(m_dir->path()).mkdir("folder");
        writeFile(path("locked.mp3"), "x");
        QFile::setPermissions(path("locked.mp3"), QFileDevice::Permissions());
        if (number == 70 && geteuid() == 0)
            QSKIP("root reads any file");
        FileError err;
        QCOMPARE(SoundPlayer::LoadSound(name.isEmpty() ? name : path(name), &err), QString());
        QCOMPARE(err.number, number);
        QCOMPARE(err.description, description);
    }

    void waveImageKeepsOnlyWhatTheFileHolds_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("dataBytes"); // -1: no image at all
        const QByteArray pcm = tonePcm(8000, 0.25, 440);
        QTest::newRow("plain") << waveImage(8000, pcm) << int(pcm.size());
        QTest::newRow("forged gigabyte header") << waveImage(8000, pcm, 0xFFFFFF00LL) << int(pcm.size());
        QTest::newRow("cut short") << waveImage(8000, pcm).left(1001) << 1001 - 44 - 1; // whole frames only
        QTest::newRow("header only") << waveImage(8000, pcm).left(44) << -1;
        QTest::newRow("text") << QByteArray("RIFF is a word, WAVE another") << -1;
        QByteArray late = waveImage(8000, pcm);
        late.insert(12, QByteArray("LIST\x03\0\0\0abc\0", 12)); // odd chunk with its pad byte
        QTest::newRow("chunk before fmt") << late << int(pcm.size());
        QByteArray hugeChunk = waveImage(8000, pcm);
        hugeChunk.insert(12, QByteArray("junk\xF0\xFF\xFF\xFF", 8));
        QTest::newRow("chunk claiming gigabytes") << hugeChunk << -1;
        QByteArray noFormat = waveImage(8000, pcm);
        noFormat.remove(12, 24);
        QTest::newRow("data without fmt") << noFormat << -1;
        QByteArray badRate = waveImage(8000, pcm);
        qToLittleEndian<quint32>(0, badRate.data() + 24);
        QTest::newRow("zero rate") << badRate << -1;
        // Converting these to the device's rate would take hundreds of MiB.
        QTest::newRow("one hertz") << waveImage(1, pcm.left(1800)) << -1;
        QTest::newRow("just below 4 kHz") << waveImage(3999, pcm) << -1;
    }

    void waveImageKeepsOnlyWhatTheFileHolds()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, dataBytes);
        writeFile(path("x.wav"), file);
        const QByteArray image = WaveFile::readImage(path("x.wav"));
        if (dataBytes < 0) {
            QVERIFY(image.isEmpty());
            return;
        }
        QCOMPARE(image.size(), 44 + dataBytes + (dataBytes & 1));
        QCOMPARE(qFromLittleEndian<quint32>(image.constData() + 40), quint32(dataBytes));
        QCOMPARE(qFromLittleEndian<quint32>(image.constData() + 4), quint32(image.size() - 8));
        QCOMPARE(image.mid(44, dataBytes), file.mid(file.indexOf("data") + 8, dataBytes));
    }
};

QTEST_GUILESS_MAIN(TestSoundPlayer)
#include "tst_soundplayer.moc"
