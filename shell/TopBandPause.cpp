#include "shell/TopBandPause.h"

#include "shell/MainWindow.h"

namespace zentimo {

TopBandPause::TopBandPause(MainWindow* window) : m_window(window)
{
    if (m_window)
        m_window->setTopmost(false);
}

TopBandPause::~TopBandPause()
{
    if (m_window)
        m_window->applyOnTop();
}

} // namespace zentimo
