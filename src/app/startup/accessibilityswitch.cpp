#include "accessibilityswitch.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>

namespace AccessibilitySwitch {

namespace {

const char EngineSwitch[] = "QTWEBENGINE_ENABLE_LINUX_ACCESSIBILITY";

// A desktop without the service answers at once; a hung one must not hold
// up the start for long.
constexpr int ReplyTimeoutMs = 500;

bool statusProperty(const QDBusConnection& bus, const QString& name)
{
    QDBusMessage get = QDBusMessage::createMethodCall(
        QStringLiteral("org.a11y.Bus"), QStringLiteral("/org/a11y/bus"),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << QStringLiteral("org.a11y.Status") << name;
    const QDBusMessage reply = bus.call(get, QDBus::Block, ReplyTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return false;
    return reply.arguments().first().value<QDBusVariant>().variant().toBool();
}

} // namespace

bool assistiveTechnologyOn(const QDBusConnection& bus)
{
    if (!bus.isConnected() || !bus.interface() ||
        !bus.interface()->isServiceRegistered(QStringLiteral("org.a11y.Bus")))
        return false;
    // IsEnabled is the desktop's switch for assistive tools in general,
    // ScreenReaderEnabled the one a screen reader sets for itself.
    return statusProperty(bus, QStringLiteral("IsEnabled")) ||
           statusProperty(bus, QStringLiteral("ScreenReaderEnabled"));
}

bool applyBeforeEngineStarts()
{
    // The engine takes any value as on.
    if (!qEnvironmentVariableIsEmpty(EngineSwitch))
        return true;
    const bool on = qEnvironmentVariableIntValue("QT_LINUX_ACCESSIBILITY_ALWAYS_ON") != 0 ||
                    assistiveTechnologyOn(QDBusConnection::sessionBus());
    if (on)
        qputenv(EngineSwitch, "1");
    return on;
}

} // namespace AccessibilitySwitch
