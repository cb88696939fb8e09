// The program's bus interface as a panel applet meets it, on a session bus of the test's own.

#include "app/Actions.h"
#include "app/DBusService.h"
#include "shell/MainFixture.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QEventLoop>
#include <QProcess>
#include <QTimer>

using namespace zentimo;
using namespace zentimo::test;

class TestBus : public QObject {
    Q_OBJECT

    QProcess m_daemon;
    MainFixture m;
    std::unique_ptr<Actions> m_actions;
    std::unique_ptr<DBusService> m_service;
    QStringList m_changes; // typed: QVariant's == takes "01" for true
    static QString typed(const QVariantMap& values)
    {
        QString text;
        QDebug(&text) << values;
        return text;
    }

    QDBusMessage call(const QString& interface, const QString& method, const QVariantList& args = {})
    {
        QDBusMessage message = QDBusMessage::createMethodCall(kBusName, kBusPath, interface, method);
        message.setArguments(args);
        // BlockWithGui: the service answers on this very thread.
        return QDBusConnection(QStringLiteral("applet")).call(message, QDBus::BlockWithGui, 5000);
    }
    QDBusMessage ours(const QString& method, const QVariantList& args = {})
    {
        return call(kBusInterface, method, args);
    }

    struct Later {
        int status;
        QByteArray out, err;
        bool operator==(const Later&) const = default;
        friend char* toString(const Later& l)
        {
            return QTest::toString(QString::number(l.status) + " out " + l.out + " err " + l.err);
        }
    };
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
        QVERIFY(QDBusConnection(QStringLiteral("applet"))
                    .connect(kBusName, kBusPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                             QStringLiteral("PropertiesChanged"), this,
                             SLOT(changed(QString, QVariantMap, QStringList))));
    }
    void cleanupTestCase()
    {
        m_service.reset();
        m_actions.reset();
        m.teardown();
        m_daemon.terminate();
        m_daemon.waitForFinished();
    }

    // What the properties hold and what each step announces, once, with only what changed; bad values and
    // refusals come back as errors with the reason.
    void anAppletSeesTheCountAndDrivesIt()
    {
        const QDBusMessage all = call(QStringLiteral("org.freedesktop.DBus.Properties"),
                                      QStringLiteral("GetAll"), {kBusInterface});
        const QVariantMap idle{{"Mode", "countdown"}, {"Running", false}, {"Hours", "00"},
                               {"Minutes", "00"},     {"Seconds", "00"},  {"AlarmRinging", false}};
        QCOMPARE(qdbus_cast<QVariantMap>(all.arguments().value(0)), idle);
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
        m.clock->advanceMs(1000);
        m.engine->sec_Timer();
        QTRY_COMPARE(m_changes.value(3),
                     typed({{"Running", false}, {"Seconds", "00"}, {"AlarmRinging", true}}));
        QCOMPARE(ours("Wake", {"07:30p"}).errorName(), kRefusedError); // while ringing
        QCOMPARE(ours("Stop").type(), QDBusMessage::ReplyMessage);
        QTRY_COMPARE(m_changes.value(4), typed({{"AlarmRinging", false}}));
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
};

QTEST_MAIN(TestBus)
#include "tst_bus.moc"
