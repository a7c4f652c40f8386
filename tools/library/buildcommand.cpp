#include "command.h"

#include "fileio.h"
#include "templatedecoding.h"
#include "templatelibrary.h"
#include "templatemessage.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QMap>
#include <QPainter>
#include <QSet>
#include <QStringDecoder>
#include <QSvgRenderer>

namespace {

// Gmail clips longer messages; a newsletter that loads slowly loses readers.
constexpr qsizetype MaxHtmlBytes = 100 * 1024;
constexpr qsizetype MaxImageBytes = 1024 * 1024;
// Images are drawn at twice their layout size so they stay sharp on
// high-density screens.
constexpr int ImageScale = 2;

struct Failure
{
    QString path;
    QString reason;
};

std::optional<QString> readText(const QString& path, QList<Failure>* failures)
{
    QString error;
    const std::optional<QByteArray> bytes = FileIo::readAll(path, &error);
    if (!bytes) {
        failures->append({path, error});
        return std::nullopt;
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(*bytes);
    if (utf8.hasError()) {
        failures->append({path, QStringLiteral("is not valid UTF-8")});
        return std::nullopt;
    }
    return text;
}

std::optional<QByteArray> renderSvg(const QString& path, QString* error)
{
    QSvgRenderer renderer(path);
    if (!renderer.isValid()) {
        *error = QStringLiteral("not a valid SVG image");
        return std::nullopt;
    }
    QImage image(renderer.defaultSize() * ImageScale, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter);
    }
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) {
        *error = QStringLiteral("could not be converted to PNG");
        return std::nullopt;
    }
    return png;
}

