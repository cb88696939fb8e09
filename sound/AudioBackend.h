#pragma once
// What Zentimo needs of an audio system: one waveform channel (a new sound replaces the old one)
// and one file device, "zentimosong", for .mp3 and .mid files.

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <vector>

namespace zentimo {

class AudioBackend {
public:
    enum class DeviceType { MpegVideo, Sequencer };

    virtual ~AudioBackend() = default;

    // A complete RIFF WAVE image held by the caller for as long as it plays.
    virtual bool playWaveImage(const QByteArray& image, bool loop) = 0;
    // A .wav file on disk. A back end that finds out only later that the file cannot be played plays the
    // fallback image in its place, looped or once as the file would have played. False when it already
    // knows the file cannot be played.
    virtual bool playWaveFile(const QString& path, bool loop) = 0;
    virtual void stopWave() = 0;

    virtual bool openDevice(const QString& path, DeviceType type) = 0; // "open"
    // "play", once. A file that cannot be played sounds the fallback image, looped, until "close".
    virtual bool playDevice() = 0;
    virtual void closeDevice() = 0; // "close": halt and free

    // Loads what playing will need, without opening a device; a run about to end in an alarm calls it
    // with the file it will play (empty for a built-in sound).
    virtual void warmUp(const QString& file) { Q_UNUSED(file); }
    // Whether any sound (waveform, device or a fallback for either) is playing now.
    virtual bool isPlaying() const = 0;

    // The short sound played in place of a file that cannot be played.
    void setFallback(const QByteArray& image) { m_fallback = image; }
    // `then` runs on the user-interface thread after a sound ended or was replaced or stopped, for as
    // long as `context` lives.
    void onEnded(QObject* context, std::function<void()> then)
    {
        m_listeners.push_back({context, true, std::move(then)});
    }
    // The same for as long as the back end lives.
    void onEnded(std::function<void()> then) { m_listeners.push_back({nullptr, false, std::move(then)}); }

protected:
    void notifyEnded()
    {
        for (size_t i = 0; i < m_listeners.size(); ++i) {
            if (!m_listeners[i].bound || m_listeners[i].context)
                m_listeners[i].then();
        }
    }
    const QByteArray& fallback() const { return m_fallback; }

private:
    struct Listener {
        QPointer<QObject> context;
        bool bound; // runs only while context lives
        std::function<void()> then;
    };
    std::vector<Listener> m_listeners;
    QByteArray m_fallback;
};

} // namespace zentimo
