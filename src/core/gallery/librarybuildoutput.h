#pragma once

#include "core/platform/status.h"

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QTextStream>

// Puts a built library in place all or nothing, and keeps a record of what a
// build wrote so that the next build removes only its own leftovers, never a
// page or template an author put into the library by hand.
namespace LibraryBuild {

// Beside categories/ and templates/; the gallery and `check` look at neither.
inline const QLatin1String RecordName(".quillery-built");
inline const QLatin1String StagingName(".quillery-staging");
// Held while a build writes the library.
inline const QLatin1String LockName(".quillery-build.lock");

// Removes the staging folder a killed build left in `library`, and says
// whether there was one. A link in its place is removed, never followed.
Result<bool> removeLeftoverStaging(const QString& library);

// Writes `files` (a path relative to `library` -> its content) into a staging
// folder inside `library`, then moves each into place; a fault at any step
// puts back what was there before. Then removes what the previous build
// recorded and this one no longer writes, printing "removed PATH" to `out`,
// and records what this build wrote. Returns the faults, each "path: reason";
// a record entry that names no build output is left alone with a warning on
// `warnings`.
QStringList install(const QString& library, const QMap<QString, QByteArray>& files,
                    QTextStream& out, QTextStream& warnings);

} // namespace LibraryBuild
