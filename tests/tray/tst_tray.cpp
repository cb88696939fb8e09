#include "Files.h"
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
    static QString browserText() { return HelpWindow::current()->browser()->toPlainText(); }

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
        HelpWindow::setHelpFolders({});
    }

    // With every main window hidden, closing another window must not end the program: Qt quits
    // by itself when the last visible window closes, but only inside the event loop.
    void closingTheHelpWindowWhileInTheTrayKeepsTheProgram()
    {
        fx.start();
        bool survived = false;
        bool iconed = false; // every window carries the program's icon
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
    }

    // In the tray before the big window was ever made, a message still finds a window to stand over.
    void aMessageWhileInTheTray()
    {
        fx.start(0);
        pressTray(*fx.form1);
        Q_EMIT fx.engine->stopwatchLimitReached();
        QCOMPARE(MessageBox::shown().size(), 1);
        QCOMPARE(MessageBox::shown()[0].title, QString("Zentimo"));
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
        QTemporaryDir folder;
        const QString song = folder.filePath("alarm.mp3");
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
        fx.engine->sec_Timer();
        QVERIFY(window(size).isVisible() && !window(size).isMinimized());
        QVERIFY(!tray().InTray() && !tray().iconShown() && !window(1 - size).isVisible());
        fx.audio->takeCalls();
        window(size).close();
        QCOMPARE(fx.audio->calls().mid(0, 2), (QStringList{"closeDevice", "stopWave"}));
        QVERIFY(!tray().iconShown() && !fx.audio->state().deviceOpen);
        QVERIFY(!fx.form1->isVisible() && !fx.big().isVisible());
    }

    // An XEmbed tray restores on the double click alone (Qt reports its first click as Trigger); a
    // StatusNotifierItem host's one activation arrives as Trigger and restores.
    void clicksThatRestore_data()
    {
        QTest::addColumn<bool>("host");
        QTest::addColumn<int>("reason");
        QTest::addColumn<bool>("restored");
        QTest::newRow("XEmbed, single click") << false << int(QSystemTrayIcon::Trigger) << false;
        QTest::newRow("XEmbed, double click") << false << int(QSystemTrayIcon::DoubleClick) << true;
        QTest::newRow("host's activation") << true << int(QSystemTrayIcon::Trigger) << true;
        QTest::newRow("host's middle click") << true << int(QSystemTrayIcon::MiddleClick) << false;
    }
    void clicksThatRestore()
    {
        QFETCH(bool, host);
        QFETCH(int, reason);
        QFETCH(bool, restored);
        fx.start();
        pressTray(*fx.form1);
        tray().setHostActivates(host);
        Q_EMIT tray().icon()->activated(QSystemTrayIcon::ActivationReason(reason));
        QCOMPARE(fx.form1->isVisible(), restored);
        QCOMPARE(tray().InTray(), !restored);
    }

    // Beside the program first; web and mail links go to the shell, a link inside the page stays.
    void helpIsLookedForBesideTheProgramThenInTheDataFolder()
    {
        QTemporaryDir program, data;
        HelpWindow::setHelpFolders({program.path(), data.path()});
        HelpWindow::showHelp(nullptr);
        QCOMPARE(HelpWindow::current()->shownFile(), QString());
        QVERIFY(browserText().contains("Help is not available"));
        QVERIFY(browserText().contains(data.filePath("zm.html")));
        HelpWindow::current()->close();
        QVERIFY(writeFile(data.filePath("zm.html"), "<p>data</p>"));
        QCOMPARE(HelpWindow::findHelpFile(), data.filePath("zm.html"));
        QVERIFY(writeFile(program.filePath("zm.html"), "<a href='http://www.fernwick.example/'>web</a>"));
        HelpWindow::showHelp(nullptr);
        QCOMPARE(browserText(), QString("web"));
        ShellOpenRecorder shell;
        QTextBrowser* browser = HelpWindow::current()->browser();
        Q_EMIT browser->anchorClicked(QUrl("http://www.fernwick.example/"));
        Q_EMIT browser->anchorClicked(QUrl("mailto:support@fernwick.example"));
        Q_EMIT browser->anchorClicked(QUrl("#tray"));
        Q_EMIT browser->anchorClicked(QUrl("gone.html")); // not there: the window stays as it is
        QCOMPARE(browser->source(), QUrl::fromLocalFile(program.filePath("zm.html")));
        QCOMPARE(shell.opened(),
                 (QStringList{"http://www.fernwick.example/", "mailto:support@fernwick.example"}));
        QVERIFY(writeFile(program.filePath("keys.html"), "<p>keys</p>"));
        Q_EMIT browser->anchorClicked(QUrl("keys.html#start")); // another page, at a place in it
        QCOMPARE(browserText(), QString("keys"));

        // A file there that cannot be read is named, not shown. (A write-only kernel switch: even root
        // cannot read it.)
        QFile::remove(program.filePath("zm.html"));
        QFile::link("/proc/sys/vm/drop_caches", program.filePath("zm.html"));
        if (QFile(program.filePath("zm.html")).open(QIODevice::ReadOnly))
            QSKIP("no write-only file to stand for an unreadable one");
        HelpWindow::current()->close();
        HelpWindow::showHelp(nullptr);
        QCOMPARE(HelpWindow::current()->shownFile(), QString());
        QVERIFY(browserText().contains("could not be read"));
    }
};

QTEST_MAIN(TrayTest)
#include "tst_tray.moc"
