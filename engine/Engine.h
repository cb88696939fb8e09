#pragma once
// Engine: the timer engine. Holds the options, the start values and stopwatch counters, the tick sources,
// and the handlers of Start/Stop, Reset, the ticks, the alarm and the time fields. It acts on both main
// windows through Face, first the small one, then the big one (which may not be built yet), and says what it
// needs of the user interface through its signals.

#include "engine/Clock.h"
#include "engine/Colors.h"
#include "engine/Face.h"
#include "engine/Options.h"
#include "engine/PacedTimer.h"
#include "engine/TimeText.h"

#include <QObject>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <memory>

namespace zentimo {

class SoundPlayer;

// The run state, as the Start/Stop button's caption shows it on both windows (the caption holds it; the
// engine reads it back from there).
enum class RunState {
    Idle,      // "Start": the fields take typing
    Running,   // "Stop": a run goes on, also one with nothing armed (00:00:00, the stopwatch at its limit)
    Ringing,   // "Alarm Off": a countdown's alarm waits to be turned off; the button flashes
    Snoozable, // "Snooze": a wake alarm waits; the button moves it ten minutes on
};
// The caption that shows the state.
const QString& runStateCaption(RunState state);

class Engine : public QObject {
    Q_OBJECT
public:
    explicit Engine(SoundPlayer& sound, std::unique_ptr<Clock> clock = nullptr, QObject* parent = nullptr);
    ~Engine() override;

    // The big face may be given later, once it is built and shows what the small one does.
    void setFaces(Face* small, Face* big);
    Face* smallFace() const { return m_small; }
    Face* bigFace() const { return m_big; }
    SoundPlayer& sound() const { return m_sound; }
    Clock& clock() const { return *m_clock; }

    const Options& options() const { return m_options; }
    // Takes effect from the next handler on; the fields are left as they are (see applyModeToFields).
    void setOptions(const Options& options) { m_options = options; }

    RunState runState() const;
    // An alarm waits for the user: "Alarm Off" or "Snooze".
    bool ringing() const;

    // A field has the keyboard: its text is being typed and is not yet a number for its spinner.
    bool fieldHasFocus() const { return m_fieldHasFocus; }
    // The countdown's start values, taken at its last Start, as the fields showed them.
    FieldTexts startTime() const;

    // Start/Stop/Alarm Off/Snooze, by the run state.
    void Command1_Click();
    // Reset, on the given window's fields (the small window's button uses the small window).
    void Command2_Click();
    void Reset(Face& face);

    // The ticks. The countdown and the stopwatch count the whole seconds that really passed since the last
    // tick (at least one), so a suspend or a stall is caught up at once.
    void sec_Timer();
    void Timer3_Timer();
    void TimerSW_Timer();
    // After a resume: counts what passed while asleep without waiting for the next tick.
    void catchUp();
    // The watch: enabled states by mode and fields, and the "Alarm Off" flashing.
    void Timer1_Timer();
    // Applies the watch's rules now; every handler that changes fields, captions or the mode calls it.
    void updateWatch();

    void alarm();
    void snooze();

    // Time-field events of either window.
    void FieldGotFocus(Face& face, TimeField field);
    void FieldClicked(Face& face, TimeField field);
    void FieldTextChanged(Face& face, TimeField field);
    void FieldLostFocus(Face& face, TimeField field);
    void SpinnerChanged(Face& face, TimeField field);
    // Filters one typed character of a field; 0 discards it.
    int filterKey(TimeField field, int keyAscii) const;

    // After the Options dialog: ranges, texts and captions of the fields for the current mode.
    void applyModeToFields();

    bool secEnabled() const { return m_sec.running(); }
    bool timer3Enabled() const { return m_timer3.isActive(); }
    bool timerSWEnabled() const { return m_timerSW.running(); }
    bool flashing() const { return m_flash.isActive(); }
    // Test-only: a faster second for soak runs.
    void setSecondInterval(int ms);

    FieldTexts fields() const; // the small window's texts
    // The notification-area tip, already cut to the length the tip holds.
    static QString stoppedTip(const FieldTexts& t);
    static QString startedTip(const FieldTexts& t);
    static constexpr int kTipLength = 63;

Q_SIGNALS:
    // Start found no sound source: the user must choose one (the Start stays undone).
    void soundSourceNeeded();
    // The stopwatch stopped at 99:59:59.
    void stopwatchLimitReached();
    // The alarm wants its message shown; the main windows leave the top band for it.
    void alarmMessageNeeded(const QString& message);
    // The alarm wants the window in use in front of the user, from the tray if the program is there.
    void windowForwardNeeded();
    // A countdown tick wrote a new tip.
    void trayTipChanged(const QString& tip);
    // The fields, the caption, the mode or a tick source may have changed. Raised by the handlers that change
    // them and never while nothing happens, so an observer comparing with what it saw last needs no timer.
    void stateChanged();
    // A countdown or a stopwatch began to count.
    void runStarted();
    // An alarm has run its course; the caption says whether it waits for the user.
    void alarmRaised();

private:
    void forBoth(const std::function<void(Face&)>& action);
    Face* twin(const Face& face) const;
    static RunState stateOf(const Face& face);
    void showBoth(RunState state);
    bool startRun(qint64 pressedAt);
    void lockForRun();
    void armRun(qint64 pressedAt);
    void stopRun();
    void turnAlarmOff();
    void snoozeAlarm();
    void freeFields();
    void stopAlarmSound();
    void stopSnoozedSound();
    void startAlarmSound();
    void writeFields(Face& face, const FieldTexts& t);
    void applyWatch(Face& face);
    bool nothingToCount(const FieldTexts& t) const;
    void armWake();
    void countdownTick(bool atLeastOne);
    void stopwatchTick(bool atLeastOne);
    bool wakeDue(const QDateTime& now) const;

    SoundPlayer& m_sound;
    Options m_options;
    std::unique_ptr<Clock> m_clock;
    Face* m_small = nullptr;
    Face* m_big = nullptr;
    // sec and TimerSW fire once per second's moment and are armed again for the next one.
    PacedTimer m_sec;
    QTimer m_timer3;
    PacedTimer m_timerSW;
    int m_secondMs = 1000;
    QTimer m_flash;
    int m_flashCount = 0;
    QDateTime m_lastWakeCheck;
    bool m_fieldHasFocus = false;
    // StartHours as a number, StartMinutes and StartSeconds as texts.
    int m_startHours = 0;
    QString m_startMinutes;
    QString m_startSeconds;
    // SwHours, SwMinutes, SwSeconds.
    StopwatchCount m_stopwatch;
};

} // namespace zentimo
