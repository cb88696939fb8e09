// Input: three field texts, one a line. A countdown not at zero ticks exactly one second nearer zero,
// snooze moves a clock time ten minutes on, and nothing overflows on any text.

#include "FuzzCheck.h"
#include "engine/TimeText.h"

#include <QByteArray>
#include <QList>
#include <cstdint>

using namespace zentimo;
using zentimo::fuzz::check;

static qint64 totalSeconds(const FieldTexts& t)
{
    return qint64(fieldNumber(t.hours)) * 3600 + qint64(fieldNumber(t.minutes)) * 60 + fieldNumber(t.seconds);
}

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
    const qint64 total = totalSeconds(texts);
    check(texts.allZero() == (total == 0), "the zero test reads the numbers the tick counts");
    if (total > 0)
        check(totalSeconds(countdownAdvance(texts, 1)) == total - 1, "a tick takes exactly one second off");
    const FieldTexts next = snoozeStep(texts);
    if (const QTime at = wakeTimeOfDay(texts); at.isValid())
        check(wakeTimeOfDay(next) == at.addSecs(600) && next.hours.size() == 2 && next.minutes.size() == 2,
              "snooze moves a clock time ten minutes on, in two digits");
    return 0;
}
