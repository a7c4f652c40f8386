#include "filemanager.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QFileInfo>
#include <QObject>
#include <QUrl>

namespace {

const QString Service = QStringLiteral("org.freedesktop.FileManager1");
const QString Path = QStringLiteral("/org/freedesktop/FileManager1");
// A file manager the bus starts on demand may take a while to come up; one
// that never answers must not leave the click without any result.
constexpr int AnswerMilliseconds = 10000;

bool fileManagerOnBus(const QDBusConnection& bus)
{
    if (!bus.isConnected() || !bus.interface())
        return false;
    if (bus.interface()->isServiceRegistered(Service).value())
        return true;
    return bus.interface()->activatableServiceNames().value().contains(Service);
}

} // namespace

namespace FileManager {

void showItem(const QString& file, QObject* context, std::function<void()> fallback)
{
    // Asking to select what is not there would open a folder with nothing
    // selected, or none at all; the fallback says why.
    const QDBusConnection bus = QDBusConnection::sessionBus();
    if (!QFileInfo::exists(file) || !fileManagerOnBus(bus)) {
        fallback();
        return;
    }
    QDBusMessage call =
        QDBusMessage::createMethodCall(Service, Path, Service, QStringLiteral("ShowItems"));
    // A URI as the interface asks for it: a space or a "#" of the name escaped.
    call << QStringList{QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath())
                            .toString(QUrl::FullyEncoded)}
         << QString();
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, AnswerMilliseconds), context);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, context,
                     [watcher, fallback = std::move(fallback)] {
                         watcher->deleteLater();
                         if (watcher->isError())
                             fallback();
                     });
}

} // namespace FileManager
