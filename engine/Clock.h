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

// A clock that moves only when told. Advancing moves both clocks; set() changes the wall clock alone,
// as the user or a time server does.
class ManualClock : public Clock {
public:
    explicit ManualClock(QDateTime start) : m_now(std::move(start)) {}
    QDateTime now() const override { return m_now; }
    qint64 elapsedMs() const override { return m_elapsedMs; }
    void set(const QDateTime& t) { m_now = t; }
    void advanceSecs(qint64 seconds) { advanceMs(seconds * 1000); }
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
