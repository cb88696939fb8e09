#pragma once
// Many seconds at once, for a tick that finds more time passed than one second (a suspend, a frozen
// process, a stall): the same result as that many one-second ticks.

#include "engine/Clock.h"
#include "engine/TimeText.h"

#include <QTimer>
#include <QtGlobal>

namespace zentimo {

// The countdown after seconds one-second steps, with the same borrowing; it stops when it counts down to
// 00:00:00 (a start at 00:00:00 counts on from 00:00:59). Fields whose number does not change keep their
// text.
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

// A once-a-second tick source on a SecondPace: it fires at each second's moment and tells how many seconds a
// firing counts. The countdown's sec and the stopwatch's TimerSW are one each.
class PacedTimer {
public:
    explicit PacedTimer(const Clock& clock);
    QTimer& timer() { return m_timer; }
    bool running() const { return m_running; }
    void start(qint64 fromMs, int secondMs);
    void stop();
    // Seconds due now and not yet counted (see SecondPace::take); none while stopped.
    qint64 take(bool atLeastOne);
    // Fires again at the next second's moment, if still running.
    void armNext();

private:
    const Clock& m_clock;
    QTimer m_timer;
    SecondPace m_pace;
    bool m_running = false;
};

} // namespace zentimo
