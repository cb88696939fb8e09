#pragma once
// A .wav file decoded in pieces on a thread of its own, whatever its length and codec (libsndfile), and
// converted to the mixer's format: memory stays the same for a ten-second file and a ten-hour one. The
// audio thread takes the frames from a ring that never blocks it.

#include <QString>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace zentimo {

class WaveStream {
public:
    enum class Outcome { Failed, Ended };
    // Called once, from the decoder or the audio thread, when the file cannot be played or has played.
    using Report = std::function<void(Outcome)>;

    static constexpr int kRate = 44100;       // what comes out: 16-bit stereo at this rate
    static constexpr int kRingFrames = 32768; // about 0.75 s decoded ahead
    static constexpr int kPieceFrames = 2048; // what is decoded at a time

    // Starts decoding; the file is opened on the decoder thread too, so a slow disk never holds the caller.
    static std::shared_ptr<WaveStream> start(const QString& path, bool loop, Report report);
    ~WaveStream();

    // Audio thread: fills `frames` stereo frames, silence where nothing is decoded yet.
    void fill(qint16* out, int frames);
    // The decoder stops soon; no report follows.
    void cancel();

    // Decodes a whole file for a test or the fuzzer, in the same pieces; false when it cannot be played.
    // `sink` gets the converted frames (16-bit stereo at kRate) and returns false to stop.
    static bool decode(int fd, bool loop, const std::function<bool(const qint16*, int)>& sink,
                       const std::atomic<bool>* cancelled = nullptr);

private:
    WaveStream() = default;
    void run(const QString& path, bool loop);
    void finish(Outcome outcome);
    // Decoder thread: puts frames in the ring as room frees up; false once cancelled.
    bool push(const qint16* frames, int count);

    std::vector<qint16> m_ring = std::vector<qint16>(size_t(kRingFrames) * 2);
    std::atomic<qint64> m_written{0}; // frames, only ever growing
    std::atomic<qint64> m_read{0};
    std::atomic<bool> m_cancelled{false};
    std::atomic<bool> m_decoded{false}; // the decoder has put its last frame in the ring
    std::atomic<bool> m_reported{false};
    std::mutex m_mutex; // for the decoder's wait only; the audio thread never takes it
    std::condition_variable m_wake;
    Report m_report;
};

} // namespace zentimo
