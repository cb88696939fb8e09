#include "platform/SessionPlatform.h"

#include "platform/WindowSystem.h"

#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace zentimo {

namespace {

bool isSet(const char* name)
{
    const char* value = std::getenv(name);
    return value && *value;
}

bool waylandSession()
{
    const char* type = std::getenv("XDG_SESSION_TYPE");
    return isSet("WAYLAND_DISPLAY") || (type && std::strcmp(type, "wayland") == 0);
}

bool platformChosen(int argc, char* argv[])
{
    if (isSet("QT_QPA_PLATFORM"))
        return true;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0)
            return true;
    }
    return false;
}

char platformOption[] = "-platform";
char xFirst[] = "xcb;wayland";

} // namespace

SessionPlatform::SessionPlatform(int argc, char* argv[]) : m_argc(argc), m_argv(argv, argv + argc)
{
    if (waylandSession() && isSet("DISPLAY") && !platformChosen(argc, argv)) {
        m_argv.push_back(platformOption);
        m_argv.push_back(xFirst);
        m_argc += 2;
    }
    m_argv.push_back(nullptr);
}

void SessionPlatform::reportLimits()
{
    const QString limits = WindowSystem::current().limits();
    if (!limits.isEmpty())
        std::fprintf(stderr, "%s\n", qPrintable(limits));
}

} // namespace zentimo
