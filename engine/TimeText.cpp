#include "engine/TimeText.h"

#include <limits>

namespace zentimo {

// Signs are not digits: "-1" reads as 0 everywhere, so the zero test and the tick never disagree.
int fieldNumber(const QString& text)
{
    const QString digits = text.trimmed();
    if (digits.isEmpty())
        return 0;
    constexpr int kMax = std::numeric_limits<int>::max();
    int value = 0;
    for (QChar c : digits) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return 0;
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

// Fields are compared by value, so a text that is not a number (pasted, or emptied) counts as zero
// instead of counting down into negative numbers.
FieldTexts countdownStep(const FieldTexts& now)
{
    FieldTexts next = now;
    if (fieldNumber(now.seconds) > 0) {
        next.seconds = twoDigits(fieldNumber(now.seconds) - 1);
        return next;
    }
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

// Compared before adding, so no count can overflow; hours stop at the limit.
StopwatchCount stopwatchStep(StopwatchCount c)
{
    if (c.seconds < 59) {
        ++c.seconds;
        return c;
    }
    c.seconds = 0;
    if (c.minutes < 59) {
        ++c.minutes;
        return c;
    }
    c.minutes = 0;
    if (c.hours < 100)
        ++c.hours;
    return c;
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
            letter = letter == QLatin1String("a")   ? QStringLiteral("p")
                     : letter == QLatin1String("p") ? QStringLiteral("a")
                                                    : letter;
        } else {
            hours = hours % 12 + 1;
        }
    }
    return {twoDigits(hours), twoDigits(minutes), letter};
}

QString wakeClockText(const QTime& time)
{
    int hour = time.hour() % 12;
    if (hour == 0)
        hour = 12;
    return twoDigits(hour) + QLatin1Char(':') + twoDigits(time.minute()) + QLatin1Char(' ') +
           (time.hour() < 12 ? QLatin1Char('a') : QLatin1Char('p'));
}

QString wakeFieldText(const FieldTexts& wake)
{
    return wake.hours + QLatin1Char(':') + wake.minutes + QLatin1Char(' ') + wake.seconds;
}

QTime wakeTimeOfDay(const FieldTexts& wake)
{
    // Read as every other helper reads a field: digits only.
    if (wake.hours.isEmpty() || wake.minutes.isEmpty() || !typeableFieldText(wake.hours, false) ||
        !typeableFieldText(wake.minutes, false))
        return {};
    const int hours = fieldNumber(wake.hours);
    const int minutes = fieldNumber(wake.minutes);
    if (hours < 1 || hours > 12 || minutes > 59)
        return {};
    const int hour24 = hours % 12;
    if (wake.seconds == QLatin1String("a"))
        return QTime(hour24, minutes);
    if (wake.seconds == QLatin1String("p"))
        return QTime(hour24 + 12, minutes);
    return {};
}

void FilterDigitKey(int& keyAscii)
{
    if (!((keyAscii >= '0' && keyAscii <= '9') || keyAscii == kBackspace))
        keyAscii = 0;
}

void FilterAmPmKey(int& keyAscii)
{
    if (!(keyAscii == 'a' || keyAscii == 'p' || keyAscii == kBackspace))
        keyAscii = 0;
}

} // namespace zentimo
