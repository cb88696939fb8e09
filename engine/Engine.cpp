#include "engine/Engine.h"

#include "sound/SoundPlayer.h"

#include <QTimeZone>
#include <functional>

namespace zentimo {

namespace {
const QString kStart = QStringLiteral("Start");
const QString kStop = QStringLiteral("Stop");
const QString kAlarmOff = QStringLiteral("Alarm Off");
const QString kSnooze = QStringLiteral("Snooze");
const QString kActivated = QStringLiteral("Activated");
const QString kDeactivated = QStringLiteral("Deactivated");
const QString kZero = QStringLiteral("00");

// The watch runs about 60 times a second; one toggle per ten ticks makes the button flash about three
// times a second.
constexpr int kWatchIntervalMs = 16;
constexpr int kTicksPerToggle = 10;

QString cutTip(const QString& tip)
{
    return tip.left(Engine::kTipLength);
}
} // namespace

Engine::Engine(SoundPlayer& sound, std::unique_ptr<Clock> clock, QObject* parent)
    : QObject(parent), m_sound(sound), m_clock(clock ? std::move(clock) : std::make_unique<Clock>()),
      m_sec(*m_clock), m_timerSW(*m_clock)
{
    m_timer3.setInterval(1000);
    m_flash.setInterval(kWatchIntervalMs);
    connect(&m_sec.timer(), &QTimer::timeout, this, &Engine::sec_Timer);
    connect(&m_timer3, &QTimer::timeout, this, &Engine::Timer3_Timer);
    connect(&m_timerSW.timer(), &QTimer::timeout, this, &Engine::TimerSW_Timer);
    connect(&m_flash, &QTimer::timeout, this, &Engine::Timer1_Timer);
}

Engine::~Engine() = default;

void Engine::setFaces(Face* small, Face* big)
{
    m_small = small;
    m_big = big;
}

Face* Engine::twin(const Face& face) const
{
    return &face == m_small ? m_big : m_small;
}

void Engine::setSecondInterval(int ms)
{
    m_secondMs = ms;
}

void Engine::forBoth(const std::function<void(Face&)>& action)
{
    action(*m_small);
    if (m_big)
        action(*m_big);
}

void Engine::setCaptionBoth(const QString& caption)
{
    forBoth([&](Face& f) { f.setCaption(caption); });
}

FieldTexts Engine::fields() const
{
    return {m_small->fieldText(TimeField::Hours), m_small->fieldText(TimeField::Minutes),
            m_small->fieldText(TimeField::Seconds)};
}

void Engine::writeFields(Face& face, const FieldTexts& t)
{
    face.setFieldText(TimeField::Seconds, t.seconds);
    face.setFieldText(TimeField::Hours, t.hours);
    face.setFieldText(TimeField::Minutes, t.minutes);
}

QString Engine::stoppedTip(const FieldTexts& t)
{
    return cutTip(kAppTitle + QStringLiteral(" - Stopped (") + t.hours + QLatin1Char(':') + t.minutes +
                  QLatin1Char(':') + t.seconds + QLatin1Char(')'));
}

QString Engine::startedTip(const FieldTexts& t)
{
    return cutTip(kAppTitle + QStringLiteral(" - Started (") + t.hours + QLatin1Char(':') + t.minutes +
                  QLatin1Char(':') + t.seconds + QLatin1Char(')'));
}

// ---- Run control -------------------------------------------------------------------------------------

void Engine::Command1_Click()
{
    // The count starts at the press, not after the windows have been repainted for the run.
    const qint64 pressedAt = m_clock->elapsedMs();
    const QString caption = m_small->caption();
    if (caption == kStart) {
        if (m_options.SoundFile.isEmpty() && !m_options.UseBuiltIn) {
            Q_EMIT soundSourceNeeded();
            return;
        }
        // Both windows' fields lock: the big window's fields must not take typing during a run either.
        forBoth([](Face& f) { f.setFieldsLocked(true); });
        setCaptionBoth(kStop);
        forBoth([](Face& f) {
            for (Cmd c : {Cmd::Reset, Cmd::Options, Cmd::Help, Cmd::About, Cmd::Presets})
                f.setButtonEnabled(c, false);
            f.setSpinnersEnabled(false);
        });
        if (nothingToCount(fields())) {
            updateWatch();
            return;
        }
        forBoth([](Face& f) {
            f.setButtonEnabled(Cmd::Reset, false);
            f.setStatusPanel(2, kActivated);
        });
        if (m_options.WakeMode) {
            armWake();
        } else if (!m_options.StopwatchMode) {
            StartSeconds = m_small->fieldText(TimeField::Seconds);
            StartHours = fieldNumber(m_small->fieldText(TimeField::Hours));
            StartMinutes = m_small->fieldText(TimeField::Minutes);
            m_sec.start(pressedAt, m_secondMs);
        } else {
            m_timerSW.start(pressedAt, m_secondMs);
        }
        // Loading the sound libraries takes a while the first time: after the count has its start moment.
        if (m_options.SoundOn && !m_options.StopwatchMode)
            m_sound.WarmUp(m_options.UseBuiltIn ? QString() : m_options.SoundFile);
        if (!m_options.WakeMode)
            Q_EMIT runStarted();
        forBoth([](Face& f) {
            f.setCaption(kStop);
            f.setSpinnersEnabled(false);
        });
    } else if (caption == kStop) {
        m_timer3.stop();
        forBoth([](Face& f) {
            f.setStatusPanel(2, kDeactivated);
            f.setCaption(kStart);
            for (int c = 2; c <= 7; ++c)
                f.setButtonEnabled(Cmd(c), true);
        });
        m_timerSW.stop();
        m_sec.stop();
        if (m_options.SoundOn && !m_options.UseBuiltIn)
            m_sound.WarmUp(); // lets go of a sound file opened ahead for this run's alarm
        forBoth([](Face& f) {
            f.setSpinnersEnabled(true);
            f.setFieldsLocked(false);
        });
    } else if (caption == kAlarmOff) {
        forBoth([this](Face& f) {
            f.setCaption(kStart);
            f.setStartButtonColor(m_options.ButtonColor);
            for (int c = 2; c <= 7; ++c)
                f.setButtonEnabled(Cmd(c), true);
            f.setStatusPanel(2, kDeactivated);
        });
        stopAlarmSound();
        forBoth([](Face& f) {
            f.setSpinnersEnabled(true);
            f.setFieldsLocked(false);
        });
    } else if (caption == kSnooze) {
        stopSnoozedSound();
        if (m_options.WakeMode) {
            snooze();
            setCaptionBoth(kStop);
        }
    }
    updateWatch();
}

void Engine::Command2_Click()
{
    Reset(*m_small);
}

void Engine::Reset(Face& face)
{
    if (m_options.WakeMode)
        return;
    SwSeconds = 0;
    SwMinutes = 0;
    SwHours = 0;
    face.setFieldText(TimeField::Seconds, kZero);
    face.setFieldText(TimeField::Minutes, kZero);
    face.setFieldText(TimeField::Hours, kZero);
    updateWatch();
}

// ---- Ticks -------------------------------------------------------------------------------------------

void Engine::sec_Timer()
{
    countdownTick(true);
}

void Engine::countdownTick(bool atLeastOne)
{
    const qint64 seconds = m_sec.take(atLeastOne);
    if (seconds > 0) {
        writeFields(*m_small, countdownAdvance(fields(), seconds));
        if (fields().allZero())
            alarm();
        // The tip is refreshed even when no icon is shown; the tray ignores it then.
        Q_EMIT trayTipChanged(startedTip(fields()));
    }
    m_sec.armNext();
}

void Engine::catchUp()
{
    countdownTick(false);
    stopwatchTick(false);
    if (m_timer3.isActive())
        Timer3_Timer();
}

void Engine::armWake()
{
    m_lastWakeCheck = m_clock->now();
    m_timer3.start();
}

// Besides the first tick inside the wake minute, a tick that finds the wake minute passed since the
// previous tick with no tick inside it rings too: a busy or sleeping machine must not lose the alarm.
bool Engine::wakeDue(const QDateTime& now) const
{
    const FieldTexts wake = fields();
    if (wakeClockText(now.time()) == wakeFieldText(wake))
        return true;
    const QTime wakeTime = wakeTimeOfDay(wake);
    if (!wakeTime.isValid() || !m_lastWakeCheck.isValid() || now <= m_lastWakeCheck)
        return false;
    QDateTime next(m_lastWakeCheck.date(), wakeTime, m_lastWakeCheck.timeZone());
    if (next <= m_lastWakeCheck)
        next = next.addDays(1);
    return next <= now;
}

void Engine::Timer3_Timer()
{
    const QDateTime now = m_clock->now();
    const bool due = wakeDue(now);
    m_lastWakeCheck = now;
    if (due) {
        m_timer3.stop();
        alarm();
    }
}

void Engine::TimerSW_Timer()
{
    stopwatchTick(true);
}

void Engine::stopwatchTick(bool atLeastOne)
{
    const qint64 seconds = m_timerSW.take(atLeastOne);
    if (seconds == 0) {
        m_timerSW.armNext();
        return;
    }
    bool atLimit = false;
    const StopwatchCount next = stopwatchAdvance({SwHours, SwMinutes, SwSeconds}, seconds, &atLimit);
    SwHours = next.hours;
    SwMinutes = next.minutes;
    SwSeconds = next.seconds;
    m_small->setFieldText(TimeField::Hours, twoDigits(SwHours));
    m_small->setFieldText(TimeField::Minutes, twoDigits(SwMinutes));
    m_small->setFieldText(TimeField::Seconds, twoDigits(SwSeconds));
    if (atLimit) {
        m_timerSW.stop();
        Q_EMIT stateChanged();
        Q_EMIT stopwatchLimitReached();
        return;
    }
    m_timerSW.armNext();
}

void Engine::Timer1_Timer()
{
    if (m_small->caption() != kAlarmOff) {
        updateWatch();
        return;
    }
    if (++m_flashCount < kTicksPerToggle)
        return;
    m_flashCount = 0;
    forBoth([this](Face& f) {
        f.setStartButtonColor(f.startButtonColor() == m_options.ButtonColor ? kAlarmRed
                                                                            : m_options.ButtonColor);
    });
}

void Engine::applyWatch(Face& face)
{
    const FieldTexts t{face.fieldText(TimeField::Hours), face.fieldText(TimeField::Minutes),
                       face.fieldText(TimeField::Seconds)};
    const bool stopwatch = m_options.StopwatchMode;
    face.setButtonEnabled(Cmd::Start, !(face.caption() == kStart && nothingToCount(t)));
    face.setSpinnersEnabled(!stopwatch);
    face.setButtonEnabled(Cmd::Presets, !stopwatch);
}

// 00:00:00 outside the stopwatch. In Wake Mode the third field holds a letter, so a wake time never is.
bool Engine::nothingToCount(const FieldTexts& t) const
{
    return !m_options.StopwatchMode && !m_options.WakeMode && t.allZero();
}

// The watch's rules hold at every moment; they are applied on each change rather than by polling, so an
// idle program never wakes up. Only the flashing needs a running timer.
void Engine::updateWatch()
{
    if (!m_small)
        return;
    forBoth([this](Face& f) { applyWatch(f); });
    const bool alarmOff = m_small->caption() == kAlarmOff;
    if (alarmOff && !m_flash.isActive()) {
        m_flashCount = 0;
        m_flash.start();
    } else if (!alarmOff && m_flash.isActive()) {
        m_flash.stop();
        m_flashCount = 0;
    }
    Q_EMIT stateChanged();
}

// ---- Alarm -------------------------------------------------------------------------------------------

void Engine::alarm()
{
    if (m_options.ShowMessage)
        Q_EMIT alarmMessageNeeded(m_options.AlarmMessage);
    Q_EMIT windowForwardNeeded();

    if (!m_options.SoundOn) {
        Command1_Click();
    } else {
        setCaptionBoth(m_options.WakeMode ? kSnooze : kAlarmOff);
        startAlarmSound();
    }

    if (m_options.AutoRestart && !m_options.WakeMode) {
        forBoth([this](Face& f) {
            f.setCaption(kStop);
            f.setFieldText(TimeField::Minutes, StartMinutes);
            f.setFieldText(TimeField::Hours, twoDigits(StartHours));
            f.setFieldText(TimeField::Seconds, StartSeconds);
        });
        // The next period runs from this alarm, also when the alarm comes late after a suspend, and also
        // when the sound is off and the Stop action above disarmed the countdown.
        m_sec.start(m_clock->elapsedMs(), m_secondMs);
    } else {
        m_sec.stop();
    }
    updateWatch();
    Q_EMIT alarmRaised();
}

void Engine::startAlarmSound()
{
    const Options& o = m_options;
    if (o.UseBuiltIn) {
        if (o.LoopSound) {
            m_sound.PlayBuiltInLooped(o.BuiltInSound);
        } else {
            m_sound.PlayBuiltInOnce(o.BuiltInSound);
            if (!o.WakeMode)
                Command1_Click();
        }
        return;
    }
    switch (SoundPlayer::kindOf(o.SoundFile)) {
    case SoundPlayer::FileKind::Device:
        // After an auto restart the device may still hold the last alarm's file: close it so this one plays.
        m_sound.CloseDevice();
        m_sound.PlayFile(o.SoundFile, false);
        break;
    case SoundPlayer::FileKind::Wave:
        m_sound.PlayFile(o.SoundFile, o.LoopSound);
        if (!o.LoopSound && !o.WakeMode)
            Command1_Click();
        break;
    case SoundPlayer::FileKind::Unknown:
        break;
    }
}

void Engine::stopAlarmSound()
{
    const Options& o = m_options;
    const auto kind = o.UseBuiltIn ? SoundPlayer::FileKind::Wave : SoundPlayer::kindOf(o.SoundFile);
    if (kind == SoundPlayer::FileKind::Device)
        m_sound.CloseDevice();
    else if (kind == SoundPlayer::FileKind::Wave && o.LoopSound)
        m_sound.StopWaveform();
}

void Engine::stopSnoozedSound()
{
    m_sound.StopWaveform();
    if (!m_options.UseBuiltIn && SoundPlayer::kindOf(m_options.SoundFile) == SoundPlayer::FileKind::Device)
        m_sound.CloseDevice();
}

void Engine::snooze()
{
    const FieldTexts now = fields();
    const FieldTexts next = snoozeStep(now);
    if (next.seconds != now.seconds)
        forBoth([&](Face& f) { f.setFieldText(TimeField::Seconds, next.seconds); });
    m_small->setFieldText(TimeField::Hours, next.hours);
    m_small->setFieldText(TimeField::Minutes, next.minutes);
    armWake();
}

// ---- Time fields -------------------------------------------------------------------------------------

int Engine::filterKey(TimeField field, int keyAscii) const
{
    if (field == TimeField::Seconds && m_options.WakeMode)
        FilterAmPmKey(keyAscii);
    else
        FilterDigitKey(keyAscii);
    return keyAscii;
}

void Engine::FieldGotFocus(Face&, TimeField)
{
    FieldHasFocus = true;
}

void Engine::FieldClicked(Face& face, TimeField field)
{
    if (!m_sec.running() && !m_timer3.isActive())
        face.setFieldText(field, QString());
}

void Engine::FieldTextChanged(Face& face, TimeField field)
{
    const bool wake = m_options.WakeMode;
    if (field == TimeField::Hours)
        face.setSpinnerMinimum(TimeField::Hours, wake ? 1 : 0);
    const QString text = face.fieldText(field);
    if (!FieldHasFocus && !text.isEmpty() && !wake)
        face.setSpinnerValue(field, fieldNumber(text));
    if (Face* other = twin(face))
        other->setFieldText(field, face.fieldText(field));
    updateWatch();
}

void Engine::FieldLostFocus(Face& face, TimeField field)
{
    const bool WakeMode = m_options.WakeMode;
    QString text = face.fieldText(field);
    switch (field) {
    case TimeField::Hours:
        if (text.size() == 1)
            text.prepend(QLatin1Char('0'));
        else if (text.isEmpty() || (WakeMode && fieldNumber(text) > 12))
            text = WakeMode ? QStringLiteral("12") : kZero;
        face.setFieldText(field, text);
        face.setSpinnerValue(field, fieldNumber(face.fieldText(field)));
        break;
    case TimeField::Minutes:
        if (text.size() == 1)
            text.prepend(QLatin1Char('0'));
        else if (text.isEmpty() || (WakeMode && fieldNumber(text) > 59))
            text = kZero;
        face.setFieldText(field, text);
        face.setSpinnerValue(field, fieldNumber(face.fieldText(field)));
        break;
    case TimeField::Seconds:
        if (!WakeMode && text.size() == 1)
            text.prepend(QLatin1Char('0'));
        else if (text.isEmpty())
            text = WakeMode ? QStringLiteral("p") : kZero;
        face.setFieldText(field, text);
        if (!WakeMode)
            face.setSpinnerValue(field, fieldNumber(face.fieldText(field)));
        break;
    }
    FieldHasFocus = false;
}

void Engine::SpinnerChanged(Face& face, TimeField field)
{
    if (m_options.WakeMode && field == TimeField::Seconds) {
        face.setFieldText(field, face.fieldText(field) != QLatin1String("p") ? QStringLiteral("p")
                                                                             : QStringLiteral("a"));
        return;
    }
    face.setFieldText(field, twoDigits(face.spinnerValue(field)));
}

void Engine::applyModeToFields()
{
    if (!m_options.WakeMode) {
        forBoth([](Face& f) {
            f.setSpinnerMaximum(TimeField::Minutes, 99);
            f.setSpinnerMaximum(TimeField::Hours, 99);
            f.setSpinnerMinimum(TimeField::Hours, 0);
        });
        forBoth([](Face& f) {
            for (TimeField field : kAllFields)
                f.setFieldText(field, kZero);
            f.setSecondsCaption(QStringLiteral("Seconds"));
        });
    } else {
        forBoth([](Face& f) {
            f.setSpinnerMaximum(TimeField::Minutes, 59);
            f.setSpinnerMaximum(TimeField::Hours, 12);
            f.setSpinnerMinimum(TimeField::Hours, 1);
        });
        const QTime now = m_clock->now().time();
        int hour = now.hour();
        const QString letter = hour < 12 ? QStringLiteral("a") : QStringLiteral("p");
        if (hour > 12)
            hour -= 12;
        if (hour == 0)
            hour = 12;
        forBoth([&](Face& f) {
            f.setFieldText(TimeField::Hours, twoDigits(hour));
            f.setFieldText(TimeField::Minutes, twoDigits(now.minute()));
            f.setFieldText(TimeField::Seconds, letter);
            f.setSecondsCaption(QStringLiteral("AM/PM"));
        });
    }
    forBoth([this](Face& f) {
        f.setSpinnerValue(TimeField::Hours, fieldNumber(f.fieldText(TimeField::Hours)));
        f.setSpinnerValue(TimeField::Minutes, fieldNumber(f.fieldText(TimeField::Minutes)));
        if (!m_options.WakeMode && !m_options.StopwatchMode)
            f.setSpinnerValue(TimeField::Seconds, fieldNumber(f.fieldText(TimeField::Seconds)));
    });
    updateWatch();
}

} // namespace zentimo
