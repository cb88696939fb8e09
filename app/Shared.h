#pragma once
// The few values that belong to no single window. One instance, zero at start, never saved.

#include <QString>
#include <cstdint>

namespace zentimo {

// What the notification-area icon shows; the tray hands it to the icon.
struct TrayIconRecord {
    int uFlags = 0; // 7 when the icon is added, 4 when only the tip changes
    QString tip;    // already cut to the 63 characters the tip field holds
};

struct Shared {
    bool StopwatchMode = false;
    bool InTray = false;
    bool TaskVisible = true; // the tray takes the main windows out of the taskbar for good
    QString AlarmMessage;
    bool ShowMessage = false;
    int BigWindow = 0; // 0 small window, 1 big window, -1 while the Options dialog is open
    QString DigitColor; // held as the text read from the settings
    TrayIconRecord TrayIconData;
    bool SoundPlaying = false;
    QString SoundFileQuoted;
};

Shared& shared();

// Back to the start-of-program values; for tests.
void resetShared();

} // namespace zentimo
