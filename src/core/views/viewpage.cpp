#include "core/views/viewpage.h"

namespace ViewPage {

QString escaped(const QString& text)
{
    return text.toHtmlEscaped();
}

QByteArray page(const QString& title, const QString& style, const QString& body)
{
    // The page's own policy forbids scripts and every load, so even a
    // mistake in escaping could not make it run or fetch anything.
    return QStringLiteral(
               "<!DOCTYPE html><html><head><meta charset=\"utf-8\">"
               "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; "
               "style-src 'unsafe-inline'\"><title>%1</title><style>"
               "body{font:14px Tahoma,Verdana,sans-serif;color:#404040;background:#f4f4f4;"
               "margin:24px}h1{font-size:18px;font-weight:normal;margin:0 0 12px}"
               "h2{font-size:14px;font-weight:bold;margin:20px 0 8px}"
               ".notice{color:#5a5a5a;margin:0 0 12px}%2</style></head><body>%3</body></html>")
        .arg(escaped(title), style, body)
        .toUtf8();
}

} // namespace ViewPage
