#include "FakeFace.h"
#include "Files.h"
#include "ManualClock.h"
#include "SilentAudio.h"
#include "TestKit.h"
#include "engine/Engine.h"
#include "engine/TimeText.h"
#include "sound/SoundPlayer.h"

#include <QSignalSpy>
#include <QTest>

using namespace zentimo;
using namespace zentimo::test;

struct CountdownAlarm {
    const char* name;
    Options options;
    QStringList startCalls; // the sound opened ahead of its alarm
    const char* caption;    // on both windows
    bool playing = false;   // SoundPlaying
    QStringList calls = {}; // to the sound system, at the alarm
    bool flashed = true;    // Start/Stop red ten flash ticks later
    QStringList stopCalls = {};
};
Q_DECLARE_METATYPE(CountdownAlarm)

struct LateTick {
    const char* name;
    const char* start = "00:02:00";
    const char* spunTo = "00:02:00"; // the fields after Start, as a spinner may set them
    int passedMs;
    bool autoRestart = false;
    const char* shown;
    const char* caption = "Stop";
    void (Engine::*tick)() = &Engine::sec_Timer; // a resume catches up without counting a tick of its own
};
Q_DECLARE_METATYPE(LateTick)

struct FieldEdit {
    const char* name;
    bool wake;
    TimeField field;
    const char* typed;
    const char* shown; // on both windows
    int spinner;       // a text moves no letter spinner
};
Q_DECLARE_METATYPE(FieldEdit)

using Calls = QStringList; // to the sound system, in order
const Calls kMp3Opened{"closeDevice", "openDevice  MpegVideo", "playDevice", "playWaveImage fallback loop"};

// clang-format off
const CountdownAlarm kCountdownAlarms[] = {
    {.name = "sound off", .options = {.SoundOn = false, .UseBuiltIn = true, .LoopSound = true},
     .startCalls = {}, .caption = "Start", .flashed = false},
    {.name = "built-in looped", .options = {.SoundOn = true, .UseBuiltIn = true, .LoopSound = true},
     .startCalls = {"warmUp"}, .caption = "Alarm Off", .calls = {"playWaveImage 107 loop"}, .stopCalls = {"stopWave"}},
    {.name = "built-in once", .options = {.SoundOn = true, .UseBuiltIn = true, .LoopSound = false},
     .startCalls = {"warmUp"}, .caption = "Start", .calls = {"playWaveImage 107 once"}, .flashed = false},
    {.name = "wav missing, the fallback loops",
     .options = {.SoundOn = true, .UseBuiltIn = false, .LoopSound = true, .SoundFile = "x.wav"},
     .startCalls = {"warmUp x.wav"}, .caption = "Alarm Off", .playing = true, .calls = {"playWaveImage fallback loop"},
     .stopCalls = {"stopWave"}},
    {.name = "wav once", .options = {.SoundOn = true, .UseBuiltIn = false, .LoopSound = false, .SoundFile = "x.WAV"},
     .startCalls = {"warmUp x.WAV"}, .caption = "Start", .calls = {"playWaveImage fallback once"}, .flashed = false},
    {.name = "mid, looped anyway",
     .options = {.SoundOn = true, .UseBuiltIn = false, .LoopSound = true, .SoundFile = "x.MID"},
     .startCalls = {"warmUp x.MID"}, .caption = "Alarm Off", .playing = true,
     .calls = {"closeDevice", "openDevice  Sequencer", "playDevice", "playWaveImage fallback loop"},
     .stopCalls = {"closeDevice"}},
    {.name = "other extension",
     .options = {.SoundOn = true, .UseBuiltIn = false, .LoopSound = true, .SoundFile = "x.wave"},
     .startCalls = {"warmUp x.wave"}, .caption = "Alarm Off"},
};

// A tick that finds more than a second passed (a suspend, a frozen process) counts all of it.
const LateTick kLateTicks[] = {
    {.name = "1.5 s", .passedMs = 1500, .shown = "00:01:59"},
    {.name = "an hour, borrowing", .start = "02:00:05", .spunTo = "02:00:05", .passedMs = 3600000, .shown = "01:00:05"},
    {.name = "past the end", .passedMs = 600000, .shown = "00:00:00", .caption = "Alarm Off"},
    {.name = "past the end, restarting", .passedMs = 600000, .autoRestart = true, .shown = "00:02:00"},
    // A spinner set the fields to zero after Start; the countdown goes on from there.
    {.name = "a tick finding zero rings nothing", .start = "00:00:05", .spunTo = "00:00:00", .passedMs = 1000,
     .shown = "00:00:59"},
    {.name = "resumed", .passedMs = 30000, .shown = "00:01:30", .tick = &Engine::catchUp},
    {.name = "resumed at once, at zero", .start = "00:00:05", .spunTo = "00:00:00", .passedMs = 0,
     .shown = "00:00:00", .tick = &Engine::catchUp},
};

