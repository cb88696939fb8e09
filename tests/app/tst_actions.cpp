#include "app/Actions.h"
#include "shell/MainFixture.h"
#include "shell/Tray.h"

using namespace zentimo;
using namespace zentimo::test;

class TestActions : public QObject {
    Q_OBJECT

    MainFixture m;
    std::unique_ptr<Actions> actions;

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

    // --tray sends the program there before any window is on screen: the icon gives back the window chosen.
    void theTrayBeforeAnyWindowGivesBackTheChosenOne()
    {
        m.load();
        m.app->show(Controller::Window::Big, false);
        actions = std::make_unique<Actions>(*m.app, *m.engine);
        done("Tray");
        QVERIFY(m.app->tray().InTray());
        Q_EMIT m.app->tray().restoreRequested(); // the icon clicked
        QVERIFY(m.big().isVisible());
        QVERIFY(!m.form1->isVisible());
    }
};

QTEST_MAIN(TestActions)
#include "tst_actions.moc"
