#include "engine/PacedTimer.h"

#include <algorithm>

namespace zentimo {

namespace {
// A tick this close before its moment counts as on time.
constexpr qint64 kEarlyToleranceMs = 20;
} // namespace

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
