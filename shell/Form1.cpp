#include "shell/Form1.h"

#include "app/Shared.h"
#include "dialogs/Form3.h"
#include "dialogs/Form5.h"
#include "engine/Engine.h"
#include "settings/Catalogue.h"
#include "shell/Form1b.h"
#include "shell/Form2.h"
#include "shell/FrmAbt.h"
#include "shell/HelpWindow.h"
#include "shell/Tray.h"
#include "shell/WinColor.h"
#include "sound/SoundPlayer.h"

#include <QApplication>
#include <QLineEdit>

namespace zentimo {

Form1::Form1(Engine& engine) : MainWindow(engine, kSmallLayout)
{
    m_settings = zentimoSettings();
    load();
}

Form1::~Form1()
{
    engine().setFaces(nullptr, nullptr);
    delete m_big;
}

void Form1::load()
{
    Engine& e = engine();
    Shared& s = shared();

    m_big = new Form1b(e, *this);
    e.setFaces(this, m_big);
    m_tray = new Tray(*this);

    for (MainWindow* w : {static_cast<MainWindow*>(this), static_cast<MainWindow*>(m_big)}) {
        w->setStatusPanel(1, QStringLiteral("Countdown Mode"));
        w->setStatusPanel(2, QStringLiteral("Deactivated"));
    }

    const Catalogue options(m_settings);
    s.ShowMessage = options.readFlag(OptionKey::ShowMessage);
    s.AlarmMessage = options.readText(OptionKey::AlarmMessage);
    e.SoundOn = options.readFlag(OptionKey::PlaySound);
    e.OnTop = options.readFlag(OptionKey::OnTop);
    e.BuiltInSound = options.readInt(OptionKey::BuiltInSound);
    e.UseBuiltIn = options.readFlag(OptionKey::UseBuiltIn);
    if (e.OnTop)
        setTopmost(true);
    e.AutoRestart = options.readFlag(OptionKey::AutoRestart);
    e.LoopSound = options.readFlag(OptionKey::LoopSound);
    paintBackgrounds(options.readInt(OptionKey::BackgroundColor));
    s.DigitColor = options.readText(OptionKey::DigitColor);
    setDigitColor(options.readColor(OptionKey::DigitColor));
    e.ButtonColor = options.readColor(OptionKey::ButtonColor);
    setButtonColor(e.ButtonColor);
    e.SoundFile = options.readText(OptionKey::SoundFile);
    if (!e.SoundFile.isEmpty())
        SoundPlayer::LoadSound(e.SoundFile); // a file that cannot be read is passed over silently
    placeSpinners(layout().spinnerExtraHeight);
    e.updateWatch();

    connect(&e, &Engine::optionsNeeded, this, &Form1::optionsFromStart);
    connect(&e, &Engine::alarmMessageNeeded, this, &Form1::showAlarmMessage);
    connect(&e, &Engine::trayRestoreNeeded, this, &Form1::restoreFromTray);
}

MainWindow& Form1::face(int window)
{
    return window == 1 ? static_cast<MainWindow&>(*m_big) : static_cast<MainWindow&>(*this);
}

void Form1::size(int sz)
{
    Shared& s = shared();
    if (sz == 1) {
        hide();
        m_big->show();
        s.BigWindow = 1;
        m_big->applyOnTop();
    } else {
        // A stored size other than 0 and 1 cannot name a window: the small one is shown.
        m_big->hide();
        show();
        s.BigWindow = 0;
        applyOnTop();
    }
    engine().setCurrentWindow(s.BigWindow);
    m_settings.SaveSetting(Catalogue::kSection, Catalogue::keyName(OptionKey::Size), QString::number(sz));
}

void Form1::paintBackgrounds(int choice)
{
    paintBackground(choice);
    m_big->paintBackground(choice);
}

void Form1::setDigitColorBoth(std::uint32_t color)
{
    setDigitColor(color);
    m_big->setDigitColor(color);
}

void Form1::runOptions(MainWindow& from)
{
    Engine& e = engine();
    Shared& s = shared();
    const int before = s.BigWindow;
    from.setTopmost(false);
    {
        Form5 dialog(*this, &from);
        dialog.exec();
    }
    // A dialog closed without "Done" leaves the window choice as it was.
    if (s.BigWindow == -1)
        s.BigWindow = before;
    else
        size(s.BigWindow);
    bool ok = false;
    const std::uint32_t digits = std::uint32_t(s.DigitColor.toLongLong(&ok));
    if (ok)
        setDigitColorBoth(digits);
    e.applyModeToFields();
    for (MainWindow* w : {static_cast<MainWindow*>(this), static_cast<MainWindow*>(m_big)})
        w->setStatusPanel(1, e.modeCaption());
    from.applyOnTop();
}

void Form1::optionsFromStart()
{
    MainWindow& from = isVisible() || !m_big->isVisible() ? static_cast<MainWindow&>(*this) : *m_big;
    const int before = shared().BigWindow;
    from.setTopmost(false);
    {
        Form5 dialog(*this, &from);
        dialog.exec();
    }
    if (shared().BigWindow == -1)
        shared().BigWindow = before;
    from.applyOnTop();
}

void Form1::runPresets(MainWindow& from)
{
    Form3 dialog(*this, &from);
    dialog.exec();
}

void Form1::showAbout()
{
    FrmAbt about;
    about.exec();
}

void Form1::showHelp(MainWindow& from)
{
    HelpWindow::showHelp(&from);
}

void Form1::goSystemTray(MainWindow& from)
{
    m_tray->GoSystemTray(from);
}

void Form1::restoreFromTray(int window)
{
    m_tray->removeIcon();
    face(window).show();
    face(window).restoreAndFocus();
}

void Form1::showAlarmMessage(const QString& message)
{
    Form2* form2 = Form2::ShowAlarm(message);
    // A repeated alarm gets the same window back: connect once.
    connect(form2, &Form2::queryUnload, this, &Form1::restoreOnTopAfterMessage, Qt::UniqueConnection);
}

void Form1::restoreOnTopAfterMessage()
{
    for (MainWindow* w : {static_cast<MainWindow*>(this), static_cast<MainWindow*>(m_big)}) {
        if (w->isVisible() && engine().OnTop)
            w->setTopmost(true);
    }
}

void Form1::closeProgram()
{
    if (m_closing)
        return;
    m_closing = true;
    if (shared().SoundPlaying) {
        engine().sound().CloseDevice();
        engine().sound().StopWaveform();
    }
    m_tray->removeIcon();
    if (Form2* form2 = Form2::current())
        form2->close();
    m_big->hide();
    hide();
    QCoreApplication::quit();
}

} // namespace zentimo
