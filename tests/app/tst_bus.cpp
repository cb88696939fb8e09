// The program's bus interface as a panel applet meets it, on a session bus of the test's own.

#include "app/Actions.h"
#include "app/AlarmNotice.h"
#include "app/DBusService.h"
#include "app/StatusNotifierHost.h"
#include "shell/MainFixture.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QEventLoop>
#include <QProcess>
#include <QTimer>

using namespace zentimo;
using namespace zentimo::test;

// The desktop's notification server, as the program meets it on the bus.
class Notifications : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    QVariantList notified, image; // the last Notify's arguments; its icon's pixels, as it is in no theme
    QList<uint> closed;
public Q_SLOTS:
    uint Notify(const QString& app, uint replaces, const QString& icon, const QString& summary,
                const QString& body, const QStringList& actions, QVariantMap hints, int timeout)
    {
        const auto pixels = hints.take("image-data").value<QDBusArgument>();
        for (pixels.beginStructure(); !pixels.atEnd();)
            image << pixels.asVariant();
        notified = {app, replaces, icon, summary, body, actions, hints, timeout};
        return 7;
    }
    void CloseNotification(uint id) { closed << id; }
Q_SIGNALS:
    void ActionInvoked(uint id, const QString& key);
};

class Watcher : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered MEMBER host)
public:
    bool host = false;
};

class TestBus : public QObject {
    Q_OBJECT

    QProcess m_daemon;
    MainFixture m;
    std::unique_ptr<Actions> m_actions;
    std::unique_ptr<DBusService> m_service;
    std::unique_ptr<AlarmNotice> m_notice;
    Notifications m_server;
    QStringList m_changes; // typed: QVariant's == takes "01" for true
    template <class T = QVariantMap> static QString typed(const T& values)
    {
        QString text;
        QDebug(&text) << values;
        return text;
    }

    QDBusMessage ours(const QString& method, const QVariantList& args = {},
                      const QString& interface = kBusInterface)
    {
        QDBusMessage message = QDBusMessage::createMethodCall(kBusName, kBusPath, interface, method);
        message.setArguments(args);
        // BlockWithGui: the service answers on this very thread.
        return QDBusConnection(QStringLiteral("applet")).call(message, QDBus::BlockWithGui, 5000);
    }

    using Later = std::tuple<int, QByteArray, QByteArray>; // exit status, output, errors
    // A later start of the program, and what it tells; this thread answers its calls meanwhile.
    static Later later(const QStringList& args, const QByteArray& bus = qgetenv("DBUS_SESSION_BUS_ADDRESS"))
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QString::fromLatin1(bus));
        p.setProcessEnvironment(env);
        QEventLoop loop;
        QObject::connect(&p, &QProcess::finished, &loop, &QEventLoop::quit);
        QTimer::singleShot(20000, &p, &QProcess::kill); // a start that went on to show its windows
        p.start(QStringLiteral(ZENTIMO_BINARY), args);
        loop.exec();
        return {p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError()};
    }

public Q_SLOTS:
    void changed(const QString&, const QVariantMap& v, const QStringList&) { m_changes << typed(v); }

