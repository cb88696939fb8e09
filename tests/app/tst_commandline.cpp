// The command line: which forms of a time are taken, what is refused, the steps a start asks for, and which
// of Qt's platforms a session gets.

#include "app/CommandLine.h"
#include "platform/SessionPlatform.h"

#include <QTest>

using namespace zentimo;

class TestCommandLine : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // steps: "Method argument" joined by ";"; exit -1 when the start goes on.
    void parse_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exit");
        QTest::addColumn<QString>("steps");

        const auto row = [](const char* name, QStringList args, int exit, const char* steps) {
            args.prepend(QStringLiteral("zentimo"));
            QTest::newRow(name) << args << exit << QString::fromLatin1(steps);
        };
        row("no options", {}, -1, "");
        row("Qt's own options ask nothing", {"-platform", "xcb", "-style", "Fusion"}, -1, "");
        row("help", {"--help"}, 0, "");
        row("version", {"--version"}, 0, "");

        row("the longest, in bare seconds", {"--countdown", "359999"}, -1, "Countdown 99:59:59");
        row("hours and minutes", {"--countdown=1h30m"}, -1, "Countdown 01:30:00");
        row("clock form as the fields take it", {"--countdown", "1:99:5"}, -1, "Countdown 01:99:05");
        row("over the longest by a second", {"--countdown", "360000"}, 2, "");
        row("a part over 99", {"--countdown", "00:100:00"}, 2, "");
        row("two parts", {"--countdown", "1:30"}, 2, "");
        row("units out of order", {"--countdown", "5s1m"}, 2, "");
        row("no value", {"--countdown"}, 2, "");

        row("12-hour", {"--wake", "07:30a"}, -1, "Wake 07:30a");
        row("12-hour with space and pm", {"--wake", "7:30 PM"}, -1, "Wake 07:30p");
        row("24-hour noon", {"--wake", "12:30"}, -1, "Wake 12:30p");
        row("24-hour midnight", {"--wake", "0:05"}, -1, "Wake 12:05a");
        row("13 with a letter", {"--wake", "13:00p"}, 2, "");
        row("minute 60", {"--wake", "7:60"}, 2, "");
        row("other letter", {"--wake", "07:30x"}, 2, "");

        row("stopwatch", {"--stopwatch"}, -1, "Stopwatch");
        row("steps in their own order", {"--status", "--tray", "--start", "--countdown", "25m", "--stop"}, -1,
            "Stop;Countdown 00:25:00;Start;Tray;Status");
        row("two modes", {"--countdown", "5m", "--wake", "7:30"}, 2, "");
        row("unknown option", {"--snooze"}, 2, "");
        row("stray argument", {"5m"}, 2, "");
    }

    void parse()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exit);
        QFETCH(QString, steps);

        const CommandLine line = parseCommandLine(arguments);
        QCOMPARE(line.exitCode.value_or(-1), exit);
        QStringList got;
        for (const Step& step : line.steps)
            got << (step.time ? step.method + QLatin1Char(' ') + step.argument() : step.method);
        QCOMPARE(got.join(QLatin1Char(';')), steps);
        // A refusal is one line, and a refused time names the forms that would do.
        if (exit == 2) {
            QVERIFY(line.steps.isEmpty());
            QVERIFY(!line.error.trimmed().contains(QLatin1Char('\n')));
            if (arguments.size() == 3)
                QVERIFY2(line.error.contains(QLatin1String("07:30a")) ||
                             line.error.contains(QLatin1String("1h30m")),
                         qPrintable(line.error));
        }
        if (exit == 0)
            QVERIFY(!line.output.isEmpty());
    }

    // X is asked for first only on a Wayland session that also has an X server, and never over the user's
    // choice.
    void platform_data()
    {
        QTest::addColumn<QString>("environment");
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<bool>("xFirst");
        const auto row = [](const char* name, const char* environment, const char* arguments, bool xFirst) {
            QTest::newRow(name) << QString(environment) << QString(arguments) << xFirst;
        };
        row("wayland with X", "WAYLAND_DISPLAY=wayland-0 DISPLAY=:0", "--countdown 5", true);
        row("session type says wayland", "XDG_SESSION_TYPE=wayland DISPLAY=:0", "", true);
        row("wayland without X", "WAYLAND_DISPLAY=wayland-0", "", false);
        row("plain X", "XDG_SESSION_TYPE=x11 DISPLAY=:0", "", false);
        row("chosen by variable", "WAYLAND_DISPLAY=wayland-0 DISPLAY=:0 QT_QPA_PLATFORM=wayland", "", false);
        row("chosen by -platform", "WAYLAND_DISPLAY=wayland-0 DISPLAY=:0", "-platform wayland", false);
        row("chosen by --platform", "WAYLAND_DISPLAY=wayland-0 DISPLAY=:0",
            "--countdown 5 --platform wayland", false);
    }

    void platform()
    {
        QFETCH(QString, environment);
        QFETCH(QString, arguments);
        QFETCH(bool, xFirst);
        for (const char* name : {"WAYLAND_DISPLAY", "XDG_SESSION_TYPE", "DISPLAY", "QT_QPA_PLATFORM"})
            qunsetenv(name);
        for (const QString& entry : environment.split(' ', Qt::SkipEmptyParts))
            qputenv(qPrintable(entry.section('=', 0, 0)), entry.section('=', 1).toLocal8Bit());
        const QStringList given = ("zentimo " + arguments).split(' ', Qt::SkipEmptyParts);
        std::vector<QByteArray> bytes;
        bytes.reserve(given.size()); // argv points into it
        std::vector<char*> argv;
        for (const QString& a : given)
            argv.push_back(bytes.emplace_back(a.toLocal8Bit()).data());

        SessionPlatform platform(int(argv.size()), argv.data());
        const QStringList got(platform.argv(), platform.argv() + platform.argc());
        QCOMPARE(platform.argv()[platform.argc()], nullptr);
        const QStringList xcb{"-platform", "xcb;wayland"};
        QCOMPARE(got, xFirst ? given + xcb : given);
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
