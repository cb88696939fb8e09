// Texts the engine's tests never meet: holding letters, too large, the hour's last snooze; wake times no
// clock shows, and twelve o'clock.

#include "engine/TimeText.h"

#include <QTest>

using namespace zentimo;

class TimeTextTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void countdownOnOddTexts()
    {
        QCOMPARE(clockText(countdownAdvance({"00", "xy", "00"}, 1)),
                 QString("00:xy:59")); // letters read as 0
        QCOMPARE(clockText(countdownAdvance({"00", "00", "00"}, 0)), QString("00:00:00")); // no time passed
    }
    void snoozeAtTheHourAndOnHugeNumbers()
    {
        QCOMPARE(clockText(snoozeStep({"99999999999", "99999999999", "a"})), QString("08:2147483597:a"));
        QCOMPARE(clockText(snoozeStep({"07", "50", "a"})), QString("08:00:a"));
    }

    void wakeTimesOfDay()
    {
        for (const FieldTexts& t :
             {FieldTexts{"00", "30", "a"}, {"07", "75", "a"}, {"07", "30", "x"}, {" 7", "30", "a"}})
            QVERIFY(!wakeTimeOfDay(t).isValid());
        QCOMPARE(wakeTimeOfDay({"12", "30", "a"}), QTime(0, 30)); // twelve is the clock's first hour
        QCOMPARE(wakeTimeOfDay({"12", "30", "p"}), QTime(12, 30));
    }
};

QTEST_APPLESS_MAIN(TimeTextTest)
#include "tst_timetext.moc"
