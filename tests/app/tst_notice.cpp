// The desktop notification at an alarm, against a recording server: what each alarm shows, what its
// actions press, and that every way of ending the alarm withdraws it. The end-to-end test sees the real bus
// and an alarm with its message.

#include "app/Actions.h"
#include "app/AlarmNotice.h"
#include "shell/MainFixture.h"

using namespace zentimo;
using namespace zentimo::test;

namespace {

struct RecordingServer : AlarmNotice::Server {
    QList<AlarmNotice::Notice> notices;
    QList<quint32> replaced;
    QList<std::function<void(quint32)>> answers;
    QStringList closed; // "7", or "7 last" when the program ends

    void notify(const AlarmNotice::Notice& n, quint32 replaces, std::function<void(quint32)> shown) override
    {
        notices << n;
        replaced << replaces;
        answers << std::move(shown);
    }
    void close(quint32 id, bool lastCall) override
    {
        closed << QString::number(id) + (lastCall ? " last" : "");
    }
};

struct AlarmRow {
    const char* name;
    bool wake = false;
    bool loop = true;
    bool showMessage = false;
    bool zentimoActive = false;
    const char* summary = "";
    const char* body = "";
    const char* actions = ""; // keys and labels, "|"-joined
    int expireMs = 0;
};

const AlarmRow kAlarms[] = {
    {.name = "a message not shown is not told",
     .summary = "Countdown Mode",
     .body = "00:00:01",
     .actions = "alarm-off|Alarm Off"},
    {.name = "sound once: nothing waits",
     .loop = false,
     .summary = "Countdown Mode",
     .body = "00:00:01",
     .expireMs = -1},
    {.name = "wake",
     .wake = true,
     .summary = "Wake Mode",
     .body = "07:30 a",
     .actions = "snooze|Snooze|alarm-off|Alarm Off"},
    {.name = "the user is in Zentimo", .zentimoActive = true},
};

} // namespace

class TestNotice : public QObject {
    Q_OBJECT

    MainFixture m;
    RecordingServer* server = nullptr;
    std::unique_ptr<AlarmNotice> notice;

    void ring(bool wake, bool loop = true, bool zentimoActive = false)
    {
        withOptions(*m.engine, [&](Options& o) {
            o.WakeMode = wake;
            o.LoopSound = loop;
        });
        m.setTime(*m.form1, wake ? "07" : "00", wake ? "30" : "00", wake ? "a" : "01");
        m.clock->set(QDateTime(QDate(2026, 12, 7), QTime(7, 30, 5)));
        m.engine->Command1_Click();
        QApplication::setActiveWindow(zentimoActive ? m.form1 : nullptr);
        wake ? m.engine->Timer3_Timer() : m.engine->sec_Timer();
    }
    QString shownCaption() const { return m.form1->caption(); }

private Q_SLOTS:
    void init()
    {
        m.prepare();
        m.start();
        auto s = std::make_unique<RecordingServer>();
        server = s.get();
        notice = std::make_unique<AlarmNotice>(*m.engine, std::move(s));
        withOptions(*m.engine, [](Options& o) { o.AlarmMessage = QStringLiteral("Tea is ready"); });
    }
    void cleanup()
    {
        notice.reset();
        m.teardown();
    }

    void alarmShows_data()
    {
        QTest::addColumn<int>("row");
        for (int i = 0; i < int(std::size(kAlarms)); ++i)
            QTest::newRow(kAlarms[i].name) << i;
    }
    void alarmShows()
    {
        QFETCH(int, row);
        const AlarmRow& r = kAlarms[row];
        withOptions(*m.engine, [&](Options& o) { o.ShowMessage = r.showMessage; });
        ring(r.wake, r.loop, r.zentimoActive);
        if (r.zentimoActive) {
            QCOMPARE(server->notices.size(), 0);
            return;
        }
        QCOMPARE(server->notices.size(), 1);
        const AlarmNotice::Notice& n = server->notices.first();
        QCOMPARE(n.summary, QString(r.summary));
        QCOMPARE(n.body, QString(r.body));
        QCOMPARE(n.actions.join('|'), QString(r.actions));
        QCOMPARE(n.expireMs, r.expireMs);
    }

    // However the alarm ends, the notification goes, once; an action presses the button as the user would.
    void everyEndWithdrawsIt_data()
    {
        QTest::addColumn<bool>("wake");
        QTest::addColumn<QString>("end");
        QTest::addColumn<QString>("caption");
        QTest::newRow("button") << false << "button"
                                << "Start";
        QTest::newRow("command line") << false << "bus Stop"
                                      << "Start";
        QTest::newRow("notification: Alarm Off") << false << "action alarm-off"
                                                 << "Start";
        QTest::newRow("wake, notification: Snooze") << true << "action snooze"
                                                    << "Stop";
        QTest::newRow("wake, notification: Alarm Off") << true << "action alarm-off"
                                                       << "Start";
        QTest::newRow("program ends") << false << "exit"
                                      << "Alarm Off";
    }
    void everyEndWithdrawsIt()
    {
        QFETCH(bool, wake);
        QFETCH(QString, end);
        QFETCH(QString, caption);
        ring(wake);
        QCOMPARE(server->notices.size(), 1);
        server->answers.first()(7);
        // An older notification's action does nothing.
        notice->actionInvoked(6, AlarmNotice::kAlarmOffKey);
        QCOMPARE(shownCaption(), QString(wake ? "Snooze" : "Alarm Off"));
        QVERIFY(server->closed.isEmpty());

        Actions actions(*m.app, *m.engine);
        if (end == "button")
            QTest::mouseClick(m.form1->button(Cmd::Start), Qt::LeftButton);
        else if (end == "bus Stop")
            actions.perform({QStringLiteral("Stop"), {}});
        else if (end.startsWith("action"))
            notice->actionInvoked(7, end.section(' ', 1));
        else
            notice.reset();
        QCOMPARE(shownCaption(), caption);
        QCOMPARE(server->closed, QStringList{end == "exit" ? "7 last" : "7"});
        if (wake && caption == "Stop")
            QCOMPARE(MainFixture::time(*m.form1), QString("07:40:a"));
    }

    // The alarm is over before the server has answered: the notification is withdrawn as it arrives. The next
    // alarm's notification takes the place of one that did not wait.
    void lateAnswersAndRepeats()
    {
        ring(false);
        m.engine->Command1_Click();
        QVERIFY(server->closed.isEmpty());
        server->answers.first()(3);
        QCOMPARE(server->closed, QStringList{"3"});

        ring(false, false);
        server->answers.last()(4);
        ring(false, false);
        QCOMPARE(server->replaced, (QList<quint32>{0, 0, 4}));
        notice->notificationClosed(4, 2);
        notice.reset();
        QCOMPARE(server->closed, QStringList{"3"});
    }
};

QTEST_MAIN(TestNotice)
#include "tst_notice.moc"
