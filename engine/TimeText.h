#pragma once
// The three time fields' texts: how they read, how they are written and joined, and their arithmetic.
// No widgets, no clock: every other layer reads and writes a time through these.

#include <QString>
#include <QStringView>
#include <QTime>
#include <QtGlobal>

namespace zentimo {

// ASCII digits only: a field never takes another script's digits.
constexpr bool isDigit(int code)
{
    return code >= '0' && code <= '9';
}
// Not empty, and nothing but digits.
bool allDigits(QStringView text);

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

// "hh:mm:ss", the third field as it stands (a preset of Wake Mode keeps its letter there).
QString clockText(const FieldTexts& t);

// The countdown after seconds one-second steps, each taking a second off with borrowing; it stops when it
// counts down to 00:00:00 (a start at 00:00:00 counts on from 00:00:59). Fields whose number does not
// change keep their text.
FieldTexts countdownAdvance(const FieldTexts& now, qint64 seconds);

struct StopwatchCount {
    int hours = 0;
    int minutes = 0;
    int seconds = 0;

    bool operator==(const StopwatchCount&) const = default;
};

// The stopwatch after seconds one-second steps. Past its limit it holds at 99:59:59 and says so in atLimit.
StopwatchCount stopwatchAdvance(const StopwatchCount& now, qint64 seconds, bool* atLimit);

// ---- Wake Mode: hours 01..12, minutes, and "a" or "p" in the third field ----

// The fields naming this time of day (its minute).
FieldTexts wakeFields(const QTime& time);
// The wake time ten minutes on, on the 12-hour clock with its "a"/"p" letter.
FieldTexts snoozeStep(const FieldTexts& wake);
// "hh:mm a" / "hh:mm p", compared with the clock's minute.
QString wakeFieldText(const FieldTexts& wake);
QString wakeClockText(const QTime& time);
// "hh:mma", as the command line and the status line write a wake time.
QString wakeText(const FieldTexts& wake);
// The time of day the wake fields name, or an invalid QTime when they name none (hours outside 1..12,
// minutes outside 0..59, a letter other than "a"/"p").
QTime wakeTimeOfDay(const FieldTexts& wake);

// Key filters: the key code stays when allowed, else becomes 0 (the keystroke is discarded).
inline constexpr int kBackspace = 8;
void FilterDigitKey(int& keyAscii);
void FilterAmPmKey(int& keyAscii);

} // namespace zentimo
