#pragma once
// Form1b: the big main window, a second face of the same engine: same controls, larger, no default button.

#include "shell/MainWindow.h"

namespace zentimo {

class Form1b : public MainWindow {
    Q_OBJECT
public:
    explicit Form1b(Engine& engine);
};

} // namespace zentimo
