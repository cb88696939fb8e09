#include "sound/WaveFile.h"

#include "sound/SdlAudio.h"

#include <QFile>
#include <QtEndian>
#include <algorithm>
#include <cstring>

namespace zentimo {

namespace {

constexpr qint64 kMaxFormatBytes = 4096;

quint16 le16(const char* p)
{
    return qFromLittleEndian<quint16>(p);
}

quint32 le32(const char* p)
{
    return qFromLittleEndian<quint32>(p);
}

void appendChunk(QByteArray& image, const char* id, const QByteArray& body)
{
    image.append(id, 4);
    char size[4];
    qToLittleEndian<quint32>(quint32(body.size()), size);
    image.append(size, 4);
    image.append(body);
    if (body.size() & 1)
        image.append('\0');
}

struct Format {
    quint16 tag = 0;
    quint16 channels = 0;
    quint32 rate = 0;
    quint16 blockAlign = 0;
};

Format parseFormat(const QByteArray& fmt)
{
    char f[40] = {}; // the longest layout read here: WAVE_FORMAT_EXTENSIBLE
    memcpy(f, fmt.constData(), size_t(std::min<qsizetype>(fmt.size(), sizeof f)));
    Format format{le16(f), le16(f + 2), le32(f + 4), le16(f + 12)};
    if (format.tag == 0xFFFE && fmt.size() >= 40) // the real format is the start of its GUID
        format.tag = le16(f + 24);
    return format;
}

// Bytes one second of this format takes at least, or 0 for a format no sound file has.
qint64 bytesPerSecond(const Format& format)
{
    if (format.channels == 0 || format.rate < quint32(WaveFile::kMinRate) || format.rate > 768000 ||
        format.blockAlign == 0)
        return 0;
    switch (format.tag) {
    case 0x0002: // MS ADPCM
    case 0x0011: // IMA ADPCM: four bits a sample
        return std::max<qint64>(1, qint64(format.rate) * format.channels / 2);
    default:
        return qint64(format.rate) * format.blockAlign; // PCM, float, A-law, mu-law
    }
}

// What one second of this format costs the mixer at most while it is decoded and converted: the samples
// widened to 32 bits at the file's rate, then a buffer as long as the conversion to the device's rate,
// in 32 bits, at least stereo, may need (the converter rounds the rate's ratio up).
qint64 decodedBytesPerSecond(const Format& format)
{
    const qint64 rate = format.rate;
    const qint64 upsampling = (SdlAudio::kRate + rate - 1) / rate;
    return rate * format.channels * 4 + rate * std::max<qint64>(format.channels, 2) * 4 * upsampling;
}

} // namespace

QByteArray WaveFile::readImage(const QString& path, qint64 maxDataBytes, int maxSeconds)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const qint64 fileSize = file.size();
    char header[12];
    if (file.read(header, 12) != 12 || memcmp(header, "RIFF", 4) != 0 || memcmp(header + 8, "WAVE", 4) != 0)
        return {};

    QByteArray fmt;
    qint64 pos = 12;
    while (pos + 8 <= fileSize) {
        char chunk[8];
        if (!file.seek(pos) || file.read(chunk, 8) != 8)
            return {};
        const qint64 length = le32(chunk + 4);
        const qint64 bodyPos = pos + 8;
        if (memcmp(chunk, "fmt ", 4) == 0) {
            if (length < 16 || length > kMaxFormatBytes || bodyPos + length > fileSize)
                return {};
            fmt = file.read(length);
            if (fmt.size() != length)
                return {};
        } else if (memcmp(chunk, "data", 4) == 0) {
            if (fmt.isEmpty())
                return {};
            const Format format = parseFormat(fmt);
            const qint64 perSecond = bytesPerSecond(format);
            if (perSecond == 0)
                return {};
            qint64 seconds = std::min<qint64>(maxSeconds, kMaxDecodedBytes / decodedBytesPerSecond(format));
            if (format.rate != quint32(SdlAudio::kRate))
                seconds = std::min<qint64>(seconds, kMaxResampledSeconds);
            qint64 take = std::min({length, fileSize - bodyPos, maxDataBytes, perSecond * seconds});
            take -= take % format.blockAlign;
            if (take <= 0)
                return {};
            QByteArray data(take, Qt::Uninitialized);
            if (file.read(data.data(), take) != take)
                return {};
            QByteArray image("RIFF\0\0\0\0WAVE", 12);
            appendChunk(image, "fmt ", fmt);
            appendChunk(image, "data", data);
            qToLittleEndian<quint32>(quint32(image.size() - 8), image.data() + 4);
            return image;
        }
        pos = bodyPos + length + (length & 1);
    }
    return {};
}

} // namespace zentimo
