#pragma once

#include <QByteArray>
#include <QString>

// The text at the start of a page's body, as an inbox reads it for the line
// under the subject.
namespace BodyText {

struct Start
{
    // The text of the first hidden element, when it comes before any text
    // the reader sees: the preheader senders hide in the message to steer
    // that line. Empty when there is none.
    QString preheader;
    // The start of the text the reader sees, hidden elements, the head,
    // style sheets and scripts left out.
    QString visible;
};

// Whitespace collapsed and the fillers senders pad a preheader with taken
// out; at most `limit` characters of each.
Start read(const QByteArray& html, qsizetype limit);

} // namespace BodyText
