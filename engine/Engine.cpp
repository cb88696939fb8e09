#include "engine/Engine.h"

#include "sound/SoundPlayer.h"

#include <QTimeZone>
#include <algorithm>
#include <iterator>

namespace zentimo {

namespace {
struct Caption {
    RunState state;
    QString text;
};
const Caption kCaptions[] = {{RunState::Idle, QStringLiteral("Start")},
                             {RunState::Running, QStringLiteral("Stop")},
                             {RunState::Ringing, QStringLiteral("Alarm Off")},
                             {RunState::Snoozable, QStringLiteral("Snooze")}};

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

// What leaving a field makes of its text: one digit gets its leading zero, an empty or out-of-range field
// its default.
QString completedFieldText(TimeField field, QString text, bool wake)
{
    const bool oneDigit = text.size() == 1 && !(wake && field == TimeField::Seconds);
    if (oneDigit)
        return text.prepend(QLatin1Char('0'));
    switch (field) {
    case TimeField::Hours:
        if (text.isEmpty() || (wake && fieldNumber(text) > 12))
            return wake ? QStringLiteral("12") : kZero;
        break;
    case TimeField::Minutes:
        if (text.isEmpty() || (wake && fieldNumber(text) > 59))
            return kZero;
        break;
    case TimeField::Seconds:
        if (text.isEmpty())
            return wake ? QStringLiteral("p") : kZero;
        break;
    }
    return text;
}
} // namespace

const QString& runStateCaption(RunState state)
{
    return std::find_if(std::begin(kCaptions), std::end(kCaptions),
                        [state](const Caption& c) { return c.state == state; })
        ->text;
}

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

RunState Engine::stateOf(const Face& face)
{
    const QString caption = face.caption();
    const auto* c = std::find_if(std::begin(kCaptions), std::end(kCaptions),
                                 [&](const Caption& known) { return known.text == caption; });
    // Every caption written is one of these.
    return c != std::end(kCaptions) ? c->state : RunState::Idle;
}

RunState Engine::runState() const
{
    return m_small ? stateOf(*m_small) : RunState::Idle;
}

bool Engine::ringing() const
{
    const RunState state = runState();
    return state == RunState::Ringing || state == RunState::Snoozable;
}

void Engine::showBoth(RunState state)
{
    forBoth([&](Face& f) { f.setCaption(runStateCaption(state)); });
}

FieldTexts Engine::startTime() const
{
    return {twoDigits(m_startHours), m_startMinutes, m_startSeconds};
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
    return cutTip(kAppTitle + QStringLiteral(" - Stopped (") + clockText(t) + QLatin1Char(')'));
}

QString Engine::startedTip(const FieldTexts& t)
{
    return cutTip(kAppTitle + QStringLiteral(" - Started (") + clockText(t) + QLatin1Char(')'));
}

// ---- Run control -------------------------------------------------------------------------------------

void Engine::Command1_Click()
{
    // The count starts at the press, not after the windows have been repainted for the run.
    const qint64 pressedAt = m_clock->elapsedMs();
    switch (runState()) {
    case RunState::Idle:
        if (!startRun(pressedAt))
            return;
        break;
    case RunState::Running:
        stopRun();
        break;
    case RunState::Ringing:
        turnAlarmOff();
        break;
    case RunState::Snoozable:
        snoozeAlarm();
        break;
    }
    updateWatch();
}

// False when nothing was done: the user must first choose a sound source.
bool Engine::startRun(qint64 pressedAt)
{
    if (m_options.SoundFile.isEmpty() && !m_options.UseBuiltIn) {
        Q_EMIT soundSourceNeeded();
        return false;
    }
    lockForRun();
    if (nothingToCount(fields()))
        return true;
    forBoth([](Face& f) {
        f.setButtonEnabled(Cmd::Reset, false);
        f.setStatusPanel(StatusPanel::RunState, kActivated);
    });
    armRun(pressedAt);
    // Loading the sound libraries takes a while the first time: after the count has its start moment.
    if (m_options.SoundOn && !m_options.StopwatchMode)
        m_sound.WarmUp(m_options.UseBuiltIn ? QString() : m_options.SoundFile);
    if (!m_options.WakeMode)
        Q_EMIT runStarted();
    return true;
}

// Tray stays enabled through a run. The spinners follow applyWatch's rule, applied after every press.
void Engine::lockForRun()
{
    // Both windows' fields lock: the big window's fields must not take typing during a run either.
    forBoth([](Face& f) { f.setFieldsLocked(true); });
    showBoth(RunState::Running);
    forBoth([](Face& f) {
        for (Cmd c : kButtonsBesideStart) {
            if (c != Cmd::Tray)
                f.setButtonEnabled(c, false);
        }
    });
}

void Engine::armRun(qint64 pressedAt)
{
    if (m_options.WakeMode) {
        armWake();
    } else if (!m_options.StopwatchMode) {
        m_startSeconds = m_small->fieldText(TimeField::Seconds);
        m_startHours = fieldNumber(m_small->fieldText(TimeField::Hours));
        m_startMinutes = m_small->fieldText(TimeField::Minutes);
        m_sec.start(pressedAt, m_secondMs);
    } else {
        m_timerSW.start(pressedAt, m_secondMs);
    }
}

void Engine::stopRun()
{
    m_timer3.stop();
    forBoth([](Face& f) {
        f.setStatusPanel(StatusPanel::RunState, kDeactivated);
        f.setCaption(runStateCaption(RunState::Idle));
        for (Cmd c : kButtonsBesideStart)
            f.setButtonEnabled(c, true);
    });
    m_timerSW.stop();
    m_sec.stop();
    if (m_options.SoundOn && !m_options.UseBuiltIn)
        m_sound.WarmUp(); // lets go of a sound file opened ahead for this run's alarm
    freeFields();
}

void Engine::turnAlarmOff()
{
    forBoth([this](Face& f) {
        f.setCaption(runStateCaption(RunState::Idle));
        f.setStartButtonColor(m_options.ButtonColor);
        for (Cmd c : kButtonsBesideStart)
            f.setButtonEnabled(c, true);
        f.setStatusPanel(StatusPanel::RunState, kDeactivated);
    });
    stopAlarmSound();
    freeFields();
}

void Engine::snoozeAlarm()
{
    stopSnoozedSound();
    if (m_options.WakeMode) {
        snooze();
        showBoth(RunState::Running);
    }
}

void Engine::freeFields()
{
    forBoth([](Face& f) { f.setFieldsLocked(false); });
}

void Engine::Command2_Click()
{
    Reset(*m_small);
}

void Engine::Reset(Face& face)
{
    if (m_options.WakeMode)
        return;
    m_stopwatch = {};
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
    // A clock set back is never due: the next wake time is after the last check, so after now too.
    if (!wakeTime.isValid() || !m_lastWakeCheck.isValid())
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
    m_stopwatch = stopwatchAdvance(m_stopwatch, seconds, &atLimit);
    m_small->setFieldText(TimeField::Hours, twoDigits(m_stopwatch.hours));
    m_small->setFieldText(TimeField::Minutes, twoDigits(m_stopwatch.minutes));
    m_small->setFieldText(TimeField::Seconds, twoDigits(m_stopwatch.seconds));
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
    if (runState() != RunState::Ringing) {
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
    face.setButtonEnabled(Cmd::Start, !(stateOf(face) == RunState::Idle && nothingToCount(t)));
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
    const bool alarmOff = runState() == RunState::Ringing;
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
        showBoth(m_options.WakeMode ? RunState::Snoozable : RunState::Ringing);
        startAlarmSound();
    }

    if (m_options.AutoRestart && !m_options.WakeMode) {
        forBoth([this](Face& f) {
            f.setCaption(runStateCaption(RunState::Running));
            f.setFieldText(TimeField::Minutes, m_startMinutes);
            f.setFieldText(TimeField::Hours, twoDigits(m_startHours));
            f.setFieldText(TimeField::Seconds, m_startSeconds);
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
    m_fieldHasFocus = true;
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
    if (!m_fieldHasFocus && !text.isEmpty() && !wake)
        face.setSpinnerValue(field, fieldNumber(text));
    if (Face* other = twin(face))
        other->setFieldText(field, face.fieldText(field));
    updateWatch();
}

void Engine::FieldLostFocus(Face& face, TimeField field)
{
    const bool wake = m_options.WakeMode;
    face.setFieldText(field, completedFieldText(field, face.fieldText(field), wake));
    if (!(wake && field == TimeField::Seconds))
        face.setSpinnerValue(field, fieldNumber(face.fieldText(field)));
    m_fieldHasFocus = false;
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
    const bool wake = m_options.WakeMode;
    forBoth([wake](Face& f) {
        f.setSpinnerMaximum(TimeField::Minutes, wake ? 59 : 99);
        f.setSpinnerMaximum(TimeField::Hours, wake ? 12 : 99);
        f.setSpinnerMinimum(TimeField::Hours, wake ? 1 : 0);
    });
    // Wake Mode starts at the clock's minute.
    const FieldTexts texts = wake ? wakeFields(m_clock->now().time()) : FieldTexts{kZero, kZero, kZero};
    forBoth([&](Face& f) {
        f.setFieldText(TimeField::Hours, texts.hours);
        f.setFieldText(TimeField::Minutes, texts.minutes);
        f.setFieldText(TimeField::Seconds, texts.seconds);
        f.setSecondsCaption(wake ? QStringLiteral("AM/PM") : QStringLiteral("Seconds"));
    });
    forBoth([this](Face& f) {
        f.setSpinnerValue(TimeField::Hours, fieldNumber(f.fieldText(TimeField::Hours)));
        f.setSpinnerValue(TimeField::Minutes, fieldNumber(f.fieldText(TimeField::Minutes)));
        if (!m_options.WakeMode && !m_options.StopwatchMode)
            f.setSpinnerValue(TimeField::Seconds, fieldNumber(f.fieldText(TimeField::Seconds)));
    });
    updateWatch();
}

} // namespace zentimo
