#pragma once

#include "engine/Clock.h"

namespace zentimo {

// A clock that moves only when told. Advancing moves both clocks; set() changes the wall clock alone,
// as the user or a time server does.
class ManualClock : public Clock {
public:
    explicit ManualClock(QDateTime start) : m_now(std::move(start)) {}
    QDateTime now() const override { return m_now; }
    qint64 elapsedMs() const override { return m_elapsedMs; }
    void set(const QDateTime& t) { m_now = t; }
    void advanceMs(qint64 ms)
    {
        m_now = m_now.addMSecs(ms);
        m_elapsedMs += ms;
    }

private:
    QDateTime m_now;
    qint64 m_elapsedMs = 0;
};

} // namespace zentimo
