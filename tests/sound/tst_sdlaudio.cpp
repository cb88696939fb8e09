// What really comes out of the SDL back end, read back from the "disk" audio driver's output file.
// The driver writes in real time, so these tests take real seconds; they are kept few and short.

#include "DiskCapture.h"
#include "WaveWriter.h"
#include "sound/SdlAudio.h"
#include "sound/SoundPlayer.h"

#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <sys/resource.h>

using namespace zentimo;
using namespace zentimo::test;

namespace {

constexpr int kRate = SdlAudio::kRate;
constexpr int kAudible = 300;  // about -40 dBFS; the 8-bit sounds' dither stays below it
constexpr int kWindow = 441;   // 10 ms
constexpr double kLoud = 1000; // a 10 ms stretch of the sounds used here never falls below this

qint64 frames(double seconds)
{
    return qint64(seconds * kRate);
}

// Bytes this process has read through system calls so far.
qint64 bytesRead()
{
    QFile io(QStringLiteral("/proc/self/io"));
    if (!io.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : io.readAll().split('\n')) {
        if (line.startsWith("rchar:"))
            return line.mid(6).trimmed().toLongLong();
    }
    return -1;
}

} // namespace

class TestSdlAudio : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::unique_ptr<DiskCapture> m_out;
    std::unique_ptr<SoundPlayer> m_player;
    SdlAudio* m_audio = nullptr;

    QString path(const QString& name) const { return m_dir.filePath(name); }

    // The first frame of a sound started just after `from`.
    qint64 onsetAfter(qint64 from)
    {
        qint64 onset = -1;
        [&] { QTRY_VERIFY_WITH_TIMEOUT((onset = m_out->firstAbove(from, kAudible)) >= 0, 3000); }();
        return onset;
    }

    void waitForFrame(qint64 frame) { QTRY_VERIFY_WITH_TIMEOUT(m_out->frames() > frame, 10000); }

    // The output's end once all that was mixed before now has reached the file (it is written in blocks).
    qint64 settledEnd()
    {
        waitForFrame(m_out->frames() + frames(0.05));
        return m_out->frames();
    }

    QString makeMp3(const QString& name, double seconds)
    {
        const QString lame = QStandardPaths::findExecutable("lame");
        if (lame.isEmpty())
            return {};
        writeFile(path("source.wav"), waveImage(kRate, tonePcm(kRate, seconds, 660)));
        const QString mp3 = path(name);
        if (QProcess::execute(lame, {"--quiet", "-b", "64", path("source.wav"), mp3}) != 0)
            return {};
        return mp3;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        if (qgetenv("SDL_AUDIODRIVER") != "disk")
            QSKIP("needs SDL_AUDIODRIVER=disk");
        qputenv("SDL_DISKAUDIOFILE", QFile::encodeName(path("output.raw")));
        m_out = std::make_unique<DiskCapture>(path("output.raw"));
        m_player = std::make_unique<SoundPlayer>();
        m_audio = static_cast<SdlAudio*>(&m_player->backend());
        QVERIFY(!m_audio->isOpen()); // nothing is opened before the first sound
        QVERIFY(m_audio->prepare());
    }

    void cleanup()
    {
        m_player->StopWaveform();
        m_player->CloseDevice();
    }

    void loopedBuiltInSoundHasNoGapAndStopsWithin100ms()
    {
        const qint64 length = frames(1.09); // the Buzzer, the shortest built-in sound
        const qint64 start = settledEnd();
        QVERIFY(m_player->PlayBuiltInLooped(103));
        const qint64 onset = onsetAfter(start);
        waitForFrame(onset + 2 * length + frames(0.1));
        const double quietest = m_out->quietestWindow(onset, 2 * length + frames(0.1), kWindow);
        QVERIFY2(quietest > kLoud, qPrintable(QString::number(quietest)));

        const qint64 stop = m_out->frames();
        m_player->StopWaveform();
        waitForFrame(stop + frames(0.4));
        QCOMPARE(m_out->lastAbove(stop, frames(0.4), 0) - stop < frames(0.1), true);
    }

    void builtInSoundPlayedOnceEndsAfterItsLength()
    {
        QSignalSpy finished(m_audio, &SdlAudio::waveFinished);
        const qint64 start = settledEnd();
        QVERIFY(m_player->PlayBuiltInOnce(103));
        const qint64 onset = onsetAfter(start);
        QVERIFY(finished.wait(3000));
        QVERIFY(!m_audio->isWavePlaying());
        waitForFrame(onset + frames(1.5));
        const qint64 last = m_out->lastAbove(onset, frames(1.5), kAudible);
        QVERIFY2(std::abs(last - onset - frames(1.09)) < frames(0.01),
                 qPrintable(QString::number(last - onset)));
    }

    void waveFileLoopsOrPlaysOnce()
    {
        const QString wav = path("beep.wav");
        writeFile(wav, waveImage(22050, tonePcm(22050, 0.3, 1000)));

        qint64 start = settledEnd();
        QVERIFY(m_player->PlayWaveFile(SoundPlayer::ShortPath(wav), true));
        qint64 onset = onsetAfter(start);
        waitForFrame(onset + frames(0.7));
        QVERIFY(m_out->quietestWindow(onset + kWindow, frames(0.6), kWindow) > kLoud);
        m_player->CloseDevice(); // a .wav is no business of the file device
        QVERIFY(m_audio->isWavePlaying());
        m_player->StopWaveform();

        start = settledEnd();
        QVERIFY(m_player->PlayWaveFile(SoundPlayer::ShortPath(wav), false));
        onset = onsetAfter(start);
        waitForFrame(onset + frames(0.5));
        const qint64 last = m_out->lastAbove(onset, frames(0.5), kAudible);
        QVERIFY2(std::abs(last - onset - frames(0.3)) < frames(0.01),
                 qPrintable(QString::number(last - onset)));
    }

    void mp3PlaysOnceAndReportsItsEnd()
    {
        const QString mp3 = makeMp3("tune.mp3", 0.5);
        if (mp3.isEmpty())
            QSKIP("no mp3 encoder (lame)");
        QSignalSpy finished(m_audio, &SdlAudio::deviceFinished);
        const qint64 start = settledEnd();
        QVERIFY(m_player->OpenDevice('"' + mp3 + '"', AudioBackend::DeviceType::MpegVideo));
        QVERIFY(m_player->PlayDevice());
        const qint64 onset = onsetAfter(start);
        QVERIFY(finished.wait(3000));
        waitForFrame(onset + frames(0.8));
        const qint64 last = m_out->lastAbove(onset, frames(0.8), kAudible);
        QVERIFY2(std::abs(last - onset - frames(0.5)) < frames(0.05),
                 qPrintable(QString::number(last - onset)));
    }

    void midiFileSounds()
    {
        const QString mid = path("tune.mid");
        writeFile(mid, midiNote(1));
        for (int opening = 1; opening <= 2; ++opening) {
            const qint64 before = bytesRead();
            QVERIFY(m_player->OpenDevice('"' + mid + '"', AudioBackend::DeviceType::Sequencer));
            // The sound font (over 100 MB) is read at the first opening only.
            if (opening == 2)
                QVERIFY2(bytesRead() - before < 1000000, qPrintable(QString::number(bytesRead() - before)));
            const qint64 start = settledEnd();
            QVERIFY(m_player->PlayDevice());
            const qint64 onset = onsetAfter(start);
            QVERIFY(onset - start < frames(0.2));
            m_player->CloseDevice();
            QVERIFY(!m_audio->isDevicePlaying());
        }
    }

    void badFilesNeverCrash_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        const QByteArray wav = waveImage(8000, tonePcm(8000, 0.2, 440));
        QTest::newRow("truncated wav") << "cut.wav" << wav.left(30);
        QTest::newRow("empty wav") << "empty.wav" << QByteArray();
        QTest::newRow("garbage wav") << "junk.wav" << QByteArray(5000, '\xA5');
        QTest::newRow("text as mp3") << "notes.mp3" << QByteArray("Remember to buy milk.\n").repeated(50);
        QTest::newRow("empty mp3") << "empty.mp3" << QByteArray();
        QTest::newRow("garbage mid") << "junk.mid" << QByteArray("MThd\x00\x00\x00\x06\xFF\xFF", 10);
        QTest::newRow("text as mid") << "notes.mid" << QByteArray("Remember to buy milk.\n");
        QTest::newRow("missing wav") << "gone.wav" << QByteArray("-");
        QTest::newRow("missing mp3") << "gone.mp3" << QByteArray("-");
    }

    void badFilesNeverCrash()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        if (content != "-")
            writeFile(path(name), content);
        if (name.endsWith(".wav")) {
            QVERIFY(!m_audio->playWaveFile(path(name), true));
            QVERIFY(!m_audio->isWavePlaying());
        } else if (name.endsWith(".mp3")) {
            QVERIFY(!m_audio->openDevice(path(name), AudioBackend::DeviceType::MpegVideo));
            QVERIFY(!m_audio->playDevice());
        } else {
            // The MIDI decoders take almost anything; playing it must simply do no harm.
            m_audio->openDevice(path(name), AudioBackend::DeviceType::Sequencer);
            m_audio->playDevice();
            QTest::qWait(50);
            m_audio->closeDevice();
            QVERIFY(!m_audio->isDevicePlaying());
        }
    }

    void unplayableWaveFilePlaysTheFallbackSound()
    {
        writeFile(path("junk.wav"), QByteArray(5000, '\xA5'));
        const qint64 start = settledEnd();
        QVERIFY(m_player->PlayWaveFile(SoundPlayer::ShortPath(path("junk.wav")), false));
        QVERIFY(onsetAfter(start) >= 0);
    }

    void oddPathsPlay_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("spaces") << "my alarm sound";
        QTest::newRow("quotes") << "the \"loud\" one";
        QTest::newRow("non-ASCII") << "Wecker – größer 日本";
    }

    void oddPathsPlay()
    {
        QFETCH(QString, name);
        const QString wav = path(name + ".wav");
        writeFile(wav, waveImage(8000, tonePcm(8000, 0.5, 440)));
        QVERIFY(m_player->PlayWaveFile(SoundPlayer::ShortPath(wav), false));
        QVERIFY(m_audio->isWavePlaying());
        const QString mid = path(name + ".mid");
        writeFile(mid, midiNote(1));
        QVERIFY(m_player->OpenDevice('"' + SoundPlayer::ShortPath(mid) + '"',
                                     AudioBackend::DeviceType::MpegVideo));
        QVERIFY(m_player->PlayDevice());
        QVERIFY(m_audio->isDevicePlaying());
    }

    // The header claims nearly 4 GiB; the file holds half a second. Under a cap on the address space
    // that the claim would break, the half second still plays.
    void forgedGigabyteWaveHeaderPlaysWhatIsThere()
    {
        const QString wav = path("forged.wav");
        writeFile(wav, waveImage(8000, tonePcm(8000, 0.5, 440), 0xFFFFFF00LL));
#if defined(__SANITIZE_ADDRESS__)
        const bool capped = false; // the sanitizer's shadow memory needs the address space
#else
        rlimit old{};
        getrlimit(RLIMIT_AS, &old);
        QFile statm("/proc/self/statm");
        QVERIFY(statm.open(QIODevice::ReadOnly));
        const rlim_t used = rlim_t(statm.readAll().split(' ').value(0).toLongLong()) * rlim_t(getpagesize());
        rlimit cap = old;
        cap.rlim_cur = used + (512ull << 20);
        const bool capped = setrlimit(RLIMIT_AS, &cap) == 0;
#endif
        const bool played = m_audio->playWaveFile(wav, false);
#if !defined(__SANITIZE_ADDRESS__)
        setrlimit(RLIMIT_AS, &old);
#endif
        QVERIFY(played);
        QVERIFY(m_audio->isWavePlaying());
        if (!capped)
            QSKIP("played, but without an address-space cap to prove the allocation small");
    }
};

QTEST_GUILESS_MAIN(TestSdlAudio)
#include "tst_sdlaudio.moc"
