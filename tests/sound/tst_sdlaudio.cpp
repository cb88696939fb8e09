// What really comes out of the SDL back end, read back from the "disk" audio driver's output file.
// The driver writes in real time, so these tests take real seconds; they are kept few and short.

#include "DiskCapture.h"
#include "WaveWriter.h"
#include "sound/SdlAudio.h"
#include "sound/SoundPlayer.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace zentimo;
using namespace zentimo::test;

namespace {

constexpr int kRate = SdlAudio::kRate;
constexpr int kAudible = 300; // about -40 dBFS; the 8-bit sounds' dither stays below it
constexpr int kGap = 441;     // 10 ms: the sounds used here have no quiet stretch this long

// Bytes this process has read through system calls so far.
qint64 bytesRead()
{
    QFile io(QStringLiteral("/proc/self/io"));
    const QString text = io.open(QIODevice::ReadOnly) ? QString::fromLatin1(io.readAll()) : QString();
    return QRegularExpression(QStringLiteral("rchar: *(\\d+)")).match(text).captured(1).toLongLong();
}

} // namespace

class TestSdlAudio : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    DiskCapture m_out;
    std::unique_ptr<SoundPlayer> m_player;
    SdlAudio* m_audio = nullptr;

    QString path(const QString& name) const { return m_dir.filePath(name); }
    static qint64 frames(double seconds) { return qint64(seconds * kRate); }

    void waitForFrame(qint64 frame) { QTRY_VERIFY_WITH_TIMEOUT(m_out.frames() > frame, 10000); }

    // Writes the file `source` names (its name says what it holds) and opens it if it plays on the file
    // device; a built-in sound's number needs nothing. False if the device refuses it.
    bool open(const QString& source)
    {
        const QString file = path(source);
        if (source.startsWith("junk"))
            writeFile(file, QByteArray("MThd\x00\x00\x00\x06", 8) + QByteArray(5000, '\xA5'));
        else if (source.startsWith("notes"))
            writeFile(file, QByteArray("Remember to buy milk.\n").repeated(50));
        else if (source.endsWith(".wav") && !source.startsWith("gone"))
            writeFile(file, waveImage(22050, tonePcm(22050, 0.3, 1000)));
        else if (source == "tune.mid")
            writeFile(file, midiNote(1));
        else if (source == "tune.mp3" &&
                 writeFile(path("source.wav"), waveImage(kRate, tonePcm(kRate, 0.5, 660))))
            QProcess::execute("lame", {"--quiet", "-b", "64", path("source.wav"), file});
        using enum AudioBackend::DeviceType;
        return (!source.endsWith(".mid") && !source.endsWith(".mp3")) ||
               m_player->OpenDevice('"' + file + '"', source.endsWith(".mid") ? Sequencer : MpegVideo);
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
        m_player = std::make_unique<SoundPlayer>();
        m_audio = static_cast<SdlAudio*>(&m_player->backend());
        QVERIFY(!m_audio->isOpen()); // nothing is opened before the first sound

        // Where no audio device opens, the alarm goes on silently: every call answers false.
        qputenv("SDL_AUDIODRIVER", "no-such-driver");
        QVERIFY(open("beep.wav") && !play("beep.wav", false) && !play("107", true));
        QVERIFY(!open("tune.mid") && !m_player->PlayDevice());
        cleanup();
        QVERIFY(!m_audio->isOpen() && !m_audio->isWavePlaying() && !m_audio->isDevicePlaying());

        qputenv("SDL_AUDIODRIVER", "disk");
        qputenv("SDL_DISKAUDIOFILE", QFile::encodeName(path("output.raw")));
        m_out.path = path("output.raw");
        QVERIFY(m_audio->prepare());
    }

    void cleanup()
    {
        m_player->StopWaveform();
        m_player->CloseDevice();
    }

    // The sound font (over 100 MB) is read at a .mid's first opening only: an alarm must not stall on it.
    void aMidOpenedAgainReadsNoSoundFont()
    {
        QVERIFY(open("tune.mid"));
        cleanup();
        const qint64 before = bytesRead();
        QVERIFY(open("tune.mid"));
        QVERIFY2(bytesRead() - before < 1000000, qPrintable(QString::number(bytesRead() - before)));
    }

    // seconds: how long the sound lasts when played once; 0 only asks that it sounds at all (the
    // fallback and MIDI); -1 is a broken file the file device refuses. A looped sound must run on
    // without a gap and stop within 100 ms.
    void whatEachSourcePlays_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<bool>("loop");
        QTest::addColumn<double>("seconds");
        QTest::newRow("built-in") << "103" << false << 1.09; // the Buzzer, the shortest
        QTest::newRow("unknown built-in: the fallback") << "108" << false << 0.0;
        QTest::newRow("wav looped, quotes and non-ASCII")
            << "the \"loud\" Wecker – größer 日本.wav" << true << 0.3;
        QTest::newRow("missing wav: the fallback") << "gone.wav" << false << 0.0;
        QTest::newRow("unplayable wav: the fallback") << "junk.wav" << false << 0.0;
        QTest::newRow("mp3") << "tune.mp3" << false << 0.5;
        QTest::newRow("midi") << "tune.mid" << false << 0.0;
        QTest::newRow("text as mp3") << "notes.mp3" << false << -1.0;
    }

    void whatEachSourcePlays()
    {
        QFETCH(QString, source);
        QFETCH(bool, loop);
        QFETCH(double, seconds);
        if (source == "tune.mp3" && QStandardPaths::findExecutable("lame").isEmpty())
            QSKIP("no mp3 encoder (lame)");
        const bool opened = open(source);
        // All that was mixed before now has reached the file (it is written in blocks).
        waitForFrame(m_out.frames() + frames(0.05));
        const qint64 start = m_out.frames();
        QCOMPARE(opened && play(source, loop), seconds >= 0);
        if (seconds < 0)
            return;
        qint64 onset = -1;
        QTRY_VERIFY_WITH_TIMEOUT((onset = m_out.heard(start, m_out.frames() - start, kAudible).first) >= 0,
                                 3000);
        QVERIFY(onset - start < frames(0.2));
        if (seconds == 0)
            return;
        if (loop) {
            const qint64 span = frames(2 * seconds + 0.1);
            waitForFrame(onset + span);
            const DiskCapture::Heard h = m_out.heard(onset, span, kAudible);
            QVERIFY2(h.last > onset + span - kGap && h.longestGap < kGap,
                     qPrintable(QString::number(h.longestGap)));
            const qint64 stop = m_out.frames();
            m_player->StopWaveform();
            waitForFrame(stop + frames(0.4));
            QVERIFY(m_out.heard(stop, frames(0.4), 0).last - stop < frames(0.1));
            return;
        }
        QTRY_VERIFY_WITH_TIMEOUT(!m_audio->isWavePlaying() && !m_audio->isDevicePlaying(), 3000);
        waitForFrame(onset + frames(seconds + 0.4));
        const qint64 last = m_out.heard(onset, frames(seconds + 0.4), kAudible).last;
        const qint64 slack = frames(source.endsWith(".mp3") ? 0.05 : 0.01); // the encoder pads
        QVERIFY2(std::abs(last - onset - frames(seconds)) < slack, qPrintable(QString::number(last - onset)));
    }
};

QTEST_GUILESS_MAIN(TestSdlAudio)
#include "tst_sdlaudio.moc"
