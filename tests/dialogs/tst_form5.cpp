#include "dialogs/Form5.h"
#include "shell/MainFixture.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

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

} // namespace

class Form5Test : public QObject {
    Q_OBJECT
    MainFixture fx;
    std::unique_ptr<QTemporaryDir> files;

    std::unique_ptr<Form5> open()
    {
        auto dialog = std::make_unique<Form5>(fx.app->optionsForDialog(), *fx.sound, fx.form1);
        // "Done" takes effect as the program applies it.
        connect(dialog.get(), &QDialog::accepted, this,
                [this, d = dialog.get()] { fx.app->applyOptions(*d->result()); });
        // Shown, so that clicks land where a user's would.
        dialog->show();
        return dialog;
    }

    // Picks path through the file dialog with the file source chosen.
    static void chooseFile(Form5* d, const QString& path)
    {
        click(d, "Option4", 1);
        FileDialog::queueFileName(path);
        click(d, "Command2");
    }

    QString makeFile(const QString& name)
    {
        const QString path = files->filePath(name);
        QFile f(path);
        return f.open(QIODevice::WriteOnly) && f.write("RIFF") ? path : QString();
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

    void opensFromTheValuesInMemory()
    {
        fx.start(0);
        // Stored values differ from memory: the dialog must not read them.
        fx.seed("Loop Sound", "True");
        fx.seed("Show Message", "True");
        withOptions(*fx.engine, [&](Options& o) {
            o.LoopSound = false;
            o.OnTop = true;
            o.SoundOn = false;
            o.BuiltInSound = 103;
            o.WakeMode = true;
            o.ShowMessage = true;
            o.AlarmMessage = "Tea";
        });
        auto d = open();
        for (auto [name, index] : {std::pair{"Option3", 1}, {"Option2", 1}, {"Check1", -1}, {"Option1", 1}})
            QVERIFY2(checked(d.get(), name, index), name);
        QVERIFY(!checked(d.get(), "Check2"));
        QCOMPARE(ctl<QComboBox>(d.get(), "Combo1")->currentData().toInt(), 103);
        QCOMPARE(ctl<QLineEdit>(d.get(), "txtalmmsg")->text(), QString("Tea"));
        QVERIFY(MessageBox::shown().isEmpty());
    }

    // Auto restart lives only with Countdown and "Play once"; what is left is stored by Done.
    void autoRestartInterlocks_data()
    {
        QTest::addColumn<bool>("loop"); // and still looping after
        QTest::addColumn<bool>("autoRestart");
        QTest::addColumn<QString>("clicks"); // name:index ...
        QTest::addColumn<QStringList>("said");
        QTest::addColumn<bool>("keptChecked");
        QTest::addColumn<bool>("stillEnabled");
        const QStringList none;
        QTest::newRow("wake clears and disables")
            << false << true << "Option3:0 Option3:1" << none << false << false;
        QTest::newRow("stopwatch disables and keeps")
            << false << true << "Option3:0 Option3:2" << none << true << false;
        QTest::newRow("countdown keeps and enables")
            << false << true << "Option3:2 Option3:0" << none << true << true;
        QTest::newRow("auto restart with loop is refused")
            << true << false << "Check3:-1" << QStringList{kRefuseAutoRestart} << false << true;
        QTest::newRow("loop with auto restart returns to play once")
            << false << true << "Option2:0" << QStringList{kNeedPlayOnce} << true << true;
        QTest::newRow("stored together, refused while opening")
            << true << true << "" << QStringList{kRefuseAutoRestart} << false << true;
    }
    void autoRestartInterlocks()
    {
        QFETCH(bool, loop);
        QFETCH(bool, autoRestart);
        QFETCH(QString, clicks);
        QFETCH(bool, keptChecked);
        fx.seed("Loop Sound", loop ? "True" : "False");
        fx.seed("Auto Restart", autoRestart ? "1" : "0");
        fx.start(0);
        auto d = open();
        for (const QString& c : clicks.split(' ', Qt::SkipEmptyParts))
            click(d.get(), qPrintable(c.section(':', 0, 0)), c.section(':', 1).toInt());
        QTEST(shownTexts(), "said");
        QCOMPARE(checked(d.get(), "Check3"), keptChecked);
        QTEST(ctl<QWidget>(d.get(), "Check3")->isEnabled(), "stillEnabled");
        QCOMPARE(checked(d.get(), "Option2", 0), loop);
        click(d.get(), "Command4");
        QCOMPARE(fx.stored("Auto Restart"), keptChecked ? "1" : "0");
        QCOMPARE(fx.engine->options().AutoRestart, keptChecked);
    }

    void doneRefusesWhatIsMissing_data()
    {
        QTest::addColumn<bool>("showMessage");
        QTest::addColumn<bool>("fileSource");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("focus");
        QTest::newRow("message without text") << true << false << kNoMessage << "txtalmmsg";
        QTest::newRow("file without a file") << false << true << kNoFile << "Command2";
    }
    void doneRefusesWhatIsMissing()
    {
        QFETCH(bool, showMessage);
        QFETCH(bool, fileSource);
        QFETCH(QString, text);
        QFETCH(QString, focus);
        fx.start(0);
        auto d = open();
        MainFixture::activate(*d);
        if (showMessage)
            click(d.get(), "Checkalmmsg");
        if (fileSource)
            click(d.get(), "Option4", 1);
        click(d.get(), "Command4");
        QCOMPARE(shownTexts(), QStringList{text});
        QVERIFY(d->isVisible());
        QCOMPARE(QApplication::focusWidget()->objectName(), focus);
        QCOMPARE(registryText().count("\"Loop Sound\""), 0);
    }

    void doneStoresEveryKey()
    {
        const QString wav = makeFile("alarm clock.wav");
        fx.start(0);
        auto d = open();
        for (auto [name, index] : {std::pair{"Option3", 1},
                                   {"Option1", 0},
                                   {"Check1", -1},
                                   {"Check2", -1},
                                   {"Option2", 1},
                                   {"Checkalmmsg", -1}})
            click(d.get(), name, index);
        chooseFile(d.get(), wav);
        QTest::keyClicks(ctl<QLineEdit>(d.get(), "txtalmmsg"), "Wake \"up\"");
        ctl<QComboBox>(d.get(), "Combo1")->setCurrentIndex(1);
        d->NewBackgroundIndex = 2;
        d->NewDigitColor = 0x00FFFF00;
        d->NewButtonColor = 0x00FF8080;
        click(d.get(), "Command4");
        const QList<QPair<QString, QString>> expected{
            {"Loop Sound", "False"},   {"Auto Restart", "0"},       {"On Top", "True"},
            {"Background Color", "2"}, {"Digit Color", "16776960"}, {"Button Color", "16744576"},
            {"Sound File", wav},       {"Play Sound", "False"},     {"Built-in Sound", "102"},
            {"Use Built-in", "False"}, {"Show Message", "True"},    {"Alarm Message", "Wake \"up\""}};
        for (const auto& [name, value] : expected)
            QVERIFY2(fx.stored(name) == value, qPrintable(name));
        const Options& e = fx.engine->options();
        QVERIFY(e.WakeMode && e.OnTop && !e.SoundOn && !e.LoopSound && !e.UseBuiltIn);
        QCOMPARE(e.SoundFile, wav);
        QCOMPARE(d->result()->options.BigWindow, 1);
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
        QCOMPARE(fx.engine->options().BuiltInSound, 999);
        QCOMPARE(fx.stored("Built-in Sound"), QString("999"));
    }

    void cancelAfterChoosingColorsChangesNothing()
    {
        fx.start(0);
        const QString before = registryText();
        onNextModal([](QWidget* options) {
            onNextModal([](QWidget* colors) {
                click(colors, "Option1", 2);
                QTest::mouseClick(ctl<QWidget>(colors, "Picture3"), Qt::LeftButton);
                click(colors, "Command3", 1);
                click(colors, "Command2");
            });
            click(options, "Command3");
            click(options, "Command5");
        });
        fx.app->runOptions(*fx.form1);
        QCOMPARE(registryText(), before);
        QCOMPARE(fx.form1->button(Cmd::Start)->palette().color(QPalette::Button), QColor(255, 0, 255));
    }

    void deletedSoundFileIsReportedAndTheDialogStillOpens()
    {
        const QString wav = makeFile("gone.wav");
        fx.start(0);
        withOptions(*fx.engine, [&](Options& o) {
            o.UseBuiltIn = false;
            o.SoundFile = wav;
        });
        QVERIFY(QFile::remove(wav));
        bool opened = false;
        onNextModal([&](QWidget* modal) {
            opened = modal->objectName() == "Form5" && ctl<QLabel>(modal, "Label1")->text() == wav;
        });
        fx.app->runOptions(*fx.form1);
        QVERIFY(opened);
        QCOMPARE(shownTexts(), QStringList{"File not found\r\nError Number: 53"});
    }

    // Test plays the chosen file; Test again, Done and Cancel each stop it.
    void fileTestStartsAndStops_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("started");
        QTest::addColumn<QString>("stopper");
        QTest::addColumn<QStringList>("stopped");
        const QStringList again{"stopWave", "closeDevice"};
        const QStringList leaving{"closeDevice", "stopWave"};
        QTest::newRow("mp3, test again") << "a.mp3"
                                         << "openDevice %1 MpegVideo"
                                         << "Command1" << again;
        QTest::newRow("WAV in capitals, looped") << "d.WAV"
                                                 << "playWaveFile %1 loop"
                                                 << "Command1" << again;
        QTest::newRow("done") << "e.wav"
                              << "playWaveFile %1 loop"
                              << "Command4" << leaving;
        QTest::newRow("cancel") << "f.wav"
                                << "playWaveFile %1 loop"
                                << "Command5" << leaving;
    }
    void fileTestStartsAndStops()
    {
        QFETCH(QString, name);
        QFETCH(QString, started);
        QFETCH(QString, stopper);
        const QString path = makeFile(name);
        fx.start(0);
        auto d = open();
        chooseFile(d.get(), path);
        auto* test = ctl<QPushButton>(d.get(), "Command1");
        fx.audio->takeCalls();
        click(d.get(), "Command1");
        QCOMPARE(fx.audio->calls().value(0), started.arg(path));
        QCOMPARE(test->text(), QString("Stop"));
        QVERIFY(fx.engine->sound().SoundPlaying);
        fx.audio->takeCalls();
        click(d.get(), qPrintable(stopper));
        QTEST(fx.audio->calls(), "stopped");
        QCOMPARE(d->isVisible(), stopper == "Command1");
        if (d->isVisible()) {
            QCOMPARE(test->text(), QString("Test"));
            QVERIFY(!fx.engine->sound().SoundPlaying);
        }
    }
};

QTEST_MAIN(Form5Test)
#include "tst_form5.moc"
