#pragma once
// DBusService: the running Zentimo on the session bus, under its reverse-DNS id. Methods carry out the
// actions of the command line; read-only properties show the mode, whether it runs, the three field texts
// and whether the alarm rings, and org.freedesktop.DBus.Properties.PropertiesChanged tells when they change.

#include "engine/TimeText.h"

#include <QDBusContext>
#include <QObject>

namespace zentimo {

class Actions;
class Engine;

inline const QString kBusName = QStringLiteral("example.fernwick.Zentimo");
inline const QString kBusPath = QStringLiteral("/example/fernwick/Zentimo");
inline const QString kBusInterface = QStringLiteral("example.fernwick.Zentimo");
inline const QString kRefusedError = QStringLiteral("example.fernwick.Zentimo.Error.Refused");

class DBusService : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "example.fernwick.Zentimo")
    // Written out so that the arguments have names.
    Q_CLASSINFO("D-Bus Introspection",
                "  <interface name=\"example.fernwick.Zentimo\">\n"
                "    <method name=\"Countdown\"><arg name=\"time\" type=\"s\" direction=\"in\"/></method>\n"
                "    <method name=\"Wake\"><arg name=\"time\" type=\"s\" direction=\"in\"/></method>\n"
                "    <method name=\"Stopwatch\"/>\n"
                "    <method name=\"Start\"/>\n"
                "    <method name=\"Stop\"/>\n"
                "    <method name=\"Tray\"/>\n"
                "    <method name=\"Status\"><arg name=\"status\" type=\"s\" direction=\"out\"/></method>\n"
                "    <property name=\"Mode\" type=\"s\" access=\"read\"/>\n"
                "    <property name=\"Running\" type=\"b\" access=\"read\"/>\n"
                "    <property name=\"Hours\" type=\"s\" access=\"read\"/>\n"
                "    <property name=\"Minutes\" type=\"s\" access=\"read\"/>\n"
                "    <property name=\"Seconds\" type=\"s\" access=\"read\"/>\n"
                "    <property name=\"AlarmRinging\" type=\"b\" access=\"read\"/>\n"
                "  </interface>\n")
    Q_PROPERTY(QString Mode READ mode)
    Q_PROPERTY(bool Running READ running)
    Q_PROPERTY(QString Hours READ hours)
    Q_PROPERTY(QString Minutes READ minutes)
    Q_PROPERTY(QString Seconds READ seconds)
    Q_PROPERTY(bool AlarmRinging READ alarmRinging)
public:
    DBusService(Actions& actions, Engine& engine, QObject* parent = nullptr);

    // Offers the interface and takes the bus name. False without a session bus, or when another copy has
    // the name: this one then runs as before, unseen on the bus.
    bool registerOnBus();

    QString mode() const;
    bool running() const;
    QString hours() const;
    QString minutes() const;
    QString seconds() const;
    bool alarmRinging() const;

    bool event(QEvent* event) override;

public Q_SLOTS:
    Q_SCRIPTABLE void Countdown(const QString& time);
    Q_SCRIPTABLE void Wake(const QString& time);
    Q_SCRIPTABLE void Stopwatch();
    Q_SCRIPTABLE void Start();
    Q_SCRIPTABLE void Stop();
    Q_SCRIPTABLE void Tray();
    Q_SCRIPTABLE QString Status();

private:
    struct Shown {
        QString mode;
        bool running = false;
        FieldTexts fields;
        bool alarmRinging = false;
    };
    Shown shown() const;
    QString perform(const QString& method, const QString& argument = {});
    void engineChanged();
    void announce();

    Actions& m_actions;
    bool m_registered = false;
    bool m_announcePending = false;
    bool m_answerQueued = false;
    QObject m_poster;
    Shown m_last;
};

} // namespace zentimo
