#pragma once

#include <QByteArray>
#include <QByteArrayView>

// How deeply a page nests its elements. A browser builds, lays out and paints
// its tree with work that grows with the depth, so a hostile page that nests
// tens of thousands of levels can stall or crash the pane that shows it.
namespace HtmlNesting {

// Deeper than any real template nests its elements; a page past it is flattened.
constexpr int MaxDepth = 128;

// The deepest element nesting of the page, counted as a browser builds its tree
// closely enough to bound it: void elements do not nest, an end tag closes up to
// its open element, and the elements whose end tag may be left out (p, li, dt, dd,
// option, tr, td, th, ...) close as their next sibling opens. Only elements that
// can hold others count: "<div><img></div>" is 1 deep, and so is a div holding a
// script, style or textarea, whose content is text. The html, head and body
// elements every page has are not counted either. Linear in the size of the page.
int depth(QByteArrayView html);

// The page with every start and end tag past MaxDepth taken out; their text
// and the elements that hold none (images, line breaks, ...) stay. Everything
// else is copied byte for byte. `removed` receives the number of tags taken
// out. depth(flatten(html)) <= MaxDepth.
QByteArray flatten(const QByteArray& html, int* removed = nullptr);

} // namespace HtmlNesting
