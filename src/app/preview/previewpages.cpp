#include "previewpages.h"

#include "failurereport.h"

#include <QCoreApplication>
#include <QRegularExpression>

namespace PreviewPages {

QString messagePage(const QString& title, const QString& detail)
{
    return QStringLiteral("<!DOCTYPE html><html><head><meta charset=\"utf-8\"></head>"
                          "<body style=\"font:16px Tahoma,sans-serif;color:#404040;margin:40px\">"
                          "<p style=\"font-size:18px\">%1</p><p style=\"color:#808080\">%2</p>"
                          "</body></html>")
        .arg(title.toHtmlEscaped(), detail.toHtmlEscaped());
}

QString noticePage(const QString& name, const QString& reason)
{
    return messagePage(name.isEmpty()
                           ? QCoreApplication::translate("PreviewPages", "No template to preview")
                           : QCoreApplication::translate(
                                 "PreviewPages", "The template \u201c%1\u201d cannot be shown")
                                 .arg(name),
                       FailureReport::inWords(reason));
}

QByteArray withProblemNotice(const QByteArray& page, const QString& problem)
{
    // Inline and important, so that the template's own style sheet can
    // neither hide nor restyle it.
    const QString text =
        QCoreApplication::translate("PreviewPages", "This template can be shown only in part: ") +
        problem;
    const QByteArray notice =
        "<div role=\"alert\" style=\"display:block!important;visibility:visible!important;"
        "position:static!important;margin:0!important;padding:10px 14px!important;"
        "background:#FFF4CE!important;color:#402000!important;border-bottom:1px solid #E0C060"
        "!important;font:14px Tahoma,sans-serif!important;text-align:left!important\">" +
        text.toHtmlEscaped().toUtf8() + "</div>";
    // At the top of the body, or where the body will begin; Latin-1 keeps
    // every byte in its place, so offsets hold for the UTF-8 page.
    static const QRegularExpression start(QStringLiteral("<body\\b[^>]*>|</head\\s*>"),
                                          QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = start.match(QString::fromLatin1(page));
    const qsizetype at = match.hasMatch() ? match.capturedEnd() : 0;
    return page.left(at) + notice + page.mid(at);
}

} // namespace PreviewPages
