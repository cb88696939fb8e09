// Against a recording server; the bus test meets Notify on a bus, and the end-to-end test a real server.

#include "app/AlarmNotice.h"
#include "shell/MainFixture.h"

using namespace zentimo;
using namespace zentimo::test;

class TestNotice;

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

} // namespace

struct EndRow {
    const char* name;
    bool wake = false;
    void (*end)(TestNotice&);
    const char* caption; // after the end
    const char* closed = "7";
    const char* time = "00:00:00"; // the fields after the end
};
Q_DECLARE_METATYPE(EndRow)

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

    // However the alarm ends, the notification goes, once; an action presses the button as the user would.
    void everyEndWithdrawsIt_data()
    {
        const auto alarmOff = [](TestNotice& t) { t.notice->actionInvoked(7, AlarmNotice::kAlarmOffKey); };
        // clang-format off
        const EndRow rows[] = {
            {.name = "button",
             .end = [](TestNotice& t) { QTest::mouseClick(t.m.form1->button(Cmd::Start), Qt::LeftButton); },
             .caption = "Start"},
            {.name = "wake, notification: Snooze", .wake = true,
             .end = [](TestNotice& t) { t.notice->actionInvoked(7, QStringLiteral("snooze")); },
             .caption = "Stop", .time = "07:40:a"},
            // Snooze, then Stop, as two presses of the button would: the fields keep the snoozed time.
            {.name = "wake, notification: Alarm Off", .wake = true, .end = alarmOff, .caption = "Start",
             .time = "07:40:a"},
            {.name = "program ends", .end = [](TestNotice& t) { t.notice.reset(); }, .caption = "Alarm Off",
             .closed = "7 last"},
        };
        // clang-format on
        addRows(rows);
    }
    void everyEndWithdrawsIt()
    {
        QFETCH(EndRow, row);
        ring(row.wake);
        QCOMPARE(server->notices.size(), 1);
        const QStringList alarmOff{"alarm-off", "Alarm Off"};
        QCOMPARE(server->notices[0].actions,
                 row.wake ? (QStringList{"snooze", "Snooze"} + alarmOff) : alarmOff);
        // Neither an action naming no notification, before the server has answered, nor an older one's does
        // anything.
        notice->actionInvoked(0, AlarmNotice::kAlarmOffKey);
        server->answers.first()(7);
        notice->actionInvoked(6, AlarmNotice::kAlarmOffKey);
        QCOMPARE(m.form1->caption(), QString(row.wake ? "Snooze" : "Alarm Off"));
        QVERIFY(server->closed.isEmpty());
        row.end(*this);
        QCOMPARE(m.form1->caption(), QString(row.caption));
        QCOMPARE(server->closed, QStringList{row.closed});
        QCOMPARE(MainFixture::time(*m.form1), QString(row.time));
    }

    // None while the user is in Zentimo. The alarm is over before the server has answered: the notification
    // is withdrawn as it arrives. The next alarm's notification takes the place of one that did not wait.
    void lateAnswersAndRepeats()
    {
        ring(false, true, true);
        QCOMPARE(server->notices.size(), 0);
        m.engine->Command1_Click();
        ring(false);
        m.engine->Command1_Click();
        QVERIFY(server->closed.isEmpty());
        server->answers.first()(3);
        QCOMPARE(server->closed, QStringList{"3"});

        ring(false, false);
        QVERIFY(server->notices.last().actions.isEmpty() && server->notices.last().expireMs == -1);
        server->answers.last()(4);
        ring(false, false);
        QCOMPARE(server->replaced, (QList<quint32>{0, 0, 4}));
        // Answered after the next alarm asked for its own: withdrawn at once.
        ring(false, false);
        server->answers[server->answers.size() - 2](8);
        notice->notificationClosed(4, 2);
        notice.reset();
        QCOMPARE(server->closed, (QStringList{"3", "8"}));
    }
};

QTEST_MAIN(TestNotice)
#include "tst_notice.moc"
