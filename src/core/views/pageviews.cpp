// The colour and image views of a staged page. Each one rewrites only what it
// must, so that the page a recipient sees differs from the template in that
// one respect.

#include "core/html/cssurls.h"
#include "core/views/cssrules.h"
#include "core/views/pagerewrite.h"
#include "core/views/recipientview.h"
#include "core/views/viewcss.h"

#include <algorithm>
#include <cstring>

namespace RecipientView {

namespace {

using PageRewrite::Edit;

// The attributes through which an element fetches a picture (or any other
// media the engine would load for it). The names that fetch on some element
// go from every element: on the others they do nothing, and a list of which
// element fetches what is one more place for a trick to hide. Outlook's
// vector markup (v:fill, v:image, v:imagedata) goes by its src too.
bool isSourceAttribute(const QByteArray& tag, const QByteArray& attribute)
{
    static const char* const anywhere[] = {"src",    "srcset",     "lowsrc",      "dynsrc",
                                           "poster", "background", "imagesrcset", "srcdoc"};
    for (const char* name : anywhere) {
        if (attribute == name)
            return true;
    }
    // <link> loads icons and style sheets (which could load pictures of their
    // own); in svg an <image> is a picture, and in HTML the parser turns
    // <image> into <img>, so neither keeps a reference.
    const bool reference = attribute == "href" || attribute == "xlink:href";
    return (tag == "object" && attribute == "data") || (tag == "link" && reference) ||
           ((tag == "image" || tag == "img") && reference);
}

// An svg <use> or filter image refers to a part of the page itself ("#logo")
// or fetches another file.
bool fetchesThroughReference(const QByteArray& html, const Html::HtmlTag& tag,
                             const Html::HtmlAttribute& attribute)
{
    if ((tag.name != "use" && tag.name != "feimage") ||
        (attribute.name != "href" && attribute.name != "xlink:href"))
        return false;
    const QByteArray value =
        Html::decodeEntities(QByteArrayView(html).sliced(attribute.valueBegin,
                                                         attribute.valueEnd - attribute.valueBegin))
            .trimmed();
    return !value.startsWith('#');
}

void dropSources(const QByteArray& html, const Html::HtmlTag& tag, std::vector<Edit>& edits)
{
    for (const Html::HtmlAttribute& attribute : tag.attributes) {
        if (isSourceAttribute(tag.name, attribute.name) ||
            fetchesThroughReference(html, tag, attribute))
            edits.push_back(PageRewrite::dropAttribute(attribute));
    }
}

void darkenMedia(const QByteArray& html, const Html::HtmlTag& tag, std::vector<Edit>& edits,
                 ViewCss::SchemeFeatures* found)
{
    for (const Html::HtmlAttribute& attribute : tag.attributes) {
        if (attribute.name != "media" || !attribute.hasValue)
            continue;
        const QByteArray media = Html::decodeEntities(QByteArrayView(html).sliced(
            attribute.valueBegin, attribute.valueEnd - attribute.valueBegin));
        const QByteArray dark = ViewCss::darkMediaList(media, found);
        if (dark != media)
            edits.push_back(PageRewrite::replaceAttribute(attribute, dark));
    }
}

QByteArray darkened(const QByteArray& html, ViewCss::SchemeFeatures* found)
{
    PageRewrite::Rules rules;
    rules.styleSheet = [found](QByteArrayView css) { return ViewCss::darkStyleSheet(css, found); };
    // <style media>, <link media> and <picture><source media>: a template's
    // dark logo is often a picture source for dark mode.
    rules.tag = [found](const QByteArray& page, const Html::HtmlTag& tag,
                        std::vector<Edit>& edits) { darkenMedia(page, tag, edits, found); };
    return PageRewrite::rewrite(html, rules);
}

// The inversion mail programs apply to a page without dark rules of its own:
// the whole page through invert() and a half turn of hue, which swaps light
// and dark while keeping hues roughly where they were, then the pictures
// through the same filter once more, so that photos and logos show in their
// own colours. The root gets a white background because the canvas behind it
// is not filtered: inverted, it becomes the black around the page. Pictures
// are found by what still has a source, so that with images blocked the alt
// texts invert with the rest of the text; background pictures by their
// attribute, their style attribute or a top-level rule of the page's style
// sheets. A background picture given inside @media is not found, and one that
// holds an <img> inverts that image twice: that is the approximation.
constexpr char inversionStyle[] =
    "<style id=\"quillery-view-inverted\">"
    "html{filter:invert(1) hue-rotate(180deg)!important;background:#fff}"
    "img[src],img[srcset],picture source[srcset]~img,video,[background],[style*=\"url(\" i]"
    "{filter:invert(1) hue-rotate(180deg)}";

// The page's own rules that give an element a picture, as rules that turn
// that element back. A selector that could reach past its own rule once
// copied (escapes, quotes, comments, markup) is left out.
QByteArray reinvertedRules(const QByteArray& html)
{
    QByteArray rules;
    for (const Html::HtmlTag& style : Html::findTags(html, {"style"})) {
        if (style.contentEnd < 0)
            continue;
        const QByteArrayView css =
            QByteArrayView(html).sliced(style.end, style.contentEnd - style.end);
        CssRules::forEachRule(css, [&](QByteArrayView selectors, QByteArrayView declarations) {
            static const char unsafe[] = "\\\"'/<>{}";
            const bool safe = std::none_of(selectors.begin(), selectors.end(), [](char c) {
                return std::strchr(unsafe, c) != nullptr;
            });
            if (safe && !selectors.isEmpty() && !CssUrls::find(declarations).isEmpty())
                rules += selectors.toByteArray() + "{filter:invert(1) hue-rotate(180deg)}";
        });
    }
    return rules;
}

} // namespace

bool hasOwnDarkRules(const QByteArray& html)
{
    ViewCss::SchemeFeatures found;
    darkened(html, &found);
    return found.dark;
}

QByteArray withOwnDarkRules(const QByteArray& html)
{
    return darkened(html, nullptr);
}

QByteArray withColoursInverted(const QByteArray& html)
{
    QByteArray page = html;
    return page.insert(PageRewrite::headStart(html),
                       inversionStyle + reinvertedRules(html) + "</style>");
}

// A picture without a source shows its alt text, the way mail programs show
// a message before its pictures are loaded; so the <img> stays, with its
// width, height and style, and only its sources go. Left to itself the
// engine would draw that alt text as a run of inline text and ignore the
// picture's size, so the page's layout would not hold: an inline block that
// clips its content keeps the picture's own box, and its baseline, with the
// alt text inside it.
constexpr char blockedStyle[] = "<style id=\"quillery-view-images-blocked\">"
                                "img:not([src]){display:inline-block;overflow:hidden}"
                                "</style>";

QByteArray withImagesBlocked(const QByteArray& html)
{
    PageRewrite::Rules rules;
    rules.styleSheet = [](QByteArrayView css) { return ViewCss::styleSheetWithoutUrls(css); };
    rules.tag = dropSources;
    rules.emptiesUnclearForeignStyles = true;
    QByteArray page = PageRewrite::rewrite(html, rules);
    return page.insert(PageRewrite::headStart(page), blockedStyle);
}

QByteArray withPhoneMedia(const QByteArray& html)
{
    PageRewrite::Rules rules;
    rules.styleSheet = [](QByteArrayView css) { return ViewCss::phoneStyleSheet(css); };
    rules.tag = [](const QByteArray& page, const Html::HtmlTag& tag, std::vector<Edit>& edits) {
        for (const Html::HtmlAttribute& attribute : tag.attributes) {
            if (attribute.name != "media" || !attribute.hasValue)
                continue;
            const QByteArray media = Html::decodeEntities(QByteArrayView(page).sliced(
                attribute.valueBegin, attribute.valueEnd - attribute.valueBegin));
            const QByteArray phone = ViewCss::phoneMediaList(media);
            if (phone != media)
                edits.push_back(PageRewrite::replaceAttribute(attribute, phone));
        }
    };
    return PageRewrite::rewrite(html, rules);
}

QByteArray pageForView(const QByteArray& html, Colours colours, bool imagesBlocked, bool phone)
{
    // Images first: the inversion tells pictures by their sources.
    QByteArray page = imagesBlocked ? withImagesBlocked(html) : html;
    if (phone)
        page = withPhoneMedia(page);
    switch (colours) {
    case Colours::Dark:
        return withOwnDarkRules(page);
    case Colours::Inverted:
        return withColoursInverted(page);
    case Colours::Light:
        break;
    }
    return page;
}

} // namespace RecipientView
