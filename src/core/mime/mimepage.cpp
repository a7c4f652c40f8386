#include "core/mime/mimepage.h"

#include "core/html/htmlnesting.h"
#include "core/html/htmlscan.h"
#include "core/html/htmlurls.h"
#include "core/mime/mimebody.h"
#include "core/mime/mimecharset.h"
#include "core/mime/mimefilenames.h"
#include "core/mime/mimeheavy.h"
#include "core/mime/mimemessage.h"
#include "core/mime/mimeoutput.h"
#include "core/mime/mimereferences.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QHash>
#include <QUrl>

#include <optional>

namespace Mime {

namespace {

// More than this in added reference text means the page is built to blow up.
constexpr qsizetype MaxAddedReferenceBytes = 64 * 1024 * 1024;
// Plain text longer than this is cut before it becomes a page.
constexpr qsizetype MaxPlainTextBytes = 16 * 1024 * 1024;

QUrl resolvedUrl(const QString& base, const QString& reference)
{
    QUrl url(reference);
    if (!base.isEmpty())
        url = QUrl(base).resolved(url);
    return url.adjusted(QUrl::NormalizePathSegments | QUrl::RemoveFragment);
}

// Two spellings of one URL ("logo@2x.png", "logo%402x.png") give one key.
QString urlKey(const QUrl& url)
{
    return QUrl::fromPercentEncoding(url.toEncoded());
}

QByteArray withoutAngles(QByteArray id)
{
    id = id.trimmed();
    if (id.size() >= 2 && id.startsWith('<') && id.endsWith('>'))
        id = id.mid(1, id.size() - 2).trimmed();
    return id;
}

// What a reference to the local disk becomes.
QByteArray droppedUrl()
{
    return QByteArray("");
}

QString heavyContentProblem()
{
    return QCoreApplication::translate(
        "MimeComponent", "the page holds SVG filters, SVG animations or style variables that "
                         "would take too long to draw; they were left out");
}

void addProblemOnce(QStringList* problems, const QString& problem)
{
    if (!problems->contains(problem))
        problems->append(problem);
}

// Every custom property of the message, from whatever it holds that a page
// may load as a page or a style sheet.
CssExpansion customProperties(const Message& message, const Part* body, const QByteArray& page)
{
    CssExpansion expansion;
    expansion.addDocument(page, false);
    const std::vector<Part>& parts = message.parts();
    for (int i = 0; i < int(parts.size()); ++i) {
        const Part& part = parts[size_t(i)];
        if (!part.isLeaf() || &part == body || part.is("audio") || part.is("video") ||
            part.is("font") || (part.is("image") && !part.subtype.contains("svg")))
            continue;
        const QByteArray content = message.content(i);
        expansion.addDocument(content, false);
        expansion.addCss(content);
    }
    return expansion;
}

template <typename Key> void insertFirst(QHash<Key, int>& hash, const Key& key, int value)
{
    if (!hash.contains(key))
        hash.insert(key, value);
}

class PartFiles : public ReferenceResolver
{
public:
    PartFiles(const Message& message, const Part* body, OutputFolder* output,
              const QByteArray& urlPrefix, QStringList* problems)
        : m_message(message), m_output(output), m_urlPrefix(urlPrefix), m_problems(problems)
    {
        const std::vector<Part>& parts = message.parts();
        for (int i = 0; i < int(parts.size()); ++i) {
            const Part& part = parts[size_t(i)];
            if (!part.isLeaf() || &part == body)
                continue;
            // The first part of an id or location wins, as in mail programs.
            if (!part.contentId.isEmpty()) {
                insertFirst(m_byContentId, part.contentId, i);
                insertFirst(m_byContentIdFolded, part.contentId.toLower(), i);
            }
            if (!part.location.isEmpty())
                insertFirst(m_byLocation, urlKey(resolvedUrl(QString(), part.location)), i);
        }
        if (body)
            m_base = body->base;
    }

    QByteArray replacement(const QByteArray& rawUrl) override
    {
        const QByteArray url = Html::cleanUrl(rawUrl);
        if (url.isEmpty() || url.startsWith('#'))
            return QByteArray();
        if (url.size() > 4 && qstrnicmp(url.constData(), "cid:", 4) == 0) {
            const QByteArray id = withoutAngles(QByteArray::fromPercentEncoding(url.mid(4)));
            int part = m_byContentId.value(id, -1);
            if (part < 0)
                part = m_byContentIdFolded.value(id.toLower(), -1);
            return part < 0 ? QByteArray() : fileUrl(part);
        }
        if (!m_byLocation.isEmpty()) {
            const int part =
                m_byLocation.value(urlKey(resolvedUrl(m_base, QString::fromUtf8(url))), -1);
            if (part >= 0)
                return fileUrl(part);
        }
        // The page is read from a local file: what points at the disk beside
        // the page's own files is dropped, silently, as a mail viewer does.
        if (Html::isFileUrl(url))
            return droppedUrl();
        if (!isRelative(url))
            return QByteArray();
        if (m_base.isEmpty())
            return Html::leavesPageFolder(url) ? droppedUrl() : QByteArray();
        // With the page moved to a local file, a relative link would lose the
        // base it was written against; it keeps pointing where it pointed.
        const QByteArray kept = absolute(url);
        if (isLocal(kept))
            return droppedUrl();
        return kept == url ? QByteArray() : kept;
    }

