#pragma once
// SleepWatcher: tells the engine the moment the machine wakes from suspend (logind's PrepareForSleep on the
// system bus), so a countdown shows the time that passed at once rather than at its next tick. Where there
// is no system bus or no logind nothing is heard, and the next tick catches up instead.

#include <QObject>

namespace zentimo {

class Engine;

class SleepWatcher : public QObject {
    Q_OBJECT
public:
    explicit SleepWatcher(Engine& engine, QObject* parent = nullptr);

    // Starts listening; later calls do nothing. Cheap and never waits when the bus is absent.
    void listen();

private Q_SLOTS:
    void PrepareForSleep(bool sleeping);

private:
    Engine& m_engine;
    bool m_listening = false;
};

} // namespace zentimo
