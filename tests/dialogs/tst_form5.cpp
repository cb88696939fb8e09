#include "DialogFixture.h"
#include "dialogs/Form4.h"
#include "dialogs/Form5.h"
#include "shell/WinColor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

using namespace zentimo;
using namespace zentimo::test;

namespace {

const QString kRefuseAutoRestart = QStringLiteral(
    "Auto restart can only be used if \"Play once\" is selected in the \"Alarm sound file\" options.");
const QString kNeedPlayOnce =
    QStringLiteral("You must select \"Play once\" if you also wish to use the \"Auto restart\" feature.");
const QString kNoMessage = QStringLiteral(
    "You have selected to show a message when the alarm sounds but have not specified a message. Please "
    "enter a message to be displayed or uncheck \"Show Message\".");
const QString kNoFile =
    QStringLiteral("You've selected to use a sound file for the alarm but have not "
                   "selected a file. Please select a file or choose a built-in sound instead.");

bool checked(QWidget* root, const char* name, int index = -1)
{
    auto* b = ctl<QAbstractButton>(root, name, index);
    return b && b->isChecked();
}

bool enabled(QWidget* root, const char* name, int index = -1)
{
    auto* w = ctl<QWidget>(root, name, index);
    return w && w->isEnabled();
}

QString label1(QWidget* root)
{
    return ctl<QLabel>(root, "Label1")->text();
}

} // namespace

class Form5Test : public QObject {
    Q_OBJECT
    MainFixture fx;
    std::unique_ptr<QTemporaryDir> files;

    std::unique_ptr<Form5> open()
    {
        auto dialog = std::make_unique<Form5>(*fx.form1, fx.form1.get());
        // Shown, so that clicks land where a user's would.
        dialog->show();
        return dialog;
    }

    QStringList shownTexts() const
    {
        QStringList texts;
        for (const auto& r : MessageBox::shown())
            texts << r.text;
        return texts;
    }

private Q_SLOTS:
    void init()
    {
        fx.prepare();
        files = std::make_unique<QTemporaryDir>();
    }
    void cleanup()
    {
        fx.teardown();
        files.reset();
    }

    // ---- Load ------------------------------------------------------------------------------------

    void opensFromTheValuesInMemory()
    {
        fx.start(0);
        // Stored values differ from memory: the dialog must not read them.
        fx.seed("Loop Sound", "True");
        fx.seed("Show Message", "True");
        Engine& e = *fx.engine;
        e.LoopSound = false;
        e.OnTop = true;
        e.SoundOn = false;
        e.BuiltInSound = 103;
        e.WakeMode = true;
        shared().ShowMessage = true;
        shared().AlarmMessage = "Tea";
        auto d = open();
        QCOMPARE(d->objectName(), QString("Form5"));
        QCOMPARE(d->windowTitle(), QString("Options"));
        QCOMPARE(d->size(), QSize(516, 374));
        QVERIFY(checked(d.get(), "Option3", 1));
        QVERIFY(checked(d.get(), "Option2", 1));
        QVERIFY(checked(d.get(), "Check1"));
        QVERIFY(!checked(d.get(), "Check2"));
        QVERIFY(checked(d.get(), "Option1", 1));
        QVERIFY(!checked(d.get(), "Option1", 0));
        auto* combo = ctl<QComboBox>(d.get(), "Combo1");
        QCOMPARE(combo->currentText(), QString("Buzzer"));
        for (int p = 0; p < 7; ++p)
            QCOMPARE(combo->itemData(p).toInt(), 101 + p);
        QVERIFY(checked(d.get(), "Checkalmmsg"));
        QCOMPARE(ctl<QLineEdit>(d.get(), "txtalmmsg")->text(), QString("Tea"));
        QVERIFY(enabled(d.get(), "txtalmmsg"));
        QCOMPARE(label1(d.get()), Form5::kNoneSelected);
        QCOMPARE(shared().BigWindow, -1);
        QVERIFY(MessageBox::shown().isEmpty());
    }

    void stopwatchWinsAndTheBigWindowIsNamed()
    {
        fx.start(1);
        shared().StopwatchMode = true;
        auto d = open();
        QVERIFY(checked(d.get(), "Option3", 2));
        QVERIFY(!checked(d.get(), "Option3", 0));
        QVERIFY(checked(d.get(), "Option1", 0));
        QVERIFY(!enabled(d.get(), "Check3"));
    }

