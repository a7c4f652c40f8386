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
    // resolved), or a null QByteArray to leave it as it is.
    virtual QByteArray replacement(const QByteArray& url) = 0;
    // A <base href> of the page; the tag itself is taken out, since the
    // rewritten references are relative to where the page is stored.
    virtual void setDocumentBase(const QByteArray& url) = 0;
};

// Rewrites every URL in the attributes that load or link something (src,
// background, href, srcset, poster, ...) and in CSS (style attributes and
// elements: url() and @import). Everything else is copied byte for byte.
QByteArray rewriteReferences(const QByteArray& html, ReferenceResolver& resolver);

// The CSS with its url() and @import references rewritten; `changed` tells
// whether anything was replaced.
QByteArray rewriteCss(QByteArrayView css, ReferenceResolver& resolver, bool* changed);

} // namespace Mime
