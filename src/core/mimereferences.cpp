#include "mimereferences.h"

#include "mimehtmlscan.h"

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
    static const char* const names[] = {"src",    "background", "href",       "poster",  "lowsrc",
                                        "dynsrc", "data",       "xlink:href", "longdesc"};
    for (const char* candidate : names) {
        if (name == candidate)
            return true;
    }
    return false;
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

QByteArray stringContent(QByteArrayView quoted)
{
    QByteArrayView inner = quoted.sliced(1);
    if (!inner.isEmpty() && inner.back() == quoted.front())
        inner.chop(1);
    QByteArray out;
    for (qsizetype i = 0; i < inner.size(); ++i) {
        if (inner[i] == '\\' && i + 1 < inner.size())
            ++i;
        out.append(inner[i]);
    }
    return out;
}

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
        if (end > begin) {
            const QByteArray url = value.mid(begin, end - begin);
            const QByteArray replaced = resolver.replacement(url);
            if (!replaced.isNull()) {
                out.append(value.constData() + copied, begin - copied);
                out.append(replaced);
                copied = end;
                *changed = true;
            }
        }
        if (end == at) {
            int depth = 0;
            while (at < size && (value[at] != ',' || depth > 0)) {
                depth += value[at] == '(' ? 1 : value[at] == ')' && depth > 0 ? -1 : 0;
                ++at;
            }
        }
    }
    out.append(value.constData() + copied, size - copied);
    return out;
}

} // namespace

QByteArray rewriteCss(QByteArrayView css, ReferenceResolver& resolver, bool* changed)
{
    QByteArray out;
    qsizetype copied = 0;
    qsizetype at = 0;
    const qsizetype size = css.size();
    const auto replace = [&](qsizetype begin, qsizetype end, const QByteArray& url) {
        const QByteArray replaced = resolver.replacement(url);
        if (replaced.isNull())
            return;
        out.append(css.data() + copied, begin - copied);
        out.append("url(" + cssQuoted(replaced) + ')');
        copied = end;
        *changed = true;
    };
    while (at < size) {
        const char c = css[at];
        if (c == '/' && at + 1 < size && css[at + 1] == '*') {
            const qsizetype close = QByteArrayView(css).indexOf("*/", at + 2);
            at = close < 0 ? size : close + 2;
        } else if (c == '"' || c == '\'') {
            at = cssStringEnd(css, at);
        } else if (c == '@' && css.sliced(at).size() > 7 &&
                   qstrnicmp(css.data() + at, "@import", 7) == 0) {
            qsizetype look = at + 7;
            while (look < size && isSpace(css[look]))
                ++look;
            if (look < size && (css[look] == '"' || css[look] == '\'')) {
                const qsizetype end = cssStringEnd(css, look);
                replace(look, end, stringContent(css.sliced(look, end - look)));
                at = end;
            } else {
                at = look;
            }
        } else if ((c == 'u' || c == 'U') && size - at >= 4 &&
                   qstrnicmp(css.data() + at, "url(", 4) == 0 &&
                   (at == 0 || !isIdentifier(css[at - 1]))) {
            qsizetype look = at + 4;
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
                url = css.sliced(begin, look - begin).toByteArray().trimmed();
            }
            const qsizetype end = look < size ? look + 1 : size;
            replace(at, end, url);
            at = end;
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

    scanHtml(html, [&](const HtmlTag& tag) {
        if (tag.name == "base") {
            const QByteArray href = tag.attribute(html, "href");
            if (!href.isNull()) {
                resolver.setDocumentBase(href.trimmed());
                emitUpTo(tag.begin);
                copied = tag.end;
                return;
            }
        }
        for (const HtmlAttribute& attribute : tag.attributes) {
            if (!attribute.hasValue)
                continue;
            const QByteArray value =
                decodeEntities(QByteArrayView(html.constData() + attribute.valueBegin,
                                              attribute.valueEnd - attribute.valueBegin));
            QByteArray replaced;
            bool changed = false;
            if (attribute.name == "srcset") {
                replaced = rewriteSrcset(value, resolver, &changed);
            } else if (attribute.name == "style") {
                replaced = rewriteCss(value, resolver, &changed);
            } else if (isUrlAttribute(attribute.name)) {
                replaced = resolver.replacement(value.trimmed());
                changed = !replaced.isNull();
            }
            if (!changed)
                continue;
            emitUpTo(attribute.begin);
            out.append(html.constData() + attribute.begin, attribute.name.size());
            out.append("=\"" + escapeAttribute(replaced) + '"');
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

} // namespace Mime
