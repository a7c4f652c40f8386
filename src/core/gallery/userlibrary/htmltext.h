#pragma once

#include <QByteArray>
#include <QString>

// The text/plain alternative of a template the user adds: the words of its
// HTML in reading order, for the mail programs and readers that show no HTML.
namespace HtmlText {

// Paragraphs and table rows on lines of their own, a blank line after each
// paragraph, a link's target after its words in parentheses (merge-field
// placeholders such as "[unsubscribe_url]" too; not a jump within the page),
// struck-through words between "~~" marks, wrapped at 72 columns; the head,
// style sheets, scripts and elements hidden from readers (aria-hidden="true",
// display:none) leave nothing.
QString plainText(const QByteArray& html);

} // namespace HtmlText
