#include "app/DBusService.h"

#include "app/Actions.h"
#include "engine/Engine.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QVariantMap>

namespace zentimo {

DBusService::DBusService(Actions& actions, Engine& engine, QObject* parent)
    : QObject(parent), m_actions(actions)
{
    m_last = shown();
    connect(&engine, &Engine::stateChanged, this, &DBusService::engineChanged);
}

bool DBusService::registerOnBus()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    // The object first, so that whoever sees the name appear finds the interface behind it.
    if (!bus.registerObject(kBusPath, this,
                            QDBusConnection::ExportScriptableSlots |
                                QDBusConnection::ExportScriptableProperties))
        return false;
    if (!bus.registerService(kBusName)) {
        bus.unregisterObject(kBusPath);
        return false;
    }
    m_registered = true;
    m_last = shown();
    return true;
}

DBusService::Shown DBusService::shown() const
{
    return {m_actions.mode(), m_actions.running(), m_actions.fields(), m_actions.alarmRinging()};
}

QString DBusService::mode() const
{
    return m_actions.mode();
}

bool DBusService::running() const
{
    return m_actions.running();
}

QString DBusService::hours() const
{
    return m_actions.fields().hours;
}

QString DBusService::minutes() const
{
    return m_actions.fields().minutes;
}

QString DBusService::seconds() const
{
    return m_actions.fields().seconds;
}

bool DBusService::alarmRinging() const
{
    return m_actions.alarmRinging();
}

QString DBusService::perform(const QString& method, const QString& argument)
{
    const Actions::Answer answer = m_actions.call(method, argument);
    if (answer.kind != Actions::Answer::Kind::Done && calledFromDBus()) {
        if (answer.kind == Actions::Answer::Kind::BadValue)
            sendErrorReply(QDBusError::InvalidArgs, answer.text);
        else
            sendErrorReply(kRefusedError, answer.text);
    }
    return answer.text;
}

void DBusService::Countdown(const QString& time)
{
    perform(QStringLiteral("Countdown"), time);
}

void DBusService::Wake(const QString& time)
{
    perform(QStringLiteral("Wake"), time);
}

void DBusService::Stopwatch()
{
    perform(QStringLiteral("Stopwatch"));
}

void DBusService::Start()
{
    perform(QStringLiteral("Start"));
}

void DBusService::Stop()
{
    perform(QStringLiteral("Stop"));
}

void DBusService::Tray()
{
    perform(QStringLiteral("Tray"));
}

QString DBusService::Status()
{
    return perform(QStringLiteral("Status"));
}

// One handler changes several fields and captions in a row: they are compared once it has finished, and
// told in one signal. A posted call, not a timer: nothing wakes the program while nothing changes.
void DBusService::engineChanged()
{
    if (!m_registered || m_announcePending)
        return;
    m_announcePending = true;
    QMetaObject::invokeMethod(this, &DBusService::announce, Qt::QueuedConnection);
}

void DBusService::announce()
{
    m_announcePending = false;
    const Shown now = shown();
    QVariantMap changed;
    if (now.mode != m_last.mode)
        changed.insert(QStringLiteral("Mode"), now.mode);
    if (now.running != m_last.running)
        changed.insert(QStringLiteral("Running"), now.running);
    if (now.fields.hours != m_last.fields.hours)
        changed.insert(QStringLiteral("Hours"), now.fields.hours);
    if (now.fields.minutes != m_last.fields.minutes)
        changed.insert(QStringLiteral("Minutes"), now.fields.minutes);
    if (now.fields.seconds != m_last.fields.seconds)
        changed.insert(QStringLiteral("Seconds"), now.fields.seconds);
    if (now.alarmRinging != m_last.alarmRinging)
        changed.insert(QStringLiteral("AlarmRinging"), now.alarmRinging);
    m_last = now;
    if (changed.isEmpty())
        return;
    QDBusMessage signal = QDBusMessage::createSignal(
        kBusPath, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("PropertiesChanged"));
    signal << kBusInterface << changed << QStringList();
    QDBusConnection::sessionBus().send(signal);
}

} // namespace zentimo
