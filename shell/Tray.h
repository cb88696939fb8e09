#pragma once
// Tray: the notification-area icon shared by both main windows. "Tray" hides the window behind the icon;
// a double click or "Restore" brings it back; the menu mnuSysTray offers
//   mnuSTRest "Restore" (default, bold)   sep2   mnuSTAbt "About"   mnSTEX "Exit"
// The tip is shared().TrayIconData.tip, which the countdown tick keeps current.

#include <QObject>
#include <QSystemTrayIcon>
#include <memory>
#include <optional>

class QAction;
class QMenu;

namespace zentimo {

class Form1;
class MainWindow;

class Tray : public QObject {
    Q_OBJECT
public:
    explicit Tray(Form1& form1);
    ~Tray() override;

    // Hides from behind the icon and sets InTray. Where the desktop has no notification area the window
    // is minimised instead, so that it can always be found again.
    void GoSystemTray(MainWindow& from);
    // Takes the icon away; the windows and InTray are left as they are.
    void removeIcon();

    // Menu actions; restore is also the double click.
    void mnuSTRest_Click();
    void mnuSTAbt_Click();
    void mnSTEX_Click();

    QSystemTrayIcon* icon() const { return m_icon; }
    QMenu* menu() const { return m_menu.get(); }
    bool iconShown() const;

    // Whether the desktop offers a notification area now. Tests may decide instead (nullopt: ask).
    static bool available();
    static void setAvailableForTests(std::optional<bool> available);

    static constexpr int kTipLength = 63;

private:
    void activated(QSystemTrayIcon::ActivationReason reason);
    void showTip();

    Form1& m_form1;
    QSystemTrayIcon* m_icon = nullptr;
    std::unique_ptr<QMenu> m_menu;
    MainWindow* m_hidden = nullptr; // the window behind the icon
};

} // namespace zentimo
