#pragma once

#include "core/platform/status.h"

#include <QByteArray>
#include <QList>
#include <QString>

// Composes the standard message a library template holds: a text/plain part
// and a multipart/related HTML part whose images travel inline, referenced
// by cid:. The output is byte-for-byte the same for the same input, so a
// rebuilt library changes only where its sources changed.
namespace TemplateMessage {

struct Image
{
    QString fileName;    // as the HTML refers to it below "images/", e.g. "hero.png"
    QByteArray mimeType; // "image/png"
    QByteArray data;
};

struct Source
{
    QString from; // "Display Name <address>", UTF-8 allowed in the name
    QString subject;
    QString date; // RFC 5322 date, taken as given so that builds are reproducible
    QString html; // refers to its images as "images/<fileName>"
    QString text;
    QList<Image> images;
};

// The Content-ID an image travels under, without angle brackets.
QByteArray contentId(const QString& fileName);

// RFC 2045 quoted-printable with CRLF line ends; line breaks in `data` (LF or
// CRLF) become hard line breaks.
QByteArray encodeQuotedPrintable(const QByteArray& data);

// The text as a header value: plain when it is printable ASCII, otherwise
// RFC 2047 encoded words in UTF-8, each short enough for a 76-column line.
QByteArray encodeHeaderText(const QString& text);

// "Name <address>" as a header value with the name quoted or encoded as needed.
QByteArray encodeMailbox(const QString& mailbox);

// The whole message, or the reason there is none: a header missing, an image
// the HTML names but the source lacks, or an image the HTML never uses.
Result<QByteArray> compose(const Source& source);

} // namespace TemplateMessage
