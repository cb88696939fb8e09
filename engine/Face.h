#pragma once
// What the engine needs of a main window: its fields, spinners, buttons and status bar, nothing of its place
// on the screen. Both main windows implement it; tests use a fake.

#include <QString>
#include <cstdint>

namespace zentimo {

// The program's name as its windows, message boxes and tray tip show it.
inline const QString kAppTitle = QStringLiteral("Zentimo");

// Hours Label2/UpDown2, minutes Label1/UpDown1, seconds (or "a"/"p") Label3/UpDown3.
enum class TimeField { Hours, Minutes, Seconds };
inline constexpr TimeField kAllFields[] = {TimeField::Hours, TimeField::Minutes, TimeField::Seconds};

// Command1 Start/Stop ... Command7 Presets, numbered as the buttons' object names are.
enum class Cmd { Start = 1, Reset = 2, Options = 3, Help = 4, Tray = 5, About = 6, Presets = 7 };
// Command2 to Command7: what a run locks and its end frees again.
inline constexpr Cmd kButtonsBesideStart[] = {Cmd::Reset, Cmd::Options, Cmd::Help,
                                              Cmd::Tray,  Cmd::About,   Cmd::Presets};

// StatusBar1's panels, numbered as their object names are: the mode, then "Activated" or "Deactivated".
enum class StatusPanel { Mode = 1, RunState = 2 };

class Face {
public:
    virtual ~Face() = default;

    virtual QString fieldText(TimeField field) const = 0;
    // A text that differs from the current one raises the field's text-changed handling before returning.
    virtual void setFieldText(TimeField field, const QString& text) = 0;
    virtual void setFieldsLocked(bool locked) = 0;
    virtual void setFieldMaxLength(TimeField field, int length) = 0;

    virtual int spinnerValue(TimeField field) const = 0;
    // Clamped to the range; a change raises the spinner's value-changed handling before returning.
    virtual void setSpinnerValue(TimeField field, int value) = 0;
    virtual void setSpinnerMinimum(TimeField field, int minimum) = 0;
    virtual void setSpinnerMaximum(TimeField field, int maximum) = 0;
    virtual void setSpinnersEnabled(bool enabled) = 0;

    virtual QString caption() const = 0; // of Command1
    virtual void setCaption(const QString& caption) = 0;
    virtual void setButtonEnabled(Cmd button, bool enabled) = 0;
    virtual std::uint32_t startButtonColor() const = 0; // 0x00BBGGRR
    virtual void setStartButtonColor(std::uint32_t color) = 0;
    virtual void setStatusPanel(StatusPanel panel, const QString& text) = 0;
    virtual void setSecondsCaption(const QString& text) = 0; // Label6
};

} // namespace zentimo
