// A user's .wav file: the input is the file. The reader's image keeps the file's structure, the real decoder
// (SDL_mixer, dummy driver) loads it within the time and memory a window can spare (libFuzzer's
// -malloc_limit_mb, set by `make test` and `make fuzz`, bounds the latter), and LoadSound reads it as text.

#include "FuzzCheck.h"
#include "sound/SdlAudio.h"
#include "sound/SoundPlayer.h"
#include "sound/WaveFile.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QtEndian>
#include <cstdint>

using namespace zentimo;
using zentimo::fuzz::check;

namespace {

// The image is a RIFF WAVE of its own length: the file's format, then whole blocks of the file's data.
void checkImage(const QByteArray& file, const QByteArray& image)
{
    if (image.isEmpty())
        return;
    const auto at = [&](qsizetype pos) {
        return qFromLittleEndian<quint32>(image.mid(pos, 4).leftJustified(4, '\0').constData());
    };
    const qsizetype dataHeader = 20 + at(16) + (at(16) & 1);
    const QByteArray data = image.mid(dataHeader + 8, at(dataHeader + 4));
    check(file.startsWith("RIFF") && image.startsWith("RIFF") && image.mid(8, 8) == "WAVEfmt " &&
              at(4) == quint32(image.size() - 8) && image.mid(dataHeader, 4) == "data",
          "the image is a RIFF WAVE of its own length, made from one");
    check(file.contains(image.mid(20, at(16))) && !data.isEmpty() && file.contains(data),
          "the format and the data are the file's own");
    check(quint16(at(32)) > 0 && data.size() % quint16(at(32)) == 0, "whole blocks only");
    check(at(24) >= quint32(WaveFile::kMinRate), "no rate below what sound files use");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static SdlAudio audio; // one mixer for the whole run, on SDL's dummy driver
    const QByteArray file(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString path = fuzz::scratchFile(QStringLiteral("sound.wav"), file);
    checkImage(file, WaveFile::readImage(path));

    QElapsedTimer clock;
    clock.start();
    audio.playWaveFile(path, false);
    audio.stopWave();
    check(clock.elapsed() < 2000, "a sound file loads in under 2 s");

    const QString expected =
        QString::fromLatin1(file).remove(QRegularExpression(QStringLiteral("^ +| +\\z")));
    check(SoundPlayer::LoadSound(path) == expected,
          "LoadSound reads the file, one character a byte, trimmed of blanks");
    return 0;
}
