#include "core/mime/mimereferences.h"

#include "core/html/htmlscan.h"
#include "core/html/htmlurls.h"

#include <QList>
#include <QString>

#include <optional>

namespace Mime {

namespace {

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

bool isIdentifier(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '_' || static_cast<unsigned char>(c) >= 0x80;
}

bool isUrlAttribute(const QByteArray& name)
{
    static const char* const names[] = {
        "src",        "background", "href",   "poster",     "lowsrc",   "dynsrc", "data",
        "xlink:href", "longdesc",   "action", "formaction", "manifest", "icon",   "codebase"};
    for (const char* candidate : names) {
        if (name == candidate)
            return true;
    }
    // In an XML document the XLink namespace may be bound to any prefix
    // ("x:href"), and xml:base moves what relative references resolve to:
    // whatever the prefix, such an attribute is read as a URL.
    const qsizetype colon = name.lastIndexOf(':');
    if (colon < 0)
        return false;
    const QByteArrayView local = QByteArrayView(name).sliced(colon + 1);
    return local == "href" || local == "src" || local == "base";
}

// Where a quoted CSS string that opens at `at` ends (after its quote).
qsizetype cssStringEnd(QByteArrayView css, qsizetype at)
{
    const char quote = css[at];
    for (qsizetype i = at + 1; i < css.size(); ++i) {
        if (css[i] == '\\')
            ++i;
        else if (css[i] == quote || css[i] == '\n')
            return i + 1;
    }
    return css.size();
}

QByteArray cssQuoted(const QByteArray& url)
{
    QByteArray escaped;
    for (const char c : url) {
        if (c == '\'' || c == '\\' || c == '\n')
            escaped.append('\\');
        escaped.append(c);
    }
    // Single quotes, so that CSS inside a style="..." needs no escaping.
    return '\'' + escaped + '\'';
}

int hexValue(char c)
{
    return (c >= '0' && c <= '9')   ? c - '0'
           : (c >= 'a' && c <= 'f') ? c - 'a' + 10
           : (c >= 'A' && c <= 'F') ? c - 'A' + 10
                                    : -1;
}

// Reads the CSS escape at `at` (a backslash) into `out`; returns where it ends.
// "\6c " is an 'l' to the browser, so "fi\6c e:" is a scheme like any other.
qsizetype readCssEscape(QByteArrayView css, qsizetype at, QByteArray* out)
{
    ++at;
    if (at >= css.size())
        return at;
    if (css[at] == '\n' || css[at] == '\r' || css[at] == '\f') {
        // A line continuation inside a string.
        return at + (css.sliced(at).startsWith("\r\n") ? 2 : 1);
    }
    if (hexValue(css[at]) < 0) {
        out->append(css[at]);
        return at + 1;
    }
    char32_t code = 0;
    int digits = 0;
    while (at < css.size() && digits < 6 && hexValue(css[at]) >= 0) {
        code = code * 16 + char32_t(hexValue(css[at]));
        ++at;
        ++digits;
    }
    if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        code = 0xFFFD;
    out->append(QString::fromUcs4(&code, 1).toUtf8());
    if (css.sliced(at).startsWith("\r\n"))
        return at + 2;
    if (at < css.size() && isSpace(css[at]))
        ++at;
    return at;
}

QByteArray cssUnescape(QByteArrayView css)
{
    if (!css.contains('\\'))
        return css.toByteArray();
    QByteArray out;
    for (qsizetype i = 0; i < css.size();) {
        if (css[i] == '\\')
            i = readCssEscape(css, i, &out);
        else
            out.append(css[i++]);
    }
    return out;
}

QByteArray stringContent(QByteArrayView quoted)
{
    QByteArrayView inner = quoted.sliced(1);
    if (!inner.isEmpty() && inner.back() == quoted.front())
        inner.chop(1);
    return cssUnescape(inner);
}

bool isIdentifierStart(QByteArrayView css, qsizetype at)
{
    const char c = css[at];
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == '-' ||
           static_cast<unsigned char>(c) >= 0x80 || (c == '\\' && at + 1 < css.size());
}

// Reads the CSS identifier at `at`, escapes resolved and in lower case; `end`
// receives where it ends.
QByteArray readIdentifier(QByteArrayView css, qsizetype at, qsizetype* end)
{
    QByteArray name;
    while (at < css.size()) {
        if (css[at] == '\\' && at + 1 < css.size() && css[at + 1] != '\n') {
            at = readCssEscape(css, at, &name);
        } else if (isIdentifier(css[at])) {
            name.append(css[at++]);
        } else {
            break;
        }
    }
    *end = at;
    return name.toLower();
}

// A candidate whose URL is dropped goes with its descriptors and comma.
QByteArray rewriteSrcset(const QByteArray& value, ReferenceResolver& resolver, bool* changed)
{
    QByteArray out;
    qsizetype copied = 0;
    qsizetype at = 0;
    const qsizetype size = value.size();
    while (at < size) {
        while (at < size && (isSpace(value[at]) || value[at] == ','))
            ++at;
        const qsizetype begin = at;
        while (at < size && !isSpace(value[at]))
            ++at;
        qsizetype end = at;
        // A URL that ends in commas has no descriptors; the commas separate.
        while (end > begin && value[end - 1] == ',')
            --end;
        if (end == at) {
            int depth = 0;
            while (at < size && (value[at] != ',' || depth > 0)) {
                depth += value[at] == '(' ? 1 : value[at] == ')' && depth > 0 ? -1 : 0;
                ++at;
            }
        }
        if (end == begin)
            continue;
        const QByteArray replaced = resolver.replacement(value.mid(begin, end - begin));
        if (replaced.isNull())
            continue;
        out.append(value.constData() + copied, begin - copied);
        *changed = true;
        if (replaced.isEmpty()) {
            copied = at < size ? at + 1 : size;
            while (copied < size && isSpace(value[copied]))
                ++copied;
        } else {
            out.append(replaced);
            copied = end;
        }
    }
    out.append(value.constData() + copied, size - copied);
    return out;
}

// Lets through only the verdict on URLs that reach the local disk, for values
// that are not references of the page but may hold one.
class DropLocalOnly : public ReferenceResolver
{
public:
    explicit DropLocalOnly(ReferenceResolver& resolver) : m_resolver(resolver) {}
    QByteArray replacement(const QByteArray& url) override
    {
        return m_resolver.isLocal(url) ? QByteArray("") : QByteArray();
    }
    bool isLocal(const QByteArray& url) override { return m_resolver.isLocal(url); }
    void setDocumentBase(const QByteArray&) override {}

private:
    ReferenceResolver& m_resolver;
};

bool isAnimation(const QByteArray& tag)
{
    return tag == "animate" || tag == "set" || tag == "animatemotion" ||
           tag == "animatetransform" || tag == "animatecolor";
}

// SVG animations can set an href; their values are lists separated by ';'.
bool animatesToLocalFile(const QByteArray& value, ReferenceResolver& resolver)
{
    for (const QByteArray& item : value.split(';')) {
        if (resolver.isLocal(item))
            return true;
    }
    return false;
}

// Notes whether any reference it is asked about is local, and changes nothing.
class LocalFinder : public ReferenceResolver
{
public:
    explicit LocalFinder(ReferenceResolver& resolver) : m_resolver(resolver) {}
    QByteArray replacement(const QByteArray& url) override
    {
        isLocal(url);
        return QByteArray();
    }
    bool isLocal(const QByteArray& url) override
    {
        const bool local = m_resolver.isLocal(url);
        m_found = m_found || local;
        return local;
    }
    void setDocumentBase(const QByteArray& url) override { isLocal(url); }
    bool found() const { return m_found; }

private:
    ReferenceResolver& m_resolver;
    bool m_found = false;
};

// Where the name of the element whose "<" is at `at` ends, and whether its
// local name (the part after any prefix, "s:style") is `local`.
bool isElementNamed(const QByteArray& lower, qsizetype at, QByteArrayView local, qsizetype* end)
{
    qsizetype i = at + 1;
    qsizetype localBegin = i;
    while (i < lower.size() && !isSpace(lower[i]) && lower[i] != '>' && lower[i] != '/') {
        if (lower[i] == ':')
            localBegin = i + 1;
        ++i;
    }
    *end = i;
    return QByteArrayView(lower).sliced(localBegin, i - localBegin) == local;
}

// The text of each style element, by any namespace prefix, with its
// character references resolved as an XML parser resolves them; null when
// one holds markup, whose text a browser would join into a style sheet
// nothing here reads whole.
std::optional<std::vector<QByteArray>> styleSheets(const QByteArray& document)
{
    std::vector<QByteArray> sheets;
    const QByteArray lower = document.toLower();
    for (qsizetype at = lower.indexOf('<'); at >= 0; at = lower.indexOf('<', at + 1)) {
        qsizetype nameEnd = 0;
        if (!isElementNamed(lower, at, "style", &nameEnd))
            continue;
        const qsizetype open = lower.indexOf('>', nameEnd);
        if (open < 0)
            break;
        if (lower[open - 1] == '/')
            continue; // <style/>
        const QByteArray closing = "</" + lower.mid(at + 1, nameEnd - at - 1);
        qsizetype close = lower.indexOf(closing, open);
        if (close < 0)
            close = lower.size();
        QByteArray text = document.mid(open + 1, close - open - 1);
        text.replace("<![CDATA[", "").replace("]]>", "");
        if (text.contains('<'))
            return std::nullopt;
        sheets.push_back(Html::decodeEntities(text));
        at = close;
    }
    return sheets;
}

// A document type with an internal subset can declare entities and default
// attribute values no tag shows; one with an external identifier names a
// file the parser may read.
bool hasUnsafeDoctype(const QByteArray& lower, ReferenceResolver& resolver)
{
    for (qsizetype at = lower.indexOf("<!doctype"); at >= 0;
         at = lower.indexOf("<!doctype", at + 1)) {
        qsizetype end = at + 9;
        QByteArray identifier;
        char quote = 0;
        for (; end < lower.size(); ++end) {
            const char c = lower[end];
            if (quote) {
                if (c == quote) {
                    if (resolver.isLocal(identifier))
                        return true;
                    identifier.clear();
                    quote = 0;
                } else {
                    identifier.append(c);
                }
            } else if (c == '"' || c == '\'') {
                quote = c;
            } else if (c == '[') {
                return true;
            } else if (c == '>') {
                break;
            }
        }
    }
    return false;
}

bool isRefresh(const Html::HtmlTag& tag, const QByteArray& html)
{
    return tag.name == "meta" &&
           tag.attribute(html, "http-equiv").trimmed().compare("refresh", Qt::CaseInsensitive) == 0;
}

} // namespace

QByteArray rewriteCss(QByteArrayView css, ReferenceResolver& resolver, bool* changed)
{
    QByteArray out;
    qsizetype copied = 0;
    qsizetype at = 0;
    const qsizetype size = css.size();
    const auto replace = [&](qsizetype begin, qsizetype end, const QByteArray& url, bool asString) {
        const QByteArray replaced = resolver.replacement(url);
        if (replaced.isNull())
            return;
        out.append(css.data() + copied, begin - copied);
        out.append(asString ? cssQuoted(replaced) : "url(" + cssQuoted(replaced) + ')');
        copied = end;
        *changed = true;
    };
    // Inside image-set() a plain string is an image URL too.
    int imageSetDepth = 0;
    while (at < size) {
        const char c = css[at];
        if (c == '/' && at + 1 < size && css[at + 1] == '*') {
            const qsizetype close = QByteArrayView(css).indexOf("*/", at + 2);
            at = close < 0 ? size : close + 2;
        } else if (c == '"' || c == '\'') {
            const qsizetype end = cssStringEnd(css, at);
            if (imageSetDepth == 1)
                replace(at, end, stringContent(css.sliced(at, end - at)), true);
            at = end;
        } else if (c == '(' || c == ')') {
            if (imageSetDepth > 0)
                imageSetDepth += c == '(' ? 1 : -1;
            ++at;
        } else if (c == '@' && at + 1 < size && isIdentifierStart(css, at + 1)) {
            qsizetype look;
            const QByteArray keyword = readIdentifier(css, at + 1, &look);
            if (keyword == "import") {
                while (look < size && isSpace(css[look]))
                    ++look;
                if (look < size && (css[look] == '"' || css[look] == '\'')) {
                    const qsizetype end = cssStringEnd(css, look);
                    replace(look, end, stringContent(css.sliced(look, end - look)), false);
                    look = end;
                }
            }
            at = look;
        } else if (isIdentifierStart(css, at) && (at == 0 || !isIdentifier(css[at - 1]))) {
            // Function names may be written with escapes: "u\72l(" is url(.
            qsizetype look;
            const QByteArray name = readIdentifier(css, at, &look);
            if (look >= size || css[look] != '(') {
                at = std::max(look, at + 1);
            } else if (name == "url") {
                ++look;
                while (look < size && isSpace(css[look]))
                    ++look;
                QByteArray url;
                if (look < size && (css[look] == '"' || css[look] == '\'')) {
                    const qsizetype end = cssStringEnd(css, look);
                    url = stringContent(css.sliced(look, end - look));
                    look = end;
                    while (look < size && css[look] != ')')
                        ++look;
                } else {
                    const qsizetype begin = look;
                    while (look < size && css[look] != ')')
                        ++look;
                    url = cssUnescape(css.sliced(begin, look - begin)).trimmed();
                }
                const qsizetype end = look < size ? look + 1 : size;
                replace(at, end, url, false);
                at = end;
            } else {
                if (imageSetDepth > 0 || name == "image-set" || name == "-webkit-image-set")
                    ++imageSetDepth;
                at = look + 1;
            }
        } else {
            ++at;
        }
    }
    if (!*changed)
        return QByteArray();
    out.append(css.data() + copied, size - copied);
    return out;
}

QByteArray rewriteReferences(const QByteArray& html, ReferenceResolver& resolver)
{
    QByteArray out;
    out.reserve(html.size() + html.size() / 8);
    qsizetype copied = 0;
    const auto emitUpTo = [&](qsizetype position) {
        out.append(html.constData() + copied, position - copied);
        copied = position;
    };
    // A '<' of the text before a removed tag must not join what follows it
    // into a new tag that nothing here has seen ("<" + "<base ...>" + "img").
    const auto removeTag = [&](const Html::HtmlTag& tag) {
        emitUpTo(tag.begin);
        if (out.endsWith('<')) {
            out.chop(1);
            out.append("&lt;");
        }
        copied = tag.end;
    };

    DropLocalOnly localOnly(resolver);
    Html::scanHtml(html, [&](const Html::HtmlTag& tag) {
        // A refresh would take the pane elsewhere, a local file included; a
        // style sheet in svg or math holds markup a browser reads; and what a
        // noscript holds is markup without scripts but text with them, so the
        // page is made the same for both.
        if (isRefresh(tag, html) || (tag.name == "style" && tag.foreign) ||
            tag.name == "noscript") {
            removeTag(tag);
            return;
        }
        if (tag.name == "base") {
            const QByteArray href = tag.attribute(html, "href");
            if (!href.isNull()) {
                resolver.setDocumentBase(href.trimmed());
                removeTag(tag);
                return;
            }
        }
        for (const Html::HtmlAttribute& attribute : tag.attributes) {
            if (!attribute.hasValue)
                continue;
            const QByteArray value =
                Html::decodeEntities(QByteArrayView(html.constData() + attribute.valueBegin,
                                                    attribute.valueEnd - attribute.valueBegin));
            QByteArray replaced;
            bool changed = false;
            if (attribute.name == "srcset" || attribute.name == "imagesrcset") {
                replaced = rewriteSrcset(value, resolver, &changed);
            } else if (attribute.name == "style") {
                replaced = rewriteCss(value, resolver, &changed);
            } else if (isUrlAttribute(attribute.name)) {
                replaced = resolver.replacement(value.trimmed());
                changed = !replaced.isNull();
            } else if (attribute.name == "srcdoc") {
                // A page of its own, loaded beside ours: it is not shown.
                changed = !value.isEmpty();
            } else if (isAnimation(tag.name) &&
                       (attribute.name == "values" || attribute.name == "to" ||
                        attribute.name == "from" || attribute.name == "by")) {
                changed = animatesToLocalFile(value, resolver);
            } else if (value.contains('(')) {
                // SVG paints, filters, masks and cursors take url() too.
                replaced = rewriteCss(value, localOnly, &changed);
            }
            if (!changed)
                continue;
            emitUpTo(attribute.begin);
            out.append(html.constData() + attribute.begin, attribute.name.size());
            out.append("=\"" + Html::escapeAttribute(replaced) + '"');
            copied = attribute.end;
        }
        if (tag.name == "style" && tag.contentEnd > tag.end) {
            bool changed = false;
            const QByteArray css =
                rewriteCss(QByteArrayView(html.constData() + tag.end, tag.contentEnd - tag.end),
                           resolver, &changed);
            if (changed) {
                emitUpTo(tag.end);
                out.append(css);
                copied = tag.contentEnd;
            }
        }
    });
    emitUpTo(html.size());
    return out;
}

QByteArray dropLocalReferences(const QByteArray& document, bool isCss, ReferenceResolver& resolver)
{
    DropLocalOnly localOnly(resolver);
    if (!isCss)
        return rewriteReferences(document, localOnly);
    bool changed = false;
    const QByteArray css = rewriteCss(document, localOnly, &changed);
    return changed ? css : document;
}

bool isSafeXmlDocument(const QByteArray& document, ReferenceResolver& resolver)
{
    // Style sheet instructions and entities load what they name; a nested
    // page or a refresh goes elsewhere.
    const QByteArray lower = document.toLower();
    if (lower.contains("<?xml-stylesheet") || lower.contains("<!entity") ||
        lower.contains("<!attlist") || lower.contains("srcdoc") ||
        hasUnsafeDoctype(lower, resolver))
        return false;
    // Elements are XHTML by a prefix as well: "h:meta" refreshes like "meta".
    bool refresh = false;
    Html::scanHtml(document, [&](const Html::HtmlTag& tag) {
        const qsizetype colon = tag.name.lastIndexOf(':');
        if (colon >= 0 && tag.name.sliced(colon + 1) == "meta" &&
            tag.attribute(document, "http-equiv")
                    .trimmed()
                    .compare("refresh", Qt::CaseInsensitive) == 0)
            refresh = true;
        else if (isRefresh(tag, document))
            refresh = true;
    });
    if (refresh)
        return false;
    LocalFinder finder(resolver);
    rewriteReferences(document, finder);
    const std::optional<std::vector<QByteArray>> sheets = styleSheets(document);
    if (!sheets)
        return false;
    for (const QByteArray& sheet : *sheets) {
        bool changed = false;
        rewriteCss(sheet, finder, &changed);
    }
    return !finder.found();
}

} // namespace Mime
