#include "shell/HelpWindow.h"

namespace zentimo {

void HelpWindow::showHelp(QWidget*)
{
}

} // namespace zentimo
