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

    void layoutFollowsItsOwnTable()
    {
        fx.start(1);
        Form1b& b = fx.big();
        QCOMPARE(b.objectName(), QString("Form1b"));
        QCOMPARE(b.QWidget::size(), QSize(734, 292));
        QCOMPARE(b.field(TimeField::Seconds)->geometry(), QRect(498, 28, 214, 155));
        QCOMPARE(b.button(Cmd::Start)->geometry(), QRect(6, 190, 393, 73));
        QVERIFY(b.findChild<QLabel*>("LabelHrs"));
        QVERIFY(b.findChild<QLabel*>("Label9"));
        QCOMPARE(b.findChild<QLabel*>("Label6")->text(), QString("Seconds:"));
        QVERIFY(!b.button(Cmd::Start)->isDefault());
        QVERIFY(fx.form1->button(Cmd::Start)->isDefault());
        // The digits fill their boxes: "88" takes most of the field's width.
        const QFontMetrics fm(b.field(TimeField::Hours)->font());
        QVERIFY(fm.horizontalAdvance("88") > b.field(TimeField::Hours)->width() * 2 / 3);
    }

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

    void onTopStoredMakesTheBigWindowTopmostFromItsLoad()
    {
        fx.seed("On Top", "True");
        fx.load();
        QVERIFY(!fx.big().isVisible());
        QVERIFY(fx.big().windowFlags() & Qt::WindowStaysOnTopHint);
        fx.app->size(1);
        QVERIFY(fx.big().windowFlags() & Qt::WindowStaysOnTopHint);
    }

    void backgroundChoice_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QColor>("top");
        QTest::newRow("default magenta") << QString() << QColor(255, 0, 255);
        QTest::newRow("blue") << "2" << QColor(0, 0, 255);
        QTest::newRow("system colour") << "6" << QApplication::palette().color(QPalette::Button);
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
