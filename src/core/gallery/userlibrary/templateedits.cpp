#include "core/gallery/userlibrary/templateedits.h"
#include "core/gallery/userlibrary/templateimport.h"
#include "core/html/htmlscan.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QMap>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSet>

#include <algorithm>

namespace TemplateEdits {

namespace {

constexpr char MarkAttribute[] = "data-edit";
constexpr char SlotIdAttribute[] = "data-edit-slot";
// The run of invisible characters after a preheader's words keeps the body
// text out of the inbox's preview line; it stays when the words change.
constexpr char PreheaderPad[] = "&#847;";
const QString PictureFolder = QStringLiteral("customised");

QString tr(const char* text)
{
    return QCoreApplication::translate("TemplateEdits", text);
}

bool isTextKind(QByteArrayView kind)
{
    return kind == "headline" || kind == "text" || kind == "item" || kind == "button" ||
           kind == "caption" || kind == "preheader";
}

// What a page without marks offers as words to change.
QByteArray unmarkedKind(const QByteArray& name)
{
    if (name.size() == 2 && name[0] == 'h' && name[1] >= '1' && name[1] <= '6')
        return "headline";
    if (name == "p")
        return "text";
    if (name == "li")
        return "item";
    if (name == "a")
        return "button";
    return {};
}

// Where the element's end tag starts, counting the same elements nested in
// it; -1 when it has none. Elements whose end tag may be left out (p, li,
// headings) end at the next one of their kind, and then have none we could
// rewrite without guessing.
qsizetype elementEnd(const QByteArray& lower, const std::vector<Html::HtmlTag>& tags, size_t index)
{
    const Html::HtmlTag& tag = tags[index];
    const QByteArray close = "</" + tag.name;
    const bool implied = !unmarkedKind(tag.name).isEmpty() && tag.name != "a";
    int depth = 1;
    size_t next = index + 1;
    qsizetype from = tag.end;
    while (true) {
        qsizetype end = lower.indexOf(close, from);
        while (end >= 0) {
            const qsizetype after = end + close.size();
            const char c = after < lower.size() ? lower[after] : '>';
            if (c == '>' || c == '/' || c == ' ' || c == '\t' || c == '\n' || c == '\r' ||
                c == '\f')
                break;
            end = lower.indexOf(close, after);
        }
        while (next < tags.size() && tags[next].name != tag.name && tags[next].begin < end)
            ++next;
        if (end < 0)
            return -1;
        if (next < tags.size() && tags[next].name == tag.name && tags[next].begin < end) {
            if (implied)
                return -1;
            ++depth;
            from = tags[next].end;
            ++next;
            continue;
        }
        if (--depth == 0)
            return end;
        from = end + close.size();
    }
}

QString plainText(QByteArrayView content)
{
    static const QRegularExpression comments(QStringLiteral("<!--.*?-->"),
                                             QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression tags(QStringLiteral("<[^>]*>"));
    QString text = QString::fromUtf8(content);
    text.remove(comments);
    // Blocks inside a slot read as lines of their own, as the page shows them.
    static const QRegularExpression blocks(
        QStringLiteral("</?(div|p|li|tr|td|th|table|h[1-6])(\\s[^>]*)?>"),
        QRegularExpression::CaseInsensitiveOption);
    text.replace(blocks, QStringLiteral("\n"));
    text.replace(
        QRegularExpression(QStringLiteral("<br\\s*/?>"), QRegularExpression::CaseInsensitiveOption),
        QStringLiteral("\n"));
    text.remove(tags);
    text = QString::fromUtf8(Html::decodeEntities(text.toUtf8()));
    QStringList lines = text.split(u'\n');
    for (QString& line : lines)
        line = line.simplified();
    lines.removeAll(QString());
    return lines.join(u'\n');
}

bool isPictureTag(QByteArrayView name)
{
    return name == "img";
}

int intAttribute(const QByteArray& html, const Html::HtmlTag& tag, const char* name)
{
    bool ok = false;
    const int value = tag.attribute(html, name).trimmed().toInt(&ok);
    return ok && value > 0 ? value : 0;
}

const Html::HtmlAttribute* findAttribute(const Html::HtmlTag& tag, const char* name)
{
    for (const Html::HtmlAttribute& attribute : tag.attributes)
        if (attribute.name == name)
            return &attribute;
    return nullptr;
}

struct Replacement
{
    qsizetype begin = 0;
    qsizetype end = 0;
    QByteArray text;
};

// The attribute set to `value`: in place when the tag has it, else after
// the tag's name.
Replacement setAttribute(const Html::HtmlTag& tag, const char* name, const QString& value)
{
    const QByteArray markup =
        QByteArray(name) + "=\"" + Html::escapeAttribute(value.toUtf8()) + '"';
    if (const Html::HtmlAttribute* attribute = findAttribute(tag, name))
        return {attribute->begin, attribute->end, markup};
    const qsizetype at = tag.begin + 1 + tag.name.size();
    return {at, at, ' ' + markup};
}

QByteArray replaced(const QByteArray& html, std::vector<Replacement> replacements)
{
    std::stable_sort(replacements.begin(), replacements.end(),
                     [](const Replacement& a, const Replacement& b) { return a.begin < b.begin; });
    QByteArray out;
    out.reserve(html.size() + html.size() / 8);
    qsizetype copied = 0;
    for (const Replacement& replacement : replacements) {
        if (replacement.begin < copied)
            continue;
        out.append(QByteArrayView(html).sliced(copied, replacement.begin - copied));
        out.append(replacement.text);
        copied = replacement.end;
    }
    out.append(QByteArrayView(html).sliced(copied));
    return out;
}

QByteArray escapedText(const QString& text)
{
    // Typed or pasted, it is words: markup in it shows as written.
    QString normal = text;
    normal.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    normal.replace(u'\r', u'\n');
    QStringList lines = normal.split(u'\n');
    for (QString& line : lines)
        line = line.toHtmlEscaped();
    return lines.join(QLatin1String("<br>")).toUtf8();
}

bool isTransparent(const QImage& image)
{
    if (!image.hasAlphaChannel())
        return false;
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < argb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x)
            if (qAlpha(line[x]) != 255)
                return true;
    }
    return false;
}

} // namespace

