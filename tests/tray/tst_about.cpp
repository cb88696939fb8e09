#include "shell/FrmAbt.h"
#include "shell/HelpWindow.h"
#include "shell/ShellOpen.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>

using namespace zentimo;

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

private Q_SLOTS:
    void cleanup()
    {
        delete HelpWindow::current();
        HelpWindow::setHelpFolders({});
    }

    // ---- help -----------------------------------------------------------------------------------

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

    void webAndMailLinksGoToTheShell()
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
        QCOMPARE(browser->source(), QUrl::fromLocalFile(folder.filePath("zm.html")));
        // The About box's links go the same way and leave the box open.
        FrmAbt about;
        about.show();
        QTest::mouseClick(about.findChild<QLabel*>("Label6"), Qt::LeftButton);
        QVERIFY(about.isVisible());
        QCOMPARE(shell.opened, (QStringList{"http://www.fernwick.example/", "mailto:support@fernwick.example",
                                            "http://www.fernwick.example/"}));
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
