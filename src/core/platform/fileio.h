#pragma once

#include "core/platform/status.h"

#include <QByteArray>
#include <QString>

#include <functional>

namespace FileIo {

// The whole file, or a status naming the path and the reason.
Result<QByteArray> readAll(const QString& path);

// Runs once the new content is complete in the temporary file, before it
// replaces the target; a failure abandons the write and is returned.
using BeforeReplace = std::function<Status()>;

// A file of at most `maxBytes` from a place someone else fills (a library):
// only a regular file is read, opened without waiting (a FIFO never blocks)
// and, unless `followLinks`, not through a link; its size is checked before a
// byte is read. A failure's message is the path, ": " and what the file is
// ("is a FIFO", "is larger than 2 MB", "is missing", ...).
Result<QByteArray> readSmallFile(const QString& path, qint64 maxBytes, bool followLinks = true);

// What readSmallFile would refuse, without reading the file.
Status checkSmallFile(const QString& path, qint64 maxBytes, bool followLinks = true);

// Writes through a temporary file in the same folder that is renamed over the
// target only once every byte is on disk, so readers never see a torn file and
// a failed write (a full disk included) leaves the previous content in place.
// A link at `path` stays a link: the file it points to is the one replaced.
Status writeAtomically(const QString& path, const QByteArray& data,
                       const BeforeReplace& beforeReplace = {});

} // namespace FileIo
