// How long from the alarm's call to the first sample of its sound in the output: a built-in sound
// (PlayBuiltInLooped, what the alarm calls), a .mid (cold, and opened ahead at Start as a run does), a .wav
// and an .mp3 (PlayFile), 20 runs each. For the .mid also how long OpenDevice itself holds the caller (the
// user-interface thread): the first time, again for the same file, and for another file.
//
// Runs on SDL's "disk" driver. The sample is found in the driver's output file; its time comes from a
// post-mix hook that stamps every buffer the mixer hands to the driver (frame index, steady clock), so
// frame k sounded at stamp(buffer of k) + (k - first frame of that buffer) / rate. Anchoring on each buffer
// rather than on the moment the device opened avoids the driver's drift: it sleeps whole milliseconds per
// buffer, so its stream runs ahead of the wall clock and a fixed anchor would be off by seconds after a
// while.

#include "WaveWriter.h"
#include "sound/SdlAudio.h"
#include "sound/SoundPlayer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <SDL_mixer.h>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <vector>

using namespace zentimo;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kRuns = 20;
constexpr int kChannels = 2;
constexpr int kBytesPerFrame = 2 * kChannels;
constexpr int kAudible = 328; // -40 dBFS: above the 8-bit sounds' dither

struct Stamp {
    qint64 firstFrame;
    qint64 ns;
};

// Written by the audio thread only; `count` publishes the entries.
std::vector<Stamp> g_stamps(1 << 20);
std::atomic<size_t> g_count{0};
qint64 g_framesMixed = 0;
// The hook's own view of the first sound after `g_armedAt`, to check the file's frame numbering against.
std::atomic<qint64> g_armedAt{-1};
std::atomic<qint64> g_hookSawSound{-1};

void stampBuffer(void*, Uint8* stream, int len)
{
    const qint64 armedAt = g_armedAt.load();
    if (armedAt >= 0 && g_hookSawSound.load() < 0) {
        const auto* s = reinterpret_cast<const qint16*>(stream);
        for (int i = 0; i < len / 2; ++i) {
            if (s[i] != 0 && g_framesMixed + i / kChannels >= armedAt) {
                g_hookSawSound = g_framesMixed + i / kChannels;
                break;
            }
        }
    }
    const size_t i = g_count.load(std::memory_order_relaxed);
    if (i < g_stamps.size()) {
        g_stamps[i] = {g_framesMixed, qint64(std::chrono::duration_cast<std::chrono::nanoseconds>(
                                                 Clock::now().time_since_epoch())
                                                 .count())};
        g_count.store(i + 1, std::memory_order_release);
    }
    g_framesMixed += len / kBytesPerFrame;
}

qint64 nowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch()).count();
}

// Frames mixed before `ns`: the end of the last buffer stamped before it.
qint64 framesMixedBefore(qint64 ns)
{
    const size_t n = g_count.load(std::memory_order_acquire);
    qint64 frames = 0;
    for (size_t i = 0; i < n && g_stamps[i].ns <= ns; ++i)
        frames = i + 1 < n ? g_stamps[i + 1].firstFrame : g_stamps[i].firstFrame + SdlAudio::kBufferFrames;
    return frames;
}

double frameTimeNs(qint64 frame)
{
    const size_t n = g_count.load(std::memory_order_acquire);
    size_t i = 0;
    while (i + 1 < n && g_stamps[i + 1].firstFrame <= frame)
        ++i;
    return double(g_stamps[i].ns) + double(frame - g_stamps[i].firstFrame) * 1e9 / SdlAudio::kRate;
}

class Output {
public:
    explicit Output(QString path) : m_path(std::move(path)) {}

    qint64 frames() const { return QFileInfo(m_path).size() / kBytesPerFrame; }