    void showMessageOffStartsEmptyAndDoneStoresEmpty()
    {
        fx.start(0);
        shared().ShowMessage = false;
        shared().AlarmMessage = "Old text";
        auto d = open();
        QCOMPARE(ctl<QLineEdit>(d.get(), "txtalmmsg")->text(), QString());
        QVERIFY(!enabled(d.get(), "txtalmmsg"));
        click(d.get(), "Command4");
        QCOMPARE(fx.stored("Alarm Message"), QString());
        QCOMPARE(fx.stored("Show Message"), QString("False"));
    }

    void soundSourceEnablesItsOwnFrame()
    {
        fx.start(0);
        auto d = open();
        QVERIFY(checked(d.get(), "Option4", 0));
        for (const char* name : {"Label3", "Combo1", "Command6"})
            QVERIFY2(enabled(d.get(), name), name);
        for (const char* name : {"Label1", "Label2", "Command1", "Command2"})
            QVERIFY2(!enabled(d.get(), name), name);
        click(d.get(), "Option4", 1);
        QVERIFY(!checked(d.get(), "Option4", 0));
        for (const char* name : {"Label3", "Combo1", "Command6"})
            QVERIFY2(!enabled(d.get(), name), name);
        for (const char* name : {"Label1", "Label2", "Command1", "Command2"})
            QVERIFY2(enabled(d.get(), name), name);
    }

    // ---- Interlocks ------------------------------------------------------------------------------

