#pragma once

#include "core/html/htmlscan.h"

#include <QByteArray>
#include <QList>
#include <QString>

// Links a template ships with that lead nowhere real: the sender must put
// their own address there before the message goes out.
namespace PlaceholderLinks {

struct Link
{
    QString url;  // as written, character references resolved
    QString text; // what the reader clicks: the link's words, else its picture's alt text
    int line = 0; // of the link in the HTML
    bool operator==(const Link&) const = default;
};

// A target reserved for examples (example.com, .example, .test, .invalid,
// localhost), a merge-field placeholder such as "[unsubscribe_url]" or
// "{{url}}", or nothing at all ("", "#").
bool isPlaceholder(const QString& url);

// The words between the link's start tag (an <a> or <area>) and its end,
// tags dropped; a link that holds only a picture is named by its alt text.
QString linkText(const QByteArray& html, const Html::HtmlTag& anchor);

// The placeholder links of one HTML text, in page order.
QList<Link> find(const QByteArray& html);

} // namespace PlaceholderLinks
