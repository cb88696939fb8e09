#pragma once
// The arithmetic of the three time fields, on their texts: no widgets, no clock.

#include <QString>
#include <QTime>

namespace zentimo {

// Whole-number reading of a field text: digits only, blanks around them ignored; anything else reads
// as 0, and numbers too large for an int as its largest value.
int fieldNumber(const QString& text);

// True when typing could have put this text into a field: digits, or "a"/"p" for the AM/PM field.
// The length is the field's own limit.
bool typeableFieldText(const QString& text, bool amPm);

// "5" for 5 is never written: values below 10 get a leading zero.
QString twoDigits(int value);

struct FieldTexts {
    QString hours;
    QString minutes;
    QString seconds;

    bool operator==(const FieldTexts&) const = default;
    bool allZero() const;
};

// One countdown second taken off with borrowing. A time already at 00:00:00 gets "59" seconds.
FieldTexts countdownStep(const FieldTexts& now);

struct StopwatchCount {
    int hours = 0;
    int minutes = 0;
    int seconds = 0;

    bool operator==(const StopwatchCount&) const = default;
};

// One stopwatch second with carries; the limit is reached when hours get to 100.
StopwatchCount stopwatchStep(StopwatchCount now);
inline bool stopwatchAtLimit(const StopwatchCount& c)
{
    return c.hours >= 100;
}

// The wake time ten minutes on, on the 12-hour clock with its "a"/"p" letter.
FieldTexts snoozeStep(const FieldTexts& wake);

// "hh:mm a" / "hh:mm p": two-digit hours 01..12.
QString wakeClockText(const QTime& time);
// The wake time as the fields show it, in the same form.
QString wakeFieldText(const FieldTexts& wake);
// The time of day the wake fields name, or an invalid QTime when they name none (hours outside 1..12,
// minutes outside 0..59, a letter other than "a"/"p").
QTime wakeTimeOfDay(const FieldTexts& wake);

// Key filters: the key code stays when allowed, else becomes 0 (the keystroke is discarded).
inline constexpr int kBackspace = 8;
void FilterDigitKey(int& keyAscii);
void FilterAmPmKey(int& keyAscii);

} // namespace zentimo