private Q_SLOTS:
    void initTestCase()
    {
        m_daemon.start(QStringLiteral("dbus-daemon"), {"--session", "--nofork", "--print-address=1"});
        QVERIFY(m_daemon.waitForReadyRead(10000));
        const QByteArray address = m_daemon.readLine().trimmed();
        qputenv("DBUS_SESSION_BUS_ADDRESS", address);
        QVERIFY(QDBusConnection::connectToBus(QString::fromLatin1(address), QStringLiteral("applet"))
                    .isConnected());
        m.prepare();
        m.load();
        m.app->show(Controller::Window::Small);
        m_actions = std::make_unique<Actions>(*m.app, *m.engine);
        m_service = std::make_unique<DBusService>(*m_actions, *m.engine);
        QVERIFY(m_service->registerOnBus());
        m_notice = std::make_unique<AlarmNotice>(*m.engine, nullptr);
        QDBusConnection applet(QStringLiteral("applet"));
        QVERIFY(applet.registerObject("/org/freedesktop/Notifications", &m_server,
                                      QDBusConnection::ExportAllContents));
        QVERIFY(applet.registerService("org.freedesktop.Notifications"));
        QVERIFY(applet.connect(kBusName, kBusPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                               QStringLiteral("PropertiesChanged"), this,
                               SLOT(changed(QString, QVariantMap, QStringList))));
    }
    void cleanupTestCase()
    {
        m_daemon.terminate(); // the service, the notice and the windows go with the test, in that order
        m_daemon.waitForFinished();
    }

    // What the properties hold and what each step announces, once, with only what changed; bad values and
    // refusals come back as errors with the reason.
    void anAppletSeesTheCountAndDrivesIt()
    {
        QCOMPARE(ours("Countdown", {"1:30"}).errorName(), QString("org.freedesktop.DBus.Error.InvalidArgs"));
        auto* dialog = new QDialog(m.form1); // refuses every call before its argument is read
        dialog->open();
        QCOMPARE(ours("Countdown", {"1:30"}).errorName(), kRefusedError);
        delete dialog;
        const QDBusMessage refused = ours("Start");
        QCOMPARE(refused.errorName(), kRefusedError);
        QCOMPARE(refused.errorMessage(), QString("nothing to count down: the time is 00:00:00."));
        QCOMPARE(later({"--start"}),
                 (Later{1, "", "zentimo: nothing to count down: the time is 00:00:00.\n"}));
        QCOMPARE(ours("Countdown", {"00:00:02"}).type(), QDBusMessage::ReplyMessage);
        QTRY_COMPARE(m_changes, QStringList{typed({{"Seconds", "02"}})});
        ours("Start");
        QTRY_COMPARE(m_changes.value(1), typed({{"Running", true}}));
        m.clock->advanceMs(1000);
        m.engine->sec_Timer();
        QTRY_COMPARE(m_changes.value(2), typed({{"Seconds", "01"}}));
        QCOMPARE(ours("Status").arguments().value(0).toString(), QString("countdown running 00:00:01"));
        const QDBusMessage all = ours("GetAll", {kBusInterface}, "org.freedesktop.DBus.Properties");
        const QVariantMap running{{"Mode", "countdown"}, {"Running", true}, {"Hours", "00"},
                                  {"Minutes", "00"},     {"Seconds", "01"}, {"AlarmRinging", false}};
        QCOMPARE(qdbus_cast<QVariantMap>(all.arguments().value(0)), running);
        m.clock->advanceMs(1000);
        QApplication::setActiveWindow(nullptr); // the user is in another program
        m.engine->sec_Timer();
        QTRY_COMPARE(m_changes.value(3),
                     typed({{"Running", false}, {"Seconds", "00"}, {"AlarmRinging", true}}));
        QCOMPARE(ours("Wake", {"07:30p"}).errorName(), kRefusedError); // while ringing
        QTRY_COMPARE(typed(m_server.notified),
                     typed(QVariantList{"Zentimo", 0u, "example.fernwick.Zentimo", "Countdown Mode",
                                        "00:00:02", QStringList{"alarm-off", "Alarm Off"},
                                        QVariantMap{{"urgency", QVariant::fromValue(uchar(2))},
                                                    {"suppress-sound", true},
                                                    {"desktop-entry", "example.fernwick.Zentimo"}},
                                        0}));
        m_server.image.last() = int(m_server.image.last().toByteArray().size());
        QCOMPARE(typed(m_server.image), typed(QVariantList{48, 48, 192, true, 8, 4, 9216}));
        Q_EMIT m_server.ActionInvoked(7, "alarm-off"); // the user presses Alarm Off on it
        QTRY_COMPARE(m_changes.value(4), typed({{"AlarmRinging", false}}));
        QTRY_COMPARE(m_server.closed, QList<uint>{7});             // withdrawn
        QCOMPARE(ours("Stop").type(), QDBusMessage::ReplyMessage); // with nothing to stop: nothing changes
        ours("Wake", {"07:30p"});
        QTRY_COMPARE(m_changes.value(5),
                     typed({{"Mode", "wake"}, {"Hours", "07"}, {"Minutes", "30"}, {"Seconds", "p"}}));
        QCOMPARE(later({"--status"}), (Later{0, "wake stopped 07:30p\n", ""}));
        QCOMPARE(later({"--status"}, "unix:path=/nonexistent"),
                 (Later{3, "", "zentimo: no Zentimo is running\n"}));
        ours("Stopwatch");
        QTRY_COMPARE(m_changes.value(6),
                     typed({{"Mode", "stopwatch"}, {"Hours", "00"}, {"Minutes", "00"}, {"Seconds", "00"}}));
    }

    // A tray watcher is a tray only with a host. On the program's own connection: it asks with a blocking
    // call.
    void aTrayWatcherWithoutAHostIsNoTray()
    {
        QVERIFY(!statusNotifierHostPresent());
        Watcher watcher;
        QDBusConnection bus = QDBusConnection::sessionBus();
        QVERIFY(bus.registerObject("/StatusNotifierWatcher", &watcher, QDBusConnection::ExportAllProperties));
        QVERIFY(bus.registerService("org.kde.StatusNotifierWatcher"));
        QVERIFY(!statusNotifierHostPresent());
        watcher.host = true;
        QVERIFY(statusNotifierHostPresent());
    }
};

QTEST_MAIN(TestBus)
#include "tst_bus.moc"
