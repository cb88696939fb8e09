#include "app/Controller.h"

#include "app/SleepWatcher.h"
#include "app/StatusNotifierHost.h"
#include "dialogs/Form3.h"
#include "dialogs/Form5.h"
#include "engine/Engine.h"
#include "shell/Form1.h"
#include "shell/Form1b.h"
#include "shell/Form2.h"
#include "shell/FrmAbt.h"
#include "shell/HelpWindow.h"
#include "shell/Tray.h"
#include "shell/kit/Artwork.h"
#include "shell/kit/MessageBox.h"
#include "sound/SoundPlayer.h"

#include <QApplication>

namespace zentimo {

Controller::Controller(Engine& engine) : m_engine(engine), m_settings(zentimoSettings())
{
    const Options options = readOptions(m_settings);
    m_engine.setOptions(options);
    m_digitColor = options.digitColor().value_or(Catalogue::defaultColor(OptionKey::DigitColor));

    m_small = std::make_unique<Form1>(engine);
    m_small->setStatusPanel(1, QStringLiteral("Countdown Mode"));
    m_small->setStatusPanel(2, QStringLiteral("Deactivated"));
    applyLook(*m_small);
    m_engine.setFaces(m_small.get(), nullptr);
    connectWindow(*m_small);

    // A file that cannot be read is passed over silently here; the Options dialog reports it.
    if (!options.SoundFile.isEmpty())
        SoundPlayer::LoadSound(options.SoundFile);
    m_engine.updateWatch();

    connect(&m_engine, &Engine::soundSourceNeeded, this, &Controller::optionsFromStart);
    connect(&m_engine, &Engine::stopwatchLimitReached, this, &Controller::stopwatchLimitReached);
    connect(&m_engine, &Engine::alarmMessageNeeded, this, &Controller::showAlarmMessage);
    connect(&m_engine, &Engine::windowForwardNeeded, this, &Controller::bringWindowForward);
    connect(&m_engine, &Engine::trayTipChanged, this, [this](const QString& tip) {
        if (m_tray)
            m_tray->setTip(tip);
    });
    // The system bus is first asked for when there is something to count, not at start-up.
    m_sleep = new SleepWatcher(m_engine, this);
    connect(&m_engine, &Engine::runStarted, m_sleep, &SleepWatcher::listen);
}

Controller::~Controller()
{
    m_engine.setFaces(nullptr, nullptr);
}

// The look every main window takes from the options: on top, background, digit and button colours.
void Controller::applyLook(MainWindow& window)
{
    const Options& o = m_engine.options();
    if (o.OnTop)
        window.setTopmost(true);
    window.paintBackground(m_small && &window != m_small.get() ? m_small->background() : o.BackgroundColor);
    window.setDigitColor(m_digitColor);
    window.setButtonColor(o.ButtonColor);
}

void Controller::connectWindow(MainWindow& window)
{
    MainWindow* w = &window;
    connect(w, &MainWindow::optionsRequested, this, [this, w] { runOptions(*w); });
    connect(w, &MainWindow::presetsRequested, this, [this, w] { runPresets(*w); });
    connect(w, &MainWindow::helpRequested, this, [this, w] { showHelp(*w); });
    connect(w, &MainWindow::aboutRequested, this, &Controller::showAbout);
    connect(w, &MainWindow::trayRequested, this, [this, w] { goSystemTray(*w); });
    connect(w, &MainWindow::closeRequested, this, &Controller::closeProgram);
}

// Built when first needed: asking the desktop for its notification area costs start-up time.
Tray& Controller::tray()
{
    if (!m_tray) {
        m_tray = new Tray(this);
        m_tray->HostActivates = statusNotifierHostPresent();
        connect(m_tray, &Tray::restoreRequested, this, &Controller::restoreFromTray);
        connect(m_tray, &Tray::aboutRequested, this, &Controller::showAbout);
        connect(m_tray, &Tray::exitRequested, this, &Controller::closeProgram);
    }
    return *m_tray;
}

Form1b& Controller::big()
{
    if (!m_big) {
        m_big = std::make_unique<Form1b>(m_engine);
        applyLook(*m_big);
        m_big->copyStateFrom(*m_small);
        m_engine.setFaces(m_small.get(), m_big.get());
        connectWindow(*m_big);
    }
    return *m_big;
}

QList<MainWindow*> Controller::builtWindows() const
{
    QList<MainWindow*> windows{m_small.get()};
    if (m_big)
        windows << m_big.get();
    return windows;
}

MainWindow& Controller::face(int window)
{
    return window == 1 ? static_cast<MainWindow&>(big()) : static_cast<MainWindow&>(*m_small);
}

MainWindow& Controller::shownWindow()
{
    if (m_small->isVisible() || !m_big || !m_big->isVisible())
        return *m_small;
    return *m_big;
}

void Controller::size(int sz)
{
    show(sz);
    m_settings.SaveSetting(Catalogue::kSection, Catalogue::keyName(OptionKey::Size), QString::number(sz));
}

void Controller::show(int sz, bool onScreen)
{
    if (sz == 1) {
        m_small->hide();
        big().setVisible(onScreen);
        m_currentWindow = 1;
        m_big->applyOnTop();
    } else {
        // A stored size other than 0 and 1 cannot name a window: the small one is shown.
        if (m_big)
            m_big->hide();
        m_small->setVisible(onScreen);
        m_currentWindow = 0;
        m_small->applyOnTop();
    }
    // Every window, the manual and the message boxes too, carries the program's icon. Painting its sizes
    // takes longer than the rest of the first window: it follows that window onto the screen.
    if (QApplication::windowIcon().isNull())
        QApplication::setWindowIcon(programIcon());
}

MainWindow& Controller::windowInUse()
{
    if (m_small->isVisible() || (m_big && m_big->isVisible()))
        return shownWindow();
    return face(m_currentWindow);
}

void Controller::setMode(bool wakeMode, bool stopwatchMode)
{
    Options o = m_engine.options();
    o.WakeMode = wakeMode;
    o.StopwatchMode = stopwatchMode;
    m_engine.setOptions(o);
    for (MainWindow* w : builtWindows()) {
        w->setFieldMaxLength(TimeField::Seconds, wakeMode ? 1 : 2);
        w->setStatusPanel(1, o.modeCaption());
    }
    m_engine.applyModeToFields();
}

void Controller::setDigitColorBoth(std::uint32_t color)
{
    m_digitColor = color;
    for (MainWindow* w : builtWindows())
        w->setDigitColor(color);
}

Options Controller::optionsForDialog() const
{
    Options current = m_engine.options();
    current.BigWindow = m_small->isVisible() ? 0 : (m_big && m_big->isVisible() ? 1 : -1);
    return current;
}

std::optional<OptionsChange> Controller::editOptions(MainWindow& from)
{
    from.setTopmost(false);
    Form5 dialog(optionsForDialog(), m_engine.sound(), &from);
    std::optional<OptionsChange> change = dialog.edit();
    if (change)
        applyOptions(*change);
    return change;
}

// What "Done" changes at once: the store, the options in use, and what the windows show of them.
void Controller::applyOptions(const OptionsChange& change)
{
    const Options& o = change.options;
    saveOptions(m_settings, change);
    m_engine.setOptions(o);
    for (MainWindow* w : builtWindows()) {
        if (change.backgroundChosen)
            w->paintBackground(o.BackgroundColor);
        if (change.buttonColorChosen)
            w->setButtonColor(o.ButtonColor);
        // The "a"/"p" of Wake Mode is one letter.
        w->setFieldMaxLength(TimeField::Seconds, o.WakeMode ? 1 : 2);
    }
}

void Controller::runOptions(MainWindow& from)
{
    if (const auto change = editOptions(from))
        size(change->options.BigWindow);
    if (const auto digits = m_engine.options().digitColor())
        setDigitColorBoth(*digits);
    m_engine.applyModeToFields();
    for (MainWindow* w : builtWindows())
        w->setStatusPanel(1, m_engine.options().modeCaption());
    from.applyOnTop();
}

// Start found no sound source: say so, then let the user choose one. The fields stay as they are.
void Controller::optionsFromStart()
{
    MainWindow& from = shownWindow();
    MessageBox::show(&from, QStringLiteral("You must select a sound file to play as the alarm first."),
                     QStringLiteral("Oops"), MessageBox::Icon::Exclamation);
    if (const auto change = editOptions(from))
        m_currentWindow = change->options.BigWindow;
    // The enabled states follow the new mode and sound source at once.
    m_engine.updateWatch();
    from.applyOnTop();
}

void Controller::stopwatchLimitReached()
{
    MessageBox::show(&shownWindow(),
                     QStringLiteral("Zentimo has reached it's limit. The program will only count up to 99 "
                                    "hours, 59 minutes, and 59 seconds in Stopwatch Mode."),
                     kAppTitle);
}

void Controller::runPresets(MainWindow& from)
{
    Form3 dialog(*m_small, m_engine.options().WakeMode, &from);
    dialog.exec();
}

void Controller::showAbout()
{
    FrmAbt about;
    about.exec();
}

void Controller::showHelp(MainWindow& from)
{
    HelpWindow::showHelp(&from);
}

void Controller::goSystemTray(MainWindow& from)
{
    // While a countdown runs the tick rewrites the tip every second; this also covers the first second.
    const FieldTexts t = m_engine.fields();
    tray().GoSystemTray(from, m_engine.secEnabled() ? Engine::startedTip(t) : Engine::stoppedTip(t));
}

void Controller::restoreFromTray()
{
    MainWindow* window = m_tray->hiddenWindow() ? m_tray->hiddenWindow() : &face(m_currentWindow);
    m_tray->removeIcon();
    window->show();
    window->raise();
    window->activateWindow();
    m_tray->InTray = false;
}

void Controller::bringWindowForward()
{
    if (m_tray && m_tray->InTray) {
        m_tray->removeIcon();
        MainWindow& window = face(m_currentWindow);
        window.show();
        window.restoreAndFocus();
        m_tray->InTray = false;
    } else {
        shownWindow().restoreAndFocus();
    }
}

void Controller::showAlarmMessage(const QString& message)
{
    // Both windows, not only the small one: a big window left in the top band and brought forward by the
    // alarm would cover the message.
    for (MainWindow* w : builtWindows())
        w->setTopmost(false);
    Form2* form2 = Form2::ShowAlarm(message);
    // A repeated alarm gets the same window back: connect once.
    connect(form2, &Form2::queryUnload, this, &Controller::restoreOnTopAfterMessage, Qt::UniqueConnection);
}

void Controller::restoreOnTopAfterMessage()
{
    for (MainWindow* w : builtWindows()) {
        if (w->isVisible() && m_engine.options().OnTop)
            w->setTopmost(true);
    }
}

void Controller::closeProgram()
{
    if (m_closing)
        return;
    m_closing = true;
    SoundPlayer& sound = m_engine.sound();
    if (sound.SoundPlaying) {
        sound.CloseDevice();
        sound.StopWaveform();
    }
    if (m_tray)
        m_tray->removeIcon();
    if (Form2* form2 = Form2::current())
        form2->close();
    if (m_big)
        m_big->hide();
    m_small->hide();
    QCoreApplication::quit();
}

} // namespace zentimo
