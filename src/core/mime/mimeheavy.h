#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QSet>

#include <vector>

namespace Mime {

// What a few hundred bytes of a page can make the engine draw or compute
// for seconds and gigabytes: SVG filters and SVG animations (which redraw a
// filtered area many times a second), and custom properties whose var()
// references expand a few bytes a billion times. The preview leaves them
// out; a mail program shows such a message without them too.

// The custom properties of a message, gathered from every page and style
// sheet it holds, since a property set in one may be used in another.
class CssExpansion
{
public:
    // No declaration that uses var() may expand to more than this.
    static constexpr qint64 MaxExpandedBytes = 16 * 1024;

    void addDocument(const QByteArray& document, bool isCss);
    void addCss(QByteArrayView css);

    // What a value expands to once every var() in it is replaced, at most
    // a little over MaxExpandedBytes.
    qint64 expandedSize(QByteArrayView value) const;

private:
    struct Definition
    {
        qint64 literal = 0;
        std::vector<QByteArray> references;
    };
    qint64 expandedSize(const Definition& definition) const;
    qint64 expandedSize(const QByteArray& name) const;

    QHash<QByteArray, std::vector<Definition>> m_definitions;
    mutable QHash<QByteArray, qint64> m_known;
    mutable QSet<QByteArray> m_visiting;
};

// The document without SVG filter and animation elements and without the
// declarations that expand past the bound; `changed` tells whether anything
// was left out. Everything else is copied byte for byte.
QByteArray dropHeavyContent(const QByteArray& document, bool isCss, const CssExpansion& expansion,
                            bool* changed);

// Whether an XML document of the message (an SVG picture) holds SVG filters,
// animations or custom properties that expand past the bound. Such a document
// is written as it is or not at all, so it is not written.
bool isHeavyXmlDocument(const QByteArray& document);

} // namespace Mime
