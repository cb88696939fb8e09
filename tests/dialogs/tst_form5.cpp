#include "dialogs/Form5.h"
#include "shell/MainFixture.h"

#include <QAccessible>
#include <QComboBox>
#include <QGroupBox>

using namespace zentimo;
using namespace zentimo::test;

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
        return f.open(QIODevice::WriteOnly) && f.write("RIFF") ? path : QString();
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

    // seeds: stored before start. steps: clicks (name:index), file:NAME chosen, type:TEXT into the message,
    // combo:N, colorsOk (the Colors dialog changed and taken), big (the big window handed over). autoRestart:
    // its box afterwards. stored: what the registry holds afterwards (%f: the files folder). focus: "" when
    // closed.
    void outcomes_data()
    {
        QTest::addColumn<QStringList>("seeds");
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QStringList>("saidAfter");
        QTest::addColumn<QString>("autoRestart");
        QTest::addColumn<QStringList>("stored");
        QTest::addColumn<QString>("focus");
        const QStringList none;
        const QStringList looping{"Loop Sound=True", "Auto Restart=0"};
        const QStringList restarting{"Loop Sound=False", "Auto Restart=1"};
        const QStringList refused{"Auto restart can"};
        // Auto restart lives only with Countdown and "Play once".
        QTest::newRow("wake clears and disables") << restarting << "Option3:0 Option3:1 Command4" << none
                                                  << "off disabled" << QStringList{"Auto Restart=0"} << "";
        QTest::newRow("countdown keeps and enables") << restarting << "Option3:2 Option3:0 Command4" << none
                                                     << "on" << QStringList{"Auto Restart=1"} << "";
        QTest::newRow("auto restart with loop is refused")
            << looping << "Check3 Command4" << refused << "off" << looping << "";
        QTest::newRow("loop with auto restart returns to play once")
            << restarting << "Option2:0 Command4" << QStringList{"You must select"} << "on" << restarting
            << "";
        QTest::newRow("stored together, refused while opening")
            << QStringList{"Loop Sound=True", "Auto Restart=1"} << "Command4" << refused << "off" << looping
            << "";
        // Done refuses what is missing and leaves the focus on it.
        QTest::newRow("message without text")
            << none << "Checkalmmsg Command4" << QStringList{"You have selected"} << "off"
            << QStringList{"Loop Sound=<missing>"} << "txtalmmsg";
        QTest::newRow("file without a file")
            << none << "Option4:1 Command4" << QStringList{"You've selected to"} << "off"
            << QStringList{"Loop Sound=<missing>"} << "Command2";
        // What Done stores; Cancel stores nothing, even after the Colors dialog was taken.
        QTest::newRow("done stores every key")
            << none
            << "Option3:1 Option1:0 Check1 Check2 Option2:1 "
               "file:alarm.wav Checkalmmsg type:Wake\"up\" combo:1 "
               "colorsOk Command4 big"
            << none << "off disabled"
            << QStringList{"Loop Sound=False",        "Auto Restart=0",       "On Top=True",
                           "Background Color=2",      "Digit Color=16776960", "Button Color=16744576",
                           "Sound File=%f/alarm.wav", "Play Sound=False",     "Built-in Sound=102",
                           "Use Built-in=False",      "Show Message=True",    "Alarm Message=Wake\"up\""}
            << "";
        QTest::newRow("small chosen keeps the small window")
            << none << "Option1:1 Command4" << none << "off" << QStringList{"Size=0"} << "";
        QTest::newRow("a sound file gone is reported and the dialog still opens")
            << QStringList{"Use Built-in=False", "Sound File=%f/gone.wav"} << "Command5"
            << QStringList{"File not found\r\nError"} << "off" << QStringList{"Sound File=%f/gone.wav"} << "";
        QTest::newRow("cancel after colors")
            << none << "colorsOk Command5" << none << "off"
            << QStringList{"Digit Color=<missing>", "Button Color=<missing>"} << "";
    }
    void outcomes()
    {
        QFETCH(QStringList, seeds);
        QFETCH(QString, steps);
        QFETCH(QString, autoRestart);
        QFETCH(QStringList, stored);
        QFETCH(QString, focus);
        for (const QString& seed : seeds)
            fx.seed(seed.section('=', 0, 0), seed.section('=', 1).replace("%f", files.path()));
        fx.start(0);
        auto d = open();
        MainFixture::activate(*d);
        for (const QString& step : steps.split(' ')) {
            const QString arg = step.section(':', 1);
            if (step.startsWith("file:")) {
                chooseFile(d.get(), makeFile(arg));
            } else if (step.startsWith("type:")) {
                QTest::keyClicks(ctl<QLineEdit>(d.get(), "txtalmmsg"), arg);
            } else if (step.startsWith("combo:")) {
                ctl<QComboBox>(d.get(), "Combo1")->setCurrentIndex(arg.toInt());
            } else if (step == "big") {
                QCOMPARE(d->answer()->options.BigWindow, 1);
            } else if (step == "colorsOk") {
                onNextModal([](QWidget* colors) { // cyan on blue, light blue buttons
                    click(colors, "Option1", 2);
                    QTest::mouseClick(ctl<QWidget>(colors, "Picture3"), Qt::LeftButton);
                    click(colors, "Command3", 1);
                    click(colors, "Command2");
                });
                click(d.get(), "Command3");
            } else {
                click(d.get(), qPrintable(step.section(':', 0, 0)), arg.isEmpty() ? -1 : arg.toInt());
            }
        }
        QStringList said; // the first words of each message, enough to tell them apart
        for (const auto& r : MessageBox::shown())
            said << r.text.section(' ', 0, 2);
        QTEST(said, "saidAfter");
        auto* check3 = ctl<QAbstractButton>(d.get(), "Check3");
        QCOMPARE(QString(check3->isChecked() ? "on" : "off") + (check3->isEnabled() ? "" : " disabled"),
                 autoRestart);
        for (const QString& s : stored)
            QCOMPARE(s.section('=', 0, 0) + '=' + fx.stored(s.section('=', 0, 0)),
                     QString(s).replace("%f", files.path()));
        QCOMPARE(fx.engine->options().AutoRestart, fx.stored("Auto Restart", "0") == "1");
        QCOMPARE(d->isVisible(), !focus.isEmpty());
        if (!focus.isEmpty())
            QCOMPARE(QApplication::focusWidget()->objectName(), focus);
    }

    // A screen reader names a frame by its name and what labels it: its own caption, never the frame around
    // it.
    void framesAreLabelledByTheirOwnCaptions()
    {
        fx.start(0);
        auto d = open();
        QStringList heard;
        for (const char* name : {"Frame1", "Frame", "Frame5", "Frame2", "Frame3"}) {
            for (QGroupBox* frame : d->findChildren<QGroupBox*>(name)) {
                QAccessibleInterface* announced = QAccessible::queryAccessibleInterface(frame);
                QStringList labels{announced->text(QAccessible::Name)};
                const auto relations = announced->relations(QAccessible::Label);
                for (const auto& [label, relation] : relations)
                    labels << label->text(QAccessible::Name);
                heard << labels.join(" by ");
            }
        }
        QCOMPARE(heard, (QStringList{
                            "Alarm Options:", "Message:", "Sound:", "Size:", "Mode:", "Window:", "Colors:"}));
    }

    // The file request's filter in "description|patterns|..." form becomes Qt's.
    void fileFilter()
    {
        QCOMPARE(Form5::qtFileFilter("Sound Files (*.wav;*.mp3)|*.wav; *.mp3|All Files|*.*|"),
                 QString("Sound Files (*.wav *.mp3);;All Files (*.*)"));
    }

    // Test plays the chosen file (an mp3 through the device, a wave of any case looped); Test again and Done
    // stop it.
    void fileTestStartsAndStops_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("stopped");
        QTest::addColumn<QString>("stopper");
        const QStringList again{"stopWave", "closeDevice"};
        const QStringList leaving{"closeDevice", "stopWave"};
        QTest::newRow("mp3, test again") << "a.mp3" << again << "Command1";
        QTest::newRow("WAV in capitals, done") << "d.WAV" << leaving << "Command4";
    }
    void fileTestStartsAndStops()
    {
        QFETCH(QString, name);
        QFETCH(QString, stopper);
        const QString path = makeFile(name);
        fx.start(0);
        auto d = open();
        chooseFile(d.get(), path);
        auto* test = ctl<QPushButton>(d.get(), "Command1");
        fx.audio->takeCalls();
        click(d.get(), "Command1");
        QCOMPARE(
            fx.audio->calls().value(0),
            QString(name.endsWith(".mp3") ? "openDevice %1 MpegVideo" : "playWaveFile %1 loop").arg(path));
        QCOMPARE(test->text(), QString("Stop"));
        QVERIFY(fx.engine->sound().SoundPlaying());
        fx.audio->takeCalls();
        click(d.get(), qPrintable(stopper));
        QTEST(fx.audio->calls(), "stopped");
        QCOMPARE(d->isVisible(), stopper == "Command1");
        if (d->isVisible()) {
            QCOMPARE(test->text(), QString("Test"));
            QVERIFY(!fx.engine->sound().SoundPlaying());
        }
    }

    // "Stop" only while something plays: an .mp3 played to its end gives back "Test".
    void aTestPlayedOutReadsTestAgain()
    {
        const QString path = makeFile("a.mp3");
        fx.start(0);
        auto d = open();
        chooseFile(d.get(), path);
        auto* test = ctl<QPushButton>(d.get(), "Command1");
        click(d.get(), "Command1");
        QCOMPARE(test->text(), QString("Stop"));
        fx.audio->finishDevice();
        QCOMPARE(test->text(), QString("Test"));
        QVERIFY(!fx.engine->sound().SoundPlaying());
    }
};

QTEST_MAIN(Form5Test)
#include "tst_form5.moc"
