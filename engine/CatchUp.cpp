#include "engine/CatchUp.h"

#include <algorithm>

namespace zentimo {

namespace {
// 99:59:59 on the stopwatch, in seconds.
constexpr qint64 kStopwatchLast = 99 * 3600 + 59 * 60 + 59;
// A tick this close before its moment counts as on time.
constexpr qint64 kEarlyToleranceMs = 20;
} // namespace

FieldTexts countdownAdvance(const FieldTexts& now, qint64 seconds)
{
    FieldTexts t = now;
    // A count that finds the fields at zero has nothing to end: its first second writes "59", as a tick does.
    if (seconds > 0 && t.allZero()) {
        t = countdownStep(t);
        --seconds;
    }
    // Runs of seconds without borrowing go in one stride; each borrow is one step.
    while (seconds > 0 && !t.allZero()) {
        const int s = fieldNumber(t.seconds);
        if (s > 0) {
            const int stride = int(std::min<qint64>(s, seconds));
            t.seconds = twoDigits(s - stride);
            seconds -= stride;
        } else {
            t = countdownStep(t);
            --seconds;
        }
    }
    return t;
}

StopwatchCount stopwatchAdvance(const StopwatchCount& now, qint64 seconds, bool* atLimit)
{
    const qint64 total =
        qint64(now.hours) * 3600 + now.minutes * 60 + now.seconds + std::max<qint64>(seconds, 0);
    *atLimit = total > kStopwatchLast;
    const qint64 shown = std::min(total, kStopwatchLast);
    return {int(shown / 3600), int(shown / 60 % 60), int(shown % 60)};
}

void SecondPace::start(qint64 nowMs, int secondMs)
{
    m_startMs = nowMs;
    m_counted = 0;
    m_secondMs = std::max(secondMs, 1);
}

qint64 SecondPace::take(qint64 nowMs, bool atLeastOne)
{
    const qint64 due = (nowMs - m_startMs + kEarlyToleranceMs) / m_secondMs;
    qint64 steps = due - m_counted;
    if (atLeastOne)
        steps = std::max<qint64>(steps, 1);
    steps = std::max<qint64>(steps, 0);
    m_counted += steps;
    return steps;
}

int SecondPace::untilNext(qint64 nowMs) const
{
    const qint64 next = m_startMs + (m_counted + 1) * m_secondMs;
    return int(std::clamp<qint64>(next - nowMs, 0, m_secondMs));
}

PacedTimer::PacedTimer(const Clock& clock) : m_clock(clock)
{
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setSingleShot(true);
}

void PacedTimer::start(qint64 fromMs, int secondMs)
{
    m_running = true;
    m_pace.start(fromMs, secondMs);
    armNext();
}

void PacedTimer::stop()
{
    m_running = false;
    m_timer.stop();
}

qint64 PacedTimer::take(bool atLeastOne)
{
    return m_running ? m_pace.take(m_clock.elapsedMs(), atLeastOne) : 0;
}

void PacedTimer::armNext()
{
    if (m_running)
        m_timer.start(m_pace.untilNext(m_clock.elapsedMs()));
}

} // namespace zentimo
