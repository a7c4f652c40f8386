#pragma once

#include <QByteArray>
#include <QByteArrayView>

namespace Mime {

// Decides what a URL found in the page becomes.
class ReferenceResolver
{
public:
    virtual ~ReferenceResolver() = default;
    // The URL to write in place of `url` (character references already
    // resolved), or a null QByteArray to leave it as it is. An empty one
    // drops the reference: the attribute's value becomes "", the CSS url('').
    virtual QByteArray replacement(const QByteArray& url) = 0;
    // Whether `url` would reach the local disk beyond the page's own files.
    virtual bool isLocal(const QByteArray& url) = 0;
    // A <base href> of the page; the tag itself is taken out, since the
    // rewritten references are relative to where the page is stored.
    virtual void setDocumentBase(const QByteArray& url) = 0;
};

// Rewrites every URL in the attributes that load or link something (src,
// background, href, srcset, poster, ...) and in CSS (style attributes and
// elements: url(), @import and image-set()), and drops the local ones found
// anywhere else (SVG paints, animations). Takes out <meta http-equiv=refresh>,
// srcdoc pages, <noscript> start tags and style sheets inside svg or math.
// Everything else is copied byte for byte.
QByteArray rewriteReferences(const QByteArray& html, ReferenceResolver& resolver);

// A page or style sheet of the message that the page loads as a file of its
// own (in an iframe, as a linked style sheet): what `resolver` finds local is
// dropped, everything else stays as written, so nothing is written on its
// account.
QByteArray dropLocalReferences(const QByteArray& document, bool isCss, ReferenceResolver& resolver);

// Whether an XML document of the message (an SVG picture, an XHTML page, ...)
// loaded as a file of its own reaches no local file, as `resolver` judges it:
// no local reference in its markup or style sheets, no style sheet
// instruction, entity, nested page or refresh. Such a document is written as
// it is or not at all, since rewriting could break it.
bool isSafeXmlDocument(const QByteArray& document, ReferenceResolver& resolver);

// The CSS with its url() and @import references rewritten; `changed` tells
// whether anything was replaced.
QByteArray rewriteCss(QByteArrayView css, ReferenceResolver& resolver, bool* changed);

} // namespace Mime
