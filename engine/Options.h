#pragma once
// Options: every choice the Options dialog edits, as one value. Stored choices start at the catalogue's
// defaults; the mode and the window choice are never stored.

#include "settings/CRegSettings.h"
#include "settings/Catalogue.h"

#include <QString>
#include <cstdint>
#include <optional>

namespace zentimo {

struct Options {
    // Mode: both flags off is Countdown.
    bool WakeMode = false;
    bool StopwatchMode = false;
    int BigWindow = 0; // 0 the small window, 1 the big one

    bool SoundOn = Catalogue::defaultFlag(OptionKey::PlaySound);
    bool OnTop = Catalogue::defaultFlag(OptionKey::OnTop);
    int BuiltInSound = Catalogue::defaultInt(OptionKey::BuiltInSound);
    bool UseBuiltIn = Catalogue::defaultFlag(OptionKey::UseBuiltIn);
    bool AutoRestart = Catalogue::defaultFlag(OptionKey::AutoRestart);
    bool LoopSound = Catalogue::defaultFlag(OptionKey::LoopSound);
    std::uint32_t ButtonColor = Catalogue::defaultColor(OptionKey::ButtonColor); // 0x00BBGGRR
    QString SoundFile = Catalogue::defaultText(OptionKey::SoundFile);
    bool ShowMessage = Catalogue::defaultFlag(OptionKey::ShowMessage);
    QString AlarmMessage = Catalogue::defaultText(OptionKey::AlarmMessage);
    int BackgroundColor = Catalogue::defaultInt(OptionKey::BackgroundColor); // choice 0..6
    // Kept as the stored text: a text that is no colour is saved back as it was.
    QString DigitColor = Catalogue::defaultText(OptionKey::DigitColor);

    bool operator==(const Options&) const = default;

    // "Countdown Mode", "Wake Mode" or "Stopwatch Mode".
    QString modeCaption() const;
    // The digit colour as 0x00BBGGRR, nothing when the text is no colour.
    std::optional<std::uint32_t> digitColor() const { return Catalogue::colorFromText(DigitColor); }
};

// The stored choices; mode and window at their start values.
Options readOptions(CRegSettings& store);

// What "Done" hands back: the new options, and which of the choices that are saved only when made were made.
struct OptionsChange {
    Options options;
    bool backgroundChosen = false;  // in the Colors dialog
    bool buttonColorChosen = false; // in the Colors dialog
    bool soundFileShown = false;    // a file is shown, not "None Selected"
};

// Saves what "Done" saves, in its order, as one change of the store.
bool saveOptions(CRegSettings& store, const OptionsChange& change);

} // namespace zentimo
