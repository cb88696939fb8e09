#include "MainFixture.h"

#include <QAccessible>

using namespace zentimo;
using namespace zentimo::test;

// What only the real main window shows: typing limits, keys, Tab order, spinner ends, captions, boxes.
class Form1Test : public QObject {
    Q_OBJECT
    MainFixture fx;

private Q_SLOTS:
    void init() { fx.prepare(); }
    void cleanup() { fx.teardown(); }

    void whatOnlyTheRealWindowShows()
    {
        fx.start();
        fx.form1->hide(); // as in the tray, with the big window never built
        Q_EMIT fx.engine->stopwatchLimitReached();
        QCOMPARE(MessageBox::shown().value(0).text,
                 QString("Zentimo has reached it's limit. The program will only count up to 99 hours, 59 "
                         "minutes, and 59 seconds in Stopwatch Mode."));
        fx.form1->show();
        withOptions(*fx.engine, [&](Options& o) { o.WakeMode = true; });
        fx.engine->applyModeToFields();
        QCOMPARE(fx.form1->field(TimeField::Seconds)->accessibleName(), QString("AM/PM"));
        fx.form1->spinner(TimeField::Seconds)->stepUp(); // the letter's spinner turns p to a
        QCOMPARE(fx.form1->fieldText(TimeField::Seconds), QString("a"));
        auto* hours = QAccessible::queryAccessibleInterface(fx.form1->spinner(TimeField::Hours));
        QVERIFY(hours->valueInterface());
        QCOMPARE(hours->valueInterface()->maximumValue(), QVariant(12));
        QCOMPARE(fx.big().findChild<QLabel*>("Label6")->text(), QString("AM/PM")); // built in Wake Mode
        withOptions(*fx.engine, [&](Options& o) { o.WakeMode = false; });
        fx.engine->applyModeToFields();
        fx.setTime(*fx.form1, "00", "05", "00");
        fx.form1->setFieldMaxLength(TimeField::Seconds, 1);
        QCOMPARE(MainFixture::time(*fx.form1), QString("00:05:00"));
        QLineEdit* seconds = fx.form1->field(TimeField::Seconds);
        MainFixture::activate(*fx.form1);
        QTest::mouseClick(seconds, Qt::LeftButton);
        QTest::keyClicks(seconds, "x12");
        QTest::keyClick(seconds, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), fx.form1->field(TimeField::Minutes)); // this window's own order
        QCOMPARE(seconds->text(), QString("01"));
        QTest::keyClick(seconds, Qt::Key_A, Qt::ControlModifier); // a control letter too is no typing
        QTest::keyClick(seconds, Qt::Key_Backspace);              // the cursor is at the end
        fx.form1->spinner(TimeField::Hours)->setValue(97);
        auto* up = ctl<QAbstractButton>(fx.form1->spinner(TimeField::Hours), "up");
        QTest::mousePress(up, Qt::LeftButton); // held, it repeats (real time, half a second)
        QTRY_COMPARE(fx.form1->fieldText(TimeField::Hours), QString("99"));
        QTest::mouseRelease(up, Qt::LeftButton); // a last step, past the end: it holds
        fx.form1->spinner(TimeField::Minutes)->setValue(0);
        fx.form1->spinner(TimeField::Minutes)->stepDown();
        QCOMPARE(MainFixture::time(fx.big()), QString("99:00:0")); // as the other window shows it
        QCOMPARE(fx.big().field(TimeField::Seconds)->nextInFocusChain(), fx.big().spinner(TimeField::Hours));
        QTest::keyClick(fx.form1->button(Cmd::Reset), Qt::Key_X); // only Enter presses a button, or Start
        QCOMPARE(MainFixture::time(*fx.form1), QString("99:00:0"));
        QTest::keyClick(fx.form1->button(Cmd::Reset), Qt::Key_Enter);
        QCOMPARE(MainFixture::time(*fx.form1), QString("00:00:00"));
        fx.form1->field(TimeField::Hours)->setText("\b"); // as a tool may set it: no key puts it there
        QCOMPARE(fx.form1->fieldText(TimeField::Hours), QString("00"));
        fx.setTime(*fx.form1, "00", "05", "00");
        QTest::keyClick(fx.form1->button(Cmd::Start), Qt::Key_Enter); // once, not again as the default
        QCOMPARE(fx.form1->button(Cmd::Start)->text(), QString("Stop"));
        fx.form1->setButtonColor(255);
        fx.form1->setButtonColor(kSystemButtonFace); // the style's own face and look again
        QCOMPARE(fx.form1->button(Cmd::Reset)->palette().button(), QApplication::palette().button());
        QCOMPARE(fx.form1->button(Cmd::Reset)->styleSheet(), QString());
        MessageBox::setTestMode(false); // a real question offers Yes as its default
        QTimer::singleShot(0, [] { QTest::keyClick(QApplication::activeModalWidget(), Qt::Key_Return); });
        QCOMPARE(MessageBox::show(nullptr, "Go on?", "Zentimo", MessageBox::Icon::Question,
                                  MessageBox::Buttons::YesNo),
                 MessageBox::Answer::Yes);
    }
};

QTEST_MAIN(Form1Test)
#include "tst_form1.moc"
