#include "core/mime/mimecomponent.h"

#include "core/mime/mimebody.h"
#include "core/mime/mimecharset.h"
#include "core/mime/mimemessage.h"
#include "core/mime/mimeoutput.h"
#include "core/mime/mimepage.h"
#include "core/platform/fileio.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QUrl>

struct MimeComponent::Private
{
    std::unique_ptr<Mime::Message> message;
    QStringList loadProblems;
    QStringList problems;

    QByteArray save(const QString& folder, const QString& name, const QByteArray& urlPrefix);
};

namespace {

QString joined(const QStringList& problems)
{
    return problems.join(QStringLiteral("; "));
}

} // namespace

QByteArray MimeComponent::Private::save(const QString& folder, const QString& name,
                                        const QByteArray& urlPrefix)
{
    problems = loadProblems;
    if (!message) {
        if (problems.isEmpty())
            problems.append(
                QCoreApplication::translate("MimeComponent", "no message has been loaded"));
        return QByteArray();
    }
    Mime::OutputFolder output;
    const Status opened = output.open(folder, name);
    if (!opened)
        problems.append(opened.message());
    // The page the callers store beside the files.
    output.names().reserve(QStringLiteral("msg.html"));
    return Mime::buildPage(*message, opened ? &output : nullptr, urlPrefix, &problems);
}

MimeComponent::MimeComponent() : d(std::make_unique<Private>()) {}

MimeComponent::~MimeComponent() = default;

bool MimeComponent::LoadEmlFile(const QString& path)
{
    const QFileInfo info(path);
    if (info.exists() && info.size() > MaxMessageSize) {
        d->message.reset();
        d->loadProblems = {
            QCoreApplication::translate("MimeComponent", "%1: the message is larger than %2 MB")
                .arg(path)
                .arg(MaxMessageSize / (1024 * 1024))};
        d->problems = d->loadProblems;
        return false;
    }
    const Result<QByteArray> data = FileIo::readAll(path);
    if (!data) {
        d->message.reset();
        d->loadProblems = {data.status().message()};
        d->problems = d->loadProblems;
        return false;
    }
    const bool loaded = LoadEmlData(*data);
    if (!d->problems.isEmpty()) {
        // Name the file, so that the message makes sense on its own.
        for (QString& problem : d->loadProblems)
            problem = QStringLiteral("%1: %2").arg(path, problem);
        d->problems = d->loadProblems;
    }
    return loaded;
}

bool MimeComponent::LoadEmlData(const QByteArray& data)
{
    d->message.reset();
    d->loadProblems.clear();
    if (data.size() > MaxMessageSize) {
        d->loadProblems.append(
            QCoreApplication::translate("MimeComponent", "the message is larger than %1 MB")
                .arg(MaxMessageSize / (1024 * 1024)));
    } else if (data.trimmed().isEmpty()) {
        d->loadProblems.append(
            QCoreApplication::translate("MimeComponent", "the message is empty"));
    } else {
        d->message = Mime::Message::parse(data, &d->loadProblems);
    }
    d->problems = d->loadProblems;
    return d->message != nullptr;
}

QByteArray MimeComponent::saveHtmlAndImagesUtf8(const QString& folder,
                                                const QString& imagesFolderName)
{
    return d->save(folder, imagesFolderName, QUrl::toPercentEncoding(imagesFolderName) + '/');
}

QByteArray MimeComponent::saveHtmlToSubfolderUtf8(const QString& folder, const QString& subfolder)
{
    return d->save(folder, subfolder, QByteArray());
}

QString MimeComponent::SaveHtmlAndImages(const QString& folder, const QString& imagesFolderName)
{
    return QString::fromUtf8(saveHtmlAndImagesUtf8(folder, imagesFolderName));
}

QString MimeComponent::SaveHtmlToSubfolder(const QString& folder, const QString& subfolder)
{
    return QString::fromUtf8(saveHtmlToSubfolderUtf8(folder, subfolder));
}

