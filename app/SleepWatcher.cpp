#include "app/SleepWatcher.h"

#include "engine/Engine.h"

#include <QDBusConnection>

namespace zentimo {

SleepWatcher::SleepWatcher(Engine& engine, QObject* parent) : QObject(parent), m_engine(engine) {}

void SleepWatcher::listen()
{
    if (m_listening)
        return;
    m_listening = true;
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected())
        return;
    bus.connect(QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
                QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PrepareForSleep"), this,
                SLOT(PrepareForSleep(bool)));
}

void SleepWatcher::PrepareForSleep(bool sleeping)
{
    if (!sleeping)
        m_engine.catchUp();
}

} // namespace zentimo
