#pragma once

#include "core/platform/status.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace FileIo {

// Reads the whole file; on failure `error` receives a message naming the path.
std::optional<QByteArray> readAll(const QString& path, QString* error = nullptr);

// Writes through a temporary file in the same folder that is renamed over the
// target only once every byte is on disk, so readers never see a torn file and
// a failed write leaves the previous content in place.
Status writeAtomically(const QString& path, const QByteArray& data);

} // namespace FileIo
