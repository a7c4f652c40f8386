#include "core/gallery/check/pagehazards.h"

#include "core/html/cssurls.h"
#include "core/html/htmlnesting.h"
#include "core/html/htmlscan.h"
#include "core/html/htmlurls.h"

#include <QDir>

#include <cctype>
#include <cstring>
#include <optional>

namespace PageHazards {

namespace {

// Named references that spell URL punctuation; the shared decoder knows only
// the few that matter for names, and "javascript&colon;" must not slip by.
QByteArray decodePunctuation(QByteArrayView raw)
{
    static const struct
    {
        const char* name;
        char value;
    } named[] = {{"&colon;", ':'}, {"&Tab;", '\t'},   {"&NewLine;", '\n'}, {"&sol;", '/'},
                 {"&bsol;", '\\'}, {"&period;", '.'}, {"&percnt;", '%'},   {"&num;", '#'},
                 {"&quest;", '?'}, {"&lpar;", '('},   {"&rpar;", ')'},     {"&commat;", '@'},
                 {"&excl;", '!'},  {"&equals;", '='}};
    QByteArray out;
    out.reserve(raw.size());
    for (qsizetype i = 0; i < raw.size();) {
        bool replaced = false;
        if (raw[i] == '&') {
            for (const auto& entity : named) {
                if (raw.sliced(i).startsWith(entity.name)) {
                    out.append(entity.value);
                    i += qsizetype(std::strlen(entity.name));
                    replaced = true;
                    break;
                }
            }
        }
        if (!replaced)
            out.append(raw[i++]);
    }
    return out;
}

QByteArray attributeValue(const QByteArray& html, const Html::HtmlAttribute& attribute)
{
    return Html::decodeEntities(decodePunctuation(QByteArrayView(html).sliced(
        attribute.valueBegin, attribute.valueEnd - attribute.valueBegin)));
}

QByteArray schemeOf(const QByteArray& url)
{
    if (url.isEmpty() || !std::isalpha(static_cast<unsigned char>(url[0])))
        return {};
    for (qsizetype i = 1; i < url.size(); ++i) {
        const auto c = static_cast<unsigned char>(url[i]);
        if (c == ':')
            return url.left(i).toLower();
        if (!std::isalnum(c) && c != '+' && c != '-' && c != '.')
            return {};
    }
    return {};
}

// Whether a relative path, resolved from the page's folder, leaves it. The
// engine reads "%2e" as a dot and "\" as a separator in such paths.
bool climbsOut(QByteArray path)
{
    for (const char stop : {'?', '#'}) {
        const qsizetype end = path.indexOf(stop);
        if (end >= 0)
            path.truncate(end);
    }
    path.replace("%2e", ".").replace("%2E", ".");
    const QString cleaned = QDir::cleanPath(QString::fromUtf8(path));
    return cleaned == QLatin1String("..") || cleaned.startsWith(QLatin1String("../"));
}

bool isRemoteScheme(const QByteArray& scheme)
{
    return scheme == "http" || scheme == "https" || scheme == "ftp";
}

// How the page uses a reference: fetched as it loads, or followed on a click.
enum class Use { Loads, Navigates };

// A <link> fetches what it names unless every relation is a kind of link.
Use linkUse(const QByteArray& rel)
{
    static const QList<QByteArray> navigation{
        "alternate", "author",   "bookmark", "canonical",  "external", "help", "license", "me",
        "next",      "nofollow", "noopener", "noreferrer", "opener",   "prev", "search",  "tag"};
    const QList<QByteArray> relations = rel.simplified().toLower().split(' ');
    for (const QByteArray& relation : relations)
        if (!relation.isEmpty() && !navigation.contains(relation))
            return Use::Loads;
    return rel.trimmed().isEmpty() ? Use::Loads : Use::Navigates;
}

// The use of a URL attribute; nullopt when the attribute holds no URL.
std::optional<Use> urlUse(const Html::HtmlTag& tag, const QByteArray& attribute,
                          const QByteArray& html)
{
    static const QList<QByteArray> loading{"src",    "poster", "background", "data",
                                           "lowsrc", "dynsrc", "manifest"};
    static const QList<QByteArray> navigating{"action", "formaction", "cite",     "longdesc",
                                              "usemap", "ping",       "codebase", "profile",
                                              "icon",   "archive",    "classid"};
    if (loading.contains(attribute))
        return Use::Loads;
    if (navigating.contains(attribute))
        return Use::Navigates;
    if (attribute != "href" && attribute != "xlink:href")
        return std::nullopt;
    if (tag.name == "image" || tag.name == "use" || tag.name == "feimage")
        return Use::Loads;
    if (tag.name == "link")
        return linkUse(tag.attribute(html, "rel"));
    return Use::Navigates;
}

QString shown(const QByteArray& url)
{
    constexpr int MaxShown = 80;
    QString text = QString::fromUtf8(url);
    if (text.size() > MaxShown)
        text = text.left(MaxShown) + QChar(0x2026);
    return text;
}

bool isAnimation(const QByteArray& tag)
{
    return tag == "animate" || tag == "set" || tag == "animatemotion" ||
           tag == "animatetransform" || tag == "animatecolor";
}

// A data: URL's media type, in lower case, and its content decoded as the
// engine decodes it: percent escapes, then base64 when it says so.
struct DataUrl
{
    QByteArray type;
    QByteArray content;
};

std::optional<DataUrl> readDataUrl(const QByteArray& url)
{
    const qsizetype comma = url.indexOf(',');
    if (comma < 0)
        return std::nullopt;
    const QByteArray header = url.mid(5, comma - 5).toLower();
    const QList<QByteArray> parameters = header.split(';');
    DataUrl data;
    data.type = parameters.first().trimmed();
    data.content = QByteArray::fromPercentEncoding(url.mid(comma + 1));
    if (parameters.size() > 1 && parameters.last().trimmed() == "base64")
        data.content = QByteArray::fromBase64(data.content);
    return data;
}

// Types the engine shows as a picture, a sound or text: nothing in them runs
// or loads.
bool isInertType(const QByteArray& type)
{
    if (type.startsWith("image/"))
        return !type.contains("svg");
    return type.isEmpty() || type == "text/plain" || type.startsWith("audio/") ||
           type.startsWith("video/") || type.startsWith("font/");
}

// Where the content of a conditional comment for Outlook ("<!--[if mso]>")
// that starts at `at` begins and ends; nullopt for any other comment, and for
// a conditional whose content browsers show ("<!--[if !mso]><!-->"), which is
// scanned with the page. Read as Outlook reads it: its content runs to
// "<![endif]", whatever a browser makes of a "-->" before.
std::optional<std::pair<qsizetype, qsizetype>> conditionalContent(const QByteArray& lower,
                                                                  qsizetype at)
{
    if (!lower.sliced(at).startsWith("<!--[if"))
        return std::nullopt;
    const qsizetype open = lower.indexOf("]>", at);
    if (open < 0)
        return std::nullopt;
    const qsizetype begin = open + 2;
    if (lower.sliced(begin).startsWith("<!-->"))
        return std::nullopt;
    qsizetype end = lower.indexOf("<![endif]", begin);
    if (end < 0)
        end = lower.size();
    return std::pair{begin, end};
}

class Scanner
{
public:
    // Markup inside markup (a data: URL, a conditional comment) is scanned
    // this many levels deep; deeper is a hazard of its own.
    static constexpr int MaxInnerDepth = 4;

