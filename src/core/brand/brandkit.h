#pragma once

#include <QColor>
#include <QMap>
#include <QString>
#include <QStringList>

// A sender's identity as the templates wear it: name, logo, colours by role,
// fonts, postal address and links. Kept by BrandStore, put on a template's
// message by BrandApply.
struct BrandKit
{
    QString id;   // its file's stem in the brands folder; empty for a brand not yet saved
    QString name; // the sender's name; also the logo's alt text
    QString tagline;
    QString logoFile; // absolute path of the logo PNG kept beside the brand file; empty = none
    QColor main, accent, text, background; // header band, buttons/links, text, page
    QColor accent2;                        // optional second accent; invalid = none
    QString headingFonts, bodyFonts;       // each one of BrandFonts::stacks()
    QString address;                       // postal address, may hold line breaks
    QString website, viewInBrowser, unsubscribe;
    QMap<QString, QString> social; // network id (BrandSocial::networks()) -> profile URL

    bool operator==(const BrandKit&) const = default;
};

namespace BrandFonts {
// Font stacks every mail program can show: a first choice and its fallbacks,
// as CSS writes them.
QStringList stacks();
} // namespace BrandFonts

namespace BrandSocial {
// facebook, instagram, linkedin, x, youtube, tiktok, mastodon
QStringList networks();
// The network's name as readers know it ("LinkedIn"); also its icon's alt text.
QString label(const QString& id);
} // namespace BrandSocial

namespace BrandLimits {
// A postal address fits a few lines of a footer; anything longer is a paste
// gone wrong and would swamp every template.
inline constexpr int MaxAddressChars = 500;
inline constexpr int MaxAddressLines = 8;
inline constexpr int MaxTextChars = 200; // name, tagline
inline constexpr int MaxUrlChars = 2000;
} // namespace BrandLimits

// Every problem of a brand as the editor shows it (translated, plain text),
// empty when it can be saved.
QStringList brandProblems(const BrandKit& brand);

// The problem of one link, or an empty string when it is fine (empty included).
QString brandLinkProblem(const QString& field, const QString& url);
