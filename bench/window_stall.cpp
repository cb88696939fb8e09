// How long the window's thread is held while sound files are tested and stopped, per kind of file: an
// event-loop probe (a 1 ms timer; a stall is how much later than due a tick comes) runs while each file is
// played ("Test") and stopped ("Stop") ten times. Also the program's memory at rest, while a .mid plays,
// and 10 s after it stopped. Runs on SDL's "disk" driver.

#include "WaveWriter.h"
#include "sound/SdlAudio.h"
#include "sound/SoundPlayer.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace zentimo;

namespace {

qint64 residentKiB()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    return statm.open(QIODevice::ReadOnly)
               ? statm.readAll().split(' ').value(1).toLongLong() * (sysconf(_SC_PAGESIZE) / 1024)
               : -1;
}

// Runs the event loop for `ms`, returning the lateness of every 1 ms tick in ms.
std::vector<double> probe(int ms, const std::function<void()>& during)
{
    std::vector<double> late;
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    tick.setInterval(1);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        late.push_back(std::max(0.0, double(now - last) / 1e6 - 1.0));
        last = now;
    });
    tick.start();
    QTimer::singleShot(5, during);
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
    return late;
}

} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir dir;
    qputenv("SDL_AUDIODRIVER", "disk");
    qputenv("SDL_DISKAUDIOFILE", QFile::encodeName(dir.filePath("output.raw")));
    QCoreApplication app(argc, argv);
    SoundPlayer player;
    static_cast<SdlAudio&>(player.backend()).prepare();
    const qint64 rest = residentKiB();

    const QString wav = dir.filePath("song.wav"); // three minutes at 22.05 kHz, as a song exported to .wav
    const QString mp3 = dir.filePath("song.mp3");
    const QString mid = dir.filePath("tune.mid");
    const QString pipe = dir.filePath("pipe.mid");
    const QString folder = dir.filePath("folder.mid");
    test::writeFile(wav, test::waveImage(22050, test::tonePcm(22050, 180, 440)));
    QProcess::execute("lame", {"--quiet", "-b", "128", wav, mp3});
    test::writeFile(mid, test::midiNote(1));
    ::mkfifo(QFile::encodeName(pipe).constData(), 0600);
    QDir().mkdir(folder);

    struct Kind {
        const char* name;
        QString path;
    };
    std::printf("%-26s %10s %10s   (ms a 1 ms tick came late, Test + Stop x10)\n", "file", "median", "worst");
    qint64 playingMidi = 0;
    qint64 beforeMidi = 0;
    std::vector<Kind> kinds{{".wav, 3 min", wav},
                            {".mp3, 3 min", mp3},
                            {".mid (first: bank)", mid},
                            {"named pipe .mid", pipe},
                            {"folder named .mid", folder}};
    if (argc > 1) // "mid": the .mid alone, for its memory
        kinds = {{".mid (first: bank)", mid}};
    for (const Kind& k : kinds) {
        std::vector<double> all;
        if (k.path == mid)
            beforeMidi = residentKiB();
        for (int i = 0; i < 10; ++i) {
            const auto late = probe(400, [&] {
                player.PlayFile(k.path, true);
                QTimer::singleShot(300, [&] {
                    if (k.path == mid)
                        playingMidi = std::max(playingMidi, residentKiB());
                    player.StopWaveform();
                    player.CloseDevice();
                });
            });
            all.insert(all.end(), late.begin(), late.end());
        }
        std::sort(all.begin(), all.end());
        std::printf("%-26s %10.2f %10.2f\n", k.name, all[all.size() / 2], all.back());
    }
    probe(10000, [] {});
    std::printf("memory: at rest %lld KiB; after the .wav and .mp3 files %lld KiB; a .mid playing %lld KiB; "
                "10 s after it stopped %lld KiB\n",
                (long long)rest, (long long)beforeMidi, (long long)playingMidi, (long long)residentKiB());
    return 0;
}