    // Judged as written: the <base> is gone from the page, and the files
    // beside it are read from the images folder.
    bool isLocal(const QByteArray& rawUrl) override
    {
        const QByteArray url = Html::cleanUrl(rawUrl);
        return Html::isFileUrl(url) || (isRelative(url) && Html::leavesPageFolder(url));
    }

    void setDocumentBase(const QByteArray& url) override
    {
        // Never a base on the local disk, for any reference of the page.
        const QByteArray cleaned = Html::cleanUrl(url);
        if (Html::isFileUrl(cleaned))
            return;
        const QString base =
            resolvedUrl(m_base, QString::fromUtf8(cleaned)).toString(QUrl::FullyEncoded);
        if (!Html::isFileUrl(base.toUtf8()))
            m_base = base;
    }

    // The URL of the part's file, written on first use; null if it cannot be.
    QByteArray fileUrl(int index)
    {
        const auto known = m_urls.constFind(index);
        if (known != m_urls.constEnd())
            return *known;
        QByteArray url;
        if (m_output && m_addedBytes <= MaxAddedReferenceBytes) {
            const Part& part = m_message.parts()[size_t(index)];
            const QString wanted = safeFileName(part.fileName, part.type, part.subtype, &m_madeUp);
            QString used;
            const std::optional<QByteArray> content = loadableContent(index, wanted);
            // A document that reaches for local files is not written, quietly:
            // the reference stays as it was and loads nothing.
            const Status written =
                content ? m_output->write(wanted, *content, &used) : Status::success();
            if (!written)
                addProblem(written.message());
            else if (content)
                url = m_urlPrefix + QUrl::toPercentEncoding(used);
        } else if (m_output) {
            addProblem(QCoreApplication::translate(
                "MimeComponent", "the page refers to its parts too often; the rest of the "
                                 "references are left as they are"));
        }
        m_addedBytes += url.size();
        m_urls.insert(index, url);
        return url;
    }

    bool isWritten(int index) const { return m_urls.contains(index); }

    void setCustomProperties(const CssExpansion* expansion) { m_expansion = expansion; }

private:
    // A file beside the page is read by the browser as its extension says,
    // and one of an unknown kind as what it looks like: a page, or in a page
    // without a doctype even a style sheet. Whatever can load something
    // reads files as the page itself would. XML documents (an SVG picture
    // shown in an object) would break if rewritten: they are written as
    // they are or not at all.
    std::optional<QByteArray> loadableContent(int index, const QString& fileName)
    {
        static const QStringList inert = {"png",  "jpg", "jpeg", "gif",  "webp",  "bmp", "ico",
                                          "avif", "tif", "tiff", "woff", "woff2", "ttf", "otf",
                                          "eot",  "mp3", "mp4",  "m4a",  "ogg",   "oga", "ogv",
                                          "webm", "wav", "flac", "txt",  "pdf"};
        static const QStringList xml = {"svg",   "xml", "xsl",  "xslt", "xht",
                                        "xhtml", "rss", "atom", "mml"};
        const QString extension = QFileInfo(fileName).suffix().toLower();
        QByteArray content = m_message.content(index);
        if (inert.contains(extension))
            return content;
        if (xml.contains(extension)) {
            if (isHeavyXmlDocument(content)) {
                addProblem(heavyContentProblem());
                return std::nullopt;
            }
            return isSafeXmlDocument(content, *this) ? std::optional(content) : std::nullopt;
        }
        if (m_expansion) {
            bool heavy = false;
            content = dropHeavyContent(dropHeavyContent(content, false, *m_expansion, &heavy), true,
                                       *m_expansion, &heavy);
            if (heavy)
                addProblem(heavyContentProblem());
        }
        return dropLocalReferences(dropLocalReferences(content, false, *this), true, *this);
    }

    static bool isRelative(const QByteArray& url)
    {
        return QUrl(QString::fromUtf8(url)).isRelative();
    }

    // The URL resolved against the base; a base that does not parse leaves it
    // as it is, relative to the page.
    QByteArray absolute(const QByteArray& url) const
    {
        const QUrl resolved = QUrl(m_base).resolved(QUrl(QString::fromUtf8(url)));
        return resolved.isValid() && !resolved.isEmpty() ? resolved.toEncoded() : url;
    }

