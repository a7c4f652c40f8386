#include "core/gallery/build/librarybuildsources.h"

#include "core/platform/fileio.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QStringDecoder>
#include <QSvgRenderer>

namespace LibraryBuild {

namespace {

// Gmail clips longer messages; a newsletter that loads slowly loses readers.
constexpr qsizetype MaxHtmlBytes = 100 * 1024;
constexpr qsizetype MaxImageBytes = 1024 * 1024;
// Images are drawn at twice their layout size so they stay sharp on
// high-density screens.
constexpr int ImageScale = 2;
// 100 dpi, what the library's images have always recorded.
constexpr int PngDotsPerMeter = 3937;

std::optional<QString> readText(const QString& path, QStringList* failures)
{
    const Result<QByteArray> bytes = FileIo::readAll(path);
    if (!bytes) {
        failures->append(bytes.status().message());
        return std::nullopt;
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(*bytes);
    if (utf8.hasError()) {
        failures->append(path + QLatin1String(": is not valid UTF-8"));
        return std::nullopt;
    }
    return text;
}

Result<QByteArray> renderSvg(const QString& path)
{
    QSvgRenderer renderer(path);
    if (!renderer.isValid())
        return Status::failure(path + QLatin1String(": not a valid SVG image"));
    QImage image(renderer.defaultSize() * ImageScale, QImage::Format_ARGB32_Premultiplied);
    // A new image takes its resolution from the process (a test runner asks
    // for 96 dpi), and the PNG records it: fixed, the same sources give the
    // same bytes wherever the build runs.
    image.setDotsPerMeterX(PngDotsPerMeter);
    image.setDotsPerMeterY(PngDotsPerMeter);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter);
    }
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        return Status::failure(path + QLatin1String(": could not be converted to PNG"));
    return png;
}

// The images of one template: SVG sources are rendered to PNG, PNG, JPEG and
// GIF files are taken as they are.
std::optional<QList<TemplateMessage::Image>> loadImages(const QString& folder,
                                                        QStringList* failures)
{
    QList<TemplateMessage::Image> images;
    const QFileInfoList files = QDir(folder + QLatin1String("/images"))
                                    .entryInfoList(QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
    bool ok = true;
    for (const QFileInfo& file : files) {
        const QString suffix = file.suffix().toLower();
        Result<QByteArray> data = Status::failure(
            file.filePath() +
            QLatin1String(": not an image type mail programs show (use SVG, PNG, JPEG or GIF)"));
        QByteArray type;
        QString name = file.fileName();
        if (suffix == QLatin1String("svg")) {
            data = renderSvg(file.filePath());
            type = "image/png";
            name = file.completeBaseName() + QLatin1String(".png");
        } else if (suffix == QLatin1String("png") || suffix == QLatin1String("jpg") ||
                   suffix == QLatin1String("jpeg") || suffix == QLatin1String("gif")) {
            data = FileIo::readAll(file.filePath());
            type = suffix == QLatin1String("png")   ? "image/png"
                   : suffix == QLatin1String("gif") ? "image/gif"
                                                    : "image/jpeg";
        }
        if (!data) {
            failures->append(data.status().message());
            ok = false;
            continue;
        }
        images.append({name, type, *data});
    }
    if (!ok)
        return std::nullopt;
    return images;
}

} // namespace

std::optional<TemplateMessage::Source> readSource(const QString& folder, QStringList* failures)
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
            failures->append(
                folder +
                QStringLiteral("/headers.txt: \"%1\" is not a \"Name: value\" line").arg(line));
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
        failures->append(folder + QStringLiteral("/message.html: %1 bytes, more than the %2 a "
                                                 "mail program shows unclipped")
                                      .arg(html->toUtf8().size())
                                      .arg(MaxHtmlBytes));
    if (imageBytes > MaxImageBytes)
        failures->append(folder + QStringLiteral("/images: the images come to %1 bytes, more "
                                                 "than %2")
                                      .arg(imageBytes)
                                      .arg(MaxImageBytes));
    if (failures->size() != failuresBefore)
        return std::nullopt;
    return source;
}

} // namespace LibraryBuild
