#pragma once

#include "core/html/htmlscan.h"

#include <QByteArray>
#include <QSet>

#include <vector>

// How senders hide a preheader in a page: by the element's own style, or by a
// class or id that the page's style sheet hides.
namespace Hiding {

// Whether these declarations (a style attribute's value as the browser reads
// it, or the block of a style rule) hide their element from view.
bool hidesElement(const QByteArray& declarations);

// The classes and ids that a top-level rule of the page's style sheets hides,
// as in ".preheader { display: none !important }". A rule inside @media
// applies only on some screens and does not count; neither do selectors
// more complex than one class or id, with or without an element name.
struct HiddenNames
{
    QSet<QByteArray> classes;
    QSet<QByteArray> ids;

    bool hide(const QByteArray& html, const Html::HtmlTag& tag) const;
};
HiddenNames hiddenNames(const QByteArray& html, const std::vector<Html::HtmlTag>& tags);

} // namespace Hiding
