#pragma once

#include "core/platform/status.h"

#include <QByteArray>
#include <QList>
#include <QString>

// Writing zip archives for the export for a mailing service, on libzip.
namespace ZipArchive {

struct Entry
{
    QString name; // "index.html", "images/logo.png": '/' between folders
    QByteArray data;
};

// Whether `name` stays inside the folder an archive is unpacked into, on any
// system: no absolute path, drive or "..", no backslash or colon, no empty or
// "." part and no control character. A failure names the entry and the reason.
Status checkEntryName(const QString& name);

// The archive of `entries` as bytes; refuses a name that checkEntryName
// refuses, or one given twice. Pictures that are compressed already are
// stored, the rest deflated. `shownPath` names the archive in a failure.
Result<QByteArray> build(const QList<Entry>& entries, const QString& shownPath);

// build() written to `path` atomically: the file holds its previous content
// or the whole archive, never a part.
Status write(const QString& path, const QList<Entry>& entries);

} // namespace ZipArchive
