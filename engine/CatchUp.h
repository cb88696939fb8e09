#pragma once
// Many seconds at once, for a tick that finds more time passed than one second (a suspend, a frozen
// process, a stall): the same result as that many one-second ticks.

#include "engine/TimeText.h"

#include <QtGlobal>

namespace zentimo {

// The countdown after seconds one-second steps, with the same borrowing; it stops at 00:00:00. Fields whose
// number does not change keep their text.
FieldTexts countdownAdvance(const FieldTexts& now, qint64 seconds);

// The stopwatch after seconds one-second steps. Past its limit it holds at 99:59:59 and says so in atLimit.
StopwatchCount stopwatchAdvance(const StopwatchCount& now, qint64 seconds, bool* atLimit);

// Whole seconds since a start on an elapsed clock, and the moment each next second falls due: the pace
// of the countdown and the stopwatch.
class SecondPace {
public:
    void start(qint64 nowMs, int secondMs);
    // Seconds due now and not yet counted; marks them counted. A tick counts at least one (a timer may fire
    // a hair early), so counting never falls behind the ticks.
    qint64 take(qint64 nowMs, bool atLeastOne);
    // Milliseconds from nowMs to the next second's moment (0 when it has passed).
    int untilNext(qint64 nowMs) const;

private:
    qint64 m_startMs = 0;
    qint64 m_counted = 0;
    int m_secondMs = 1000;
};

} // namespace zentimo
