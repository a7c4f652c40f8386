#pragma once

#include <QFileInfo>
#include <QString>

// True when both paths name one existing file, however they are spelled; a
// command must not overwrite its own input.
inline bool isSameFile(const QString& a, const QString& b)
{
    const QString canonical = QFileInfo(a).canonicalFilePath();
    return !canonical.isEmpty() && canonical == QFileInfo(b).canonicalFilePath();
}
