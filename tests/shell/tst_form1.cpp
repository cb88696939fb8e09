#include "MainFixture.h"
#include "dialogs/DialogFixture.h"
#include "shell/Form2.h"

#include <QAccessible>
#include <QClipboard>

using namespace zentimo;
using namespace zentimo::test;

class Form1Test : public QObject {
    Q_OBJECT
    MainFixture fx;

    static bool onTop(QWidget& w) { return w.windowFlags() & Qt::WindowStaysOnTopHint; }

private Q_SLOTS:
    void init() { fx.prepare(); }
    void cleanup() { fx.teardown(); }

    void startShowsTheSmallWindowWithDefaults_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<QString>("background");
        QTest::addColumn<QColor>("top");
        QTest::newRow("first start") << 0 << "" << QColor(255, 0, 255);
        QTest::newRow("odd size, blue") << 7 << "2" << QColor(0, 0, 255);
    }
    void startShowsTheSmallWindowWithDefaults()
    {
        QFETCH(int, size);
        QFETCH(QString, background);
        QFETCH(QColor, top);
        if (!background.isEmpty())
            fx.seed("Background Color", background);
        fx.start(size);
        Form1& w = *fx.form1;
        QVERIFY(w.isVisible());
        QVERIFY(!fx.big().isVisible());
        QCOMPARE(MainFixture::time(w), QString("00:00:00"));
        QCOMPARE(w.statusPanel(1)->text(), QString("Countdown Mode"));
        QCOMPARE(w.statusPanel(2)->text(), QString("Deactivated"));
        QCOMPARE(fx.big().statusPanel(2)->text(), QString("Deactivated"));
        QVERIFY(!onTop(w));
        QCOMPARE(w.button(Cmd::Options)->palette().color(QPalette::Button), QColor(255, 0, 255));
        QCOMPARE(w.field(TimeField::Hours)->palette().color(QPalette::Text), QColor(255, 255, 0));
        QCOMPARE(fx.stored("Size"), QString::number(size));
        QVERIFY(!w.button(Cmd::Start)->isEnabled()); // 00:00:00 cannot be started
        QCOMPARE(w.grab().toImage().pixelColor(2, 2), top);
        QCOMPARE(fx.big().grab().toImage().pixelColor(2, 2), top);
    }

    void typingFiveIntoMinutesGivesZeroFiveOnBothWindows()
    {
        fx.start();
        MainFixture::typeInto(*fx.form1, TimeField::Minutes, "5");
        QCOMPARE(fx.form1->fieldText(TimeField::Minutes), QString("05"));
        QCOMPARE(fx.big().fieldText(TimeField::Minutes), QString("05"));
        QCOMPARE(fx.form1->spinner(TimeField::Minutes)->value(), 5);
        QVERIFY(fx.form1->button(Cmd::Start)->isEnabled());
        fx.big().spinner(TimeField::Hours)->stepUp();
        QCOMPARE(fx.form1->fieldText(TimeField::Hours), QString("01"));
        QCOMPARE(fx.form1->spinner(TimeField::Hours)->value(), 1);
    }

    // Paste, drop, input methods and assistive tools bring text without key events.
    void textArrivingWithoutTypingHoldsOnlyWhatTypingCould_data()
    {
        QTest::addColumn<QString>("way");
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("refused"); // the field keeps its "00"
        const int h = int(TimeField::Hours);
        const int s = int(TimeField::Seconds);
        QTest::newRow("paste a sign") << "paste" << h << "-1" << true;
        QTest::newRow("assistive set") << "a11y set" << s << " 7" << true;
        QTest::newRow("paste digits") << "paste" << h << "42" << false;
    }
    void textArrivingWithoutTypingHoldsOnlyWhatTypingCould()
    {
        QFETCH(QString, way);
        QFETCH(int, field);
        QFETCH(QString, text);
        QFETCH(bool, refused);
        const QString kept = refused ? QStringLiteral("00") : text;
        fx.start();
        QLineEdit* e = fx.form1->field(TimeField(field));
        QAccessibleInterface* a11y = QAccessible::queryAccessibleInterface(e);
        QVERIFY(a11y);
        e->selectAll();
        if (way == "paste") {
            QGuiApplication::clipboard()->setText(text);
            e->paste();
        } else {
            a11y->setText(QAccessible::Value, text);
        }
        QCOMPARE(e->text(), kept);
        QCOMPARE(fx.big().fieldText(TimeField(field)), kept);
        // The zero test sees what the tick would count down.
        QCOMPARE(fx.form1->button(Cmd::Start)->isEnabled(), kept != "00");
    }

    void runStatesThroughTheButtons()
    {
        fx.start();
        Form1& w = *fx.form1;
        fx.setTime(w, "00", "03", "13");
        QTest::mouseClick(w.button(Cmd::Start), Qt::LeftButton);
        for (MainWindow* m : {static_cast<MainWindow*>(&w), static_cast<MainWindow*>(&fx.big())}) {
            QCOMPARE(m->caption(), QString("Stop"));
            QCOMPARE(m->statusPanel(2)->text(), QString("Activated"));
            QVERIFY(m->field(TimeField::Minutes)->isReadOnly());
            QVERIFY(!m->button(Cmd::Options)->isEnabled());
            QVERIFY(!m->button(Cmd::Reset)->isEnabled());
            QVERIFY(m->button(Cmd::Tray)->isEnabled());
            QVERIFY(m->button(Cmd::Presets)->isEnabled());
        }
        fx.engine->sec_Timer();
        QTest::mouseClick(w.button(Cmd::Start), Qt::LeftButton);
        QCOMPARE(w.caption(), QString("Start"));
        QCOMPARE(MainFixture::time(fx.big()), QString("00:03:12"));
        QVERIFY(!fx.big().field(TimeField::Minutes)->isReadOnly());
        QVERIFY(w.button(Cmd::Options)->isEnabled());
    }

    void countdownFromTheBigWindowRunsWhileTheSmallIsHidden()
    {
        fx.start(1);
        fx.setTime(fx.big(), "00", "01", "00");
        QTest::mouseClick(fx.big().button(Cmd::Start), Qt::LeftButton);
        QVERIFY(!fx.form1->isVisible());
        QCOMPARE(fx.big().statusPanel(2)->text(), QString("Activated"));
        fx.engine->sec_Timer();
        QCOMPARE(MainFixture::time(fx.big()), QString("00:00:59"));
        // Switching size shows the same time at once.
        fx.app->size(0);
        QVERIFY(fx.form1->isVisible());
        QCOMPARE(MainFixture::time(*fx.form1), QString("00:00:59"));
    }

    // A stored On Top holds from load, is dropped while a window of the program's own is up, and comes back.
    void onTopIsDroppedAroundDialogsAndTheMessage_data()
    {
        QTest::addColumn<int>("button"); // -1: the alarm message
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<QString>("timeAfter");
        QTest::newRow("options, cancelled, clears the fields") << int(Cmd::Options) << "Form5"
                                                               << "00:00:00";
        QTest::newRow("presets") << int(Cmd::Presets) << "Form3"
                                 << "00:00:01";
        QTest::newRow("about") << int(Cmd::About) << "FrmAbt"
                               << "00:00:01";
        QTest::newRow("message") << -1 << ""
                                 << "00:00:00";
    }
    void onTopIsDroppedAroundDialogsAndTheMessage()
    {
        QFETCH(int, button);
        QFETCH(QString, dialog);
        fx.seed("On Top", "True");
        fx.seed("Show Message", "True");
        fx.start(0);
        QVERIFY(onTop(*fx.form1) && onTop(fx.big()));
        fx.setTime(*fx.form1, "00", "00", "01");
        bool droppedWhileOpen = false;
        if (button < 0) {
            fx.engine->Command1_Click();
            fx.engine->sec_Timer();
            QVERIFY(Form2::current());
            droppedWhileOpen = !onTop(*fx.form1);
            Form2::current()->close();
        } else {
            QString seen;
            onNextModal([&](QWidget* modal) {
                seen = modal->objectName();
                droppedWhileOpen = !onTop(*fx.form1);
            });
            QTest::mouseClick(fx.form1->button(Cmd(button)), Qt::LeftButton);
            QCOMPARE(seen, dialog);
            QCOMPARE(fx.app->currentWindow(), 0);
        }
        QVERIFY(droppedWhileOpen);
        QVERIFY(onTop(*fx.form1));
        QTEST(MainFixture::time(*fx.form1), "timeAfter");
    }

    // Start with no sound source says so, opens Options, and the enabled states follow what was chosen there.
    void startWithoutSoundSourceOpensOptionsAndAppliesTheRulesAfter()
    {
        fx.start();
        withOptions(*fx.engine, [&](Options& o) {
            o.UseBuiltIn = false;
            o.SoundFile.clear();
        });
        fx.setTime(*fx.form1, "00", "05", "00");
        onNextModal([](QWidget* d) {
            ctl<QAbstractButton>(d, "Option3", 2)->click(); // Stopwatch
            ctl<QAbstractButton>(d, "Option4", 0)->click(); // built-in sound
            ctl<QAbstractButton>(d, "Command4")->click();
        });
        fx.form1->button(Cmd::Start)->click();
        QCOMPARE(MessageBox::shown().size(), 1);
        QCOMPARE(MessageBox::shown()[0].title, QString("Oops"));
        QCOMPARE(MessageBox::shown()[0].text,
                 QString("You must select a sound file to play as the alarm first."));
        QCOMPARE(fx.form1->caption(), QString("Start"));
        QVERIFY(fx.engine->options().StopwatchMode);
        // Stopwatch Mode: no spinners, no Presets, and the fields keep their text.
        QVERIFY(!fx.form1->spinner(TimeField::Hours)->isEnabled());
        QVERIFY(!fx.form1->button(Cmd::Presets)->isEnabled());
        QCOMPARE(MainFixture::time(*fx.form1), QString("00:05:00"));
    }

    void aLengthLimitHoldsTypingBackButCutsNothing()
    {
        fx.start();
        fx.setTime(*fx.form1, "00", "05", "00");
        fx.form1->setFieldMaxLength(TimeField::Seconds, 1);
        QCOMPARE(MainFixture::time(*fx.form1), QString("00:05:00"));
        MainFixture::typeInto(*fx.form1, TimeField::Seconds, "12");
        QCOMPARE(fx.form1->fieldText(TimeField::Seconds), QString("01"));
    }

    void stopwatchLimitIsReported()
    {
        fx.start();
        Q_EMIT fx.engine->stopwatchLimitReached();
        QCOMPARE(MessageBox::shown().size(), 1);
        QCOMPARE(MessageBox::shown()[0].text,
                 QString("Zentimo has reached it's limit. The program will only count up to 99 hours, 59 "
                         "minutes, and 59 seconds in Stopwatch Mode."));
        QCOMPARE(MessageBox::shown()[0].title, QString("Zentimo"));
    }

    // Outside tests the record would only grow.
    void messageBoxesAreRecordedOnlyUnderTheTestSeam()
    {
        MessageBox::setTestMode(false);
        QTimer::singleShot(0, [] {
            if (QWidget* box = QApplication::activeModalWidget())
                box->close();
        });
        MessageBox::show(nullptr, "text", "title");
        MessageBox::setTestMode(true);
        QVERIFY(MessageBox::shown().isEmpty());
    }

    // The big window's caption follows the mode without a colon of its own.
    void secondsCaptionFollowsTheModeOnBothWindows()
    {
        fx.start();
        withOptions(*fx.engine, [&](Options& o) { o.WakeMode = true; });
        fx.engine->applyModeToFields();
        QCOMPARE(fx.form1->field(TimeField::Seconds)->accessibleName(), QString("AM/PM"));
        QCOMPARE(fx.big().findChild<QLabel*>("Label6")->text(), QString("AM/PM"));
    }
};

QTEST_MAIN(Form1Test)
#include "tst_form1.moc"