std::vector<Slot> slotsOf(const QByteArray& html)
{
    std::vector<Html::HtmlTag> tags;
    bool marked = false;
    Html::scanHtml(html, [&](const Html::HtmlTag& tag) {
        marked = marked || !tag.attribute(html, MarkAttribute).isNull();
        tags.push_back(tag);
    });
    const QByteArray lower = html.toLower();
    std::vector<Slot> found;
    bool inBody = false;
    qsizetype textEnd = -1; // the end of the last slot of words, which holds what lies in it
    for (size_t i = 0; i < tags.size(); ++i) {
        const Html::HtmlTag& tag = tags[i];
        inBody = inBody || tag.name == "body";
        if (tag.begin < textEnd)
            continue;
        QByteArray kind;
        if (marked) {
            kind = tag.attribute(html, MarkAttribute).trimmed().toLower();
            if (kind == "image" ? !isPictureTag(tag.name) : !isTextKind(kind))
                continue;
        } else {
            if (!inBody)
                continue;
            kind = isPictureTag(tag.name) ? QByteArray("image") : unmarkedKind(tag.name);
            if (kind.isEmpty() || (kind == "button" && tag.attribute(html, "href").isNull()))
                continue;
        }
        Slot slot;
        slot.kind = QString::fromLatin1(kind);
        slot.tagBegin = tag.begin;
        slot.tagEnd = tag.end;
        if (kind == "image") {
            slot.picture = QString::fromUtf8(tag.attribute(html, "src"));
            slot.alt = QString::fromUtf8(tag.attribute(html, "alt"));
            slot.box = QSize(intAttribute(html, tag, "width"), intAttribute(html, tag, "height"));
        } else {
            slot.contentEnd = elementEnd(lower, tags, i);
            if (slot.contentEnd < 0)
                continue;
            QByteArrayView content =
                QByteArrayView(html).sliced(tag.end, slot.contentEnd - tag.end);
            if (!marked) {
                // Words around a picture or a block of their own are not
                // one slot: rewriting them would take those along.
                static const QRegularExpression blocks(
                    QStringLiteral("<(img|table|div|p|h[1-6]|ul|ol|li)[\\s/>]"),
                    QRegularExpression::CaseInsensitiveOption);
                if (blocks.match(QString::fromUtf8(content)).hasMatch())
                    continue;
            }
            if (kind == "preheader") {
                const qsizetype pad = content.indexOf(PreheaderPad);
                if (pad >= 0)
                    content = content.first(pad);
            }
            slot.text = plainText(content);
            if (!marked && slot.text.isEmpty())
                continue;
            if (tag.name == "a")
                slot.link = QString::fromUtf8(tag.attribute(html, "href"));
            textEnd = slot.contentEnd;
        }
        slot.id = int(found.size());
        found.push_back(slot);
    }
    return found;
}

