#include "shell/Tray.h"

#include "app/Shared.h"
#include "engine/Engine.h"
#include "shell/Artwork.h"
#include "shell/Form1.h"
#include "shell/MainWindow.h"

#include <QMenu>

namespace zentimo {

namespace {
std::optional<bool> g_availableForTests;
}

bool Tray::available()
{
    return g_availableForTests.value_or(QSystemTrayIcon::isSystemTrayAvailable());
}

void Tray::setAvailableForTests(std::optional<bool> available)
{
    g_availableForTests = available;
}

Tray::Tray(Form1& form1) : QObject(&form1), m_form1(form1), m_menu(std::make_unique<QMenu>())
{
    m_menu->setObjectName(QStringLiteral("mnuSysTray"));
    QAction* restore = m_menu->addAction(QStringLiteral("Restore"), this, &Tray::mnuSTRest_Click);
    restore->setObjectName(QStringLiteral("mnuSTRest"));
    m_menu->setDefaultAction(restore);
    m_menu->addSeparator()->setObjectName(QStringLiteral("sep2"));
    m_menu->addAction(QStringLiteral("About"), this, &Tray::mnuSTAbt_Click)
        ->setObjectName(QStringLiteral("mnuSTAbt"));
    m_menu->addAction(QStringLiteral("Exit"), this, &Tray::mnSTEX_Click)
        ->setObjectName(QStringLiteral("mnSTEX"));

    m_icon = new QSystemTrayIcon(programIcon(), this);
    m_icon->setObjectName(QStringLiteral("TrayIcon"));
    m_icon->setContextMenu(m_menu.get());
    connect(m_icon, &QSystemTrayIcon::activated, this, &Tray::activated);
    connect(&form1.engine(), &Engine::trayTipChanged, this, [this] {
        if (iconShown())
            showTip();
    });
}

Tray::~Tray() = default;

bool Tray::iconShown() const
{
    return m_icon->isVisible();
}

void Tray::GoSystemTray(MainWindow& from)
{
    if (!available()) {
        from.showMinimized();
        return;
    }
    Shared& s = shared();
    const Engine& engine = m_form1.engine();
    s.TrayIconData.uFlags = 7;
    // While a countdown runs the tick rewrites this every second; writing it now also covers the first
    // second after Start, before any tick has.
    s.TrayIconData.tip =
        engine.secEnabled() ? Engine::startedTip(engine.fields()) : Engine::stoppedTip(engine.fields());
    showTip();
    m_icon->show();
    s.TaskVisible = false;
    s.InTray = true;
    m_hidden = &from;
    from.hide();
}

void Tray::removeIcon()
{
    m_icon->hide();
    m_hidden = nullptr;
}

void Tray::showTip()
{
    m_icon->setToolTip(shared().TrayIconData.tip.left(kTipLength));
}

// Qt reports a double click as Trigger followed by DoubleClick: only the second one acts. The context
// menu opens by itself.
void Tray::activated(QSystemTrayIcon::ActivationReason reason)
{
    if (!shared().InTray)
        return;
    if (reason == QSystemTrayIcon::DoubleClick)
        mnuSTRest_Click();
}

void Tray::mnuSTRest_Click()
{
    MainWindow* window = m_hidden ? m_hidden : &m_form1.face(m_form1.engine().currentWindow());
    removeIcon();
    window->show();
    window->raise();
    window->activateWindow();
    shared().InTray = false;
}

void Tray::mnuSTAbt_Click()
{
    m_form1.showAbout();
}

void Tray::mnSTEX_Click()
{
    removeIcon();
    m_form1.closeProgram();
}

} // namespace zentimo
