#include "WithOptions.h"
#include "shell/HelpWindow.h"
#include "shell/MainFixture.h"
#include "shell/Tray.h"

#include <QFile>
#include <QMenu>

using namespace zentimo;
using namespace zentimo::test;

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

    // ---- tip ------------------------------------------------------------------------------------

    void trayWhileStoppedShowsTheStoppedTip_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<QStringList>("time");
        QTest::addColumn<QString>("tip");
        QTest::newRow("small") << 0 << QStringList{"00", "05", "00"} << "Zentimo - Stopped (00:05:00)";
        QTest::newRow("big") << 1 << QStringList{"12", "34", "56"} << "Zentimo - Stopped (12:34:56)";
    }
    void trayWhileStoppedShowsTheStoppedTip()
    {
        QFETCH(int, size);
        QFETCH(QStringList, time);
        QFETCH(QString, tip);
        fx.start(size);
        fx.setTime(window(size), time[0], time[1], time[2]);
        pressTray(window(size));
        verifyInTray(window(size));
        QCOMPARE(tray().icon()->toolTip(), tip);
    }

    void trayDuringACountdownShowsTheStartedTipEachTick()
    {
        fx.start();
        fx.setTime(*fx.form1, "00", "05", "00");
        fx.engine->Command1_Click();
        pressTray(*fx.form1);
        verifyInTray(*fx.form1);
        // Before the first tick the tip already says the countdown runs.
        QCOMPARE(tray().icon()->toolTip(), QString("Zentimo - Started (00:05:00)"));
        fx.engine->sec_Timer();
        fx.engine->sec_Timer();
        QCOMPARE(tray().icon()->toolTip(), QString("Zentimo - Started (00:04:58)"));
    }

    void tipIsCutAt63Characters_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("shown");
        QTest::newRow("63") << 63 << 63;
        QTest::newRow("64") << 64 << 63;
    }
    void tipIsCutAt63Characters()
    {
        QFETCH(int, length);
        QFETCH(int, shown);
        fx.start();
        pressTray(*fx.form1);
        // A caption long enough to overflow the tip, however it got there.
        QString tip = QStringLiteral("Zentimo with a very long caption") + QString(length, QLatin1Char('x'));
        tip.truncate(length);
        Q_EMIT fx.engine->trayTipChanged(tip);
        QCOMPARE(tray().icon()->toolTip(), tip.left(shown));
    }

    // ---- menu -----------------------------------------------------------------------------------

    void menuOffersRestoreAsDefaultThenAboutAndExit()
    {
        fx.start();
        const QList<QAction*> items = tray().menu()->actions();
        QStringList shown;
        for (QAction* item : items)
            shown << (item->isSeparator() ? "-" : item->objectName() + ":" + item->text());
        QCOMPARE(shown, (QStringList{"mnuSTRest:Restore", "-", "mnuSTAbt:About", "mnSTEX:Exit"}));
        QCOMPARE(tray().menu()->defaultAction(), items[0]);
        QCOMPARE(tray().icon()->contextMenu(), tray().menu());
    }

    // ---- clicks on the icon ---------------------------------------------------------------------

    void onlyADoubleClickRestores_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<QList<int>>("reasons");
        QTest::addColumn<bool>("restored");
        using R = QList<int>;
        QTest::newRow("single click") << 0 << R{QSystemTrayIcon::Trigger} << false;
        QTest::newRow("double click, small")
            << 0 << R{QSystemTrayIcon::Trigger, QSystemTrayIcon::DoubleClick} << true;
        QTest::newRow("double click, big")
            << 1 << R{QSystemTrayIcon::Trigger, QSystemTrayIcon::DoubleClick} << true;
    }
    void onlyADoubleClickRestores()
    {
        QFETCH(int, size);
        QFETCH(QList<int>, reasons);
        QFETCH(bool, restored);
        fx.start(size);
        pressTray(window(size));
        for (int reason : reasons)
            Q_EMIT tray().icon()->activated(QSystemTrayIcon::ActivationReason(reason));
        if (restored) {
            verifyRestored(window(size));
            QVERIFY(!window(1 - size).isVisible());
        } else {
            verifyInTray(window(size));
        }
    }

    void restoreFromTheMenuShowsTheWindowAgain()
    {
        fx.start(1);
        pressTray(fx.big());
        action("mnuSTRest")->trigger();
        verifyRestored(fx.big());
        QVERIFY(!fx.form1->isVisible());
        // And it can go back again.
        pressTray(fx.big());
        verifyInTray(fx.big());
    }

    void aboutFromTheMenuLeavesTheWindowHiddenAndTheIconShown()
    {
        fx.start();
        pressTray(*fx.form1);
        bool hiddenMeanwhile = false;
        onNextModal([&](QWidget* modal) {
            hiddenMeanwhile = modal->objectName() == "FrmAbt" && !fx.form1->isVisible() && tray().iconShown();
        });
        action("mnuSTAbt")->trigger();
        QVERIFY(hiddenMeanwhile);
        verifyInTray(*fx.form1);
    }

    // With every main window hidden, closing another window must not end the program: Qt quits
    // by itself when the last visible window closes, but only inside the event loop.
    void closingAWindowWhileInTheTrayKeepsTheProgram_data()
    {
        QTest::addColumn<bool>("help");
        QTest::newRow("About box from the menu") << false;
        QTest::newRow("help window") << true;
    }
    void closingAWindowWhileInTheTrayKeepsTheProgram()
    {
        QFETCH(bool, help);
        fx.start();
        bool survived = false;
        QTimer::singleShot(0, [&] {
            if (help) {
                HelpWindow::showHelp(fx.form1);
                pressTray(*fx.form1);
                HelpWindow::current()->close();
            } else {
                pressTray(*fx.form1);
                onNextModal([](QWidget* modal) { modal->close(); });
                action("mnuSTAbt")->trigger();
            }
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
        QCOMPARE(window(size).caption(), QString("Alarm Off"));
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