    void addProblem(const QString& problem)
    {
        if (!m_problems->contains(problem))
            m_problems->append(problem);
    }

    const Message& m_message;
    OutputFolder* m_output;
    QByteArray m_urlPrefix;
    QStringList* m_problems;
    QString m_base;
    QHash<QByteArray, int> m_byContentId;
    QHash<QByteArray, int> m_byContentIdFolded;
    QHash<QString, int> m_byLocation;
    QHash<int, QByteArray> m_urls;
    qsizetype m_addedBytes = 0;
    int m_madeUp = 0;
    const CssExpansion* m_expansion = nullptr;
};

QByteArray escapeText(const QByteArray& text)
{
    QByteArray out;
    out.reserve(text.size() + text.size() / 16);
    for (const char c : text) {
        switch (c) {
        case '&':
            out.append("&amp;");
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

QByteArray pageForText(const QByteArray& utf8Text, const QString& subject)
{
    return "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>" +
           escapeText(subject.toUtf8()) +
           "</title></head>\n<body><pre style=\"white-space: pre-wrap; overflow-wrap: anywhere; "
           "font-family: monospace;\">" +
           escapeText(utf8Text) + "</pre>\n</body></html>\n";
}

QByteArray insertBeforeBodyEnd(QByteArray html, const QByteArray& addition)
{
    const QByteArray lower = html.toLower();
    qsizetype at = lower.lastIndexOf("</body");
    if (at < 0)
        at = lower.lastIndexOf("</html");
    html.insert(at < 0 ? html.size() : at, addition);
    return html;
}

} // namespace

QByteArray buildPage(const Message& message, OutputFolder* output, const QByteArray& urlPrefix,
                     QStringList* problems)
{
    const std::vector<Part>& parts = message.parts();
    const BodyChoice body = chooseBody(parts);
    const Part* bodyPart = body.part >= 0 ? &parts[size_t(body.part)] : nullptr;

    QByteArray html;
    if (!bodyPart) {
        html = pageForText(QByteArray(), message.subject());
    } else if (body.html) {
        html = htmlToUtf8(message.content(body.part), bodyPart->charset);
    } else {
        QByteArray text = textToUtf8(message.content(body.part), bodyPart->charset);
        if (text.size() > MaxPlainTextBytes) {
            text.truncate(MaxPlainTextBytes);
            text = QString::fromUtf8(text).toUtf8(); // drop a character cut in half
            problems->append(
                QCoreApplication::translate("MimeComponent",
                                            "the text of the message is longer than %1 MB; the "
                                            "rest is left out")
                    .arg(MaxPlainTextBytes / (1024 * 1024)));
        }
        html = pageForText(text, message.subject());
    }

    // Flattened before the references are rewritten: a tag taken out can turn
    // what followed it into markup (a style sheet's text), which the
    // rewriting then sees as the browser will.
    int removed = 0;
    if (body.html)
        html = HtmlNesting::flatten(html, &removed);

    // Left out before anything is written on their account; a page drawn
    // without them costs the engine what its size says.
    const CssExpansion expansion = customProperties(message, bodyPart, html);
    if (body.html) {
        bool heavy = false;
        html = dropHeavyContent(html, false, expansion, &heavy);
        if (heavy)
            addProblemOnce(problems, heavyContentProblem());
    }

    PartFiles files(message, bodyPart, output, urlPrefix, problems);
    files.setCustomProperties(&expansion);
    if (body.html)
        html = rewriteReferences(html, files);

    QByteArray shownAfter;
    for (int index : imagesShownAfterBody(parts, body)) {
        if (files.isWritten(index))
            continue;
        const QByteArray url = files.fileUrl(index);
        if (!url.isEmpty())
            shownAfter += "<div><img src=\"" + Html::escapeAttribute(url) + "\" alt=\"\"></div>\n";
    }
    if (!shownAfter.isEmpty())
        html = insertBeforeBodyEnd(std::move(html), "<hr>\n" + shownAfter);
    else if (!bodyPart)
        problems->append(QCoreApplication::translate("MimeComponent",
                                                     "the message has no text or HTML to show"));

    if (!body.html)
        return html;
    // The pictures shown after the page sit at its end, as deep as the page
    // left it; what flattening them exposes is checked once more.
    int removedAfter = 0;
    html = HtmlNesting::flatten(html, &removedAfter);
    if (removedAfter > 0)
        html = dropLocalReferences(html, false, files);
    if (removed + removedAfter > 0) {
        problems->append(
            QCoreApplication::translate("MimeComponent",
                                        "the page nests its elements deeper than %1 levels; it "
                                        "was flattened")
                .arg(HtmlNesting::MaxDepth));
    }
    return declareUtf8(html);
}

} // namespace Mime
