#pragma once

#include "core/platform/status.h"

#include <QByteArray>
#include <QHash>
#include <QMap>
#include <QMutex>
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

// A record line longer than this is not a build's, and is not read.
inline constexpr qsizetype MaxRecordLine = 4096;

// Removes the staging folder a killed build left in `library`, and says
// whether there was one. A link in its place is removed, never followed.
// First the files that build had set aside are put back (counted in
// `restored`): a build killed while putting its files in place leaves the
// previous library. A folder that still holds one it could not put back is
// kept, and the failure names it.
Result<bool> removeLeftoverStaging(const QString& library, int* restored = nullptr);

// The files of one build, written into the staging folder inside the library
// as they are made, so that the build holds one template at a time in memory
// however large the library grows. Safe to use from several threads.
class Staging
{
public:
    explicit Staging(const QString& library);

    // Stages `data` as the build's file `entry` (a path relative to the
    // library). `fingerprint`, when given, is recorded with it: see keep().
    // A fault reads "path: reason", named by the file it was to become.
    Status write(const QString& entry, const QByteArray& data, const QByteArray& fingerprint = {});
    // `entry` is in place already as this build would write it: it is
    // recorded again with `fingerprint` and neither staged nor replaced.
    void keep(const QString& entry, const QByteArray& fingerprint = {});

    struct Entry
    {
        bool staged = false;
        QByteArray fingerprint;
    };
    QMap<QString, Entry> entries() const;
    QString stagedPath(const QString& entry) const;

private:
    mutable QMutex m_mutex;
    QString m_library;
    QString m_folder;
    QMap<QString, Entry> m_entries;
};

// The fingerprints the previous build recorded, by entry; empty when there
// is no readable record (every file is then made afresh).
QHash<QString, QByteArray> recordedFingerprints(const QString& library);

// Moves each staged file into place; a fault at any step puts back what was
// there before. Then removes what the previous build recorded and this one no
// longer writes or keeps, printing "removed PATH" to `out`, and records what
// this build wrote and kept. Returns the faults, each "path: reason"; a record
// entry that names no build output is left alone with a warning on `warnings`.
QStringList install(const QString& library, const Staging& staging, QTextStream& out,
                    QTextStream& warnings);

} // namespace LibraryBuild
