#include "core/gallery/userlibrary/templateimport.h"

#include "core/gallery/check/librarycheck.h"
#include "core/gallery/check/pagehazards.h"
#include "core/gallery/library/templatemessage.h"
#include "core/gallery/userlibrary/htmltext.h"
#include "core/html/cssurls.h"
#include "core/html/htmlscan.h"
#include "core/html/htmlurls.h"
#include "core/mime/mimecomponent.h"
#include "core/platform/fileio.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QLocale>
#include <QMimeDatabase>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QUrl>

#include <algorithm>
#include <optional>

namespace TemplateImport {

namespace {

const QString PlaceholderSender = QStringLiteral("Your name <you@example.com>");

QString refusal(const QString& path, const QString& reason)
{
    return QDir::toNativeSeparators(path) + QLatin1String(": ") + reason;
}

Status refuseProblems(const QString& file, const LibraryCheck::Problems& problems)
{
    QStringList lines;
    for (qsizetype i = 0; i < problems.size() && i < 5; ++i)
        lines << problems[i].reason;
    if (problems.size() > 5)
        lines << QCoreApplication::translate("TemplateImport", "and %1 more")
                     .arg(problems.size() - 5);
    return Status::failure(refusal(
        file, QCoreApplication::translate("TemplateImport", "a template must not hold this: ") +
                  lines.join(QStringLiteral("; "))));
}

// A header of the message's top part, when it is plain printable text;
// encoded or folded values are left to the fallback.
QString simpleHeader(const QByteArray& message, const QByteArray& name)
{
    qsizetype end = message.indexOf("\r\n\r\n");
    if (end < 0)
        end = message.indexOf("\n\n");
    const QList<QByteArray> lines = message.left(end < 0 ? message.size() : end).split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        if (!line.toLower().startsWith(name.toLower() + ':'))
            continue;
        const bool folded = i + 1 < lines.size() && !lines[i + 1].isEmpty() &&
                            (lines[i + 1][0] == ' ' || lines[i + 1][0] == '\t');
        const QByteArray value = line.mid(name.size() + 1).trimmed();
        if (folded || value.isEmpty() || value.contains("=?"))
            return QString();
        for (char c : value)
            if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) > 0x7e)
                return QString();
        return QString::fromLatin1(value);
    }
    return QString();
}

