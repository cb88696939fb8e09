// What the command line and the bus may do to the real windows: the button's rules, refusals where the
// button would be unreachable, and no settings written.

#include "app/Actions.h"
#include "shell/MainFixture.h"
#include "shell/Tray.h"

#include <QFile>

using namespace zentimo;
using namespace zentimo::test;

class TestActions : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void step_data();
    void step();
    void stopwatchCountsFromZero();

private:
    QByteArray settingsFile() const;
    Actions::Answer perform(const QString& step);

    MainFixture m;
    std::unique_ptr<Actions> actions;
};

void TestActions::init()
{
    m.prepare();
    Tray::setAvailableForTests(true);
}

void TestActions::cleanup()
{
    actions.reset();
    m.teardown();
    Tray::setAvailableForTests(std::nullopt);
}

QByteArray TestActions::settingsFile() const
{
    QFile f(m.config->path() + QStringLiteral("/zentimo/registry.reg"));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<none>");
}

// "Method argument".
Actions::Answer TestActions::perform(const QString& step)
{
    const QStringList parts = step.split(QLatin1Char(' '));
    return actions->perform({parts.value(0), parts.value(1)});
}

// before: the steps that set the scene, ";"-separated; "tick" is one countdown second, "nosound" leaves
// the alarm without a sound source. kind: 0 done, 1 bad value, 2 refused.
void TestActions::step_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("step");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("status");

    QTest::newRow("countdown time") << ""
                                    << "Countdown 00:25:00" << 0 << "countdown stopped 00:25:00";
    QTest::newRow("back from wake to countdown") << "Wake 07:30p"
                                                 << "Countdown 00:00:90" << 0 << "countdown stopped 00:00:90";
    QTest::newRow("foreign bad value") << ""
                                       << "Countdown 1:30" << 1 << "countdown stopped 00:00:00";
    QTest::newRow("start") << "Countdown 00:05:00"
                           << "Start" << 0 << "countdown running 00:05:00";
    QTest::newRow("start with nothing to count") << ""
                                                 << "Start" << 2 << "countdown stopped 00:00:00";
    QTest::newRow("start with no sound source") << "nosound;Countdown 00:05:00"
                                                << "Start" << 2 << "countdown stopped 00:05:00";
    QTest::newRow("time while running") << "Countdown 00:05:00;Start"
                                        << "Countdown 00:01:00" << 2 << "countdown running 00:05:00";
    QTest::newRow("stop") << "Countdown 00:05:00;Start;tick"
                          << "Stop" << 0 << "countdown stopped 00:04:59";
    QTest::newRow("start while ringing") << "Countdown 00:00:01;Start;tick"
                                         << "Start" << 2 << "countdown alarm 00:00:00";
    QTest::newRow("stop turns the alarm off") << "Countdown 00:00:01;Start;tick"
                                              << "Stop" << 0 << "countdown stopped 00:00:00";
    QTest::newRow("tray") << "Countdown 00:05:00;Start"
                          << "Tray" << 0 << "countdown running 00:05:00";
}

void TestActions::step()
{
    QFETCH(QString, before);
    QFETCH(QString, step);
    QFETCH(int, kind);
    QFETCH(QString, status);

    if (before.startsWith(QLatin1String("nosound"))) {
        m.seed(QStringLiteral("Use Built-in"), QStringLiteral("False"));
        before.remove(0, 8);
    }
    m.load();
    m.app->show(0);
    m.big(); // built before, so that it must follow
    actions = std::make_unique<Actions>(*m.app, *m.engine);
    const QByteArray settings = settingsFile();
    const auto act = [&](const QString& s) {
        if (s == QLatin1String("tick")) {
            m.engine->sec_Timer();
            return Actions::Answer{};
        }
        return perform(s);
    };
    for (const QString& s : before.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        QCOMPARE(int(act(s).kind), 0);

    const Actions::Answer answer = act(step);
    QCOMPARE(int(answer.kind), kind);
    QVERIFY(kind == 0 || !answer.text.isEmpty());
    QCOMPARE(actions->status(), status);
    // What either window shows, the other does; no dialog was opened and nothing was stored.
    const QStringList shown = status.split(QLatin1Char(' '));
    if (shown[0] == QLatin1String("countdown"))
        QCOMPARE(MainFixture::time(m.big()), shown[2]);
    QVERIFY(MessageBox::shown().isEmpty());
    QCOMPARE(settingsFile(), settings);
    QCOMPARE(m.form1->isVisible(), step != QLatin1String("Tray"));
    QCOMPARE(m.app->tray().InTray, step == QLatin1String("Tray"));
}

// The stopwatch resumes where Stop left it with the button; a stopwatch asked for anew starts at zero.
void TestActions::stopwatchCountsFromZero()
{
    m.load();
    m.app->show(0);
    actions = std::make_unique<Actions>(*m.app, *m.engine);
    QCOMPARE(int(perform(QStringLiteral("Stopwatch")).kind), 0);
    QCOMPARE(int(perform(QStringLiteral("Start")).kind), 0);
    m.engine->TimerSW_Timer();
    m.engine->TimerSW_Timer();
    QCOMPARE(int(perform(QStringLiteral("Stop")).kind), 0);
    QCOMPARE(actions->status(), QStringLiteral("stopwatch stopped 00:00:02"));
    QCOMPARE(int(perform(QStringLiteral("Stopwatch")).kind), 0);
    QCOMPARE(int(perform(QStringLiteral("Start")).kind), 0);
    m.engine->TimerSW_Timer();
    QCOMPARE(actions->status(), QStringLiteral("stopwatch running 00:00:01"));
}

QTEST_MAIN(TestActions)
#include "tst_actions.moc"
