#include "engine/TimeText.h"

#include <QTest>
#include <limits>

using namespace zentimo;

class TimeTextTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void countdownBorrows_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::newRow("one minute") << "00:01:00"
                                    << "00:00:59";
        QTest::newRow("ten hours") << "10:00:00"
                                   << "09:59:59";
        QTest::newRow("last second") << "00:00:01"
                                     << "00:00:00";
        QTest::newRow("already zero writes 59 only") << "00:00:00"
                                                     << "00:00:59";
        QTest::newRow("largest entry") << "99:99:99"
                                       << "99:99:98";
        QTest::newRow("minutes above 59 count down") << "00:75:00"
                                                     << "00:74:59";
        QTest::newRow("emptied field reads as zero") << ":00:05"
                                                     << ":00:04";
        QTest::newRow("pasted letters read as zero") << "00:xy:00"
                                                     << "00:xy:59";
    }
    void countdownBorrows()
    {
        QFETCH(QString, before);
        QFETCH(QString, after);
        const QStringList b = before.split(QLatin1Char(':'));
        const FieldTexts next = countdownStep({b[0], b[1], b[2]});
        QCOMPARE(next.hours + ":" + next.minutes + ":" + next.seconds, after);
    }

    void allZeroReadsValues()
    {
        QVERIFY((FieldTexts{"00", "00", "00"}.allZero()));
        QVERIFY((FieldTexts{"", "0", "00"}.allZero()));
        QVERIFY((FieldTexts{"-1", "+0", "00"}.allZero())); // the tick counts signs as zero too
        QVERIFY(!(FieldTexts{"00", "00", "01"}.allZero()));
    }

    void stopwatchCarries_data()
    {
        QTest::addColumn<int>("h");
        QTest::addColumn<int>("m");
        QTest::addColumn<int>("s");
        QTest::addColumn<int>("eh");
        QTest::addColumn<int>("em");
        QTest::addColumn<int>("es");
        QTest::addColumn<bool>("limit");
        QTest::newRow("second to minute") << 0 << 0 << 59 << 0 << 1 << 0 << false;
        QTest::newRow("minute to hour") << 0 << 59 << 59 << 1 << 0 << 0 << false;
        QTest::newRow("plain second") << 5 << 6 << 7 << 5 << 6 << 8 << false;
        QTest::newRow("limit") << 99 << 59 << 59 << 100 << 0 << 0 << true;
        const int huge = std::numeric_limits<int>::max();
        QTest::newRow("huge counts do not overflow") << huge << huge << huge << huge << 0 << 0 << true;
    }
    void stopwatchCarries()
    {
        QFETCH(int, h);
        QFETCH(int, m);
        QFETCH(int, s);
        QFETCH(int, eh);
        QFETCH(int, em);
        QFETCH(int, es);
        QFETCH(bool, limit);
        const StopwatchCount next = stopwatchStep({h, m, s});
        QCOMPARE(next, (StopwatchCount{eh, em, es}));
        QCOMPARE(stopwatchAtLimit(next), limit);
    }

    void snoozeMovesTenMinutes_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::newRow("eleven flips to pm") << "11:55:a"
                                            << "12:05:p";
        QTest::newRow("eleven pm flips to am") << "11:59:p"
                                               << "12:09:a";
        QTest::newRow("noon stays pm") << "12:20:p"
                                       << "12:30:p";
        QTest::newRow("twelve wraps to one") << "12:55:p"
                                             << "01:05:p";
        QTest::newRow("carry to next hour") << "07:50:a"
                                            << "08:00:a";
        QTest::newRow("minute 49 no carry") << "07:49:a"
                                            << "07:59:a";
        QTest::newRow("minute 59") << "09:59:p"
                                   << "10:09:p";
        QTest::newRow("midnight hour") << "12:50:a"
                                       << "01:00:a";
        QTest::newRow("huge numbers do not overflow") << "99999999999:99999999999:a"
                                                      << "08:2147483597:a";
    }
    void snoozeMovesTenMinutes()
    {
        QFETCH(QString, before);
        QFETCH(QString, after);
        const QStringList b = before.split(QLatin1Char(':'));
        const FieldTexts next = snoozeStep({b[0], b[1], b[2]});
        QCOMPARE(next.hours + ":" + next.minutes + ":" + next.seconds, after);
    }

    void wakeClockTextUsesTwelveHours_data()
    {
        QTest::addColumn<QTime>("time");
        QTest::addColumn<QString>("text");
        QTest::newRow("just after midnight") << QTime(0, 5) << "12:05 a";
        QTest::newRow("morning") << QTime(7, 30, 59) << "07:30 a";
        QTest::newRow("noon") << QTime(12, 0) << "12:00 p";
        QTest::newRow("evening") << QTime(21, 5) << "09:05 p";
        QTest::newRow("last minute") << QTime(23, 59, 59) << "11:59 p";
    }
    void wakeClockTextUsesTwelveHours()
    {
        QFETCH(QTime, time);
        QFETCH(QString, text);
        QCOMPARE(wakeClockText(time), text);
    }

    void wakeTimeOfDayRejectsWhatNoClockShows()
    {
        QCOMPARE(wakeTimeOfDay({"12", "00", "a"}), QTime(0, 0));
        QCOMPARE(wakeTimeOfDay({"12", "30", "p"}), QTime(12, 30));
        QCOMPARE(wakeTimeOfDay({"07", "30", "p"}), QTime(19, 30));
        QVERIFY(!wakeTimeOfDay({"00", "30", "a"}).isValid());
        QVERIFY(!wakeTimeOfDay({"07", "75", "a"}).isValid());
        QVERIFY(!wakeTimeOfDay({"07", "30", "x"}).isValid());
    }

    void keyFilters()
    {
        for (int c = 0; c < 128; ++c) {
            int digit = c;
            FilterDigitKey(digit);
            QCOMPARE(digit, (c >= '0' && c <= '9') || c == 8 ? c : 0);
            int letter = c;
            FilterAmPmKey(letter);
            QCOMPARE(letter, c == 'a' || c == 'p' || c == 8 ? c : 0);
        }
    }
};

QTEST_APPLESS_MAIN(TimeTextTest)
#include "tst_timetext.moc"
