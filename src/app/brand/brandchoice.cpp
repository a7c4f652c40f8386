#include "brandchoice.h"

#include "core/brand/brandstore.h"
#include "core/platform/settingsstore.h"

BrandChoice::BrandChoice(const QString& folder, QObject* parent) : QObject(parent), m_folder(folder)
{
    m_on = modSettings::ReadSetting(SettingKeys::BrandOn) == QLatin1String("1");
    m_chosen = modSettings::ReadSetting(SettingKeys::Brand);
    // The settings file is rewritten with every value: on the toggle's path
    // it cost as much as staging the branded page, while the engine waited.
    m_storeTimer.setSingleShot(true);
    m_storeTimer.setInterval(1000);
    connect(&m_storeTimer, &QTimer::timeout, this, &BrandChoice::store);
}

BrandChoice::~BrandChoice()
{
    store();
}

void BrandChoice::store()
{
    m_storeTimer.stop();
    if (m_onChanged)
        modSettings::WriteSetting(SettingKeys::BrandOn,
                                  m_on ? QStringLiteral("1") : QStringLiteral("0"));
    if (m_chosenChanged)
        modSettings::WriteSetting(SettingKeys::Brand, m_chosen);
    m_onChanged = false;
    m_chosenChanged = false;
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
    m_onChanged = true;
    m_storeTimer.start();
    emit changed();
}

void BrandChoice::choose(const QString& id)
{
    if (id == m_chosen)
        return;
    m_chosen = id;
    m_chosenChanged = true;
    m_storeTimer.start();
    emit changed();
}
