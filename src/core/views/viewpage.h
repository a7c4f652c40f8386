#pragma once

#include <QByteArray>
#include <QString>

// The pages the recipients' views draw themselves, in the gallery's look.
// Every piece of text is escaped here; the pages hold no script and refer to
// nothing outside themselves.
namespace ViewPage {

QString escaped(const QString& text);

// A complete UTF-8 page: `title` escaped, `style` and `body` as given
// (markup built from escaped text).
QByteArray page(const QString& title, const QString& style, const QString& body);

} // namespace ViewPage
