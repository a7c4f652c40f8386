#include "core/mime/mimecharset.h"

#include "core/html/htmlscan.h"

#include <gmime/gmime.h>

#include <QString>

#include <algorithm>

#include <cerrno>
#include <iconv.h>

namespace Mime {

namespace {

const char replacementCharacter[] = "\xEF\xBF\xBD";

// The labels browsers read as UTF-8 and as windows-1252: ISO-8859-1 and
// US-ASCII among them, since mail labelled so often holds "€" or curly quotes.
bool isUtf8Label(const QByteArray& label)
{
    return label == "utf-8" || label == "utf8" || label == "unicode-1-1-utf-8";
}

bool isWindows1252Label(const QByteArray& label)
{
    static const char* const labels[] = {
        "ansi_x3.4-1968", "ascii",           "cp1252",     "cp819",     "csisolatin1",
        "ibm819",         "iso-8859-1",      "iso-ir-100", "iso8859-1", "iso88591",
        "iso_8859-1",     "iso_8859-1:1987", "l1",         "latin1",    "us-ascii",
        "windows-1252",   "x-cp1252"};
    return std::find(std::begin(labels), std::end(labels), label) != std::end(labels);
}

// The name iconv knows the charset by, or empty when it is not one to trust.
QByteArray iconvName(const QByteArray& label)
{
    const QByteArray lower = label.trimmed().toLower();
    if (lower.isEmpty())
        return QByteArray();
    if (isUtf8Label(lower))
        return QByteArrayLiteral("UTF-8");
    if (isWindows1252Label(lower))
        return QByteArrayLiteral("WINDOWS-1252");
    const QByteArray name = g_mime_charset_iconv_name(lower.constData());
    iconv_t probe = iconv_open("UTF-8", name.constData());
    if (probe == iconv_t(-1))
        return QByteArray();
    iconv_close(probe);
    return name;
}

QByteArray cleanUtf8(const QByteArray& bytes)
{
    // QString replaces every malformed sequence with U+FFFD.
    return QString::fromUtf8(bytes).toUtf8();
}

QByteArray convert(const QByteArray& bytes, const QByteArray& name)
{
    if (name == "UTF-8")
        return cleanUtf8(bytes);
    iconv_t cd = iconv_open("UTF-8", name.constData());
    if (cd == iconv_t(-1))
        return cleanUtf8(bytes);
    QByteArray out;
    out.reserve(bytes.size() * 2 + 16);
    char buffer[16384];
    char* in = const_cast<char*>(bytes.constData());
    size_t inLeft = size_t(bytes.size());
    while (inLeft > 0) {
        char* outPointer = buffer;
        size_t outLeft = sizeof buffer;
        const size_t done = iconv(cd, &in, &inLeft, &outPointer, &outLeft);
        out.append(buffer, qsizetype(outPointer - buffer));
        if (done != size_t(-1))
            break;
        if (errno == E2BIG)
            continue;
        // An invalid or cut-off sequence: show one replacement and go on
        // after the offending byte, as browsers do.
        out.append(replacementCharacter);
        ++in;
        --inLeft;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    char* outPointer = buffer;
    size_t outLeft = sizeof buffer;
    iconv(cd, nullptr, nullptr, &outPointer, &outLeft);
    out.append(buffer, qsizetype(outPointer - buffer));
    iconv_close(cd);
    // Some converters pass through what they do not map; never trust them.
    return cleanUtf8(out);
}

bool isValidUtf8(const QByteArray& bytes)
{
    return QString::fromUtf8(bytes).toUtf8() == bytes;
}

QByteArray toUtf8(const QByteArray& bytes, QByteArray name)
{
    if (name.isEmpty())
        name = isValidUtf8(bytes) ? QByteArrayLiteral("UTF-8") : QByteArrayLiteral("WINDOWS-1252");
    return convert(bytes, name);
}

// The charset a <meta> declares, as the browser's prescan reads it: a
// charset attribute, or a Content-Type pragma with a charset; null if none.
QByteArray metaCharset(const QByteArray& html, const Html::HtmlTag& tag)
{
    const QByteArray charset = tag.attribute(html, "charset");
    if (!charset.isNull())
        return charset.trimmed().toLower();
    if (tag.attribute(html, "http-equiv").trimmed().toLower() != "content-type")
        return QByteArray();
    const QByteArray content = tag.attribute(html, "content").toLower();
    const qsizetype at = content.indexOf("charset");
    if (at < 0)
        return QByteArray();
    QByteArray value = content.mid(at + 7).trimmed();
    if (!value.startsWith('='))
        return QByteArray();
    value = value.mid(1).trimmed();
    const qsizetype end = value.indexOf(';');
    if (end >= 0)
        value.truncate(end);
    return value.replace('"', "").replace('\'', "").trimmed();
}

} // namespace

QByteArray declaredMetaCharset(const QByteArray& html)
{
    for (const Html::HtmlTag& tag : Html::findTags(html, {"meta"})) {
        const QByteArray charset = metaCharset(html, tag);
        if (!charset.isNull())
            return charset;
    }
    return QByteArray();
}

QByteArray htmlToUtf8(const QByteArray& bytes, const QByteArray& mimeCharset)
{
    QByteArray name = iconvName(mimeCharset);
    if (name.isEmpty())
        name = iconvName(declaredMetaCharset(bytes));
    return toUtf8(bytes, name);
}

QByteArray textToUtf8(const QByteArray& bytes, const QByteArray& mimeCharset)
{
    return toUtf8(bytes, iconvName(mimeCharset));
}

QByteArray declareUtf8(const QByteArray& html)
{
    static const char declaration[] = "<meta charset=\"utf-8\">";
    QByteArray result;
    result.reserve(html.size() + 32);
    qsizetype copied = 0;
    for (const Html::HtmlTag& tag : Html::findTags(html, {"meta"})) {
        if (!metaCharset(html, tag).isNull()) {
            // A blank in its place where the text around it could join into
            // new markup ("<" + "b>", "&am" + "p;"); after a tag's ">" or a
            // blank nothing can, and the page keeps its size from one round
            // to the next.
            result.append(html.constData() + copied, tag.begin - copied);
            const char before = tag.begin > 0 ? html.at(tag.begin - 1) : '>';
            if (before != '>' && before != ' ' && before != '\n' && before != '\r' &&
                before != '\t' && before != '\f')
                result.append(' ');
            copied = tag.end;
        }
    }
    result.append(html.constData() + copied, html.size() - copied);

    // In the head; without one, after <html> or the doctype, so that the page
    // does not fall into quirks mode. A tag cut off at the end of the page
    // would swallow the declaration, so only a closed one will do.
    const std::vector<Html::HtmlTag> anchors = Html::findTags(result, {"head", "html", "!doctype"});
    qsizetype at = 0;
    for (const char* wanted : {"head", "html", "!doctype"}) {
        // A '>' inside a value whose quote never closes does not close the tag.
        const auto found =
            std::find_if(anchors.begin(), anchors.end(), [&](const Html::HtmlTag& tag) {
                return tag.name == wanted && result.at(tag.end - 1) == '>' &&
                       (tag.attributes.empty() || tag.attributes.back().end < tag.end);
            });
        if (found != anchors.end()) {
            at = found->end;
            break;
        }
    }
    result.insert(at, declaration);
    return result;
}

} // namespace Mime
