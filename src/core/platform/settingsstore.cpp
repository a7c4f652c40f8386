#include "core/platform/settingsstore.h"

#include "core/platform/cregistry.h"

#include <QDebug>

namespace modSettings {

namespace {

TroubleHandler& troubleHandler()
{
    static TroubleHandler handler;
    return handler;
}

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

void setTroubleHandler(TroubleHandler handler)
{
    troubleHandler() = std::move(handler);
}

bool WriteSetting(const QString& application, const QString& section, const QString& valueName,
                  const QString& text)
{
    cRegistry registry = accessor(application, section, valueName);
    const bool stored = registry.setValue(text);
    if (!registry.setAsidePath().isEmpty()) {
        qWarning().noquote() << "Damaged settings file kept as" << registry.setAsidePath();
        if (troubleHandler())
            troubleHandler()({Trouble::SetAside, QString(), registry.setAsidePath()});
    }
    if (stored)
        return true;
    qWarning().noquote() << "Setting not stored:" << registry.status().message();
    if (troubleHandler())
        troubleHandler()({Trouble::NotStored, registry.status().message(), QString()});
    return false;
}

QString ReadSetting(const SettingKeys::Key& key)
{
    return ReadSetting(QString::fromLatin1(key.application), QString::fromLatin1(key.section),
                       QString::fromLatin1(key.valueName));
}

bool WriteSetting(const SettingKeys::Key& key, const QString& text)
{
    return WriteSetting(QString::fromLatin1(key.application), QString::fromLatin1(key.section),
                        QString::fromLatin1(key.valueName), text);
}

} // namespace modSettings