QByteArray withSlotIds(const QByteArray& html)
{
    std::vector<Replacement> replacements;
    Html::scanHtml(html, [&](const Html::HtmlTag& tag) {
        for (const Html::HtmlAttribute& attribute : tag.attributes)
            if (attribute.name == SlotIdAttribute)
                replacements.push_back({attribute.begin, attribute.end, {}});
    });
    for (const Slot& slot : slotsOf(html)) {
        // The tag's name ends where its first attribute or the '>' begins.
        qsizetype nameEnd = slot.tagBegin + 1;
        while (nameEnd < slot.tagEnd && html[nameEnd] != ' ' && html[nameEnd] != '\t' &&
               html[nameEnd] != '\n' && html[nameEnd] != '\r' && html[nameEnd] != '\f' &&
               html[nameEnd] != '/' && html[nameEnd] != '>')
            ++nameEnd;
        replacements.push_back(
            {nameEnd, nameEnd,
             QByteArray(" ") + SlotIdAttribute + "=\"" + QByteArray::number(slot.id) + '"'});
    }
    return replaced(html, std::move(replacements));
}

QStringList markedKinds(const QByteArray& html)
{
    QSet<QString> kinds;
    Html::scanHtml(html, [&](const Html::HtmlTag& tag) {
        const QByteArray kind = tag.attribute(html, MarkAttribute).trimmed();
        if (!kind.isEmpty())
            kinds.insert(QString::fromUtf8(kind));
    });
    QStringList sorted(kinds.begin(), kinds.end());
    sorted.sort();
    return sorted;
}

Status checkLink(const QString& link)
{
    const QString shown = link.trimmed();
    const auto refuse = [&](const QString& reason) {
        return Status::failure(tr("The link \u201c%1\u201d cannot be used: %2").arg(shown, reason));
    };
    if (shown.isEmpty())
        return Status::failure(tr("A link needs a target, such as https://example.com."));
    // A browser ignores tabs and line breaks anywhere in an address and
    // anything below a space around it, so "java\tscript:" is still a script.
    QString bare;
    for (const QChar c : shown)
        if (c.unicode() > 0x20)
            bare += c;
    bare = bare.toLower();
    if (bare.startsWith(u'#') || (bare.startsWith(u'[') && bare.endsWith(u']')))
        return Status::success();
    static const QRegularExpression scheme(QStringLiteral("^([a-z][a-z0-9+.-]*):"));
    const QRegularExpressionMatch match = scheme.match(bare);
    if (!match.hasMatch()) {
        if (bare.startsWith(QLatin1String("//")))
            return Status::success();
        return refuse(tr("it names no web address; start it with https://"));
    }
    const QString name = match.captured(1);
    if (name == QLatin1String("http") || name == QLatin1String("https") ||
        name == QLatin1String("mailto") || name == QLatin1String("tel") ||
        name == QLatin1String("sms"))
        return Status::success();
    if (name == QLatin1String("javascript") || name == QLatin1String("vbscript"))
        return refuse(tr("it would run a script"));
    if (name == QLatin1String("data"))
        return refuse(tr("it carries its content in the link (data:)"));
    if (name == QLatin1String("file"))
        return refuse(tr("it points at a file of this computer"));
    return refuse(tr("a link can go to a web or mail address or a telephone number only"));
}

