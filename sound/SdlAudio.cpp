#include "sound/SdlAudio.h"

#include "sound/RegularFile.h"
#include "sound/SdlApi.h"
#include "sound/WaveStream.h"

#include <QDateTime>
#include <QFileInfo>
#include <QList>
#include <QtEndian>
#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <malloc.h>
#include <memory>
#include <mutex>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

namespace zentimo {

namespace {

const sdl::Api& A()
{
    return sdl::api();
}

constexpr int kWaveChannel = 0;
constexpr int kDeviceFallbackChannel = 1;
constexpr int kMixerChannels = 2;
constexpr int kStereo = 2;
constexpr int kFrameBytes = kStereo * int(sizeof(qint16));
constexpr size_t kMaxCachedImages = 12;

// Opens and frees the device's files one after another on a thread of its own: the window never waits for
// a disk or a sound bank, and FluidSynth is never entered from two threads at once.
class Loader {
public:
    void post(std::function<void()> job)
    {
        std::lock_guard lock(m_mutex);
        if (!m_thread.joinable()) {
            m_quit = false;
            m_thread = std::thread([this] { run(); });
        }
        m_jobs.push_back(std::move(job));
        m_wake.notify_one();
    }

    // Runs what is queued, then ends the thread.
    void stop()
    {
        {
            std::lock_guard lock(m_mutex);
            m_quit = true;
            m_wake.notify_one();
        }
        if (m_thread.joinable())
            m_thread.join();
    }

private:
    void run()
    {
        for (;;) {
            std::function<void()> job;
            {
                std::unique_lock lock(m_mutex);
                m_wake.wait(lock, [&] { return m_quit || !m_jobs.empty(); });
                if (m_jobs.empty())
                    return;
                job = std::move(m_jobs.front());
                m_jobs.pop_front();
            }
            job();
        }
    }

