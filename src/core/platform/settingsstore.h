#pragma once

#include <QString>

// Per-user settings: one file per application key under the user's config
// folder, sections as groups. Reads never fail loudly: a missing, unreadable or
// corrupt file reads as missing values. cRegistry (cregistry.h) is the typed
// accessor beneath.
namespace modSettings {

QString ReadSetting(const QString& application, const QString& section, const QString& valueName);

// Returns false when the value could not be stored; the previous file stays intact.
bool WriteSetting(const QString& application, const QString& section, const QString& valueName,
                  const QString& text);

} // namespace modSettings
