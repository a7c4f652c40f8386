#include "core/mime/mimeheavy.h"

#include "core/html/htmlscan.h"
#include "core/mime/mimereferences.h"

#include <QString>

#include <algorithm>
#include <functional>

namespace Mime {

namespace {

// Past this, a size is only known to be too large.
constexpr qint64 TooLarge = CssExpansion::MaxExpandedBytes + 1;
// A chain of references deeper than this is treated as too large rather
// than followed further down the stack.
constexpr int MaxReferenceDepth = 256;

qint64 added(qint64 a, qint64 b)
{
    return std::min(a + b, TooLarge);
}

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

bool isNameChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '_' || static_cast<unsigned char>(c) >= 0x80;
}

bool isNameStart(char c)
{
    return isNameChar(c) || c == '\\';
}

int hexValue(char c)
{
    return (c >= '0' && c <= '9')   ? c - '0'
           : (c >= 'a' && c <= 'f') ? c - 'a' + 10
           : (c >= 'A' && c <= 'F') ? c - 'A' + 10
                                    : -1;
}

// Where the comment or string that opens at `at` ends; `at` itself when
// none opens there.
qsizetype skipCommentOrString(QByteArrayView css, qsizetype at)
{
    const qsizetype size = css.size();
    if (css[at] == '/' && at + 1 < size && css[at + 1] == '*') {
        const qsizetype close = css.indexOf("*/", at + 2);
        return close < 0 ? size : close + 2;
    }
    if (css[at] == '"' || css[at] == '\'') {
        const char quote = css[at];
        for (qsizetype i = at + 1; i < size; ++i) {
            if (css[i] == '\\')
                ++i;
            else if (css[i] == quote || css[i] == '\n')
                return i + 1;
        }
        return size;
    }
    return at;
}

// A name as the engine compares it: escapes resolved ("--\61" is "--a"),
// case kept, since custom property names are case-sensitive.
QByteArray readName(QByteArrayView css, qsizetype at, qsizetype* end)
{
    QByteArray name;
    const qsizetype size = css.size();
    while (at < size) {
        const char c = css[at];
        if (c == '\\' && at + 1 < size && css[at + 1] != '\n') {
            ++at;
            if (hexValue(css[at]) < 0) {
                name.append(css[at++]);
                continue;
            }
            char32_t code = 0;
            for (int digits = 0; at < size && digits < 6 && hexValue(css[at]) >= 0; ++digits)
                code = code * 16 + char32_t(hexValue(css[at++]));
            if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
                code = 0xFFFD;
            name.append(QString::fromUcs4(&code, 1).toUtf8());
            if (at < size && isSpace(css[at]))
                ++at;
        } else if (isNameChar(c)) {
            name.append(c);
            ++at;
        } else {
            break;
        }
    }
    *end = at;
    return name;
}

qsizetype skipSpaceAndComments(QByteArrayView css, qsizetype at)
{
    while (at < css.size()) {
        if (isSpace(css[at])) {
            ++at;
            continue;
        }
        const qsizetype after = skipCommentOrString(css, at);
        if (after == at || css[at] != '/')
            break;
        at = after;
    }
    return at;
}

// Where a declaration's value ends: at a ';' or '}' outside brackets. A '{'
// outside brackets means the "declaration" was a selector ("a:hover {"),
// except in a custom property, whose value may hold blocks.
qsizetype valueEnd(QByteArrayView css, qsizetype at, bool custom, bool* selector)
{
    int depth = 0;
    while (at < css.size()) {
        const qsizetype after = skipCommentOrString(css, at);
        if (after != at) {
            at = after;
            continue;
        }
        const char c = css[at];
        if (c == '\\') {
            at += 2;
            continue;
        }
        if (c == '{' && depth == 0 && !custom) {
            *selector = true;
            return at;
        }
        if (c == '(' || c == '[' || c == '{') {
            ++depth;
        } else if (c == ')' || c == ']' || c == '}') {
            if (c == '}' && depth == 0)
                return at;
            depth = std::max(0, depth - 1);
        } else if (c == ';' && depth == 0) {
            return at;
        }
        ++at;
    }
    return css.size();
}

struct Declaration
{
    QByteArray name; // escapes resolved
    qsizetype begin = 0;
    qsizetype valueBegin = 0;
    qsizetype valueEnd = 0;
    qsizetype end = 0; // after its ';', if any
};

// Every "name: value" where a declaration may begin: at the start (a style
// attribute), and after '{', ';' and '}' (nested rules included). What is
// read as one and is none (a selector) only ever counts more than there is.
void forEachDeclaration(QByteArrayView css, const std::function<void(const Declaration&)>& visit)
{
    const qsizetype size = css.size();
    qsizetype at = 0;
    bool mayBegin = true;
    while (at < size) {
        const qsizetype after = skipCommentOrString(css, at);
        if (after != at) {
            mayBegin = mayBegin && css[at] == '/';
            at = after;
            continue;
        }
        const char c = css[at];
        if (c == '{' || c == ';' || c == '}') {
            mayBegin = true;
            ++at;
            continue;
        }
        if (isSpace(c)) {
            ++at;
            continue;
        }
        if (!mayBegin || !isNameStart(c)) {
            mayBegin = false;
            at += c == '\\' ? 2 : 1;
            continue;
        }
        mayBegin = false;
        Declaration declaration;
        declaration.begin = at;
        qsizetype nameEnd;
        declaration.name = readName(css, at, &nameEnd);
        const qsizetype colon = skipSpaceAndComments(css, nameEnd);
        if (declaration.name.isEmpty() || colon >= size || css[colon] != ':') {
            at = std::max(nameEnd, at + 1);
            continue;
        }
        bool selector = false;
        declaration.valueBegin = colon + 1;
        declaration.valueEnd =
            valueEnd(css, colon + 1, declaration.name.startsWith("--"), &selector);
        at = declaration.valueEnd;
        if (selector)
            continue;
        declaration.end = at < size && css[at] == ';' ? at + 1 : at;
        visit(declaration);
    }
}

// The custom properties a value refers to with var(), fallbacks included.
std::vector<QByteArray> references(QByteArrayView value)
{
    std::vector<QByteArray> names;
    const qsizetype size = value.size();
    for (qsizetype at = 0; at < size;) {
        const qsizetype after = skipCommentOrString(value, at);
        if (after != at) {
            at = after;
            continue;
        }
        if (!isNameStart(value[at]) || (at > 0 && isNameChar(value[at - 1]))) {
            at += value[at] == '\\' ? 2 : 1;
            continue;
        }
        qsizetype end;
        const QByteArray function = readName(value, at, &end);
        at = std::max(end, at + 1);
        if (end >= size || value[end] != '(' || function.toLower() != "var")
            continue;
        qsizetype nameEnd;
        const QByteArray name = readName(value, skipSpaceAndComments(value, end + 1), &nameEnd);
        if (name.startsWith("--"))
            names.push_back(name);
        at = end + 1;
    }
    return names;
}

// The SVG elements that make the engine draw far more than their size: a
// filter (which a large area, or an animation, redraws at great cost) and
// the animations. In XML they may come with a prefix ("svg:filter").
bool isHeavyElement(const QByteArray& tagName)
{
    const QByteArray name = tagName.mid(tagName.lastIndexOf(':') + 1);
    return name == "filter" || name == "animate" || name == "set" || name == "animatemotion" ||
           name == "animatetransform" || name == "animatecolor";
}

// Where the text of a style element ends; inside svg the scanner reads it as
// markup and gives no end, so it is looked up.
qsizetype styleTextEnd(const QByteArray& document, const Html::HtmlTag& tag)
{
    if (tag.contentEnd >= tag.end)
        return tag.contentEnd;
    const qsizetype close = document.toLower().indexOf("</style", tag.end);
    return close < 0 ? document.size() : close;
}

QByteArray dropExpensiveDeclarations(QByteArrayView css, const CssExpansion& expansion,
                                     bool* changed)
{
    QByteArray out;
    qsizetype copied = 0;
    forEachDeclaration(css, [&](const Declaration& declaration) {
        const QByteArrayView value =
            css.sliced(declaration.valueBegin, declaration.valueEnd - declaration.valueBegin);
        if (!value.contains('(') || expansion.expandedSize(value) <= CssExpansion::MaxExpandedBytes)
            return;
        out.append(css.sliced(copied, declaration.begin - copied));
        copied = declaration.end;
    });
    if (copied == 0)
        return css.toByteArray();
    *changed = true;
    out.append(css.sliced(copied));
    return out;
}

// A data: URL is a document of its own, loaded as the page's pictures and
// frames are: one that holds what the page may not is left out with it.
// Documents inside documents are followed only this deep.
constexpr int MaxDataUrlDepth = 4;
thread_local int dataUrlDepth = 0;

bool isHeavyDataUrl(const QByteArray& url)
{
    const QByteArray trimmed = url.trimmed();
    if (trimmed.size() < 5 || qstrnicmp(trimmed.constData(), "data:", 5) != 0)
        return false;
    const qsizetype comma = trimmed.indexOf(',');
    if (comma < 0)
        return false;
    const QByteArray header = trimmed.left(comma).toLower();
    QByteArray content = QByteArray::fromPercentEncoding(trimmed.mid(comma + 1));
    if (header.endsWith(";base64"))
        content = QByteArray::fromBase64(content);
    if (!content.contains('<'))
        return false;
    if (dataUrlDepth >= MaxDataUrlDepth)
        return true;
    ++dataUrlDepth;
    const bool heavy = isHeavyXmlDocument(content);
    --dataUrlDepth;
    return heavy;
}

class HeavyDataUrls : public ReferenceResolver
{
public:
    QByteArray replacement(const QByteArray& url) override
    {
        return isHeavyDataUrl(url) ? QByteArray("") : QByteArray();
    }
    bool isLocal(const QByteArray& url) override { return isHeavyDataUrl(url); }
    void setDocumentBase(const QByteArray&) override {}
};

QByteArray boundCss(QByteArrayView css, const CssExpansion& expansion, bool* changed)
{
    QByteArray bounded = dropExpensiveDeclarations(css, expansion, changed);
    if (!bounded.contains('('))
        return bounded;
    HeavyDataUrls heavy;
    bool dropped = false;
    const QByteArray rewritten = rewriteCss(bounded, heavy, &dropped);
    if (!dropped)
        return bounded;
    *changed = true;
    return rewritten;
}

bool isUrlValue(const QByteArray& attribute)
{
    return attribute == "src" || attribute == "href" || attribute == "xlink:href" ||
           attribute == "data" || attribute == "poster" || attribute == "background" ||
           attribute == "srcset";
}

} // namespace

