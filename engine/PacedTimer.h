#pragma once
// The once-a-second tick sources of the countdown and the stopwatch. A tick that finds more time passed
// than one second (a suspend, a frozen process, a stall) counts all of it at once.

#include "engine/Clock.h"

#include <QTimer>
#include <QtGlobal>

namespace zentimo {

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
