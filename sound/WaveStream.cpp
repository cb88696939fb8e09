#include "sound/WaveStream.h"

#include "sound/RegularFile.h"
#include "sound/SdlApi.h"

#include <QtEndian>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <thread>
#include <unistd.h>

namespace zentimo {

namespace {

// Two channels at most: the front pair, each with an equal share of every other channel, so a tone in all
// channels keeps its level.
void toStereo(const float* in, int frames, int channels, float* out)
{
    const auto clean = [](float v) { return std::isfinite(v) ? std::clamp(v, -1.0f, 1.0f) : 0.0f; };
    for (int f = 0; f < frames; ++f) {
        const float* s = in + qsizetype(f) * channels;
        if (channels == 1) {
            out[2 * f] = out[2 * f + 1] = clean(s[0]);
            continue;
        }
        float rest = 0;
        for (int c = 2; c < channels; ++c)
            rest += clean(s[c]);
        const float share = 1.0f / float(channels - 1);
        out[2 * f] = (clean(s[0]) + rest) * (channels > 2 ? share : 1.0f);
        out[2 * f + 1] = (clean(s[1]) + rest) * (channels > 2 ? share : 1.0f);
    }
}

// A RIFF WAVE file whose "data" comes before its "fmt ", which libsndfile refuses: shown to it as a file of
// the header and the format followed by the data, read in place.
struct Reordered {
    int fd = -1;
    QByteArray head; // "RIFF" size "WAVE", the "fmt " chunk, the "data" chunk's header
    qint64 dataAt = 0, dataLength = 0, pos = 0;

    static bool find(int fd, Reordered& r)
    {
        const qint64 size = ::lseek(fd, 0, SEEK_END);
        char h[12];
        if (::pread(fd, h, 12, 0) != 12 || memcmp(h, "RIFF", 4) != 0 || memcmp(h + 8, "WAVE", 4) != 0)
            return false;
        QByteArray fmt;
        for (qint64 at = 12; at + 8 <= size;) {
            char c[8];
            if (::pread(fd, c, 8, at) != 8)
                return false;
            const qint64 length = qFromLittleEndian<quint32>(c + 4);
            if (memcmp(c, "fmt ", 4) == 0 && length <= 4096) {
                fmt = QByteArray(c, 8) + QByteArray(length + (length & 1), '\0');
                if (::pread(fd, fmt.data() + 8, size_t(length), at + 8) != length)
                    return false;
            } else if (memcmp(c, "data", 4) == 0 && r.dataLength == 0) {
                r.dataAt = at + 8;
                r.dataLength = std::min(length, size - r.dataAt);
            }
            at += 8 + length + (length & 1);
        }
        if (fmt.isEmpty() || r.dataLength <= 0)
            return false;
        r.fd = fd;
        r.head = QByteArray("RIFF\0\0\0\0WAVE", 12) + fmt + QByteArray("data", 4);
        char len[4];
        qToLittleEndian<quint32>(quint32(r.dataLength), len);
        r.head.append(len, 4);
        qToLittleEndian<quint32>(quint32(r.head.size() - 8 + r.dataLength), r.head.data() + 4);
        return true;
    }

