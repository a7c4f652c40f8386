#pragma once

#include <QByteArray>

#include <functional>
#include <initializer_list>
#include <vector>

namespace Html {

struct HtmlAttribute
{
    QByteArray name;          // lower case
    qsizetype begin = 0;      // start of the name
    qsizetype valueBegin = 0; // the value without its quotes
    qsizetype valueEnd = 0;
    qsizetype end = 0; // after the closing quote, if any
    bool hasValue = false;
};

// A start tag (or doctype, named "!doctype") as the browser's tokenizer
// would read it; offsets into the scanned text.
struct HtmlTag
{
    QByteArray name; // lower case
    qsizetype begin = 0;
    qsizetype end = 0;         // after '>'
    qsizetype contentEnd = -1; // raw text elements (style, script, ...): where "</name" starts
    // Inside svg or math, where a browser reads even a style or script
    // element's content as markup; such elements have no contentEnd.
    bool foreign = false;
    std::vector<HtmlAttribute> attributes;

    // The attribute's value with character references resolved; a null
    // QByteArray when the tag has no such attribute.
    QByteArray attribute(const QByteArray& html, const char* name) const;
};

// Visits every start tag in document order, skipping comments, end tags and
// the text of raw text elements.
void scanHtml(const QByteArray& html, const std::function<void(const HtmlTag&)>& visit);
std::vector<HtmlTag> findTags(const QByteArray& html, std::initializer_list<const char*> names);

// Where the comment whose "<!--" starts at `at` ends, as the browser ends
// it: "<!-->" and "<!--->" are whole comments and "--!>" ends one too.
qsizetype commentEnd(const QByteArray& html, qsizetype at);

// Resolves the character references a URL in an attribute may hold.
QByteArray decodeEntities(QByteArrayView text);
// Makes text safe inside a double-quoted attribute value.
QByteArray escapeAttribute(QByteArrayView text);

} // namespace Html
