#include "core/mime/mimecomponent.h"
#include "core/views/bodytext.h"
#include "core/views/recipientview.h"
#include "core/views/viewpage.h"

#include <QCoreApplication>

namespace RecipientView {

namespace {

// What a mail list has room for, in characters of an average proportional
// font at its usual size. A phone list gives the sender and the subject one
// line each on a 375-pixel-wide screen and the preheader two lines below
// them; a desktop list row gives the sender a column of its own, and the
// subject and the preheader share the rest of the row, the preheader taking
// what the subject leaves.
constexpr qsizetype PhoneSender = 28;
constexpr qsizetype PhoneSubject = 34;
constexpr qsizetype PhonePreheader = 90;
constexpr qsizetype DesktopSender = 24;
constexpr qsizetype DesktopRow = 120;
// Between subject and preheader on a desktop row; a preheader with less room
// than MinPreheader left is not shown at all.
const QString DesktopSeparator = QStringLiteral(" \u2013 ");
constexpr qsizetype MinPreheader = 10;
// How much of the body is read for the preheader: more than any list shows.
constexpr qsizetype ReadLimit = 300;

// Quotes a program wrote around the name as part of it: "'Shop'" or "\"Shop\"".
QString unquoted(QString name)
{
    name = name.simplified();
    while (name.size() >= 2 &&
           ((name.front() == QLatin1Char('"') && name.back() == QLatin1Char('"')) ||
            (name.front() == QLatin1Char('\'') && name.back() == QLatin1Char('\''))))
        name = name.mid(1, name.size() - 2).trimmed();
    return name;
}

// The text cut to `room` characters, the ellipsis included: at the last word
// boundary when there is one in the last 30% of the room, else inside the
// word. A character outside the basic plane is never split.
QString cut(const QString& text, qsizetype room)
{
    if (text.size() <= room)
        return text;
    qsizetype keep = std::max<qsizetype>(room - 1, 0);
    if (keep > 0 && text[keep - 1].isHighSurrogate())
        --keep;
    const qsizetype earliest = keep - keep * 3 / 10;
    const qsizetype space = text.lastIndexOf(QLatin1Char(' '), keep);
    if (space > 0 && space >= earliest)
        keep = space;
    QString shown = text.left(keep);
    while (!shown.isEmpty() &&
           (shown.back().isSpace() || QStringLiteral(",;:").contains(shown.back())))
        shown.chop(1);
    return shown + QChar(0x2026);
}

QString shownSender(const InboxLine& line)
{
    if (!line.senderName.isEmpty())
        return line.senderName;
    return line.senderAddress.isEmpty()
               ? QCoreApplication::translate("RecipientView", "(no sender)")
               : line.senderAddress;
}

QString shownSubject(const InboxLine& line)
{
    return line.subject.isEmpty() ? QCoreApplication::translate("RecipientView", "(no subject)")
                                  : line.subject;
}

} // namespace

InboxLine readInboxLine(const QByteArray& message, const QByteArray& html)
{
    const MimeComponent::ListHeaders headers = MimeComponent::readListHeaders(message);
    InboxLine line;
    line.senderAddress = headers.fromAddress.trimmed();
    line.senderName = unquoted(headers.fromName);
    if (line.senderName.isEmpty())
        line.senderName = line.senderAddress;
    line.subject = headers.subject.simplified();
    const BodyText::Start start = BodyText::read(html, ReadLimit);
    line.preheaderMissing = start.preheader.isEmpty();
    line.preheader = line.preheaderMissing ? start.visible : start.preheader;
    return line;
}

InboxCut cutForPhone(const InboxLine& line)
{
    return {cut(shownSender(line), PhoneSender), cut(shownSubject(line), PhoneSubject),
            cut(line.preheader, PhonePreheader)};
}

InboxCut cutForDesktop(const InboxLine& line)
{
    InboxCut shown;
    shown.sender = cut(shownSender(line), DesktopSender);
    shown.subject = cut(shownSubject(line), DesktopRow);
    const qsizetype room = DesktopRow - shown.subject.size() - DesktopSeparator.size();
    if (room >= MinPreheader)
        shown.preheader = cut(line.preheader, room);
    return shown;
}

QByteArray inboxPage(const InboxLine& line)
{
    using ViewPage::escaped;
    const InboxCut phone = cutForPhone(line);
    const InboxCut desktop = cutForDesktop(line);
    const QString style = QStringLiteral(
        ".list{background:#fff;border:1px solid #d8d8d8;border-radius:4px}"
        ".phone{width:375px;box-sizing:border-box}"
        ".phone .row{padding:10px 16px 12px 28px;position:relative}"
        ".phone .row::before{content:'';position:absolute;left:10px;top:16px;width:8px;"
        "height:8px;border-radius:4px;background:#2f6fd6}"
        ".phone .sender{font-weight:bold;font-size:16px;color:#202020}"
        ".phone .subject{font-size:15px;color:#202020;margin-top:2px}"
        ".phone .preheader{font-size:13px;color:#707070;margin-top:2px;overflow-wrap:anywhere}"
        ".desktop .row{display:flex;padding:8px 12px;white-space:nowrap;font-size:13px}"
        ".desktop .sender{flex:0 0 190px;font-weight:bold;color:#202020;overflow:hidden;"
        "padding-right:16px}"
        // A pane narrower than a desktop list cuts the row where it ends.
        ".desktop .text{overflow:hidden;text-overflow:ellipsis;min-width:0}"
        ".desktop .subject{font-weight:bold;color:#202020}.desktop .preheader{color:#707070}"
        ".missing{color:#a05000}");

    QString body = QStringLiteral("<h1>%1</h1>")
                       .arg(escaped(QCoreApplication::translate("RecipientView", "Inbox line")));
    if (line.preheaderMissing) {
        body +=
            QStringLiteral("<p class=\"notice missing\">%1</p>")
                .arg(escaped(QCoreApplication::translate(
                    "RecipientView", "This template has no preheader: the inbox shows the start "
                                     "of its text instead.")));
    }
    body += QStringLiteral("<h2>%1</h2><div class=\"list phone\"><div class=\"row\">"
                           "<div class=\"sender\">%2</div><div class=\"subject\">%3</div>"
                           "<div class=\"preheader\">%4</div></div></div>")
                .arg(escaped(QCoreApplication::translate("RecipientView", "On a phone")),
                     escaped(phone.sender), escaped(phone.subject), escaped(phone.preheader));
    QString desktopText =
        QStringLiteral("<span class=\"subject\">%1</span>").arg(escaped(desktop.subject));
    if (!desktop.preheader.isEmpty()) {
        desktopText += QStringLiteral("<span class=\"preheader\">%1%2</span>")
                           .arg(escaped(DesktopSeparator), escaped(desktop.preheader));
    }
    body += QStringLiteral("<h2>%1</h2><div class=\"list desktop\"><div class=\"row\">"
                           "<span class=\"sender\">%2</span><span class=\"text\">%3</span>"
                           "</div></div>")
                .arg(escaped(QCoreApplication::translate("RecipientView", "On a desktop")),
                     escaped(desktop.sender), desktopText);
    return ViewPage::page(QCoreApplication::translate("RecipientView", "Inbox line"), style, body);
}

} // namespace RecipientView
