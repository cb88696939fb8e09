#include "MainFixture.h"
#include "WithOptions.h"
#include "dialogs/DialogFixture.h"
#include "shell/Form2.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QClipboard>
#include <QDialog>
#include <QLabel>

using namespace zentimo;
using namespace zentimo::test;

class Form1Test : public QObject {
    Q_OBJECT
    MainFixture fx;

private Q_SLOTS:
    void init() { fx.prepare(); }
    void cleanup() { fx.teardown(); }

    void firstStartShowsTheSmallWindowWithDefaults()
    {
        fx.start(0);
        Form1& w = *fx.form1;
        QVERIFY(w.isVisible());
        QVERIFY(!fx.big().isVisible());
        QCOMPARE(MainFixture::time(w), QString("00:00:00"));
        QCOMPARE(w.statusPanel(1)->text(), QString("Countdown Mode"));
        QCOMPARE(w.statusPanel(2)->text(), QString("Deactivated"));
        QCOMPARE(fx.big().statusPanel(2)->text(), QString("Deactivated"));
        QVERIFY(!(w.windowFlags() & Qt::WindowStaysOnTopHint));
        QCOMPARE(w.button(Cmd::Options)->palette().color(QPalette::Button), QColor(255, 0, 255));
        QCOMPARE(w.field(TimeField::Hours)->palette().color(QPalette::Text), QColor(255, 255, 0));
        QCOMPARE(fx.stored("Size"), QString("0"));
        QVERIFY(!w.button(Cmd::Start)->isEnabled()); // 00:00:00 cannot be started
    }

    void oddSizeShowsTheSmallWindowAndIsStored()
    {
        fx.load();
        fx.app->size(7);
        QVERIFY(fx.form1->isVisible());
        QCOMPARE(fx.stored("Size"), QString("7"));
    }

    void onTopStoredMakesBothTopmostFromLoad()
    {
        fx.seed("On Top", "True");
        fx.load();
        QVERIFY(fx.form1->windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(fx.big().windowFlags() & Qt::WindowStaysOnTopHint);
    }

    void typingFiveIntoMinutesGivesZeroFiveOnBothWindows()
    {
        fx.start();
        MainFixture::typeInto(*fx.form1, TimeField::Minutes, "5");
        QCOMPARE(fx.form1->fieldText(TimeField::Minutes), QString("05"));
        QCOMPARE(fx.big().fieldText(TimeField::Minutes), QString("05"));
        QCOMPARE(fx.form1->spinner(TimeField::Minutes)->value(), 5);
        QVERIFY(fx.form1->button(Cmd::Start)->isEnabled());
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
        QTest::newRow("drop a sign") << "insert" << s << "-1" << true;
        QTest::newRow("assistive insert") << "a11y insert" << s << "-" << true;
        QTest::newRow("assistive set") << "a11y set" << h << " 7" << true;
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
        QVERIFY(a11y && a11y->editableTextInterface());
        e->selectAll();
        if (way == "paste") {
            QGuiApplication::clipboard()->setText(text);
            e->paste();
        } else if (way == "insert") {
            e->insert(text);
        } else if (way == "a11y insert") {
            a11y->editableTextInterface()->insertText(0, text);
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

    void optionsCancelKeepsSizeAndResetsFields()
    {
        fx.start(0);
        fx.setTime(*fx.form1, "00", "05", "00");
        bool sawDialog = false;
        onNextModal([&](QWidget* modal) {
            sawDialog = modal->objectName() == "Form5";
            QVERIFY(!(fx.form1->windowFlags() & Qt::WindowStaysOnTopHint));
            static_cast<QDialog*>(modal)->reject();
        });
        withOptions(*fx.engine, [&](Options& o) { o.OnTop = true; });
        fx.form1->applyOnTop();
        QTest::mouseClick(fx.form1->button(Cmd::Options), Qt::LeftButton);
        QVERIFY(sawDialog);
        QVERIFY(fx.form1->isVisible());
        QCOMPARE(fx.app->currentWindow(), 0);
        QCOMPARE(MainFixture::time(*fx.form1), QString("00:00:00"));
        QVERIFY(fx.form1->windowFlags() & Qt::WindowStaysOnTopHint);
    }

    void onTopIsDroppedAroundPresetsAndAbout_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<QString>("dialog");
        QTest::newRow("presets") << int(Cmd::Presets) << "Form3";
        QTest::newRow("about") << int(Cmd::About) << "FrmAbt";
    }
    void onTopIsDroppedAroundPresetsAndAbout()
    {
        QFETCH(int, button);
        QFETCH(QString, dialog);
        fx.start(0);
        withOptions(*fx.engine, [&](Options& o) { o.OnTop = true; });
        fx.form1->applyOnTop();
        bool droppedWhileOpen = false;
        QString seen;
        onNextModal([&](QWidget* modal) {
            seen = modal->objectName();
            droppedWhileOpen = !(fx.form1->windowFlags() & Qt::WindowStaysOnTopHint);
        });
        QTest::mouseClick(fx.form1->button(Cmd(button)), Qt::LeftButton);
        QCOMPARE(seen, dialog);
        QVERIFY(droppedWhileOpen);
        QVERIFY(fx.form1->windowFlags() & Qt::WindowStaysOnTopHint);
    }

    void closingTheMessageGivesOnTopBack()
    {
        fx.seed("On Top", "True");
        fx.seed("Show Message", "True");
        fx.start(0);
        fx.setTime(*fx.form1, "00", "00", "01");
        fx.engine->Command1_Click();
        fx.engine->sec_Timer();
        QVERIFY(Form2::current());
        QVERIFY(!(fx.form1->windowFlags() & Qt::WindowStaysOnTopHint));
        Form2::current()->close();
        QVERIFY(fx.form1->windowFlags() & Qt::WindowStaysOnTopHint);
    }

    void closingWithAFileSoundClosesTheDeviceFirst()
    {
        fx.start();
        withOptions(*fx.engine, [&](Options& o) { o.UseBuiltIn = false; });
        withOptions(*fx.engine, [&](Options& o) { o.SoundFile = "/nonexistent/alarm.mp3"; });
        fx.setTime(*fx.form1, "00", "00", "01");
        fx.engine->Command1_Click();
        fx.engine->sec_Timer();
        QVERIFY(fx.engine->sound().SoundPlaying);
        fx.audio->takeCalls();
        fx.form1->close();
        QCOMPARE(fx.audio->calls().value(0), QString("closeDevice"));
        QCOMPARE(fx.audio->calls().value(1), QString("stopWave"));
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

    // Outside tests the record would only grow.
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
