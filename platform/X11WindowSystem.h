#pragma once
// X11WindowSystem: the window manager is told through EWMH (_NET_WM_STATE, _NET_ACTIVE_WINDOW) and, where it
// still listens to it (icewm), the older _WIN_LAYER.

#include "platform/WindowSystem.h"

#include <optional>

namespace zentimo {

class X11WindowSystem : public WindowSystem {
public:
    bool canStayOnTop() const override;
    bool translucentWindows() const override;
    void keepOutOfTaskbar(QWidget* window) override;
    void bringForward(QWidget* window) override;
    QString limits() const override;
    void flush() override;

protected:
    void topmostChanged(QWidget* window, bool topmost) override;

private:
    // Whether the window manager names atom in the root window's list property (_NET_SUPPORTED,
    // _WIN_PROTOCOLS); asked once per name.
    bool rootLists(const char* property, const char* atom) const;
    mutable std::optional<bool> m_above;
    mutable std::optional<bool> m_layers;
};

} // namespace zentimo
