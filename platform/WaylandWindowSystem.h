#pragma once
// WaylandWindowSystem: a Wayland session lets no program keep a window on top, place its windows or keep
// them off the task bar; what is left is asking to be activated, which Qt does through xdg-activation.

#include "platform/WindowSystem.h"

namespace zentimo {

class WaylandWindowSystem : public WindowSystem {
public:
    bool canStayOnTop() const override { return false; }
    bool translucentWindows() const override { return true; }
    void keepOutOfTaskbar(QWidget*) override {}
    void bringForward(QWidget* window) override;
    QString limits() const override;

protected:
    void topmostChanged(QWidget*, bool) override {}
};

} // namespace zentimo
