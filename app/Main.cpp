#include "app/Main.h"

#include "app/Actions.h"
#include "app/AlarmNotice.h"
#include "app/CommandLine.h"
#include "app/Controller.h"
#include "app/DBusService.h"
#include "engine/Engine.h"
#include "settings/Catalogue.h"
#include "sound/SoundPlayer.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QScopeGuard>
#include <QTextStream>
#include <QTimer>
#include <algorithm>

namespace zentimo {

namespace {
// Declared in the order they must be torn down in reverse.
struct Program {
    SoundPlayer sound;
    Engine engine{sound};
    Controller controller{engine};
    Actions actions{controller, engine};
    DBusService service{actions, engine};
    AlarmNotice notice{engine};
};

int refusalStatus(const QString& errorName)
{
    return errorName == QDBusError::errorString(QDBusError::InvalidArgs) ? 2 : 1;
}

// Help, version or a refusal.
int answerAtOnce(const CommandLine& line)
{
    QTextStream(stdout) << line.output;
    if (!line.error.isEmpty())
        QTextStream(stderr) << line.error << Qt::endl;
    return *line.exitCode;
}

// The steps, one call each, up to the first refusal; the exit status.
int callRunning(QDBusConnection& bus, const QList<Step>& steps)
{
    for (const Step& step : steps) {
        QDBusMessage call = QDBusMessage::createMethodCall(kBusName, kBusPath, kBusInterface, step.method);
        if (step.time)
            call << step.argument();
        const QDBusMessage reply = bus.call(call);
        if (reply.type() != QDBusMessage::ReplyMessage) {
            QTextStream(stderr) << "zentimo: " << reply.errorMessage() << Qt::endl;
            return refusalStatus(reply.errorName());
        }
        if (step.method == QLatin1String("Status") && !reply.arguments().isEmpty())
            QTextStream(stdout) << reply.arguments().constFirst().toString() << Qt::endl;
    }
    return 0;
}
// The steps of a start's own command line, up to the first refusal.
void carryOut(Actions& actions, const QList<Step>& steps)
{
    for (const Step& step : steps) {
        const Actions::Answer answer = actions.perform(step);
        if (answer.kind != Actions::Answer::Kind::Done) {
            QTextStream(stderr) << "zentimo: " << answer.text << Qt::endl;
            return;
        }
        if (!answer.text.isEmpty())
            QTextStream(stdout) << answer.text << Qt::endl;
    }
}
} // namespace

std::optional<int> handOver(int argc, char* argv[])
{
    if (argc < 2)
        return std::nullopt;
    int count = argc;
    // Enough of an application for the bus; the windows' application object comes later, if at all.
    QCoreApplication core(count, argv);
    const CommandLine line = parseCommandLine(QCoreApplication::arguments());
    if (line.exitCode)
        return answerAtOnce(line);
    if (line.steps.isEmpty())
        return std::nullopt;

    // A connection of its own, closed with this application object: the shared session connection, once made
    // here, would stay bound to it, and the program started after it would never answer on the bus.
    const QString connectionName = QStringLiteral("zentimo-hand-over");
    const auto closer = qScopeGuard([&] { QDBusConnection::disconnectFromBus(connectionName); });
    QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, connectionName);
    if (!bus.isConnected() || !bus.interface() || !bus.interface()->isServiceRegistered(kBusName).value()) {
        // A status is a question about a copy that runs: starting one just to answer it helps nobody.
        if (line.onlyStatus()) {
            QTextStream(stderr) << "zentimo: no Zentimo is running" << Qt::endl;
            return 3;
        }
        return std::nullopt;
    }
    const int status = callRunning(bus, line.steps);
    // Qt's bus thread queues a notice of each error reply for the connection's bus object, after the caller
    // has its reply. Left queued, the notice is destroyed at exit after Qt's type registry, with a warning.
    // The bus thread is done with the error once it has answered a later call.
    bus.call(QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus.Peer"), QStringLiteral("Ping")));
    QCoreApplication::sendPostedEvents();
    return status;
}

void Main()
{
    // Refusals were answered before the windows' application object was made.
    const CommandLine line = parseCommandLine(QCoreApplication::arguments());
    auto* program = new Program;
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, [program] { delete program; });
    bool ok = false;
    // A stored size that is not a whole number reads as the small window.
    const int size =
        program->controller.settings()
            .GetSetting(Catalogue::kSection, Catalogue::keyName(OptionKey::Size), QStringLiteral("0"))
            .trimmed()
            .toInt(&ok);
    if (line.steps.isEmpty()) {
        program->controller.size(ok ? size : 0);
    } else {
        // Options never write the settings, the window choice included; --tray goes there without a window.
        const bool toTray = std::any_of(line.steps.begin(), line.steps.end(),
                                        [](const Step& s) { return s.method == QLatin1String("Tray"); });
        program->controller.show(Controller::windowNumbered(ok ? size : 0), !toTray);
        carryOut(program->actions, line.steps);
    }
    // Once the window is on its way: the bus round trips need not delay it.
    QTimer::singleShot(0, qApp, [program] { program->service.registerOnBus(); });
}

} // namespace zentimo