Result<Picture> preparePicture(const QString& file, QSize box)
{
    const QString shown = QDir::toNativeSeparators(file);
    const auto refuse = [&](const QString& reason) {
        return Status::failure(shown + QLatin1String(": ") + reason);
    };
    const QFileInfo info(file);
    if (!info.isFile())
        return refuse(tr("there is no such file"));
    if (info.size() > MaxPictureFileSize)
        return refuse(tr("the picture is larger than %1 bytes").arg(MaxPictureFileSize));
    QImageReader reader(file);
    reader.setDecideFormatFromContent(true);
    const QByteArray format = reader.format().toLower();
    static const QSet<QByteArray> accepted = {"png", "jpeg", "jpg", "gif", "webp"};
    if (!reader.canRead() || !accepted.contains(format))
        return refuse(tr("this is not a picture in PNG, JPEG, GIF or WebP"));
    const auto tooLarge = [&](QSize size) {
        return refuse(tr("the picture is %1 \u00d7 %2 pixels; it may have at most %3 on a side")
                          .arg(size.width())
                          .arg(size.height())
                          .arg(MaxPictureSide));
    };
    // Some formats (GIF) tell their size only when read; the allocation
    // limit stops those before a huge one is decoded.
    const QSize size = reader.size();
    if (size.isValid() && (size.width() > MaxPictureSide || size.height() > MaxPictureSide))
        return tooLarge(size);
    reader.setAllocationLimit(int(qint64(MaxPictureSide) * MaxPictureSide * 4 / (1024 * 1024)));
    const QImage image = reader.read();
    if (image.isNull())
        return refuse(tr("the picture cannot be read: %1").arg(reader.errorString()));
    if (image.width() > MaxPictureSide || image.height() > MaxPictureSide)
        return tooLarge(image.size());

    // The slot keeps its size, so the layout around it does not move; a
    // picture with no size given keeps its proportions at the column's width.
    QSize drawn = box;
    if (drawn.width() <= 0)
        drawn.setWidth(std::min(600, image.width()));
    if (drawn.height() <= 0)
        drawn.setHeight(std::max(1, image.height() * drawn.width() / std::max(1, image.width())));
    const QSize target = drawn * 2;
    const QImage filled =
        image.scaled(target, Qt::KeepAspectRatioByExpanding, Qt::SmoothTransformation);
    const QImage cut =
        filled.copy((filled.width() - target.width()) / 2, (filled.height() - target.height()) / 2,
                    target.width(), target.height());

    Picture picture;
    QBuffer buffer(&picture.data);
    buffer.open(QIODevice::WriteOnly);
    if (isTransparent(cut)) {
        cut.save(&buffer, "PNG");
        picture.mimeType = "image/png";
        picture.suffix = QStringLiteral("png");
    } else {
        cut.convertToFormat(QImage::Format_RGB32).save(&buffer, "JPEG", 85);
        picture.mimeType = "image/jpeg";
        picture.suffix = QStringLiteral("jpg");
    }
    if (picture.data.isEmpty())
        return refuse(tr("the picture cannot be converted"));
    return picture;
}

