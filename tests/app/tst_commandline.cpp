#include "app/CommandLine.h"
#include "engine/Version.h"
#include "platform/SessionPlatform.h"

#include <QTest>

using namespace zentimo;

// The variables that tell which display servers a session has; empty is unset.
struct Session {
    const char* waylandDisplay = "";
    const char* sessionType = "";
    const char* display = "";
    const char* qpaPlatform = "";
};
Q_DECLARE_METATYPE(Session)

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
        row("hours and minutes", {"--countdown=1h30m"}, {"Countdown 01:30:00"});
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

    // A refusal is one line, and a refused time names the forms that would do.
    void refused_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("named"); // a form of time the message offers
        const auto row = [](const char* name, const QStringList& arguments, const char* named) {
            QTest::newRow(name) << arguments << QString(named);
        };
        row("over the longest by a second", {"--countdown", "360000"}, "1h30m");
        row("a part over 99", {"--countdown", "00:100:00"}, "1h30m");
        row("two parts", {"--countdown", "1:30"}, "1h30m");
        row("units out of order", {"--countdown", "5s1m"}, "1h30m");
        row("no value", {"--countdown"}, "");
        row("13 with a letter", {"--wake", "13:00p"}, "07:30a");
        row("minute 60", {"--wake", "7:60"}, "07:30a");
        row("other letter", {"--wake", "07:30x"}, "07:30a");
        row("two modes", {"--countdown", "5m", "--wake", "7:30"}, "");
        row("unknown option", {"--snooze"}, "");
        row("stray argument", {"5m"}, "");
    }
    void refused()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, named);
        const CommandLine line = parseCommandLine(QStringList{"zentimo"} + arguments);
        QCOMPARE(line.exitCode, 2);
        QVERIFY(line.steps.isEmpty());
        QVERIFY(!line.error.trimmed().contains(QLatin1Char('\n')));
        QVERIFY2(line.error.contains(named), qPrintable(line.error));
    }

    void helpAndVersionAnswerAndEnd_data()
    {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("begins");
        QTest::newRow("help") << "--help"
                              << "Usage:";
        QTest::newRow("version") << "--version" << QStringLiteral("zentimo %1\n").arg(kVersion);
    }
    void helpAndVersionAnswerAndEnd()
    {
        QFETCH(QString, option);
        const CommandLine line = parseCommandLine({"zentimo", option});
        QCOMPARE(line.exitCode, 0);
        QVERIFY(line.steps.isEmpty());
        QFETCH(QString, begins);
        QVERIFY2(line.output.startsWith(begins), qPrintable(line.output));
    }

    // X is asked for first only on a Wayland session that also has an X server, and never over the user's
    // choice.
    void platform_data()
    {
        QTest::addColumn<Session>("session");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("passedOn"); // to Qt, after the program's name
        const QStringList xFirst{"-platform", "xcb;wayland"};
        const Session both{.waylandDisplay = "wayland-0", .display = ":0"};
        QTest::newRow("wayland with X") << both << QStringList{"--countdown", "5"}
                                        << QStringList{"--countdown", "5", "-platform", "xcb;wayland"};
        QTest::newRow("session type says wayland")
            << Session{.sessionType = "wayland", .display = ":0"} << QStringList{} << xFirst;
        QTest::newRow("wayland without X")
            << Session{.waylandDisplay = "wayland-0"} << QStringList{} << QStringList{};
        QTest::newRow("plain X") << Session{.sessionType = "x11", .display = ":0"} << QStringList{}
                                 << QStringList{};
        QTest::newRow("chosen by variable")
            << Session{.waylandDisplay = "wayland-0", .display = ":0", .qpaPlatform = "wayland"}
            << QStringList{} << QStringList{};
        QTest::newRow("chosen by -platform")
            << both << QStringList{"-platform", "wayland"} << QStringList{"-platform", "wayland"};
        QTest::newRow("chosen by --platform")
            << both << QStringList{"--countdown", "5", "--platform", "wayland"}
            << QStringList{"--countdown", "5", "--platform", "wayland"};
    }

    void platform()
    {
        QFETCH(Session, session);
        QFETCH(QStringList, arguments);
        const std::pair<const char*, const char*> variables[] = {{"WAYLAND_DISPLAY", session.waylandDisplay},
                                                                 {"XDG_SESSION_TYPE", session.sessionType},
                                                                 {"DISPLAY", session.display},
                                                                 {"QT_QPA_PLATFORM", session.qpaPlatform}};
        for (const auto& [name, value] : variables)
            *value ? qputenv(name, value) : qunsetenv(name);
        const QStringList given = QStringList{"zentimo"} + arguments;
        std::vector<QByteArray> bytes;
        bytes.reserve(given.size()); // argv points into it
        std::vector<char*> argv;
        for (const QString& a : given)
            argv.push_back(bytes.emplace_back(a.toLocal8Bit()).data());

        SessionPlatform platform(int(argv.size()), argv.data());
        QCOMPARE(platform.argv()[platform.argc()], nullptr);
        const QStringList got(platform.argv() + 1, platform.argv() + platform.argc());
        QTEST(got, "passedOn");
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
