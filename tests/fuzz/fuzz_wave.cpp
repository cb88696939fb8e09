// A user's .wav file: the input is the file. The real decoder (libsndfile, in the pieces playback uses)
// takes it within the time and memory a sound may cost (libFuzzer's -malloc_limit_mb, set by `make test`
// and `make fuzz`, bounds the latter), and LoadSound reads it as text.

#include "FuzzCheck.h"
#include "sound/RegularFile.h"
#include "sound/SoundPlayer.h"
#include "sound/WaveStream.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <cstdint>

using namespace zentimo;
using zentimo::fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray file(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString path = fuzz::scratchFile(QStringLiteral("sound.wav"), file);

    // Decoding the whole file, at most 10 minutes of it (a file of tiny blocks claims hours).
    QElapsedTimer clock;
    clock.start();
    qint64 frames = 0;
    const int fd = RegularFile::open(path);
    check(fd >= 0, "a regular file opens");
    WaveStream::decode(fd, false, [&](const qint16*, int count) {
        frames += count;
        return frames < 600LL * WaveStream::kRate;
    });
    check(clock.elapsed() < 2000, "a sound file decodes in under 2 s");

    const QString expected =
        QString::fromLatin1(file).remove(QRegularExpression(QStringLiteral("^ +| +\\z")));
    check(SoundPlayer::LoadSound(path) == expected,
          "LoadSound reads the file, one character a byte, trimmed of blanks");
    return 0;
}
