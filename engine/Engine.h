#pragma once
// Engine: the timer engine owned by the small main window. Holds the mode, the option fields, the start
// values and stopwatch counters, the tick sources, and the handlers of Start/Stop, Reset, the ticks, the
// alarm and the time fields. It acts on both main windows through Face: first the small one, then the big.

#include "engine/Clock.h"
#include "engine/Face.h"
#include "engine/TimeText.h"

#include <QObject>
#include <QTimer>
#include <cstdint>
#include <memory>

namespace zentimo {

class SoundPlayer;

class Engine : public QObject {
    Q_OBJECT
public:
    explicit Engine(SoundPlayer& sound, std::unique_ptr<Clock> clock = nullptr, QObject* parent = nullptr);
    ~Engine() override;

    void setFaces(Face* small, Face* big);
    Face* smallFace() const { return m_small; }
    Face* bigFace() const { return m_big; }
    Face& twin(const Face& face) const;
    SoundPlayer& sound() const { return m_sound; }
    Clock& clock() const { return *m_clock; }

    // Option fields (loaded by the small window, rewritten by the Options dialog).
    bool WakeMode = false;
    bool SoundOn = true;
    bool OnTop = false;
    int BuiltInSound = 107;
    bool UseBuiltIn = true;
    bool AutoRestart = false;
    bool LoopSound = true;
    std::uint32_t ButtonColor = 0x00FF00FF;
    QString SoundFile;
    bool FieldHasFocus = false;

    // Run fields.
    int StartHours = 0;
    QString StartMinutes;
    QString StartSeconds;
    int SwHours = 0;
    int SwMinutes = 0;
    int SwSeconds = 0;

    // Start/Stop/Alarm Off/Snooze, by the small window's caption.
    void Command1_Click();
    // Reset, on the given window's fields (the small window's button uses the small window).
    void Command2_Click();
    void Reset(Face& face);

    void sec_Timer();
    void Timer3_Timer();
    void TimerSW_Timer();
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
    QString modeCaption() const;
    // The window the alarm brings back (0 small, 1 big); remembered by size() so that a cancelled
    // Options dialog does not lose it.
    void setCurrentWindow(int window) { m_currentWindow = window; }
    int currentWindow() const { return m_currentWindow; }

    bool secEnabled() const { return m_sec.isActive(); }
    bool timer3Enabled() const { return m_timer3.isActive(); }
    bool timerSWEnabled() const { return m_timerSW.isActive(); }
    bool flashing() const { return m_flash.isActive(); }
    // Test-only: a faster countdown second for soak runs.
    void setSecondInterval(int ms);

    FieldTexts fields() const; // the small window's texts
    static QString stoppedTip(const FieldTexts& t);
    static QString startedTip(const FieldTexts& t);

Q_SIGNALS:
    // Start found no sound source: the user should choose one in the Options dialog.
    void optionsNeeded();
    void alarmMessageNeeded(const QString& message);
    // The alarm found the program in the tray: remove the icon and show this window (0 small, 1 big).
    void trayRestoreNeeded(int window);
    void trayTipChanged();

private:
    void forBoth(const std::function<void(Face&)>& action);
    void setCaptionBoth(const QString& caption);
    void stopAlarmSound();
    void stopSnoozedSound();
    void startAlarmSound();
    void writeFields(Face& face, const FieldTexts& t);
    void applyWatch(Face& face);
    void armWake();
    bool wakeDue(const QDateTime& now) const;
    QString soundExtension() const;

    SoundPlayer& m_sound;
    std::unique_ptr<Clock> m_clock;
    Face* m_small = nullptr;
    Face* m_big = nullptr;
    QTimer m_sec;
    QTimer m_timer3;
    QTimer m_timerSW;
    QTimer m_flash;
    int m_flashCount = 0;
    int m_currentWindow = 0;
    QDateTime m_lastWakeCheck;
};

} // namespace zentimo
