#pragma once

#include <QList>
#include <QString>

// Finds the resources a page's style sheets fetch only on demand: a url()
// inside an @media block or in a rule that applies under :hover, :focus or
// :active. The engine asks for them after the page has loaded, when the
// preview's files are already gone, so a template must not use them.
namespace OnDemandResources {

struct Reference
{
    int line;     // in the page, from 1
    QString rule; // the enclosing @media prelude or selector that delays the fetch
    QString url;  // as written inside url(...)

    bool operator==(const Reference&) const = default;
};

QList<Reference> find(const QString& html);

} // namespace OnDemandResources
