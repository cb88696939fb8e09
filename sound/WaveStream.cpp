#include "sound/WaveStream.h"

#include "sound/RegularFile.h"
#include "sound/SdlApi.h"

#include <QtEndian>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <span>
#include <thread>
#include <unistd.h>

namespace zentimo {

namespace {

// Two channels at most: the front pair, each with an equal share of every other channel, so a tone in all
// channels keeps its level.
void toStereo(std::span<const float> in, int channels, std::span<float> out)
{
    const auto clean = [](float v) { return std::isfinite(v) ? std::clamp(v, -1.0f, 1.0f) : 0.0f; };
    const qsizetype frames = qsizetype(in.size()) / channels;
    for (qsizetype f = 0; f < frames; ++f) {
        const std::span<const float> s = in.subspan(f * channels, channels);
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

namespace {

constexpr int kOutChannels = 2;
constexpr int kOutFrameBytes = kOutChannels * int(sizeof(qint16));
// What libsndfile and the converter are given at all.
constexpr int kMaxChannels = 64;
constexpr int kMinRate = 1000;
constexpr int kMaxRate = 768000;

using Sink = std::function<bool(const qint16*, int)>;

// The file opened by libsndfile, directly or through its reordered view; closes what it opened.
class SoundFile {
public:
    // fd is libsndfile's to close once it opened it.
    explicit SoundFile(int fd) : m_again(::dup(fd))
    {
        m_file = a().sf_open_fd(fd, SFM_READ, &m_info, SF_TRUE);
        if (!m_file && m_again >= 0 && Reordered::find(m_again, m_reordered))
            m_file = a().sf_open_virtual(&m_io, SFM_READ, &m_info, &m_reordered);
    }
    SoundFile(const SoundFile&) = delete;
    SoundFile& operator=(const SoundFile&) = delete;
    ~SoundFile()
    {
        if (m_file)
            a().sf_close(m_file);
        if (m_again >= 0)
            ::close(m_again);
    }
    SNDFILE* get() const { return m_file; }
    const SF_INFO& info() const { return m_info; }

private:
    static const sdl::Api& a() { return sdl::api(); }

    int m_again;
    SF_INFO m_info{};
    SNDFILE* m_file = nullptr;
    Reordered m_reordered;
    SF_VIRTUAL_IO m_io{Reordered::length, Reordered::seek, Reordered::read, Reordered::write,
                       Reordered::tell};
};

// Feeds the file through the converter to the sink, piece by piece.
class Pump {
public:
    Pump(const SoundFile& file, SDL_AudioStream* conv, const Sink& sink)
        : m_file(file), m_conv(conv), m_sink(sink),
          m_in(size_t(WaveStream::kPieceFrames) * size_t(file.info().channels)),
          m_stereo(size_t(WaveStream::kPieceFrames) * kOutChannels),
          // The converter may give back more frames than it was given: room for a 4:1 rate.
          m_out(size_t(WaveStream::kPieceFrames) * kOutChannels * 4)
    {
    }

    // True when any frame was read.
    bool run(bool loop, const std::atomic<bool>* cancelled)
    {
        const sdl::Api& a = sdl::api();
        bool played = false;
        bool more = true;
        bool rewound = false; // a loop that decodes nothing between two rewinds plays nothing
        while (more && !(cancelled && cancelled->load())) {
            const sf_count_t n = a.sf_readf_float(m_file.get(), m_in.data(), WaveStream::kPieceFrames);
            if (n <= 0) {
                if (loop && played && !rewound && a.sf_seek(m_file.get(), 0, SEEK_SET) == 0) {
                    rewound = true;
                    continue;
                }
                flush();
                break;
            }
            rewound = false;
            played = true;
            const int channels = m_file.info().channels;
            toStereo(std::span(m_in).first(size_t(n) * size_t(channels)), channels, m_stereo);
            more = put(n) && drain();
        }
        return played;
    }

private:
    bool put(sf_count_t frames)
    {
        const auto bytes = int(frames * kOutChannels * sf_count_t(sizeof(float)));
        return sdl::api().SDL_AudioStreamPut(m_conv, m_stereo.data(), bytes) == 0;
    }

    // False when the sink wants no more.
    bool drain()
    {
        for (;;) {
            const int got =
                sdl::api().SDL_AudioStreamGet(m_conv, m_out.data(), int(m_out.size() * sizeof(qint16)));
            if (got <= 0)
                return true;
            if (!m_sink(m_out.data(), got / kOutFrameBytes))
                return false;
        }
    }

    // The converter holds back its last input until more follows: silence pushes it out.
    void flush()
    {
        std::fill(m_stereo.begin(), m_stereo.end(), 0.0f);
        put(WaveStream::kPieceFrames);
        sdl::api().SDL_AudioStreamFlush(m_conv);
        drain();
    }

    const SoundFile& m_file;
    SDL_AudioStream* m_conv;
    const Sink& m_sink;
    std::vector<float> m_in;
    std::vector<float> m_stereo;
    std::vector<qint16> m_out;
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
    const SoundFile file(fd);
    if (!file.get())
        return false;
    const SF_INFO& info = file.info();
    if (info.channels <= 0 || info.channels > kMaxChannels || info.samplerate < kMinRate ||
        info.samplerate > kMaxRate)
        return false;
    SDL_AudioStream* conv =
        a.SDL_NewAudioStream(AUDIO_F32SYS, kOutChannels, info.samplerate, AUDIO_S16SYS, kOutChannels, kRate);
    if (!conv)
        return false;
    const bool played = Pump(file, conv, sink).run(loop, cancelled);
    a.SDL_FreeAudioStream(conv);
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
    const auto push = [this](const qint16* frames, int count) { return this->push(frames, count); };
    if (fd < 0 || !decode(fd, loop, push, &m_cancelled))
        finish(Outcome::Failed);
    m_decoded = true;
}

bool WaveStream::push(const qint16* frames, int count)
{
    while (count > 0) {
        std::unique_lock lock(m_mutex);
        // The audio thread frees room without telling: look again every few milliseconds.
        m_wake.wait_for(lock, std::chrono::milliseconds(5),
                        [&] { return m_cancelled || m_written - m_read < kRingFrames; });
        if (m_cancelled)
            return false;
        const qint64 w = m_written;
        const int room = int(std::min<qint64>(count, kRingFrames - (w - m_read)));
        for (qsizetype i = 0; i < room; ++i) {
            const size_t at = size_t((w + i) % kRingFrames) * 2;
            m_ring[at] = frames[2 * i];
            m_ring[at + 1] = frames[2 * i + 1];
        }
        m_written = w + room;
        frames += qsizetype{2} * room;
        count -= room;
    }
    return true;
}

void WaveStream::fill(qint16* out, int frames)
{
    const qint64 r = m_read;
    const int have = int(std::min<qint64>(frames, m_written - r));
    for (qsizetype i = 0; i < have; ++i) {
        const size_t at = size_t((r + i) % kRingFrames) * 2;
        out[2 * i] = m_ring[at];
        out[2 * i + 1] = m_ring[at + 1];
    }
    std::memset(out + qsizetype{2} * have, 0, size_t(frames - have) * 2 * sizeof(qint16));
    m_read = r + have;
    if (have < frames && m_decoded && m_written == m_read)
        finish(Outcome::Ended);
}

} // namespace zentimo