    explicit Scanner(const QByteArray& html, int depth = 0) : m_html(html), m_depth(depth) {}

    QList<Hazard> runOnStyleSheet()
    {
        checkCss(m_html, 0, QStringLiteral("style sheet"));
        return finish();
    }

    QList<Hazard> run()
    {
        Html::scanHtml(m_html, [this](const Html::HtmlTag& tag) { visit(tag); });
        checkConditionalComments();
        if (m_depth > 0)
            return finish();
        const int depth = HtmlNesting::depth(m_html);
        if (depth > HtmlNesting::MaxDepth)
            add(0, QStringLiteral("elements nest %1 deep, more than the %2 the gallery shows; "
                                  "the deeper ones are flattened")
                       .arg(depth)
                       .arg(HtmlNesting::MaxDepth));
        return finish();
    }

private:
    QList<Hazard> finish()
    {
        if (m_unlisted > 0)
            m_hazards.append(
                {0, QStringLiteral("%1 more problems of the kinds above").arg(m_unlisted)});
        return m_hazards;
    }

    void add(int line, const QString& reason)
    {
        if (m_hazards.size() < MaxListed)
            m_hazards.append({line, reason});
        else
            ++m_unlisted;
    }

    // Lines are counted onwards from the last offset asked for, since tags
    // come in document order.
    int lineAt(qsizetype offset)
    {
        if (offset < m_countedTo) {
            m_countedTo = 0;
            m_line = 1;
        }
        m_line += int(QByteArrayView(m_html).sliced(m_countedTo, offset - m_countedTo).count('\n'));
        m_countedTo = offset;
        return m_line;
    }

