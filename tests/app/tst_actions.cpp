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

    MainFixture m;
    std::unique_ptr<Actions> actions;

    QByteArray settingsFile() const
    {
        QFile f(m.config->path() + QStringLiteral("/zentimo/registry.reg"));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<none>");
    }

    // "Method argument"; "tick" is one countdown second, "swtick" one stopwatch second. Gives the answer's
    // kind, or -1 for an answer other than "done" that does not say why.
    int perform(const QString& step)
    {
        if (step == QLatin1String("tick"))
            m.engine->sec_Timer();
        else if (step == QLatin1String("swtick"))
            m.engine->TimerSW_Timer();
        if (step.contains(QLatin1String("tick")))
            return 0;
        const QStringList parts = step.split(QLatin1Char(' '));
        const Actions::Answer answer = actions->call(parts.value(0), parts.value(1));
        return answer.kind == Actions::Answer::Kind::Done || !answer.text.isEmpty() ? int(answer.kind) : -1;
    }

private Q_SLOTS:
    void init()
    {
        m.prepare();
        Tray::setAvailableForTests(true);
    }

    void cleanup()
    {
        actions.reset();
        m.teardown();
        Tray::setAvailableForTests(std::nullopt);
    }

    // before: the steps that set the scene, ";"-separated; "nosound" leaves the alarm without a sound
    // source. kind: 0 done, 1 bad value, 2 refused.
    void step_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("step");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("status");
        const auto row = [](const char* name, const char* before, const char* step, int kind,
                            const char* status) {
            QTest::newRow(name) << QString(before) << QString(step) << kind << QString(status);
        };
        row("back from wake to countdown", "Wake 07:30p", "Countdown 00:00:90", 0,
            "countdown stopped 00:00:90");
        row("foreign bad value", "", "Countdown 1:30", 1, "countdown stopped 00:00:00");
        row("start with nothing to count", "", "Start", 2, "countdown stopped 00:00:00");
        row("start with no sound source", "nosound;Countdown 00:05:00", "Start", 2,
            "countdown stopped 00:05:00");
        row("time while running", "Countdown 00:05:00;Start", "Countdown 00:01:00", 2,
            "countdown running 00:05:00");
        row("start while ringing", "Countdown 00:00:01;Start;tick", "Start", 2, "countdown alarm 00:00:00");
        row("stop turns the alarm off", "Countdown 00:00:01;Start;tick", "Stop", 0,
            "countdown stopped 00:00:00");
        row("tray", "Countdown 00:05:00;Start", "Tray", 0, "countdown running 00:05:00");
        // Stop leaves the stopwatch to resume, as the button does; one asked for anew starts at zero.
        row("new stopwatch", "Stopwatch;Start;swtick;swtick;Stop;Stopwatch", "Start", 0,
            "stopwatch running 00:00:00");
    }

    void step()
    {
        QFETCH(QString, before);
        QFETCH(QString, step);
        QFETCH(int, kind);
        QFETCH(QString, status);
        if (before.startsWith(QLatin1String("nosound")))
            m.seed(QStringLiteral("Use Built-in"), QStringLiteral("False"));
        m.load();
        m.app->show(Controller::Window::Small);
        m.big(); // built before, so that it must follow
        actions = std::make_unique<Actions>(*m.app, *m.engine);
        const QByteArray settings = settingsFile();
        for (const QString& s : before.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            if (s != QLatin1String("nosound"))
                QCOMPARE(perform(s), 0);
        }

        QCOMPARE(perform(step), kind);
        QCOMPARE(actions->status(), status);
        // What either window shows, the other does; no dialog was opened and nothing was stored.
        QCOMPARE(MainFixture::time(m.big()), status.section(QLatin1Char(' '), 2));
        QVERIFY(MessageBox::shown().isEmpty());
        QCOMPARE(settingsFile(), settings);
        QCOMPARE(m.form1->isVisible(), step != QLatin1String("Tray"));
        QCOMPARE(m.app->tray().InTray(), step == QLatin1String("Tray"));
    }
};

QTEST_MAIN(TestActions)
#include "tst_actions.moc"
