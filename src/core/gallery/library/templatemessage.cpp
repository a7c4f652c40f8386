#include "core/gallery/library/templatemessage.h"

#include <QRegularExpression>
#include <QSet>

namespace TemplateMessage {

namespace {

constexpr char Crlf[] = "\r\n";
// "=_" cannot occur in quoted-printable or base64 text, so these boundaries
// never need checking against the content.
constexpr char AlternativeBoundary[] = "=_quillery_alternative";
constexpr char RelatedBoundary[] = "=_quillery_related";

bool isPrintableAscii(const QString& text)
{
    for (QChar c : text)
        if (c.unicode() < 0x20 || c.unicode() > 0x7e)
            return false;
    return true;
}

QByteArray base64Lines(const QByteArray& data)
{
    const QByteArray encoded = data.toBase64();
    QByteArray out;
    out.reserve(encoded.size() + encoded.size() / 76 * 2 + 2);
    for (qsizetype i = 0; i < encoded.size(); i += 76)
        out += encoded.mid(i, 76) + Crlf;
    return out;
}

QByteArray header(const char* name, const QByteArray& value)
{
    return QByteArray(name) + ": " + value + Crlf;
}

// The HTML with every "images/<name>" in a src attribute turned into a cid:
// reference; `used` collects the names.
QString linkImages(const QString& html, QSet<QString>* used)
{
    static const QRegularExpression src(QStringLiteral(R"re(\bsrc="images/([^"/]+)")re"));
    QString out;
    qsizetype last = 0;
    for (const QRegularExpressionMatch& match : src.globalMatch(html)) {
        out += QStringView(html).mid(last, match.capturedStart() - last);
        const QString name = match.captured(1);
        used->insert(name);
        out += QStringLiteral("src=\"cid:%1\"").arg(QString::fromLatin1(contentId(name)));
        last = match.capturedEnd();
    }
    out += QStringView(html).mid(last);
    return out;
}

} // namespace

QByteArray contentId(const QString& fileName)
{
    return fileName.toUtf8().toPercentEncoding("._-") + "@quillery";
}

QByteArray encodeQuotedPrintable(const QByteArray& data)
{
    static const char hex[] = "0123456789ABCDEF";
    // At most three output bytes per input byte plus a soft break per 25.
    QByteArray out(data.size() * 3 + data.size() / 25 * 3 + 8, Qt::Uninitialized);
    char* o = out.data();
    const char* const begin = data.constData();
    const char* const end = begin + data.size();
    qsizetype column = 0;
    for (const char* p = begin; p != end; ++p) {
        const auto c = static_cast<unsigned char>(*p);
        if (c == '\r' && p + 1 != end && p[1] == '\n')
            continue;
        if (c == '\n') {
            *o++ = '\r';
            *o++ = '\n';
            column = 0;
            continue;
        }
        const bool atLineEnd = p + 1 == end || p[1] == '\n' || p[1] == '\r';
        const bool literal =
            (c >= 33 && c <= 126 && c != '=') || ((c == ' ' || c == '\t') && !atLineEnd);
        const int width = literal ? 1 : 3;
        if (column + width > 75) { // leave room for the soft break's "="
            *o++ = '=';
            *o++ = '\r';
            *o++ = '\n';
            column = 0;
        }
        if (literal) {
            *o++ = char(c);
        } else {
            *o++ = '=';
            *o++ = hex[c >> 4];
            *o++ = hex[c & 15];
        }
        column += width;
    }
    out.truncate(o - out.constData());
    return out;
}

QByteArray encodeHeaderText(const QString& text)
{
    if (isPrintableAscii(text))
        return text.toLatin1();
    // Base64 words of at most 45 bytes of UTF-8 stay under 76 columns; words
    // are split between characters, never inside one.
    QList<QByteArray> words;
    QByteArray chunk;
    for (qsizetype i = 0; i < text.size(); ++i) {
        qsizetype length = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QByteArray character = text.mid(i, length).toUtf8();
        i += length - 1;
        if (chunk.size() + character.size() > 45) {
            words.append("=?UTF-8?B?" + chunk.toBase64() + "?=");
            chunk.clear();
        }
        chunk += character;
    }
    if (!chunk.isEmpty())
        words.append("=?UTF-8?B?" + chunk.toBase64() + "?=");
    return words.join("\r\n ");
}

QByteArray encodeMailbox(const QString& mailbox)
{
    const qsizetype open = mailbox.lastIndexOf(QLatin1Char('<'));
    if (open < 0 || !mailbox.endsWith(QLatin1Char('>')))
        return mailbox.trimmed().toLatin1();
    const QString name = mailbox.left(open).trimmed();
    const QByteArray address = mailbox.mid(open).toLatin1();
    if (name.isEmpty())
        return address;
    if (!isPrintableAscii(name))
        return encodeHeaderText(name) + ' ' + address;
    QString quoted = name;
    quoted.replace(QLatin1Char('\\'), QLatin1String("\\\\"))
        .replace(QLatin1Char('"'), QLatin1String("\\\""));
    return '"' + quoted.toLatin1() + "\" " + address;
}

Result<QByteArray> compose(const Source& source)
{
    const auto fail = [](const QString& reason) { return Status::failure(reason); };
    if (source.from.trimmed().isEmpty() || source.subject.trimmed().isEmpty() ||
        source.date.trimmed().isEmpty())
        return fail(QStringLiteral("From, Subject and Date are all required"));
    if (source.html.isEmpty() || source.text.isEmpty())
        return fail(QStringLiteral("both the HTML and the text part are required"));

    QSet<QString> used;
    const QString html = linkImages(source.html, &used);
    static const QRegularExpression plainName(QStringLiteral("^[A-Za-z0-9][A-Za-z0-9._-]*$"));
    QSet<QString> provided;
    for (const Image& image : source.images) {
        // The name travels unencoded in headers and in cid: URLs.
        if (!plainName.match(image.fileName).hasMatch())
            return fail(QStringLiteral("the image name \"%1\" may hold only letters A-Z, digits, "
                                       "\".\", \"_\" and \"-\"")
                            .arg(image.fileName));
        provided.insert(image.fileName);
    }
    for (const QString& name : used)
        if (!provided.contains(name))
            return fail(QStringLiteral("the HTML shows images/%1, which the template does not have")
                            .arg(name));
    for (const QString& name : provided)
        if (!used.contains(name))
            return fail(QStringLiteral("images/%1 is never shown by the HTML").arg(name));

    QByteArray m;
    m += header("From", encodeMailbox(source.from));
    m += header("Subject", encodeHeaderText(source.subject));
    m += header("Date", source.date.toLatin1());
    m += header("MIME-Version", "1.0");
    m += header("Content-Type",
                QByteArray("multipart/alternative; boundary=\"") + AlternativeBoundary + '"');
    m += Crlf;
    m += "This is a message in MIME format.";
    m += Crlf;

    m += QByteArray(Crlf) + "--" + AlternativeBoundary + Crlf;
    m += header("Content-Type", "text/plain; charset=UTF-8");
    m += header("Content-Transfer-Encoding", "quoted-printable");
    m += Crlf + encodeQuotedPrintable(source.text.toUtf8());

    m += QByteArray(Crlf) + "--" + AlternativeBoundary + Crlf;
    m += header("Content-Type",
                QByteArray("multipart/related; type=\"text/html\";\r\n boundary=\"") +
                    RelatedBoundary + '"');
    m += Crlf;
    m += QByteArray("--") + RelatedBoundary + Crlf;
    m += header("Content-Type", "text/html; charset=UTF-8");
    m += header("Content-Transfer-Encoding", "quoted-printable");
    m += Crlf + encodeQuotedPrintable(html.toUtf8());
    for (const Image& image : source.images) {
        const QByteArray name = image.fileName.toUtf8();
        m += QByteArray(Crlf) + "--" + RelatedBoundary + Crlf;
        m += header("Content-Type", image.mimeType + ";\r\n name=\"" + name + '"');
        m += header("Content-Transfer-Encoding", "base64");
        m += header("Content-ID", '<' + contentId(image.fileName) + '>');
        m += header("Content-Disposition", "inline; filename=\"" + name + '"');
        m += Crlf + base64Lines(image.data);
    }
    m += QByteArray(Crlf) + "--" + RelatedBoundary + "--" + Crlf;
    m += QByteArray(Crlf) + "--" + AlternativeBoundary + "--" + Crlf;
    return m;
}

} // namespace TemplateMessage
