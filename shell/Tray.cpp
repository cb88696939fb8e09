#include "shell/Tray.h"

#include "engine/Engine.h"
#include "shell/MainWindow.h"
#include "shell/kit/Artwork.h"

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

Tray::Tray(QObject* parent) : QObject(parent), m_menu(std::make_unique<QMenu>())
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
}

Tray::~Tray() = default;

bool Tray::iconShown() const
{
    return m_icon->isVisible();
}

void Tray::GoSystemTray(MainWindow& from, const QString& tip)
{
    if (!available()) {
        from.showMinimized();
        return;
    }
    m_iconData.tip = tip;
    showTip();
    m_icon->show();
    MainWindow::leaveTaskbar();
    m_inTray = true;
    m_hidden = &from;
    from.hide();
}

void Tray::restore(MainWindow& window)
{
    removeIcon();
    window.show();
    m_inTray = false;
}

void Tray::removeIcon()
{
    m_icon->hide();
    m_hidden = nullptr;
}

void Tray::setTip(const QString& tip)
{
    m_iconData.tip = tip;
    if (iconShown())
        showTip();
}

void Tray::showTip()
{
    m_icon->setToolTip(m_iconData.tip.left(Engine::kTipLength));
}

// In an XEmbed tray Qt reports a double click as Trigger followed by DoubleClick: only the second one acts,
// and single clicks do nothing. The context menu opens by itself.
void Tray::activated(QSystemTrayIcon::ActivationReason reason)
{
    if (!m_inTray)
        return;
    if (reason == (m_hostActivates ? QSystemTrayIcon::Trigger : QSystemTrayIcon::DoubleClick))
        mnuSTRest_Click();
}

void Tray::mnuSTRest_Click()
{
    Q_EMIT restoreRequested();
}

void Tray::mnuSTAbt_Click()
{
    Q_EMIT aboutRequested();
}

void Tray::mnSTEX_Click()
{
    removeIcon();
    Q_EMIT exitRequested();
}

} // namespace zentimo
