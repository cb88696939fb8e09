// The command line: which forms of a time are taken, what is refused, the steps a start asks for, and which
// of Qt's platforms a session gets.

#include "app/CommandLine.h"
#include "app/SessionPlatform.h"

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
        row("negative", {"--countdown", "-5"}, 2, "");
        row("no value", {"--countdown"}, 2, "");

        row("12-hour", {"--wake", "07:30a"}, -1, "Wake 07:30a");
        row("12-hour with space and pm", {"--wake", "7:30 PM"}, -1, "Wake 07:30p");
        row("24-hour noon", {"--wake", "12:30"}, -1, "Wake 12:30p");
        row("24-hour last hour", {"--wake", "23:30"}, -1, "Wake 11:30p");
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
            got << (step.argument.isEmpty() ? step.method : step.method + QLatin1Char(' ') + step.argument);
        QCOMPARE(got.join(QLatin1Char(';')), steps);
        // A refusal is one line, and a refused time names the forms that would do.
        if (exit == 2) {
            QVERIFY(line.steps.isEmpty());
            QVERIFY(!line.error.trimmed().contains(QLatin1Char('\n')));
            if (arguments.size() == 3 &&
                (arguments[1] == QLatin1String("--countdown") || arguments[1] == QLatin1String("--wake")))
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
        QTest::addColumn<QByteArrayList>("environment");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("xFirst");

        const QByteArrayList wayland{"WAYLAND_DISPLAY=wayland-0", "DISPLAY=:0"};
        QTest::newRow("wayland with X") << wayland << QStringList{"--countdown", "5"} << true;
        QTest::newRow("session type says wayland")
            << QByteArrayList{"XDG_SESSION_TYPE=wayland", "DISPLAY=:0"} << QStringList() << true;
        QTest::newRow("wayland without X")
            << QByteArrayList{"WAYLAND_DISPLAY=wayland-0"} << QStringList() << false;
        QTest::newRow("plain X") << QByteArrayList{"XDG_SESSION_TYPE=x11", "DISPLAY=:0"} << QStringList()
                                 << false;
        QTest::newRow("chosen by variable")
            << (wayland + QByteArrayList{"QT_QPA_PLATFORM=wayland"}) << QStringList() << false;
        QTest::newRow("chosen by -platform") << wayland << QStringList{"-platform", "wayland"} << false;
        QTest::newRow("chosen by --platform")
            << wayland << QStringList{"--countdown", "5", "--platform", "wayland"} << false;
    }

    void platform()
    {
        QFETCH(QByteArrayList, environment);
        QFETCH(QStringList, arguments);
        QFETCH(bool, xFirst);

        for (const char* name : {"WAYLAND_DISPLAY", "XDG_SESSION_TYPE", "DISPLAY", "QT_QPA_PLATFORM"})
            qunsetenv(name);
        for (const QByteArray& entry : environment) {
            const qsizetype eq = entry.indexOf('=');
            qputenv(entry.left(eq).constData(), entry.mid(eq + 1));
        }
        arguments.prepend(QStringLiteral("zentimo"));
        std::vector<QByteArray> bytes;
        std::vector<char*> argv;
        for (const QString& a : arguments)
            bytes.push_back(a.toLocal8Bit());
        for (QByteArray& b : bytes)
            argv.push_back(b.data());

        SessionPlatform platform(int(argv.size()), argv.data());
        QStringList got;
        for (int i = 0; i < platform.argc(); ++i)
            got << QString::fromLocal8Bit(platform.argv()[i]);
        QCOMPARE(platform.argv()[platform.argc()], nullptr);
        const QStringList asked{"-platform", "xcb;wayland"};
        QCOMPARE(got, xFirst ? arguments + asked : arguments);
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
