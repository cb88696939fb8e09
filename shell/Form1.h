#pragma once
// Form1: the small main window. Besides its own face it loads the big window, reads the settings into
// the engine, switches between the two sizes and runs the flows the buttons of both windows share.

#include "settings/CRegSettings.h"
#include "shell/MainWindow.h"

#include <QPointer>

namespace zentimo {

class Form1b;
class Tray;

class Form1 : public MainWindow {
    Q_OBJECT
public:
    // Loads the window (and the big one, hidden); shows nothing.
    explicit Form1(Engine& engine);
    ~Form1() override;

    Form1& form1() override { return *this; }
    Form1b& big() const { return *m_big; }
    MainWindow& face(int window); // 0 small, 1 big

    // Shows the small (0) or the big (1) window and stores the choice as "Size". Any other number shows
    // the small window and is stored as given.
    void size(int sz);
    using QWidget::size;

    // Flows shared by the buttons of both windows.
    void runOptions(MainWindow& from);
    void runPresets(MainWindow& from);
    void showAbout();
    void showHelp(MainWindow& from);
    void goSystemTray(MainWindow& from);
    void restoreFromTray(int window);
    // Stops a playing alarm sound and unloads every window; the program ends.
    void closeProgram();

    // Background choice of both windows (0..6); the painted gradient or the flat system colour.
    void paintBackgrounds(int choice);
    void setDigitColorBoth(std::uint32_t color);

    CRegSettings& settings() { return m_settings; }
    Tray* tray() const { return m_tray; }

private:
    void load();
    void showAlarmMessage(const QString& message);
    void restoreOnTopAfterMessage();
    void optionsFromStart();

    CRegSettings m_settings;
    Form1b* m_big = nullptr;
    Tray* m_tray = nullptr;
    bool m_closing = false;
};

} // namespace zentimo
