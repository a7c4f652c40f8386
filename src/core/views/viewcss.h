#pragma once

#include <QByteArray>
#include <QByteArrayView>

// Style sheets rewritten for the recipients' views, read with the engine's
// tokenizing rules (comments, strings, escapes) so that no trick in a
// template's CSS hides a rule from them. Malformed CSS is rewritten as far as
// it reads, in one pass: nothing here can loop or recurse on hostile input.
namespace ViewCss {

// Where a colour scheme decides.
struct SchemeFeatures
{
    bool dark = false;  // a (prefers-color-scheme: dark) was found
    bool light = false; // a (prefers-color-scheme: light) was found
};

// A media list (a media="" attribute, an @media or @import prelude) as a mail
// program that honours dark rules reads it: (prefers-color-scheme: dark) holds,
// (prefers-color-scheme: light) does not. Everything else stays as written.
QByteArray darkMediaList(QByteArrayView media, SchemeFeatures* found = nullptr);

// The same for every @media and @import prelude of a style sheet, nested ones
// included.
QByteArray darkStyleSheet(QByteArrayView css, SchemeFeatures* found = nullptr);

// The width of the phone the Phone view shows, in CSS pixels.
inline constexpr int PhoneDeviceWidth = 375;

// A media list as a phone's mail program reads it: its screen is
// PhoneDeviceWidth wide ((max-|min-)device-width), its pointer is a coarse
// finger ((pointer: coarse), (any-pointer: coarse)) and nothing hovers
// ((hover: none), (any-hover: none)). Everything else stays as written; the
// page's own width is the view's.
QByteArray phoneMediaList(QByteArrayView media);

// The same for every @media and @import prelude of a style sheet.
QByteArray phoneStyleSheet(QByteArrayView css);

// Every URL the style sheet would fetch replaced by "none": url(),
// image-set() and src() give a declaration that either shows no image or is
// dropped as invalid. An @import is renamed to an at-rule the engine does not
// know, which it skips whole. Nothing is left to fetch.
QByteArray styleSheetWithoutUrls(QByteArrayView css);

} // namespace ViewCss
