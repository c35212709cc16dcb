#include "ui/desktop_properties.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QStringList>
#include <QUrl>

namespace kestrel::ui {
namespace {

constexpr int kReplyMilliseconds = 3000;

}  // namespace

bool ShowDesktopProperties(const QString& hostPath) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || bus.interface() == nullptr) {
        return false;
    }
    const QString service = QStringLiteral("org.freedesktop.FileManager1");
    // A file manager that is not running may still be started by the bus.
    if (!bus.interface()->isServiceRegistered(service).value() &&
        !bus.interface()->activatableServiceNames().value().contains(service)) {
        return false;
    }
    QDBusMessage call =
        QDBusMessage::createMethodCall(service, QStringLiteral("/org/freedesktop/FileManager1"),
                                       service, QStringLiteral("ShowItemProperties"));
    call << QStringList{QUrl::fromLocalFile(hostPath).toString()} << QString();
    return bus.call(call, QDBus::Block, kReplyMilliseconds).type() == QDBusMessage::ReplyMessage;
}

}  // namespace kestrel::ui
