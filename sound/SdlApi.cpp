#include "sound/SdlApi.h"

#include <QLibrary>

namespace zentimo::sdl {

const Api& api()
{
    static const Api loaded = [] {
        Api a;
        static QLibrary sdl(QStringLiteral("SDL2-2.0"), 0);
        static QLibrary mix(QStringLiteral("SDL2_mixer-2.0"), 0);
        static QLibrary sndfile(QStringLiteral("sndfile"), 1);
        if (!sdl.load() || !mix.load() || !sndfile.load())
            return a;
        bool all = true;
        const auto find = [&](auto& slot, const char* name) {
            QFunctionPointer f = mix.resolve(name);
            if (!f)
                f = sdl.resolve(name);
            if (!f)
                f = sndfile.resolve(name);
            slot = reinterpret_cast<std::remove_reference_t<decltype(slot)>>(f);
            all = all && f;
        };
#define ZENTIMO_SDL_FIND(name) find(a.name, #name);
        ZENTIMO_SDL_FUNCTIONS(ZENTIMO_SDL_FIND)
#undef ZENTIMO_SDL_FIND
        a.ok = all;
        return a;
    }();
    return loaded;
}

} // namespace zentimo::sdl