// A text typed into a field and left.
const FieldEdit kFieldEdits[] = {
    {.name = "hours cleared wake", .wake = true, .field = TimeField::Hours, .typed = "", .shown = "12", .spinner = 12},
    {.name = "one hour digit wake", .wake = true, .field = TimeField::Hours, .typed = "7", .shown = "07", .spinner = 7},
    {.name = "13 hours wake", .wake = true, .field = TimeField::Hours, .typed = "13", .shown = "12", .spinner = 12},
    {.name = "hours cleared countdown", .wake = false, .field = TimeField::Hours, .typed = "", .shown = "00", .spinner = 0},
    {.name = "13 hours countdown", .wake = false, .field = TimeField::Hours, .typed = "13", .shown = "13", .spinner = 13},
    {.name = "59 minutes wake", .wake = true, .field = TimeField::Minutes, .typed = "59", .shown = "59", .spinner = 59},
    {.name = "60 minutes wake", .wake = true, .field = TimeField::Minutes, .typed = "60", .shown = "00", .spinner = 0},
    {.name = "seconds cleared countdown", .wake = false, .field = TimeField::Seconds, .typed = "", .shown = "00", .spinner = 0},
    {.name = "letter empty", .wake = true, .field = TimeField::Seconds, .typed = "", .shown = "p", .spinner = 0},
};
// clang-format on

// What a user can do with a window: its caption, the buttons that take a click, and whether the fields and
// spinners take input.
struct Controls {
    QString caption;
    QStringList enabled;
    bool locked, spinners;
    bool operator==(const Controls&) const = default;
};

static Controls controlsOf(const FakeFace& f)
{
    const std::pair<Cmd, const char*> buttons[] = {
        {Cmd::Start, "Start"}, {Cmd::Reset, "Reset"}, {Cmd::Options, "Options"}, {Cmd::Help, "Help"},
        {Cmd::Tray, "Tray"},   {Cmd::About, "About"}, {Cmd::Presets, "Presets"}};
    Controls c{.caption = f.captionText, .enabled = {}, .locked = f.locked, .spinners = f.spinnersEnabled};
    for (const auto& [cmd, name] : buttons)
        if (f.enabled[int(cmd)])
            c.enabled << name;
    return c;
}

static QString describe(const Controls& c)
{
    return QStringLiteral("%1, enabled %2, locked %3, spinners %4")
        .arg(c.caption, c.enabled.join(' '), QString::number(c.locked), QString::number(c.spinners));
}

const QDateTime kMorning(QDate(2026, 12, 6), QTime(7, 29, 0));

class EngineTest : public QObject {
    Q_OBJECT

    SilentAudio* audio = nullptr;
    std::unique_ptr<SoundPlayer> sound;
    ManualClock* clock = nullptr;
    std::unique_ptr<Engine> engine;
    FakeFace small;
    FakeFace big;