    // First frame at or after `from` whose louder channel exceeds `threshold`; waits for the file to fill.
    qint64 firstAbove(qint64 from, int threshold, qint64 within) const
    {
        while (frames() < from + within) {
            QCoreApplication::processEvents(); // files are opened on a loader thread, reported here
            QThread::msleep(1);
        }
        QFile f(m_path);
        if (!f.open(QIODevice::ReadOnly) || !f.seek(from * kBytesPerFrame))
            return -1;
        const QByteArray raw = f.read(within * kBytesPerFrame);
        const auto* s = reinterpret_cast<const qint16*>(raw.constData());
        for (qint64 i = 0; i < raw.size() / kBytesPerFrame; ++i) {
            if (std::abs(int(s[2 * i])) > threshold || std::abs(int(s[2 * i + 1])) > threshold)
                return from + i;
        }
        return -1;
    }

private:
    QString m_path;
};

struct Run {
    double firstSampleMs;
    double audibleMs;
};

// Lets the mixer run until every buffer mixed before now has been written.
void settle()
{
    for (int i = 0; i < 150; ++i) {
        QCoreApplication::processEvents();
        QThread::msleep(1);
    }
}

int g_mismatches = 0;

template <typename Start> Run measure(const Output& out, Start start)
{
    settle();
    g_hookSawSound = -1;
    g_armedAt = g_framesMixed;
    const qint64 called = nowNs();
    start();
    const qint64 from = framesMixedBefore(called);
    const qint64 within = SdlAudio::kRate; // a second is plenty
    const qint64 first = out.firstAbove(from, 0, within);
    const qint64 audible = out.firstAbove(from, kAudible, within);
    g_armedAt = -1;
    if (first != g_hookSawSound.load())
        ++g_mismatches;
    if (first < 0 || audible < 0)
        return {NAN, NAN};
    return {(frameTimeNs(first) - double(called)) / 1e6, (frameTimeNs(audible) - double(called)) / 1e6};
}