    void visit(const Html::HtmlTag& tag)
    {
        const int line = lineAt(tag.begin);
        if (tag.name == "script")
            add(line, QStringLiteral("runs a script: a <script> element"));
        if (tag.name == "style" && tag.contentEnd > tag.end)
            checkCss(QByteArrayView(m_html).sliced(tag.end, tag.contentEnd - tag.end), tag.end,
                     QStringLiteral("<style>"));
        if (tag.name == "meta" &&
            tag.attribute(m_html, "http-equiv").trimmed().compare("refresh", Qt::CaseInsensitive) ==
                0)
            add(line, QStringLiteral("reloads or leaves the page by itself: "
                                     "<meta http-equiv=\"refresh\">"));
        if (tag.name == "iframe" && !tag.attribute(m_html, "srcdoc").isNull())
            add(line, QStringLiteral("embeds a page of its own: <iframe srcdoc>"));
        for (const Html::HtmlAttribute& attribute : tag.attributes)
            checkAttribute(tag, attribute, line);
    }

    void checkAttribute(const Html::HtmlTag& tag, const Html::HtmlAttribute& attribute, int line)
    {
        const QByteArray& name = attribute.name;
        const QString where =
            QStringLiteral("%1 %2").arg(QString::fromUtf8(tag.name), QString::fromUtf8(name));
        if (name.size() > 2 && name.startsWith("on")) {
            add(line,
                QStringLiteral("runs a script: the event handler %1").arg(QString::fromUtf8(name)));
            return;
        }
        if (!attribute.hasValue)
            return;
        const QByteArray value = attributeValue(m_html, attribute);
        if (isAnimation(tag.name) && name == "attributename") {
            // An animation that sets an event handler installs it as a script.
            const QByteArray target = value.trimmed().toLower();
            if (target.size() > 2 && target.startsWith("on"))
                add(line,
                    QStringLiteral("runs a script: <%1> sets the event handler %2")
                        .arg(QString::fromUtf8(tag.name), QString::fromUtf8(value.trimmed())));
        } else if (isAnimation(tag.name) &&
                   (name == "values" || name == "to" || name == "from" || name == "by")) {
            // The values an animation gives an href, separated by ';'.
            for (const QByteArray& item : value.split(';'))
                checkUrl(item, where, Use::Navigates, line);
        } else if (name == "style") {
            checkCss(value, -1, where, line);
        } else if (name == "srcset") {
            for (const QByteArray& url : srcsetUrls(value))
                checkUrl(url, where, Use::Loads, line);
        } else if (tag.name == "base" && name == "href") {
            checkBase(value, line);
        } else if (const std::optional<Use> use = urlUse(tag, name, m_html)) {
            checkUrl(value, where, *use, line);
        }
    }

    // A style sheet at `offset` in the page, or one from an attribute (offset
    // -1) whose URLs all stand at `line`.
    void checkCss(QByteArrayView css, qsizetype offset, const QString& where, int line = 0)
    {
        for (const CssUrls::Url& url : CssUrls::find(css))
            checkUrl(url.url, where, Use::Loads, offset < 0 ? line : lineAt(offset + url.offset));
    }

    // The URLs of a srcset: comma-separated candidates, each a URL and its
    // size descriptors.
    static QList<QByteArray> srcsetUrls(const QByteArray& srcset)
    {
        QList<QByteArray> urls;
        qsizetype i = 0;
        while (i < srcset.size()) {
            while (i < srcset.size() &&
                   (std::isspace(static_cast<unsigned char>(srcset[i])) || srcset[i] == ','))
                ++i;
            const qsizetype start = i;
            while (i < srcset.size() && !std::isspace(static_cast<unsigned char>(srcset[i])))
                ++i;
            QByteArray url = srcset.mid(start, i - start);
            while (url.endsWith(','))
                url.chop(1);
            if (!url.isEmpty())
                urls.append(url);
            while (i < srcset.size() && srcset[i] != ',')
                ++i;
        }
        return urls;
    }

    void checkBase(const QByteArray& value, int line)
    {
        const QByteArray url = Html::cleanUrl(value);
        if (Html::networkPathIsLocal(url))
            checkUrl(value, QStringLiteral("base href"), Use::Navigates, line);
        else if (isRemoteScheme(schemeOf(url)) || Html::isNetworkPath(url))
            add(line, QStringLiteral("makes every relative reference load from the network: "
                                     "<base href=\"%1\">")
                          .arg(shown(url)));
        else
            checkUrl(value, QStringLiteral("base href"), Use::Navigates, line);
    }