void CssExpansion::addCss(QByteArrayView css)
{
    m_known.clear();
    forEachDeclaration(css, [&](const Declaration& declaration) {
        if (!declaration.name.startsWith("--"))
            return;
        const QByteArrayView value =
            css.sliced(declaration.valueBegin, declaration.valueEnd - declaration.valueBegin);
        m_definitions[declaration.name].push_back({value.size(), references(value)});
    });
}

void CssExpansion::addDocument(const QByteArray& document, bool isCss)
{
    if (isCss) {
        addCss(document);
        return;
    }
    Html::scanHtml(document, [&](const Html::HtmlTag& tag) {
        for (const Html::HtmlAttribute& attribute : tag.attributes) {
            if (attribute.name == "style" && attribute.hasValue)
                addCss(Html::decodeEntities(QByteArrayView(document).sliced(
                    attribute.valueBegin, attribute.valueEnd - attribute.valueBegin)));
        }
        if (tag.name == "style")
            addCss(QByteArrayView(document).sliced(tag.end, styleTextEnd(document, tag) - tag.end));
    });
}

qint64 CssExpansion::expandedSize(QByteArrayView value) const
{
    return expandedSize(Definition{value.size(), references(value)});
}

qint64 CssExpansion::expandedSize(const Definition& definition) const
{
    qint64 size = std::min(definition.literal, TooLarge);
    for (const QByteArray& reference : definition.references) {
        size = added(size, expandedSize(reference));
        if (size >= TooLarge)
            break;
    }
    return size;
}

