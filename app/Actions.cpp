#include "app/Actions.h"

#include "app/Controller.h"
#include "engine/Engine.h"
#include "shell/Form1.h"
#include "shell/Tray.h"

#include <QApplication>

namespace zentimo {

namespace {
Actions::Answer refused(const QString& why)
{
    return {Actions::Answer::Kind::Refused, why};
}
} // namespace

Actions::Actions(Controller& controller, Engine& engine) : m_controller(controller), m_engine(engine) {}

bool Actions::idle() const
{
    return m_engine.runState() == RunState::Idle;
}

QString Actions::mode() const
{
    const Options& o = m_engine.options();
    return o.WakeMode        ? QStringLiteral("wake")
           : o.StopwatchMode ? QStringLiteral("stopwatch")
                             : QStringLiteral("countdown");
}

bool Actions::running() const
{
    return m_engine.secEnabled() || m_engine.timer3Enabled() || m_engine.timerSWEnabled();
}

bool Actions::alarmRinging() const
{
    return m_engine.ringing();
}

FieldTexts Actions::fields() const
{
    return m_engine.fields();
}

QString Actions::status() const
{
    const FieldTexts t = fields();
    const QString time = m_engine.options().WakeMode ? wakeText(t) : clockText(t);
    const QString state = alarmRinging() ? QStringLiteral("alarm")
                          : running()    ? QStringLiteral("running")
                                         : QStringLiteral("stopped");
    return mode() + QLatin1Char(' ') + state + QLatin1Char(' ') + time;
}

Actions::Answer Actions::perform(const Step& step)
{
    const QString& m = step.method;
    if (m == QLatin1String("Status"))
        return {Answer::Kind::Done, status()};
    // The windows' buttons cannot be reached past a dialog either.
    if (QApplication::activeModalWidget())
        return refused(QStringLiteral("Zentimo is showing a dialog; close it first."));
    if (m == QLatin1String("Stop"))
        return stop();
    if (m == QLatin1String("Countdown") || m == QLatin1String("Wake"))
        return step.time ? setTime(m == QLatin1String("Wake"), *step.time)
                         : Answer{Answer::Kind::BadValue, QStringLiteral("%1 needs a time.").arg(m)};
    if (m == QLatin1String("Stopwatch"))
        return stopwatch();
    if (m == QLatin1String("Start"))
        return start();
    if (m == QLatin1String("Tray"))
        return tray();
    return {Answer::Kind::BadValue, QStringLiteral("no such action: %1").arg(m)};
}

// A time is read once the call could be carried out: a dialog refuses it, whatever its argument.
Actions::Answer Actions::call(const QString& method, const QString& argument)
{
    if (QApplication::activeModalWidget())
        return perform({method, {}});
    const bool wake = method == QLatin1String("Wake");
    if (!wake && method != QLatin1String("Countdown"))
        return perform({method, {}});
    const auto time = wake ? wakeTime(argument) : countdownTime(argument);
    if (!time)
        return {
            Answer::Kind::BadValue,
            wake ? QStringLiteral("%1: not a time of day; %2.").arg(argument, kWakeForms)
                 : QStringLiteral("%1: not a time the fields can hold; %2.").arg(argument, kCountdownForms)};
    return perform({method, time});
}

// The fields are locked while a run or an alarm goes on; a time waits until it is stopped.
Actions::Answer Actions::setTime(bool wakeMode, const FieldTexts& time)
{
    if (!idle())
        return refused(QStringLiteral("Zentimo is running or ringing; stop it first (--stop)."));
    const Options& o = m_engine.options();
    if (o.WakeMode != wakeMode || o.StopwatchMode)
        m_controller.setMode(wakeMode, false);
    // As a preset is loaded: each field's change is mirrored to the other window and its spinner.
    Face& fields = m_controller.form1();
    fields.setFieldText(TimeField::Hours, time.hours);
    fields.setFieldText(TimeField::Minutes, time.minutes);
    fields.setFieldText(TimeField::Seconds, time.seconds);
    return {};
}

Actions::Answer Actions::stopwatch()
{
    if (!idle())
        return refused(QStringLiteral("Zentimo is running or ringing; stop it first (--stop)."));
    if (!m_engine.options().StopwatchMode)
        m_controller.setMode(false, true);
    // A new stopwatch counts from zero, as after Reset.
    m_engine.Command2_Click();
    return {};
}

Actions::Answer Actions::start()
{
    const RunState state = m_engine.runState();
    if (state == RunState::Running)
        return {};
    if (state != RunState::Idle)
        return refused(QStringLiteral("the alarm is ringing; --stop turns it off."));
    const Options& o = m_engine.options();
    // The Start button is disabled then.
    if (!o.StopwatchMode && fields().allZero())
        return refused(QStringLiteral("nothing to count down: the time is 00:00:00."));
    // The button would open the Options dialog here, which a command cannot answer.
    if (o.SoundFile.isEmpty() && !o.UseBuiltIn)
        return refused(QStringLiteral("no alarm sound is chosen; choose one in Options first."));
    m_engine.Command1_Click();
    return {};
}

Actions::Answer Actions::stop()
{
    if (!idle())
        m_engine.Command1_Click();
    return {};
}

Actions::Answer Actions::tray()
{
    if (!m_controller.tray().InTray())
        m_controller.goSystemTray(m_controller.windowInUse());
    return {};
}

} // namespace zentimo
