#include "dialogs/Form5.h"
#include "shell/MainFixture.h"

#include <QAccessible>
#include <QComboBox>
#include <QGroupBox>

using namespace zentimo;
using namespace zentimo::test;

using Settings = std::vector<std::pair<const char*, const char*>>; // key, value
// One visit to the Options dialog, its steps in this order, then what it leaves.
struct Flow {
    const char* name;
    Settings seeds = {}; // stored before start
    std::vector<Click> clicks = {};
    std::vector<const char*> files = {}; // each made in <files>, then picked in the file dialog
    const char* typed = "";              // into the message
    std::vector<int> builtInSounds = {}; // picked in Combo1
    int colorsTaken = 0;                 // the Colors dialog changed to cyan on red and taken
    const char* leftBy = "Command4";     // Done; Command5 is Cancel
    QStringList said = {};               // the first three words of each message
    bool autoRestartOn = false, autoRestartEnabled = true; // Check3 afterwards, as a countdown opens it
    std::vector<std::pair<const char*, std::optional<QString>>> stored; // nullopt: absent
    const char* focus = "(closed)";                                     // in the dialog left open
    int bigWindow = 0; // BigWindow handed over (0 also when nothing is)
};
Q_DECLARE_METATYPE(Flow)

static const Settings looping{{"Loop Sound", "True"}, {"Auto Restart", "0"}};
static const Settings restarting{{"Loop Sound", "False"}, {"Auto Restart", "1"}};

// Auto restart lives only with Countdown and "Play once"; Done refuses what is missing and leaves the focus
// on it; Cancel stores nothing, even after the Colors dialog was taken.
// clang-format off
static const Flow flows[] = {
    {.name = "wake clears and disables", .seeds = restarting, .clicks = {{"Option3", 0}, {"Option3", 1}},
     .autoRestartEnabled = false, .stored = {{"Auto Restart", "0"}}},
    {.name = "countdown keeps and enables", .seeds = restarting, .clicks = {{"Option3", 2}, {"Option3", 0}},
     .autoRestartOn = true, .stored = {{"Auto Restart", "1"}}},
    {.name = "auto restart with loop is refused", .seeds = looping, .clicks = {{"Check3"}},
     .said = {"Auto restart can"}, .stored = {{"Loop Sound", "True"}, {"Auto Restart", "0"}}},
    {.name = "loop with auto restart returns to play once", .seeds = restarting, .clicks = {{"Option2", 0}},
     .said = {"You must select"}, .autoRestartOn = true, .stored = {{"Loop Sound", "False"}, {"Auto Restart", "1"}}},
    {.name = "stored together, refused while opening",
     .seeds = {{"Loop Sound", "True"}, {"Auto Restart", "1"}}, .said = {"Auto restart can"},
     .stored = {{"Loop Sound", "True"}, {"Auto Restart", "0"}}},
    {.name = "message without text", .clicks = {{"Checkalmmsg"}}, .said = {"You have selected"},
     .stored = {{"Loop Sound", std::nullopt}}, .focus = "txtalmmsg"},
    {.name = "file without a file", .clicks = {{"Option4", 1}}, .said = {"You've selected to"},
     .stored = {{"Loop Sound", std::nullopt}}, .focus = "Command2"},
    {.name = "done stores every key", .seeds = {{"Button Color", "255"}},
     .clicks = {{"Option3", 1}, {"Option1", 0}, {"Check1"}, {"Check2"}, {"Option2", 1}, {"Checkalmmsg"}},
     .files = {"alarm.wav"}, .typed = "Wake\"up\"", .builtInSounds = {0}, .colorsTaken = 1, .autoRestartEnabled = false,
     .stored = {{"Loop Sound", "False"}, {"Auto Restart", "0"}, {"On Top", "True"}, {"Background Color", "0"},
                {"Digit Color", "16776960"}, {"Button Color", "16711935"}, {"Play Sound", "False"},
                {"Sound File", "<files>/alarm.wav"}, {"Built-in Sound", "101"}, {"Use Built-in", "False"},
                {"Show Message", "True"}, {"Alarm Message", "Wake\"up\""}}, .bigWindow = 1},
    {.name = "small chosen keeps the small window", .clicks = {{"Option1", 1}},
     .stored = {{"Size", "0"}, {"Digit Color", "65535"}}},
    {.name = "a sound file gone is reported and the dialog still opens", // /proc never holds it
     .seeds = {{"Use Built-in", "False"}, {"Sound File", "/proc/gone.wav"}}, .leftBy = "Command5",
     .said = {"File not found\r\nError"}, .stored = {{"Sound File", "/proc/gone.wav"}}},
    {.name = "cancel after colors, no such digit colour", .seeds = {{"Button Color", "255"}, {"Digit Color", "7"}},
     .colorsTaken = 1, .leftBy = "Command5", .stored = {{"Digit Color", "7"}, {"Button Color", "255"}}},
};

// clang-format on

class Form5Test : public QObject {
    Q_OBJECT
    MainFixture fx;
    QTemporaryDir files;

    std::unique_ptr<Form5> open()
    {
        auto dialog =
            std::make_unique<Form5>(fx.app->optionsForDialog(), fx.app->storedColors(), *fx.sound, fx.form1);
        // "Done" takes effect as the program applies it.
        connect(dialog.get(), &QDialog::accepted, this,
                [this, d = dialog.get()] { fx.app->applyOptions(*d->answer()); });
        dialog->show();
        return dialog;
    }

    QString makeFile(const QString& name)
    {
        const QString path = files.filePath(name);
        QFile f(path);
        return f.open(QIODevice::WriteOnly) && f.write("RIFF\0\0\0\0WAVE", 12) ? path : QString();
    }

