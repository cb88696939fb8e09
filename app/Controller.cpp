#include "app/Controller.h"

#include "app/SleepWatcher.h"
#include "app/StatusNotifierHost.h"
#include "dialogs/Form3.h"
#include "dialogs/Form5.h"
#include "engine/Engine.h"
#include "engine/Presets.h"
#include "shell/Form1.h"
#include "shell/Form1b.h"
#include "shell/Form2.h"
#include "shell/FrmAbt.h"
#include "shell/HelpWindow.h"
#include "shell/TopBandPause.h"
#include "shell/Tray.h"
#include "shell/kit/Artwork.h"
#include "shell/kit/MessageBox.h"
#include "sound/SoundPlayer.h"

#include <QApplication>

namespace zentimo {

Controller::Window Controller::windowNumbered(int number)
{
    return number == 1 ? Window::Big : Window::Small;
}

int Controller::numberOf(std::optional<Window> window)
{
    if (!window)
        return -1;
    return *window == Window::Big ? 1 : 0;
}

Controller::Controller(Engine& engine) : m_engine(engine), m_settings(zentimoSettings())
{
    const Options options = readOptions(m_settings);
    m_engine.setOptions(options);
    m_digitColor = options.digitColor().value_or(Catalogue::defaultColor(OptionKey::DigitColor));

    m_small = std::make_unique<Form1>(engine);
    showMode(ModeFields::Keep);
    m_small->setStatusPanel(StatusPanel::RunState, QStringLiteral("Deactivated"));
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
    connect(w, &MainWindow::aboutRequested, this, [this, w] { showAbout(w); });
    connect(w, &MainWindow::trayRequested, this, [this, w] { goSystemTray(*w); });
    connect(w, &MainWindow::closeRequested, this, &Controller::closeProgram);
}

// Built when first needed: asking the desktop for its notification area costs start-up time.
Tray& Controller::tray()
{
    if (!m_tray) {
        m_tray = new Tray(this);
        m_tray->setHostActivates(statusNotifierHostPresent());
        connect(m_tray, &Tray::restoreRequested, this, &Controller::restoreFromTray);
        connect(m_tray, &Tray::aboutRequested, this, [this] { showAbout(nullptr); });
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

MainWindow& Controller::face(Window window)
{
    return window == Window::Big ? static_cast<MainWindow&>(big()) : static_cast<MainWindow&>(*m_small);
}

MainWindow& Controller::shownWindow()
{
    if (m_small->isVisible() || !m_big || !m_big->isVisible())
        return *m_small;
    return *m_big;
}

void Controller::size(int sz)
{
    show(windowNumbered(sz));
    m_settings.SaveSetting(Catalogue::kSection, Catalogue::keyName(OptionKey::Size), QString::number(sz));
}

void Controller::show(Window window, bool onScreen)
{
    MainWindow& shown = face(window);
    MainWindow* other = window == Window::Big ? static_cast<MainWindow*>(m_small.get()) : m_big.get();
    if (other)
        other->hide();
    shown.setVisible(onScreen);
    m_currentWindow = window;
    shown.applyOnTop();
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
    showMode(ModeFields::Reset);
}

void Controller::showMode(ModeFields fields)
{
    const Options& o = m_engine.options();
    for (MainWindow* w : builtWindows()) {
        // The "a"/"p" of Wake Mode is one letter.
        w->setFieldMaxLength(TimeField::Seconds, o.WakeMode ? 1 : 2);
        w->setStatusPanel(StatusPanel::Mode, o.modeCaption());
    }
    if (fields == ModeFields::Reset)
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
    std::optional<Window> shown;
    if (m_small->isVisible())
        shown = Window::Small;
    else if (m_big && m_big->isVisible())
        shown = Window::Big;
    current.BigWindow = numberOf(shown);
    return current;
}

ColorChoice Controller::storedColors()
{
    const Catalogue stored(m_settings);
    return {.BackgroundIndex = stored.readInt(OptionKey::BackgroundColor),
            .DigitColor = std::int32_t(stored.readColor(OptionKey::DigitColor)),
            .ButtonColor = std::int32_t(stored.readColor(OptionKey::ButtonColor))};
}

std::optional<OptionsChange> Controller::editOptions(MainWindow& from)
{
    Form5 dialog(optionsForDialog(), storedColors(), m_engine.sound(), &from);
    std::optional<OptionsChange> change = dialog.run();
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
    }
    showMode(ModeFields::Keep);
}

void Controller::runOptions(MainWindow& from)
{
    const TopBandPause pause(from);
    if (const auto change = editOptions(from))
        size(change->options.BigWindow);
    if (const auto digits = m_engine.options().digitColor())
        setDigitColorBoth(*digits);
    showMode(ModeFields::Reset);
}

// Start found no sound source: say so, then let the user choose one. The fields stay as they are.
void Controller::optionsFromStart()
{
    MainWindow& from = shownWindow();
    MessageBox::show(&from, QStringLiteral("You must select a sound file to play as the alarm first."),
                     QStringLiteral("Oops"), MessageBox::Icon::Exclamation);
    const TopBandPause pause(from);
    if (const auto change = editOptions(from))
        m_currentWindow = windowNumbered(change->options.BigWindow);
    // The enabled states follow the new mode and sound source at once.
    m_engine.updateWatch();
}

void Controller::stopwatchLimitReached()
{
    MessageBox::show(&shownWindow(),
                     QStringLiteral("Zentimo has reached it's limit. The program will only count up to 99 "
                                    "hours, 59 minutes, and 59 seconds in Stopwatch Mode."),
                     kAppTitle);
}

// Presets are the small window's: it holds the engine's fields, and the big window follows them.
void Controller::runPresets(MainWindow& from)
{
    const TopBandPause pause(from);
    const bool wake = m_engine.options().WakeMode;
    Form3 dialog({.wakeMode = wake, .presets = readPresets(m_settings, wake), .shown = m_engine.fields()},
                 &from);
    const std::optional<PresetsChange> change = dialog.run();
    if (!change)
        return;
    if (change->load) {
        // Through the fields' change handling, so the spinners and the big window follow.
        m_small->setFieldText(TimeField::Hours, change->load->hours);
        m_small->setFieldText(TimeField::Minutes, change->load->minutes);
        m_small->setFieldText(TimeField::Seconds, change->load->seconds);
    }
    savePresets(m_settings, wake, change->presets);
}

void Controller::showAbout(MainWindow* from)
{
    const TopBandPause pause(from);
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
    m_tray->restore(*window);
    window->raise();
    window->activateWindow();
}

// The alarm asks for its window as the task bar does (restoreAndFocus); the tray's own restore is the user's
// click and needs no more than a raise.
void Controller::bringWindowForward()
{
    if (m_tray && m_tray->InTray()) {
        MainWindow& window = face(m_currentWindow);
        m_tray->restore(window);
        window.restoreAndFocus();
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
    if (sound.SoundPlaying()) {
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
