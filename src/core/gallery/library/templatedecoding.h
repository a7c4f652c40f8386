#pragma once

#include "core/platform/status.h"

#include <QByteArray>
#include <QString>

// The two passes that turn a scrambled library file into a standard MIME
// message. Both work on bytes, never on decoded text.
namespace Module1 {

// Every caller passes this key; it is part of the file format, not a setting.
inline constexpr char TemplateKey[] = "WQPN4";

// Byte i (from 1) is combined with key byte L - ((i - 1) mod L). Its own inverse.
QByteArray DecryptText(const QByteArray& text, const QByteArray& key);

// First pass: rewrites the file at `path` in place with the decoded bytes. A
// file too short for its count, or with a negative count, is left as it was
// and the Status names it and the reason.
Status DecryptFile(const QString& path, const QByteArray& key);

// The path the second pass writes to: a trailing ".dat" becomes ".eml"; any
// other path is its own target. Folder names are never rewritten.
QString decodedMessagePath(const QString& path);

// Second pass: undoes the character substitution and writes the message to
// decodedMessagePath(path), leaving the file at `path` in place.
Status UnencryptFile(const QString& path);

// Both passes in memory: library file bytes to message bytes. Fails, with the
// reason, on a count that is negative or larger than the data.
Result<QByteArray> unpackTemplate(const QByteArray& libraryFile);

// The inverse: a library file whose decoding gives back `message` byte for
// byte, or the reason why no such file exists.
Result<QByteArray> packTemplate(const QByteArray& message);

} // namespace Module1
