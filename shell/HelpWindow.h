#pragma once
// HelpWindow: the user manual, zm.html, in one modeless window shared by both main windows.
// The file is looked for next to the executable, then in the installed data folder.

#include <QStringList>
#include <QWidget>

class QTextBrowser;

namespace zentimo {

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    // Shows (or brings forward) the one help window with the manual read afresh.
    static void showHelp(QWidget* from);
    // The window if it has been opened; for tests.
    static HelpWindow* current();

    static const QString kHelpFileName; // "zm.html"
    // folder + "/" (unless it already ends in one) + "zm.html".
    static QString helpFilePath(const QString& folder);
    // Where the manual is looked for, in order.
    static QStringList helpFolders();
    // Replaces helpFolders(); an empty list restores the usual folders. For tests.
    static void setHelpFolders(const QStringList& folders);
    // The first candidate that exists, or the empty text.
    static QString findHelpFile();

    QTextBrowser* browser() const { return m_browser; }

private:
    HelpWindow();
    void reload();
    void showMissing(const QStringList& looked, const QString& unreadable);
    void followLink(const QUrl& url);

    QTextBrowser* m_browser = nullptr;
};

} // namespace zentimo
