#pragma once
// AlarmNotice: a desktop notification (org.freedesktop.Notifications on the session bus) at an alarm that
// finds no Zentimo window active, for a user who works in another program. It adds to the alarm and
// replaces nothing. Its actions press the Start/Stop button as the user would; it is withdrawn once the
// alarm no longer waits, however that came about, and when the program ends. Without a notification server
// nothing changes: every call is asynchronous and its failure ignored.

#include <QObject>
#include <QStringList>
#include <functional>
#include <memory>

namespace zentimo {

class Engine;

class AlarmNotice : public QObject {
    Q_OBJECT
public:
    // The arguments of Notify that vary from one alarm to the next.
    struct Notice {
        QString summary;
        QString body;
        QStringList actions; // key, label, key, label...
        int expireMs = -1;   // 0: until withdrawn; -1: as the server likes
    };
    // The notification server as the notice uses it: the real one is on the session bus, a test's is not.
    class Server {
    public:
        virtual ~Server() = default;
        // Shows notice in place of the notification `replaces` (0: none); `shown` gets the new id.
        virtual void notify(const Notice& notice, quint32 replaces, std::function<void(quint32)> shown) = 0;
        // lastCall: the program ends; the request must leave before it does.
        virtual void close(quint32 id, bool lastCall) = 0;
    };

    static inline const QString kAlarmOffKey = QStringLiteral("alarm-off");
    static inline const QString kSnoozeKey = QStringLiteral("snooze");

    explicit AlarmNotice(Engine& engine, std::unique_ptr<Server> server = nullptr, QObject* parent = nullptr);
    ~AlarmNotice() override;

    // What an alarm in the engine's present state shows.
    Notice noticeForAlarm() const;
    // The notification shown now, 0 when there is none.
    quint32 shownId() const { return m_id; }

public Q_SLOTS:
    // The server's signals ActionInvoked and NotificationClosed.
    void actionInvoked(uint id, const QString& key);
    void notificationClosed(uint id, uint reason);

private:
    void alarmRaised();
    void stateChanged();
    void shown(quint64 request, quint32 id);
    void withdraw();

    Engine& m_engine;
    std::unique_ptr<Server> m_server;
    quint32 m_id = 0;
    quint64 m_request = 0;  // the last Notify sent; an older answer is stale
    bool m_waiting = false; // the notice shown belongs to an alarm that waits for the user
};

} // namespace zentimo
