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
    const char* summary = "";
    const char* body = "";
    QStringList actions; // key, label, key, label ...
    int expireMs = 0;
};

const AlarmRow kAlarms[] = {
    {.name = "a message not shown is not told",
     .summary = "Countdown Mode",
     .body = "00:00:01",
     .actions = {"alarm-off", "Alarm Off"}},
    {.name = "sound once: nothing waits",
     .loop = false,
     .summary = "Countdown Mode",
     .body = "00:00:01",
     .actions = {},
     .expireMs = -1},
    {.name = "wake",
     .wake = true,
     .summary = "Wake Mode",
     .body = "07:30 a",
     .actions = {"snooze", "Snooze", "alarm-off", "Alarm Off"}},
};

} // namespace

class TestNotice;

namespace {

struct EndRow {
    const char* name;
    bool wake;
    void (*end)(TestNotice&);
    const char* caption; // after the end
    QStringList closed;  // "7", or "7 last" when the program ends
    const char* time;    // the fields after the end
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
        ring(r.wake, r.loop);
        QCOMPARE(server->notices.size(), 1);
        const AlarmNotice::Notice& n = server->notices.first();
        QCOMPARE(n.summary, QString(r.summary));
        QCOMPARE(n.body, QString(r.body));
        QCOMPARE(n.actions, r.actions);
        QCOMPARE(n.expireMs, r.expireMs);
    }

    void noNoticeWhileTheUserIsInZentimo()
    {
        ring(false, true, true);
        QCOMPARE(server->notices.size(), 0);
    }

    // However the alarm ends, the notification goes, once; an action presses the button as the user would.
    void everyEndWithdrawsIt_data()
    {
        QTest::addColumn<int>("row");
        for (int i = 0; i < int(std::size(kEnds)); ++i)
            QTest::newRow(kEnds[i].name) << i;
    }
    void everyEndWithdrawsIt()
    {
        QFETCH(int, row);
        const EndRow& r = kEnds[row];
        ring(r.wake);
        QCOMPARE(server->notices.size(), 1);
        server->answers.first()(7);
        // An older notification's action does nothing.
        notice->actionInvoked(6, AlarmNotice::kAlarmOffKey);
        QCOMPARE(shownCaption(), QString(r.wake ? "Snooze" : "Alarm Off"));
        QVERIFY(server->closed.isEmpty());
        r.end(*this);
        QCOMPARE(shownCaption(), QString(r.caption));
        QCOMPARE(server->closed, r.closed);
        QCOMPARE(MainFixture::time(*m.form1), QString(r.time));
    }

public:
    static void pressButton(TestNotice& t)
    {
        QTest::mouseClick(t.m.form1->button(Cmd::Start), Qt::LeftButton);
    }
    static void stopOnTheBus(TestNotice& t)
    {
        Actions(*t.m.app, *t.m.engine).perform({QStringLiteral("Stop"), {}});
    }
    static void alarmOffAction(TestNotice& t) { t.notice->actionInvoked(7, AlarmNotice::kAlarmOffKey); }
    static void snoozeAction(TestNotice& t) { t.notice->actionInvoked(7, QStringLiteral("snooze")); }
    static void programEnds(TestNotice& t) { t.notice.reset(); }
    static const EndRow kEnds[6];

private Q_SLOTS:
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

// clang-format off
const EndRow TestNotice::kEnds[6] = {
    {.name = "button", .wake = false, .end = pressButton, .caption = "Start", .closed = {"7"}, .time = "00:00:00"},
    {.name = "command line", .wake = false, .end = stopOnTheBus, .caption = "Start", .closed = {"7"}, .time = "00:00:00"},
    {.name = "notification: Alarm Off", .wake = false, .end = alarmOffAction, .caption = "Start", .closed = {"7"},
     .time = "00:00:00"},
    {.name = "wake, notification: Snooze", .wake = true, .end = snoozeAction, .caption = "Stop", .closed = {"7"},
     .time = "07:40:a"},
    // Snooze, then Stop, as two presses of the button would: the fields keep the snoozed time.
    {.name = "wake, notification: Alarm Off", .wake = true, .end = alarmOffAction, .caption = "Start",
     .closed = {"7"}, .time = "07:40:a"},
    {.name = "program ends", .wake = false, .end = programEnds, .caption = "Alarm Off", .closed = {"7 last"},
     .time = "00:00:00"},
};
// clang-format on

QTEST_MAIN(TestNotice)
#include "tst_notice.moc"
