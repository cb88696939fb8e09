#pragma once
// Form1: the small main window. The program's controller (app/Controller) loads it, chooses between it and
// the big window, and answers its buttons.

#include "shell/MainWindow.h"

namespace zentimo {

class Form1 : public MainWindow {
    Q_OBJECT
public:
    explicit Form1(Engine& engine);
};

} // namespace zentimo
