#include "core/brand/brandkit.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QUrl>

namespace BrandFonts {

QStringList stacks()
{
    return {
        QStringLiteral("Arial, Helvetica, sans-serif"),
        QStringLiteral("Helvetica, Arial, sans-serif"),
        QStringLiteral("Verdana, Geneva, sans-serif"),
        QStringLiteral("Tahoma, Verdana, Segoe, sans-serif"),
        QStringLiteral("'Trebuchet MS', 'Lucida Grande', sans-serif"),
        QStringLiteral("'Segoe UI', Roboto, Arial, sans-serif"),
        QStringLiteral("Georgia, 'Times New Roman', Times, serif"),
        QStringLiteral("'Times New Roman', Times, serif"),
        QStringLiteral("'Palatino Linotype', 'Book Antiqua', Palatino, serif"),
        QStringLiteral("'Courier New', Courier, monospace"),
    };
}

} // namespace BrandFonts

namespace BrandSocial {

QStringList networks()
{
    return {QStringLiteral("facebook"), QStringLiteral("instagram"), QStringLiteral("linkedin"),
            QStringLiteral("x"),        QStringLiteral("youtube"),   QStringLiteral("tiktok"),
            QStringLiteral("mastodon")};
}

QString label(const QString& id)
{
    // Brand names stay as their owners spell them, in every language.
    static const QMap<QString, QString> labels{
        {QStringLiteral("facebook"), QStringLiteral("Facebook")},
        {QStringLiteral("instagram"), QStringLiteral("Instagram")},
        {QStringLiteral("linkedin"), QStringLiteral("LinkedIn")},
        {QStringLiteral("x"), QStringLiteral("X")},
        {QStringLiteral("youtube"), QStringLiteral("YouTube")},
        {QStringLiteral("tiktok"), QStringLiteral("TikTok")},
        {QStringLiteral("mastodon"), QStringLiteral("Mastodon")},
    };
    return labels.value(id);
}

} // namespace BrandSocial

namespace {

bool hasControlCharacters(const QString& text, bool allowLineBreaks)
{
    for (const QChar c : text) {
        if (allowLineBreaks && (c == u'\n' || c == u'\r'))
            continue;
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator ||
            c == QChar::ParagraphSeparator)
            return true;
    }
    return false;
}

} // namespace

QString brandLinkProblem(const QString& field, const QString& url)
{
    const QString trimmed = url.trimmed();
    if (trimmed.isEmpty())
        return {};
    if (trimmed.size() > BrandLimits::MaxUrlChars)
        return QCoreApplication::translate("BrandKit", "%1: the link is longer than %2 characters.")
            .arg(field)
            .arg(BrandLimits::MaxUrlChars);
    if (hasControlCharacters(trimmed, false) || trimmed.contains(u' '))
        return QCoreApplication::translate("BrandKit",
                                           "%1: a link cannot hold spaces or control characters.")
            .arg(field);
    // A merge field the mailing program fills in when it sends: "[unsubscribe_url]",
    // "{{web_version}}", "*|UNSUB|*".
    static const QRegularExpression mergeField(QStringLiteral(
        "^(\\[[A-Za-z0-9_.:-]+\\]|\\{\\{[A-Za-z0-9_. :-]+\\}\\}|\\*\\|[A-Za-z0-9_:]+\\|\\*)$"));
    if (mergeField.match(trimmed).hasMatch())
        return {};
    const QUrl parsed(trimmed, QUrl::TolerantMode);
    const QString scheme = parsed.scheme().toLower();
    if (!parsed.isValid() || scheme.isEmpty())
        return QCoreApplication::translate(
                   "BrandKit", "%1: \"%2\" is not a web address (it should start with https://).")
            .arg(field, trimmed);
    if (scheme == QLatin1String("https") || scheme == QLatin1String("http")) {
        if (parsed.host().isEmpty())
            return QCoreApplication::translate("BrandKit", "%1: \"%2\" names no web site.")
                .arg(field, trimmed);
        return {};
    }
    if (scheme == QLatin1String("mailto"))
        return parsed.path().contains(u'@')
                   ? QString()
                   : QCoreApplication::translate("BrandKit", "%1: \"%2\" names no e-mail address.")
                         .arg(field, trimmed);
    return QCoreApplication::translate(
               "BrandKit", "%1: links starting with \"%2:\" are refused; use https:// or mailto:.")
        .arg(field, scheme);
}