    void modeRulesForAutoRestart_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("keptChecked");
        QTest::addColumn<bool>("stillEnabled");
        QTest::addColumn<QString>("stored");
        QTest::newRow("wake clears and disables") << 1 << false << false << "0";
        QTest::newRow("stopwatch disables and keeps") << 2 << true << false << "1";
        QTest::newRow("countdown keeps and enables") << 0 << true << true << "1";
    }
    void modeRulesForAutoRestart()
    {
        QFETCH(int, mode);
        QFETCH(bool, keptChecked);
        QFETCH(bool, stillEnabled);
        QFETCH(QString, stored);
        fx.start(0);
        fx.engine->LoopSound = false;
        fx.engine->AutoRestart = true;
        auto d = open();
        QVERIFY(checked(d.get(), "Check3"));
        click(d.get(), "Option3", mode == 0 ? 2 : 0); // away first, so that every row is a change
        click(d.get(), "Option3", mode);
        QCOMPARE(checked(d.get(), "Check3"), keptChecked);
        QCOMPARE(enabled(d.get(), "Check3"), stillEnabled);
        click(d.get(), "Command4");
        QCOMPARE(fx.stored("Auto Restart"), stored);
        QCOMPARE(fx.engine->AutoRestart, keptChecked);
        QVERIFY(MessageBox::shown().isEmpty());
    }

    void autoRestartWithLoopIsRefused()
    {
        fx.start(0);
        auto d = open();
        QVERIFY(checked(d.get(), "Option2", 0));
        click(d.get(), "Check3");
        QCOMPARE(shownTexts(), QStringList{kRefuseAutoRestart});
        QCOMPARE(MessageBox::shown().first().title, kAppTitle);
        QCOMPARE(MessageBox::shown().first().icon, MessageBox::Icon::None);
        QCOMPARE(MessageBox::shown().first().buttons, MessageBox::Buttons::Ok);
        QVERIFY(!checked(d.get(), "Check3"));
    }

    void loopWithAutoRestartReturnsToPlayOnce()
    {
        fx.start(0);
        fx.engine->LoopSound = false;
        fx.engine->AutoRestart = true;
        auto d = open();
        click(d.get(), "Option2", 0);
        QCOMPARE(shownTexts(), QStringList{kNeedPlayOnce});
        QCOMPARE(MessageBox::shown().first().icon, MessageBox::Icon::None);
        QVERIFY(checked(d.get(), "Option2", 1));
        QVERIFY(!checked(d.get(), "Option2", 0));
        QVERIFY(checked(d.get(), "Check3"));
    }

    void storedAutoRestartWithLoopSpeaksUpWhileOpening()
    {
        fx.seed("Auto Restart", "1");
        fx.seed("Loop Sound", "True");
        fx.start(0);
        QVERIFY(fx.engine->AutoRestart);
        auto d = open();
        QCOMPARE(shownTexts(), QStringList{kRefuseAutoRestart});
        QVERIFY(!checked(d.get(), "Check3"));
        QVERIFY(checked(d.get(), "Option2", 0));
    }

    void doneRefusesWhatIsMissing_data()
    {
        QTest::addColumn<bool>("showMessage");
        QTest::addColumn<bool>("fileSource");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("focus");
        QTest::newRow("message without text") << true << false << kNoMessage << "txtalmmsg";
        QTest::newRow("file without a file") << false << true << kNoFile << "Command2";
        QTest::newRow("both: the message first") << true << true << kNoMessage << "txtalmmsg";
    }
    void doneRefusesWhatIsMissing()
    {
        QFETCH(bool, showMessage);
        QFETCH(bool, fileSource);
        QFETCH(QString, text);
        QFETCH(QString, focus);
        fx.start(0);
        auto d = open();
        d->show();
        MainFixture::activate(*d);
        if (showMessage)
            click(d.get(), "Checkalmmsg");
        if (fileSource)
            click(d.get(), "Option4", 1);
        click(d.get(), "Command4");
        QCOMPARE(shownTexts(), QStringList{text});
        QCOMPARE(MessageBox::shown().first().title, QString("Oops!"));
        QCOMPARE(MessageBox::shown().first().icon, MessageBox::Icon::Exclamation);
        QVERIFY(d->isVisible());
        QCOMPARE(QApplication::focusWidget()->objectName(), focus);
        QCOMPARE(registryText().count("\"Loop Sound\""), 0);
        QCOMPARE(shared().BigWindow, -1);
    }

    // ---- Done: saving ----------------------------------------------------------------------------

    void doneWithoutColorsWritesOnlyTheDigitColor()
    {
        fx.start(0);
        auto d = open();
        click(d.get(), "Command4");
        QCOMPARE(fx.stored("Digit Color"), QString("65535"));
        QCOMPARE(fx.stored("Background Color"), QString("<missing>"));
        QCOMPARE(fx.stored("Button Color"), QString("<missing>"));
        QCOMPARE(fx.stored("Sound File"), QString("<missing>"));
        QVERIFY(!d->isVisible());
        QCOMPARE(d->result(), int(QDialog::Accepted));
    }

    void doneWritesEveryKeyToTheRegistryFile()
    {
        const QString wav = makeFile(*files, "alarm clock.wav");
        fx.start(0);
        auto d = open();
        click(d.get(), "Option3", 1);
        click(d.get(), "Option1", 0);
        click(d.get(), "Check1");
        click(d.get(), "Check2");
        click(d.get(), "Option2", 1);
        click(d.get(), "Option4", 1);
        FileDialog::queueFileName(wav);
        click(d.get(), "Command2");
        click(d.get(), "Checkalmmsg");
        QTest::keyClicks(ctl<QLineEdit>(d.get(), "txtalmmsg"), "Wake \"up\"");
        ctl<QComboBox>(d.get(), "Combo1")->setCurrentIndex(1);
        d->NewBackgroundIndex = 2;
        d->NewDigitColor = 0x00FFFF00;
        d->NewButtonColor = 0x00FF8080;
        click(d.get(), "Command4");

        const QString file = registryText();
        QVERIFY(file.contains("[HKEY_CURRENT_USER\\Software\\Fernwick\\Zentimo\\Options]"));
        const QList<QPair<QString, QString>> expected{
            {"Loop Sound", "False"},   {"Auto Restart", "0"},       {"On Top", "True"},
            {"Background Color", "2"}, {"Digit Color", "16776960"}, {"Button Color", "16744576"},
            {"Sound File", wav},       {"Play Sound", "False"},     {"Built-in Sound", "102"},
            {"Use Built-in", "False"}, {"Show Message", "True"},    {"Alarm Message", "Wake \"up\""}};
        for (const auto& [name, value] : expected) {
            const QString line = regLine(name, value);
            QVERIFY2(file.contains(line), qPrintable(line + " missing in\n" + file));
        }

        Engine& e = *fx.engine;
        QVERIFY(e.WakeMode);
        QVERIFY(!shared().StopwatchMode);
        QVERIFY(e.OnTop);
        QVERIFY(!e.SoundOn);
        QVERIFY(!e.LoopSound);
        QVERIFY(!e.UseBuiltIn);
        QCOMPARE(e.BuiltInSound, 102);
        QCOMPARE(e.SoundFile, wav);
        QCOMPARE(e.ButtonColor, 0x00FF8080u);
        QCOMPARE(shared().DigitColor, QString("16776960"));
        QCOMPARE(shared().AlarmMessage, QString("Wake \"up\""));
        QVERIFY(shared().ShowMessage);
        QCOMPARE(shared().BigWindow, 1);
        QCOMPARE(fx.form1->field(TimeField::Seconds)->maxLength(), 1);
        QCOMPARE(fx.big().field(TimeField::Seconds)->maxLength(), 1);
        QCOMPARE(fx.big().button(Cmd::Reset)->palette().color(QPalette::Button), QColor(0x80, 0x80, 0xFF));
    }

    void builtInSourceStillStoresTheShownPath()
    {
        const QString mp3 = makeFile(*files, "song.mp3");
        fx.start(0);
        auto d = open();
        click(d.get(), "Option4", 1);
        FileDialog::queueFileName(mp3);
        click(d.get(), "Command2");
        click(d.get(), "Option4", 0);
        click(d.get(), "Command4");
        QCOMPARE(fx.stored("Sound File"), mp3);
        QCOMPARE(fx.stored("Use Built-in"), QString("True"));
    }

    void unknownStoredSoundIdIsKept()
    {
        fx.seed("Built-in Sound", "999");
        fx.start(0);
        auto d = open();
        QCOMPARE(ctl<QComboBox>(d.get(), "Combo1")->currentIndex(), -1);
        fx.audio->takeCalls();
        click(d.get(), "Command6");
        QCOMPARE(fx.audio->calls(), QStringList());
        click(d.get(), "Command4");
        QCOMPARE(fx.engine->BuiltInSound, 999);
        QCOMPARE(fx.stored("Built-in Sound"), QString("999"));
    }

    // ---- Done: what the main windows show afterwards ---------------------------------------------

    void doneAppliesToTheMainWindows()
    {
        fx.start(0);
        onNextModal([](QWidget* modal) {
            QCOMPARE(modal->objectName(), QString("Form5"));
            auto* d = static_cast<Form5*>(modal);
            click(d, "Option3", 1);
            click(d, "Option1", 0);
            d->NewBackgroundIndex = 6;
            d->NewDigitColor = 0x00FFFF00;
            d->NewButtonColor = std::int32_t(kSystemButtonFace);
            click(d, "Command4");
        });
        fx.form1->runOptions(*fx.form1);
        Form1b& big = fx.big();
        QVERIFY(big.isVisible());
        QVERIFY(!fx.form1->isVisible());
        QCOMPARE(fx.stored("Size"), QString("1"));
        QCOMPARE(big.statusPanel(1)->text(), QString("Wake Mode"));
        QCOMPARE(fx.form1->statusPanel(1)->text(), QString("Wake Mode"));
        QCOMPARE(MainFixture::time(big), QString("09:05:p"));
        QCOMPARE(big.field(TimeField::Hours)->palette().color(QPalette::Text), QColor(0, 255, 255));
        QCOMPARE(fx.stored("Background Color"), QString("6"));
        QCOMPARE(fx.stored("Button Color"), QString("-2147483633"));
        const QColor face = QApplication::palette().color(QPalette::Button);
        QCOMPARE(big.button(Cmd::Start)->palette().color(QPalette::Button), face);
        QCOMPARE(fx.form1->button(Cmd::About)->palette().color(QPalette::Button), face);
        QCOMPARE(fx.engine->ButtonColor, kSystemButtonFace);
        const QImage shot = big.grab().toImage();
        QCOMPARE(shot.pixelColor(3, 3), face);
        QCOMPARE(shot.pixelColor(3, shot.height() / 2), face);
    }

    void defaultWindowsButtonColorRoundTripsThroughTheColorsDialog()
    {
        fx.start(0);
        bool reopenedOnSeventh = false;
        onNextModal([&](QWidget* options) {
            onNextModal([](QWidget* colors) {
                QCOMPARE(colors->objectName(), QString("Form4"));
                click(colors, "Option3", 6);
                click(colors, "Command2");
            });
            click(options, "Command3");
            QCOMPARE(static_cast<Form5*>(options)->NewButtonColor, std::int32_t(0x8000000F));
            click(options, "Command4");
        });
        fx.form1->runOptions(*fx.form1);
        QCOMPARE(fx.stored("Button Color"), QString("-2147483633"));
        QCOMPARE(fx.stored("Background Color"), QString("5"));
        QCOMPARE(fx.form1->button(Cmd::Options)->palette().color(QPalette::Button),
                 QApplication::palette().color(QPalette::Button));

        onNextModal([&](QWidget* options) {
            onNextModal([&](QWidget* colors) {
                reopenedOnSeventh = checked(colors, "Option3", 6) && !checked(colors, "Option3", 0);
            });
            click(options, "Command3");
        });
        fx.form1->runOptions(*fx.form1);
        QVERIFY(reopenedOnSeventh);
    }

    void cancelAfterChoosingColorsChangesNothing()
    {
        fx.start(0);
        const QString before = registryText();
        const QColor corner = fx.form1->grab().toImage().pixelColor(3, 3);
        onNextModal([](QWidget* options) {
            onNextModal([](QWidget* colors) {
                click(colors, "Option1", 2);
                QTest::mouseClick(ctl<QWidget>(colors, "Picture3"), Qt::LeftButton);
                click(colors, "Command3", 1);
                click(colors, "Command2");
            });
            click(options, "Command3");
            auto* d = static_cast<Form5*>(options);
            QCOMPARE(d->NewBackgroundIndex, 2);
            QCOMPARE(d->NewDigitColor, std::int32_t(0x00FFFF00));
            QCOMPARE(d->NewButtonColor, std::int32_t(0x00FF8080));
            click(options, "Command5");
        });
        fx.form1->runOptions(*fx.form1);
        QCOMPARE(registryText(), before);
        QCOMPARE(fx.engine->ButtonColor, 0x00FF00FFu);
        QCOMPARE(shared().DigitColor, QString("65535"));
        QCOMPARE(shared().BigWindow, 0);
        QCOMPARE(fx.form1->button(Cmd::Start)->palette().color(QPalette::Button), QColor(255, 0, 255));
        QCOMPARE(fx.form1->field(TimeField::Minutes)->palette().color(QPalette::Text), QColor(255, 255, 0));
        const QImage shot = fx.form1->grab().toImage();
        QCOMPARE(shot.pixelColor(3, 3), corner);
    }

    // ---- Sound file and tests --------------------------------------------------------------------

    void selectAsksTheFileDialog()
    {
        const QString mid = makeFile(*files, "tune.mid");
        fx.start(0);
        auto d = open();
        click(d.get(), "Option4", 1);
        FileDialog::queueFileName(mid);
        click(d.get(), "Command2");
        QCOMPARE(label1(d.get()), mid);
        QCOMPARE(FileDialog::requests().size(), 1);
        QCOMPARE(FileDialog::requests().first().title, QString("Select Sound File..."));
        QCOMPARE(FileDialog::requests().first().filter, QString("Sound Files (*.mp3 *.wav *.mid)"));
        QCOMPARE(FileDialog::requests().first().folder, QCoreApplication::applicationDirPath());
        click(d.get(), "Command2"); // cancelled: nothing queued
        QCOMPARE(label1(d.get()), mid);
    }

    void fileFilterBecomesQtSyntax_data()
    {
        QTest::addColumn<QString>("windows");
        QTest::addColumn<QString>("qt");
        QTest::newRow("sound files") << "Sound Files (*.mp3, *.wav, *.mid)|*.mp3;*.wav;*.mid"
                                     << "Sound Files (*.mp3 *.wav *.mid)";
        QTest::newRow("trailing bar") << "Waves|*.wav|"
                                      << "Waves (*.wav)";
        QTest::newRow("two pairs") << "Waves|*.wav|All|*.*"
                                   << "Waves (*.wav);;All (*.*)";
    }
    void fileFilterBecomesQtSyntax()
    {
        QFETCH(QString, windows);
        QFETCH(QString, qt);
        QCOMPARE(Form5::qtFileFilter(windows), qt);
    }

    void storedFileIsShownAndItsPathTipped()
    {
        const QString wav = makeFile(*files, "bell.wav");
        fx.start(0);
        fx.engine->UseBuiltIn = false;
        fx.engine->SoundFile = wav;
        auto d = open();
        auto* label = ctl<QLabel>(d.get(), "Label1");
        QCOMPARE(label->text(), wav);
        QVERIFY(checked(d.get(), "Option4", 1));
        QVERIFY(MessageBox::shown().isEmpty());
        d->show();
        QVERIFY(label->toolTip().isEmpty());
        QTest::mouseMove(label, label->rect().center());
        QTRY_COMPARE(label->toolTip(), wav);
    }

    void deletedSoundFileIsReportedAndTheDialogStillOpens()
    {
        const QString wav = makeFile(*files, "gone.wav");
        fx.start(0);
        fx.engine->UseBuiltIn = false;
        fx.engine->SoundFile = wav;
        QVERIFY(QFile::remove(wav));
        bool opened = false;
        onNextModal([&](QWidget* modal) { opened = modal->objectName() == "Form5" && label1(modal) == wav; });
        fx.form1->runOptions(*fx.form1);
        QVERIFY(opened);
        QCOMPARE(shownTexts(), QStringList{"File not found\r\nError Number: 53"});
        QCOMPARE(MessageBox::shown().first().title, kAppTitle);
        QCOMPARE(MessageBox::shown().first().icon, MessageBox::Icon::None);
        QCOMPARE(MessageBox::shown().first().buttons, MessageBox::Buttons::Ok);
    }

    void builtInTestPlaysTheChosenSoundOnce()
    {
        fx.start(0);
        auto d = open();
        ctl<QComboBox>(d.get(), "Combo1")->setCurrentIndex(4);
        fx.audio->takeCalls();
        click(d.get(), "Command6");
        QCOMPARE(fx.audio->calls(), QStringList{"playWaveImage 105 once"});
        QVERIFY(!shared().SoundPlaying);
    }

    void fileTestStartsAndStops_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("started");
        QTest::newRow("mp3") << "a.mp3"
                             << "openDevice %1 MpegVideo";
        QTest::newRow("mid as sequencer") << "b.mid"
                                          << "openDevice %1 Sequencer";
        QTest::newRow("wav looped") << "c.wav"
                                    << "playWaveFile %1 loop";
        QTest::newRow("WAV in capitals") << "d.WAV"
                                         << "playWaveFile %1 loop";
        QTest::newRow("four-letter extension") << "e.wave"
                                               << "";
    }
    void fileTestStartsAndStops()
    {
        QFETCH(QString, name);
        QFETCH(QString, started);
        const QString path = makeFile(*files, name);
        fx.start(0);
        auto d = open();
        click(d.get(), "Option4", 1);
        FileDialog::queueFileName(path);
        click(d.get(), "Command2");
        auto* test = ctl<QPushButton>(d.get(), "Command1");
        fx.audio->takeCalls();
        click(d.get(), "Command1");
        if (started.isEmpty()) {
            QCOMPARE(fx.audio->calls(), QStringList());
            QCOMPARE(test->text(), QString("Test"));
            QVERIFY(!shared().SoundPlaying);
            return;
        }
        QCOMPARE(fx.audio->calls().value(0), started.arg(path));
        QCOMPARE(test->text(), QString("Stop"));
        QVERIFY(shared().SoundPlaying);
        fx.audio->takeCalls();
        click(d.get(), "Command1");
        QCOMPARE(fx.audio->calls(), (QStringList{"stopWave", "closeDevice"}));
        QCOMPARE(test->text(), QString("Test"));
        QVERIFY(!shared().SoundPlaying);
    }

    void leavingStopsAPlayingTest_data()
    {
        QTest::addColumn<QString>("button");
        QTest::newRow("done") << "Command4";
        QTest::newRow("cancel") << "Command5";
    }
    void leavingStopsAPlayingTest()
    {
        QFETCH(QString, button);
        const QString wav = makeFile(*files, "loop.wav");
        fx.start(0);
        auto d = open();
        click(d.get(), "Option4", 1);
        FileDialog::queueFileName(wav);
        click(d.get(), "Command2");
        click(d.get(), "Command1");
        fx.audio->takeCalls();
        click(d.get(), qPrintable(button));
        QVERIFY(!d->isVisible());
        QCOMPARE(fx.audio->calls(), (QStringList{"closeDevice", "stopWave"}));
    }
};

QTEST_MAIN(Form5Test)
#include "tst_form5.moc"
