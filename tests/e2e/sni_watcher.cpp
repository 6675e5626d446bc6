// A notification area on D-Bus for the end-to-end tests: the StatusNotifierWatcher service with
// a host of its own, on whatever session bus DBUS_SESSION_BUS_ADDRESS names. It prints a line
// per event on standard output:
//   ready                    the service is up
//   registered SERVICE       an item registered (SERVICE is its bus name)
//   unregistered SERVICE     that item's bus name went away
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QObject>
#include <QStringList>
#include <cstdio>

class Watcher : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ RegisteredStatusNotifierItems)
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ IsStatusNotifierHostRegistered)
    Q_PROPERTY(int ProtocolVersion READ ProtocolVersion)

public:
    explicit Watcher(const QDBusConnection& bus)
        : Gone(QString(), bus, QDBusServiceWatcher::WatchForUnregistration) {
        connect(&Gone, &QDBusServiceWatcher::serviceUnregistered, this, [this](const QString& s) {
            if (Items.removeAll(s) > 0) {
                Say("unregistered", s);
                emit StatusNotifierItemUnregistered(s);
            }
            Gone.removeWatchedService(s);
        });
    }

    QStringList RegisteredStatusNotifierItems() const { return Items; }
    bool IsStatusNotifierHostRegistered() const { return true; }
    int ProtocolVersion() const { return 0; }

public slots:
    void RegisterStatusNotifierItem(const QString& service) {
        // A path instead of a name means the caller's own name with that path.
        const QString name = service.startsWith(u'/') ? message().service() : service;
        if (Items.contains(name)) return;
        Items.append(name);
        Gone.addWatchedService(name);
        Say("registered", name);
        emit StatusNotifierItemRegistered(name);
    }
    void RegisterStatusNotifierHost(const QString&) {}

signals:
    void StatusNotifierItemRegistered(const QString& service);
    void StatusNotifierItemUnregistered(const QString& service);
    void StatusNotifierHostRegistered();

private:
    static void Say(const char* what, const QString& service) {
        std::printf("%s %s\n", what, qPrintable(service));
        std::fflush(stdout);
    }

    QStringList Items;
    QDBusServiceWatcher Gone;
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        std::fprintf(stderr, "sni_watcher: no session bus\n");
        return 1;
    }
    Watcher watcher(bus);
    if (!bus.registerObject(QStringLiteral("/StatusNotifierWatcher"), &watcher,
                            QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals |
                                QDBusConnection::ExportAllProperties) ||
        !bus.registerService(QStringLiteral("org.kde.StatusNotifierWatcher"))) {
        std::fprintf(stderr, "sni_watcher: cannot take the watcher's name\n");
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    return app.exec();
}

#include "sni_watcher.moc"
