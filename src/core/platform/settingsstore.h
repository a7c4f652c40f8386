#pragma once

#include "core/platform/settingkeys.h"

#include <QString>

#include <functional>

// Per-user settings: one file per application key under the user's config
// folder, sections as groups. Reads never fail loudly: a missing, unreadable or
// corrupt file reads as missing values. cRegistry (cregistry.h) is the typed
// accessor beneath.
namespace modSettings {

QString ReadSetting(const QString& application, const QString& section, const QString& valueName);
// The value a key of the list in settingkeys.h names; the programs read
// through these, so that every name they store is in that list.
QString ReadSetting(const SettingKeys::Key& key);

// What went wrong with the settings file, for the user to hear once.
struct Trouble
{
    enum Kind { NotStored, SetAside } kind = NotStored;
    QString message;   // NotStored: "path: reason"
    QString asidePath; // SetAside: where the damaged file now is
};
using TroubleHandler = std::function<void(const Trouble&)>;
// Called from WriteSetting when a value could not be stored, or a damaged
// file was set aside; the standard error hears of it either way.
void setTroubleHandler(TroubleHandler handler);

// Returns false when the value could not be stored; the previous file stays
// intact. A damaged file is set aside and a fresh one started.
bool WriteSetting(const QString& application, const QString& section, const QString& valueName,
                  const QString& text);
bool WriteSetting(const SettingKeys::Key& key, const QString& text);

} // namespace modSettings
