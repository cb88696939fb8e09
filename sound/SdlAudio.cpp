#include "sound/SdlAudio.h"

#include "sound/WaveFile.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLibrary>
#include <QList>
#include <SDL.h>
#include <SDL_mixer.h>
#include <atomic>
#include <utility>
#include <vector>

namespace zentimo {

namespace {

// SDL and SDL_mixer (with their forty-odd codec and sound-server libraries) are loaded when the first sound
// is needed, not when the program starts.
struct SdlApi {
    decltype(&::SDL_SetHint) SDL_SetHint = nullptr;
    decltype(&::SDL_InitSubSystem) SDL_InitSubSystem = nullptr;
    decltype(&::SDL_QuitSubSystem) SDL_QuitSubSystem = nullptr;
    decltype(&::SDL_RWFromConstMem) SDL_RWFromConstMem = nullptr;
    decltype(&::Mix_OpenAudioDevice) Mix_OpenAudioDevice = nullptr;
    decltype(&::Mix_AllocateChannels) Mix_AllocateChannels = nullptr;
    decltype(&::Mix_ChannelFinished) Mix_ChannelFinished = nullptr;
    decltype(&::Mix_HookMusicFinished) Mix_HookMusicFinished = nullptr;
    decltype(&::Mix_HaltChannel) Mix_HaltChannel = nullptr;
    decltype(&::Mix_HaltMusic) Mix_HaltMusic = nullptr;
    decltype(&::Mix_FreeMusic) Mix_FreeMusic = nullptr;
    decltype(&::Mix_FreeChunk) Mix_FreeChunk = nullptr;
    decltype(&::Mix_CloseAudio) Mix_CloseAudio = nullptr;
    decltype(&::Mix_Quit) Mix_Quit = nullptr;
    decltype(&::Mix_LoadWAV_RW) Mix_LoadWAV_RW = nullptr;
    decltype(&::Mix_PlayChannel) Mix_PlayChannel = nullptr;
    decltype(&::Mix_LoadMUS) Mix_LoadMUS = nullptr;
    decltype(&::Mix_PlayMusic) Mix_PlayMusic = nullptr;
    decltype(&::Mix_Playing) Mix_Playing = nullptr;
    decltype(&::Mix_PlayingMusic) Mix_PlayingMusic = nullptr;
    decltype(&::Mix_GetMusicType) Mix_GetMusicType = nullptr;
    bool ok = false;
};

template <typename F> void resolve(F& slot, QLibrary& sdl, QLibrary& mix, const char* name)
{
    QFunctionPointer f = mix.resolve(name);
    if (!f)
        f = sdl.resolve(name);
    slot = reinterpret_cast<F>(f);
}

const SdlApi* sdlApi()
{
    static const SdlApi api = [] {
        SdlApi a;
        static QLibrary sdl(QStringLiteral("SDL2-2.0"), 0);
        static QLibrary mix(QStringLiteral("SDL2_mixer-2.0"), 0);
        if (!sdl.load() || !mix.load())
            return a;
        resolve(a.SDL_SetHint, sdl, mix, "SDL_SetHint");
        resolve(a.SDL_InitSubSystem, sdl, mix, "SDL_InitSubSystem");
        resolve(a.SDL_QuitSubSystem, sdl, mix, "SDL_QuitSubSystem");
        resolve(a.SDL_RWFromConstMem, sdl, mix, "SDL_RWFromConstMem");
        resolve(a.Mix_OpenAudioDevice, sdl, mix, "Mix_OpenAudioDevice");
        resolve(a.Mix_AllocateChannels, sdl, mix, "Mix_AllocateChannels");
        resolve(a.Mix_ChannelFinished, sdl, mix, "Mix_ChannelFinished");
        resolve(a.Mix_HookMusicFinished, sdl, mix, "Mix_HookMusicFinished");
        resolve(a.Mix_HaltChannel, sdl, mix, "Mix_HaltChannel");
        resolve(a.Mix_HaltMusic, sdl, mix, "Mix_HaltMusic");
        resolve(a.Mix_FreeMusic, sdl, mix, "Mix_FreeMusic");
        resolve(a.Mix_FreeChunk, sdl, mix, "Mix_FreeChunk");
        resolve(a.Mix_CloseAudio, sdl, mix, "Mix_CloseAudio");
        resolve(a.Mix_Quit, sdl, mix, "Mix_Quit");
        resolve(a.Mix_LoadWAV_RW, sdl, mix, "Mix_LoadWAV_RW");
        resolve(a.Mix_PlayChannel, sdl, mix, "Mix_PlayChannel");
        resolve(a.Mix_LoadMUS, sdl, mix, "Mix_LoadMUS");
        resolve(a.Mix_PlayMusic, sdl, mix, "Mix_PlayMusic");
        resolve(a.Mix_Playing, sdl, mix, "Mix_Playing");
        resolve(a.Mix_PlayingMusic, sdl, mix, "Mix_PlayingMusic");
        resolve(a.Mix_GetMusicType, sdl, mix, "Mix_GetMusicType");
        a.ok = true;
        return a;
    }();
    return &api;
}

bool sdlAvailable()
{
    const SdlApi* a = sdlApi();
    if (!a->ok)
        return false;
    // Every entry point this file calls must be there.
    const QFunctionPointer all[] = {reinterpret_cast<QFunctionPointer>(a->SDL_SetHint),
                                    reinterpret_cast<QFunctionPointer>(a->SDL_InitSubSystem),
                                    reinterpret_cast<QFunctionPointer>(a->SDL_QuitSubSystem),
                                    reinterpret_cast<QFunctionPointer>(a->SDL_RWFromConstMem),
                                    reinterpret_cast<QFunctionPointer>(a->Mix_OpenAudioDevice),
                                    reinterpret_cast<QFunctionPointer>(a->Mix_AllocateChannels),
                                    reinterpret_cast<QFunctionPointer>(a->Mix_ChannelFinished),
                                    reinterpret_cast<QFunctionPointer>(a->Mix_HookMusicFinished),
                                    reinterpret_cast<QFunctionPointer>(a->Mix_HaltChannel),
                                    reinterpret_cast<QFunctionPointer>(a->Mix_HaltMusic),
                                    reinterpret_cast<QFunctionPointer>(a->Mix_FreeMusic),
                                    reinterpret_cast<QFunctionPointer>(a->Mix_FreeChunk),
                                    reinterpret_cast<QFunctionPointer>(a->Mix_CloseAudio),
                                    reinterpret_cast<QFunctionPointer>(a->Mix_Quit),
                                    reinterpret_cast<QFunctionPointer>(a->Mix_LoadWAV_RW),
                                    reinterpret_cast<QFunctionPointer>(a->Mix_PlayChannel),
                                    reinterpret_cast<QFunctionPointer>(a->Mix_LoadMUS),
                                    reinterpret_cast<QFunctionPointer>(a->Mix_PlayMusic),
                                    reinterpret_cast<QFunctionPointer>(a->Mix_Playing),
                                    reinterpret_cast<QFunctionPointer>(a->Mix_PlayingMusic),
                                    reinterpret_cast<QFunctionPointer>(a->Mix_GetMusicType)};
    for (QFunctionPointer f : all) {
        if (!f)
            return false;
    }
    return true;
}

#define SDL_SetHint sdlApi()->SDL_SetHint
#define SDL_InitSubSystem sdlApi()->SDL_InitSubSystem
#define SDL_QuitSubSystem sdlApi()->SDL_QuitSubSystem
#define SDL_RWFromConstMem sdlApi()->SDL_RWFromConstMem
#define Mix_OpenAudioDevice sdlApi()->Mix_OpenAudioDevice
#define Mix_AllocateChannels sdlApi()->Mix_AllocateChannels
#define Mix_ChannelFinished sdlApi()->Mix_ChannelFinished
#define Mix_HookMusicFinished sdlApi()->Mix_HookMusicFinished
#define Mix_HaltChannel sdlApi()->Mix_HaltChannel
#define Mix_HaltMusic sdlApi()->Mix_HaltMusic
#define Mix_FreeMusic sdlApi()->Mix_FreeMusic
#define Mix_FreeChunk sdlApi()->Mix_FreeChunk
#define Mix_CloseAudio sdlApi()->Mix_CloseAudio
#define Mix_Quit sdlApi()->Mix_Quit
#define Mix_LoadWAV_RW sdlApi()->Mix_LoadWAV_RW
#define Mix_PlayChannel sdlApi()->Mix_PlayChannel
#define Mix_LoadMUS sdlApi()->Mix_LoadMUS
#define Mix_PlayMusic sdlApi()->Mix_PlayMusic
#define Mix_Playing sdlApi()->Mix_Playing
#define Mix_PlayingMusic sdlApi()->Mix_PlayingMusic
#define Mix_GetMusicType sdlApi()->Mix_GetMusicType

constexpr int kWaveChannel = 0;
constexpr size_t kMaxCachedImages = 12;

// What the process holds of SDL_mixer; touched only on the user-interface thread.
struct Mixer {
    QList<SdlAudio*> users;
    bool open = false;
    Mix_Chunk* fileChunk = nullptr; // the .wav file on the waveform channel, freed when replaced
    // Built-in images already converted to the device format, so an alarm starts without delay.
    std::vector<std::pair<QByteArray, Mix_Chunk*>> imageChunks;
    Mix_Chunk* playingImage = nullptr;
    Mix_Music* music = nullptr;
    QString musicFile; // path, size and time of the file `music` was loaded from
    // A closed MIDI file, kept loaded: its sound font takes most of a second to read, and the alarm opens
    // the same file each time.
    Mix_Music* keptMidi = nullptr;
    QString keptMidiFile;
};

QString fileStamp(const QString& path)
{
    const QFileInfo info(path);
    return path + QLatin1Char('\n') + QString::number(info.size()) + QLatin1Char('\n') +
           QString::number(info.lastModified().toMSecsSinceEpoch());
}

Mixer& mixer()
{
    static Mixer m;
    return m;
}

// The object the audio thread posts its reports to; lives while the device is open.
std::atomic<QObject*> g_reportTarget{nullptr};

void report(void (SdlAudio::*signal)())
{
    QObject* target = g_reportTarget.load();
    if (!target)
        return;
    QMetaObject::invokeMethod(
        target,
        [signal] {
            for (SdlAudio* user : mixer().users)
                (user->*signal)();
        },
        Qt::QueuedConnection);
}

// Both run on the audio thread (or inside a halt call) with the mixer locked: only post from here.
void onChannelFinished(int channel)
{
    if (channel == kWaveChannel)
        report(&SdlAudio::waveFinished);
}

void onMusicFinished()
{
    report(&SdlAudio::deviceFinished);
}

bool openMixer()
{
    Mixer& m = mixer();
    if (m.open)
        return true;
    if (!sdlAvailable())
        return false;
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_AUDIO_DEVICE_APP_NAME, "Zentimo");
    SDL_SetHint(SDL_HINT_AUDIO_DEVICE_STREAM_NAME, "Alarm");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return false;
    if (Mix_OpenAudioDevice(SdlAudio::kRate, AUDIO_S16SYS, 2, SdlAudio::kBufferFrames, nullptr, 0) != 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    Mix_AllocateChannels(1);
    g_reportTarget.store(new QObject);
    Mix_ChannelFinished(onChannelFinished);
    Mix_HookMusicFinished(onMusicFinished);
    m.open = true;
    return true;
}

void closeMixer()
{
    Mixer& m = mixer();
    if (!m.open)
        return;
    // Once these return no callback is running or will run.
    Mix_ChannelFinished(nullptr);
    Mix_HookMusicFinished(nullptr);
    delete g_reportTarget.exchange(nullptr);
    Mix_HaltChannel(-1);
    Mix_HaltMusic();
    if (m.music)
        Mix_FreeMusic(m.music);
    if (m.keptMidi)
        Mix_FreeMusic(m.keptMidi);
    m.keptMidi = nullptr;
    if (m.fileChunk)
        Mix_FreeChunk(m.fileChunk);
    for (auto& entry : m.imageChunks)
        Mix_FreeChunk(entry.second);
    m.music = nullptr;
    m.fileChunk = nullptr;
    m.playingImage = nullptr;
    m.imageChunks.clear();
    Mix_CloseAudio();
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    m.open = false;
}

Mix_Chunk* decode(const QByteArray& image)
{
    SDL_RWops* rw = SDL_RWFromConstMem(image.constData(), int(image.size()));
    return rw ? Mix_LoadWAV_RW(rw, 1) : nullptr;
}

Mix_Chunk* chunkForImage(const QByteArray& image)
{
    Mixer& m = mixer();
    for (auto& entry : m.imageChunks) {
        if (entry.first == image)
            return entry.second;
    }
    Mix_Chunk* chunk = decode(image);
    if (!chunk)
        return nullptr;
    if (m.imageChunks.size() >= kMaxCachedImages) {
        auto victim = std::find_if(m.imageChunks.begin(), m.imageChunks.end(),
                                   [&](const auto& entry) { return entry.second != m.playingImage; });
        Mix_FreeChunk(victim->second);
        m.imageChunks.erase(victim);
    }
    m.imageChunks.emplace_back(image, chunk);
    return chunk;
}

// Starts a chunk on the waveform channel in place of whatever played there.
bool playOnWaveChannel(Mix_Chunk* chunk, bool loop)
{
    Mixer& m = mixer();
    const bool started = Mix_PlayChannel(kWaveChannel, chunk, loop ? -1 : 0) == kWaveChannel;
    if (m.fileChunk && m.fileChunk != chunk) {
        Mix_FreeChunk(m.fileChunk); // halts it first if it still plays
        m.fileChunk = nullptr;
    }
    return started;
}

} // namespace

SdlAudio::SdlAudio(QObject* parent) : QObject(parent)
{
    mixer().users.append(this);
}

SdlAudio::~SdlAudio()
{
    Mixer& m = mixer();
    m.users.removeOne(this);
    if (m.users.isEmpty())
        closeMixer();
}

// Loading the libraries takes tens of milliseconds: better at Start than inside the alarm.
void SdlAudio::warmUp()
{
    sdlAvailable();
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
    Mix_Chunk* chunk = chunkForImage(image);
    if (!chunk)
        return false;
    mixer().playingImage = chunk;
    return playOnWaveChannel(chunk, loop);
}

bool SdlAudio::playWaveFile(const QString& path, bool loop)
{
    if (!openMixer())
        return false;
    const QByteArray image = WaveFile::readImage(path);
    if (image.isEmpty())
        return false;
    Mix_Chunk* chunk = decode(image);
    if (!chunk)
        return false;
    const bool started = playOnWaveChannel(chunk, loop);
    mixer().fileChunk = chunk;
    mixer().playingImage = nullptr;
    return started;
}

void SdlAudio::stopWave()
{
    Mixer& m = mixer();
    if (!m.open)
        return;
    Mix_HaltChannel(kWaveChannel);
    if (m.fileChunk)
        Mix_FreeChunk(m.fileChunk);
    m.fileChunk = nullptr;
    m.playingImage = nullptr;
}

// Both device types are the mixer's music; the decoder is chosen by the file's extension.
bool SdlAudio::openDevice(const QString& path, DeviceType)
{
    closeDevice();
    if (path.isEmpty() || !openMixer())
        return false;
    Mixer& m = mixer();
    const QString stamp = fileStamp(path);
    if (m.keptMidi && m.keptMidiFile == stamp) {
        m.music = std::exchange(m.keptMidi, nullptr);
        m.musicFile = stamp;
        return true;
    }
    m.music = Mix_LoadMUS(QFile::encodeName(path).constData());
    m.musicFile = stamp;
    // Freed only now: while it still holds the sound font, FluidSynth shares the font's samples with a
    // new MIDI file instead of reading them again.
    if (m.keptMidi)
        Mix_FreeMusic(std::exchange(m.keptMidi, nullptr));
    return m.music != nullptr;
}

bool SdlAudio::playDevice()
{
    Mixer& m = mixer();
    return m.open && m.music && Mix_PlayMusic(m.music, 1) == 0; // 1: once
}

void SdlAudio::closeDevice()
{
    Mixer& m = mixer();
    if (!m.open || !m.music)
        return;
    Mix_HaltMusic();
    if (Mix_GetMusicType(m.music) == MUS_MID) {
        if (m.keptMidi)
            Mix_FreeMusic(m.keptMidi);
        m.keptMidi = m.music;
        m.keptMidiFile = m.musicFile;
    } else {
        Mix_FreeMusic(m.music);
    }
    m.music = nullptr;
}

bool SdlAudio::isWavePlaying() const
{
    return mixer().open && Mix_Playing(kWaveChannel) != 0;
}

bool SdlAudio::isDevicePlaying() const
{
    return mixer().open && mixer().music && Mix_PlayingMusic() != 0;
}

} // namespace zentimo