    static sf_count_t length(void* self)
    {
        auto* r = static_cast<Reordered*>(self);
        return r->head.size() + r->dataLength;
    }
    static sf_count_t seek(sf_count_t offset, int whence, void* self)
    {
        auto* r = static_cast<Reordered*>(self);
        const qint64 base = whence == SEEK_CUR ? r->pos : whence == SEEK_END ? length(self) : 0;
        r->pos = std::clamp<qint64>(base + offset, 0, length(self));
        return r->pos;
    }
    static sf_count_t read(void* out, sf_count_t count, void* self)
    {
        auto* r = static_cast<Reordered*>(self);
        sf_count_t done = 0;
        char* to = static_cast<char*>(out);
        if (r->pos < r->head.size()) {
            done = std::min<sf_count_t>(count, r->head.size() - r->pos);
            memcpy(to, r->head.constData() + r->pos, size_t(done));
            r->pos += done;
        }
        const qint64 inData = r->pos - r->head.size();
        const sf_count_t want = std::min<sf_count_t>(count - done, r->dataLength - inData);
        if (want > 0) {
            const ssize_t n = ::pread(r->fd, to + done, size_t(want), r->dataAt + inData);
            if (n > 0) {
                done += n;
                r->pos += n;
            }
        }
        return done;
    }
    static sf_count_t write(const void*, sf_count_t, void*) { return 0; }
    static sf_count_t tell(void* self) { return static_cast<Reordered*>(self)->pos; }
};

} // namespace

bool WaveStream::decode(int fd, bool loop, const std::function<bool(const qint16*, int)>& sink,
                        const std::atomic<bool>* cancelled)
{
    const sdl::Api& a = sdl::api();
    if (!a.ok) {
        ::close(fd);
        return false;
    }
    SF_INFO info{};
    const int again = ::dup(fd);
    SNDFILE* file = a.sf_open_fd(fd, SFM_READ, &info, SF_TRUE);
    Reordered reordered;
    SF_VIRTUAL_IO io{Reordered::length, Reordered::seek, Reordered::read, Reordered::write, Reordered::tell};
    if (!file && again >= 0 && Reordered::find(again, reordered))
        file = a.sf_open_virtual(&io, SFM_READ, &info, &reordered);
    if (!file) {
        if (again >= 0)
            ::close(again);
        return false;
    }
    bool played = false;
    SDL_AudioStream* conv = nullptr;
    if (info.channels > 0 && info.channels <= 64 && info.samplerate >= 1000 && info.samplerate <= 768000)
        conv = a.SDL_NewAudioStream(AUDIO_F32SYS, 2, info.samplerate, AUDIO_S16SYS, 2, kRate);
    if (conv) {
        std::vector<float> in(size_t(kPieceFrames) * size_t(info.channels));
        std::vector<float> stereo(size_t(kPieceFrames) * 2);
        std::vector<qint16> out(size_t(kPieceFrames) * 8);
        const auto drain = [&] {
            for (;;) {
                const int got = a.SDL_AudioStreamGet(conv, out.data(), int(out.size() * sizeof(qint16)));
                if (got <= 0)
                    return true;
                if (!sink(out.data(), got / 4))
                    return false;
            }
        };
        bool more = true;
        bool rewound = false; // a loop that decodes nothing between two rewinds plays nothing
        while (more && !(cancelled && cancelled->load())) {
            const sf_count_t n = a.sf_readf_float(file, in.data(), kPieceFrames);
            if (n <= 0) {
                if (loop && played && !rewound && a.sf_seek(file, 0, SEEK_SET) == 0) {
                    rewound = true;
                    continue;
                }
                // The converter holds back its last input until more follows: silence pushes it out.
                std::fill(stereo.begin(), stereo.end(), 0.0f);
                a.SDL_AudioStreamPut(conv, stereo.data(), int(stereo.size() * sizeof(float)));
                a.SDL_AudioStreamFlush(conv);
                drain();
                break;
            }
            rewound = false;
            played = true;
            toStereo(in.data(), int(n), info.channels, stereo.data());
            more = a.SDL_AudioStreamPut(conv, stereo.data(), int(n * 2 * sizeof(float))) == 0 && drain();
        }
        a.SDL_FreeAudioStream(conv);
    }
    a.sf_close(file);
    if (again >= 0)
        ::close(again);
    return played;
}

std::shared_ptr<WaveStream> WaveStream::start(const QString& path, bool loop, Report report)
{
    std::shared_ptr<WaveStream> stream(new WaveStream);
    stream->m_report = std::move(report);
    // The thread keeps the stream alive until it ends, so it is never joined on the caller's thread.
    std::thread([stream, path, loop] { stream->run(path, loop); }).detach();
    return stream;
}

WaveStream::~WaveStream() = default;

void WaveStream::cancel()
{
    m_cancelled = true;
    m_wake.notify_all();
}

void WaveStream::finish(Outcome outcome)
{
    if (!m_reported.exchange(true) && !m_cancelled && m_report)
        m_report(outcome);
}

void WaveStream::run(const QString& path, bool loop)
{
    const int fd = RegularFile::open(path);
    const bool played = fd >= 0 && decode(
                                       fd, loop,
                                       [this](const qint16* frames, int count) {
                                           while (count > 0) {
                                               std::unique_lock lock(m_mutex);
                                               // The audio thread frees room without telling: look again
                                               // every few milliseconds.
                                               m_wake.wait_for(lock, std::chrono::milliseconds(5), [&] {
                                                   return m_cancelled || m_written - m_read < kRingFrames;
                                               });
                                               if (m_cancelled)
                                                   return false;
                                               const qint64 w = m_written;
                                               const int room =
                                                   int(std::min<qint64>(count, kRingFrames - (w - m_read)));
                                               for (int i = 0; i < room; ++i) {
                                                   const size_t at = size_t((w + i) % kRingFrames) * 2;
                                                   m_ring[at] = frames[2 * i];
                                                   m_ring[at + 1] = frames[2 * i + 1];
                                               }
                                               m_written = w + room;
                                               frames += 2 * room;
                                               count -= room;
                                           }
                                           return true;
                                       },
                                       &m_cancelled);
    if (!played)
        finish(Outcome::Failed);
    m_decoded = true;
}

void WaveStream::fill(qint16* out, int frames)
{
    const qint64 r = m_read;
    const int have = int(std::min<qint64>(frames, m_written - r));
    for (int i = 0; i < have; ++i) {
        const size_t at = size_t((r + i) % kRingFrames) * 2;
        out[2 * i] = m_ring[at];
        out[2 * i + 1] = m_ring[at + 1];
    }
    std::memset(out + 2 * have, 0, size_t(frames - have) * 2 * sizeof(qint16));
    m_read = r + have;
    if (have < frames && m_decoded && m_written == m_read)
        finish(Outcome::Ended);
}

} // namespace zentimo
