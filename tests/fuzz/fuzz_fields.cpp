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
    const qint64 total = totalSeconds(start);
    check(start.allZero() == (total == 0), "the zero test reads the numbers the tick counts");
    if (total == 0)
        return;
    check(totalSeconds(countdownStep(start)) == total - 1, "a tick takes exactly one second off");
    if (total > 400) // short ones are run to the end
        return;
    FieldTexts t = start;
    qint64 ticks = 0;
    for (; !t.allZero() && ticks <= total; ++ticks)
        t = countdownStep(t);
    check(ticks == total, "the countdown reaches zero");
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
    for (const QString& t : {texts.hours, texts.minutes, texts.seconds}) {
        check(fieldNumber(t) >= 0, "a field never reads as a negative number");
        if (typeableFieldText(t, false))
            check(t.isEmpty() || fieldNumber(t) == t.toLongLong() || t.size() > 9,
                  "typed digits read as typed");
    }
    countdown(texts);
    const FieldTexts next = snoozeStep(texts);
    if (const QTime at = wakeTimeOfDay(texts); at.isValid())
        check(wakeTimeOfDay(next) == at.addSecs(600) && next.hours.size() == 2 && next.minutes.size() == 2,
              "snooze moves a clock time ten minutes on, in two digits");
    const QList<QByteArray> sw = lines.value(3).split(' ');
    if (sw.size() == 3) {
        const StopwatchCount c{sw[0].toInt(), sw[1].toInt(), sw[2].toInt()};
        const StopwatchCount n = stopwatchStep(c);
        if (c.hours >= 0 && c.hours < 100 && c.minutes >= 0 && c.minutes < 60 && c.seconds >= 0 &&
            c.seconds < 60)
            check(qint64(n.hours) * 3600 + n.minutes * 60 + n.seconds ==
                      c.hours * 3600 + c.minutes * 60 + c.seconds + 1,
                  "the stopwatch counts one second");
    }
    return 0;
}