QString pageTitle(const QByteArray& html)
{
    static const QRegularExpression title(QStringLiteral("<title[^>]*>([^<]*)</title"),
                                          QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = title.match(QString::fromUtf8(html));
    return match.hasMatch()
               ? QString::fromUtf8(Html::decodeEntities(match.captured(1).toUtf8())).simplified()
               : QString();
}

QString rfc5322Now()
{
    return QLocale::c().toString(QDateTime::currentDateTimeUtc(),
                                 QStringLiteral("ddd, dd MMM yyyy hh:mm:ss +0000"));
}

// A name the message can carry the image under: letters, digits, ".", "-", "_".
QString imageFileName(const QString& path, QSet<QString>* taken)
{
    QString base = QFileInfo(path).fileName();
    static const QRegularExpression unsafe(QStringLiteral("[^A-Za-z0-9._-]+"));
    base.replace(unsafe, QStringLiteral("-"));
    if (base.isEmpty() || base.startsWith(QLatin1Char('.')))
        base.prepend(QLatin1String("image"));
    QString name = base;
    for (int n = 2; taken->contains(name.toLower()); ++n)
        name = QStringLiteral("%1-%2").arg(n).arg(base);
    taken->insert(name.toLower());
    return name;
}

bool isLocalRelative(const QByteArray& url)
{
    const QByteArray clean = Html::cleanUrl(url);
    return !clean.isEmpty() && !clean.startsWith('#') && !clean.startsWith("//") &&
           QUrl(QString::fromUtf8(clean)).scheme().isEmpty();
}

// A picture from the page's folder that is not an <img src>: a message
// carries only those, so such a page would lose it; the user learns which.
std::optional<QString> uncarriedPicture(const QByteArray& html)
{
    std::optional<QString> found;
    const auto inCss = [&found](QByteArrayView css) {
        for (const CssUrls::Url& url : CssUrls::find(css))
            if (!found && isLocalRelative(url.url))
                found = QString::fromUtf8(url.url);
    };
    Html::scanHtml(html, [&](const Html::HtmlTag& tag) {
        if (found)
            return;
        for (const char* name : {"background", "poster"}) {
            const QByteArray value = tag.attribute(html, name);
            if (!value.isNull() && isLocalRelative(value))
                found = QString::fromUtf8(value);
        }
        const QByteArray style = tag.attribute(html, "style");
        if (!style.isNull())
            inCss(style);
        if (tag.name == "style" && tag.contentEnd > tag.end)
            inCss(QByteArrayView(html).sliced(tag.end, tag.contentEnd - tag.end));
    });
    return found;
}

// The file an <img src> of the page shows, read as the check and the engine
// read it (see Html::relativeFilePath): its real path, links followed, which
// must lie inside the page's folder; null with `failure` set when it does not.
QString pictureFile(const QString& file, const QByteArray& url, const QString& pageFolder,
                    std::optional<Status>* failure)
{
    const QString shown = QString::fromUtf8(url);
    const auto refuse = [&](const QString& reason) {
        *failure = Status::failure(refusal(file, reason));
        return QString();
    };
    const Html::FilePath relative = Html::relativeFilePath(url);
    if (!relative.loadable)
        return refuse(QCoreApplication::translate(
                          "TemplateImport",
                          "the image \u201c%1\u201d it shows names no file of the page's folder "
                          "(a path from the root, or an encoded \"/\" in a name)")
                          .arg(shown));
    const QString path = QDir::cleanPath(pageFolder + QLatin1Char('/') + relative.path);
    const QString folder = QFileInfo(pageFolder).canonicalFilePath();
    const QString real = QFileInfo(path).canonicalFilePath();
    if (real.isEmpty())
        return refuse(
            QCoreApplication::translate(
                "TemplateImport", "the image \u201c%1\u201d it shows is missing (looked for %2)")
                .arg(shown, QDir::toNativeSeparators(path)));
    if (folder.isEmpty() || !real.startsWith(folder + QLatin1Char('/')))
        return refuse(QCoreApplication::translate(
                          "TemplateImport",
                          "the image \u201c%1\u201d it shows lies outside the page's folder (it "
                          "is %2); a template carries only pictures from beside its page")
                          .arg(shown, QDir::toNativeSeparators(real)));
    const QFileInfo info(real);
    if (!info.isFile())
        return refuse(
            QCoreApplication::translate(
                "TemplateImport", "the image \u201c%1\u201d it shows is not a regular file (%2)")
                .arg(shown, QDir::toNativeSeparators(real)));
    if (info.size() > maxFileSize())
        return refuse(QCoreApplication::translate(
                          "TemplateImport", "the image \u201c%1\u201d is larger than %2 bytes")
                          .arg(shown)
                          .arg(maxFileSize()));
    return real;
}

// The page with every image it shows from its folder carried along, as the
// library build's sources hold them: "images/<name>" in the HTML.
Result<TemplateMessage::Source> pageSource(const QString& file, const QByteArray& html,
                                           const QString& pageFolder)
{
    TemplateMessage::Source source;
    QHash<QString, QString> carried; // real path -> image name
    QSet<QString> taken;
    QByteArray out;
    qsizetype last = 0;
    qsizetype total = html.size();
    std::optional<Status> failure;
    Html::scanHtml(html, [&](const Html::HtmlTag& tag) {
        if (failure)
            return;
        for (const Html::HtmlAttribute& attribute : tag.attributes) {
            if (attribute.name != "src" || !attribute.hasValue)
                continue;
            const QByteArray url = Html::cleanUrl(Html::decodeEntities(
                html.mid(attribute.valueBegin, attribute.valueEnd - attribute.valueBegin)));
            if (url.isEmpty() || url.startsWith('#'))
                continue;
            if (Html::isNetworkPath(url) && Html::networkPathIsLocal(url)) {
                failure = Status::failure(refusal(
                    file, QCoreApplication::translate(
                              "TemplateImport",
                              "the image \u201c%1\u201d it shows is a file of this computer")
                              .arg(QString::fromUtf8(url))));
                return;
            }
            if (Html::isNetworkPath(url) || !QUrl(QString::fromUtf8(url)).scheme().isEmpty())
                continue; // remote or data: ones are the hazard check's to judge
            const QString path = pictureFile(file, url, pageFolder, &failure);
            if (failure)
                return;
            QString name = carried.value(path);
            if (name.isEmpty()) {
                const Result<QByteArray> data = FileIo::readAll(path);
                if (!data) {
                    failure = data.status();
                    return;
                }
                const QByteArray type = QMimeDatabase().mimeTypeForData(*data).name().toLatin1();
                if (!type.startsWith("image/")) {
                    failure = Status::failure(refusal(
                        path, QCoreApplication::translate(
                                  "TemplateImport", "the page shows it as an image, but it is %1")
                                  .arg(QString::fromLatin1(type))));
                    return;
                }
                total += data->size();
                name = imageFileName(path, &taken);
                carried.insert(path, name);
                source.images.append({name, type, *data});
            }
            out += html.mid(last, attribute.begin - last);
            out += "src=\"images/" + name.toUtf8() + '"';
            last = attribute.end;
        }
    });
    if (failure)
        return *failure;
    if (total > maxFileSize())
        return Status::failure(
            refusal(file, QCoreApplication::translate("TemplateImport",
                                                      "the page and its images are larger "
                                                      "than %1 bytes")
                              .arg(maxFileSize())));
    out += html.mid(last);
    source.html = QString::fromUtf8(out);
    return source;
}

// A header the template takes over must fit one line of a message, as the
// mail standard bounds it: a page's title or a message's subject of
// megabytes would make a template no mail program sends.
Status checkHeaderLength(const QString& file, const char* header, const QString& value)
{
    constexpr qsizetype MaxLine = 998;
    const qsizetype room = MaxLine - qsizetype(qstrlen(header)) - 2;
    if (value.size() <= room)
        return Status::success();
    return Status::failure(refusal(
        file, QCoreApplication::translate("TemplateImport",
                                          "its %1 is %2 characters long; a template's %1 can have "
                                          "at most %3, as one line of a message holds")
                  .arg(QString::fromLatin1(header))
                  .arg(value.size())
                  .arg(room)));
}

Result<QByteArray> compose(const QString& file, TemplateMessage::Source source, const QString& name)
{
    source.text = HtmlText::plainText(source.html.toUtf8());
    if (source.subject.isEmpty())
        source.subject = name;
    if (source.from.isEmpty())
        source.from = PlaceholderSender;
    if (source.date.isEmpty())
        source.date = rfc5322Now();
    const Result<QByteArray> message = TemplateMessage::compose(source);
    if (!message)
        return Status::failure(refusal(file, message.status().message()));
    // The same check the shipped library passes, on what will be stored.
    const LibraryCheck::Problems problems = LibraryCheck::checkMessage(file, *message);
    if (!problems.isEmpty())
        return refuseProblems(file, problems);
    return message;
}

Result<QByteArray> fromPage(const QString& file, const QByteArray& html, const QString& name)
{
    const QList<PageHazards::Hazard> hazards = PageHazards::find(html);
    if (!hazards.isEmpty()) {
        LibraryCheck::Problems problems;
        for (const PageHazards::Hazard& hazard : hazards)
            problems.append({file, QCoreApplication::translate("TemplateImport", "line %1: %2")
                                       .arg(hazard.line)
                                       .arg(hazard.reason)});
        return refuseProblems(file, problems);
    }
    if (const std::optional<QString> picture = uncarriedPicture(html))
        return Status::failure(
            refusal(file, QCoreApplication::translate(
                              "TemplateImport",
                              "the picture \u201c%1\u201d is shown as a background, which a "
                              "template cannot carry; show it with an <img> element")
                              .arg(*picture)));
    Result<TemplateMessage::Source> source = pageSource(file, html, QFileInfo(file).absolutePath());
    if (!source)
        return source.status();
    source->subject = pageTitle(html);
    if (const Status status = checkHeaderLength(file, "Subject", source->subject); !status)
        return status;
    if (source->html.trimmed().isEmpty())
        return Status::failure(
            refusal(file, QCoreApplication::translate("TemplateImport", "the page is empty")));
    return compose(file, *source, name);
}

Result<QByteArray> fromMessage(const QString& file, const QByteArray& bytes, const QString& name,
                               const PageRewrite& rewrite = {}, const QString& subject = {})
{
    const MimeComponent::TextParts parts = MimeComponent::readTextParts(bytes);
    if (!parts.parsed)
        return Status::failure(
            refusal(file, QCoreApplication::translate("TemplateImport", "this is not a message")));
    const bool hasHtml = std::any_of(parts.parts.begin(), parts.parts.end(),
                                     [](const auto& part) { return part.type == "text/html"; });
    if (!hasHtml)
        return Status::failure(refusal(
            file, QCoreApplication::translate("TemplateImport", "the message holds no HTML part")));
    // Judged as sent: the page written below drops local references quietly.
    const LibraryCheck::Problems problems = LibraryCheck::checkMessage(file, bytes);
    if (!problems.isEmpty())
        return refuseProblems(file, problems);
    MimeComponent mime;
    QTemporaryDir work;
    if (!work.isValid())
        return Status::failure(refusal(
            work.path(), QCoreApplication::translate("TemplateImport", "no working folder")));
    if (!mime.LoadEmlData(bytes))
        return Status::failure(refusal(file, mime.lastError()));
    QByteArray html = mime.saveHtmlAndImagesUtf8(work.path(), QStringLiteral("files"));
    if (!mime.lastError().isEmpty() || html.isEmpty())
        return Status::failure(
            refusal(file, QCoreApplication::translate("TemplateImport",
                                                      "the message cannot be read whole: ") +
                              mime.lastError()));
    if (rewrite) {
        // The changed page goes through every rule below, like any page
        // that comes in.
        const Result<QByteArray> changed = rewrite(html, work.path());
        if (!changed)
            return changed.status();
        html = *changed;
        const QList<PageHazards::Hazard> hazards = PageHazards::find(html);
        if (!hazards.isEmpty()) {
            LibraryCheck::Problems problems;
            for (const PageHazards::Hazard& hazard : hazards)
                problems.append({file, QCoreApplication::translate("TemplateImport", "line %1: %2")
                                           .arg(hazard.line)
                                           .arg(hazard.reason)});
            return refuseProblems(file, problems);
        }
    }
    if (const std::optional<QString> picture = uncarriedPicture(html))
        return Status::failure(refusal(
            file, QCoreApplication::translate(
                      "TemplateImport", "the message shows a picture as a background (%1), which a "
                                        "template cannot carry")
                      .arg(*picture)));
    Result<TemplateMessage::Source> source = pageSource(file, html, work.path());
    if (!source)
        return source.status();
    // Read as a mail program reads them: the display name without the quotes
    // and escapes around it, which the composer puts back once.
    const MimeComponent::ListHeaders headers = MimeComponent::readListHeaders(bytes);
    source->subject = subject.isNull() ? headers.subject.simplified() : subject.simplified();
    static const QRegularExpression plainAddress(QStringLiteral("^[!-;=?-~]+$"));
    if (plainAddress.match(headers.fromAddress).hasMatch())
        source->from =
            headers.fromName.simplified().isEmpty()
                ? QStringLiteral("<%1>").arg(headers.fromAddress)
                : QStringLiteral("%1 <%2>").arg(headers.fromName.simplified(), headers.fromAddress);
    if (const Status status = checkHeaderLength(file, "Subject", source->subject); !status)
        return status;
    if (const Status status = checkHeaderLength(file, "From", source->from); !status)
        return status;
    // The message's own date stays, as its sender set it.
    const QString date = simpleHeader(bytes, "Date");
    if (QDateTime::fromString(date, Qt::RFC2822Date).isValid())
        source->date = date;
    return compose(file, *source, name);
}

} // namespace