QStringList brandProblems(const BrandKit& brand)
{
    QStringList problems;
    if (brand.name.trimmed().isEmpty())
        problems << QCoreApplication::translate("BrandKit", "The brand needs a name.");
    const auto checkText = [&](const QString& field, const QString& text) {
        if (text.size() > BrandLimits::MaxTextChars)
            problems << QCoreApplication::translate("BrandKit", "%1 is longer than %2 characters.")
                            .arg(field)
                            .arg(BrandLimits::MaxTextChars);
        if (hasControlCharacters(text, false))
            problems << QCoreApplication::translate(
                            "BrandKit", "%1 cannot hold line breaks or control characters.")
                            .arg(field);
    };
    checkText(QCoreApplication::translate("BrandKit", "The name"), brand.name);
    checkText(QCoreApplication::translate("BrandKit", "The tagline"), brand.tagline);

    const auto checkColour = [&](const QString& field, const QColor& colour) {
        if (!colour.isValid())
            problems << QCoreApplication::translate("BrandKit",
                                                    "%1 is not a colour; write it as #rrggbb.")
                            .arg(field);
    };
    checkColour(QCoreApplication::translate("BrandKit", "The main colour"), brand.main);
    checkColour(QCoreApplication::translate("BrandKit", "The accent colour"), brand.accent);
    checkColour(QCoreApplication::translate("BrandKit", "The text colour"), brand.text);
    checkColour(QCoreApplication::translate("BrandKit", "The page colour"), brand.background);

    const QStringList stacks = BrandFonts::stacks();
    if (!stacks.contains(brand.headingFonts))
        problems << QCoreApplication::translate("BrandKit",
                                                "Choose the heading fonts from the list.");
    if (!stacks.contains(brand.bodyFonts))
        problems << QCoreApplication::translate("BrandKit", "Choose the body fonts from the list.");

    if (brand.address.size() > BrandLimits::MaxAddressChars)
        problems << QCoreApplication::translate(
                        "BrandKit", "The address is %1 characters long; it can have at most %2.")
                        .arg(brand.address.size())
                        .arg(BrandLimits::MaxAddressChars);
    else if (brand.address.split(u'\n').size() > BrandLimits::MaxAddressLines)
        problems << QCoreApplication::translate("BrandKit",
                                                "The address can have at most %1 lines.")
                        .arg(BrandLimits::MaxAddressLines);
    if (hasControlCharacters(brand.address, true))
        problems << QCoreApplication::translate("BrandKit",
                                                "The address cannot hold control characters.");

    const QList<std::pair<QString, QString>> links{
        {QCoreApplication::translate("BrandKit", "Website"), brand.website},
        {QCoreApplication::translate("BrandKit", "View in browser"), brand.viewInBrowser},
        {QCoreApplication::translate("BrandKit", "Unsubscribe"), brand.unsubscribe},
    };
    for (const auto& [field, url] : links) {
        const QString problem = brandLinkProblem(field, url);
        if (!problem.isEmpty())
            problems << problem;
    }
    for (auto it = brand.social.cbegin(); it != brand.social.cend(); ++it) {
        if (!BrandSocial::networks().contains(it.key())) {
            problems << QCoreApplication::translate(
                            "BrandKit", "\"%1\" is not a social network the templates know.")
                            .arg(it.key());
            continue;
        }
        const QString problem = brandLinkProblem(BrandSocial::label(it.key()), it.value());
        if (!problem.isEmpty())
            problems << problem;
    }
    return problems;
}
