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

    QTemporaryDir m_dir;
    std::unique_ptr<SoundPlayer> m_player;
    SilentAudio* m_audio = nullptr;

    QString path(const QString& name) const { return m_dir.filePath(name); }

private Q_SLOTS:
    void init()
    {
        auto audio = std::make_unique<SilentAudio>();
        m_audio = audio.get();
        m_player = std::make_unique<SoundPlayer>(std::move(audio));
    }

    // A new built-in sound stops the old before its buffer is replaced; the device is told paths without
    // their quotes (neither exists).
    void backEndIsToldWhatToPlay()
    {
        m_player->PlayBuiltInOnce(101);
        m_player->PlayBuiltInLooped(105);
        for (const QString& quoted : {QString("\"/music/wake up.mp3\""), QString("\"")})
            QVERIFY(!m_player->OpenDevice(quoted, AudioBackend::DeviceType::MpegVideo));
        QCOMPARE(m_audio->calls(),
                 (QStringList{"playWaveImage 101 once", "stopWave", "playWaveImage 105 loop",
                              "openDevice /music/wake up.mp3 MpegVideo", "openDevice \" MpegVideo"}));
    }

    void loadSoundReportsFileErrors_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("number");
        QTest::newRow("missing file") << "missing.mp3" << 53;
        QTest::newRow("missing folder") << "no/such/folder/a.mp3" << 76;
        QTest::newRow("a folder") << "folder" << 75;
        QTest::newRow("empty path") << "" << 75;
        QTest::newRow("unreadable") << "locked.mp3" << 70;
    }

    void loadSoundReportsFileErrors()
    {
        QFETCH(QString, name);
        QFETCH(int, number);
        QDir(m_dir.path()).mkdir("folder");
        writeFile(path("locked.mp3"), "x");
        QFile::setPermissions(path("locked.mp3"), QFileDevice::Permissions());
        if (number == 70 && geteuid() == 0)
            QSKIP("root reads any file");
        FileError err;
        QCOMPARE(SoundPlayer::LoadSound(name.isEmpty() ? name : path(name), &err), QString());
        QCOMPARE(err.number, number);
    }

    void waveImageKeepsOnlyWhatTheFileHolds_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("dataBytes"); // -1: no image at all
        const QByteArray pcm = tonePcm(8000, 0.25, 440);
        const QByteArray plain = waveImage(8000, pcm);
        QTest::newRow("lowest rate") << waveImage(WaveFile::kMinRate, pcm) << int(pcm.size());
        QTest::newRow("forged gigabyte header") << waveImage(8000, pcm, 0xFFFFFF00LL) << int(pcm.size());
        QTest::newRow("cut short") << plain.left(1001) << 1001 - 44 - 1; // whole frames only
        QTest::newRow("header only") << plain.left(44) << -1;
        QTest::newRow("odd chunk before fmt, padded")
            << QByteArray(plain).insert(12, QByteArray("LIST\x03\0\0\0abc\0", 12)) << int(pcm.size());
        QTest::newRow("chunk claiming gigabytes")
            << QByteArray(plain).insert(12, QByteArray("junk\xF0\xFF\xFF\xFF", 8)) << -1;
        QTest::newRow("data without fmt") << QByteArray(plain).remove(12, 24) << -1;
        // Converting this to the device's rate would take hundreds of MiB.
        QTest::newRow("just below the lowest rate") << waveImage(WaveFile::kMinRate - 1, pcm) << -1;
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