qint64 CssExpansion::expandedSize(const QByteArray& name) const
{
    const auto known = m_known.constFind(name);
    if (known != m_known.constEnd())
        return *known;
    // A property in a cycle is invalid to the engine and expands to nothing.
    if (m_visiting.contains(name))
        return 0;
    if (m_visiting.size() >= MaxReferenceDepth)
        return TooLarge;
    const auto definitions = m_definitions.constFind(name);
    if (definitions == m_definitions.constEnd())
        return 0;
    // Which of its definitions applies is a matter of the cascade: the
    // largest is assumed.
    m_visiting.insert(name);
    qint64 largest = 0;
    for (const Definition& definition : *definitions) {
        largest = std::max(largest, expandedSize(definition));
        if (largest >= TooLarge)
            break;
    }
    m_visiting.remove(name);
    m_known.insert(name, largest);
    return largest;
}

QByteArray dropHeavyContent(const QByteArray& document, bool isCss, const CssExpansion& expansion,
                            bool* changed)
{
    if (isCss)
        return boundCss(document, expansion, changed);
    QByteArray out;
    qsizetype copied = 0;
    const auto emitUpTo = [&](qsizetype position) {
        out.append(document.constData() + copied, position - copied);
        copied = position;
    };
    Html::scanHtml(document, [&](const Html::HtmlTag& tag) {
        if (isHeavyElement(tag.name)) {
            // As the reference rewriting does: a '<' before the tag must not
            // join what follows it into a tag nothing here has seen.
            emitUpTo(tag.begin);
            if (out.endsWith('<')) {
                out.chop(1);
                out.append("&lt;");
            }
            copied = tag.end;
            *changed = true;
            return;
        }
        for (const Html::HtmlAttribute& attribute : tag.attributes) {
            if (!attribute.hasValue)
                continue;
            const QByteArray value = Html::decodeEntities(QByteArrayView(document).sliced(
                attribute.valueBegin, attribute.valueEnd - attribute.valueBegin));
            bool dropped = false;
            QByteArray css;
            if (attribute.name == "style") {
                css = boundCss(value, expansion, &dropped);
            } else if (isUrlValue(attribute.name) && value.contains(':')) {
                // Each candidate of a srcset stands apart, ended by its blank or comma.
                const QList<QByteArray> urls =
                    attribute.name == "srcset" ? value.simplified().split(' ') : QList{value};
                for (QByteArray url : urls) {
                    while (url.endsWith(','))
                        url.chop(1);
                    dropped = dropped || isHeavyDataUrl(url);
                }
            } else if (value.contains('(')) {
                // SVG paints and the like take url() too.
                HeavyDataUrls heavy;
                css = rewriteCss(value, heavy, &dropped);
            }
            if (!dropped)
                continue;
            emitUpTo(attribute.begin);
            out.append(document.constData() + attribute.begin, attribute.name.size());
            out.append("=\"" + Html::escapeAttribute(css) + '"');
            copied = attribute.end;
            *changed = true;
        }
        if (tag.name == "style" && tag.contentEnd > tag.end) {
            bool dropped = false;
            const QByteArray css =
                boundCss(QByteArrayView(document).sliced(tag.end, tag.contentEnd - tag.end),
                         expansion, &dropped);
            if (dropped) {
                emitUpTo(tag.end);
                out.append(css);
                copied = tag.contentEnd;
                *changed = true;
            }
        }
    });
    if (copied == 0)
        return document;
    emitUpTo(document.size());
    return out;
}

bool isHeavyXmlDocument(const QByteArray& document)
{
    CssExpansion expansion;
    expansion.addDocument(document, false);
    bool heavy = false;
    dropHeavyContent(document, false, expansion, &heavy);
    if (heavy)
        return true;
    // Inside svg a style element's text is not rewritten above; it counts all the same.
    for (const Html::HtmlTag& tag : Html::findTags(document, {"style"})) {
        dropExpensiveDeclarations(
            QByteArrayView(document).sliced(tag.end, styleTextEnd(document, tag) - tag.end),
            expansion, &heavy);
    }
    return heavy;
}

} // namespace Mime
