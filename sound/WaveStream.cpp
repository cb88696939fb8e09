#include "sound/WaveStream.h"

#include "sound/RegularFile.h"
#include "sound/SdlApi.h"

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
    SNDFILE* file = a.sf_open_fd(fd, SFM_READ, &info, SF_TRUE);
    if (!file)
        return false;
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
