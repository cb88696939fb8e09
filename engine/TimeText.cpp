#include "engine/TimeText.h"

#include <algorithm>
#include <limits>

namespace zentimo {

namespace {
// 99:59:59 on the stopwatch, in seconds.
constexpr qint64 kStopwatchLast = 99 * 3600 + 59 * 60 + 59;

const QString kAm = QStringLiteral("a");
const QString kPm = QStringLiteral("p");

// One second from seconds at zero: a borrow. Fields are compared by value, so a text that is not a number
// (pasted, or emptied) counts as zero instead of counting down into negative numbers. A time already at
// 00:00:00 gets "59" seconds.
FieldTexts borrowStep(const FieldTexts& now)
{
    FieldTexts next = now;
    next.seconds = QStringLiteral("59");
    if (fieldNumber(now.minutes) > 0) {
        next.minutes = twoDigits(fieldNumber(now.minutes) - 1);
        return next;
    }
    if (fieldNumber(now.hours) > 0) {
        next.hours = twoDigits(fieldNumber(now.hours) - 1);
        next.minutes = QStringLiteral("59");
    }
    return next;
}
} // namespace

bool allDigits(QStringView text)
{
    return !text.isEmpty() &&
           std::all_of(text.begin(), text.end(), [](QChar c) { return isDigit(c.unicode()); });
}

// Signs are not digits: "-1" reads as 0 everywhere, so the zero test and the tick never disagree.
int fieldNumber(const QString& text)
{
    const QString digits = text.trimmed();
    if (!allDigits(digits))
        return 0;
    constexpr int kMax = std::numeric_limits<int>::max();
    int value = 0;
    for (QChar c : digits) {
        const int d = c.unicode() - '0';
        value = value > (kMax - d) / 10 ? kMax : value * 10 + d;
    }
    return value;
}

bool typeableFieldText(const QString& text, bool amPm)
{
    for (QChar c : text) {
        int code = c.unicode() < 128 ? int(c.unicode()) : 0;
        if (code == kBackspace)
            return false;
        amPm ? FilterAmPmKey(code) : FilterDigitKey(code);
        if (code == 0)
            return false;
    }
    return true;
}

QString twoDigits(int value)
{
    return value < 10 && value >= 0 ? QStringLiteral("0") + QString::number(value) : QString::number(value);
}

bool FieldTexts::allZero() const
{
    return fieldNumber(hours) == 0 && fieldNumber(minutes) == 0 && fieldNumber(seconds) == 0;
}

QString clockText(const FieldTexts& t)
{
    return t.hours + QLatin1Char(':') + t.minutes + QLatin1Char(':') + t.seconds;
}

FieldTexts countdownAdvance(const FieldTexts& now, qint64 seconds)
{
    FieldTexts t = now;
    // A count that finds the fields at zero has nothing to end: its first second writes "59", as a tick does.
    if (seconds > 0 && t.allZero()) {
        t = borrowStep(t);
        --seconds;
    }
    // Runs of seconds without borrowing go in one stride; each borrow is one step.
    while (seconds > 0 && !t.allZero()) {
        const int s = fieldNumber(t.seconds);
        if (s > 0) {
            const int stride = int(std::min<qint64>(s, seconds));
            t.seconds = twoDigits(s - stride);
            seconds -= stride;
        } else {
            t = borrowStep(t);
            --seconds;
        }
    }
    return t;
}

StopwatchCount stopwatchAdvance(const StopwatchCount& now, qint64 seconds, bool* atLimit)
{
    const qint64 total = qint64(now.hours) * 3600 + qint64(now.minutes) * 60 + now.seconds + seconds;
    *atLimit = total > kStopwatchLast;
    const qint64 shown = std::min(total, kStopwatchLast);
    return {int(shown / 3600), int(shown / 60 % 60), int(shown % 60)};
}

FieldTexts wakeFields(const QTime& time)
{
    const int hour = time.hour() % 12;
    return {twoDigits(hour == 0 ? 12 : hour), twoDigits(time.minute()), time.hour() < 12 ? kAm : kPm};
}

FieldTexts snoozeStep(const FieldTexts& wake)
{
    // Never adds to a number that may be huge: no field text can make this overflow.
    int hours = fieldNumber(wake.hours);
    int minutes = fieldNumber(wake.minutes);
    QString letter = wake.seconds;
    if (minutes < 50) {
        minutes += 10;
    } else {
        minutes -= 50;
        if (hours == 11) {
            hours = 12;
            letter = letter == kAm ? kPm : letter == kPm ? kAm : letter;
        } else {
            hours = hours % 12 + 1;
        }
    }
    return {twoDigits(hours), twoDigits(minutes), letter};
}

QString wakeFieldText(const FieldTexts& wake)
{
    return wake.hours + QLatin1Char(':') + wake.minutes + QLatin1Char(' ') + wake.seconds;
}

QString wakeClockText(const QTime& time)
{
    return wakeFieldText(wakeFields(time));
}

QString wakeText(const FieldTexts& wake)
{
    return wake.hours + QLatin1Char(':') + wake.minutes + wake.seconds;
}

QTime wakeTimeOfDay(const FieldTexts& wake)
{
    // Read as every other helper reads a field: digits only.
    if (!allDigits(wake.hours) || !allDigits(wake.minutes))
        return {};
    const int hours = fieldNumber(wake.hours);
    const int minutes = fieldNumber(wake.minutes);
    if (hours < 1 || hours > 12 || minutes > 59)
        return {};
    const int hour24 = hours % 12;
    if (wake.seconds == kAm)
        return QTime(hour24, minutes);
    if (wake.seconds == kPm)
        return QTime(hour24 + 12, minutes);
    return {};
}

void FilterDigitKey(int& keyAscii)
{
    if (!(isDigit(keyAscii) || keyAscii == kBackspace))
        keyAscii = 0;
}

void FilterAmPmKey(int& keyAscii)
{
    if (!(keyAscii == 'a' || keyAscii == 'p' || keyAscii == kBackspace))
        keyAscii = 0;
}

} // namespace zentimo
