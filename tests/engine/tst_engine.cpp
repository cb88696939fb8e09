#include "FakeFace.h"
#include "WithOptions.h"
#include "engine/Engine.h"
#include "sound/SilentAudio.h"
#include "sound/SoundPlayer.h"

#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

using namespace zentimo;
using zentimo::test::FakeFace;
using zentimo::test::withOptions;

Q_DECLARE_METATYPE(zentimo::Options)

namespace {
const QDateTime kMorning(QDate(2026, 12, 6), QTime(7, 29, 0));
}

class EngineTest : public QObject {
    Q_OBJECT

    SilentAudio* audio = nullptr;
    std::unique_ptr<SoundPlayer> sound;
    ManualClock* clock = nullptr;
    std::unique_ptr<Engine> engine;
    FakeFace small;
    FakeFace big;

    QString told() const { return audio->calls().join(','); }
    // "hh:mm:ss" or a wake time "hh:mm:a" into the small window's fields.
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
        small = FakeFace{};
        big = FakeFace{};
        small.engine = engine.get();
        big.engine = engine.get();
        engine->setFaces(&small, &big);
    }

    void startLocksStopKeepsTimeStartGoesOn()
    {
        enter("00:03:13");
        engine->Command1_Click();
        QVERIFY(small.locked && big.locked);
        for (Cmd c : {Cmd::Reset, Cmd::Options, Cmd::Help, Cmd::About})
            QVERIFY(!big.enabled[int(c)]);
        QVERIFY(small.enabled[int(Cmd::Presets)] && small.spinnersEnabled);
        engine->sec_Timer();
        engine->Command1_Click();
        QVERIFY(!engine->secEnabled());
        for (int c = 2; c <= 7; ++c)
            QVERIFY(small.enabled[c]);
        engine->Command1_Click();
        QCOMPARE(engine->StartSeconds, QString("12"));
    }

    // A tick that finds more than a second passed (a suspend, a frozen process) counts all of it; a resume
    // catches up without counting a tick of its own.
    void countdownCountsTheTimeThatReallyPassed_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<int>("passedMs");
        QTest::addColumn<bool>("resume");
        QTest::addColumn<bool>("autoRestart");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("caption");
        const auto row = [](const char* tag, const char* start, int passedMs, bool resume, bool autoRestart,
                            const char* shown, const char* caption) {
            QTest::newRow(tag) << QString(start) << passedMs << resume << autoRestart << QString(shown)
                               << QString(caption);
        };
        row("one and a half seconds", "00:02:00", 1500, false, false, "00:01:59", "Stop");
        row("an hour, borrowing", "02:00:05", 3600000, false, false, "01:00:05", "Stop");
        row("past the end", "00:02:00", 600000, false, false, "00:00:00", "Alarm Off");
        row("past the end, restarting", "00:02:00", 600000, false, true, "00:02:00", "Stop");
        row("resume at once", "00:02:00", 0, true, false, "00:02:00", "Stop");
        row("resume after half a minute", "00:02:00", 30000, true, false, "00:01:30", "Stop");
    }
    void countdownCountsTheTimeThatReallyPassed()
    {
        QFETCH(QString, start);
        QFETCH(int, passedMs);
        QFETCH(bool, resume);
        QFETCH(bool, autoRestart);
        QFETCH(QString, shown);
        withOptions(*engine, [&](Options& o) {
            o.AutoRestart = autoRestart;
            o.LoopSound = !autoRestart;
        });
        enter(start);
        engine->Command1_Click();
        clock->advanceMs(passedMs);
        resume ? engine->catchUp() : engine->sec_Timer();
        QCOMPARE(small.time(), shown);
        QCOMPARE(big.time(), shown);
        QTEST(small.captionText, "caption");
        if (autoRestart) {
            // The next period counts from the late alarm, not from the countdown's true end.
            clock->advanceMs(1000);
            engine->sec_Timer();
            QCOMPARE(small.time(), QString("00:01:59"));
        }
    }

    void stopwatchGoesOnAfterStopCountsAFreezeStopsAtItsLimit()
    {
        withOptions(*engine, [&](Options& o) { o.StopwatchMode = true; });
        engine->updateWatch();
        QVERIFY(small.enabled[int(Cmd::Start)]);
        QVERIFY(!small.spinnersEnabled);
        QVERIFY(!big.enabled[int(Cmd::Presets)]);
        QSignalSpy limit(engine.get(), &Engine::stopwatchLimitReached);
        engine->Command1_Click();
        engine->TimerSW_Timer();
        engine->Command1_Click();
        engine->Command1_Click();
        clock->advanceMs(12000);
        engine->TimerSW_Timer();
        QCOMPARE(small.time(), QString("00:00:13"));
        engine->SwHours = 99;
        engine->SwMinutes = 59;
        engine->SwSeconds = 50;
        clock->advanceMs(60000);
        engine->catchUp();
        QCOMPARE(small.time(), QString("99:59:59"));
        QVERIFY(!engine->timerSWEnabled());
        QCOMPARE(limit.count(), 1);
        engine->Command2_Click();
        QCOMPARE(small.time(), QString("00:00:00"));
        QCOMPARE(engine->SwSeconds, 0);
    }

    void wakeTick_data()
    {
        QTest::addColumn<QString>("wake");
        QTest::addColumn<QTime>("start");
        QTest::addColumn<QTime>("tick"); // before the start: the next day
        QTest::addColumn<bool>("rings");
        QTest::newRow("a second before") << "07:30:a" << QTime(7, 29) << QTime(7, 29, 59) << false;
        QTest::newRow("last second") << "07:30:a" << QTime(7, 29) << QTime(7, 30, 59) << true;
        QTest::newRow("started inside the minute")
            << "07:30:a" << QTime(7, 30, 20) << QTime(7, 30, 21) << true;
        QTest::newRow("past, rings tomorrow") << "07:30:a" << QTime(8, 0) << QTime(7, 31, 30) << true;
        QTest::newRow("midnight is 12 a") << "12:00:a" << QTime(23, 59, 59) << QTime(0, 0, 0) << true;
        QTest::newRow("noon is not 12 a") << "12:00:a" << QTime(11, 59) << QTime(12, 0, 30) << false;
        QTest::newRow("missed minute still rings") << "07:30:a" << QTime(7, 29, 58) << QTime(7, 35) << true;
    }
    void wakeTick()
    {
        QFETCH(QString, wake);
        QFETCH(QTime, start);
        QFETCH(QTime, tick);
        QFETCH(bool, rings);
        withOptions(*engine, [&](Options& o) { o.WakeMode = true; });
        enter(wake);
        at(start);
        engine->Command1_Click();
        at(tick, tick < start ? 1 : 0);
        engine->Timer3_Timer();
        QCOMPARE(small.captionText == QLatin1String("Snooze"), rings);
        QCOMPARE(engine->timer3Enabled(), !rings);
    }

    void alarmFlashesShowsTheMessageAndBringsTheWindowBack()
    {
        withOptions(*engine, [&](Options& o) {
            o.ShowMessage = true;
            o.AlarmMessage = "Tea!";
        });
        QSignalSpy message(engine.get(), &Engine::alarmMessageNeeded);
        QSignalSpy forward(engine.get(), &Engine::windowForwardNeeded);
        enter("00:00:01");
        engine->Command1_Click();
        engine->sec_Timer();
        QCOMPARE(message.count(), 1);
        QCOMPARE(message[0][0].toString(), QString("Tea!"));
        QCOMPARE(forward.count(), 1);
        const std::uint32_t color = engine->options().ButtonColor;
        for (int i = 0; i < 10; ++i)
            engine->Timer1_Timer();
        QCOMPARE(big.startColor, 0x000000FFu);
        engine->Command1_Click();
        QCOMPARE(small.startColor, color);
        QVERIFY(!engine->flashing());
    }

    // What an alarm plays and shows, and what the Alarm Off or Snooze click stops (a snooze rings again ten
    // minutes later); with auto restart, what the second alarm does.
    void alarmOutcome_data()
    {
        QTest::addColumn<Options>("options");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("playing");
        QTest::addColumn<QString>("calls"); // a pattern the calls to the sound system begin with
        QTest::addColumn<QString>("stop");
        const auto row = [](const char* tag, bool soundOn, bool builtIn, bool loop, const char* file,
                            bool wake, bool autoRestart, const char* caption, bool playing, const char* calls,
                            const char* stop = "") {
            Options o;
            o.SoundOn = soundOn;
            o.UseBuiltIn = builtIn;
            o.LoopSound = loop;
            o.SoundFile = file;
            o.WakeMode = wake;
            o.AutoRestart = autoRestart;
            QTest::newRow(tag) << o << QString(caption) << playing << QString(calls) << QString(stop);
        };
        row("sound off", false, true, true, "", false, false, "Start", false, "");
        row("built-in looped", true, true, true, "", false, false, "Alarm Off", false, "playWaveImage",
            "stopWave");
        row("built-in once", true, true, false, "", false, false, "Start", false, "playWaveImage");
        row("wav looped", true, false, true, "x.wav", false, false, "Alarm Off", true, "playWave",
            "stopWave");
        row("wav once", true, false, false, "x.WAV", false, false, "Start", false, "playWave");
        row("mp3 plays once anyway", true, false, true, "x.mp3", false, false, "Alarm Off", true,
            "closeDevice", "closeDevice");
        row("mid in capitals", true, false, false, "x.MID", false, false, "Alarm Off", true, "closeDevice",
            "closeDevice");
        row("other extension", true, false, true, "x.wave", false, false, "Alarm Off", false, "");
        row("wake device sound", true, false, false, "a.mp3", true, false, "Snooze", true, "closeDevice",
            "stopWave,closeDevice");
        row("wake sound off", false, true, true, "", true, false, "Start", false, "");
        row("restart, sound off still counts", false, true, false, "", false, true, "Stop", false, "");
        row("restart reopens the device", true, false, true, "x.mp3", false, true, "Stop", true,
            "closeDevice,openDevice .*,playDevice");
    }
    void alarmOutcome()
    {
        QFETCH(Options, options);
        QFETCH(QString, caption);
        QFETCH(QString, calls);
        const bool wake = options.WakeMode;
        const bool autoRestart = options.AutoRestart;
        engine->setOptions(options);
        enter(wake ? "11:55:a" : "00:00:01");
        engine->Command1_Click();
        audio->takeCalls();
        if (wake) {
            at(QTime(11, 55));
            engine->Timer3_Timer();
        } else {
            engine->sec_Timer();
        }
        if (autoRestart) {
            QCOMPARE(big.time(), QString("00:00:01"));
            audio->takeCalls();
            engine->sec_Timer();
        }
        QCOMPARE(small.captionText, caption);
        QCOMPARE(big.captionText, caption);
        QTEST(engine->sound().SoundPlaying, "playing");
        QCOMPARE(engine->secEnabled(), autoRestart);
        QVERIFY2(calls.isEmpty() ? told().isEmpty()
                                 : QRegularExpression("^" + calls).match(told()).hasMatch(),
                 qPrintable(told()));
        if (caption != QLatin1String("Alarm Off") && caption != QLatin1String("Snooze"))
            return;
        audio->takeCalls();
        engine->Command1_Click();
        QTEST(told(), "stop");
        QVERIFY(!engine->sound().SoundPlaying);
        if (wake) {
            QCOMPARE(big.time(), QString("12:05:p"));
            at(QTime(12, 5));
            engine->Timer3_Timer();
            QCOMPARE(small.captionText, caption);
        } else {
            QCOMPARE(small.captionText, QString("Start"));
            QVERIFY(!small.locked);
        }
    }

    // A text typed into a field and left (spin 0), or an arrow spun from that text.
    void fieldEdits_data()
    {
        QTest::addColumn<bool>("wake");
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("spin");
        QTest::addColumn<QString>("shown");
        const auto row = [](const char* tag, bool wake, int field, const char* typed, int spin,
                            const char* shown) {
            QTest::newRow(tag) << wake << field << QString(typed) << spin << QString(shown);
        };
        row("minutes padded", false, 1, "5", 0, "05");
        row("hours cleared wake", true, 0, "", 0, "12");
        row("13 hours wake", true, 0, "13", 0, "12");
        row("13 hours countdown", false, 0, "13", 0, "13");
        row("00 hours wake stays", true, 0, "00", 0, "00");
        row("75 minutes wake", true, 1, "75", 0, "00");
        row("letter empty", true, 2, "", 0, "p");
        row("seconds empty", false, 2, "", 0, "00");
        row("spun minutes padded", false, 1, "09", 1, "10");
        row("spun letter toggles", true, 2, "a", 1, "p");
    }
    void fieldEdits()
    {
        QFETCH(bool, wake);
        QFETCH(int, field);
        QFETCH(QString, typed);
        QFETCH(int, spin);
        QFETCH(QString, shown);
        withOptions(*engine, [&](Options& o) { o.WakeMode = wake; });
        if (wake)
            engine->applyModeToFields();
        if (!spin)
            engine->FieldGotFocus(small, TimeField(field));
        small.setFieldText(TimeField(field), typed);
        if (spin)
            small.setSpinnerValue(TimeField(field), small.values[field] + spin);
        else
            engine->FieldLostFocus(small, TimeField(field));
        QCOMPARE(small.texts[field], shown);
        QCOMPARE(big.texts[field], shown);
        QVERIFY(!engine->FieldHasFocus);
        if (!(wake && field == 2) && !(wake && shown == "00" && field == 0))
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
        QCOMPARE(big.values[0], 9);
        withOptions(*engine, [&](Options& o) { o.WakeMode = false; });
        engine->applyModeToFields();
        QCOMPARE(small.time() + big.time(), QString("00:00:0000:00:00"));
        QCOMPARE(big.minimums[0], 0);
        QCOMPARE(big.maximums[0] + big.maximums[1], 99 + 99);
    }
};

QTEST_GUILESS_MAIN(EngineTest)
#include "tst_engine.moc"
