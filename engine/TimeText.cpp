#include "engine/TimeText.h"

namespace zentimo {

int fieldNumber(const QString& text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? value : 0;
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

StopwatchCount stopwatchStep(StopwatchCount c)
{
    if (++c.seconds == 60) {
        c.seconds = 0;
        ++c.minutes;
    }
    if (c.minutes == 60) {
        c.minutes = 0;
        ++c.hours;
    }
    return c;
}

FieldTexts snoozeStep(const FieldTexts& wake)
{
    int hours = fieldNumber(wake.hours);
    int minutes = fieldNumber(wake.minutes) + 10;
    QString letter = wake.seconds;
    if (minutes >= 60) {
        minutes -= 60;
        if (hours == 11) {
            hours = 12;
            letter = letter == QLatin1String("a") ? QStringLiteral("p")
                     : letter == QLatin1String("p") ? QStringLiteral("a")
                                                    : letter;
        } else if (hours == 12) {
            hours = 1;
        } else {
            ++hours;
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
    bool hoursOk = false;
    bool minutesOk = false;
    const int hours = wake.hours.toInt(&hoursOk);
    const int minutes = wake.minutes.toInt(&minutesOk);
    if (!hoursOk || !minutesOk || hours < 1 || hours > 12 || minutes < 0 || minutes > 59)
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
