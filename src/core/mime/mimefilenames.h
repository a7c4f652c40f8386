#pragma once

#include <QByteArray>
#include <QSet>
#include <QString>

namespace Mime {

// Longest file name written, in UTF-8 bytes; well under every file system's limit.
inline constexpr int MaxFileNameBytes = 100;

// A plain file name for a part: never a path, hidden file, device name or
// empty, no control or reserved characters, at most MaxFileNameBytes long.
// A part without a usable name gets "image<n>.png" (or the like) from its
// content type, n counting the made-up names through `madeUp`. Only an HTML
// part may have an HTML extension, so no image is ever opened as a page.
QString safeFileName(const QString& proposed, const QByteArray& type, const QByteArray& subtype,
                     int* madeUp);

// The usual extension of a content type, without the dot; empty if unknown.
QString extensionFor(const QByteArray& type, const QByteArray& subtype);

// Hands out names that differ from every name handed out before, also when
// compared without case (the export may land on a case-insensitive disk).
class NameAllocator
{
public:
    // Names the caller must never get, such as the page's own.
    void reserve(const QString& name) { m_used.insert(name.toCaseFolded()); }
    // `wanted` itself, or "stem-2.ext", "stem-3.ext", ... when taken.
    QString take(const QString& wanted);

private:
    QSet<QString> m_used;
};

} // namespace Mime
