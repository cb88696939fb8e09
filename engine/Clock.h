#pragma once
// Time of day, and time elapsed through suspend; injectable so that tests need not wait for either.

#include <QDateTime>

namespace zentimo {

class Clock {
public:
    virtual ~Clock() = default;
    // The wall clock in the current time zone, re-read each time: the user may change either.
    virtual QDateTime now() const;
    // Milliseconds on a clock that never goes back and runs on while the machine sleeps (CLOCK_BOOTTIME).
    virtual qint64 elapsedMs() const;
};

} // namespace zentimo
