#include "MainFixture.h"

#include <QAccessible>
#include <QClipboard>
#include <QMessageBox>
#include <QStatusBar>
#include <ranges>

using namespace zentimo;
using namespace zentimo::test;

struct Arrival {
    const char* name;
    bool wake;
    TimeField field;
    void (*arrive)(QLineEdit&, QString);
    const char* text;
    const char* kept; // on both windows
    bool startEnabled;
};
Q_DECLARE_METATYPE(Arrival)

struct FieldKey {
    const char* name;
    int size; // the window's stored size
    Qt::Key key;
    const char* caption; // afterwards
};
Q_DECLARE_METATYPE(FieldKey)

struct FocusLoss {
    const char* name;
    Qt::FocusReason reason;
    const char* minutes; // "5" left as typed, "05" completed
};
Q_DECLARE_METATYPE(FocusLoss)
const auto pasted = [](QLineEdit& e, QString t) { QGuiApplication::clipboard()->setText(t), e.paste(); };
// Keys as a keyboard layout sends them, with text that no key code names (é on a French keyboard).
const auto keyed = [](QLineEdit& e, QString t) {
    for (QChar c : t) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, c);
        QApplication::sendEvent(&e, &press);
    }
};
// clang-format off
const Arrival kArrivals[] = {
    {.name = "paste a sign", .wake = false, .field = TimeField::Hours, .arrive = pasted, .text = "-1",
     .kept = "00", .startEnabled = false},
    {.name = "assistive set", .wake = false, .field = TimeField::Seconds,
     .arrive = [](QLineEdit& e, QString t) { QAccessible::queryAccessibleInterface(&e)->setText(QAccessible::Value, t); },
     .text = "07", .kept = "07", .startEnabled = true},
    {.name = "two letters in the one-letter field", .wake = true, .field = TimeField::Seconds, .arrive = pasted,
     .text = "ap", .kept = "p", .startEnabled = true},
    {.name = "typed into the hours, letters refused", .wake = false, .field = TimeField::Hours,
     .arrive = keyed, .text = "x\u00e95", .kept = "05",
     .startEnabled = true},
    {.name = "typed, a letter refused and one taken", .wake = true, .field = TimeField::Seconds,
     .arrive = [](QLineEdit& e, QString t) { QTest::keyClicks(&e, t); }, .text = "xa", .kept = "a",
     .startEnabled = true},
};

const FieldKey kFieldKeys[] = {
    {.name = "Return, small window",       .size = 0, .key = Qt::Key_Return, .caption = "Stop"},
    {.name = "keypad Enter, small window", .size = 0, .key = Qt::Key_Enter,  .caption = "Stop"},
    {.name = "Escape, small window",       .size = 0, .key = Qt::Key_Escape, .caption = "Start"},
    {.name = "Return, big window",         .size = 1, .key = Qt::Key_Return, .caption = "Start"},
};

const FocusLoss kFocusLosses[] = {
    {.name = "Tab to the next control", .reason = Qt::TabFocusReason,          .minutes = "05"},
    {.name = "another window active",   .reason = Qt::ActiveWindowFocusReason, .minutes = "5"},
    {.name = "a pop-up menu",           .reason = Qt::PopupFocusReason,        .minutes = "5"},
};
// clang-format on

// The run rules themselves are the engine tests'; here each real window is wired to them.
class Form1Test : public QObject {
    Q_OBJECT
    MainFixture fx;

    static bool onTop(QWidget& w) { return w.windowFlags() & Qt::WindowStaysOnTopHint; }

private Q_SLOTS:
    void init() { fx.prepare(); }
    void cleanup() { fx.teardown(); }

