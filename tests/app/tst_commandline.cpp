#include "app/CommandLine.h"

#include <QTest>

using namespace zentimo;

class TestCommandLine : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // What a start asks for: each step as "Method argument".
    void accepted_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("steps");
        const auto row = [](const char* name, const QStringList& arguments, const QStringList& steps) {
            QTest::newRow(name) << arguments << steps;
        };
        row("no options", {}, {});
        row("Qt's own options ask nothing", {"-platform", "xcb", "-style", "Fusion"}, {});
        row("the longest, in bare seconds", {"--countdown", "359999"}, {"Countdown 99:59:59"});
        row("hours, minutes and seconds", {"--countdown=1h30m10s"}, {"Countdown 01:30:10"});
        row("clock form as the fields take it", {"--countdown", "1:99:5"}, {"Countdown 01:99:05"});
        row("12-hour", {"--wake", "07:30a"}, {"Wake 07:30a"});
        row("12-hour with space and pm", {"--wake", "7:30 PM"}, {"Wake 07:30p"});
        row("24-hour noon", {"--wake", "12:30"}, {"Wake 12:30p"});
        row("24-hour midnight", {"--wake", "0:05"}, {"Wake 12:05a"});
        row("stopwatch", {"--stopwatch"}, {"Stopwatch"});
        row("steps in their own order", {"--status", "--tray", "--start", "--countdown", "25m", "--stop"},
            {"Stop", "Countdown 00:25:00", "Start", "Tray", "Status"});
    }
    void accepted()
    {
        QFETCH(QStringList, arguments);
        const CommandLine line = parseCommandLine(QStringList{"zentimo"} + arguments);
        QCOMPARE(line.exitCode, std::nullopt);
        QStringList got;
        for (const Step& step : line.steps)
            got << (step.method + QLatin1Char(' ') + step.argument()).trimmed();
        QTEST(got, "steps");
    }

    // A start that ends at once: help or version with status 0, or a refusal with 2, in one line that names
    // the forms of time that would do.
    void endsAtOnce_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("named"); // in what the start prints
        QTest::newRow("help") << QStringList{"--help"} << 0 << "--countdown";
        QTest::newRow("help with Qt's options") << QStringList{"--help-all"} << 0 << "--countdown";
        QTest::newRow("version") << QStringList{"--version"} << 0 << "zentimo ";
        QTest::newRow("over the longest by a second") << QStringList{"--countdown", "360000"} << 2 << "1h30m";
        QTest::newRow("13 with a letter") << QStringList{"--wake", "13:00p"} << 2 << "07:30a";
        QTest::newRow("two modes") << QStringList{"--countdown", "5m", "--wake", "7:30"} << 2 << "--wake";
        QTest::newRow("unknown option") << QStringList{"--snooze"} << 2 << "'snooze'";
    }
    void endsAtOnce()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, named);
        const CommandLine line = parseCommandLine(QStringList{"zentimo"} + arguments);
        QTEST(line.exitCode.value_or(-1), "exitCode");
        QVERIFY(line.steps.isEmpty() && !line.error.trimmed().contains(QLatin1Char('\n')));
        QVERIFY2((line.output + line.error).contains(named), qPrintable(line.error));
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
