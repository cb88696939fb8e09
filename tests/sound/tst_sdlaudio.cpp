// What really comes out of the SDL back end, read back from the "disk" audio driver's output file.
// The driver writes in real time, so these tests take real seconds; they are kept few and short.

#include "DiskCapture.h"
#include "WaveWriter.h"
#include "sound/SdlAudio.h"
#include "sound/SoundPlayer.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

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

    // Makes the file `source` names (by its extension) and opens it if it plays on the file device;
    // a built-in sound's number needs nothing.
    bool prepare(const QString& source)
    {
        const QString file = path(source);
        if (source.startsWith("junk"))
            return writeFile(file, QByteArray(5000, '\xA5'));
        if (source.endsWith(".wav") && !source.startsWith("gone"))
            return writeFile(file, waveImage(22050, tonePcm(22050, 0.3, 1000)));
        if (source.endsWith(".mid")) {
            writeFile(file, midiNote(1));
            return m_player->OpenDevice('"' + file + '"', AudioBackend::DeviceType::Sequencer);
        }
        if (source.endsWith(".mp3")) {
            const QString lame = QStandardPaths::findExecutable("lame");
            writeFile(path("source.wav"), waveImage(kRate, tonePcm(kRate, 0.5, 660)));
            if (QProcess::execute(lame, {"--quiet", "-b", "64", path("source.wav"), file}) != 0)
                return false;
            return m_player->OpenDevice('"' + file + '"', AudioBackend::DeviceType::MpegVideo);
        }
        return true;
    }

    bool play(const QString& source, bool loop)
    {
        if (source.front().isDigit())
            return loop ? m_player->PlayBuiltInLooped(source.toInt())
                        : m_player->PlayBuiltInOnce(source.toInt());
        if (source.endsWith(".wav"))
            return m_player->PlayWaveFile(SoundPlayer::ShortPath(path(source)), loop);
        return m_player->PlayDevice();
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

    // seconds: how long the sound lasts when played once; 0 only asks that it sounds at all (the
    // fallback and MIDI). A looped sound must run on without a gap and stop within 100 ms.
    void whatEachSourcePlays_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<bool>("loop");
        QTest::addColumn<double>("seconds");
        QTest::newRow("built-in looped") << "103" << true << 1.09; // the Buzzer, the shortest
        QTest::newRow("built-in once") << "103" << false << 1.09;
        QTest::newRow("unknown built-in: the fallback") << "108" << false << 0.0;
        QTest::newRow("wav looped") << "beep.wav" << true << 0.3;
        QTest::newRow("wav once") << "beep.wav" << false << 0.3;
        QTest::newRow("wav, spaces and quotes") << "the \"loud\" one.wav" << false << 0.3;
        QTest::newRow("wav, non-ASCII") << "Wecker – größer 日本.wav" << false << 0.3;
        QTest::newRow("missing wav: the fallback") << "gone.wav" << false << 0.0;
        QTest::newRow("unplayable wav: the fallback") << "junk.wav" << false << 0.0;
        QTest::newRow("mp3") << "tune.mp3" << false << 0.5;
        QTest::newRow("midi") << "tune.mid" << false << 0.0;
    }

    void whatEachSourcePlays()
    {
        QFETCH(QString, source);
        QFETCH(bool, loop);
        QFETCH(double, seconds);
        if (source.endsWith(".mp3") && QStandardPaths::findExecutable("lame").isEmpty())
            QSKIP("no mp3 encoder (lame)");
        QVERIFY(prepare(source));
        const qint64 start = settledEnd();
        QVERIFY(play(source, loop));
        const qint64 onset = onsetAfter(start);
        QVERIFY(onset - start < frames(0.2));
        if (seconds == 0)
            return;
        if (loop) {
            const qint64 span = frames(2 * seconds + 0.1);
            waitForFrame(onset + span);
            const double quietest = m_out->quietestWindow(onset + kWindow, span - kWindow, kWindow);
            QVERIFY2(quietest > kLoud, qPrintable(QString::number(quietest)));
            const qint64 stop = m_out->frames();
            m_player->StopWaveform();
            waitForFrame(stop + frames(0.4));
            QVERIFY(m_out->lastAbove(stop, frames(0.4), 0) - stop < frames(0.1));
            return;
        }
        QTRY_VERIFY_WITH_TIMEOUT(!m_audio->isWavePlaying() && !m_audio->isDevicePlaying(), 3000);
        waitForFrame(onset + frames(seconds + 0.4));
        const qint64 last = m_out->lastAbove(onset, frames(seconds + 0.4), kAudible);
        const qint64 slack = frames(source.endsWith(".mp3") ? 0.05 : 0.01); // the encoder pads
        QVERIFY2(std::abs(last - onset - frames(seconds)) < slack, qPrintable(QString::number(last - onset)));
    }

    void badDeviceFilesNeverCrash_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("text as mp3") << "notes.mp3" << QByteArray("Remember to buy milk.\n").repeated(50);
        QTest::newRow("missing mp3") << "gone.mp3" << QByteArray();
        QTest::newRow("garbage mid") << "junk.mid" << QByteArray("MThd\x00\x00\x00\x06\xFF\xFF", 10);
        QTest::newRow("text as mid") << "notes.mid" << QByteArray("Remember to buy milk.\n");
    }

    void badDeviceFilesNeverCrash()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        if (!content.isEmpty())
            writeFile(path(name), content);
        if (name.endsWith(".mp3")) {
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

    // The sound font (over 100 MB) is read at a .mid's first opening only: an alarm must not stall on it.
    void aMidOpenedAgainReadsNoSoundFont()
    {
        const QString mid = path("tune.mid");
        writeFile(mid, midiNote(1));
        QVERIFY(m_player->OpenDevice('"' + mid + '"', AudioBackend::DeviceType::Sequencer));
        m_player->CloseDevice();
        const qint64 before = bytesRead();
        QVERIFY(m_player->OpenDevice('"' + mid + '"', AudioBackend::DeviceType::Sequencer));
        QVERIFY2(bytesRead() - before < 1000000, qPrintable(QString::number(bytesRead() - before)));
        m_player->CloseDevice();
    }
};

QTEST_GUILESS_MAIN(TestSdlAudio)
#include "tst_sdlaudio.moc"
