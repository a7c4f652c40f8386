#include "core/html/htmlurls.h"

#include <QList>

namespace Html {

namespace {

bool isAsciiAlpha(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

} // namespace

QByteArray cleanUrl(QByteArrayView url)
{
    qsizetype begin = 0;
    qsizetype end = url.size();
    while (begin < end && static_cast<unsigned char>(url[begin]) <= 0x20)
        ++begin;
    while (end > begin && static_cast<unsigned char>(url[end - 1]) <= 0x20)
        --end;
    QByteArray cleaned = url.sliced(begin, end - begin).toByteArray();
    cleaned.removeIf([](char c) { return c == '\t' || c == '\n' || c == '\r'; });
    return cleaned;
}

bool isFileUrl(QByteArrayView url)
{
    // The scheme is a letter followed by letters, digits, '+', '-' or '.'.
    if (url.isEmpty() || !isAsciiAlpha(url[0]))
        return false;
    qsizetype colon = 1;
    while (colon < url.size() &&
           (isAsciiAlpha(url[colon]) || (url[colon] >= '0' && url[colon] <= '9') ||
            url[colon] == '+' || url[colon] == '-' || url[colon] == '.'))
        ++colon;
    return colon == 4 && colon < url.size() && url[colon] == ':' &&
           qstrnicmp(url.data(), "file", 4) == 0;
}

bool leavesPageFolder(QByteArrayView url)
{
    // Browsers read a backslash as a slash and "%2e" as a dot in paths.
    QByteArray path;
    path.reserve(url.size());
    for (qsizetype i = 0; i < url.size(); ++i) {
        const char c = url[i];
        if (c == '?' || c == '#')
            break;
        if (c == '%' && i + 2 < url.size() && url[i + 1] == '2' &&
            (url[i + 2] == 'e' || url[i + 2] == 'E')) {
            path.append('.');
            i += 2;
        } else {
            path.append(c == '\\' ? '/' : c);
        }
    }
    if (path.startsWith("//"))
        return false;
    if (path.startsWith('/'))
        return true;
    // An empty segment ("a//") is a level of its own in a URL path; the last
    // segment is a file, which ".." after it climbs out of first.
    int depth = 0;
    for (const QByteArray& segment : path.split('/')) {
        if (segment == "..") {
            if (--depth < 0)
                return true;
        } else if (segment != ".") {
            ++depth;
        }
    }
    return false;
}

} // namespace Html