Result<QByteArray> applyToPage(const QByteArray& html, const QList<Edit>& edits,
                               const QString& folder)
{
    const std::vector<Slot> found = slotsOf(html);
    // Later edits of a slot win, as the undo history left them.
    QMap<int, Edit> bySlot;
    for (const Edit& edit : edits) {
        if (edit.slot < 0 || edit.slot >= int(found.size()))
            return Status::failure(tr("The template has no part %1 to change; it has %2.")
                                       .arg(edit.slot)
                                       .arg(found.size()));
        Edit& merged = bySlot[edit.slot];
        merged.slot = edit.slot;
        if (edit.text)
            merged.text = edit.text;
        if (edit.link)
            merged.link = edit.link;
        if (edit.alt)
            merged.alt = edit.alt;
        if (!edit.pictureFile.isEmpty())
            merged.pictureFile = edit.pictureFile;
    }

    std::vector<Html::HtmlTag> tags;
    Html::scanHtml(html, [&](const Html::HtmlTag& tag) { tags.push_back(tag); });
    const auto tagAt = [&](qsizetype begin) {
        return *std::find_if(tags.begin(), tags.end(),
                             [&](const Html::HtmlTag& tag) { return tag.begin == begin; });
    };

    std::vector<Replacement> replacements;
    for (const Edit& edit : bySlot) {
        const Slot& slot = found[size_t(edit.slot)];
        const Html::HtmlTag tag = tagAt(slot.tagBegin);
        const bool picture = slot.kind == QLatin1String("image");
        if (picture && edit.text)
            return Status::failure(tr("Part %1 is a picture and has no words.").arg(edit.slot));
        if (!picture && (edit.alt || !edit.pictureFile.isEmpty()))
            return Status::failure(tr("Part %1 holds words, not a picture.").arg(edit.slot));
        if (edit.link && tag.name != "a")
            return Status::failure(tr("Part %1 is not a link.").arg(edit.slot));
        if (edit.link) {
            if (const Status status = checkLink(*edit.link); !status)
                return status;
            replacements.push_back(setAttribute(tag, "href", edit.link->trimmed()));
        }
        if (edit.text) {
            qsizetype end = slot.contentEnd;
            if (slot.kind == QLatin1String("preheader")) {
                const qsizetype pad = html.indexOf(PreheaderPad, slot.tagEnd);
                if (pad >= 0 && pad < end)
                    end = pad;
            }
            replacements.push_back({slot.tagEnd, end, escapedText(*edit.text)});
        }
        if (edit.alt)
            replacements.push_back(setAttribute(tag, "alt", edit.alt->simplified()));
        if (!edit.pictureFile.isEmpty()) {
            const Result<Picture> drawn = preparePicture(edit.pictureFile, slot.box);
            if (!drawn)
                return drawn.status();
            const QString name = QStringLiteral("picture-%1.%2").arg(edit.slot).arg(drawn->suffix);
            if (!QDir(folder).mkpath(PictureFolder))
                return Status::failure(QDir::toNativeSeparators(folder + u'/' + PictureFolder) +
                                       QLatin1String(": ") + tr("the folder cannot be made"));
            QSaveFile out(folder + u'/' + PictureFolder + u'/' + name);
            if (!out.open(QIODevice::WriteOnly) || out.write(drawn->data) != drawn->data.size() ||
                !out.commit())
                return Status::failure(QDir::toNativeSeparators(out.fileName()) +
                                       QLatin1String(": ") + out.errorString());
            replacements.push_back(setAttribute(tag, "src", PictureFolder + u'/' + name));
        }
    }

    return replaced(html, std::move(replacements));
}

Result<QByteArray> applyToMessage(const QByteArray& message, const QList<Edit>& edits,
                                  const QString& name, const QString& subject)
{
    return TemplateImport::recompose(
        name, message,
        [&](const QByteArray& html, const QString& folder) {
            return applyToPage(html, edits, folder);
        },
        name, subject);
}

} // namespace TemplateEdits
