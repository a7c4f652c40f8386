#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// What a template or a category page must not hold. A library is untrusted
// content, like mail: the gallery shows it with scripts off and the network
// closed, but an author must still learn about every script, every reference
// that reaches for local files, and every resource the page would fetch from
// the network, since the gallery shows an empty box there.
namespace PageHazards {

struct Hazard
{
    int line;       // in the page, from 1; 0 for the page as a whole
    QString reason; // what the construct does, naming it as written

    bool operator==(const Hazard&) const = default;
};

// At most this many hazards are listed per page; the rest are counted.
constexpr int MaxListed = 100;

// Every hazard of the page in document order. Relative references inside the
// page's folder (a category page's thumbs/...) and plain links to the web
// (<a href="https://...">) are fine.
QList<Hazard> find(const QByteArray& html);

// The same for a style sheet of its own (a text/css part of a template): the
// URLs it would fetch or that reach for local files.
QList<Hazard> findInStyleSheet(const QByteArray& css);

} // namespace PageHazards
