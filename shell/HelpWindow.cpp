#include "shell/HelpWindow.h"

#include "shell/ShellOpen.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace zentimo {

const QString HelpWindow::kHelpFileName = QStringLiteral("zm.html");

namespace {
QPointer<HelpWindow> g_window;
QStringList g_folders;
} // namespace

QString HelpWindow::helpFilePath(const QString& folder)
{
    QString path = folder;
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    return path + kHelpFileName;
}

QStringList HelpWindow::helpFolders()
{
    if (!g_folders.isEmpty())
        return g_folders;
    const QString program = QCoreApplication::applicationDirPath();
    return {program, QDir::cleanPath(program + QStringLiteral("/" ZENTIMO_DATADIR_FROM_BINDIR))};
}

void HelpWindow::setHelpFolders(const QStringList& folders)
{
    g_folders = folders;
}

QString HelpWindow::findHelpFile()
{
    for (const QString& folder : helpFolders()) {
        const QString path = helpFilePath(folder);
        if (QFileInfo(path).isFile())
            return path;
    }
    return {};
}

HelpWindow* HelpWindow::current()
{
    return g_window;
}

void HelpWindow::showHelp(QWidget*)
{
    if (!g_window) {
        g_window = new HelpWindow;
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, g_window, [] { delete g_window; });
    }
    HelpWindow* w = g_window;
    // A manual already on screen keeps the reader's place.
    // Where it appears is left to the window manager, which knows what else is on screen.
    if (!w->isVisible())
        w->reload();
    w->show();
    w->raise();
    w->activateWindow();
}

HelpWindow::HelpWindow() : QWidget(nullptr, Qt::Window)
{
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Zentimo Help"));
    // Closing the manual while the main window sits in the tray must not end the program; the window
    // lives on hidden and is reused.
    setAttribute(Qt::WA_QuitOnClose, false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("helpBrowser"));
    m_browser->setOpenLinks(false);
    connect(m_browser, &QTextBrowser::anchorClicked, this, &HelpWindow::followLink);
    layout->addWidget(m_browser);
    resize(640, 600);
}

void HelpWindow::reload()
{
    const QString path = findHelpFile();
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly)) {
        showMissing(helpFolders(), path);
        return;
    }
    file.close();
    const QUrl source = QUrl::fromLocalFile(path);
    if (m_browser->source() == source) {
        m_browser->reload(); // the file may have been replaced since
    } else {
        m_browser->clearHistory();
        m_browser->setSource(source, QTextDocument::HtmlResource);
    }
}

void HelpWindow::showMissing(const QStringList& looked, const QString& unreadable)
{
    m_browser->clearHistory();
    QString places;
    for (const QString& folder : looked)
        places += QStringLiteral("<li>") + helpFilePath(folder).toHtmlEscaped() + QStringLiteral("</li>");
    const QString reason =
        unreadable.isEmpty()
            ? QStringLiteral("The help file %1 was not found. Zentimo looked for it here:").arg(kHelpFileName)
            : QStringLiteral("The help file %1 could not be read.").arg(unreadable.toHtmlEscaped());
    m_browser->setHtml(QStringLiteral("<h2>Help is not available</h2><p>%1</p><ul>%2</ul>"
                                      "<p>Reinstalling Zentimo puts the help file back.</p>")
                           .arg(reason, unreadable.isEmpty() ? places : QString()));
}

// Pages of the manual stay in this window; web and mail addresses go to the desktop.
void HelpWindow::followLink(const QUrl& url)
{
    const QString scheme = url.scheme();
    if (scheme == QLatin1String("http") || scheme == QLatin1String("https") ||
        scheme == QLatin1String("mailto")) {
        ShellOpen(this, url.toString());
        return;
    }
    if (url.isRelative() && url.path().isEmpty() && url.hasFragment()) {
        m_browser->scrollToAnchor(url.fragment());
        return;
    }
    const QUrl resolved = m_browser->source().resolved(url);
    if (resolved.isLocalFile() && QFileInfo(resolved.toLocalFile()).isFile())
        m_browser->setSource(resolved);
}

} // namespace zentimo
