#include "FakeFace.h"
#include "WithOptions.h"
#include "engine/Engine.h"
#include "engine/TimeText.h"
#include "sound/SilentAudio.h"
#include "sound/SoundPlayer.h"

#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

using namespace zentimo;
using namespace zentimo::test;

Q_DECLARE_METATYPE(zentimo::Options)

const QDateTime kMorning(QDate(2026, 12, 6), QTime(7, 29, 0));

class EngineTest : public QObject {
    Q_OBJECT

    SilentAudio* audio = nullptr;
    std::unique_ptr<SoundPlayer> sound;
    ManualClock* clock = nullptr;
    std::unique_ptr<Engine> engine;
    FakeFace small;
    FakeFace big;

    QString told() const { return audio->calls().join(','); }
    void enter(const QString& time)
    {
        const QStringList p = time.split(u':');
        for (int i = 0; i < 3; ++i)
            small.setFieldText(TimeField(i), p[i]);
    }
    void at(QTime time, int days = 0) { clock->set(QDateTime(kMorning.date().addDays(days), time)); }

private Q_SLOTS:
    void init()
    {
        auto backend = std::make_unique<SilentAudio>();
        audio = backend.get();
        sound = std::make_unique<SoundPlayer>(std::move(backend));
        auto c = std::make_unique<ManualClock>(kMorning);
        clock = c.get();
        engine = std::make_unique<Engine>(*sound, std::move(c));
        small = big = FakeFace{};
        small.engine = big.engine = engine.get();
        engine->setFaces(&small, &big);
    }

