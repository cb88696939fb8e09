#include "sound/SdlApi.h"

namespace zentimo::sdl {

Libraries::Libraries()
    : m_sdl(QStringLiteral("SDL2-2.0"), 0), m_mix(QStringLiteral("SDL2_mixer-2.0"), 0),
      m_sndfile(QStringLiteral("sndfile"), 1)
{
    m_allFound = m_sdl.load() && m_mix.load() && m_sndfile.load();
}

// Without all three libraries nothing is looked up: a half-loaded set is never used.
Libraries::Symbol Libraries::find(const char* name)
{
    if (!m_allFound)
        return Symbol(nullptr);
    QFunctionPointer address = m_mix.resolve(name);
    if (!address)
        address = m_sdl.resolve(name);
    if (!address)
        address = m_sndfile.resolve(name);
    m_allFound = address != nullptr;
    return Symbol(address);
}

const Api& api()
{
    static const Api loaded;
    return loaded;
}

} // namespace zentimo::sdl