    void enter(const QString& time)
    {
        const QStringList p = time.split(u':');
        for (int i = 0; i < 3; ++i)
            small.setFieldText(TimeField(i), p[i]);
    }
    void expectControls(const char* step, const Controls& expected)
    {
        for (const FakeFace* face : {&small, &big}) {
            const Controls seen = controlsOf(*face);
            QVERIFY2(seen == expected, qPrintable(QStringLiteral("%1 (%2 window): %3; expected %4")
                                                      .arg(step, face == &small ? "small" : "big",
                                                           describe(seen), describe(expected))));
        }
        // The button flashes exactly while it reads "Alarm Off": an idle program keeps no timer running.
        QVERIFY2(engine->flashing() == (expected.caption == "Alarm Off"), step);
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

    void lateTick_data() { addRows(kLateTicks); }
    void lateTick()
    {
        QFETCH(LateTick, row);
        withOptions(*engine, [&](Options& o) {
            o.AutoRestart = row.autoRestart;
            o.LoopSound = !row.autoRestart;
        });
        enter(row.start);
        engine->Command1_Click();
        enter(row.spunTo);
        clock->advanceMs(row.passedMs);
        (engine.get()->*row.tick)();
        QCOMPARE(small.time(), QString(row.shown));
        QCOMPARE(small.captionText, QString(row.caption));
    }

    // A late tick arms the next for that second's own moment, not a whole second on.
    void aLateTickArmsTheNextOnTime()
    {
        SecondPace pace;
        pace.start(500, 1000);
        QCOMPARE(pace.take(1800, true), qint64(1));
        QCOMPARE(pace.untilNext(1800), 700);
    }

    void stopwatchResumesCountsAFreezeStopsAtItsLimit()
    {
        withOptions(*engine, [&](Options& o) {
            o.StopwatchMode = true;
            o.SoundOn = o.UseBuiltIn = true;
        });
        engine->updateWatch();
        QSignalSpy limit(engine.get(), &Engine::stopwatchLimitReached);
        engine->Command1_Click();
        engine->TimerSW_Timer();
        engine->Command1_Click();
        engine->Command1_Click();
        clock->advanceMs(12000);
        engine->TimerSW_Timer();
        QCOMPARE(small.time(), QString("00:00:13"));
        // clang-format off
        const std::pair<qint64, const char*> resumes[] = {{110000, "00:02:03"}, {60000, "00:03:03"},
            {(3600 - 183) * 1000LL, "01:00:00"}, {(99 * 3600 + 59 * 60 + 50 - 3600) * 1000LL, "99:59:50"},
            {60000, "99:59:59"}};
        // clang-format on
        for (const auto& [passedMs, shown] : resumes) {
            clock->advanceMs(passedMs);
            engine->catchUp();
            QCOMPARE(small.time(), QString(shown));
        }
        QVERIFY(!engine->timerSWEnabled());
        QCOMPARE(limit.count(), 1);
        QCOMPARE(audio->takeCalls(), QStringList()); // a stopwatch rings no alarm: nothing is opened ahead
    }

    // The one the program runs: wall time now, and the time since boot with any suspend in it, as the
    // kernel's uptime counts it.
    void theRealClockReadsTheWallAndTheTimeSinceBoot()
    {
        const Clock real;
        QVERIFY(qAbs(real.now().secsTo(QDateTime::currentDateTime())) <= 1);
        const double sinceBoot = readAll("/proc/uptime").split(' ').first().toDouble();
        QVERIFY2(qAbs(real.elapsedMs() / 1000.0 - sinceBoot) < 0.05, qPrintable(QString::number(sinceBoot)));
    }

    // What a countdown's alarm plays and shows, and what Alarm Off stops.
    void countdownAlarm_data() { addRows(kCountdownAlarms); }
    void countdownAlarm()
    {
        QFETCH(CountdownAlarm, row);
        Options options = row.options;
        options.ShowMessage = true;
        options.AlarmMessage = QStringLiteral("Tea");
        engine->setOptions(options);
        QSignalSpy message(engine.get(), &Engine::alarmMessageNeeded);
        enter("00:00:01");
        engine->Command1_Click();
        QCOMPARE(audio->takeCalls(), row.startCalls);
        engine->sec_Timer();
        QCOMPARE(QList<QVariantList>(message), QList<QVariantList>{{"Tea"}});
        QCOMPARE(small.captionText, QString(row.caption));
        QCOMPARE(big.captionText, QString(row.caption));
        QCOMPARE(engine->sound().SoundPlaying(), row.playing);
        QVERIFY(!engine->secEnabled());
        QCOMPARE(audio->takeCalls(), row.calls);
        for (int i = 0; i < 10; ++i) // red from the tenth flash tick to the twentieth
            engine->Timer1_Timer();
        QCOMPARE(big.startColor == 0x000000FFu, row.flashed);
        for (int i = 0; i < 9; ++i)
            engine->Timer1_Timer();
        QCOMPARE(big.startColor == 0x000000FFu, row.flashed);
        // The button now stops the alarm, or, when the alarm is already over, starts the next run.
        engine->Command1_Click();
        QCOMPARE(audio->takeCalls(), row.stopCalls);
        QVERIFY(!engine->sound().SoundPlaying() && !engine->flashing());
        QCOMPARE(small.startColor, row.options.ButtonColor);
    }

    // A wake alarm's sound, the snooze that stops it, and the same alarm ten minutes later. The machine
    // slept over midnight and past the wake time, then past the snooze's: each rings at the tick after.
    void wakeAlarmSnoozes()
    {
        engine->setOptions(Options{.WakeMode = true,
                                   .SoundOn = true,
                                   .UseBuiltIn = false,
                                   .LoopSound = true,
                                   .SoundFile = QStringLiteral("a.mp3")});
        QSignalSpy message(engine.get(), &Engine::alarmMessageNeeded);
        enter("11:55:a");
        at(QTime(23, 0), -1);
        engine->Command1_Click();
        at(QTime(23, 1), -1);
        engine->Timer3_Timer();
        QCOMPARE(small.captionText, QString("Stop"));
        audio->takeCalls();
        at(QTime(11, 57));
        engine->Timer3_Timer();
        QCOMPARE(message.count(), 0);
        QCOMPARE(small.captionText, QString("Snooze"));
        QCOMPARE(big.captionText, QString("Snooze"));
        QVERIFY(engine->sound().SoundPlaying());
        QCOMPARE(audio->takeCalls(), kMp3Opened);
        for (int i = 0; i < 10; ++i)
            engine->Timer1_Timer();
        QCOMPARE(big.startColor, Options{}.ButtonColor);
        engine->Command1_Click();
        QCOMPARE(audio->takeCalls(), (QStringList{"stopWave", "closeDevice"}));
        QVERIFY(!engine->sound().SoundPlaying());
        QCOMPARE(big.time(), QString("12:05:p"));
        at(QTime(12, 8));
        engine->Timer3_Timer();
        QCOMPARE(small.captionText, QString("Snooze"));
    }

    // What each step leaves a user able to press and type, on both windows.
    void controlsAfterEachStep()
    {
        const QStringList all{"Start", "Reset", "Options", "Help", "Tray", "About", "Presets"};
        const QStringList whileRunning{"Start", "Tray", "Presets"};
        withOptions(*engine, [](Options& o) { o.LoopSound = true; });
        enter("00:00:01");
        expectControls("idle", {.caption = "Start", .enabled = all, .locked = false, .spinners = true});
        engine->Command1_Click();
        expectControls("started",
                       {.caption = "Stop", .enabled = whileRunning, .locked = true, .spinners = true});
        engine->FieldClicked(small, TimeField::Seconds); // a click empties a field only while nothing runs
        QCOMPARE(small.time(), QString("00:00:01"));
        engine->Command1_Click();
        expectControls("stopped", {.caption = "Start", .enabled = all, .locked = false, .spinners = true});
        engine->Command1_Click();
        engine->sec_Timer();
        expectControls("ringing",
                       {.caption = "Alarm Off", .enabled = whileRunning, .locked = true, .spinners = true});
        engine->Command1_Click();
        // The countdown ran out: nothing is left to start.
        expectControls("alarm off", {.caption = "Start",
                                     .enabled = {"Reset", "Options", "Help", "Tray", "About", "Presets"},
                                     .locked = false,
                                     .spinners = true});
        withOptions(*engine, [](Options& o) { o.StopwatchMode = true; });
        engine->updateWatch();
        engine->Command1_Click();
        expectControls("stopwatch running",
                       {.caption = "Stop", .enabled = {"Start", "Tray"}, .locked = true, .spinners = false});
    }

    void fieldEdits_data() { addRows(kFieldEdits); }
    void fieldEdits()
    {
        QFETCH(FieldEdit, row);
        withOptions(*engine, [&](Options& o) { o.WakeMode = row.wake; });
        engine->applyModeToFields();
        engine->FieldGotFocus(small, row.field);
        small.setFieldText(row.field, row.typed);
        engine->FieldLostFocus(small, row.field);
        QCOMPARE(small.texts[int(row.field)], QString(row.shown));
        QCOMPARE(big.texts[int(row.field)], QString(row.shown));
        QVERIFY(!engine->fieldHasFocus());
        QCOMPARE(small.values[int(row.field)], row.spinner);
    }

    void modeSwitchAtNineInTheEvening()
    {
        at(QTime(21, 5));
        const std::tuple<bool, const char*, std::array<int, 3>, std::array<int, 3>> steps[] = {
            {true, "09:05:p", {1, 0, 0}, {12, 59, 99}}, {false, "00:00:00", {0, 0, 0}, {99, 99, 99}}};
        for (const auto& [wake, shown, minimums, maximums] : steps) {
            withOptions(*engine, [&](Options& o) { o.WakeMode = wake; });
            engine->applyModeToFields();
            QCOMPARE(small.time(), QString(shown));
            QCOMPARE(big.time(), QString(shown));
            QCOMPARE(big.minimums, minimums);
            QCOMPARE(big.maximums, maximums);
            for (const TimeField f : kAllFields) // a or p in the third field in Wake Mode, digits elsewhere
                QCOMPARE(engine->filterKey(f, 'p') != 0, wake && f == TimeField::Seconds);
        }
    }

    void keyFilters()
    {
        const auto filtered = [](void (*filter)(int&), int c) { return filter(c), c; };
        for (int c = 0; c < 128; ++c) {
            QCOMPARE(filtered(FilterDigitKey, c), (c >= '0' && c <= '9') || c == 8 ? c : 0);
            QCOMPARE(filtered(FilterAmPmKey, c), c == 'a' || c == 'p' || c == 8 ? c : 0);
        }
    }
};

QTEST_GUILESS_MAIN(EngineTest)
#include "tst_engine.moc"
