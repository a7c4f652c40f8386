#include "core/brand/brandapply.h"

#include "core/brand/brandcolours.h"
#include "core/gallery/library/templatemessage.h"
#include "core/html/htmlscan.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QImage>
#include <QMutex>
#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>
#include <QUrl>

#include <algorithm>
#include <optional>
#include <vector>

static void initBrandResources()
{
    Q_INIT_RESOURCE(brand);
}

namespace BrandApply {

namespace {

constexpr char SlotAttribute[] = "data-brand";
constexpr char ColoursAttribute[] = "data-brand-colours";
// MIME parts nest a few levels in any real message; deeper is hostile.
constexpr int MaxMimeDepth = 16;
// A wide logo may take up to this many times its slot's height in width.
constexpr int MaxLogoAspect = 4;
constexpr int SocialIconSize = 24;
const QByteArray LogoCid = "brand-logo@quillery";

QByteArray socialCid(const QString& network)
{
    return "brand-" + network.toLatin1() + "@quillery";
}

bool isHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool isNameChar(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' ||
           c == '-';
}

// Every "#rrggbb" in `text` whose role `roles` names in order, replaced by
// the palette's colour; "-" (a colour of the template's own) and roles the
// palette lacks keep theirs. `next` counts the tokens across calls, as the
// generator counted them across one tag.
QByteArray recolour(QByteArrayView text, const QList<QByteArray>& roles, qsizetype& next,
                    const BrandColours::Palette& palette)
{
    QByteArray out;
    out.reserve(text.size());
    qsizetype copied = 0;
    for (qsizetype at = text.indexOf('#'); at >= 0 && at + 7 <= text.size();
         at = text.indexOf('#', at + 1)) {
        bool hex = true;
        for (int i = 1; i <= 6 && hex; ++i)
            hex = isHexDigit(text[at + i]);
        if (!hex || (at + 7 < text.size() && isNameChar(text[at + 7])))
            continue;
        const qsizetype index = next++;
        if (index >= roles.size())
            continue;
        const QColor colour = palette.roles.value(QString::fromLatin1(roles[index]));
        if (!colour.isValid())
            continue;
        out.append(text.sliced(copied, at - copied));
        out.append(colour.name(QColor::HexRgb).toLatin1());
        copied = at + 7;
    }
    out.append(text.sliced(copied));
    return out;
}

QByteArray escapeText(const QString& text)
{
    return text.toHtmlEscaped().toUtf8();
}

QByteArray attributeValue(const QString& text)
{
    return Html::escapeAttribute(text.toUtf8());
}

struct Edit
{
    qsizetype begin = 0;
    qsizetype end = 0;
    QByteArray text;
};

QByteArray applyEdits(const QByteArray& html, std::vector<Edit> edits)
{
    std::stable_sort(edits.begin(), edits.end(),
                     [](const Edit& a, const Edit& b) { return a.begin < b.begin; });
    QByteArray out;
    out.reserve(html.size() + html.size() / 8);
    qsizetype copied = 0;
    for (const Edit& edit : edits) {
        if (edit.begin < copied)
            continue;
        out.append(QByteArrayView(html).sliced(copied, edit.begin - copied));
        out.append(edit.text);
        copied = edit.end;
    }
    out.append(QByteArrayView(html).sliced(copied));
    return out;
}

// Where the content of a slot element ends: the end tag of its name. Slots
// hold text only, so the first such end tag is its own.
qsizetype contentEnd(const QByteArray& html, const Html::HtmlTag& tag)
{
    const QByteArray close = "</" + tag.name;
    for (qsizetype at = html.indexOf("</", tag.end); at >= 0; at = html.indexOf("</", at + 2)) {
        if (qstrnicmp(html.constData() + at, close.constData(), close.size()) == 0)
            return at;
    }
    return -1;
}

// A logo as one slot shows it: the stored file read once and drawn at twice
// the slot's size. Kept for the last few, since stepping through templates
// asks for the same logo at the same size again and again; the file's time
// and size are part of the key, so a logo saved anew is read anew.
struct DrawnLogo
{
    QSize source;
    QHash<QSize, QByteArray> pngBySize;
};

std::optional<QSize> logoSize(const QString& path, QByteArray* pngFor = nullptr,
                              QSize drawnSize = {})
{
    static QMutex mutex;
    static QHash<QString, DrawnLogo> cache;
    const QFileInfo info(path);
    const QString key = path + u'|' + QString::number(info.lastModified().toMSecsSinceEpoch()) +
                        u'|' + QString::number(info.size());
    QMutexLocker lock(&mutex);
    auto it = cache.find(key);
    if (it == cache.end()) {
        const QImage image(path);
        if (image.isNull())
            return std::nullopt;
        if (cache.size() >= 8)
            cache.clear();
        it = cache.insert(key, DrawnLogo{image.size(), {}});
    }
    if (pngFor) {
        auto drawn = it->pngBySize.constFind(drawnSize);
        if (drawn == it->pngBySize.constEnd()) {
            const QImage image(path);
            if (image.isNull())
                return std::nullopt;
            QByteArray png;
            QBuffer buffer(&png);
            buffer.open(QIODevice::WriteOnly);
            image.scaled(drawnSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                .save(&buffer, "PNG");
            drawn = it->pngBySize.insert(drawnSize, png);
        }
        *pngFor = *drawn;
    }
    return it->source;
}

struct InlineImage
{
    QByteArray cid;
    QString fileName;
    QByteArray png;
};

struct PageResult
{
    QByteArray html;
    QList<InlineImage> images;
};

int intAttribute(const QByteArray& html, const Html::HtmlTag& tag, const char* name)
{
    bool ok = false;
    const int value = tag.attribute(html, name).trimmed().toInt(&ok);
    return ok ? value : 0;
}

// A style attribute's width and height declarations set to the new size.
QByteArray resized(QByteArray style, int width, int height)
{
    static const QRegularExpression w(QStringLiteral("(^|[;\\s])width\\s*:\\s*\\d+px"));
    static const QRegularExpression h(QStringLiteral("(^|[;\\s])height\\s*:\\s*\\d+px"));
    QString text = QString::fromUtf8(style);
    text.replace(w, QStringLiteral("\\1width:%1px").arg(width));
    text.replace(h, QStringLiteral("\\1height:%1px").arg(height));
    return text.toUtf8();
}

// Font stacks in a style attribute: headings and the sender's name take the
// heading fonts, all else the body fonts; monospace (a coupon's code) stays.
QByteArray refonted(const QByteArray& style, const QByteArray& stack)
{
    static const QRegularExpression font(QStringLiteral("(^|[;\\s])font-family\\s*:([^;]*)"));
    QString text = QString::fromUtf8(style);
    QString out;
    qsizetype copied = 0;
    for (auto it = font.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const QString value = m.captured(2);
        if (value.contains(QLatin1String("monospace")) || value.contains(QLatin1String("inherit")))
            continue;
        out += QStringView(text).sliced(copied, m.capturedStart(2) - copied);
        out += QString::fromUtf8(stack);
        copied = m.capturedEnd(2);
    }
    out += QStringView(text).sliced(copied);
    return out.toUtf8();
}

Result<PageResult> brandPage(const QByteArray& html, const BrandKit& brand,
                             const BrandColours::Palette& palette)
{
    PageResult result;
    std::vector<Edit> edits;
    qsizetype skipUntil = 0; // inside a slot whose content is replaced
    std::optional<QSize> logo;
    if (!brand.logoFile.isEmpty()) {
        logo = logoSize(brand.logoFile);
        if (!logo)
            return Status::failure(
                QCoreApplication::translate("BrandApply", "%1: the brand's logo cannot be read")
                    .arg(brand.logoFile));
    }
    bool logoAdded = false;
    QSet<QString> socialAdded;
    const QByteArray bodyFonts = brand.bodyFonts.toUtf8();
    const QByteArray headingFonts = brand.headingFonts.toUtf8();

    Html::scanHtml(html, [&](const Html::HtmlTag& tag) {
        if (tag.begin < skipUntil)
            return;
        const QByteArray slot = tag.attribute(html, SlotAttribute);
        const QByteArray colourMarks = tag.attribute(html, ColoursAttribute);
        const QList<QByteArray> roles =
            colourMarks.isNull() ? QList<QByteArray>() : colourMarks.simplified().split(' ');
        const bool heading = (tag.name.size() == 2 && tag.name[0] == 'h' && tag.name[1] >= '1' &&
                              tag.name[1] <= '6') ||
                             slot == "name";
        qsizetype token = 0;

        // Attributes in their order, as the generator counted the colours.
        QHash<QByteArray, QByteArray> values;
        for (const Html::HtmlAttribute& attribute : tag.attributes) {
            if (!attribute.hasValue || attribute.name == ColoursAttribute)
                continue;
            const QByteArrayView raw = QByteArrayView(html).sliced(
                attribute.valueBegin, attribute.valueEnd - attribute.valueBegin);
            QByteArray value =
                roles.isEmpty() ? raw.toByteArray() : recolour(raw, roles, token, palette);
            if (attribute.name == "style" && !bodyFonts.isEmpty() && !colourMarks.isNull())
                value = refonted(value, heading ? headingFonts : bodyFonts);
            if (value != raw)
                edits.push_back({attribute.valueBegin, attribute.valueEnd, value});
            values.insert(attribute.name, value);
        }
        if (tag.name == "style" && tag.contentEnd >= 0 && !roles.isEmpty()) {
            const QByteArrayView css =
                QByteArrayView(html).sliced(tag.end, tag.contentEnd - tag.end);
            const QByteArray value = recolour(css, roles, token, palette);
            if (value != css)
                edits.push_back({tag.end, tag.contentEnd, value});
        }
        if (slot.isNull())
            return;

        const auto replaceContent = [&](const QByteArray& content) {
            const qsizetype end = contentEnd(html, tag);
            if (end < 0)
                return;
            edits.push_back({tag.end, end, content});
            skipUntil = end;
        };
        const auto setAttribute = [&](const char* name, const QByteArray& value) {
            for (const Html::HtmlAttribute& attribute : tag.attributes) {
                if (attribute.name == name) {
                    // Replaces an edit made above of the same value, if any.
                    std::erase_if(edits, [&](const Edit& e) {
                        return e.begin == attribute.valueBegin && e.end == attribute.valueEnd;
                    });
                    if (attribute.hasValue)
                        edits.push_back({attribute.valueBegin, attribute.valueEnd, value});
                    else
                        edits.push_back({attribute.begin, attribute.end,
                                         QByteArray(name) + "=\"" + value + '"'});
                    return;
                }
            }
            const qsizetype at = tag.end - (html[tag.end - 2] == '/' ? 2 : 1);
            edits.push_back({at, at, QByteArray(" ") + name + "=\"" + value + '"'});
        };

        if (slot == "name") {
            replaceContent(escapeText(brand.name));
        } else if (slot == "tagline") {
            replaceContent(escapeText(brand.tagline));
        } else if (slot == "address" && !brand.address.trimmed().isEmpty()) {
            QStringList lines;
            for (const QString& line : brand.address.split(u'\n'))
                if (!line.trimmed().isEmpty())
                    lines << line.trimmed();
            replaceContent(escapeText(lines.join(QLatin1String(", "))));
        } else if (slot == "unsubscribe" && !brand.unsubscribe.trimmed().isEmpty()) {
            setAttribute("href", attributeValue(brand.unsubscribe.trimmed()));
        } else if (slot == "view-in-browser" && !brand.viewInBrowser.trimmed().isEmpty()) {
            setAttribute("href", attributeValue(brand.viewInBrowser.trimmed()));
        } else if (slot == "website" && !brand.website.trimmed().isEmpty()) {
            setAttribute("href", attributeValue(brand.website.trimmed()));
        } else if (slot == "logo" && tag.name == "img") {
            if (!logo) {
                // The template's logo is its made-up sender's, never the user's.
                edits.push_back({tag.begin, tag.end, QByteArray()});
                return;
            }
            const int slotHeight = std::max(1, intAttribute(html, tag, "height"));
            const double aspect = double(logo->width()) / std::max(1, logo->height());
            int height = slotHeight;
            int width = std::max(1, int(std::lround(height * aspect)));
            if (width > MaxLogoAspect * slotHeight) {
                width = MaxLogoAspect * slotHeight;
                height = std::max(1, int(std::lround(width / aspect)));
            }
            if (!logoAdded) {
                QByteArray png;
                if (!logoSize(brand.logoFile, &png, QSize(width * 2, height * 2)))
                    return; // gone since it was read: the slot keeps its size, without it
                result.images.append({LogoCid, QStringLiteral("brand-logo.png"), png});
                logoAdded = true;
            }
            setAttribute("src", "cid:" + LogoCid);
            setAttribute("width", QByteArray::number(width));
            setAttribute("height", QByteArray::number(height));
            setAttribute("alt", attributeValue(brand.name));
            setAttribute("style", resized(values.value("style"), width, height));
        } else if (slot == "social") {
            QByteArray row;
            const QColor linkColour = palette.roles.value(QStringLiteral("muted"));
            for (const QString& network : BrandSocial::networks()) {
                const QString url = brand.social.value(network).trimmed();
                if (url.isEmpty())
                    continue;
                QFile icon(QStringLiteral(":/quillery/brand/social/%1.png").arg(network));
                if (!icon.open(QIODevice::ReadOnly))
                    continue;
                if (!socialAdded.contains(network)) {
                    result.images.append({socialCid(network),
                                          QStringLiteral("brand-%1.png").arg(network),
                                          icon.readAll()});
                    socialAdded.insert(network);
                }
                row +=
                    "<a href=\"" + attributeValue(url) +
                    "\" style=\"display:inline-block;margin:0 4px;text-decoration:none;\">"
                    "<img src=\"cid:" +
                    socialCid(network) + "\" width=\"" + QByteArray::number(SocialIconSize) +
                    "\" height=\"" + QByteArray::number(SocialIconSize) + "\" alt=\"" +
                    attributeValue(BrandSocial::label(network)) +
                    "\" style=\"display:inline-block;width:" + QByteArray::number(SocialIconSize) +
                    "px;height:" + QByteArray::number(SocialIconSize) +
                    "px;border:0;vertical-align:middle;font-size:12px;line-height:16px;color:" +
                    linkColour.name().toLatin1() + ";\"></a>";
            }
            const QString website = brand.website.trimmed();
            if (!website.isEmpty()) {
                const QUrl url(website);
                const QString label = url.host().isEmpty() ? website : url.host();
                row += "<a href=\"" + attributeValue(website) +
                       "\" style=\"display:inline-block;margin:0 4px;color:" +
                       linkColour.name().toLatin1() +
                       ";text-decoration:underline;vertical-align:middle;\">" + escapeText(label) +
                       "</a>";
            }
            if (!row.isEmpty()) {
                replaceContent(row);
                setAttribute("style", "margin:0 0 8px;font-size:13px;line-height:24px;");
            }
        }
    });
    result.html = applyEdits(html, std::move(edits));
    return result;
}

// ----------------------------------------------------------------- MIME

struct Header
{
    QByteArray name;  // lower case
    QByteArray value; // unfolded
    qsizetype begin = 0;
    qsizetype end = 0; // after its line end
};

struct Part
{
    qsizetype begin = 0;
    qsizetype bodyBegin = 0;
    qsizetype end = 0;
    std::vector<Header> headers;
    QByteArray type; // lower case, "text/plain" when none
    QByteArray boundary;
    QByteArray charset;
    QByteArray encoding;
};

QByteArray parameter(const QByteArray& value, const char* name)
{
    const QByteArray lower = value.toLower();
    const QByteArray key = QByteArray(name) + '=';
    for (qsizetype at = lower.indexOf(key); at >= 0; at = lower.indexOf(key, at + 1)) {
        if (at > 0 && lower[at - 1] != ';' && lower[at - 1] != ' ' && lower[at - 1] != '\t')
            continue;
        qsizetype from = at + key.size();
        if (from < value.size() && value[from] == '"') {
            const qsizetype close = value.indexOf('"', from + 1);
            return value.mid(from + 1, close < 0 ? -1 : close - from - 1);
        }
        qsizetype to = from;
        while (to < value.size() && value[to] != ';' && value[to] != ' ' && value[to] != '\t')
            ++to;
        return value.mid(from, to - from);
    }
    return {};
}

Part readPart(const QByteArray& m, qsizetype begin, qsizetype end)
{
    Part part;
    part.begin = begin;
    qsizetype at = begin;
    while (at < end) {
        qsizetype lineEnd = m.indexOf('\n', at);
        if (lineEnd < 0 || lineEnd >= end)
            lineEnd = end - 1;
        const QByteArray line = m.mid(at, lineEnd - at + 1);
        if (line.trimmed().isEmpty()) {
            at = lineEnd + 1;
            break;
        }
        if ((line[0] == ' ' || line[0] == '\t') && !part.headers.empty()) {
            part.headers.back().value += ' ' + line.trimmed();
            part.headers.back().end = lineEnd + 1;
        } else {
            const qsizetype colon = line.indexOf(':');
            if (colon > 0)
                part.headers.push_back({line.left(colon).trimmed().toLower(),
                                        line.mid(colon + 1).trimmed(), at, lineEnd + 1});
        }
        at = lineEnd + 1;
    }
    part.bodyBegin = std::min(at, end);
    part.end = end;
    part.type = "text/plain";
    for (const Header& header : part.headers) {
        if (header.name == "content-type") {
            part.type = header.value.split(';').first().trimmed().toLower();
            part.boundary = parameter(header.value, "boundary");
            part.charset = parameter(header.value, "charset").toLower();
        } else if (header.name == "content-transfer-encoding") {
            part.encoding = header.value.trimmed().toLower();
        }
    }
    return part;
}

struct HtmlLocation
{
    Part html;
    bool inRelated = false;
    QByteArray relatedBoundary;
    qsizetype relatedClose = -1; // the line break before the closing delimiter
};

// The children of a multipart between its delimiters; the position of the
// line break before its closing delimiter in `close`.
std::vector<std::pair<qsizetype, qsizetype>> children(const QByteArray& m, const Part& part,
                                                      qsizetype* close)
{
    std::vector<std::pair<qsizetype, qsizetype>> out;
    const QByteArray delimiter = "--" + part.boundary;
    qsizetype childBegin = -1;
    *close = -1;
    for (qsizetype at = m.indexOf(delimiter, part.bodyBegin); at >= 0 && at < part.end;
         at = m.indexOf(delimiter, at + delimiter.size())) {
        if (at != part.bodyBegin && m[at - 1] != '\n')
            continue;
        const qsizetype lineBreak =
            at >= 2 && m[at - 2] == '\r' ? at - 2 : (at >= 1 && m[at - 1] == '\n' ? at - 1 : at);
        if (childBegin >= 0)
            out.emplace_back(childBegin, lineBreak);
        const bool closing = m.mid(at + delimiter.size(), 2) == "--";
        if (closing) {
            *close = lineBreak;
            return out;
        }
        const qsizetype lineEnd = m.indexOf('\n', at);
        childBegin = lineEnd < 0 ? part.end : lineEnd + 1;
    }
    return out;
}

std::optional<HtmlLocation> findHtml(const QByteArray& m, const Part& part, int depth)
{
    if (part.type == "text/html")
        return HtmlLocation{part, false, {}, -1};
    if (!part.type.startsWith("multipart/") || part.boundary.isEmpty() || depth >= MaxMimeDepth)
        return std::nullopt;
    qsizetype close = -1;
    for (const auto& [begin, end] : children(m, part, &close)) {
        std::optional<HtmlLocation> found = findHtml(m, readPart(m, begin, end), depth + 1);
        if (!found)
            continue;
        if (found->relatedClose < 0 && part.type == "multipart/related" && close >= 0 &&
            found->html.begin == begin) {
            found->inRelated = true;
            found->relatedBoundary = part.boundary;
            found->relatedClose = close;
        }
        return found;
    }
    return std::nullopt;
}

QByteArray decodeQuotedPrintable(QByteArrayView data)
{
    QByteArray out;
    out.reserve(data.size());
    for (qsizetype i = 0; i < data.size(); ++i) {
        const char c = data[i];
        if (c != '=') {
            out.append(c);
            continue;
        }
        if (i + 1 < data.size() && (data[i + 1] == '\n' || data[i + 1] == '\r')) {
            i += data[i + 1] == '\r' && i + 2 < data.size() && data[i + 2] == '\n' ? 2 : 1;
            continue;
        }
        if (i + 2 < data.size() && isHexDigit(data[i + 1]) && isHexDigit(data[i + 2])) {
            out.append(char(QByteArray::fromHex(data.sliced(i + 1, 2).toByteArray())[0]));
            i += 2;
            continue;
        }
        out.append(c);
    }
    return out;
}

Result<QByteArray> htmlText(const QByteArray& m, const Part& part)
{
    const QByteArrayView body = QByteArrayView(m).sliced(part.bodyBegin, part.end - part.bodyBegin);
    QByteArray bytes;
    if (part.encoding == "quoted-printable")
        bytes = decodeQuotedPrintable(body);
    else if (part.encoding == "base64")
        bytes = QByteArray::fromBase64(body.toByteArray());
    else
        bytes = body.toByteArray();
    if (part.charset.isEmpty() || part.charset == "utf-8" || part.charset == "us-ascii" ||
        part.charset == "utf8")
        return bytes;
    QStringDecoder decoder(part.charset.constData());
    if (!decoder.isValid())
        return Status::failure(QCoreApplication::translate(
                                   "BrandApply", "the page's character set \"%1\" is not known")
                                   .arg(QString::fromLatin1(part.charset)));
    return QString(decoder.decode(bytes)).toUtf8();
}

QByteArray imagePart(const InlineImage& image)
{
    QByteArray out;
    out += "Content-Type: image/png; name=\"" + image.fileName.toLatin1() + "\"\r\n";
    out += "Content-Transfer-Encoding: base64\r\n";
    out += "Content-ID: <" + image.cid + ">\r\n";
    out += "Content-Disposition: inline; filename=\"" + image.fileName.toLatin1() + "\"\r\n\r\n";
    const QByteArray base64 = image.png.toBase64();
    for (qsizetype at = 0; at < base64.size(); at += 76)
        out += base64.mid(at, 76) + "\r\n";
    out.chop(2);
    return out;
}

} // namespace

Slots slotsOf(const QByteArray& html)
{
    QSet<QString> slotNames;
    QSet<QString> roles;
    Html::scanHtml(html, [&](const Html::HtmlTag& tag) {
        const QByteArray slot = tag.attribute(html, SlotAttribute);
        if (!slot.isEmpty())
            slotNames.insert(QString::fromUtf8(slot));
        const QByteArray marks = tag.attribute(html, ColoursAttribute);
        for (const QByteArray& role : marks.simplified().split(' '))
            if (!role.isEmpty() && role != "-")
                roles.insert(QString::fromUtf8(role));
    });
    Slots found{QStringList(slotNames.begin(), slotNames.end()),
                QStringList(roles.begin(), roles.end())};
    found.slotNames.sort();
    found.colourRoles.sort();
    return found;
}

bool hasSlots(const QByteArray& html)
{
    bool found = false;
    Html::scanHtml(html, [&](const Html::HtmlTag& tag) {
        found = found || !tag.attribute(html, SlotAttribute).isNull() ||
                !tag.attribute(html, ColoursAttribute).isNull();
    });
    return found;
}

Result<Branded> applyToMessage(const QByteArray& message, const BrandKit& brand)
{
    // The icons live in the static core library, which the linker would
    // otherwise leave out.
    initBrandResources();
    const Part root = readPart(message, 0, message.size());
    const std::optional<HtmlLocation> location = findHtml(message, root, 0);
    if (!location)
        return Branded{message, {}};
    const Result<QByteArray> html = htmlText(message, location->html);
    if (!html)
        return html.status();
    if (!hasSlots(*html))
        return Branded{message, {}};

    const QStringList problems = brandProblems(brand);
    if (!problems.isEmpty())
        return Status::failure(
            QCoreApplication::translate("BrandApply", "The brand \"%1\" cannot be used: %2")
                .arg(brand.name, problems.join(u' ')));

    const BrandColours::Palette palette = BrandColours::derive(brand);
    const Result<PageResult> page = brandPage(*html, brand, palette);
    if (!page)
        return page.status();

    // The HTML part keeps its other headers (a Content-ID, say); its type and
    // encoding are the new ones. A top-level HTML part's mail headers stay
    // at the top when its content moves into a new multipart.
    const Part& part = location->html;
    QByteArray outerHeaders;
    QByteArray innerHeaders;
    for (const Header& header : part.headers) {
        const QByteArray line =
            QByteArrayView(message).sliced(header.begin, header.end - header.begin).toByteArray();
        if (header.name == "content-type" || header.name == "content-transfer-encoding")
            continue;
        (header.name.startsWith("content-") || part.begin != 0 ? innerHeaders : outerHeaders) +=
            line;
    }
    const QByteArray htmlPart = innerHeaders +
                                "Content-Type: text/html; charset=UTF-8\r\n"
                                "Content-Transfer-Encoding: quoted-printable\r\n\r\n" +
                                TemplateMessage::encodeQuotedPrintable(page->html);

    QByteArray out;
    if (page->images.isEmpty()) {
        out = message.left(part.begin) + (part.begin == 0 ? outerHeaders : QByteArray()) +
              htmlPart + message.mid(part.end);
    } else if (location->inRelated) {
        QByteArray added;
        for (const InlineImage& image : page->images)
            added += "\r\n--" + location->relatedBoundary + "\r\n" + imagePart(image);
        out = message.left(part.begin) + htmlPart +
              message.mid(part.end, location->relatedClose - part.end) + added +
              message.mid(location->relatedClose);
    } else {
        const QByteArray boundary =
            "=_quillery_brand_" +
            QCryptographicHash::hash(page->html, QCryptographicHash::Sha1).toHex().left(16);
        QByteArray related =
            (part.begin == 0 ? outerHeaders : QByteArray()) +
            "Content-Type: multipart/related; type=\"text/html\";\r\n boundary=\"" + boundary +
            "\"\r\n\r\n--" + boundary + "\r\n" + htmlPart;
        for (const InlineImage& image : page->images)
            related += "\r\n--" + boundary + "\r\n" + imagePart(image);
        related += "\r\n--" + boundary + "--";
        if (part.begin == 0)
            related += "\r\n";
        out = message.left(part.begin) + related + message.mid(part.end);
    }
    return Branded{out, palette.adjustments};
}

} // namespace BrandApply
