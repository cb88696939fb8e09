#pragma once
// SilentWindowSystem: a window system that asks nothing of the screen (the offscreen platform of the unit
// tests); what it is told stays in the widgets' own flags. Tests may choose what it claims to allow.

#include "platform/WindowSystem.h"

namespace zentimo {

class SilentWindowSystem : public WindowSystem {
public:
    struct Abilities {
        bool stayOnTop = true;
        bool translucent = false;
    };
    SilentWindowSystem() = default;
    explicit SilentWindowSystem(Abilities abilities) : m_abilities(abilities) {}

    bool canStayOnTop() const override { return m_abilities.stayOnTop; }
    bool translucentWindows() const override { return m_abilities.translucent; }
    void keepOutOfTaskbar(QWidget*) override {}
    void bringForward(QWidget* window) override;
    QString limits() const override { return {}; }

protected:
    void topmostChanged(QWidget*, bool) override {}

private:
    Abilities m_abilities;
};

} // namespace zentimo
