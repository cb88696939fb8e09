#include "app/CommandLine.h"

#include "engine/Version.h"

#include <QCommandLineParser>
#include <QRegularExpression>
#include <utility>

namespace zentimo {

namespace {

constexpr int kLongestCountdown = 99 * 3600 + 59 * 60 + 59;

CommandLine refused(const QString& message)
{
    CommandLine result;
    result.exitCode = 2;
    result.error = QStringLiteral("zentimo: ") + message;
    return result;
}

// Qt's own options (-platform xcb, -style ...) are for the application object; they ask nothing of us.
void addQtOptions(QCommandLineParser& parser)
{
    for (const char* name : {"platform", "platformpluginpath", "platformtheme", "plugin", "style",
                             "stylesheet", "display", "geometry", "qwindowgeometry", "qwindowicon",
                             "qwindowtitle", "title", "name", "session", "widgetcount", "dialogs"}) {
        QCommandLineOption option(QString::fromLatin1(name), QString(), QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    for (const char* name : {"reverse", "sync", "nograb", "dograb"}) {
        QCommandLineOption option(QString::fromLatin1(name));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
}

// The options a start may give, besides help and version.
struct Given {
    QCommandLineOption countdown{
        QStringLiteral("countdown"),
        QStringLiteral("Countdown Mode with this time: 90 (seconds), 5m, 1h30m or 01:30:00."),
        QStringLiteral("TIME")};
    QCommandLineOption wake{QStringLiteral("wake"),
                            QStringLiteral("Wake Mode at this time of day: 07:30a, 7:30pm or 19:30."),
                            QStringLiteral("TIME")};
    QCommandLineOption stopwatch{QStringLiteral("stopwatch"), QStringLiteral("Stopwatch Mode, at 00:00:00.")};
    QCommandLineOption start{QStringLiteral("start"), QStringLiteral("Start, as the Start button does.")};
    QCommandLineOption stop{QStringLiteral("stop"),
                            QStringLiteral("What the Start/Stop button does while it does not read Start: "
                                           "stop, turn the alarm off, or snooze.")};
    QCommandLineOption tray{QStringLiteral("tray"),
                            QStringLiteral("Hide the window behind its notification-area icon.")};
    QCommandLineOption status{
        QStringLiteral("status"),
        QStringLiteral(
            "Print the mode, the state (stopped, running or alarm) and the time shown on one line.")};
};

void describe(QCommandLineParser& parser, const Given& given)
{
    parser.setApplicationDescription(
        QStringLiteral("Countdown timer, wake alarm and stopwatch.\n\n"
                       "With options, a Zentimo already running carries them out and this one ends\n"
                       "with its answer; with none running, Zentimo starts and carries them out itself.\n"
                       "They never change the settings."));
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOptions(
        {given.countdown, given.wake, given.stopwatch, given.start, given.stop, given.tray, given.status});
    addQtOptions(parser);
}

// Help or version: printed, and this start ends.
CommandLine answered(const QString& output)
{
    CommandLine result;
    result.exitCode = 0;
    result.output = output;
    return result;
}

// In the order they are carried out, whatever the order given.
CommandLine stepsOf(const QCommandLineParser& parser, const Given& given)
{
    CommandLine result;
    if (parser.isSet(given.stop))
        result.steps.append({QStringLiteral("Stop"), {}});
    if (parser.isSet(given.countdown)) {
        const QString value = parser.value(given.countdown);
        const auto time = countdownTime(value);
        if (!time)
            return refused(QStringLiteral("--countdown %1: not a time the fields can hold; %2.")
                               .arg(value, kCountdownForms));
        result.steps.append({QStringLiteral("Countdown"), time});
    }
    if (parser.isSet(given.wake)) {
        const QString value = parser.value(given.wake);
        const auto time = wakeTime(value);
        if (!time)
            return refused(QStringLiteral("--wake %1: not a time of day; %2.").arg(value, kWakeForms));
        result.steps.append({QStringLiteral("Wake"), time});
    }
    const std::pair<const QCommandLineOption*, const char*> plain[] = {{&given.stopwatch, "Stopwatch"},
                                                                       {&given.start, "Start"},
                                                                       {&given.tray, "Tray"},
                                                                       {&given.status, "Status"}};
    for (const auto& [option, method] : plain) {
        if (parser.isSet(*option))
            result.steps.append({QString::fromLatin1(method), {}});
    }
    return result;
}

} // namespace

std::optional<FieldTexts> countdownTime(const QString& text)
{
    const QString t = text.trimmed();
    static const QRegularExpression clock(QStringLiteral("^([0-9]{1,2}):([0-9]{1,2}):([0-9]{1,2})$"));
    if (const auto m = clock.match(t); m.hasMatch())
        return FieldTexts{twoDigits(m.captured(1).toInt()), twoDigits(m.captured(2).toInt()),
                          twoDigits(m.captured(3).toInt())};

    // A bare number is seconds; with units each part may be given once, in the order h, m, s.
    static const QRegularExpression units(
        QStringLiteral("^(?:([0-9]{1,6})h)?(?:([0-9]{1,6})m)?(?:([0-9]{1,6})s)?$|^([0-9]{1,6})$"),
        QRegularExpression::CaseInsensitiveOption);
    const auto m = units.match(t);
    if (t.isEmpty() || !m.hasMatch())
        return std::nullopt;
    const int seconds = m.captured(1).toInt() * 3600 + m.captured(2).toInt() * 60 + m.captured(3).toInt() +
                        m.captured(4).toInt();
    if (seconds > kLongestCountdown)
        return std::nullopt;
    return FieldTexts{twoDigits(seconds / 3600), twoDigits(seconds % 3600 / 60), twoDigits(seconds % 60)};
}

std::optional<FieldTexts> wakeTime(const QString& text)
{
    static const QRegularExpression form(QStringLiteral("^([0-9]{1,2}):([0-9]{2}) ?(?:([ap])m?)?$"),
                                         QRegularExpression::CaseInsensitiveOption);
    const auto m = form.match(text.trimmed());
    if (!m.hasMatch())
        return std::nullopt;
    const QString letter = m.captured(3).toLower();
    if (letter.isEmpty()) {
        const QTime time(m.captured(1).toInt(), m.captured(2).toInt());
        return time.isValid() ? std::optional(wakeFields(time)) : std::nullopt;
    }
    const FieldTexts wake{twoDigits(m.captured(1).toInt()), m.captured(2), letter};
    if (!wakeTimeOfDay(wake).isValid())
        return std::nullopt;
    return wake;
}

QString Step::argument() const
{
    if (!time)
        return {};
    return method == QLatin1String("Wake") ? wakeText(*time) : clockText(*time);
}

CommandLine parseCommandLine(const QStringList& arguments)
{
    QCommandLineParser parser;
    const Given given;
    describe(parser, given);
    if (!parser.parse(arguments))
        return refused(parser.errorText() + QStringLiteral(" See zentimo --help."));
    if (parser.isSet(QStringLiteral("help")) || parser.isSet(QStringLiteral("help-all")))
        return answered(parser.helpText());
    if (parser.isSet(QStringLiteral("version")))
        return answered(QStringLiteral("zentimo ") + QLatin1String(kVersion) + QLatin1Char('\n'));
    if (!parser.positionalArguments().isEmpty())
        return refused(QStringLiteral("unexpected argument '%1'. See zentimo --help.")
                           .arg(parser.positionalArguments().constFirst()));
    if (int(parser.isSet(given.countdown)) + int(parser.isSet(given.wake)) +
            int(parser.isSet(given.stopwatch)) >
        1)
        return refused(QStringLiteral("choose one of --countdown, --wake and --stopwatch."));
    return stepsOf(parser, given);
}

} // namespace zentimo
