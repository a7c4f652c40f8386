#include "core/html/htmlurls.h"

#include <QList>
#include <QStringList>

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
    // Under a file: page "//host/x" is file://host/x: never the page's folder.
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

bool isNetworkPath(QByteArrayView url)
{
    return url.size() >= 2 && (url[0] == '/' || url[0] == '\\') &&
           (url[1] == '/' || url[1] == '\\');
}

bool networkPathIsLocal(QByteArrayView url)
{
    if (!isNetworkPath(url))
        return false;
    qsizetype end = 2;
    while (end < url.size() && url[end] != '/' && url[end] != '\\' && url[end] != '?' &&
           url[end] != '#')
        ++end;
    QByteArray host =
        QByteArray::fromPercentEncoding(url.sliced(2, end - 2).toByteArray()).toLower();
    while (host.endsWith('.'))
        host.chop(1);
    if (host.isEmpty())
        return true;
    // Anything but a plain name (an address, a port, user info, letters the
    // engine maps to others) is taken for this machine rather than guessed.
    for (const char c : host)
        if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.'))
            return true;
    const QList<QByteArray> labels = host.split('.');
    for (const QByteArray& label : labels)
        if (label.isEmpty() || label.startsWith("localhost"))
            return true;
    // A last label of digits or hex makes the whole host an IPv4 address.
    const QByteArray& last = labels.last();
    bool number = true;
    for (const char c : last)
        number = number && c >= '0' && c <= '9';
    if (number)
        return true;
    if (last.startsWith("0x")) {
        bool hex = true;
        for (const char c : last.sliced(2))
            hex = hex && ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'));
        if (hex)
            return true;
    }
    return false;
}

FilePath relativeFilePath(QByteArrayView url)
{
    QByteArray path;
    path.reserve(url.size());
    for (const char c : url) {
        if (c == '?' || c == '#')
            break;
        path.append(c == '\\' ? '/' : c);
    }
    if (path.startsWith('/'))
        return {};
    const QList<QByteArray> segments = path.split('/');
    QList<QByteArray> kept;
    int climbed = 0;
    for (qsizetype i = 0; i < segments.size(); ++i) {
        const QByteArray lower = segments[i].toLower();
        const bool last = i + 1 == segments.size();
        if (lower == ".." || lower == ".%2e" || lower == "%2e." || lower == "%2e%2e") {
            if (kept.isEmpty())
                ++climbed;
            else
                kept.removeLast();
        } else if (lower != "." && lower != "%2e") {
            kept.append(segments[i]);
            continue;
        }
        if (last)
            kept.append(QByteArray()); // "a/.." names a folder, not a file
    }
    FilePath file;
    file.loadable = true;
    QStringList names(climbed, QStringLiteral(".."));
    for (const QByteArray& segment : kept) {
        const QByteArray lower = segment.toLower();
        // The engine loads nothing whose name holds an encoded "/" or NUL
        // rather than read it as a separator or the end of the name.
        if (lower.contains("%2f") || lower.contains("%00"))
            file.loadable = false;
        if (!segment.isEmpty())
            names.append(QString::fromUtf8(QByteArray::fromPercentEncoding(segment)));
    }
    file.path = names.join(QLatin1Char('/'));
    return file;
}

} // namespace Html