    void eachWindowDrivesTheEngine_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<QString>("background");
        QTest::addColumn<bool>("big"); // the window shown
        QTest::addColumn<QColor>("top");
        QTest::newRow("small, magenta") << 0 << "5" << false << QColor(255, 0, 255);
        QTest::newRow("big, blue") << 1 << "2" << true << QColor(0, 0, 255);
        QTest::newRow("odd size is the small one") << 7 << "2" << false << QColor(0, 0, 255);
    }
    void eachWindowDrivesTheEngine()
    {
        QFETCH(int, size);
        QFETCH(QString, background);
        QFETCH(bool, big);
        fx.seed("Background Color", background);
        fx.start(size);
        using enum Controller::Window;
        MainWindow& w = fx.app->face(big ? Big : Small);
        MainWindow& other = fx.app->face(big ? Small : Big);
        QVERIFY(w.isVisible() && !other.isVisible());
        QTEST(w.grab().toImage().pixelColor(2, 2), "top");
        QCOMPARE(w.button(Cmd::Options)->palette().color(QPalette::Button), QColor(255, 0, 255));
        QCOMPARE(w.field(TimeField::Hours)->palette().color(QPalette::Text), QColor(255, 255, 0));
        QCOMPARE(QAccessible::queryAccessibleInterface(&w)->role(), QAccessible::Window);

        MainFixture::typeInto(w, TimeField::Minutes, "5");
        // Framed now, the window shows the bands of its real frame, as painting it again after Options does.
        const QPoint lastBand(2, w.statusBar()->y() - 1);
        const QColor shown = w.grab().toImage().pixelColor(lastBand);
        w.paintBackground(w.background());
        QCOMPARE(w.grab().toImage().pixelColor(lastBand), shown);
        QCOMPARE(other.fieldText(TimeField::Minutes), QString("05"));
        // Its digits show, in the digit colour.
        const QImage digits = w.field(TimeField::Minutes)->grab().toImage();
        QVERIFY(std::ranges::any_of(std::views::iota(0, digits.width() * digits.height()), [&](int i) {
            return digits.pixelColor(i % digits.width(), i / digits.width()) == QColor(255, 255, 0);
        }));
        QCOMPARE(w.spinner(TimeField::Minutes)->value(), 5);
        QAccessibleInterface* spinner = QAccessible::queryAccessibleInterface(w.spinner(TimeField::Minutes));
        QCOMPARE(spinner->role(), QAccessible::SpinBox);
        QCOMPARE(spinner->valueInterface()->currentValue(), QVariant(5));
        w.spinner(TimeField::Hours)->setValue(98);
        w.spinner(TimeField::Hours)->stepUp();
        w.spinner(TimeField::Hours)->stepUp();     // at its most: stays
        w.spinner(TimeField::Seconds)->stepDown(); // at its least: stays
        QCOMPARE(MainFixture::time(other), QString("99:05:00"));
        QTest::mouseClick(w.button(Cmd::Start), Qt::LeftButton);
        // The rows take turns at being the other window.
        QCOMPARE(other.caption(), QString("Stop"));
        QCOMPARE(other.statusPanel(StatusPanel::RunState)->text(), QString("Activated"));
        QVERIFY(other.field(TimeField::Minutes)->isReadOnly());
        QVERIFY(!other.button(Cmd::Options)->isEnabled());
        fx.engine->sec_Timer();
        QTest::mouseClick(w.button(Cmd::Start), Qt::LeftButton);
        QCOMPARE(MainFixture::time(other), QString("99:04:59"));
        QVERIFY(!other.field(TimeField::Minutes)->isReadOnly());
    }

    // Paste, drop, input methods and assistive tools bring text without key events; typing holds the same.
    void aFieldHoldsOnlyWhatTypingCould_data() { addRows(kArrivals); }
    void aFieldHoldsOnlyWhatTypingCould()
    {
        QFETCH(Arrival, row);
        fx.start();
        fx.app->setMode(row.wake, false);
        QLineEdit* e = fx.form1->field(row.field);
        e->selectAll();
        row.arrive(*e, row.text);
        QCOMPARE(e->text(), QString(row.kept));
        QCOMPARE(fx.big().fieldText(row.field), QString(row.kept));
        // The zero test sees what the tick would count down.
        QCOMPARE(fx.form1->button(Cmd::Start)->isEnabled(), row.startEnabled);
    }

    // A dialog of the program's own would be hidden under an On Top window; Options cancelled clears the
    // fields.
    void onTopIsDroppedAroundDialogs()
    {
        fx.seed("On Top", "True");
        fx.start(0);
        QVERIFY(onTop(*fx.form1) && onTop(fx.big()));
        fx.setTime(*fx.form1, "00", "00", "01");
        QString seen;
        bool droppedWhileOpen = false;
        onNextModal([&](QWidget* modal) {
            seen = modal->objectName();
            droppedWhileOpen = !onTop(*fx.form1);
        });
        QTest::mouseClick(fx.form1->button(Cmd::Options), Qt::LeftButton);
        QCOMPARE(seen, QString("Form5"));
        QCOMPARE(fx.app->currentWindow(), Controller::Window::Small);
        QVERIFY(droppedWhileOpen);
        QVERIFY(onTop(*fx.form1));
        QCOMPARE(MainFixture::time(*fx.form1), QString("00:00:00"));
    }

    // The enabled states and the mode's name follow what was chosen in the Options opened by Start.
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
        QCOMPARE(MessageBox::shown().value(0).text,
                 QString("You must select a sound file to play as the alarm first."));
        QCOMPARE(fx.form1->caption(), QString("Start"));
        QVERIFY(!fx.form1->spinner(TimeField::Hours)->isEnabled());
        QVERIFY(!fx.form1->button(Cmd::Presets)->isEnabled());
        QCOMPARE(MainFixture::time(*fx.form1), QString("00:05:00"));
        QCOMPARE(fx.form1->statusPanel(StatusPanel::Mode)->text(), QString("Stopwatch Mode"));
    }

    // Enter presses the focused button once (press and release); focus keeps the flat colour.
    void keysOnAFocusedButton()
    {
        fx.start();
        fx.setTime(*fx.form1, "00", "05", "00");
        QPushButton* start = fx.form1->button(Cmd::Start);
        MainFixture::activate(*fx.form1);
        start->setFocus();
        QTest::keyClick(start, Qt::Key_Tab);
        QCOMPARE(fx.form1->caption(), QString("Start"));
        QPushButton* options = fx.form1->button(Cmd::Options);
        QVERIFY(options->hasFocus());
        QCOMPARE(options->grab().toImage().pixelColor(options->width() / 2, 4), QColor(255, 0, 255));
        QTest::keyClick(start, Qt::Key_Return);
        QCOMPARE(fx.form1->caption(), QString("Stop"));
    }

    // Start is the default button of the small window only.
    void keysInAField_data() { addRows(kFieldKeys); }
    void keysInAField()
    {
        QFETCH(FieldKey, row);
        fx.start(row.size);
        MainWindow& w = fx.app->face(Controller::windowNumbered(row.size));
        fx.setTime(w, "00", "05", "00");
        MainFixture::activate(w);
        w.field(TimeField::Minutes)->setFocus();
        QTest::keyClick(w.field(TimeField::Minutes), row.key);
        QCOMPARE(w.caption(), QString(row.caption));
    }

    // A message box or a menu taking the focus for a moment is not the user leaving the field.
    void aFieldIsCompletedOnlyWhenTheUserLeavesIt_data() { addRows(kFocusLosses); }
    void aFieldIsCompletedOnlyWhenTheUserLeavesIt()
    {
        QFETCH(FocusLoss, row);
        fx.start();
        QLineEdit* minutes = fx.form1->field(TimeField::Minutes);
        QFocusEvent in(QEvent::FocusIn, Qt::MouseFocusReason);
        QApplication::sendEvent(minutes, &in);
        fx.form1->setFieldText(TimeField::Minutes, "5");
        QFocusEvent out(QEvent::FocusOut, row.reason);
        QApplication::sendEvent(minutes, &out);
        QCOMPARE(fx.form1->fieldText(TimeField::Minutes), QString(row.minutes));
    }

    void tabOrder()
    {
        fx.start();
        for (MainWindow* w : {static_cast<MainWindow*>(fx.form1), static_cast<MainWindow*>(&fx.big())}) {
            QList<QWidget*> seen;
            for (QWidget* next = w->field(TimeField::Hours); seen.size() < 5;) {
                next = next->nextInFocusChain();
                if (next->focusPolicy() & Qt::TabFocus)
                    seen << next;
            }
            const auto f = [w](TimeField t) -> QWidget* { return w->field(t); };
            const auto u = [w](TimeField t) -> QWidget* { return w->spinner(t); };
            using enum TimeField;
            const QList<QWidget*> small{u(Hours), u(Minutes), u(Seconds), f(Seconds), f(Minutes)};
            const QList<QWidget*> big{f(Minutes), f(Seconds), u(Hours), u(Minutes), u(Seconds)};
            QCOMPARE(seen, w == fx.form1 ? small : big);
        }
    }

    // A length limit holds typing back but cuts nothing; the big window's caption has no colon of its own.
    void fieldLimitAndCaption()
    {
        fx.start();
        fx.setTime(*fx.form1, "00", "05", "00");
        fx.form1->setFieldMaxLength(TimeField::Seconds, 1);
        QCOMPARE(MainFixture::time(*fx.form1), QString("00:05:00"));
        MainFixture::typeInto(*fx.form1, TimeField::Seconds, "12");
        QCOMPARE(fx.form1->fieldText(TimeField::Seconds), QString("01"));
        withOptions(*fx.engine, [&](Options& o) { o.WakeMode = true; });
        fx.engine->applyModeToFields();
        QCOMPARE(fx.form1->field(TimeField::Seconds)->accessibleName(), QString("AM/PM"));
        QCOMPARE(fx.big().findChild<QLabel*>("Label6")->text(), QString("AM/PM"));
    }

    // Message boxes are recorded only under the test seam: outside tests the record would only grow.
    void messageBoxes()
    {
        fx.start();
        Q_EMIT fx.engine->stopwatchLimitReached();
        QCOMPARE(MessageBox::shown().size(), 1);
        QCOMPARE(MessageBox::shown()[0].text,
                 QString("Zentimo has reached it's limit. The program will only count up to 99 hours, 59 "
                         "minutes, and 59 seconds in Stopwatch Mode."));
        MessageBox::clear();
        MessageBox::setTestMode(false);
        struct Box {
            MessageBox::Icon ours;
            MessageBox::Buttons buttons;
            QMessageBox::Icon icon;
            QMessageBox::StandardButtons offered;
        };
        using enum MessageBox::Buttons;
        const Box boxes[] = {
            {MessageBox::Icon::Exclamation, Ok, QMessageBox::Warning, QMessageBox::Ok},
            {MessageBox::Icon::Question, YesNo, QMessageBox::Question, QMessageBox::Yes | QMessageBox::No},
            {MessageBox::Icon::Information, Ok, QMessageBox::Information, QMessageBox::Ok},
            {MessageBox::Icon::None, Ok, QMessageBox::NoIcon, QMessageBox::Ok}};
        for (const Box& expected : boxes) {
            QMessageBox* shown = nullptr;
            onNextModal([&](QWidget* box) {
                shown = qobject_cast<QMessageBox*>(box);
                QCOMPARE(shown->icon(), expected.icon);
                QCOMPARE(shown->standardButtons(), expected.offered);
                box->close();
            });
            MessageBox::show(nullptr, "text", "title", expected.ours, expected.buttons);
            QVERIFY(shown);
        }
        MessageBox::setTestMode(true);
        QVERIFY(MessageBox::shown().isEmpty());
    }
};

QTEST_MAIN(Form1Test)
#include "tst_form1.moc"
