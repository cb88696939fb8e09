// A user's .wav file: the input is the file. The reader's image keeps the file's own structure, the
// real decoder (SDL_mixer on its dummy driver) turns it into sound within the time and memory a window
// can spare, and LoadSound reads it as text. Allocation beyond the bound is caught by libFuzzer's
// -malloc_limit_mb, which `make test` and `make fuzz` set.

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

void checkImage(const QByteArray& file, const QByteArray& image)
{
    if (image.isEmpty())
        return;
    // The first "fmt " body and the "data" chunk that follows it, walking the file's chunks.
    QByteArray fmt;
    qint64 pos = 12;
    for (qint64 length = 0; pos + 8 <= file.size() && file.mid(pos, 4) != "data";
         pos += 8 + length + (length & 1)) {
        length = qFromLittleEndian<quint32>(file.constData() + pos + 4);
        if (file.mid(pos, 4) == "fmt ")
            fmt = file.mid(pos + 8, length);
    }
    check(file.startsWith("RIFF") && file.mid(8, 4) == "WAVE" && pos + 8 <= file.size(),
          "an image only from a WAVE file with a data chunk");
    const qint64 dataPos = pos + 8;
    const qint64 dataLength = qFromLittleEndian<quint32>(file.constData() + pos + 4);
    check(image.startsWith("RIFF") && image.mid(8, 8) == "WAVEfmt " &&
              qFromLittleEndian<quint32>(image.constData() + 4) == quint32(image.size() - 8),
          "the image is a RIFF WAVE of its own length");
    const qsizetype fmtLength = qFromLittleEndian<quint32>(image.constData() + 16);
    check(image.mid(20, fmtLength) == fmt, "the format is the file's");
    const qsizetype dataHeader = 20 + fmtLength + (fmtLength & 1);
    check(image.mid(dataHeader, 4) == "data", "the data chunk follows the format");
    const qint64 taken = qFromLittleEndian<quint32>(image.constData() + dataHeader + 4);
    check(taken > 0 && taken <= dataLength && image.mid(dataHeader + 8, taken) == file.mid(dataPos, taken),
          "the data is the start of the file's own");
    const quint16 blockAlign = qFromLittleEndian<quint16>(fmt.constData() + 12);
    check(blockAlign > 0 && taken % blockAlign == 0, "whole blocks only");
    check(qFromLittleEndian<quint32>(fmt.constData() + 4) >= quint32(WaveFile::kMinRate),
          "no rate below what sound files use");
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
