#pragma once
// Tray: the notification-area icon shared by both main windows. "Tray" hides the window behind the icon;
// a double click or "Restore" brings it back; the menu mnuSysTray offers
//   mnuSTRest "Restore" (default, bold)   sep2   mnuSTAbt "About"   mnSTEX "Exit"
// Restore, About and Exit are answered by the program's controller.

#include <QObject>
#include <QSystemTrayIcon>
#include <memory>
#include <optional>

class QAction;
class QMenu;

namespace zentimo {

class MainWindow;

// What the icon shows.
struct TrayIconRecord {
    QString tip;
};

class Tray : public QObject {
    Q_OBJECT
public:
    explicit Tray(QObject* parent = nullptr);
    ~Tray() override;

    // Hides the window behind the icon showing tip, and sets InTray. Where the desktop has no notification
    // area the window is minimised instead, so that it can always be found again.
    void GoSystemTray(MainWindow& from, const QString& tip);
    // Takes the icon away, shows window and clears InTray; focusing it is the caller's.
    void restore(MainWindow& window);
    // Takes the icon away; the windows and InTray are left as they are.
    void removeIcon();
    // A new tip from the countdown; shown only while the icon is.
    void setTip(const QString& tip);

    // Menu actions; restore is also the double click.
    void mnuSTRest_Click();
    void mnuSTAbt_Click();
    void mnSTEX_Click();

    QSystemTrayIcon* icon() const { return m_icon; }
    QMenu* menu() const { return m_menu.get(); }
    bool iconShown() const;
    // The window behind the icon, if "Tray" hid one.
    MainWindow* hiddenWindow() const { return m_hidden; }
    // A main window is hidden behind the icon.
    bool InTray() const { return m_inTray; }
    // The icon sits in a StatusNotifierItem host, which sends one activation and never a double click: that
    // activation restores. In an XEmbed tray only a double click does.
    void setHostActivates(bool activates) { m_hostActivates = activates; }

    // Whether the desktop offers a notification area now. Tests may decide instead (nullopt: ask).
    static bool available();
    static void setAvailableForTests(std::optional<bool> available);

Q_SIGNALS:
    void restoreRequested();
    void aboutRequested();
    void exitRequested();

private:
    void activated(QSystemTrayIcon::ActivationReason reason);
    void showTip();

    QSystemTrayIcon* m_icon = nullptr;
    std::unique_ptr<QMenu> m_menu;
    MainWindow* m_hidden = nullptr;
    bool m_inTray = false;
    bool m_hostActivates = false;
    TrayIconRecord m_iconData; // TrayIconData
};

} // namespace zentimo
