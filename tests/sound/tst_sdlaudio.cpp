// Files made by SoX, ffmpeg, LAME and abc2midi through the real SDL back end, heard in the "disk" driver's
// output: each plays whole at its pitch and level; what cannot play sounds the fallback without holding the
// caller. An end-to-end test of sound: it takes real seconds, at about six times real speed.

#include "DiskCapture.h"
#include "WaveWriter.h"
#include "sound/SdlAudio.h"
#include "sound/SoundPlayer.h"
#include "sound/WaveStream.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace zentimo;
using namespace zentimo::test;

namespace {

constexpr int kRate = SdlAudio::kRate;
constexpr int kAudible = 300; // about -40 dBFS
// Every tone file is SoX's 440 Hz sine at -6 dB, or made from one.
constexpr double kHz = 440;
constexpr double kPeak = 0.5;

// How a file is made: by a tool from the arguments (with "OUT" for the file, "TONE" for a SoX tone made
// first, "IN" for a one-note ABC tune), or as a special file.
enum class Maker { Sox, Ffmpeg, Lame, Abc2midi, Text, Pipe, Folder, DevZero, Huge, Nothing };
// What is done to the tool's file afterwards, as other programs and damaged downloads leave them.
enum class Change { None, CutInHalf, DataBeforeFmt, NoData, Id3InFront, RmidWrapped };

struct Made {
    const char* name; // of the file
    Maker maker;
    QStringList args = {};
    Change change = Change::None;
};

struct Played {
    const char* name;
    Made made;
    double seconds; // how long its sound lasts, played once
};

struct Bound {
    const char* name;
    Made made;
    bool plays;
};

// Undithered: SoX's default dither is random, and a GSM file's peak with it.
QStringList sox(const char* rate, const char* channels, QStringList encoding, double seconds)
{
    return QStringList{"-D", "-n", "-r", rate, "-c", channels} + encoding +
           QStringList{"OUT", "synth", QString::number(seconds), "sine", "440", "gain", "-6"};
}

const QStringList kPlain = sox("22050", "1", {"-b", "16"}, 0.4);
const QString kAbc = "X:1\nT:t\nM:4/4\nL:1/4\nQ:1/4=120\nK:C\nc|\n";

// clang-format off
const Played kTones[] = {
    {"PCM 16-bit 44.1 kHz",      {"a.wav", Maker::Sox, sox("44100", "1", {"-b", "16"}, 0.4)}, 0.4},
    {"PCM 8-bit 8 kHz",          {"b.wav", Maker::Sox, sox("8000", "1", {"-b", "8"}, 0.4)}, 0.4},
    {"PCM 24-bit 96 kHz stereo", {"c.wav", Maker::Sox, sox("96000", "2", {"-b", "24"}, 0.4)}, 0.4},
    {"PCM 32-bit 5.1",           {"d.wav", Maker::Sox, sox("48000", "6", {"-b", "32"}, 0.4)}, 0.4},
    {"float 32-bit", {"e.wav", Maker::Sox, sox("22050", "1", {"-e", "floating-point", "-b", "32"}, 0.4)}, 0.4},
    {"A-law",                    {"g.wav", Maker::Sox, sox("8000", "1", {"-e", "a-law"}, 0.4)}, 0.4},
    {"IMA ADPCM",                {"i.wav", Maker::Sox, sox("11025", "1", {"-e", "ima-adpcm"}, 0.4)}, 0.4},
    {"GSM 6.10",                 {"k.wav", Maker::Sox, sox("8000", "1", {"-e", "gsm-full-rate"}, 0.4)}, 0.4},
    {"MPEG Layer 3 inside WAV",  {"l.wav", Maker::Ffmpeg, {"-i", "TONE", "-c:a", "libmp3lame", "OUT"}}, 0.4},
    {"RF64",                     {"m.wav", Maker::Ffmpeg, {"-i", "TONE", "-rf64", "always", "OUT"}}, 0.4},
    {"data before fmt",          {"n.wav", Maker::Sox, kPlain, Change::DataBeforeFmt}, 0.4},
    {"ID3 tag in front of RIFF", {"o.wav", Maker::Sox, kPlain, Change::Id3InFront}, 0.4},
    {"cut download",             {"p.wav", Maker::Sox, sox("22050", "1", {"-b", "16"}, 0.8), Change::CutInHalf}, 0.4},
    {"mp3",                      {"r.mp3", Maker::Lame, {"--quiet", "-b", "128", "TONE", "OUT"}}, 0.4},
    {"cut mp3",                  {"u.mp3", Maker::Lame, {"--quiet", "TONE", "OUT"}, Change::CutInHalf}, 0.2},
};

// Past the 20 s the mixer once kept of a file at another rate than its own.
const Played kLong = {"long, 22.05 kHz", {"q.wav", Maker::Sox, sox("22050", "1", {"-b", "16"}, 21.5)}, 21.5};

// A half note at 120 a minute, and its release.
const Played kMidi[] = {
    {"MIDI",                    {"s.mid", Maker::Abc2midi, {"IN", "-o", "OUT"}}, 0.5},
    {"RMID, RIFF-wrapped MIDI", {"t.mid", Maker::Abc2midi, {"IN", "-o", "OUT"}, Change::RmidWrapped}, 0.5},
};

const Made kHugeMidi = {"sparse-1.5GB.mid", Maker::Huge};

const Made kRefused[] = {
    {"text.wav", Maker::Text}, {"text.mid", Maker::Text}, {"pipe.wav", Maker::Pipe}, {"pipe.mp3", Maker::Pipe},
    {"pipe.mid", Maker::Pipe}, {"folder.mid", Maker::Folder}, {"dev-zero-link.mid", Maker::DevZero}, kHugeMidi,
    {"missing.mp3", Maker::Nothing}, {"header-without-data.wav", Maker::Sox, kPlain, Change::NoData},
};

// What the mixer takes, and one step beyond.
const Bound kBounds[] = {
    {"1 kHz",        {"r1k.wav", Maker::Sox, sox("1000", "1", {"-b", "16"}, 0.1)}, true},
    {"64 channels",  {"c64.wav", Maker::Sox, sox("8000", "64", {"-b", "16"}, 0.1)}, true},
    {"65 channels",  {"c65.wav", Maker::Sox, sox("8000", "65", {"-b", "16"}, 0.1)}, false},
    {"999 Hz",       {"r999.wav", Maker::Sox, sox("999", "1", {"-b", "16"}, 0.1)}, false},
    {"768 kHz",      {"r768.wav", Maker::Sox, sox("768000", "1", {"-b", "16"}, 0.1)}, true},
    {"768.001 kHz",  {"r769.wav", Maker::Sox, sox("768001", "1", {"-b", "16"}, 0.1)}, false},
};
// clang-format on

template <typename Row, size_t N> void addRows(const Row (&rows)[N])
{
    QTest::addColumn<int>("index");
    for (const Row& row : rows)
        QTest::newRow(row.name) << int(&row - rows);
}

// The tool of each Maker that is one, in their order.
const char* const kTools[] = {"sox", "ffmpeg", "lame", "abc2midi"};

struct Chunks {
    QByteArray fmt, data, rest;
};

// The file's chunks after "WAVE".
Chunks chunksOf(const QByteArray& wave)
{
    Chunks c;
    for (qsizetype pos = 12; pos + 8 <= wave.size();) {
        const quint32 length = qFromLittleEndian<quint32>(wave.constData() + pos + 4);
        const QByteArray chunk = wave.mid(pos, 8 + length + (length & 1));
        (wave.mid(pos, 4) == "fmt " ? c.fmt : wave.mid(pos, 4) == "data" ? c.data : c.rest) += chunk;
        pos += chunk.size();
    }
    return c;
}

} // namespace

