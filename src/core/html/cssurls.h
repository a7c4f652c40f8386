#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

// The URLs a style sheet makes the engine fetch: url() tokens, the string of an
// @import, and the strings inside image-set() and src(). Read as the engine's
// tokenizer reads them, so comments hide nothing and escapes ("\75 rl(") hide
// nothing either.
namespace CssUrls {

struct Url
{
    qsizetype offset; // of the token in the style sheet
    QByteArray url;   // with escapes resolved, blanks around it removed

    bool operator==(const Url&) const = default;
};

QList<Url> find(QByteArrayView css);

} // namespace CssUrls
