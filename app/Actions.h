#pragma once
// Actions: what the command line and the bus interface may do, carried out through the same handlers as
// the buttons, so that a countdown set from outside runs, alarms and restarts as one typed in. Nothing here
// writes the settings.

#include "app/CommandLine.h"

#include <QString>

namespace zentimo {

class Controller;
class Engine;

class Actions {
public:
    Actions(Controller& controller, Engine& engine);

    struct Answer {
        enum class Kind { Done, BadValue, Refused };
        Kind kind = Kind::Done;
        QString text; // the status line, or why nothing was done
    };
    // One step of a command line.
    Answer perform(const Step& step);
    // One call on the bus, by its method name, with its time as text.
    Answer call(const QString& method, const QString& argument = {});

    // What the bus shows, and the status line: "countdown running 00:04:59".
    QString mode() const;      // countdown, wake or stopwatch
    bool running() const;      // a tick source is armed
    bool alarmRinging() const; // an alarm waits for the user
    FieldTexts fields() const;
    QString status() const;

private:
    Answer setTime(bool wakeMode, const FieldTexts& time);
    Answer stopwatch();
    Answer start();
    Answer stop();
    Answer tray();
    bool idle() const;

    Controller& m_controller;
    Engine& m_engine;
};

} // namespace zentimo
