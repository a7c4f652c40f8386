#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

// Turns a standard MIME message into an HTML page plus the files it refers to.
// A broken or hostile message never crashes it: it returns the best page it
// can, possibly empty, and lastError() says what went wrong. Each operation
// clears lastError() first, so an empty lastError() after a save means the
// page and all of its files are complete.
//
// The message is untrusted, like mail. The page (and every style sheet or page
// of the message written beside it) refers to no local file but its own: file:
// URLs, paths from the root and paths that climb out of the page's folder are
// quietly dropped (the value becomes "", a CSS url('')), file: bases are
// ignored, and refreshes are taken out. Remote references stay as they are.
// A page nested deeper than HtmlNesting::MaxDepth is flattened, and that is
// reported in lastError(); so is what is left out because it would cost the
// engine far more than its size (SVG filters and animations, var() blow-ups).
class MimeComponent
{
public:
    // Messages larger than this are refused before parsing.
    static constexpr qsizetype MaxMessageSize = 64 * 1024 * 1024;

    // An HTML or style sheet leaf of a message, as a content check reads it.
    struct TextPart
    {
        QByteArray type;      // "text/html" or "text/css"
        QByteArray contentId; // without angle brackets, may be empty
        QString label;        // where it is: "HTML", "HTML part 2", "style sheet cid:s.css"
        QByteArray content;   // transfer encoding undone, charset as labelled
    };

    // What a content check needs of a message, without building a page.
    struct TextParts
    {
        bool parsed = false;         // false when nothing of the data reads as a message
        QStringList problems;        // found while parsing, one problem each
        QSet<QByteArray> contentIds; // of every part: what a cid: reference may name
        std::vector<TextPart> parts; // in the order of the message
    };

    // Parses `message` as LoadEmlData does, with no size limit: the caller
    // has the bytes in memory already.
    static TextParts readTextParts(const QByteArray& message);

    // What a mail list shows of a message: From and Subject with encoded
    // words decoded. Empty where the message has none.
    struct ListHeaders
    {
        QString fromName; // as written, without the quotes around it
        QString fromAddress;
        QString subject;
    };
    static ListHeaders readListHeaders(const QByteArray& message);

    // The text a reader of plain-text mail gets: the text/plain alternative
    // of the HTML, or the message's text when it has no HTML. UTF-8 with
    // every invalid sequence replaced, line breaks as "\n", at most
    // `maxBytes` of it, cut between characters. Nothing when there is none.
    struct PlainText
    {
        QByteArray text;
        bool cut = false; // there was more than maxBytes
    };
    static std::optional<PlainText> readPlainText(const QByteArray& message, qsizetype maxBytes);

    // What changes when a message leaves as mail to real recipients.
    struct Outgoing
    {
        QString fromName; // empty keeps the message's own name
        QString fromAddress;
        QStringList to;
        QString subjectPrefix;
        QByteArray messageId; // without angle brackets
        QDateTime date;
        // Rewrites the decoded UTF-8 text of every text/plain and text/html
        // part (`html` says which) and the subject; a part it does not change
        // stays byte for byte as it was. None: nothing is rewritten.
        std::function<QByteArray(const QByteArray& text, bool html)> fill;
    };

    // `message` with the headers of `outgoing` and its replacements made,
    // lines ending in CRLF as SMTP carries them. Empty, with the reason in
    // `error`, when the data is no message or larger than MaxMessageSize.
    static QByteArray outgoingMessage(const QByteArray& message, const Outgoing& outgoing,
                                      QString* error);

    MimeComponent();
    ~MimeComponent();
    MimeComponent(const MimeComponent&) = delete;
    MimeComponent& operator=(const MimeComponent&) = delete;

    // Reads the whole message into the instance; the file may be deleted after.
    bool LoadEmlFile(const QString& path);
    bool LoadEmlData(const QByteArray& data);

    // Writes the images into folder/imagesFolderName (created) and returns the
    // HTML with references "imagesFolderName/file" (percent-encoded), for a
    // page stored in `folder`.
    QString SaveHtmlAndImages(const QString& folder, const QString& imagesFolderName);

    // Writes the images into folder/subfolder (created when missing) and
    // returns the HTML with plain "file" references, for a page stored inside
    // that subfolder.
    QString SaveHtmlToSubfolder(const QString& folder, const QString& subfolder);

    // The page is UTF-8 and says so in its <meta charset>; these return it as
    // bytes, ready to be written, without a round trip through QString.
    QByteArray saveHtmlAndImagesUtf8(const QString& folder, const QString& imagesFolderName);
    QByteArray saveHtmlToSubfolderUtf8(const QString& folder, const QString& subfolder);

    QString lastError() const;

private:
    struct Private;
    std::unique_ptr<Private> d;
};
