#include "app/Actions.h"
#include "shell/MainFixture.h"
#include "shell/Tray.h"

#include <QFile>

using namespace zentimo;
using namespace zentimo::test;

class TestActions;

struct ActionRow {
    const char* name;
    bool noSoundSource = false;
    void (*before)(TestActions&) = [](TestActions&) {};
    const char* method;
    const char* argument = "";
    Actions::Answer::Kind kind;
    const char* why = ""; // a refusal says why
    const char* status;
    const char* shown; // on the big window
    bool inTray = false;
};
Q_DECLARE_METATYPE(ActionRow)

class TestActions : public QObject {
    Q_OBJECT

    MainFixture m;
    std::unique_ptr<Actions> actions;

    QByteArray settingsFile() const
    {
        QFile f(m.config->path() + QStringLiteral("/zentimo/registry.reg"));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<none>");
    }

    void done(const QString& method, const QString& argument = {})
    {
        QCOMPARE(actions->call(method, argument).kind, Actions::Answer::Kind::Done);
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

    void step_data()
    {
        using Kind = Actions::Answer::Kind;
        const auto running = [](TestActions& t) { t.done("Countdown", "00:05:00"), t.done("Start"); };
        const auto ringing = [](TestActions& t) {
            t.done("Countdown", "00:00:01"), t.done("Start");
            t.m.engine->sec_Timer();
        };
        // clang-format off
        const ActionRow rows[] = {
            {.name = "back from wake to countdown", .before = [](TestActions& t) { t.done("Wake", "07:30p"); },
             .method = "Countdown", .argument = "00:00:90", .kind = Kind::Done,
             .status = "countdown stopped 00:00:90", .shown = "00:00:90"},
            {.name = "foreign bad value", .method = "Countdown", .argument = "1:30", .kind = Kind::BadValue,
             .why = "1:30: not a time the fields can hold; use seconds (90), units (5m, 1h30m) or 01:30:00, up to 99:99:99.",
             .status = "countdown stopped 00:00:00", .shown = "00:00:00"},
            {.name = "start with nothing to count", .method = "Start", .kind = Kind::Refused,
             .why = "nothing to count down: the time is 00:00:00.", .status = "countdown stopped 00:00:00",
             .shown = "00:00:00"},
            {.name = "start with no sound source", .noSoundSource = true,
             .before = [](TestActions& t) { t.done("Countdown", "00:05:00"); }, .method = "Start", .kind = Kind::Refused,
             .why = "no alarm sound is chosen; choose one in Options first.", .status = "countdown stopped 00:05:00",
             .shown = "00:05:00"},
            {.name = "time while running", .before = running, .method = "Countdown", .argument = "00:01:00",
             .kind = Kind::Refused, .why = "Zentimo is running or ringing; stop it first (--stop).",
             .status = "countdown running 00:05:00", .shown = "00:05:00"},
            {.name = "start while ringing", .before = ringing, .method = "Start", .kind = Kind::Refused,
             .why = "the alarm is ringing; --stop turns it off.", .status = "countdown alarm 00:00:00", .shown = "00:00:00"},
            {.name = "stop turns the alarm off", .before = ringing, .method = "Stop", .kind = Kind::Done,
             .status = "countdown stopped 00:00:00", .shown = "00:00:00"},
            {.name = "a dialog open, whatever the argument", .before = [](TestActions& t) {
                 auto* dialog = new QDialog(t.m.form1);
                 dialog->setModal(true);
                 dialog->show();
             },
             .method = "Countdown", .argument = "1:30", .kind = Kind::Refused,
             .why = "Zentimo is showing a dialog; close it first.", .status = "countdown stopped 00:00:00",
             .shown = "00:00:00"},
            {.name = "tray", .before = running, .method = "Tray", .kind = Kind::Done,
             .status = "countdown running 00:05:00", .shown = "00:05:00", .inTray = true},
            // Stop leaves the stopwatch to resume, as the button does; one asked for anew starts at zero.
            {.name = "new stopwatch", .before = [](TestActions& t) {
                 t.done("Stopwatch"), t.done("Start"), t.m.engine->TimerSW_Timer(), t.m.engine->TimerSW_Timer();
                 t.done("Stop"), t.done("Stopwatch");
             },
             .method = "Start", .kind = Kind::Done, .status = "stopwatch running 00:00:00", .shown = "00:00:00"},
        };
        // clang-format on
        addRows(rows);
    }

    void step()
    {
        QFETCH(ActionRow, row);
        m.seed(QStringLiteral("Use Built-in"),
               row.noSoundSource ? QStringLiteral("False") : QStringLiteral("True"));
        m.load();
        m.app->show(Controller::Window::Small);
        m.big(); // built before, so that it must follow
        actions = std::make_unique<Actions>(*m.app, *m.engine);
        const QByteArray settings = settingsFile();
        row.before(*this);

        const Actions::Answer answer = actions->call(row.method, row.argument);
        QCOMPARE(answer.kind, row.kind);
        QCOMPARE(answer.text, QString(row.why));
        QCOMPARE(actions->status(), QString(row.status));
        // What either window shows, the other does; no dialog was opened and nothing was stored.
        QCOMPARE(MainFixture::time(m.big()), QString(row.shown));
        QVERIFY(MessageBox::shown().isEmpty());
        QCOMPARE(settingsFile(), settings);
        QCOMPARE(m.form1->isVisible(), !row.inTray);
        QCOMPARE(m.app->tray().InTray(), row.inTray);
    }

    // --tray sends the program there before any window is on screen: the icon gives back the window chosen.
    void theTrayBeforeAnyWindowGivesBackTheChosenOne()
    {
        m.load();
        m.app->show(Controller::Window::Big, false);
        actions = std::make_unique<Actions>(*m.app, *m.engine);
        done("Tray");
        Q_EMIT m.app->tray().restoreRequested(); // the icon clicked
        QVERIFY(m.big().isVisible());
        QVERIFY(!m.form1->isVisible());
    }
};

QTEST_MAIN(TestActions)
#include "tst_actions.moc"
