#pragma once
// The program's help, zm.html, in a window of our own.

class QWidget;

namespace zentimo {

class HelpWindow {
public:
    static void showHelp(QWidget* from);
};

} // namespace zentimo
