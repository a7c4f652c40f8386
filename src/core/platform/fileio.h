#pragma once

#include "core/platform/status.h"

#include <QByteArray>
#include <QString>

namespace FileIo {

// The whole file, or a status naming the path and the reason.
Result<QByteArray> readAll(const QString& path);

// Writes through a temporary file in the same folder that is renamed over the
// target only once every byte is on disk, so readers never see a torn file and
// a failed write leaves the previous content in place.
Status writeAtomically(const QString& path, const QByteArray& data);

} // namespace FileIo
