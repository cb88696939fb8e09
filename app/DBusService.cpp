#include "app/DBusService.h"

#include "app/Actions.h"
#include "engine/Engine.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QEvent>
#include <QVariantMap>
#include <dbus/dbus.h>
#include <utility>

namespace zentimo {

namespace {

// One "name: value" entry of a property map; the service's properties are strings and booleans.
bool appendProperty(DBusMessageIter* dict, const QString& name, const QVariant& value)
{
    DBusMessageIter entry;
    DBusMessageIter variant;
    const QByteArray key = name.toUtf8();
    const char* keyText = key.constData();
    const bool isBool = value.typeId() == QMetaType::Bool;
    const QByteArray text = value.toString().toUtf8();
    const char* textData = text.constData();
    const dbus_bool_t flag = value.toBool();
    return dbus_message_iter_open_container(dict, DBUS_TYPE_DICT_ENTRY, nullptr, &entry) &&
           dbus_message_iter_append_basic(&entry, DBUS_TYPE_STRING, &keyText) &&
           dbus_message_iter_open_container(&entry, DBUS_TYPE_VARIANT, isBool ? "b" : "s", &variant) &&
           (isBool ? dbus_message_iter_append_basic(&variant, DBUS_TYPE_BOOLEAN, &flag)
                   : dbus_message_iter_append_basic(&variant, DBUS_TYPE_STRING, &textData)) &&
           dbus_message_iter_close_container(&entry, &variant) &&
           dbus_message_iter_close_container(dict, &entry);
}

// PropertiesChanged for changed, written by libdbus on the calling thread: Qt's own send hands every message
// to its bus thread, which would wake each second of a count only to write it.
bool sendOnThisThread(const QDBusConnection& bus, const QVariantMap& changed)
{
    auto* connection = static_cast<DBusConnection*>(bus.internalPointer());
    if (!connection)
        return false;
    const QByteArray path = kBusPath.toUtf8();
    const QByteArray interface = kBusInterface.toUtf8();
    DBusMessage* message =
        dbus_message_new_signal(path.constData(), "org.freedesktop.DBus.Properties", "PropertiesChanged");
    if (!message)
        return false;
    DBusMessageIter args;
    DBusMessageIter dict;
    DBusMessageIter invalidated;
    dbus_message_iter_init_append(message, &args);
    const char* name = interface.constData();
    bool ok = dbus_message_iter_append_basic(&args, DBUS_TYPE_STRING, &name) &&
              dbus_message_iter_open_container(&args, DBUS_TYPE_ARRAY, "{sv}", &dict);
    for (auto it = changed.cbegin(); ok && it != changed.cend(); ++it)
        ok = appendProperty(&dict, it.key(), it.value());
    ok = ok && dbus_message_iter_close_container(&args, &dict) &&
         dbus_message_iter_open_container(&args, DBUS_TYPE_ARRAY, "s", &invalidated) &&
         dbus_message_iter_close_container(&args, &invalidated) &&
         dbus_connection_send(connection, message, nullptr);
    dbus_message_unref(message);
    return ok;
}

} // namespace

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
    // Posted to another object: a call posted to this one is how the bus delivers its calls (see event()).
    QMetaObject::invokeMethod(
        &m_poster, [this] { announce(); }, Qt::QueuedConnection);
}

// A bus call or property read delivered here is answered through Qt's bus thread: the next announcement
// goes the same way, so that it cannot overtake that answer.
bool DBusService::event(QEvent* event)
{
    if (event->type() == QEvent::MetaCall)
        m_answerQueued = true;
    return QObject::event(event);
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
    QDBusConnection bus = QDBusConnection::sessionBus();
    const bool answerQueued = std::exchange(m_answerQueued, false);
    if (!answerQueued && sendOnThisThread(bus, changed))
        return;
    QDBusMessage signal = QDBusMessage::createSignal(
        kBusPath, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("PropertiesChanged"));
    signal << kBusInterface << changed << QStringList();
    bus.send(signal);
}

} // namespace zentimo
