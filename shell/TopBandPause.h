#pragma once
// TopBandPause: a main window leaves the top band for as long as one lives, so that a dialog or message box
// opened from it can come in front; afterwards the window takes the on-top rule again, with the options then
// in use.

namespace zentimo {

class MainWindow;

class TopBandPause {
public:
    // No window (About from the tray) pauses nothing.
    explicit TopBandPause(MainWindow* window);
    explicit TopBandPause(MainWindow& window) : TopBandPause(&window) {}
    ~TopBandPause();

    TopBandPause(const TopBandPause&) = delete;
    TopBandPause& operator=(const TopBandPause&) = delete;

private:
    MainWindow* m_window;
};

} // namespace zentimo
