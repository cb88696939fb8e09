#include "app/AlarmNotice.h"

#include "engine/Engine.h"
#include "shell/kit/Artwork.h"

#include <QApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QIcon>
#include <QImage>
#include <QVariantMap>

namespace zentimo {

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = kService;
// The desktop file's id, which is also the installed icon's name.
const QString kDesktopId = QStringLiteral("example.fernwick.Zentimo");

// The notification's "image-data" hint, (iiibiiay): the icon itself, for a server that cannot find it by
// name because the program runs from where it was built, not installed.
struct IconPixels {
    QImage image;
};

QDBusArgument& operator<<(QDBusArgument& arg, const IconPixels& icon)
{
    const QImage& img = icon.image;
    arg.beginStructure();
    arg << img.width() << img.height() << int(img.bytesPerLine()) << true << 8 << 4
        << QByteArray(reinterpret_cast<const char*>(img.constBits()), int(img.sizeInBytes()));
    arg.endStructure();
    return arg;
}

const QDBusArgument& operator>>(const QDBusArgument& arg, IconPixels&)
{
    return arg;
}

QVariantMap noticeHints()
{
    // The alarm plays its own sound; a critical notification stays until it is withdrawn.
    QVariantMap hints{{QStringLiteral("urgency"), QVariant::fromValue(uchar(2))},
                      {QStringLiteral("suppress-sound"), true},
                      {QStringLiteral("desktop-entry"), kDesktopId}};
    if (!QIcon::hasThemeIcon(kDesktopId)) {
        static const QMetaType registered = qDBusRegisterMetaType<IconPixels>();
        Q_UNUSED(registered);
        const IconPixels icon{programIconImage(48).convertToFormat(QImage::Format_RGBA8888)};
        hints.insert(QStringLiteral("image-data"), QVariant::fromValue(icon));
    }
    return hints;
}

class BusServer : public AlarmNotice::Server {
public:
    explicit BusServer(AlarmNotice* notice) : m_notice(notice) {}

    void notify(const AlarmNotice::Notice& notice, quint32 replaces,
                std::function<void(quint32)> shown) override
    {
        QDBusConnection bus = QDBusConnection::sessionBus();
        if (!bus.isConnected())
            return;
        if (!m_listening) {
            // From any sender: naming the service here would ask the bus for its owner and wait. The ids
            // tell our notifications apart.
            m_listening = true;
            bus.connect(QString(), kPath, kInterface, QStringLiteral("ActionInvoked"), m_notice,
                        SLOT(actionInvoked(uint, QString)));
            bus.connect(QString(), kPath, kInterface, QStringLiteral("NotificationClosed"), m_notice,
                        SLOT(notificationClosed(uint, uint)));
        }
        QDBusMessage call =
            QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Notify"));
        call << kAppTitle << replaces << kDesktopId << notice.summary << notice.body << notice.actions
             << noticeHints() << qint32(notice.expireMs);
        auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), m_notice);
        QObject::connect(watcher, &QDBusPendingCallWatcher::finished, m_notice, [watcher, shown] {
            const QDBusPendingReply<uint> reply = *watcher;
            if (reply.isValid())
                shown(reply.value());
            watcher->deleteLater();
        });
    }

    void close(quint32 id, bool lastCall) override
    {
        QDBusConnection bus = QDBusConnection::sessionBus();
        QDBusMessage call =
            QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("CloseNotification"));
        call << id;
        // A message only queued when the program ends may never leave it; the server answered moments ago.
        if (lastCall)
            bus.call(call, QDBus::Block, 500);
        else
            bus.asyncCall(call);
    }

private:
    AlarmNotice* m_notice;
    bool m_listening = false;
};

} // namespace

AlarmNotice::AlarmNotice(Engine& engine, std::unique_ptr<Server> server, QObject* parent)
    : QObject(parent), m_engine(engine),
      m_server(server ? std::move(server) : std::make_unique<BusServer>(this))
{
    connect(&m_engine, &Engine::alarmRaised, this, &AlarmNotice::alarmRaised);
    connect(&m_engine, &Engine::stateChanged, this, &AlarmNotice::stateChanged);
}

AlarmNotice::~AlarmNotice()
{
    // Its actions would reach no one.
    if (m_id)
        m_server->close(m_id, true);
}

AlarmNotice::Notice AlarmNotice::noticeForAlarm() const
{
    const Options& o = m_engine.options();
    const QString mode = o.modeCaption();
    const QString time = o.WakeMode ? wakeFieldText(m_engine.fields()) : clockText(m_engine.startTime());
    const bool message = o.ShowMessage && !o.AlarmMessage.trimmed().isEmpty();
    Notice n;
    n.summary = message ? o.AlarmMessage : mode;
    n.body = message ? mode + QLatin1Char(' ') + time : time;
    const QString& alarmOff = runStateCaption(RunState::Ringing);
    const RunState state = m_engine.runState();
    if (state == RunState::Snoozable)
        n.actions = QStringList{kSnoozeKey, runStateCaption(RunState::Snoozable), kAlarmOffKey, alarmOff};
    else if (state == RunState::Ringing)
        n.actions = QStringList{kAlarmOffKey, alarmOff};
    // An alarm that does not wait has nothing to withdraw it.
    n.expireMs = n.actions.isEmpty() ? -1 : 0;
    return n;
}

void AlarmNotice::alarmRaised()
{
    // The user is looking at Zentimo already. The alarm's own activation requests are not answered yet.
    if (QApplication::activeWindow())
        return;
    m_waiting = m_engine.ringing();
    const quint64 request = ++m_request;
    const bool waits = m_waiting;
    m_server->notify(noticeForAlarm(), m_id, [this, request, waits](quint32 id) {
        if (request != m_request) {
            // A later alarm's notice is on its way; this one is not wanted any more.
            if (id != m_id)
                m_server->close(id, false);
            return;
        }
        m_id = id;
        if (waits && !m_waiting)
            withdraw();
    });
}

void AlarmNotice::stateChanged()
{
    if (m_waiting && !m_engine.ringing()) {
        m_waiting = false;
        withdraw();
    }
}

void AlarmNotice::withdraw()
{
    if (m_id)
        m_server->close(m_id, false);
    m_id = 0;
}

// As the user would press the Start/Stop button: "Snooze" once; "Alarm Off" once, or in Wake Mode, where the
// button offers no Alarm Off, Snooze and then Stop. An action of an older notification does nothing.
void AlarmNotice::actionInvoked(uint id, const QString& key)
{
    if (id == 0 || id != m_id || !m_waiting)
        return;
    const bool snoozing = m_engine.runState() == RunState::Snoozable;
    if (key == kAlarmOffKey) {
        m_engine.Command1_Click();
        if (snoozing)
            m_engine.Command1_Click();
    } else if (key == kSnoozeKey && snoozing) {
        m_engine.Command1_Click();
    }
}

void AlarmNotice::notificationClosed(uint id, uint)
{
    if (id == m_id)
        m_id = 0;
}

} // namespace zentimo
