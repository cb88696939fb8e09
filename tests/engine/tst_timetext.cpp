// Texts the engine's tests never meet: already zero, holding letters, too large; wake times no clock shows.

#include "engine/TimeText.h"

#include <QTest>

using namespace zentimo;

class TimeTextTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void oddTexts_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<bool>("snooze");
        QTest::addColumn<QString>("after");
        QTest::newRow("already zero writes 59 only") << "00:00:00" << false << "00:00:59";
        QTest::newRow("pasted letters read as zero") << "00:xy:00" << false << "00:xy:59";
        QTest::newRow("snooze on huge numbers") << "99999999999:99999999999:a" << true << "08:2147483597:a";
    }
    void oddTexts()
    {
        QFETCH(bool, snooze);
        QFETCH(QString, before);
        const QStringList b = before.split(QLatin1Char(':'));
        const FieldTexts texts{b[0], b[1], b[2]};
        QTEST(clockText(snooze ? snoozeStep(texts) : countdownAdvance(texts, 1)), "after");
    }

    void wakeTimeOfDayRejectsWhatNoClockShows()
    {
        for (const FieldTexts& t : {FieldTexts{"00", "30", "a"}, {"07", "75", "a"}, {"07", "30", "x"}})
            QVERIFY(!wakeTimeOfDay(t).isValid());
    }
};

QTEST_APPLESS_MAIN(TimeTextTest)
#include "tst_timetext.moc"
