// The field helpers: the input is three field texts, one a line (hours, minutes, seconds or the
// AM/PM letter), then optionally three stopwatch counts as decimal numbers on a fourth line.
// A countdown that is not zero gets one second nearer to zero with every tick, so it reaches zero;
// snooze moves a clock time ten minutes on; nothing overflows on any text.

#include "FuzzCheck.h"
#include "engine/TimeText.h"

#include <QByteArray>
#include <QList>
#include <cstdint>

using namespace zentimo;
using zentimo::fuzz::check;

namespace {

qint64 totalSeconds(const FieldTexts& t)
{
    return qint64(fieldNumber(t.hours)) * 3600 + qint64(fieldNumber(t.minutes)) * 60 + fieldNumber(t.seconds);
}

void countdown(const FieldTexts& start)
{
    check(fieldNumber(start.hours) >= 0 && fieldNumber(start.minutes) >= 0 && fieldNumber(start.seconds) >= 0,
          "a field never reads as a negative number");
    const qint64 total = totalSeconds(start);
    check(start.allZero() == (total == 0), "the zero test reads the numbers the tick counts");
    if (total == 0)
        return;
    const FieldTexts next = countdownStep(start);
    check(totalSeconds(next) == total - 1, "a tick takes exactly one second off");
    // Short ones are run to the end.
    if (total > 400)
        return;
    FieldTexts t = start;
    qint64 ticks = 0;
    while (!t.allZero() && ticks <= total) {
        t = countdownStep(t);
        ++ticks;
    }
    check(ticks == total && t.allZero(), "the countdown reaches zero");
}

void snooze(const FieldTexts& wake)
{
    const FieldTexts next = snoozeStep(wake);
    const QTime at = wakeTimeOfDay(wake);
    if (!at.isValid())
        return;
    check(wakeTimeOfDay(next) == at.addSecs(600), "snooze moves a clock time ten minutes on");
    check(next.hours.size() == 2 && next.minutes.size() == 2, "snooze writes two digits");
}

void stopwatch(const QByteArray& line)
{
    const QList<QByteArray> parts = line.split(' ');
    if (parts.size() != 3)
        return;
    StopwatchCount c{parts[0].toInt(), parts[1].toInt(), parts[2].toInt()};
    const StopwatchCount next = stopwatchStep(c);
    const bool valid =
        c.hours >= 0 && c.hours < 100 && c.minutes >= 0 && c.minutes < 60 && c.seconds >= 0 && c.seconds < 60;
    if (valid) {
        const qint64 before = qint64(c.hours) * 3600 + c.minutes * 60 + c.seconds;
        check(qint64(next.hours) * 3600 + next.minutes * 60 + next.seconds == before + 1,
              "the stopwatch counts one second");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 256)
        return 0;
    const QList<QByteArray> lines =
        QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)).split('\n');
    if (lines.size() < 3)
        return 0;
    const FieldTexts texts{QString::fromUtf8(lines[0]), QString::fromUtf8(lines[1]),
                           QString::fromUtf8(lines[2])};
    countdown(texts);
    snooze(texts);
    for (const QString& t : {texts.hours, texts.minutes, texts.seconds}) {
        if (typeableFieldText(t, false))
            check(t.isEmpty() || fieldNumber(t) == t.toLongLong() || t.size() > 9,
                  "typed digits read as typed");
    }
    if (lines.size() > 3)
        stopwatch(lines[3]);
    return 0;
}
