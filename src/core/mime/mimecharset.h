#pragma once

#include <QByteArray>

namespace Mime {

// The charset HTML bytes declare in a <meta> tag, lower case; empty if none.
QByteArray declaredMetaCharset(const QByteArray& html);

// Text of a part as UTF-8 with every invalid sequence replaced by U+FFFD.
// The charset is the MIME label if it is known, else (for HTML) the page's
// own <meta>, else UTF-8 when the bytes are valid UTF-8, else windows-1252.
// ISO-8859-1 and US-ASCII are read as windows-1252, as mail programs and
// browsers do.
QByteArray htmlToUtf8(const QByteArray& bytes, const QByteArray& mimeCharset);
QByteArray textToUtf8(const QByteArray& bytes, const QByteArray& mimeCharset);

// Makes the page declare UTF-8: every charset <meta> goes, and one
// <meta charset="utf-8"> is placed at the start of the head.
QByteArray declareUtf8(const QByteArray& html);

} // namespace Mime