Result<QByteArray> recompose(const QString& label, const QByteArray& message,
                             const PageRewrite& rewrite, const QString& name,
                             const QString& subject)
{
    if (message.size() > maxFileSize())
        return Status::failure(refusal(
            label, QCoreApplication::translate("TemplateImport", "the file is larger than %1 bytes")
                       .arg(maxFileSize())));
    return fromMessage(label, message, name, rewrite, subject);
}

qsizetype maxFileSize()
{
    return MimeComponent::MaxMessageSize;
}

Result<QByteArray> composeFromFile(const QString& file, const QString& name)
{
    const QFileInfo info(file);
    if (!info.isFile())
        return Status::failure(
            refusal(file, QCoreApplication::translate("TemplateImport", "there is no such file")));
    if (info.size() > maxFileSize())
        return Status::failure(refusal(
            file, QCoreApplication::translate("TemplateImport", "the file is larger than %1 bytes")
                      .arg(maxFileSize())));
    const QString suffix = info.suffix().toLower();
    const bool isMessage = suffix == QLatin1String("eml");
    if (!isMessage && suffix != QLatin1String("htm") && suffix != QLatin1String("html"))
        return Status::failure(
            refusal(file, QCoreApplication::translate(
                              "TemplateImport",
                              "only a message (.eml) or a page (.htm, .html) can be added")));
    const Result<QByteArray> bytes = FileIo::readAll(file);
    if (!bytes)
        return bytes.status();
    if (isMessage)
        return fromMessage(file, *bytes, name);
    return fromPage(file, *bytes, name);
}

} // namespace TemplateImport
