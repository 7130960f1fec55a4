// A StatusNotifierItem host for the tests, on the session bus it is given:
// owns the watcher's name, takes items' registrations and activates the last
// item when told. Writes "bus <address>" once, then "registered <service>"
// per item; reads "activate" and "quit" lines.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusMessage>
#include <QSocketNotifier>
#include <QStringList>
#include <cstdio>
#include <unistd.h>

class Watcher : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ items)
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ hostRegistered)
    Q_PROPERTY(int ProtocolVersion READ protocolVersion)
public:
    QStringList items() const { return m_items; }
    bool hostRegistered() const { return true; }
    int protocolVersion() const { return 0; }
    void activateLast() {
        if (m_items.isEmpty())
            return;
        const QString item = m_items.last();
        const qsizetype slash = item.indexOf(u'/');
        QDBusInterface(item.left(slash), item.mid(slash), "org.kde.StatusNotifierItem")
            .asyncCall("Activate", 0, 0);
    }

public slots:
    void RegisterStatusNotifierItem(const QString &service, const QDBusMessage &message) {
        // A path alone names an object of the caller.
        const QString item = service.startsWith(u'/') ? message.service() + service
                                                      : service + "/StatusNotifierItem";
        m_items << item;
        std::printf("registered %s\n", qPrintable(item));
        std::fflush(stdout);
        emit StatusNotifierItemRegistered(item);
    }
    void RegisterStatusNotifierHost(const QString &) {}

signals:
    void StatusNotifierItemRegistered(const QString &service);
    void StatusNotifierHostRegistered();

private:
    QStringList m_items;
};

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    Watcher watcher;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.registerObject("/StatusNotifierWatcher", &watcher,
                            QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals |
                                QDBusConnection::ExportAllProperties) ||
        !bus.registerService("org.kde.StatusNotifierWatcher"))
        return std::fprintf(stderr, "snihost: no session bus\n"), 1;
    std::printf("bus %s\n", qgetenv("DBUS_SESSION_BUS_ADDRESS").constData());
    std::fflush(stdout);
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char line[64] = {};
        const ssize_t n = ::read(STDIN_FILENO, line, sizeof line - 1);
        if (n <= 0 || QByteArray(line).startsWith("quit"))
            app.quit();
        else if (QByteArray(line).startsWith("activate"))
            watcher.activateLast();
    });
    return app.exec();
}

#include "snihost.moc"
