#include "core/gallery/check/ondemandresources.h"

#include <QRegularExpression>

namespace OnDemandResources {

namespace {

int lineAt(const QString& text, qsizetype offset)
{
    return int(QStringView(text).left(offset).count(QLatin1Char('\n'))) + 1;
}

bool delaysFetch(const QString& prelude)
{
    static const QRegularExpression pseudo(
        QStringLiteral(R"(:(hover|focus|focus-within|focus-visible|active)\b)"),
        QRegularExpression::CaseInsensitiveOption);
    return prelude.startsWith(QLatin1String("@media"), Qt::CaseInsensitive) ||
           pseudo.match(prelude).hasMatch();
}

// Scans one style sheet that starts at `base` in the page. Comments and
// strings are skipped so that a brace or "url(" inside them changes nothing.
void scanSheet(const QString& page, qsizetype base, qsizetype end, QList<Reference>* found)
{
    QStringList open; // the preludes of the blocks we are inside
    qsizetype statementStart = base;
    for (qsizetype i = base; i < end; ++i) {
        const QChar c = page.at(i);
        if (c == QLatin1Char('/') && i + 1 < end && page.at(i + 1) == QLatin1Char('*')) {
            const qsizetype close = page.indexOf(QLatin1String("*/"), i + 2);
            i = close < 0 || close >= end ? end : close + 1;
            continue;
        }
        if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            qsizetype j = i + 1;
            while (j < end && page.at(j) != c && page.at(j) != QLatin1Char('\n'))
                j += page.at(j) == QLatin1Char('\\') ? 2 : 1;
            i = j;
            continue;
        }
        if (c == QLatin1Char('{')) {
            open.append(page.mid(statementStart, i - statementStart).simplified());
            statementStart = i + 1;
        } else if (c == QLatin1Char('}')) {
            if (!open.isEmpty())
                open.removeLast();
            statementStart = i + 1;
        } else if (c == QLatin1Char(';')) {
            statementStart = i + 1;
        } else if ((c == QLatin1Char('u') || c == QLatin1Char('U')) &&
                   QStringView(page).mid(i, 4).compare(QLatin1String("url("),
                                                       Qt::CaseInsensitive) == 0) {
            const qsizetype close = page.indexOf(QLatin1Char(')'), i + 4);
            const qsizetype stop = close < 0 || close > end ? end : close;
            for (auto it = open.crbegin(); it != open.crend(); ++it) {
                if (!delaysFetch(*it))
                    continue;
                QString url = page.mid(i + 4, stop - i - 4).trimmed();
                if (url.size() >= 2 &&
                    (url.front() == QLatin1Char('"') || url.front() == QLatin1Char('\'')) &&
                    url.back() == url.front())
                    url = url.mid(1, url.size() - 2);
                found->append({lineAt(page, i), *it, url});
                break;
            }
            i = stop;
        }
    }
}

} // namespace

QList<Reference> find(const QString& html)
{
    static const QRegularExpression style(QStringLiteral(R"(<style\b[^>]*>)"),
                                          QRegularExpression::CaseInsensitiveOption);
    QList<Reference> found;
    for (const QRegularExpressionMatch& match : style.globalMatch(html)) {
        const qsizetype begin = match.capturedEnd();
        qsizetype end = html.indexOf(QLatin1String("</style"), begin, Qt::CaseInsensitive);
        if (end < 0)
            end = html.size();
        scanSheet(html, begin, end, &found);
    }
    return found;
}

} // namespace OnDemandResources
