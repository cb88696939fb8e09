#include "MainFixture.h"

using namespace zentimo;
using namespace zentimo::test;

class Form1bTest : public QObject {
    Q_OBJECT
    MainFixture fx;

    static QColor backgroundAt(QWidget& w, QPoint p) { return w.grab().toImage().pixelColor(p); }

private Q_SLOTS:
    void init() { fx.prepare(); }
    void cleanup() { fx.teardown(); }

    void countdownFromTheBigWindowRunsWhileTheSmallIsHidden()
    {
        fx.start(1);
        fx.setTime(fx.big(), "00", "01", "02");
        QTest::mouseClick(fx.big().button(Cmd::Start), Qt::LeftButton);
        QVERIFY(!fx.form1->isVisible());
        QVERIFY(fx.engine->secEnabled());
        QCOMPARE(fx.big().statusPanel(2)->text(), QString("Activated"));
        for (const char* expected : {"00:01:01", "00:01:00", "00:00:59"}) {
            fx.engine->sec_Timer();
            QCOMPARE(MainFixture::time(fx.big()), QString(expected));
            QCOMPARE(MainFixture::time(*fx.form1), QString(expected));
        }
        // Switching size shows the same time at once.
        fx.app->size(0);
        QVERIFY(fx.form1->isVisible());
        QCOMPARE(MainFixture::time(*fx.form1), QString("00:00:59"));
    }

    void backgroundChoice_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QColor>("top");
        QTest::newRow("blue") << "2" << QColor(0, 0, 255);
        QTest::newRow("letters fall back to magenta") << "blue" << QColor(255, 0, 255);
    }
    void backgroundChoice()
    {
        QFETCH(QString, stored);
        QFETCH(QColor, top);
        if (!stored.isEmpty())
            fx.seed("Background Color", stored);
        fx.start(0);
        QCOMPARE(backgroundAt(*fx.form1, {2, 2}), top);
        QCOMPARE(backgroundAt(fx.big(), {2, 2}), top);
    }

    void spinnersOnTheBigWindowDriveBothWindows()
    {
        fx.start(1);
        fx.big().spinner(TimeField::Hours)->stepUp();
        QCOMPARE(fx.form1->fieldText(TimeField::Hours), QString("01"));
        QCOMPARE(fx.form1->spinner(TimeField::Hours)->value(), 1);
    }
};

QTEST_MAIN(Form1bTest)
#include "tst_form1b.moc"