    // A tick that finds more than a second passed (a suspend, a frozen process) counts all of it; a resume
    // catches up without counting a tick of its own.
    void countdownCountsTheTimeThatReallyPassed_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<int>("passedMs");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("resume");
        QTest::addColumn<bool>("autoRestart");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("spunTo"); // the fields after Start, as a spinner may set them
        QTest::newRow("1.5 s") << "00:02:00" << 1500 << "00:01:59" << false << false << "Stop"
                               << "00:02:00";
        QTest::newRow("an hour, borrowing") << "02:00:05" << 3600000 << "01:00:05" << false << false << "Stop"
                                            << "02:00:05";
        QTest::newRow("past the end") << "00:02:00" << 600000 << "00:00:00" << false << false << "Alarm Off"
                                      << "00:02:00";
        QTest::newRow("past the end, restarting")
            << "00:02:00" << 600000 << "00:02:00" << false << true << "Stop"
            << "00:02:00";
        QTest::newRow("resume after 30 s") << "00:02:00" << 30000 << "00:01:30" << true << false << "Stop"
                                           << "00:02:00";
        QTest::newRow("a tick finding zero rings nothing")
            << "00:00:05" << 1000 << "00:00:59" << false << false << "Stop"
            << "00:00:00";
    }
    void countdownCountsTheTimeThatReallyPassed()
    {
        QFETCH(QString, start);
        QFETCH(int, passedMs);
        QFETCH(bool, resume);
        QFETCH(bool, autoRestart);
        withOptions(*engine, [&](Options& o) {
            o.AutoRestart = autoRestart;
            o.LoopSound = !autoRestart;
        });
        enter(start);
        engine->Command1_Click();
        QFETCH(QString, spunTo);
        enter(spunTo);
        clock->advanceMs(passedMs);
        resume ? engine->catchUp() : engine->sec_Timer();
        QTEST(small.time(), "shown");
        QTEST(small.captionText, "caption");
        if (autoRestart) {
            // The next period counts from the late alarm, not from the countdown's true end.
            clock->advanceMs(1000);
            engine->sec_Timer();
            QCOMPARE(small.time(), QString("00:01:59"));
        }
    }

    void stopwatchResumesCountsAFreezeStopsAtItsLimit()
    {
        withOptions(*engine, [&](Options& o) { o.StopwatchMode = true; });
        engine->updateWatch();
        QSignalSpy limit(engine.get(), &Engine::stopwatchLimitReached);
        engine->Command1_Click();
        engine->TimerSW_Timer();
        engine->Command1_Click();
        engine->Command1_Click();
        clock->advanceMs(12000);
        engine->TimerSW_Timer();
        QCOMPARE(small.time(), QString("00:00:13"));
        clock->advanceMs((99 * 3600 + 59 * 60 + 50 - 13) * 1000LL);
        engine->catchUp();
        QCOMPARE(small.time(), QString("99:59:50"));
        clock->advanceMs(60000);
        engine->catchUp();
        QCOMPARE(small.time(), QString("99:59:59"));
        QVERIFY(!engine->timerSWEnabled());
        QCOMPARE(limit.count(), 1);
    }

    void wakeTick_data()
    {
        QTest::addColumn<QString>("wake");
        QTest::addColumn<QTime>("start");
        QTest::addColumn<QTime>("tick"); // before the start: the next day
        QTest::addColumn<bool>("rings");
        QTest::newRow("inside the minute") << "07:30:a" << QTime(7, 30, 20) << QTime(7, 30, 21) << true;
        QTest::newRow("past, waits for tomorrow") << "07:30:a" << QTime(8, 0) << QTime(8, 0, 30) << false;
        QTest::newRow("midnight is 12 a") << "12:00:a" << QTime(23, 59, 59) << QTime(0, 0, 0) << true;
        QTest::newRow("missed minute still rings") << "07:30:a" << QTime(7, 29, 58) << QTime(7, 35) << true;
        QTest::newRow("00:00 a starts, no clock shows it")
            << "00:00:a" << QTime(0, 0, 10) << QTime(0, 0, 11) << false;
    }
    void wakeTick()
    {
        QFETCH(QString, wake);
        QFETCH(QTime, start);
        QFETCH(QTime, tick);
        QFETCH(bool, rings);
        withOptions(*engine, [&](Options& o) { o.WakeMode = true; });
        enter(wake);
        QVERIFY(small.enabled[int(Cmd::Start)]);
        at(start);
        engine->Command1_Click();
        at(tick, tick < start ? 1 : 0);
        engine->Timer3_Timer();
        QCOMPARE(small.captionText == QLatin1String("Snooze"), rings);
        QCOMPARE(engine->timer3Enabled(), !rings);
    }

    // What an alarm plays, shows and flashes, what Alarm Off or Snooze stops (a snooze rings again ten
    // minutes later), and with auto restart what the second alarm does. Options are given as words.
    void alarmOutcome_data()
    {
        QTest::addColumn<Options>("options");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("playing");
        QTest::addColumn<QString>("calls"); // a pattern the calls to the sound system begin with
        QTest::addColumn<QString>("stop");
        const auto row = [](const char* tag, const QString& words, const char* file, const char* caption,
                            bool playing, const char* calls, const char* stop = "") {
            const QStringList w = words.split(u' ');
            Options o;
            o.SoundOn = w.contains("sound");
            o.UseBuiltIn = w.contains("built-in");
            o.LoopSound = w.contains("loop");
            o.SoundFile = file;
            o.WakeMode = w.contains("wake");
            o.AutoRestart = w.contains("restart");
            o.ShowMessage = !o.WakeMode;
            o.AlarmMessage = tag;
            QTest::newRow(tag) << o << QString(caption) << playing << QString(calls) << QString(stop);
        };
        row("sound off", "built-in loop", "", "Start", false, "");
        row("built-in looped", "sound built-in loop", "", "Alarm Off", false, "playWaveImage", "stopWave");
        row("wav looped", "sound loop", "x.wav", "Alarm Off", true, "playWave", "stopWave");
        row("wav once", "sound", "x.WAV", "Start", false, "playWave");
        row("mid, looped anyway", "sound loop", "x.MID", "Alarm Off", true, "closeDevice", "closeDevice");
        row("other extension", "sound loop", "x.wave", "Alarm Off", false, "");
        row("wake device sound", "sound wake", "a.mp3", "Snooze", true, "closeDevice",
            "stopWave,closeDevice");
        row("wake sound off", "built-in loop wake", "", "Start", false, "");
        row("restart, sound off still counts", "built-in restart", "", "Stop", false, "");
        row("restart reopens the device", "sound loop restart", "x.mp3", "Stop", true,
            "closeDevice,openDevice .*,playDevice");
    }
    void alarmOutcome()
    {
        QFETCH(Options, options);
        QFETCH(QString, caption);
        QFETCH(QString, calls);
        const bool wake = options.WakeMode;
        engine->setOptions(options);
        QSignalSpy message(engine.get(), &Engine::alarmMessageNeeded);
        enter(wake ? "11:55:a" : "00:00:01");
        engine->Command1_Click();
        audio->takeCalls();
        if (wake)
            at(QTime(11, 55));
        wake ? engine->Timer3_Timer() : engine->sec_Timer();
        QCOMPARE(message.count(), wake ? 0 : 1);
        if (!wake)
            QCOMPARE(message[0][0].toString(), QString(QTest::currentDataTag()));
        if (options.AutoRestart) {
            QCOMPARE(big.time(), QString("00:00:01"));
            audio->takeCalls();
            engine->sec_Timer();
        }
        QCOMPARE(small.captionText + big.captionText, caption + caption);
        QTEST(engine->sound().SoundPlaying(), "playing");
        QCOMPARE(engine->secEnabled(), options.AutoRestart);
        QVERIFY2(calls.isEmpty() ? told().isEmpty()
                                 : QRegularExpression("^" + calls).match(told()).hasMatch(),
                 qPrintable(told()));
        if (caption != QLatin1String("Alarm Off") && caption != QLatin1String("Snooze"))
            return;
        for (int i = 0; i < 10; ++i)
            engine->Timer1_Timer();
        QCOMPARE(big.startColor == 0x000000FFu, !wake);
        audio->takeCalls();
        engine->Command1_Click();
        QTEST(told(), "stop");
        QVERIFY(!engine->sound().SoundPlaying());
        if (wake) {
            QCOMPARE(big.time(), QString("12:05:p"));
            at(QTime(12, 5));
            engine->Timer3_Timer();
            QCOMPARE(small.captionText, caption);
        } else {
            QCOMPARE(small.captionText, QString("Start"));
            QCOMPARE(small.startColor, options.ButtonColor);
            QVERIFY(!engine->flashing());
        }
    }

    // A text typed into a field and left.
    void fieldEdits_data()
    {
        QTest::addColumn<bool>("wake");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("shown");
        QTest::newRow("hours cleared wake") << true << "" << 0 << "12";
        QTest::newRow("13 hours wake") << true << "13" << 0 << "12";
        QTest::newRow("13 hours countdown") << false << "13" << 0 << "13";
        QTest::newRow("75 minutes wake") << true << "75" << 1 << "00";
        QTest::newRow("letter empty") << true << "" << 2 << "p";
    }
    void fieldEdits()
    {
        QFETCH(bool, wake);
        QFETCH(int, field);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        withOptions(*engine, [&](Options& o) { o.WakeMode = wake; });
        if (wake)
            engine->applyModeToFields();
        engine->FieldGotFocus(small, TimeField(field));
        small.setFieldText(TimeField(field), typed);
        engine->FieldLostFocus(small, TimeField(field));
        QCOMPARE(small.texts[field] + big.texts[field], shown + shown);
        QVERIFY(!engine->fieldHasFocus());
        if (!(wake && field == 2))
            QCOMPARE(small.values[field], shown.toInt());
    }

    void modeSwitchAtNineInTheEvening()
    {
        at(QTime(21, 5));
        withOptions(*engine, [&](Options& o) { o.WakeMode = true; });
        engine->applyModeToFields();
        QCOMPARE(small.time() + big.time(), QString("09:05:p09:05:p"));
        QCOMPARE(big.minimums[0], 1);
        QCOMPARE(big.maximums[0] + big.maximums[1], 12 + 59);
        withOptions(*engine, [&](Options& o) { o.WakeMode = false; });
        engine->applyModeToFields();
        QCOMPARE(small.time() + big.time(), QString("00:00:0000:00:00"));
        QCOMPARE(big.minimums[0], 0);
        QCOMPARE(big.maximums[0] + big.maximums[1], 99 + 99);
    }

    void keyFilters()
    {
        for (int c = 0; c < 128; ++c) {
            int digit = c;
            FilterDigitKey(digit);
            QCOMPARE(digit, (c >= '0' && c <= '9') || c == 8 ? c : 0);
            int letter = c;
            FilterAmPmKey(letter);
            QCOMPARE(letter, c == 'a' || c == 'p' || c == 8 ? c : 0);
        }
    }
};

QTEST_GUILESS_MAIN(EngineTest)
#include "tst_engine.moc"
