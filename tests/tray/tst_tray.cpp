#include "Files.h"
#include "app/Actions.h"
#include "shell/FrmAbt.h"
#include "shell/HelpWindow.h"
#include "shell/MainFixture.h"
#include "shell/ShellOpen.h"
#include "shell/Tray.h"

#include <QTextBrowser>

using namespace zentimo;
using namespace zentimo::test;

// The round trip by the icon, its tip and its menu is the end-to-end test's; here is what it cannot reach.
class TrayTest : public QObject {
    Q_OBJECT
    MainFixture fx;

    Tray& tray() const { return fx.app->tray(); }
    MainWindow& window(int size) const { return fx.app->face(Controller::windowNumbered(size)); }
    void pressTray(MainWindow& w) { QTest::mouseClick(w.button(Cmd::Tray), Qt::LeftButton); }

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
        delete HelpWindow::current();
    }

    // With every main window hidden, closing another window must not end the program: Qt quits
    // by itself when the last visible window closes, but only inside the event loop.
    void closingTheHelpWindowWhileInTheTrayKeepsTheProgram()
    {
        fx.start();
        bool survived = false, iconed = false; // every window carries the program's icon
        QTimer::singleShot(0, [&] {
            HelpWindow::showHelp(fx.form1);
            iconed = !HelpWindow::current()->windowIcon().isNull();
            pressTray(*fx.form1);
            HelpWindow::current()->close();
            QTimer::singleShot(100, [&] {
                survived = true;
                QCoreApplication::quit();
            });
        });
        QCoreApplication::exec();
        QVERIFY(survived && iconed);
        QCOMPARE(tray().icon()->toolTip(), QString("Zentimo - Stopped (00:00:00)"));
    }

    // The manual is the first zm.html found. Web and mail addresses go to the desktop, whatever else is no
    // page of the manual stays unopened.
    void helpLinksOfTheWeb()
    {
        ShellOpenRecorder opened;
        const QString manual = fx.config->path() + "/zm.html";
        HelpWindow::setHelpFolders({"/nowhere", fx.config->path() + '/'});
        writeFile(manual, "<h1>Zentimo</h1>");
        HelpWindow::showHelp(nullptr);
        for (const char* link : {"https://a.b/", "mailto:m@a.b", "ftp://a.b/", "#top", "gone.html"})
            Q_EMIT HelpWindow::current()->browser()->anchorClicked(QUrl(link));
        QCOMPARE(HelpWindow::current()->browser()->source(), QUrl::fromLocalFile(manual));
        FrmAbt about; // its addresses too, on a left click
        QTest::mouseClick(about.findChild<QLabel*>("Label6"), Qt::RightButton);
        QTest::mouseClick(about.findChild<QLabel*>("Label5"), Qt::LeftButton);
        QCOMPARE(opened.opened(),
                 (QStringList{"https://a.b/", "mailto:m@a.b", "mailto:support@fernwick.example"}));
    }

    // --tray sends the program there before any window is on screen: the icon gives back the window chosen.
    void theTrayBeforeAnyWindowGivesBackTheChosenOne()
    {
        fx.load();
        fx.app->show(Controller::Window::Big, false);
        QCOMPARE(Actions(*fx.app, *fx.engine).call("Tray").kind, Actions::Answer::Kind::Done);
        QVERIFY(tray().InTray());
        Q_EMIT tray().restoreRequested(); // the icon clicked
        QVERIFY(fx.big().isVisible() && !fx.form1->isVisible());
    }

    // The alarm takes the window out of the tray, or out of the minimised state without a notification area.
    // Closing the window then stops the sound (the device before the wave) and takes the icon away.
    void alarmBringsTheWindowBack_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<bool>("area");
        QTest::newRow("no notification area") << 0 << false;
        QTest::newRow("window closed") << 1 << true;
    }
    void alarmBringsTheWindowBack()
    {
        QFETCH(int, size);
        QFETCH(bool, area);
        const QString song = fx.config->path() + "/alarm.mp3";
        QVERIFY(writeFile(song, "ID3"));
        Tray::setAvailableForTests(area);
        fx.start(size);
        withOptions(*fx.engine, [&](Options& o) {
            o.UseBuiltIn = false;
            o.SoundFile = song;
        });
        fx.setTime(window(size), "00", "00", "01"); // one second from the alarm
        fx.engine->Command1_Click();
        pressTray(window(size));
        QCOMPARE(window(size).isMinimized(), !area);
        QCOMPARE(tray().InTray(), area);
        QCOMPARE(tray().iconShown(), area);
        QCOMPARE(fx.app->optionsForDialog().BigWindow, area ? -1 : size); // Options then marks no size
        fx.engine->sec_Timer();
        QVERIFY(window(size).isVisible() && !window(size).isMinimized());
        QVERIFY(!tray().InTray() && !tray().iconShown() && !window(1 - size).isVisible());
        fx.audio->takeCalls();
        window(size).close();
        QCOMPARE(fx.audio->takeCalls().mid(0, 2), (QStringList{"closeDevice", "stopWave"}));
        QVERIFY(!tray().iconShown() && !fx.audio->state().deviceOpen);
        QVERIFY(!fx.form1->isVisible() && !fx.big().isVisible());
    }
};

QTEST_MAIN(TrayTest)
#include "tst_tray.moc"
