#include "WithOptions.h"
#include "shell/HelpWindow.h"
#include "shell/MainFixture.h"
#include "shell/Tray.h"

#include <QFile>
#include <QMenu>

using namespace zentimo;
using namespace zentimo::test;

// The round trip by the icon, its tip and its menu is the end-to-end test's; here is what it cannot reach.
class TrayTest : public QObject {
    Q_OBJECT
    MainFixture fx;

    Tray& tray() const { return fx.app->tray(); }
    MainWindow& window(int size) const { return fx.app->face(size); }
    QAction* action(const char* name) const
    {
        return tray().menu()->findChild<QAction*>(QString::fromLatin1(name));
    }
    void pressTray(MainWindow& w) { QTest::mouseClick(w.button(Cmd::Tray), Qt::LeftButton); }
    void verifyInTray(MainWindow& w)
    {
        QVERIFY(!w.isVisible() && fx.app->tray().InTray && tray().iconShown());
    }
    void verifyRestored(MainWindow& w)
    {
        QVERIFY(w.isVisible() && !fx.app->tray().InTray && !tray().iconShown());
    }
    // A countdown one second from its alarm.
    void runToLastSecond(MainWindow& w)
    {
        fx.setTime(w, "00", "00", "01");
        fx.engine->Command1_Click();
        QVERIFY(fx.engine->secEnabled());
    }

private Q_SLOTS:
    void init()
    {
        fx.prepare();
        Tray::setAvailableForTests(true);
    }
    void cleanup()
    {
        fx.teardown();
        Tray::setAvailableForTests(std::nullopt);
    }

    // With every main window hidden, closing another window must not end the program: Qt quits
    // by itself when the last visible window closes, but only inside the event loop.
    // (The About box from the tray menu is the end-to-end test's.)
    void closingTheHelpWindowWhileInTheTrayKeepsTheProgram()
    {
        fx.start();
        bool survived = false;
        QTimer::singleShot(0, [&] {
            HelpWindow::showHelp(fx.form1);
            pressTray(*fx.form1);
            HelpWindow::current()->close();
            QTimer::singleShot(100, [&] {
                survived = true;
                QCoreApplication::quit();
            });
        });
        QCoreApplication::exec();
        QVERIFY(survived);
        delete HelpWindow::current();
    }

    void exitWithASoundPlayingStopsItAndLeavesNoIcon()
    {
        QTemporaryDir folder;
        const QString song = folder.filePath("alarm.mp3");
        QFile file(song);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("ID3") == 3);
        file.close();
        fx.start();
        withOptions(*fx.engine, [&](Options& o) { o.UseBuiltIn = false; });
        withOptions(*fx.engine, [&](Options& o) { o.SoundFile = song; });
        runToLastSecond(*fx.form1);
        fx.engine->sec_Timer();
        QVERIFY(fx.audio->state().devicePlaying);
        pressTray(*fx.form1);
        verifyInTray(*fx.form1);
        action("mnSTEX")->trigger();
        QVERIFY(!tray().iconShown());
        QVERIFY(!fx.audio->state().deviceOpen);
        QVERIFY(!fx.form1->isVisible() && !fx.big().isVisible());
    }

    // ---- the alarm ------------------------------------------------------------------------------

    void alarmInTheTrayRemovesTheIconAndShowsTheWindow_data()
    {
        QTest::addColumn<int>("size");
        QTest::newRow("small") << 0;
        QTest::newRow("big") << 1;
    }
    void alarmInTheTrayRemovesTheIconAndShowsTheWindow()
    {
        QFETCH(int, size);
        fx.start(size);
        runToLastSecond(window(size));
        pressTray(window(size));
        verifyInTray(window(size));
        fx.engine->sec_Timer();
        verifyRestored(window(size));
        QVERIFY(!window(1 - size).isVisible());
    }

    // ---- no notification area -------------------------------------------------------------------

    void withoutANotificationAreaTrayMinimisesAndTheAlarmRestores()
    {
        Tray::setAvailableForTests(false);
        fx.start();
        runToLastSecond(*fx.form1);
        pressTray(*fx.form1);
        QVERIFY(fx.form1->isMinimized() && !fx.app->tray().InTray && !tray().iconShown());
        fx.engine->sec_Timer();
        QVERIFY(!fx.form1->isMinimized() && fx.form1->isVisible());
    }
};

QTEST_MAIN(TrayTest)
#include "tst_tray.moc"
