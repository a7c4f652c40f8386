#include "core/html/htmlscan.h"

#include <QString>

#include <cstring>

namespace Html {

namespace {

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

bool isAsciiLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Where the text of a raw text element ends: at "</name" followed by a blank,
// '/' or '>', as in the browser. Ending it earlier, at "</styles" say, would
// read its text as markup, where a "<!--" could hide the tags after it.
qsizetype rawTextEnd(const QByteArray& html, const QByteArray& name, qsizetype from)
{
    const qsizetype size = html.size();
    const char* data = html.constData();
    for (qsizetype at = html.indexOf("</", from); at >= 0; at = html.indexOf("</", at + 2)) {
        const qsizetype after = at + 2 + name.size();
        if (after <= size && qstrnicmp(data + at + 2, name.constData(), size_t(name.size())) == 0 &&
            (after == size || isSpace(data[after]) || data[after] == '/' || data[after] == '>'))
            return at;
    }
    return size;
}

// Whether "</script" or "<script" (given as `tag`) sits at `at`, followed by
// a blank, '/' or '>'.
bool isScriptTag(const QByteArray& html, qsizetype at, const char* tag)
{
    const qsizetype length = qsizetype(std::strlen(tag));
    const qsizetype after = at + length;
    return after < html.size() && qstrnicmp(html.constData() + at, tag, size_t(length)) == 0 &&
           (isSpace(html[after]) || html[after] == '/' || html[after] == '>');
}

// Where a script's text ends. Inside "<!--" a "<script" starts a stretch in
// which "</script>" does not end it, until "-->" or that inner end: read
// otherwise, a comment seen too early would hide the tags after the script.
qsizetype scriptEnd(const QByteArray& html, qsizetype from)
{
    enum { Data, Escaped, DoubleEscaped } state = Data;
    int dashes = 0; // in a row, inside the escaped stretches
    const qsizetype size = html.size();
    for (qsizetype at = from; at < size; ++at) {
        const char c = html[at];
        if (state == Data) {
            if (isScriptTag(html, at, "</script"))
                return at;
            if (html.sliced(at).startsWith("<!--")) {
                // Its own two dashes count: "<!-->" ends the stretch at once.
                state = Escaped;
                dashes = 2;
                at += 3;
            }
            continue;
        }
        if (c == '-') {
            ++dashes;
            continue;
        }
        if (c == '>' && dashes >= 2) {
            state = Data;
        } else if (state == Escaped && isScriptTag(html, at, "</script")) {
            return at;
        } else if (state == Escaped && isScriptTag(html, at, "<script")) {
            state = DoubleEscaped;
        } else if (state == DoubleEscaped && isScriptTag(html, at, "</script")) {
            state = Escaped;
        }
        dashes = 0;
    }
    return size;
}

bool isRawText(const QByteArray& name)
{
    static const char* const names[] = {"script", "style",   "textarea", "title",
                                        "xmp",    "noembed", "noframes", "iframe"};
    for (const char* candidate : names) {
        if (name == candidate)
            return true;
    }
    return false;
}

// Reads the attributes of a start tag from `at`; returns where the tag ends.
qsizetype readAttributes(const QByteArray& html, qsizetype at, HtmlTag& tag)
{
    const qsizetype size = html.size();
    const char* data = html.constData();
    while (at < size) {
        while (at < size && (isSpace(data[at]) || data[at] == '/'))
            ++at;
        if (at >= size || data[at] == '>')
            break;
        HtmlAttribute attribute;
        attribute.begin = at;
        // A leading '=' belongs to the name, as in the browser's tokenizer.
        qsizetype nameEnd = at + 1;
        while (nameEnd < size && !isSpace(data[nameEnd]) && data[nameEnd] != '/' &&
               data[nameEnd] != '>' && data[nameEnd] != '=')
            ++nameEnd;
        attribute.name = html.mid(at, nameEnd - at).toLower();
        at = nameEnd;
        qsizetype look = at;
        while (look < size && isSpace(data[look]))
            ++look;
        if (look < size && data[look] == '=') {
            at = look + 1;
            while (at < size && isSpace(data[at]))
                ++at;
            attribute.hasValue = true;
            if (at < size && (data[at] == '"' || data[at] == '\'')) {
                const char quote = data[at];
                attribute.valueBegin = at + 1;
                const void* close = std::memchr(data + at + 1, quote, size_t(size - at - 1));
                attribute.valueEnd = close ? static_cast<const char*>(close) - data : size;
                at = close ? attribute.valueEnd + 1 : size;
            } else {
                attribute.valueBegin = at;
                while (at < size && !isSpace(data[at]) && data[at] != '>')
                    ++at;
                attribute.valueEnd = at;
            }
        } else {
            attribute.valueBegin = attribute.valueEnd = at;
        }
        attribute.end = at;
        tag.attributes.push_back(std::move(attribute));
    }
    return at < size ? at + 1 : size;
}

} // namespace

// Reading past a comment's true end would hide the tags that follow from
// every check.
qsizetype commentEnd(const QByteArray& html, qsizetype at)
{
    const QByteArrayView rest = QByteArrayView(html).sliced(at + 4);
    if (rest.startsWith('>'))
        return at + 5;
    if (rest.startsWith("->"))
        return at + 6;
    for (qsizetype dash = html.indexOf("--", at + 4); dash >= 0;
         dash = html.indexOf("--", dash + 1)) {
        const QByteArrayView after = QByteArrayView(html).sliced(dash + 2);
        if (after.startsWith('>'))
            return dash + 3;
        if (after.startsWith("!>"))
            return dash + 4;
    }
    return html.size();
}

QByteArray HtmlTag::attribute(const QByteArray& html, const char* wanted) const
{
    for (const HtmlAttribute& attribute : attributes) {
        if (attribute.name == wanted) {
            return decodeEntities(QByteArrayView(html.constData() + attribute.valueBegin,
                                                 attribute.valueEnd - attribute.valueBegin));
        }
    }
    return QByteArray();
}

void scanHtml(const QByteArray& html, const std::function<void(const HtmlTag&)>& visit)
{
    const qsizetype size = html.size();
    const char* data = html.constData();
    qsizetype at = 0;
    // Open svg and math elements, each closed only by its own end tag, so it
    // errs towards foreign content, where nothing is skipped as text.
    int svgDepth = 0;
    int mathDepth = 0;
    while (at < size) {
        const void* open = std::memchr(data + at, '<', size_t(size - at));
        if (!open)
            break;
        at = static_cast<const char*>(open) - data;
        if (QByteArrayView(html).sliced(at).startsWith("<!--")) {
            at = commentEnd(html, at);
            continue;
        }
        const char next = at + 1 < size ? data[at + 1] : '\0';
        if (next == '/' && at + 2 < size && isAsciiLetter(data[at + 2])) {
            // An end tag; a '>' inside a quoted attribute value does not end it.
            HtmlTag tag;
            qsizetype nameEnd = at + 2;
            while (nameEnd < size && !isSpace(data[nameEnd]) && data[nameEnd] != '/' &&
                   data[nameEnd] != '>')
                ++nameEnd;
            const QByteArray name = html.mid(at + 2, nameEnd - at - 2).toLower();
            if (name == "svg" && svgDepth > 0)
                --svgDepth;
            if (name == "math" && mathDepth > 0)
                --mathDepth;
            at = readAttributes(html, nameEnd, tag);
            continue;
        }
        if (next == '!' || next == '?' || next == '/') {
            const qsizetype close = html.indexOf('>', at + 1);
            const qsizetype end = close < 0 ? size : close + 1;
            if (next == '!' && size - at >= 9 && qstrnicmp(data + at + 2, "doctype", 7) == 0) {
                HtmlTag tag;
                tag.name = "!doctype";
                tag.begin = at;
                tag.end = end;
                visit(tag);
            }
            at = end;
            continue;
        }
        if (!isAsciiLetter(next)) {
            ++at;
            continue;
        }
        HtmlTag tag;
        tag.begin = at;
        qsizetype nameEnd = at + 1;
        while (nameEnd < size && !isSpace(data[nameEnd]) && data[nameEnd] != '/' &&
               data[nameEnd] != '>')
            ++nameEnd;
        tag.name = html.mid(at + 1, nameEnd - at - 1).toLower();
        tag.end = readAttributes(html, nameEnd, tag);
        tag.foreign = svgDepth + mathDepth > 0;
        at = tag.end;
        if (isRawText(tag.name) && !tag.foreign) {
            tag.contentEnd =
                tag.name == "script" ? scriptEnd(html, at) : rawTextEnd(html, tag.name, at);
            at = tag.contentEnd;
        }
        svgDepth += tag.name == "svg" ? 1 : 0;
        mathDepth += tag.name == "math" ? 1 : 0;
        visit(tag);
    }
}

std::vector<HtmlTag> findTags(const QByteArray& html, std::initializer_list<const char*> names)
{
    std::vector<HtmlTag> found;
    scanHtml(html, [&](const HtmlTag& tag) {
        for (const char* name : names) {
            if (tag.name == name) {
                found.push_back(tag);
                break;
            }
        }
    });
    return found;
}

QByteArray decodeEntities(QByteArrayView text)
{
    if (!text.contains('&'))
        return text.toByteArray();
    static const struct
    {
        const char* name;
        const char* value;
    } named[] = {// Every name a browser reads as ASCII: "file&colon;" is "file:" to it.
                 {"amp;", "&"},
                 {"quot;", "\""},
                 {"apos;", "'"},
                 {"lt;", "<"},
                 {"gt;", ">"},
                 {"AMP;", "&"},
                 {"QUOT;", "\""},
                 {"LT;", "<"},
                 {"GT;", ">"},
                 {"Tab;", "\t"},
                 {"NewLine;", "\n"},
                 {"excl;", "!"},
                 {"num;", "#"},
                 {"dollar;", "$"},
                 {"percnt;", "%"},
                 {"lpar;", "("},
                 {"rpar;", ")"},
                 {"ast;", "*"},
                 {"midast;", "*"},
                 {"plus;", "+"},
                 {"comma;", ","},
                 {"period;", "."},
                 {"sol;", "/"},
                 {"colon;", ":"},
                 {"semi;", ";"},
                 {"equals;", "="},
                 {"quest;", "?"},
                 {"commat;", "@"},
                 {"lsqb;", "["},
                 {"lbrack;", "["},
                 {"bsol;", "\\"},
                 {"rsqb;", "]"},
                 {"rbrack;", "]"},
                 {"Hat;", "^"},
                 {"lowbar;", "_"},
                 {"UnderBar;", "_"},
                 {"grave;", "`"},
                 {"DiacriticalGrave;", "`"},
                 {"lcub;", "{"},
                 {"lbrace;", "{"},
                 {"verbar;", "|"},
                 {"vert;", "|"},
                 {"VerticalLine;", "|"},
                 {"rcub;", "}"},
                 {"rbrace;", "}"},
                 {"fjlig;", "fj"},
                 {"amp", "&"},
                 {"quot", "\""},
                 {"lt", "<"},
                 {"gt", ">"},
                 {"AMP", "&"},
                 {"QUOT", "\""},
                 {"LT", "<"},
                 {"GT", ">"}};
    QByteArray out;
    out.reserve(text.size());
    qsizetype at = 0;
    while (at < text.size()) {
        if (text[at] != '&') {
            out.append(text[at++]);
            continue;
        }
        const QByteArrayView rest = text.sliced(at + 1);
        if (rest.startsWith('#')) {
            const bool hex = rest.size() > 1 && (rest[1] == 'x' || rest[1] == 'X');
            qsizetype digits = hex ? 2 : 1;
            char32_t code = 0;
            bool any = false;
            while (digits < rest.size()) {
                const char c = rest[digits];
                const int value = (c >= '0' && c <= '9')          ? c - '0'
                                  : (hex && c >= 'a' && c <= 'f') ? c - 'a' + 10
                                  : (hex && c >= 'A' && c <= 'F') ? c - 'A' + 10
                                                                  : -1;
                if (value < 0)
                    break;
                any = true;
                code = std::min<char32_t>(code * (hex ? 16 : 10) + char32_t(value), 0x110000);
                ++digits;
            }
            if (any) {
                if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
                    code = 0xFFFD;
                out.append(QString::fromUcs4(&code, 1).toUtf8());
                at += 1 + digits + (digits < rest.size() && rest[digits] == ';' ? 1 : 0);
                continue;
            }
        }
        bool replaced = false;
        for (const auto& entity : named) {
            if (rest.startsWith(entity.name)) {
                out.append(entity.value);
                at += 1 + qsizetype(std::strlen(entity.name));
                replaced = true;
                break;
            }
        }
        if (!replaced)
            out.append(text[at++]);
    }
    return out;
}

QByteArray escapeAttribute(QByteArrayView text)
{
    QByteArray out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&':
            out.append("&amp;");
            break;
        case '"':
            out.append("&quot;");
            break;
        case '<':
            out.append("&lt;");
            break;
        case '>':
            out.append("&gt;");
            break;
        default:
            out.append(c);
        }
    }
    return out;
}

} // namespace Html
