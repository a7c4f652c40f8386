#include "core/mime/mimecomponent.h"
#include "core/views/recipientview.h"
#include "core/views/viewpage.h"

#include <QCoreApplication>

namespace RecipientView {

namespace {

// More text than any newsletter has; a message that holds more is cut here,
// so a hostile one cannot make the page too large to draw.
constexpr qsizetype MaxPlainTextBytes = 1024 * 1024;

} // namespace

std::optional<QString> readPlainText(const QByteArray& message)
{
    const std::optional<MimeComponent::PlainText> plain =
        MimeComponent::readPlainText(message, MaxPlainTextBytes);
    if (!plain)
        return std::nullopt;
    QString text = QString::fromUtf8(plain->text);
    if (plain->cut)
        text += QLatin1Char('\n') +
                QCoreApplication::translate("RecipientView",
                                            "[The rest of the text is too long to show.]");
    return text;
}

QByteArray plainTextPage(const QString& templateName, const std::optional<QString>& text)
{
    using ViewPage::escaped;
    // The message's own line breaks; a line longer than the pane wraps
    // instead of running out of sight, as plain-text mail readers wrap it.
    const QString style = QStringLiteral(
        ".text{background:#fff;border:1px solid #d8d8d8;padding:12px 16px;margin:0;"
        "font:13px/1.45 'DejaVu Sans Mono','Liberation Mono',Consolas,monospace;color:#202020;"
        "white-space:pre-wrap;overflow-wrap:anywhere}");
    const QString title =
        QCoreApplication::translate("RecipientView", "Plain text of \u201c%1\u201d")
            .arg(templateName);
    QString body = QStringLiteral("<h1>%1</h1>").arg(escaped(title));
    if (text && !text->trimmed().isEmpty()) {
        body += QStringLiteral("<pre class=\"text\">%1</pre>").arg(escaped(*text));
    } else {
        body +=
            QStringLiteral("<p class=\"notice\">%1</p>")
                .arg(escaped(
                    text ? QCoreApplication::translate(
                               "RecipientView", "The plain-text part of this template is empty.")
                         : QCoreApplication::translate("RecipientView",
                                                       "This template has no plain-text part.")));
    }
    return ViewPage::page(title, style, body);
}

} // namespace RecipientView
