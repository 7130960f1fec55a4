// A StatusNotifierItem host for the tests: owns the watcher's name on the
// session bus and activates the item that registered last when told. Writes
// "bus <address>", then "registered <item>"; reads "activate" and "quit".
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusMessage>
#include <QSocketNotifier>
#include <cstdio>
#include <unistd.h>

class Watcher : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems MEMBER m_items)
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ yes)
    Q_PROPERTY(int ProtocolVersion MEMBER m_version)
public:
    bool yes() const { return true; }
    void activateLast() {
        const QString item = m_items.value(m_items.size() - 1);
        QDBusInterface(item.section(u'/', 0, 0), u'/' + item.section(u'/', 1),
                       "org.kde.StatusNotifierItem")
            .asyncCall("Activate", 0, 0);
    }
public slots:
    void RegisterStatusNotifierItem(const QString &service, const QDBusMessage &message) {
        // A path alone names an object of the caller.
        m_items << (service.startsWith(u'/') ? message.service() + service
                                             : service + "/StatusNotifierItem");
        std::printf("registered %s\n", qPrintable(m_items.last()));
        std::fflush(stdout);
    }
    void RegisterStatusNotifierHost(const QString &) {}
signals:
    void StatusNotifierItemRegistered(const QString &service);
    void StatusNotifierHostRegistered();

private:
    QStringList m_items;
    int m_version = 0;
};

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    Watcher watcher;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.registerObject("/StatusNotifierWatcher", &watcher,
                            QDBusConnection::ExportAllContents) ||
        !bus.registerService("org.kde.StatusNotifierWatcher"))
        return std::fprintf(stderr, "snihost: no session bus\n"), 1;
    std::printf("bus %s\n", qgetenv("DBUS_SESSION_BUS_ADDRESS").constData());
    std::fflush(stdout);
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char line[64] = {};
        if (::read(STDIN_FILENO, line, sizeof line - 1) <= 0 || QByteArray(line).startsWith("quit"))
            app.quit();
        else
            watcher.activateLast();
    });
    return app.exec();
}

#include "snihost.moc"
