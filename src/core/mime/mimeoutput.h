#pragma once

#include "core/mime/mimefilenames.h"
#include "core/platform/status.h"

#include <QByteArray>
#include <QString>

namespace Mime {

// Bounds what one save may write, whatever the message claims.
inline constexpr qint64 MaxOutputBytes = 256 * 1024 * 1024;
inline constexpr int MaxOutputFiles = 4096;

// The folder a save writes its files into. Every file is created new, next
// to the folder's handle, so a link planted under its name is never followed
// and nothing lands outside the folder.
class OutputFolder
{
public:
    OutputFolder() = default;
    ~OutputFolder();
    OutputFolder(const OutputFolder&) = delete;
    OutputFolder& operator=(const OutputFolder&) = delete;

    // Opens `parent` (as given) and its entry `name`, creating it when
    // missing; `name` must be one plain folder name, and an existing link
    // under that name is refused.
    Status open(const QString& parent, const QString& name);

    // Writes `data` to a new file named `wanted` or, when that exists or was
    // taken before, a variant of it; returns the name used.
    Status write(const QString& wanted, const QByteArray& data, QString* usedName);

    NameAllocator& names() { return m_names; }

private:
    enum class Created { Yes, NameTaken, Failed };
    Status openFolder(const QString& parent, const QString& name);
    Created createNew(const QString& name, const QByteArray& data, QString* error);

    int m_fd = -1; // the folder's handle where the platform has one
    QString m_path;
    NameAllocator m_names;
    qint64 m_bytesWritten = 0;
    int m_filesWritten = 0;
};

// Whether `name` can be used as a single folder or file name.
bool isPlainName(const QString& name);

} // namespace Mime
