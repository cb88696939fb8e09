#pragma once
// CommandLine: what the options of a start ask for, as the steps a running Zentimo carries out. No windows
// and no bus here: the start-up carries the steps out itself, or hands them to the copy already running.

#include "engine/TimeText.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace zentimo {

// One action, named as the bus interface names its method.
struct Step {
    QString method;
    // The time of Countdown and Wake, as the fields will show it; none for the other methods.
    std::optional<FieldTexts> time;

    // The time as the bus method takes it: "hh:mm:ss" for Countdown, "hh:mma" for Wake; empty without one.
    QString argument() const;
    bool operator==(const Step&) const = default;
};

struct CommandLine {
    // In the order they are carried out, whatever the order given: Stop; Countdown, Wake or Stopwatch;
    // Start; Tray; Status. Empty for a start without options.
    QList<Step> steps;
    // Set when this start ends at once: help or version (0), a refusal (2).
    std::optional<int> exitCode;
    QString output; // for standard output
    QString error;  // one line for standard error

    bool onlyStatus() const { return steps.size() == 1 && steps.front().method == QLatin1String("Status"); }
};

CommandLine parseCommandLine(const QStringList& arguments);

// "90" (seconds), "5m", "1h30m", "2h15s" (up to 99:59:59, carried into minutes and hours), or "01:30:00"
// (each part up to 99, as the fields take it). Nothing when the fields could not hold it.
std::optional<FieldTexts> countdownTime(const QString& text);
// "07:30a", "7:30 pm" (12-hour) or "19:30" (24-hour). Nothing when it names no time of day.
std::optional<FieldTexts> wakeTime(const QString& text);

// The forms named when a time is refused.
inline const QString kCountdownForms =
    QStringLiteral("use seconds (90), units (5m, 1h30m) or 01:30:00, up to 99:99:99");
inline const QString kWakeForms = QStringLiteral("use 07:30a, 7:30pm or 19:30");

} // namespace zentimo