QString MimeComponent::lastError() const
{
    return joined(d->problems);
}

MimeComponent::TextParts MimeComponent::readTextParts(const QByteArray& message)
{
    TextParts result;
    const std::unique_ptr<Mime::Message> parsed = Mime::Message::parse(message, &result.problems);
    if (!parsed)
        return result;
    result.parsed = true;
    const std::vector<Mime::Part>& parts = parsed->parts();
    for (const Mime::Part& part : parts)
        if (!part.contentId.isEmpty())
            result.contentIds.insert(part.contentId);
    int htmlParts = 0;
    for (int i = 0; i < int(parts.size()); ++i) {
        const Mime::Part& part = parts[size_t(i)];
        if (!part.isLeaf())
            continue;
        TextPart text;
        if (part.is("text", "css")) {
            // A style sheet part reaches the page through <link href="cid:...">.
            text.label = QStringLiteral("style sheet");
            if (!part.contentId.isEmpty())
                text.label += QStringLiteral(" cid:") + QString::fromUtf8(part.contentId);
        } else if (part.is("text", "html")) {
            text.label = ++htmlParts == 1 ? QStringLiteral("HTML")
                                          : QStringLiteral("HTML part %1").arg(htmlParts);
        } else {
            continue;
        }
        text.type = part.type + '/' + part.subtype;
        text.contentId = part.contentId;
        text.content = parsed->content(i);
        result.parts.push_back(std::move(text));
    }
    return result;
}

MimeComponent::ListHeaders MimeComponent::readListHeaders(const QByteArray& message)
{
    ListHeaders headers;
    const std::unique_ptr<Mime::Message> parsed = Mime::Message::parse(message, nullptr);
    if (!parsed)
        return headers;
    const Mime::Message::Mailbox sender = parsed->sender();
    headers.fromName = sender.name;
    headers.fromAddress = sender.address;
    headers.subject = parsed->subject();
    return headers;
}

namespace {

// The plain text beside the body a mail program shows: the body itself when
// it is plain text, else the first text/plain of the multipart/alternative
// that holds the HTML.
int plainTextPart(const std::vector<Mime::Part>& parts)
{
    const Mime::BodyChoice body = Mime::chooseBody(parts);
    if (body.part < 0 || !body.html)
        return body.part;
    int alternative = parts[size_t(body.part)].parent;
    while (alternative >= 0 && !parts[size_t(alternative)].is("multipart", "alternative"))
        alternative = parts[size_t(alternative)].parent;
    if (alternative < 0)
        return -1;
    // Parts are flattened parents first, so the alternative's descendants
    // follow it; the first plain one that is not an attachment is the text.
    for (int i = alternative + 1; i < int(parts.size()); ++i) {
        const Mime::Part& part = parts[size_t(i)];
        if (part.depth <= parts[size_t(alternative)].depth)
            break;
        if (part.isLeaf() && part.is("text", "plain") && !part.attachment)
            return i;
    }
    return -1;
}

} // namespace

std::optional<MimeComponent::PlainText> MimeComponent::readPlainText(const QByteArray& message,
                                                                     qsizetype maxBytes)
{
    const std::unique_ptr<Mime::Message> parsed = Mime::Message::parse(message, nullptr);
    if (!parsed)
        return std::nullopt;
    const int index = plainTextPart(parsed->parts());
    if (index < 0)
        return std::nullopt;
    const Mime::Part& part = parsed->parts()[size_t(index)];
    PlainText plain;
    plain.text = Mime::textToUtf8(parsed->content(index), part.charset);
    plain.text.replace("\r\n", "\n").replace('\r', '\n');
    if (plain.text.size() > maxBytes) {
        // Back to the start of the character the bound falls in.
        qsizetype end = std::max<qsizetype>(maxBytes, 0);
        while (end > 0 && (static_cast<unsigned char>(plain.text[end]) & 0xC0) == 0x80)
            --end;
        plain.text.truncate(end);
        plain.cut = true;
    }
    return plain;
}