    // Picks path through the file dialog with the file source chosen.
    static void chooseFile(Form5* d, const QString& path)
    {
        click(d, "Option4", 1);
        FileDialog::queueFileName(path);
        click(d, "Command2");
    }

private Q_SLOTS:
    void init() { fx.prepare(); }
    void cleanup() { fx.teardown(); }

    void outcomes_data() { addRows(flows); }
    void outcomes()
    {
        QFETCH(Flow, row);
        for (const auto& [key, value] : row.seeds)
            fx.seed(key, value);
        fx.start(0);
        auto d = open();
        MainFixture::activate(*d);
        QVERIFY(!(d->windowFlags() & Qt::WindowContextHelpButtonHint)); // a "?" KWin would draw for nothing
        QVERIFY(ctl<QAbstractButton>(d.get(), "Option1", 1)->isChecked()); // "Small", the window it came from
        for (const Click& c : row.clicks)
            click(d.get(), c.name, c.index);
        for (const char* name : row.files)
            chooseFile(d.get(), makeFile(name));
        QTest::keyClicks(ctl<QLineEdit>(d.get(), "txtalmmsg"), row.typed);
        for (int index : row.builtInSounds)
            ctl<QComboBox>(d.get(), "Combo1")->setCurrentIndex(index);
        for (int i = 0; i < row.colorsTaken; ++i) {
            onNextModal([](QWidget* colors) {                // cyan on red, magenta buttons
                QVERIFY(ctl<QWidget>(colors, "Option1", 0)); // the first of an array carries its index too
                QVERIFY(ctl<QAbstractButton>(colors, "Option2", 5)->isChecked()); // the stored background
                QVERIFY(ctl<QAbstractButton>(colors, "Option3", 4)->isChecked()); // the stored buttons, 255
                click(colors, "Option1", 2);
                QTest::mouseClick(ctl<QWidget>(colors, "Picture1"), Qt::RightButton); // takes nothing
                QTest::mouseClick(ctl<QWidget>(colors, "Picture1"), Qt::LeftButton);  // the first, 0
                QVERIFY(!(colors->windowFlags() & Qt::WindowContextHelpButtonHint));
                click(colors, "Command3", 0);
                click(colors, "Command2");
            });
            click(d.get(), "Command3");
        }
        click(d.get(), row.leftBy);
        QStringList said; // the first words of each message, enough to tell them apart
        for (const auto& r : MessageBox::shown())
            said << r.text.section(' ', 0, 2);
        QCOMPARE(said, row.said);
        QCOMPARE(ctl<QAbstractButton>(d.get(), "Check3")->isChecked(), row.autoRestartOn);
        QCOMPARE(ctl<QAbstractButton>(d.get(), "Check3")->isEnabled(), row.autoRestartEnabled);
        for (const auto& [key, value] : row.stored) {
            const QString held = fx.stored(key, QString()).replace(files.path(), "<files>");
            QVERIFY2(held.isNull() == !value && held == value.value_or(QString()),
                     qPrintable(QString("%1 holds \"%2\"").arg(key, held)));
        }
        QCOMPARE(fx.engine->options().AutoRestart, fx.stored("Auto Restart", "0") == "1");
        QCOMPARE(d->isVisible() ? QApplication::focusWidget()->objectName() : "(closed)", row.focus);
        QCOMPARE(d->answer() ? d->answer()->options.BigWindow : 0, row.bigWindow);
    }

    // Large taken in Options: the big window takes the small one's place. An on-top window leaves the top
    // band while a dialog is open, and the dialog offers the size of the window it came from.
    void largeTakesOver()
    {
        fx.seed("On Top", "True");
        fx.start(0);
        onNextModal([this](QWidget* d) {
            QVERIFY(!fx.form1->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
            click(d, "Option1", 0);
            click(d, "Command4");
        });
        fx.app->runOptions(*fx.form1);
        QVERIFY(fx.big().isVisible() && !fx.form1->isVisible());
        onNextModal([](QWidget* d) { QVERIFY(ctl<QAbstractButton>(d, "Option1", 0)->isChecked()); });
        fx.app->runOptions(fx.big());
    }

    // Beyond the outcomes: Test loops the chosen file until pressed again, as Stop; a screen reader names the
    // Message frame by its own caption, not the frame's around it, and hears it label what it holds.
    void testingAFileAndTheMessageFrame()
    {
        fx.start(0);
        auto d = open();
        chooseFile(d.get(), makeFile("a.wav"));
        QMouseEvent hover(QEvent::MouseMove, QPointF(2, 2), QPointF(2, 2), Qt::NoButton, {}, {});
        QApplication::sendEvent(ctl<QLabel>(d.get(), "Label1"), &hover); // the whole path, however it is cut
        QCOMPARE(ctl<QLabel>(d.get(), "Label1")->toolTip(), files.filePath("a.wav"));
        for (const bool playing : {true, false}) {
            click(d.get(), "Command1");
            QCOMPARE(ctl<QPushButton>(d.get(), "Command1")->text(), QString(playing ? "Stop" : "Test"));
            QCOMPARE(fx.audio->state().wavePlaying && fx.audio->state().waveLooping, playing);
        }
        auto* frame = QAccessible::queryAccessibleInterface(ctl<QGroupBox>(d.get(), "Frame", 1));
        QCOMPARE(frame->text(QAccessible::Name), QString("Message:"));
        QCOMPARE(frame->text(QAccessible::Description), QString()); // not its caption again
        QStringList labelled;
        for (const auto& [control, relation] : frame->relations(QAccessible::Labelled))
            labelled << control->object()->objectName();
        QCOMPARE(labelled, (QStringList{"Checkalmmsg", "label4", "txtalmmsg"}));
    }
};

QTEST_MAIN(Form5Test)
#include "tst_form5.moc"
