#pragma once
// Form1b: the big main window, a second face of the same engine. It holds no timer state; its buttons
// run Form1's flows on itself.

#include "shell/MainWindow.h"

namespace zentimo {

class Form1;

class Form1b : public MainWindow {
    Q_OBJECT
public:
    // Loads hidden: on-top, background of both windows, digit and button colours, spinners.
    Form1b(Engine& engine, Form1& owner);

    Form1& form1() override { return m_owner; }

private:
    Form1& m_owner;
};

} // namespace zentimo
