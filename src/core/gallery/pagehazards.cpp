#include "core/gallery/pagehazards.h"

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

class Scanner
{
public:
    explicit Scanner(const QByteArray& html) : m_html(html) {}

    QList<Hazard> runOnStyleSheet()
    {
        checkCss(m_html, 0, QStringLiteral("style sheet"));
        return finish();
    }

    QList<Hazard> run()
    {
        Html::scanHtml(m_html, [this](const Html::HtmlTag& tag) { visit(tag); });
        const int depth = HtmlNesting::Depth(m_html);
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
        if (name == "style") {
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
        for (const CssUrls::Url& url : CssUrls::Find(css))
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
        if (isRemoteScheme(schemeOf(url)) || url.startsWith("//") || url.startsWith("\\\\"))
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
        } else if (!scheme.isEmpty()) {
            if (use == Use::Loads && isRemoteScheme(scheme))
                addRemote(url, where, line);
        } else {
            QByteArray path = url;
            path.replace('\\', '/');
            if (path.startsWith("//")) {
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

    void addRemote(const QByteArray& url, const QString& where, int line)
    {
        add(line, QStringLiteral("loads \"%1\" from the network (%2); the gallery shows "
                                 "nothing there")
                      .arg(shown(url), where));
    }

    const QByteArray& m_html;
    QList<Hazard> m_hazards;
    int m_unlisted = 0;
    qsizetype m_countedTo = 0;
    int m_line = 1;
};

} // namespace

QList<Hazard> Find(const QByteArray& html)
{
    return Scanner(html).run();
}

QList<Hazard> FindInStyleSheet(const QByteArray& css)
{
    return Scanner(css).runOnStyleSheet();
}

} // namespace PageHazards
