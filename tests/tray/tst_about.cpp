#include "shell/FrmAbt.h"
#include "shell/HelpWindow.h"
#include "shell/MainFixture.h"
#include "shell/ShellOpen.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTextBrowser>

using namespace zentimo;
using namespace zentimo::test;

namespace {

void writeFile(const QString& path, const QByteArray& content)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(content);
}

QString browserText()
{
    return HelpWindow::current()->browser()->toPlainText();
}

} // namespace

class AboutTest : public QObject {
    Q_OBJECT
    MainFixture fx;

private Q_SLOTS:
    void init() { fx.prepare(); }
    void cleanup()
    {
        fx.teardown();
        delete HelpWindow::current();
        HelpWindow::setHelpFolders({});
    }

    // ---- About box ------------------------------------------------------------------------------

    void linksGoToTheShellAndLeaveTheBoxOpen_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("target");
        QTest::newRow("web") << QString("Label6") << "http://www.fernwick.example/";
        QTest::newRow("mail") << QString("Label5") << "mailto:support@fernwick.example";
    }
    void linksGoToTheShellAndLeaveTheBoxOpen()
    {
        QFETCH(QString, name);
        QFETCH(QString, target);
        ShellOpenRecorder shell;
        FrmAbt about;
        about.show();
        QTest::mouseClick(about.findChild<QLabel*>(name), Qt::LeftButton);
        QCOMPARE(shell.opened, QStringList{target});
        QVERIFY(about.isVisible());
    }

    void okAndEnterCloseTheBox_data()
    {
        QTest::addColumn<bool>("enter");
        QTest::newRow("OK clicked") << false;
        QTest::newRow("Enter") << true;
    }
    void okAndEnterCloseTheBox()
    {
        QFETCH(bool, enter);
        FrmAbt about;
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        if (enter)
            QTest::keyClick(&about, Qt::Key_Return);
        else
            QTest::mouseClick(about.findChild<QPushButton*>("Command3"), Qt::LeftButton);
        QVERIFY(!about.isVisible());
        QCOMPARE(about.result(), int(QDialog::Accepted));
    }

    void aboutOpensModalWithoutOwnerFromBothWindows_data()
    {
        QTest::addColumn<int>("size");
        QTest::newRow("small") << 0;
        QTest::newRow("big") << 1;
    }
    void aboutOpensModalWithoutOwnerFromBothWindows()
    {
        QFETCH(int, size);
        fx.start(size);
        QString seen;
        QWidget* owner = fx.form1;
        bool modal = false;
        onNextModal([&](QWidget* box) {
            seen = box->objectName();
            owner = box->parentWidget();
            modal = box->isModal();
        });
        QTest::mouseClick(fx.app->face(size).button(Cmd::About), Qt::LeftButton);
        QCOMPARE(seen, QString("FrmAbt"));
        QCOMPARE(owner, nullptr);
        QVERIFY(modal);
    }

    // ---- help -----------------------------------------------------------------------------------

    void helpPathAddsTheSlashOnlyWhenMissing_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("path");
        QTest::newRow("no slash") << QString("/opt/zentimo") << "/opt/zentimo/zm.html";
        QTest::newRow("slash") << QString("/opt/zentimo/") << "/opt/zentimo/zm.html";
        QTest::newRow("root") << QString("/") << "/zm.html";
    }
    void helpPathAddsTheSlashOnlyWhenMissing()
    {
        QFETCH(QString, folder);
        QFETCH(QString, path);
        QCOMPARE(HelpWindow::helpFilePath(folder), path);
    }

    void helpIsLookedForBesideTheProgramThenInTheDataFolder()
    {
        const QString here = QCoreApplication::applicationDirPath();
        const QString installed = QDir::cleanPath(here + QStringLiteral("/" ZENTIMO_DATADIR_FROM_BINDIR));
        QCOMPARE(HelpWindow::helpFolders(), (QStringList{here, installed}));
        QTemporaryDir program, data;
        HelpWindow::setHelpFolders({program.path(), data.path()});
        QCOMPARE(HelpWindow::findHelpFile(), QString());
        writeFile(data.filePath("zm.html"), "<p>data</p>");
        QCOMPARE(HelpWindow::findHelpFile(), data.filePath("zm.html"));
        writeFile(program.filePath("zm.html"), "<p>program</p>");
        QCOMPARE(HelpWindow::findHelpFile(), program.filePath("zm.html"));
    }

    void helpFromBothWindowsUsesOneModelessWindow()
    {
        QTemporaryDir folder;
        writeFile(folder.filePath("zm.html"), "<h1>The manual</h1>");
        HelpWindow::setHelpFolders({folder.path()});
        fx.start(0);
        QTest::mouseClick(fx.form1->button(Cmd::Help), Qt::LeftButton);
        HelpWindow* first = HelpWindow::current();
        QVERIFY(first && first->isVisible() && !first->isModal());
        QCOMPARE(first->shownFile(), folder.filePath("zm.html"));
        QVERIFY(browserText().contains("The manual"));
        fx.app->size(1);
        QTest::mouseClick(fx.big().button(Cmd::Help), Qt::LeftButton);
        QCOMPARE(HelpWindow::current(), first);
        QVERIFY(fx.big().isVisible()); // the main window stays usable
    }

    void aMissingHelpFileIsReportedInTheWindow()
    {
        QTemporaryDir empty;
        HelpWindow::setHelpFolders({empty.path()});
        HelpWindow::showHelp(nullptr);
        QVERIFY(HelpWindow::current()->isVisible());
        QCOMPARE(HelpWindow::current()->shownFile(), QString());
        QVERIFY(browserText().contains("Help is not available"));
        QVERIFY(browserText().contains(empty.filePath("zm.html")));

        // Installed later, the manual is shown on the next opening.
        HelpWindow::current()->close();
        writeFile(empty.filePath("zm.html"), "<h1>Now here</h1>");
        HelpWindow::showHelp(nullptr);
        QVERIFY(browserText().contains("Now here"));
    }

    void webAndMailLinksInTheManualGoToTheShell()
    {
        QTemporaryDir folder;
        writeFile(folder.filePath("zm.html"), "<a href='http://www.fernwick.example/'>web</a>");
        HelpWindow::setHelpFolders({folder.path()});
        HelpWindow::showHelp(nullptr);
        ShellOpenRecorder shell;
        QTextBrowser* browser = HelpWindow::current()->browser();
        Q_EMIT browser->anchorClicked(QUrl("http://www.fernwick.example/"));
        Q_EMIT browser->anchorClicked(QUrl("mailto:support@fernwick.example"));
        Q_EMIT browser->anchorClicked(QUrl("#tray"));
        QCOMPARE(shell.opened,
                 (QStringList{"http://www.fernwick.example/", "mailto:support@fernwick.example"}));
        QCOMPARE(browser->source(), QUrl::fromLocalFile(folder.filePath("zm.html")));
    }

    // The manual that ships: every contents link lands somewhere.
    void theManualsLinksResolve()
    {
        QFile file(QStringLiteral(ZENTIMO_MANUAL));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(file.readAll());
        const QRegularExpression link(QStringLiteral("href=\"#([^\"]+)\""));
        int links = 0;
        for (const QRegularExpressionMatch& m : link.globalMatch(html)) {
            ++links;
            QVERIFY2(html.contains(QStringLiteral("name=\"%1\"").arg(m.captured(1))),
                     qPrintable(m.captured(1)));
        }
        QVERIFY(links >= 10);
    }
};

QTEST_MAIN(AboutTest)
#include "tst_about.moc"