class TestSdlAudio : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    DiskCapture m_out;
    std::unique_ptr<SoundPlayer> m_player;
    SdlAudio* m_audio = nullptr;
    qint64 m_restKiB = 0;
    QElapsedTimer m_played; // since the last play began

    QString path(const QString& name) const { return m_dir.filePath(name); }
    static qint64 frames(double seconds) { return qint64(seconds * kRate); }
    static double seconds(qint64 frames) { return double(frames) / kRate; }
    void waitForFrame(qint64 frame) { QTRY_VERIFY_WITH_TIMEOUT(m_out.frames() > frame, 20000); }

    // Empty when the file was made; otherwise why not.
    QString make(const Made& made)
    {
        const QString out = path(made.name);
        switch (made.maker) {
        case Maker::Text:
            return writeFile(out, "Remember to buy milk.\n") ? QString() : "cannot write";
        case Maker::Pipe:
            return ::mkfifo(QFile::encodeName(out).constData(), 0600) == 0 ? QString() : "no fifo";
        case Maker::Folder:
            return QDir().mkdir(out) ? QString() : "no folder";
        case Maker::Huge: {
            QFile f(out);
            return f.open(QIODevice::WriteOnly) && f.write(midiNote(1)) > 0 && f.resize(1500LL << 20)
                       ? QString()
                       : "no sparse file";
        }
        case Maker::Nothing:
            return {};
        case Maker::DevZero:
            return QFile::link("/dev/zero", out) ? QString() : "no link";
        default:
            break;
        }
        const QString tool = kTools[int(made.maker)];
        if (QStandardPaths::findExecutable(tool).isEmpty())
            return "no " + tool;
        const QString tone = path(QString(made.name) + ".tone.wav");
        const QString abc = path(QString(made.name) + ".abc");
        writeFile(abc, kAbc.toLatin1());
        QProcess::execute("sox", sox("44100", "1", {"-b", "16"}, 0.4).replaceInStrings("OUT", tone));
        QStringList args = made.args;
        args.replaceInStrings("OUT", out).replaceInStrings("TONE", tone).replaceInStrings("IN", abc);
        if (made.maker == Maker::Ffmpeg)
            args = QStringList{"-v", "error", "-y"} + args;
        QProcess p;
        p.start(tool, args);
        if (!p.waitForFinished(30000) || p.exitCode() != 0 || !QFile::exists(out))
            return tool + " failed: " + p.readAllStandardError();
        QByteArray bytes = readAll(out);
        switch (made.change) {
        case Change::None:
            return {};
        case Change::CutInHalf:
            bytes.truncate(bytes.size() / 2);
            break;
        case Change::DataBeforeFmt: { // behind an odd-sized chunk and its pad byte
            const Chunks c = chunksOf(bytes);
            bytes = bytes.left(12) + QByteArray("LIST\3\0\0\0abc\0", 12) + c.data + c.fmt + c.rest;
            break;
        }
        case Change::NoData: {
            const Chunks c = chunksOf(bytes);
            bytes = bytes.left(12) + c.fmt + c.rest;
            break;
        }
        case Change::Id3InFront:
            bytes = QByteArray("ID3\x03\0\0\0\0\0\x0a", 10) + QByteArray(10, '\0') + bytes;
            break;
        case Change::RmidWrapped: {
            // An odd-sized chunk with its pad byte before the music, as RIFF editors leave them.
            QByteArray riff("RIFF\0\0\0\0RMIDDISP\3\0\0\0abc\0data", 28);
            putLE(riff, quint32(bytes.size()));
            bytes = riff + bytes;
            qToLittleEndian(quint32(bytes.size() - 8), bytes.data() + 4);
            break;
        }
        }
        return writeFile(out, bytes) ? QString() : "cannot write";
    }

    // The first frame the driver writes from now on: all mixed before has reached the file, block by block.
    qint64 nextFrame()
    {
        waitForFrame(m_out.frames() + frames(0.05));
        return m_out.frames();
    }

    // Starts the file from a quiet output at frame `start`; the call returns at once, whatever the file is.
    void play(const Made& made, bool loop, qint64* start)
    {
        *start = nextFrame();
        m_played.start();
        QVERIFY(m_player->PlayFile(path(made.name), loop));
        QVERIFY2(m_played.elapsed() < 100, qPrintable(QString::number(m_played.elapsed())));
    }

    // Plays the file once to its end: what was heard.
    void playOnce(const Made& made, DiskCapture::Heard* heard)
    {
        qint64 start = 0;
        play(made, false, &start);
        QTRY_VERIFY_WITH_TIMEOUT(!m_player->isPlaying(), 30000);
        waitForFrame(m_out.frames() + frames(0.1));
        *heard = m_out.heard(start, m_out.frames() - start, kAudible);
    }

    // As the mixer's stream decodes it; nothing when refused.
    std::vector<qint16> decoded(const Made& made)
    {
        std::vector<qint16> out;
        WaveStream::decode(::open(QFile::encodeName(path(made.name)).constData(), O_RDONLY | O_CLOEXEC),
                           false, [&](const qint16* frames, int count) {
                               out.insert(out.end(), frames, frames + 2 * count);
                               return true;
                           });
        return out;
    }

    void playsItsToneWhole(const Played& row)
    {
        QCOMPARE(make(row.made), QString());
        DiskCapture::Heard h;
        const std::clock_t cpu = std::clock();
        playOnce(row.made, &h);
        const double share = double(std::clock() - cpu) / CLOCKS_PER_SEC / (m_played.elapsed() / 1000.0);
        QVERIFY2(share < 0.25, qPrintable(QString::number(share))); // decoding waits for room, never spins
        QVERIFY(h.first >= 0);
        const double length = seconds(h.last - h.first);
        QVERIFY2(std::abs(length - row.seconds) < 0.06, qPrintable(QString::number(length)));
        const DiskCapture::Tone tone = m_out.tone(h.first, h.last - h.first);
        QVERIFY2(std::abs(tone.hz / kHz - 1) < 0.02, qPrintable(QString::number(tone.hz)));
        // Within 15%: GSM and a cut file's last wave come out about 10% louder.
        QVERIFY2(std::abs(tone.peak / kPeak - 1) < 0.15, qPrintable(QString::number(tone.peak)));
        // Every file here holds the same wave in each channel; both speakers play it in step.
        QVERIFY2(tone.apart <= 2, qPrintable(QString::number(tone.apart)));
        QCOMPARE(tone.spikes, 0); // one frame out of place; GSM's noise steps up to 2,600
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_player = std::make_unique<SoundPlayer>();
        m_audio = static_cast<SdlAudio*>(&m_player->backend());
        QVERIFY(!m_audio->isOpen()); // nothing is opened before the first sound

        // Where no audio device opens, the alarm goes on silently: every call answers false.
        qputenv("SDL_AUDIODRIVER", "no-such-driver");
        QVERIFY(!m_player->PlayBuiltInLooped(107) && !m_player->isPlaying());
        m_player->StopWaveform();
        QVERIFY(!m_audio->isOpen());

        qputenv("SDL_AUDIODRIVER", "disk");
        qputenv("SDL_DISKAUDIODELAY", "2"); // ms a buffer of 11.6 ms takes
        qputenv("SDL_DISKAUDIOFILE", QFile::encodeName(path("output.raw")));
        m_out.path = path("output.raw");
        // The Options dialog's test of a file may be the first sound of all.
        writeFile(path("first.wav"), waveImage(22050, tonePcm(22050, 0.05, 440)));
        QVERIFY(m_audio->playWaveFile(path("first.wav"), false));
        m_audio->stopWave();
        // The last player gone closes the mixer; the next one opens it again.
        m_player.reset();
        m_player = std::make_unique<SoundPlayer>();
        m_audio = static_cast<SdlAudio*>(&m_player->backend());
        QVERIFY(m_audio->prepare());
        m_restKiB = residentKiB();
    }

    void cleanup()
    {
        m_player->StopWaveform();
        m_player->CloseDevice();
    }

    void eachFilePlaysItsToneWhole_data() { addRows(kTones); }
    void eachFilePlaysItsToneWhole()
    {
        QFETCH(int, index);
        playsItsToneWhole(kTones[index]);
    }

    void aLongFileAtAnotherRatePlaysWhole() { playsItsToneWhole(kLong); }

    // Heard above only as a tone of its length: its data read from the wrong place would still be one.
    void aFileWithItsDataFirstDecodesToTheSameSamples()
    {
        const Made plain{"plain.wav", Maker::Sox, kPlain},
            moved{"moved.wav", Maker::Sox, kPlain, Change::DataBeforeFmt};
        QCOMPARE(make(plain) + make(moved), QString());
        const std::vector<qint16> samples = decoded(plain);
        QVERIFY(!samples.empty() && decoded(moved) == samples);
    }

    // Heard above as the looped fallback would be, which is what a refused file gives.
    void aFileBeyondTheMixersBoundsIsRefused_data() { addRows(kBounds); }
    void aFileBeyondTheMixersBoundsIsRefused()
    {
        QFETCH(int, index);
        const Bound& row = kBounds[index];
        QCOMPARE(make(row.made), QString());
        QCOMPARE(!decoded(row.made).empty(), row.plays);
    }

    void aMidiFilePlaysItsNoteOnce_data() { addRows(kMidi); }
    void aMidiFilePlaysItsNoteOnce()
    {
        QFETCH(int, index);
        const Played& row = kMidi[index];
        QCOMPARE(make(row.made), QString());
        DiskCapture::Heard h;
        playOnce(row.made, &h);
        QVERIFY(h.first >= 0);
        // The release rings on for up to two seconds; the fallback would loop for longer.
        const double length = seconds(h.last - h.first);
        QVERIFY2(length > row.seconds - 0.2 && length < row.seconds + 2, qPrintable(QString::number(length)));
    }

    void whatCannotPlaySoundsTheFallbackLooped_data() { addRows(kRefused); }
    void whatCannotPlaySoundsTheFallbackLooped()
    {
        QFETCH(int, index);
        const Made& made = kRefused[index];
        QCOMPARE(make(made), QString());
        qint64 start = 0;
        play(made, true, &start);
        waitForFrame(start + frames(1.1));
        const DiskCapture::Heard h = m_out.heard(start, frames(1.1), kAudible);
        QVERIFY(h.first >= 0);
        QVERIFY2(h.first - start < frames(0.3), qPrintable(QString::number(seconds(h.first - start))));
        QVERIFY(h.last > start + frames(1.0)); // the 0.6 s fallback goes on past its end
    }

    // A MIDI file's General MIDI bank (over 100 MB) is let go when a run that opened it ahead for its alarm
    // is stopped before the alarm, and when the alarm's sound is stopped; the first after a file over the
    // MIDI size bound was refused.
    void aMidiBankGivesItsMemoryBack()
    {
        QCOMPARE(make(kHugeMidi), QString());
        QVERIFY(m_player->PlayFile(path(kHugeMidi.name), false));
        m_player->StopWaveform();
        writeFile(path("one.mid"), midiNote(1));
        const auto resident = [&] { return QString("%1 KiB, %2 at rest").arg(residentKiB()).arg(m_restKiB); };
        m_player->WarmUp(path("one.mid")); // a run's Start
        QTRY_VERIFY_WITH_TIMEOUT(!m_audio->isPreparing(), 10000);
        m_player->WarmUp(); // its Stop
        QTRY_VERIFY2_WITH_TIMEOUT(residentKiB() < m_restKiB * 13 / 10, qPrintable(resident()), 10000);
        m_player->WarmUp(path("one.mid")); // the next run's Start
        QTRY_VERIFY_WITH_TIMEOUT(!m_audio->isPreparing(), 10000);
        QVERIFY(m_player->PlayFile(path("one.mid"), false));
        QVERIFY(m_audio->isDevicePlaying() && !m_audio->isDeviceLoading());
        m_player->CloseDevice(); // Alarm Off
        QTRY_VERIFY2_WITH_TIMEOUT(residentKiB() < m_restKiB * 13 / 10, qPrintable(resident()), 10000);
    }

    // An opened file, its name quoted or not, waits for "play" however long it loads and plays to its end;
    // with none, "play" fails.
    void anOpenedFileWaitsForPlay()
    {
        QVERIFY(!m_player->PlayDevice());                                            // nothing opened
        QVERIFY(!m_player->OpenDevice("\"\"", AudioBackend::DeviceType::Sequencer)); // no file named
        writeFile(path("one.mid"), midiNote(1));
        QVERIFY(m_player->OpenDevice(path("one.mid"), AudioBackend::DeviceType::Sequencer));
        QTRY_VERIFY_WITH_TIMEOUT(!m_audio->isDeviceLoading(), 10000);
        QVERIFY(!m_audio->isPlaying() && m_player->PlayDevice() && m_audio->isDevicePlaying());
        QTRY_VERIFY_WITH_TIMEOUT(!m_audio->isDevicePlaying(), 10000);
        // Loaded ahead at a run's Start, the same file opens from what was loaded.
        QCOMPARE(make({"ahead.mp3", Maker::Lame, {"--quiet", "TONE", "OUT"}}), QString());
        m_player->WarmUp(path("ahead.mp3"));
        QTRY_VERIFY_WITH_TIMEOUT(!m_audio->isPreparing(), 10000);
        QVERIFY(m_player->OpenDevice('"' + path("ahead.mp3") + '"', AudioBackend::DeviceType::MpegVideo));
        QVERIFY(!m_audio->isDeviceLoading());
        m_player->CloseDevice();
        writeFile(path("two.mid"), midiNote(1)); // another file loaded ahead in its place
        m_player->WarmUp(path("one.mid"));
        m_player->WarmUp(path("two.mid"));
        QTRY_VERIFY_WITH_TIMEOUT(!m_audio->isPreparing(), 10000);
        QVERIFY(m_player->OpenDevice('"' + path("two.mid") + '"', AudioBackend::DeviceType::Sequencer));
        QVERIFY(!m_audio->isDeviceLoading());
        m_player->CloseDevice();
    }

    // The device's fallback leaves a file playing alone; sounds played one after another make room in the
    // cache without letting go of that fallback still ringing. What is no sound is refused.
    void manySoundsLeaveTheRingingFallbackAlone()
    {
        QVERIFY(!m_audio->playWaveImage("RIFF", false) && !m_audio->playWaveFile({}, false));
        writeFile(path("loop.wav"), waveImage(22050, tonePcm(22050, 0.3, 1000)));
        QVERIFY(m_player->PlayFile(path("loop.wav"), true));
        writeFile(path("notes.mid"), "Remember to buy milk.\n");
        QVERIFY(m_player->OpenDevice('"' + path("notes.mid") + '"', AudioBackend::DeviceType::Sequencer));
        QVERIFY(m_player->PlayDevice());
        QTRY_VERIFY_WITH_TIMEOUT(!m_audio->isDeviceLoading(), 10000);
        QVERIFY(m_audio->isWavePlaying());
        for (int hz = 300; hz < 600; hz += 10)
            QVERIFY(m_audio->playWaveImage(waveImage(8000, tonePcm(8000, 0.05, hz)), false));
        QVERIFY(m_audio->isDevicePlaying());
    }

    // A looped file runs on without a gap and stops within 100 ms of "stop waveform"; the same sound asked
    // for once plays once.
    void aLoopedFileLoopsWholeAndStops()
    {
        writeFile(path("loop.wav"), waveImage(22050, tonePcm(22050, 0.3, 1000)));
        const qint64 start = nextFrame();
        m_player->PlayFile(path("loop.wav"), true);
        waitForFrame(start + frames(1.2));
        const DiskCapture::Heard h = m_out.heard(start, frames(1.2), kAudible);
        QVERIFY(h.first >= 0 && h.last > start + frames(1.1));
        QVERIFY2(h.longestGap < 441, qPrintable(QString::number(h.longestGap)));
        const qint64 stop = m_out.frames();
        m_player->StopWaveform();
        waitForFrame(stop + frames(0.4));
        QVERIFY(m_out.heard(stop, frames(0.4), 0).last - stop < frames(0.1));
        const qint64 once = nextFrame();
        QVERIFY(m_audio->playWaveImage(readAll(path("loop.wav")), false));
        waitForFrame(once + frames(0.8));
        const DiskCapture::Heard alone = m_out.heard(once, frames(0.8), kAudible);
        QVERIFY(alone.first >= 0 && alone.last - alone.first < frames(0.35));
    }
};

QTEST_GUILESS_MAIN(TestSdlAudio)
#include "tst_sdlaudio.moc"
