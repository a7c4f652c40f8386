#include "brandchoice.h"

#include "core/brand/brandstore.h"
#include "core/platform/settingsstore.h"

BrandChoice::BrandChoice(const QString& folder, QObject* parent) : QObject(parent), m_folder(folder)
{
    m_on = modSettings::ReadSetting(SettingKeys::BrandOn) == QLatin1String("1");
    m_chosen = modSettings::ReadSetting(SettingKeys::Brand);
}

void BrandChoice::reload()
{
    BrandStore::Loaded loaded = BrandStore(m_folder).load();
    m_brands = std::move(loaded.brands);
    m_problems = std::move(loaded.problems);
    emit changed();
}

QString BrandChoice::chosenId() const
{
    for (const BrandKit& brand : m_brands) {
        if (brand.id == m_chosen)
            return m_chosen;
    }
    return m_brands.isEmpty() ? QString() : m_brands.first().id;
}

std::optional<BrandKit> BrandChoice::brand(const QString& id) const
{
    for (const BrandKit& brand : m_brands) {
        if (brand.id == id)
            return brand;
    }
    return std::nullopt;
}

std::optional<BrandKit> BrandChoice::active() const
{
    if (!m_on)
        return std::nullopt;
    return brand(chosenId());
}

void BrandChoice::setOn(bool on)
{
    if (on == m_on)
        return;
    m_on = on;
    modSettings::WriteSetting(SettingKeys::BrandOn, on ? QStringLiteral("1") : QStringLiteral("0"));
    emit changed();
}

void BrandChoice::choose(const QString& id)
{
    if (id == m_chosen)
        return;
    m_chosen = id;
    modSettings::WriteSetting(SettingKeys::Brand, id);
    emit changed();
}