// The images of one template: SVG sources are rendered to PNG, PNG, JPEG and
// GIF files are taken as they are.
std::optional<QList<TemplateMessage::Image>> loadImages(const QString& folder,
                                                        QList<Failure>* failures)
{
    QList<TemplateMessage::Image> images;
    const QFileInfoList files = QDir(folder + QLatin1String("/images"))
                                    .entryInfoList(QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
    bool ok = true;
    for (const QFileInfo& file : files) {
        const QString suffix = file.suffix().toLower();
        QString error;
        std::optional<QByteArray> data;
        QByteArray type;
        QString name = file.fileName();
        if (suffix == QLatin1String("svg")) {
            data = renderSvg(file.filePath(), &error);
            type = "image/png";
            name = file.completeBaseName() + QLatin1String(".png");
        } else if (suffix == QLatin1String("png") || suffix == QLatin1String("jpg") ||
                   suffix == QLatin1String("jpeg") || suffix == QLatin1String("gif")) {
            data = FileIo::readAll(file.filePath(), &error);
            type = suffix == QLatin1String("png")   ? "image/png"
                   : suffix == QLatin1String("gif") ? "image/gif"
                                                    : "image/jpeg";
        } else {
            error =
                QStringLiteral("not an image type mail programs show (use SVG, PNG, JPEG or GIF)");
        }
        if (!data) {
            failures->append({file.filePath(), error});
            ok = false;
            continue;
        }
        images.append({name, type, *data});
    }
    if (!ok)
        return std::nullopt;
    return images;
}

std::optional<TemplateMessage::Source> readSource(const QString& folder, QList<Failure>* failures)
{
    const std::optional<QString> headers =
        readText(folder + QLatin1String("/headers.txt"), failures);
    const std::optional<QString> html = readText(folder + QLatin1String("/message.html"), failures);
    const std::optional<QString> text = readText(folder + QLatin1String("/message.txt"), failures);
    std::optional<QList<TemplateMessage::Image>> images = loadImages(folder, failures);
    if (!headers || !html || !text || !images)
        return std::nullopt;

    const qsizetype failuresBefore = failures->size();
    TemplateMessage::Source source;
    for (const QString& line : headers->split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const qsizetype colon = line.indexOf(QLatin1Char(':'));
        const QString name = line.left(colon).trimmed().toLower();
        const QString value = line.mid(colon + 1).trimmed();
        if (colon < 0)
            failures->append({folder + QLatin1String("/headers.txt"),
                              QStringLiteral("\"%1\" is not a \"Name: value\" line").arg(line)});
        else if (name == QLatin1String("from"))
            source.from = value;
        else if (name == QLatin1String("subject"))
            source.subject = value;
        else if (name == QLatin1String("date"))
            source.date = value;
    }
    source.html = *html;
    source.text = *text;
    source.images = *images;
    qsizetype imageBytes = 0;
    for (const TemplateMessage::Image& image : source.images)
        imageBytes += image.data.size();
    if (html->toUtf8().size() > MaxHtmlBytes)
        failures->append(
            {folder + QLatin1String("/message.html"),
             QStringLiteral("%1 bytes, more than the %2 a mail program shows unclipped")
                 .arg(html->toUtf8().size())
                 .arg(MaxHtmlBytes)});
    if (imageBytes > MaxImageBytes)
        failures->append({folder + QLatin1String("/images"),
                          QStringLiteral("the images come to %1 bytes, more than %2")
                              .arg(imageBytes)
                              .arg(MaxImageBytes)});
    if (failures->size() != failuresBefore)
        return std::nullopt;
    return source;
}

class Builder
{
public:
    Builder(const QString& source, const QString& library) : m_source(source), m_library(library) {}

    QList<Failure> run(QTextStream& out)
    {
        if (!QFileInfo(m_source).isDir())
            return {{m_source, QStringLiteral("no such source folder")}};
        for (const char* sub : {"categories", "categories/thumbs", "templates"})
            if (!QDir().mkpath(m_library + QLatin1Char('/') + QLatin1String(sub)))
                m_failures.append({m_library + QLatin1Char('/') + QLatin1String(sub),
                                   QStringLiteral("cannot create the folder")});
        if (!m_failures.isEmpty())
            return m_failures;

        const QFileInfoList categories =
            QDir(m_source).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
        for (const QFileInfo& category : categories)
            if (QFileInfo(category.filePath() + QLatin1String("/page.html")).isFile())
                buildCategory(category);
        if (m_pages == 0)
            m_failures.append(
                {m_source, QStringLiteral("holds no category folder with a page.html")});
        // All or nothing: a failed build leaves the previous library in place.
        if (m_failures.isEmpty()) {
            for (auto it = m_output.cbegin(); it != m_output.cend(); ++it) {
                const Status status = FileIo::writeAtomically(it.key(), it.value());
                if (!status)
                    m_failures.append({it.key(), status.message()});
            }
        }
        if (m_failures.isEmpty())
            removeStale();
        out << m_library << ": " << m_pages << " categories, " << m_templates << " templates\n";
        return m_failures;
    }

private:
    void write(const QString& path, const QByteArray& data)
    {
        m_output.insert(QFileInfo(path).absoluteFilePath(), data);
    }

    void buildCategory(const QFileInfo& category)
    {
        const QString name = category.fileName();
        if (TemplateLibrary::CategoryNameFromFileName(name + QLatin1String(".html")).isEmpty()) {
            m_failures.append(
                {category.filePath(), QStringLiteral("gives an empty category name")});
            return;
        }
        QString error;
        if (const std::optional<QByteArray> page =
                FileIo::readAll(category.filePath() + QLatin1String("/page.html"), &error)) {
            write(m_library + QLatin1String("/categories/") + name + QLatin1String(".html"), *page);
            ++m_pages;
        } else {
            m_failures.append({category.filePath(), error});
        }
        const QFileInfoList thumbs =
            QDir(category.filePath() + QLatin1String("/thumbs"))
                .entryInfoList({QStringLiteral("*.png")}, QDir::Files, QDir::Name);
        for (const QFileInfo& thumb : thumbs) {
            const QString target =
                m_library + QLatin1String("/categories/thumbs/") + thumb.fileName();
            // All pages share one thumbnails folder.
            if (m_output.contains(QFileInfo(target).absoluteFilePath()))
                m_failures.append(
                    {thumb.filePath(),
                     QStringLiteral("another category has a thumbnail of this name")});
            else if (const std::optional<QByteArray> data =
                         FileIo::readAll(thumb.filePath(), &error))
                write(target, *data);
            else
                m_failures.append({thumb.filePath(), error});
        }
        const QFileInfoList templates =
            QDir(category.filePath()).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
        for (const QFileInfo& folder : templates)
            if (folder.fileName() != QLatin1String("thumbs"))
                buildTemplate(folder);
    }

    void buildTemplate(const QFileInfo& folder)
    {
        const QString name = folder.fileName();
        if (!TemplateLibrary::IsPlainTemplateName(name)) {
            m_failures.append({folder.filePath(), QStringLiteral("is not a plain template name")});
            return;
        }
        if (m_names.contains(name)) {
            m_failures.append({folder.filePath(),
                               QStringLiteral("another category has a template of this name")});
            return;
        }
        m_names.insert(name);
        const std::optional<TemplateMessage::Source> source =
            readSource(folder.filePath(), &m_failures);
        if (!source)
            return;
        QString error;
        const std::optional<QByteArray> message = TemplateMessage::Compose(*source, &error);
        std::optional<QByteArray> packed;
        if (message)
            packed = Module1::PackTemplate(*message, &error);
        if (!packed) {
            m_failures.append({folder.filePath(), error});
            return;
        }
        write(TemplateLibrary::TemplateFilePath(m_library, name), *packed);
        ++m_templates;
    }

    // Pages and templates whose sources are gone must not linger in the library.
    void removeStale()
    {
        const QList<QPair<QString, QString>> owned{
            {QStringLiteral("/categories"), QStringLiteral("*.html")},
            {QStringLiteral("/categories/thumbs"), QStringLiteral("*.png")},
            {QStringLiteral("/templates"), QStringLiteral("*.dat")}};
        for (const auto& [sub, pattern] : owned) {
            const QFileInfoList files = QDir(m_library + sub).entryInfoList({pattern}, QDir::Files);
            for (const QFileInfo& file : files)
                if (!m_output.contains(file.absoluteFilePath()) && !QFile::remove(file.filePath()))
                    m_failures.append(
                        {file.filePath(), QStringLiteral("stale, and cannot be removed")});
        }
    }

    QString m_source;
    QString m_library;
    QList<Failure> m_failures;
    QMap<QString, QByteArray> m_output; // absolute path -> content, written once all succeeded
    QSet<QString> m_names;
    int m_pages = 0;
    int m_templates = 0;
};

} // namespace

int runBuild(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    const QList<Failure> failures =
        Builder(QDir::cleanPath(arguments.at(0)), QDir::cleanPath(arguments.at(1))).run(out);
    for (const Failure& failure : failures)
        err << "quillery-library: " << failure.path << ": " << failure.reason << '\n';
    return failures.isEmpty() ? ExitOk : ExitFailure;
}
