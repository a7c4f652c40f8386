#include "core/views/cssrules.h"

#include <algorithm>

namespace CssRules {

namespace {

bool startsComment(QByteArrayView css, qsizetype i)
{
    return i + 1 < css.size() && css[i] == '/' && css[i + 1] == '*';
}

// Past a comment or string at i, or i itself.
qsizetype afterQuoted(QByteArrayView css, qsizetype i)
{
    if (startsComment(css, i)) {
        const qsizetype close = css.indexOf("*/", i + 2);
        return close < 0 ? css.size() : close + 2;
    }
    const char quote = css[i];
    if (quote != '"' && quote != '\'')
        return i;
    for (qsizetype at = i + 1; at < css.size(); ++at) {
        if (css[at] == '\\')
            ++at;
        else if (css[at] == quote || css[at] == '\n')
            return at + 1;
    }
    return css.size();
}

// Where the block whose "{" is at i ends: at its "}", or the end of the text.
qsizetype blockEnd(QByteArrayView css, qsizetype i)
{
    int depth = 0;
    while (i < css.size()) {
        const qsizetype skipped = afterQuoted(css, i);
        if (skipped != i) {
            i = skipped;
            continue;
        }
        if (css[i] == '{')
            ++depth;
        else if (css[i] == '}' && --depth == 0)
            return i;
        ++i;
    }
    return i;
}

// The prelude without the blanks and comments before it.
QByteArrayView withoutLeadingComments(QByteArrayView prelude)
{
    prelude = prelude.trimmed();
    while (startsComment(prelude, 0))
        prelude = prelude.sliced(afterQuoted(prelude, 0)).trimmed();
    return prelude;
}

} // namespace

void forEachRule(
    QByteArrayView css,
    const std::function<void(QByteArrayView selectors, QByteArrayView declarations)>& visit)
{
    qsizetype preludeBegin = 0;
    qsizetype i = 0;
    while (i < css.size()) {
        const qsizetype skipped = afterQuoted(css, i);
        if (skipped != i) {
            i = skipped;
            continue;
        }
        const char c = css[i];
        if (c == ';' || c == '}') {
            preludeBegin = ++i;
            continue;
        }
        if (c != '{') {
            ++i;
            continue;
        }
        const QByteArrayView prelude =
            withoutLeadingComments(css.sliced(preludeBegin, i - preludeBegin));
        const qsizetype end = blockEnd(css, i);
        if (!prelude.startsWith('@'))
            visit(prelude, css.sliced(i + 1, std::max<qsizetype>(end - i - 1, 0)));
        i = std::min(end + 1, css.size());
        preludeBegin = i;
    }
}

} // namespace CssRules
