// The sound player's rules, told to a silent back end, and the built-in sounds themselves.

#include "WaveWriter.h"
#include "sound/SilentAudio.h"
#include "sound/SoundPlayer.h"
#include "sound/WaveFile.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>
#include <cmath>
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

    void builtInSoundsMatchTheirTable_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("rate");
        QTest::addColumn<double>("seconds");
        QTest::newRow("101") << 101 << "Gong" << 8000 << 5.25;
        QTest::newRow("102") << 102 << "Bugle" << 8000 << 5.83;
        QTest::newRow("103") << 103 << "Buzzer" << 8000 << 1.09;
        QTest::newRow("104") << 104 << "Crazy Sounds" << 22050 << 4.56;
        QTest::newRow("105") << 105 << "Cuckoo Clock" << 8000 << 1.98;
        QTest::newRow("106") << 106 << "Fog Horn" << 8000 << 3.27;
        QTest::newRow("107") << 107 << "Old Time Car Horn" << 11025 << 1.50;
    }

    void builtInSoundsMatchTheirTable()
    {
        QFETCH(int, id);
        QFETCH(QString, name);
        QFETCH(int, rate);
        QFETCH(double, seconds);
        QCOMPARE(SoundPlayer::builtInNames().value(id - 101), name);

        const QByteArray w = SoundPlayer::builtInImage(id);
        QVERIFY(w.size() > 44);
        QCOMPARE(w.left(4) + w.mid(8, 8) + w.mid(36, 4), QByteArray("RIFFWAVEfmt data"));
        QCOMPARE(qFromLittleEndian<quint32>(w.constData() + 4), quint32(w.size() - 8));
        QCOMPARE(qFromLittleEndian<quint16>(w.constData() + 20), quint16(1)); // PCM
        QCOMPARE(qFromLittleEndian<quint16>(w.constData() + 22), quint16(1)); // mono
        QCOMPARE(qFromLittleEndian<quint16>(w.constData() + 34), quint16(8));
        QCOMPARE(qFromLittleEndian<quint32>(w.constData() + 24), quint32(rate));
        const quint32 frames = qFromLittleEndian<quint32>(w.constData() + 40);
        QVERIFY2(std::abs(double(frames) / rate - seconds) < 0.001, qPrintable(QString::number(frames)));

        // Loud enough to wake someone, and not clipped.
        const auto rmsOf = [&](quint32 from, quint32 count) {
            double sum = 0;
            for (quint32 i = from; i < from + count; ++i) {
                const int v = quint8(w.at(44 + qsizetype(i))) - 128;
                sum += double(v) * v;
            }
            return std::sqrt(sum / count) / 128.0;
        };
        int peak = 0;
        for (quint32 i = 0; i < frames; ++i)
            peak = std::max(peak, std::abs(quint8(w.at(44 + qsizetype(i))) - 128));
        QVERIFY2(rmsOf(0, frames) > 0.08, qPrintable(QString::number(rmsOf(0, frames))));
        QVERIFY(peak > 100 && peak < 128);

        // Both ends still sound (well above the dither), so a loop has no silent gap.
        const auto edge = quint32(rate / 20);
        QVERIFY2(rmsOf(0, edge) > 0.01, qPrintable(QString::number(rmsOf(0, edge))));
        QVERIFY2(rmsOf(frames - edge, edge) > 0.01, qPrintable(QString::number(rmsOf(frames - edge, edge))));
    }

    void builtInSoundPlaysFromMemory_data()
    {
        QTest::addColumn<bool>("loop");
        QTest::newRow("looped") << true;
        QTest::newRow("once") << false;
    }

    void builtInSoundPlaysFromMemory()
    {
        QFETCH(bool, loop);
        QVERIFY(loop ? m_player->PlayBuiltInLooped(107) : m_player->PlayBuiltInOnce(107));
        QCOMPARE(m_audio->calls(), QStringList{loop ? "playWaveImage 107 loop" : "playWaveImage 107 once"});
        QCOMPARE(m_player->SoundResourceData(), SoundPlayer::builtInImage(107));
        QCOMPARE(m_audio->state().waveLooping, loop);
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

    void unknownIdPlaysTheFallback_data()
    {
        QTest::addColumn<int>("id");
        QTest::newRow("100") << 100;
        QTest::newRow("108") << 108;
    }

    void unknownIdPlaysTheFallback()
    {
        QFETCH(int, id);
        QVERIFY(SoundPlayer::builtInImage(id).isEmpty());
        QVERIFY(m_player->PlayBuiltInLooped(id));
        QCOMPARE(m_audio->calls(), QStringList{"playWaveImage fallback loop"});
    }

    void missingWaveFilePlaysTheFallbackLikeTheFile_data()
    {
        QTest::addColumn<bool>("loop");
        QTest::newRow("looped") << true;
        QTest::newRow("once") << false;
    }

    void missingWaveFilePlaysTheFallbackLikeTheFile()
    {
        QFETCH(bool, loop);
        QVERIFY(m_player->PlayWaveFile(SoundPlayer::ShortPath(path("gone.wav")), loop));
        QCOMPARE(m_audio->calls(),
                 QStringList{QString("playWaveImage fallback ") + (loop ? "loop" : "once")});
    }

    void unplayableWaveFilePlaysTheFallback()
    {
        const QString p = path("noise.wav");
        writeFile(p, "this is not a sound");
        QVERIFY(m_player->PlayWaveFile(p, true));
        QCOMPARE(m_audio->calls(),
                 (QStringList{"playWaveFile " + p + " loop", "playWaveImage fallback loop"}));
    }

    void waveFilePlaysOnTheWaveformChannelUntilStopped()
    {
        const QString p = writeTone("tone.wav");
        QVERIFY(m_player->PlayWaveFile(p, true));
        m_player->CloseDevice();
        QVERIFY(m_audio->state().wavePlaying); // closing the file device leaves the waveform channel alone
        m_player->StopWaveform();
        QCOMPARE(m_audio->calls(), (QStringList{"playWaveFile " + p + " loop", "closeDevice", "stopWave"}));
        QVERIFY(!m_audio->state().wavePlaying);
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

    void deviceOpensPlaysOnceAndCloses()
    {
        const QString p = path("song.mid");
        writeFile(p, midiNote(1));
        QVERIFY(m_player->OpenDevice('"' + p + '"', AudioBackend::DeviceType::Sequencer));
        QVERIFY(m_player->PlayDevice());
        m_player->StopWaveform();
        QVERIFY(m_audio->state().deviceOpen); // stopping the waveform leaves the file device alone
        m_player->CloseDevice();
        QCOMPARE(m_audio->calls(),
                 (QStringList{"openDevice " + p + " Sequencer", "playDevice", "stopWave", "closeDevice"}));
        QVERIFY(!m_audio->state().deviceOpen);
    }

    void withoutASoundDeviceEveryCallFailsQuietly()
    {
        m_audio->setAvailable(false);
        const QString p = writeTone("tone.wav");
        QVERIFY(!m_player->PlayBuiltInLooped(107));
        QVERIFY(!m_player->PlayWaveFile(p, false));
        QVERIFY(!m_player->OpenDevice(p, AudioBackend::DeviceType::MpegVideo));
        QVERIFY(!m_player->PlayDevice());
        m_player->StopWaveform();
        m_player->CloseDevice();
        QVERIFY(!m_audio->state().wavePlaying && !m_audio->state().deviceOpen);
    }

    void shortPathIsThePathOnlyWhenTheFileExists()
    {
        const QString p = writeTone("my alarm ü.wav");
        QCOMPARE(SoundPlayer::ShortPath(p), p);
        QCOMPARE(SoundPlayer::ShortPath(path("missing.wav")), QString());
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

    void loadSoundTrimsBlanksOnly()
    {
        writeFile(path("a.mp3"), QByteArray("  \xFFID3\n  ", 9));
        FileError err{53, "stale"};
        QCOMPARE(SoundPlayer::LoadSound(path("a.mp3"), &err), QString::fromLatin1("\xFFID3\n"));
        QCOMPARE(err.number, 0);
    }

    void loadSoundOfAHugeFileStaysSmallAndQuick()
    {
        QFile big(path("huge.mp3"));
        QVERIFY(big.open(QIODevice::WriteOnly) && big.resize(3LL << 30)); // sparse: no disk space used
        big.close();
        QElapsedTimer clock;
        clock.start();
        FileError err;
        const QString text = SoundPlayer::LoadSound(path("huge.mp3"), &err);
        QCOMPARE(err.number, 0);
        QVERIFY(text.size() <= 1024 * 1024);
        QVERIFY(clock.elapsed() < 2000);
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

    void waveImageOfALongFileIsCut()
    {
        writeFile(path("long.wav"), waveImage(8000, tonePcm(8000, 3.0, 440)));
        const QByteArray image = WaveFile::readImage(path("long.wav"), 1 << 30, 2);
        QCOMPARE(qFromLittleEndian<quint32>(image.constData() + 40), quint32(2 * 8000 * 2));
        // Converting to the device's rate is what costs: such a file plays its first part only.
        writeFile(path("slow.wav"), waveImage(4000, tonePcm(4000, 300.0, 440)));
        const quint32 seconds =
            qFromLittleEndian<quint32>(WaveFile::readImage(path("slow.wav")).constData() + 40) / 8000;
        QVERIFY2(seconds >= 10 && seconds < 300, QByteArray::number(seconds));
    }
};

QTEST_GUILESS_MAIN(TestSoundPlayer)
#include "tst_soundplayer.moc"
