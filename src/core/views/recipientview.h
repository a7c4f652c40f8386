#pragma once
#include <optional>
#include <QByteArray>
#include <QString>

namespace RecipientView {

enum class Colours { Light, Dark, Inverted };

// The staged page's HTML (UTF-8, as TemplateStaging::StagedPage::html holds it) rewritten:
bool hasOwnDarkRules(const QByteArray& html);
QByteArray withOwnDarkRules(const QByteArray& html); // dark @media rules always on, light ones off
QByteArray withColoursInverted(const QByteArray& html);
QByteArray withImagesBlocked(const QByteArray& html); // no image source of any kind remains
// Media queries read as on the phone the Phone view shows (ViewCss::phoneMediaList).
QByteArray withPhoneMedia(const QByteArray& html);
// Colours, images and the phone together, in the right order; Light, !imagesBlocked and !phone
// give html unchanged.
QByteArray pageForView(const QByteArray& html, Colours colours, bool imagesBlocked,
                       bool phone = false);

struct InboxLine
{
    QString senderName; // display name of From, else its address
    QString senderAddress;
    QString subject;
    QString preheader;             // whitespace collapsed, filler characters removed
    bool preheaderMissing = false; // then `preheader` is the start of the body's visible text
};
// From the decoded message (headers) and the staged page's HTML (preheader).
InboxLine readInboxLine(const QByteArray& message, const QByteArray& html);

// What a mail list shows of it, cut at a word where the list cuts, ending in "…".
struct InboxCut
{
    QString sender;
    QString subject;
    QString preheader;
};
InboxCut cutForPhone(const InboxLine& line);
InboxCut cutForDesktop(const InboxLine& line);
// A complete, self-contained page (no script, no remote or file reference) drawing both.
QByteArray inboxPage(const InboxLine& line);

// The text/plain alternative of the decoded message, if it has one (charset decoded, invalid
// UTF-8 replaced, size bounded).
std::optional<QString> readPlainText(const QByteArray& message);
// A complete, self-contained page showing it, or saying the template has none.
QByteArray plainTextPage(const QString& templateName, const std::optional<QString>& text);

} // namespace RecipientView