    void checkUrl(const QByteArray& value, const QString& where, Use use, int line)
    {
        const QByteArray url = Html::cleanUrl(value);
        const QByteArray scheme = schemeOf(url);
        if (scheme == "javascript" || scheme == "vbscript") {
            add(line, QStringLiteral("runs a script: a %1: URL in %2")
                          .arg(QString::fromLatin1(scheme), where));
        } else if (scheme == "file") {
            add(line,
                QStringLiteral("refers to a local file: \"%1\" in %2").arg(shown(url), where));
        } else if (scheme == "data") {
            checkDataUrl(url, where, line);
        } else if (!scheme.isEmpty()) {
            if (use == Use::Loads && isRemoteScheme(scheme))
                addRemote(url, where, line);
        } else {
            QByteArray path = url;
            path.replace('\\', '/');
            if (Html::networkPathIsLocal(path)) {
                // The page is read from a file: URL, which makes this one too.
                add(line,
                    QStringLiteral("refers to a local file: \"%1\" in %2 (under the gallery's "
                                   "file: page it names this computer)")
                        .arg(shown(url), where));
            } else if (path.startsWith("//")) {
                if (use == Use::Loads)
                    addRemote(url, where, line);
            } else if (path.startsWith('/')) {
                add(line, QStringLiteral("refers to the root of the file system: \"%1\" in %2")
                              .arg(shown(url), where));
            } else if (climbsOut(path)) {
                add(line, QStringLiteral("refers outside the page's folder: \"%1\" in %2")
                              .arg(shown(url), where));
            }
        }
    }

    // A page or style sheet inside a data: URL is read like the page itself;
    // what it holds is named with where it sits.
    void checkDataUrl(const QByteArray& url, const QString& where, int line)
    {
        const std::optional<DataUrl> data = readDataUrl(url);
        if (!data || isInertType(data->type))
            return;
        const QString inside = QStringLiteral("inside a data: URL in %1: ").arg(where);
        if (m_depth >= MaxInnerDepth) {
            add(line, inside + QStringLiteral("data: URLs nest deeper than %1 levels, which the "
                                              "check does not follow")
                                   .arg(MaxInnerDepth));
            return;
        }
        Scanner inner(data->content, m_depth + 1);
        const bool css = data->type.contains("css");
        for (const Hazard& hazard : css ? inner.runOnStyleSheet() : inner.run())
            add(line, inside + hazard.reason);
    }

    // Outlook shows what a conditional comment for it holds as markup of the
    // page: scripts, bases and refreshes in there are live for its readers.
    void checkConditionalComments()
    {
        if (!m_html.contains("<!--"))
            return;
        const QByteArray lower = m_html.toLower();
        for (qsizetype at = lower.indexOf("<!--[if"); at >= 0; at = lower.indexOf("<!--[if", at)) {
            const std::optional<std::pair<qsizetype, qsizetype>> content =
                conditionalContent(lower, at);
            if (!content) {
                at += 4;
                continue;
            }
            const int line = lineAt(at);
            const QString inside = QStringLiteral("inside a conditional comment for Outlook: ");
            if (m_depth >= MaxInnerDepth) {
                add(line, inside + QStringLiteral("conditional comments nest deeper than %1 "
                                                  "levels, which the check does not follow")
                                       .arg(MaxInnerDepth));
            } else {
                const QByteArray markup =
                    m_html.mid(content->first, content->second - content->first);
                Scanner inner(markup, m_depth + 1);
                const int first =
                    line + int(QByteArrayView(m_html).sliced(at, content->first - at).count('\n'));
                for (const Hazard& hazard : inner.run())
                    add(hazard.line > 0 ? first + hazard.line - 1 : line, inside + hazard.reason);
            }
            at = content->second;
        }
    }

    void addRemote(const QByteArray& url, const QString& where, int line)
    {
        add(line, QStringLiteral("loads \"%1\" from the network (%2); the gallery shows "
                                 "nothing there")
                      .arg(shown(url), where));
    }

    const QByteArray& m_html;
    int m_depth = 0;
    QList<Hazard> m_hazards;
    int m_unlisted = 0;
    qsizetype m_countedTo = 0;
    int m_line = 1;
};

} // namespace

QList<Hazard> find(const QByteArray& html)
{
    return Scanner(html).run();
}

QList<Hazard> findInStyleSheet(const QByteArray& css)
{
    return Scanner(css).runOnStyleSheet();
}

} // namespace PageHazards
