#pragma once
// SDL, SDL_mixer and libsndfile, loaded when the first sound is needed, not when the program starts (with
// their forty-odd codec and sound-server libraries they take tens of milliseconds to load).

#include <SDL.h>
#include <SDL_mixer.h>
#include <sndfile.h>

namespace zentimo::sdl {

struct Api {
#define ZENTIMO_SDL_FUNCTIONS(X)                                                                             \
    X(SDL_SetHint)                                                                                           \
    X(SDL_InitSubSystem)                                                                                     \
    X(SDL_QuitSubSystem)                                                                                     \
    X(SDL_RWFromConstMem)                                                                                    \
    X(SDL_RWFromFP)                                                                                          \
    X(SDL_NewAudioStream)                                                                                    \
    X(SDL_AudioStreamPut)                                                                                    \
    X(SDL_AudioStreamGet)                                                                                    \
    X(SDL_AudioStreamFlush)                                                                                  \
    X(SDL_FreeAudioStream)                                                                                   \
    X(Mix_OpenAudioDevice)                                                                                   \
    X(Mix_AllocateChannels)                                                                                  \
    X(Mix_ChannelFinished)                                                                                   \
    X(Mix_HookMusicFinished)                                                                                 \
    X(Mix_HaltChannel)                                                                                       \
    X(Mix_HaltMusic)                                                                                         \
    X(Mix_FreeMusic)                                                                                         \
    X(Mix_FreeChunk)                                                                                         \
    X(Mix_CloseAudio)                                                                                        \
    X(Mix_Quit)                                                                                              \
    X(Mix_LoadWAV_RW)                                                                                        \
    X(Mix_PlayChannel)                                                                                       \
    X(Mix_RegisterEffect)                                                                                    \
    X(Mix_LoadMUSType_RW)                                                                                    \
    X(Mix_PlayMusic)                                                                                         \
    X(Mix_Playing)                                                                                           \
    X(Mix_PlayingMusic)                                                                                      \
    X(sf_open_fd)                                                                                            \
    X(sf_open_virtual)                                                                                       \
    X(sf_readf_float)                                                                                        \
    X(sf_seek)                                                                                               \
    X(sf_close)
#define ZENTIMO_SDL_SLOT(name) decltype(&::name) name = nullptr;
    ZENTIMO_SDL_FUNCTIONS(ZENTIMO_SDL_SLOT)
#undef ZENTIMO_SDL_SLOT
    bool ok = false; // every entry point above was found
};

// Loads the libraries once; later calls are cheap. Thread-safe.
const Api& api();

} // namespace zentimo::sdl
