#pragma once
// Controller: the program's flows around the engine. It loads both main windows from the stored options
// (the big one when it is first needed), chooses which one is shown, and answers what the windows, the tray
// and the engine ask for: Options, Presets, Help, About, Tray, the alarm's message and closing.

#include "dialogs/Form4.h"
#include "engine/Options.h"
#include "settings/CRegSettings.h"

#include <QList>
#include <QObject>
#include <memory>

namespace zentimo {

class Engine;
class Form1;
class Form1b;
class MainWindow;
class SleepWatcher;
class Tray;

class Controller : public QObject {
    Q_OBJECT
public:
    // The two main windows.
    enum class Window { Small, Big };
    // "Size" and the Options dialog's BigWindow number them: 1 the big one, any other number the small one;
    // -1 for neither.
    static Window windowNumbered(int number);
    static int numberOf(std::optional<Window> window);

    // Loads the small window from the store; shows nothing.
    explicit Controller(Engine& engine);
    ~Controller() override;

    // Shows the window numbered sz and stores sz as "Size", as given.
    void size(int sz);
    // Shows window without storing the choice; off the screen it only becomes the window in use (for a
    // start that goes straight to the tray).
    void show(Window window, bool onScreen = true);
    // Switches the mode as the Options dialog does, without storing anything.
    void setMode(bool wakeMode, bool stopwatchMode);

    Form1& form1() const { return *m_small; }
    Form1b& big(); // built on first use
    bool bigBuilt() const { return m_big != nullptr; }
    MainWindow& face(Window window);
    Tray& tray(); // built on first use
    CRegSettings& settings() { return m_settings; }
    // The window in use. An alarm brings it back from the tray.
    Window currentWindow() const { return m_currentWindow; }
    // The main window on the screen, else the one in use.
    MainWindow& windowInUse();

    // The options in use, with BigWindow naming the main window on the screen (-1 none), as the Options
    // dialog starts from them.
    Options optionsForDialog() const;
    // The colours as stored, which the Colors dialog starts from.
    ColorChoice storedColors();
    // Saves an options change and applies what "Done" applies at once.
    void applyOptions(const OptionsChange& change);

    void runOptions(MainWindow& from);
    void runPresets(MainWindow& from);
    // from: the window whose button asked, none from the tray.
    void showAbout(MainWindow* from);
    void showHelp(MainWindow& from);
    void goSystemTray(MainWindow& from);
    // Stops a playing alarm sound and unloads every window; the program ends.
    void closeProgram();

private:
    enum class ModeFields { Keep, Reset };
    // Every built window shows the mode in use; Reset starts the time over in it.
    void showMode(ModeFields fields);
    void connectWindow(MainWindow& window);
    void applyLook(MainWindow& window);
    std::optional<OptionsChange> editOptions(MainWindow& from);
    void optionsFromStart();
    void stopwatchLimitReached();
    void showAlarmMessage(const QString& message);
    void bringWindowForward();
    void restoreFromTray();
    void restoreOnTopAfterMessage();
    void setDigitColorBoth(std::uint32_t color);
    // The small window, and the big one once it is built.
    QList<MainWindow*> builtWindows() const;
    // The main window on the screen: the small one unless only the big one is visible.
    MainWindow& shownWindow();

    Engine& m_engine;
    CRegSettings m_settings;
    std::unique_ptr<Form1> m_small;
    std::unique_ptr<Form1b> m_big;
    Tray* m_tray = nullptr;
    SleepWatcher* m_sleep = nullptr;
    Window m_currentWindow = Window::Small;
    std::uint32_t m_digitColor = 0;
    bool m_closing = false;
};

} // namespace zentimo