void report(const char* what, std::vector<Run> runs)
{
    const auto median = [&](double Run::*field) {
        std::vector<double> v;
        for (const Run& r : runs)
            v.push_back(r.*field);
        std::sort(v.begin(), v.end());
        return std::pair{v[v.size() / 2], std::pair{v.front(), v.back()}};
    };
    const auto [first, firstRange] = median(&Run::firstSampleMs);
    const auto [audible, audibleRange] = median(&Run::audibleMs);
    std::printf("%-34s first sample  median %6.2f ms  (min %6.2f, max %6.2f)\n", what, first,
                firstRange.first, firstRange.second);
    std::printf("%-34s above -40 dBFS median %6.2f ms  (min %6.2f, max %6.2f)\n", "", audible,
                audibleRange.first, audibleRange.second);
}

} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir dir;
    const QString raw = dir.filePath("output.raw");
    qputenv("SDL_AUDIODRIVER", "disk");
    qputenv("SDL_DISKAUDIOFILE", QFile::encodeName(raw));
    QCoreApplication app(argc, argv);
    Output out(raw);

    std::printf("SDL disk driver, %d Hz, buffer %d frames (%.1f ms), %d runs each\n", SdlAudio::kRate,
                SdlAudio::kBufferFrames, 1000.0 * SdlAudio::kBufferFrames / SdlAudio::kRate, kRuns);

    SoundPlayer player;

    // The very first alarm also opens the device and converts the sound.
    Mix_SetPostMix(stampBuffer, nullptr); // kept by the mixer when it opens: the stamps start with the file
    g_armedAt = 0;
    const qint64 coldCall = nowNs();
    if (!player.PlayBuiltInLooped(107)) {
        std::fprintf(stderr, "cannot open the disk audio driver\n");
        return 1;
    }
    const qint64 coldFirst = out.firstAbove(0, 0, SdlAudio::kRate);
    g_armedAt = -1;
    if (coldFirst != g_hookSawSound.load())
        ++g_mismatches;
    std::printf("%-34s first sample  %6.2f ms (device opened by the call)\n", "cold start, built-in 107",
                (frameTimeNs(coldFirst) - double(coldCall)) / 1e6);
    player.StopWaveform();

    std::vector<Run> builtIn;
    for (int i = 0; i < kRuns; ++i) {
        builtIn.push_back(measure(out, [&] { player.PlayBuiltInLooped(107); }));
        player.StopWaveform();
    }
    report("built-in 107, PlayBuiltInLooped", builtIn);

    const auto elapsedMs = [](auto call) {
        const qint64 from = nowNs();
        call();
        return double(nowNs() - from) / 1e6;
    };
    const QString mid = dir.filePath("alarm tune.mid");
    const QString otherMid = dir.filePath("other tune.mid");
    if (!test::writeFile(mid, test::midiNote(1)) || !test::writeFile(otherMid, test::midiNote(2)))
        return 1;
    const auto openMid = [&](const QString& path) {
        return elapsedMs([&] {
            player.OpenDevice('"' + SoundPlayer::ShortPath(path) + '"', AudioBackend::DeviceType::Sequencer);
        });
    };
    const double firstOpen = openMid(mid);
    player.CloseDevice();
    std::vector<double> opens;
    std::vector<Run> midi;
    for (int i = 0; i < kRuns; ++i) {
        midi.push_back(measure(out, [&] {
            opens.push_back(openMid(mid));
            player.PlayDevice();
        }));
        player.CloseDevice();
    }
    const double otherOpen = openMid(otherMid);
    player.CloseDevice();
    std::sort(opens.begin(), opens.end());
    std::printf("%-34s first %.1f ms (reads the sound font); again median %.2f ms (min %.2f, max %.2f); "
                "another file %.1f ms\n",
                ".mid, OpenDevice holds the caller", firstOpen, opens[opens.size() / 2], opens.front(),
                opens.back(), otherOpen);
    report(".mid, OpenDevice + PlayDevice", midi);

    // The alarm of a run whose .mid was chosen earlier: the run's Start opened it ahead.
    std::vector<Run> midiAlarm;
    for (int i = 0; i < kRuns; ++i) {
        player.WarmUp(mid);
        while (static_cast<SdlAudio&>(player.backend()).isPreparing()) {
            QCoreApplication::processEvents();
            QThread::msleep(1);
        }
        midiAlarm.push_back(measure(out, [&] { player.PlayFile(mid, false); }));
        player.CloseDevice();
    }
    report(".mid alarm, opened at Start", midiAlarm);

    const QString wav = dir.filePath("alarm tone.wav");
    if (!test::writeFile(wav, test::waveImage(22050, test::tonePcm(22050, 1.0, 660))))
        return 1;
    std::vector<Run> wave;
    for (int i = 0; i < kRuns; ++i) {
        wave.push_back(measure(out, [&] { player.PlayFile(wav, true); }));
        player.StopWaveform();
    }
    report(".wav alarm, PlayFile", wave);

    const QString lame = QStandardPaths::findExecutable("lame");
    if (lame.isEmpty()) {
        std::printf("no mp3 encoder (lame): .mp3 not measured\n");
        return 0;
    }
    // One second of a 660 Hz tone, at half level from the first sample.
    const QString source = dir.filePath("tone.wav");
    if (!test::writeFile(source, test::waveImage(SdlAudio::kRate, test::tonePcm(SdlAudio::kRate, 1.0, 660))))
        return 1;
    const QString mp3 = dir.filePath("alarm tone.mp3");
    if (QProcess::execute(lame, {"--quiet", "-b", "128", source, mp3}) != 0)
        return 1;
    std::vector<Run> file;
    for (int i = 0; i < kRuns; ++i) {
        file.push_back(measure(out, [&] { player.PlayFile(mp3, false); }));
        player.CloseDevice();
    }
    report(".mp3 alarm, PlayFile", file);
    std::printf("runs where the file and the mixer hook disagree on the first sample: %d\n", g_mismatches);
    Mix_SetPostMix(nullptr, nullptr);
    return 0;
}
