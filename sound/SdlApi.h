#pragma once
// SDL, SDL_mixer and libsndfile, loaded when the first sound is needed, not when the program starts (with
// their forty-odd codec and sound-server libraries they take tens of milliseconds to load).

#include <QFunctionPointer>
#include <QLibrary>
#include <SDL.h>
#include <SDL_mixer.h>
#include <sndfile.h>

namespace zentimo::sdl {

// The three libraries, and their entry points looked up by name.
class Libraries {
public:
    Libraries();

    // Converts to the function pointer type it initialises; null when a library or the name is missing.
    class Symbol {
    public:
        explicit Symbol(QFunctionPointer address) : m_address(address) {}
        template <typename Function> operator Function*() const
        {
            return reinterpret_cast<Function*>(m_address);
        }

    private:
        QFunctionPointer m_address;
    };
    Symbol find(const char* name);
    // Every library loaded and every name looked up so far found.
    bool allFound() const { return m_allFound; }

private:
    QLibrary m_sdl;
    QLibrary m_mix;
    QLibrary m_sndfile;
    bool m_allFound = false;
};

// The entry points used, each looked up as it is declared.
struct Api {
    Libraries libraries;

    decltype(&::SDL_SetHint) SDL_SetHint = libraries.find("SDL_SetHint");
    decltype(&::SDL_InitSubSystem) SDL_InitSubSystem = libraries.find("SDL_InitSubSystem");
    decltype(&::SDL_QuitSubSystem) SDL_QuitSubSystem = libraries.find("SDL_QuitSubSystem");
    decltype(&::SDL_RWFromConstMem) SDL_RWFromConstMem = libraries.find("SDL_RWFromConstMem");
    decltype(&::SDL_RWFromFP) SDL_RWFromFP = libraries.find("SDL_RWFromFP");
    decltype(&::SDL_NewAudioStream) SDL_NewAudioStream = libraries.find("SDL_NewAudioStream");
    decltype(&::SDL_AudioStreamPut) SDL_AudioStreamPut = libraries.find("SDL_AudioStreamPut");
    decltype(&::SDL_AudioStreamGet) SDL_AudioStreamGet = libraries.find("SDL_AudioStreamGet");
    decltype(&::SDL_AudioStreamFlush) SDL_AudioStreamFlush = libraries.find("SDL_AudioStreamFlush");
    decltype(&::SDL_FreeAudioStream) SDL_FreeAudioStream = libraries.find("SDL_FreeAudioStream");

    decltype(&::Mix_OpenAudioDevice) Mix_OpenAudioDevice = libraries.find("Mix_OpenAudioDevice");
    decltype(&::Mix_AllocateChannels) Mix_AllocateChannels = libraries.find("Mix_AllocateChannels");
    decltype(&::Mix_ChannelFinished) Mix_ChannelFinished = libraries.find("Mix_ChannelFinished");
    decltype(&::Mix_HookMusicFinished) Mix_HookMusicFinished = libraries.find("Mix_HookMusicFinished");
    decltype(&::Mix_HaltChannel) Mix_HaltChannel = libraries.find("Mix_HaltChannel");
    decltype(&::Mix_HaltMusic) Mix_HaltMusic = libraries.find("Mix_HaltMusic");
    decltype(&::Mix_FreeMusic) Mix_FreeMusic = libraries.find("Mix_FreeMusic");
    decltype(&::Mix_FreeChunk) Mix_FreeChunk = libraries.find("Mix_FreeChunk");
    decltype(&::Mix_CloseAudio) Mix_CloseAudio = libraries.find("Mix_CloseAudio");
    decltype(&::Mix_Quit) Mix_Quit = libraries.find("Mix_Quit");
    decltype(&::Mix_LoadWAV_RW) Mix_LoadWAV_RW = libraries.find("Mix_LoadWAV_RW");
    decltype(&::Mix_PlayChannel) Mix_PlayChannel = libraries.find("Mix_PlayChannel");
    decltype(&::Mix_RegisterEffect) Mix_RegisterEffect = libraries.find("Mix_RegisterEffect");
    decltype(&::Mix_LoadMUSType_RW) Mix_LoadMUSType_RW = libraries.find("Mix_LoadMUSType_RW");
    decltype(&::Mix_PlayMusic) Mix_PlayMusic = libraries.find("Mix_PlayMusic");
    decltype(&::Mix_Playing) Mix_Playing = libraries.find("Mix_Playing");
    decltype(&::Mix_PlayingMusic) Mix_PlayingMusic = libraries.find("Mix_PlayingMusic");

    decltype(&::sf_open_fd) sf_open_fd = libraries.find("sf_open_fd");
    decltype(&::sf_open_virtual) sf_open_virtual = libraries.find("sf_open_virtual");
    decltype(&::sf_readf_float) sf_readf_float = libraries.find("sf_readf_float");
    decltype(&::sf_seek) sf_seek = libraries.find("sf_seek");
    decltype(&::sf_close) sf_close = libraries.find("sf_close");

    // Declared last: set once every entry point above was looked up.
    bool ok = libraries.allFound();
};

// Loads the libraries once; later calls are cheap. Thread-safe.
const Api& api();

} // namespace zentimo::sdl
