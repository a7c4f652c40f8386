#include "core/platform/settingsstore.h"

#include "core/platform/cregistry.h"

#include <QDebug>

namespace modSettings {

namespace {

cRegistry accessor(const QString& application, const QString& section, const QString& valueName)
{
    cRegistry registry;
    registry.ClassKey = cRegistry::HKEY_CURRENT_USER;
    registry.SectionKey = QStringLiteral("Software\\") + application + u'\\' + section;
    registry.ValueKey = valueName;
    registry.ValueType = cRegistry::REG_SZ;
    return registry;
}

} // namespace

QString ReadSetting(const QString& application, const QString& section, const QString& valueName)
{
    cRegistry registry = accessor(application, section, valueName);
    const QVariant value = registry.value();
    if (!registry.status())
        qWarning().noquote() << "Settings not readable:" << registry.status().message();
    return value.toString();
}

bool WriteSetting(const QString& application, const QString& section, const QString& valueName,
                  const QString& text)
{
    cRegistry registry = accessor(application, section, valueName);
    if (registry.setValue(text))
        return true;
    qWarning().noquote() << "Setting not stored:" << registry.status().message();
    return false;
}

} // namespace modSettings
