#include "app/Shared.h"

namespace zentimo {

namespace {
Shared g_shared;
}

Shared& shared()
{
    return g_shared;
}

void resetShared()
{
    g_shared = Shared{};
}

} // namespace zentimo