    std::thread m_thread;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::function<void()>> m_jobs;
    bool m_quit = false;
};

// A file on (or for) the device.
struct DeviceFile {
    enum class State { Closed, Loading, Ready, Failed };
    State state = State::Closed;
    quint64 generation = 0; // tells a load's result which opening it belongs to
    QString stamp;          // path, size and time of the file
    Mix_Music* music = nullptr;
    std::shared_ptr<QByteArray> bytes; // what a MIDI file was loaded from
    bool playWanted = false;
};

// What the process holds of SDL_mixer; touched only on the user-interface thread.
struct Mixer {
    struct User {
        SdlAudio* audio;
        std::function<void()> ended;
    };
    QList<User> users;
    bool open = false;
    // Built-in images already converted to the device format, so an alarm starts without delay.
    std::vector<std::pair<QByteArray, Mix_Chunk*>> imageChunks;
    Mix_Chunk* playingImage = nullptr;
    // The .wav file on the waveform channel, decoded on its own thread into the carrier's effect.
    std::shared_ptr<WaveStream> stream;
    quint64 streamGeneration = 0;
    bool streamLoops = false;
    QByteArray fallback;
    DeviceFile device;
    DeviceFile prepared; // opened ahead for an alarm
    quint64 generations = 0;
    Loader loader;
};

Mixer& mixer()
{
    static Mixer m;
    return m;
}

QString fileStamp(const QString& path)
{
    const QFileInfo info(path);
    return path + QLatin1Char('\n') + QString::number(info.size()) + QLatin1Char('\n') +
           QString::number(info.lastModified().toMSecsSinceEpoch());
}

// Looped on the waveform channel while a stream plays; the stream's effect writes over its silence.
Mix_Chunk* carrier()
{
    static Uint8 silence[4096] = {};
    static Mix_Chunk chunk{0, silence, sizeof silence, MIX_MAX_VOLUME};
    return &chunk;
}

void SDLCALL streamEffect(int, void* stream, int len, void* udata)
{
    static_cast<WaveStream*>(udata)->fill(static_cast<qint16*>(stream), len / kFrameBytes);
}

void SDLCALL streamEffectDone(int, void*) {}

// The object the other threads post to; lives while the device is open.
std::atomic<QObject*> g_reportTarget{nullptr};

void post(std::function<void()> what)
{
    QObject* target = g_reportTarget.load();
    if (target)
        QMetaObject::invokeMethod(target, std::move(what), Qt::QueuedConnection);
}

// A sound replaced or stopped also reports its end.
void reportEnded()
{
    post([] {
        const QList<Mixer::User> users = mixer().users;
        for (const Mixer::User& user : users)
            user.ended();
    });
}

// Both run on the audio thread (or inside a halt call) with the mixer locked: only post from here.
void onChannelFinished(int)
{
    reportEnded();
}

void onMusicFinished()
{
    reportEnded();
}

bool openMixer()
{
    Mixer& m = mixer();
    if (m.open)
        return true;
    if (!A().ok)
        return false;
    // A General MIDI bank is some hundred thousand small blocks allocated on the loader thread and freed
    // when its sound stops; in a thread's own arena glibc keeps most of those pages after the free (about
    // 10 MiB), in the main one malloc_trim gives them back.
    mallopt(M_ARENA_MAX, 1);
    // A fixed threshold: a large block freed (a MIDI file read to its 4 MiB bound) would otherwise
    // raise it, and the next bank's larger blocks, kept in the heap, would stop malloc_trim.
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
    A().SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    A().SDL_SetHint(SDL_HINT_AUDIO_DEVICE_APP_NAME, "Zentimo");
    A().SDL_SetHint(SDL_HINT_AUDIO_DEVICE_STREAM_NAME, "Alarm");
    if (A().SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return false;
    if (A().Mix_OpenAudioDevice(SdlAudio::kRate, AUDIO_S16SYS, kStereo, SdlAudio::kBufferFrames, nullptr,
                                0) != 0) {
        A().SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    A().Mix_AllocateChannels(kMixerChannels);
    g_reportTarget.store(new QObject);
    A().Mix_ChannelFinished(onChannelFinished);
    A().Mix_HookMusicFinished(onMusicFinished);
    m.open = true;
    return true;
}

// Freeing a MIDI file's bank takes a while too; then the freed memory goes back to the system.
void freeLater(DeviceFile& file)
{
    if (file.music) {
        Mix_Music* music = std::exchange(file.music, nullptr);
        const bool midi = file.bytes != nullptr;
        mixer().loader.post([music, midi, bytes = std::move(file.bytes)] {
            A().Mix_FreeMusic(music);
            if (midi)
                malloc_trim(0);
        });
    }
    file = DeviceFile{};
}

void closeMixer()
{
    Mixer& m = mixer();
    if (!m.open)
        return;
    // Once these return no callback is running or will run.
    A().Mix_ChannelFinished(nullptr);
    A().Mix_HookMusicFinished(nullptr);
    A().Mix_HaltChannel(-1);
    A().Mix_HaltMusic();
    if (m.stream)
        m.stream->cancel();
    m.stream.reset();
    freeLater(m.device);
    freeLater(m.prepared);
    m.loader.stop();
    // Loads still reported after this are dropped with the target (the process is ending).
    delete g_reportTarget.exchange(nullptr);
    for (auto& entry : m.imageChunks)
        A().Mix_FreeChunk(entry.second);
    m.playingImage = nullptr;
    m.imageChunks.clear();
    A().Mix_CloseAudio();
    A().Mix_Quit();
    A().SDL_QuitSubSystem(SDL_INIT_AUDIO);
    m.open = false;
}

Mix_Chunk* chunkForImage(const QByteArray& image)
{
    Mixer& m = mixer();
    for (auto& entry : m.imageChunks) {
        if (entry.first == image)
            return entry.second;
    }
    SDL_RWops* rw = A().SDL_RWFromConstMem(image.constData(), int(image.size()));
    Mix_Chunk* chunk = rw ? A().Mix_LoadWAV_RW(rw, 1) : nullptr;
    if (!chunk)
        return nullptr;
    if (m.imageChunks.size() >= kMaxCachedImages) {
        auto victim = std::find_if(m.imageChunks.begin(), m.imageChunks.end(), [&](const auto& entry) {
            return entry.second != m.playingImage && entry.first != m.fallback;
        });
        A().Mix_FreeChunk(victim->second);
        m.imageChunks.erase(victim);
    }
    m.imageChunks.emplace_back(image, chunk);
    return chunk;
}

// The waveform channel's stream, if any, is halted and let go.
void dropStream()
{
    Mixer& m = mixer();
    if (!m.stream)
        return;
    A().Mix_HaltChannel(kWaveChannel); // after this the effect no longer runs
    m.stream->cancel();
    m.stream.reset();
}

bool playImageOn(int channel, const QByteArray& image, bool loop)
{
    Mix_Chunk* chunk = image.isEmpty() ? nullptr : chunkForImage(image);
    if (!chunk)
        return false;
    if (channel == kWaveChannel) {
        dropStream();
        mixer().playingImage = chunk;
    }
    return A().Mix_PlayChannel(channel, chunk, loop ? -1 : 0) == channel;
}

void onStreamOutcome(quint64 generation, WaveStream::Outcome outcome)
{
    Mixer& m = mixer();
    if (!m.open || !m.stream || m.streamGeneration != generation)
        return;
    const bool loop = m.streamLoops;
    dropStream();
    if (outcome == WaveStream::Outcome::Failed)
        playImageOn(kWaveChannel, m.fallback, loop);
}

// MIDI files saved by some Windows programs come wrapped in RIFF ("RMID"); the music is its "data" chunk.
QByteArray unwrapRmid(const QByteArray& bytes)
{
    if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "RMID")
        return bytes;
    qsizetype pos = 12;
    while (pos + 8 <= bytes.size()) {
        const quint32 length = qFromLittleEndian<quint32>(bytes.constData() + pos + 4);
        if (bytes.mid(pos, 4) == "data")
            return bytes.mid(pos + 8, qsizetype(length)); // a length past the end stops at the end
        pos += 8 + qsizetype(length) + (length & 1);
    }
    return {};
}

// On the loader thread.
Mix_Music* loadMusic(const QString& path, std::shared_ptr<QByteArray>& bytes)
{
    const int fd = RegularFile::open(path);
    if (fd < 0)
        return nullptr;
    if (path.right(3).toLower() == QLatin1String("mid")) {
        bool whole = false;
        QByteArray read = RegularFile::read(fd, SdlAudio::kMaxMidiBytes, &whole);
        ::close(fd);
        if (!whole)
            return nullptr;
        bytes = std::make_shared<QByteArray>(unwrapRmid(read));
        // The synthesizer takes anything and plays silence where it finds no MIDI header.
        if (!bytes->startsWith("MThd"))
            return nullptr;
        SDL_RWops* rw = A().SDL_RWFromConstMem(bytes->constData(), int(bytes->size()));
        return rw ? A().Mix_LoadMUSType_RW(rw, MUS_MID, 1) : nullptr;
    }
    FILE* fp = ::fdopen(fd, "rb");
    if (!fp) {
        ::close(fd);
        return nullptr;
    }
    SDL_RWops* rw = A().SDL_RWFromFP(fp, SDL_TRUE);
    if (!rw) {
        ::fclose(fp);
        return nullptr;
    }
    return A().Mix_LoadMUSType_RW(rw, MUS_MP3, 1); // frees the source when it fails
}

void startDevice()
{
    Mixer& m = mixer();
    DeviceFile& d = m.device;
    d.playWanted = false;
    if (d.state == DeviceFile::State::Ready && A().Mix_PlayMusic(d.music, 1) == 0) // 1: once
        return;
    // Looped: the alarm waits for the user whatever the file would have done.
    playImageOn(kDeviceFallbackChannel, m.fallback, true);
}

void onLoaded(quint64 generation, Mix_Music* music, std::shared_ptr<QByteArray> bytes)
{
    Mixer& m = mixer();
    for (DeviceFile* file : {&m.device, &m.prepared}) {
        if (file->generation == generation && file->state == DeviceFile::State::Loading) {
            file->music = music;
            file->bytes = std::move(bytes);
            file->state = music ? DeviceFile::State::Ready : DeviceFile::State::Failed;
            if (file == &m.device && file->playWanted)
                startDevice();
            return;
        }
    }
    DeviceFile stale{DeviceFile::State::Ready, 0, {}, music, std::move(bytes)};
    freeLater(stale);
}

void load(DeviceFile& file, const QString& path)
{
    Mixer& m = mixer();
    file.generation = ++m.generations;
    file.stamp = fileStamp(path);
    file.state = DeviceFile::State::Loading;
    m.loader.post([path, generation = file.generation] {
        std::shared_ptr<QByteArray> bytes;
        Mix_Music* music = loadMusic(path, bytes);
        post([generation, music, bytes] { onLoaded(generation, music, bytes); });
    });
}

} // namespace

SdlAudio::SdlAudio()
{
    mixer().users.append({this, [this] { notifyEnded(); }});
}

SdlAudio::~SdlAudio()
{
    Mixer& m = mixer();
    m.users.removeIf([this](const Mixer::User& user) { return user.audio == this; });
    if (m.users.isEmpty())
        closeMixer();
}

// Loading the libraries takes tens of milliseconds: better at Start than inside the alarm.
void SdlAudio::warmUp(const QString& file)
{
    sdl::api();
    Mixer& m = mixer();
    if (file.right(3).toLower() != QLatin1String("mid") && file.right(3).toLower() != QLatin1String("mp3")) {
        freeLater(m.prepared);
        return;
    }
    if (!openMixer() ||
        (m.prepared.state != DeviceFile::State::Closed && m.prepared.stamp == fileStamp(file)))
        return;
    freeLater(m.prepared);
    load(m.prepared, file);
}

bool SdlAudio::prepare()
{
    return openMixer();
}

bool SdlAudio::isOpen() const
{
    return mixer().open;
}

bool SdlAudio::playWaveImage(const QByteArray& image, bool loop)
{
    if (image.isEmpty() || !openMixer())
        return false;
    return playImageOn(kWaveChannel, image, loop);
}

bool SdlAudio::playWaveFile(const QString& path, bool loop)
{
    if (path.isEmpty() || !openMixer())
        return false;
    Mixer& m = mixer();
    m.fallback = fallback();
    dropStream();
    m.playingImage = nullptr;
    const quint64 generation = ++m.generations;
    m.streamGeneration = generation;
    m.streamLoops = loop;
    m.stream = WaveStream::start(path, loop, [generation](WaveStream::Outcome outcome) {
        post([generation, outcome] { onStreamOutcome(generation, outcome); });
    });
    if (A().Mix_PlayChannel(kWaveChannel, carrier(), -1) != kWaveChannel) {
        m.stream->cancel();
        m.stream.reset();
        return false;
    }
    A().Mix_RegisterEffect(kWaveChannel, streamEffect, streamEffectDone, m.stream.get());
    return true;
}

void SdlAudio::stopWave()
{
    Mixer& m = mixer();
    if (!m.open)
        return;
    dropStream();
    A().Mix_HaltChannel(kWaveChannel);
    m.playingImage = nullptr;
}

// Both device types are the mixer's music; the decoder is chosen by the file's extension.
bool SdlAudio::openDevice(const QString& path, DeviceType)
{
    closeDevice();
    if (!openMixer())
        return false;
    Mixer& m = mixer();
    m.fallback = fallback();
    if (path.isEmpty()) {
        m.device.state = DeviceFile::State::Failed;
        return false;
    }
    if (m.prepared.state != DeviceFile::State::Closed && m.prepared.stamp == fileStamp(path)) {
        m.device = std::exchange(m.prepared, DeviceFile{});
        return m.device.state != DeviceFile::State::Failed;
    }
    load(m.device, path);
    return true;
}

bool SdlAudio::playDevice()
{
    Mixer& m = mixer();
    if (!m.open || m.device.state == DeviceFile::State::Closed)
        return false;
    if (m.device.state == DeviceFile::State::Loading) {
        m.device.playWanted = true;
        return true;
    }
    startDevice();
    return true;
}

void SdlAudio::closeDevice()
{
    Mixer& m = mixer();
    if (!m.open)
        return;
    if (m.device.music)
        A().Mix_HaltMusic();
    A().Mix_HaltChannel(kDeviceFallbackChannel);
    freeLater(m.device);
}

bool SdlAudio::isWavePlaying() const
{
    return mixer().open && A().Mix_Playing(kWaveChannel) != 0;
}

bool SdlAudio::isDevicePlaying() const
{
    const Mixer& m = mixer();
    return m.open &&
           ((m.device.music && A().Mix_PlayingMusic() != 0) || A().Mix_Playing(kDeviceFallbackChannel) != 0 ||
            (m.device.state == DeviceFile::State::Loading && m.device.playWanted));
}

bool SdlAudio::isPlaying() const
{
    return isWavePlaying() || isDevicePlaying();
}

bool SdlAudio::isDeviceLoading() const
{
    return mixer().device.state == DeviceFile::State::Loading;
}

bool SdlAudio::isPreparing() const
{
    return mixer().prepared.state == DeviceFile::State::Loading;
}

} // namespace zentimo
