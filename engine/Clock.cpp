#include "engine/Clock.h"

#include <ctime>

namespace zentimo {

QDateTime Clock::now() const
{
    // The C library reads the time zone once unless asked again; a zone or daylight-saving change must show.
    ::tzset();
    return QDateTime::currentDateTime();
}

qint64 Clock::elapsedMs() const
{
    timespec ts{};
    if (::clock_gettime(CLOCK_BOOTTIME, &ts) != 0)
        ::clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

} // namespace zentimo
