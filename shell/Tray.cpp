#include "shell/Tray.h"

#include "shell/Form1.h"
#include "shell/MainWindow.h"

namespace zentimo {

Tray::Tray(Form1& form1) : QObject(&form1), m_form1(form1)
{
}

void Tray::GoSystemTray(MainWindow& from)
{
    from.showMinimized();
}

void Tray::removeIcon()
{
}

} // namespace zentimo
