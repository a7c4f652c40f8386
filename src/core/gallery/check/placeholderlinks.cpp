#include "core/gallery/check/placeholderlinks.h"

#include "core/html/htmlscan.h"

#include <QRegularExpression>
#include <QUrl>

#include <algorithm>

namespace PlaceholderLinks {

namespace {

bool isReservedHost(const QString& host)
{
    // Names that can never belong to a real sender.
    static const QStringList domains{QStringLiteral("example.com"), QStringLiteral("example.net"),
                                     QStringLiteral("example.org")};
    static const QStringList suffixes{QStringLiteral("example"), QStringLiteral("test"),
                                      QStringLiteral("invalid"), QStringLiteral("localhost")};
    for (const QString& domain : domains) {
        if (host == domain || host.endsWith(QLatin1Char('.') + domain))
            return true;
    }
    for (const QString& suffix : suffixes) {
        if (host == suffix || host.endsWith(QLatin1Char('.') + suffix))
            return true;
    }
    return false;
}

} // namespace

QString linkText(const QByteArray& html, const Html::HtmlTag& anchor)
{
    // An image map's area has no content of its own.
    if (anchor.name == "area")
        return QString::fromUtf8(anchor.attribute(html, "alt")).simplified();
    static const QRegularExpression end(QStringLiteral("</a[\\s>]"),
                                        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression tag(QStringLiteral("<[^>]*>"));
    const QString rest = QString::fromUtf8(html.mid(anchor.end, 4096));
    const qsizetype close = end.match(rest).capturedStart();
    const QString inner = close >= 0 ? rest.left(close) : rest;
    QString words = QString::fromUtf8(Html::decodeEntities(inner.toUtf8()));
    words = words.remove(tag).simplified();
    if (!words.isEmpty())
        return words;
    for (const Html::HtmlTag& image : Html::findTags(inner.toUtf8(), {"img"})) {
        const QByteArray alt = image.attribute(inner.toUtf8(), "alt");
        if (!alt.isNull())
            return QString::fromUtf8(alt).simplified();
    }
    return QString();
}

bool isPlaceholder(const QString& url)
{
    const QString target = url.trimmed();
    if (target.isEmpty() || target == QLatin1String("#"))
        return true;
    static const QRegularExpression mergeField(
        QStringLiteral(R"re(^(\[[^\]]*\]|\{\{.*\}\}|\*\|.*\|\*|%%.*%%)$)re"));
    if (mergeField.match(target).hasMatch())
        return true;
    const QUrl parsed(target);
    const QString scheme = parsed.scheme().toLower();
    if (scheme == QLatin1String("mailto")) {
        const QString address = parsed.path();
        return isReservedHost(address.section(QLatin1Char('@'), -1).toLower());
    }
    if (scheme != QLatin1String("http") && scheme != QLatin1String("https"))
        return false;
    return isReservedHost(parsed.host().toLower());
}

QList<Link> find(const QByteArray& html)
{
    QList<Link> links;
    // Lines are counted as the scan goes, so a page of many links stays linear.
    qsizetype counted = 0;
    int line = 1;
    for (const Html::HtmlTag& anchor : Html::findTags(html, {"a", "area"})) {
        const QByteArray href = anchor.attribute(html, "href");
        if (href.isNull())
            continue;
        const QString url = QString::fromUtf8(href);
        if (!isPlaceholder(url))
            continue;
        line += int(std::count(html.cbegin() + counted, html.cbegin() + anchor.begin, '\n'));
        counted = anchor.begin;
        links.append({url, linkText(html, anchor), line});
    }
    return links;
}

} // namespace PlaceholderLinks
