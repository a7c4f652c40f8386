#include "core/brand/brandstore.h"

#include "core/platform/fileio.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QSvgRenderer>

#include <algorithm>

namespace {

// A brand file is a few hundred bytes; anything far larger is not one.
constexpr qint64 MaxBrandFileBytes = 256 * 1024;
constexpr int FormatVersion = 1;
const QLatin1String Suffix(".json");

QString colourText(const QColor& colour)
{
    return colour.isValid() ? colour.name(QColor::HexRgb) : QString();
}

QString slugOf(const QString& name)
{
    QString slug;
    for (const QChar c : name.normalized(QString::NormalizationForm_KD).toLower()) {
        if ((c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9'))
            slug += c;
        else if (!slug.isEmpty() && !slug.endsWith(u'-') && (c.isSpace() || c.isPunct()))
            slug += u'-';
        if (slug.size() >= 40)
            break;
    }
    while (slug.endsWith(u'-'))
        slug.chop(1);
    return slug.isEmpty() ? QStringLiteral("brand") : slug;
}

bool isPlainFileName(const QString& name)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9][A-Za-z0-9._-]*$"));
    return plain.match(name).hasMatch() && !name.contains(QLatin1String(".."));
}

QByteArray pngOf(const QImage& image)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

} // namespace

BrandStore::BrandStore(QString folder) : m_folder(std::move(folder)) {}

QString BrandStore::defaultFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QLatin1String("/quillery/brands");
}

QByteArray BrandStore::toJson(const BrandKit& brand, const QString& logoName)
{
    QJsonObject colours{
        {QStringLiteral("main"), colourText(brand.main)},
        {QStringLiteral("accent"), colourText(brand.accent)},
        {QStringLiteral("text"), colourText(brand.text)},
        {QStringLiteral("background"), colourText(brand.background)},
    };
    if (brand.accent2.isValid())
        colours.insert(QStringLiteral("accent2"), colourText(brand.accent2));
    QJsonObject social;
    for (auto it = brand.social.cbegin(); it != brand.social.cend(); ++it)
        if (!it.value().trimmed().isEmpty())
            social.insert(it.key(), it.value().trimmed());
    const QJsonObject root{
        {QStringLiteral("format"), FormatVersion},
        {QStringLiteral("name"), brand.name},
        {QStringLiteral("tagline"), brand.tagline},
        {QStringLiteral("logo"), logoName},
        {QStringLiteral("colours"), colours},
        {QStringLiteral("fonts"), QJsonObject{{QStringLiteral("heading"), brand.headingFonts},
                                              {QStringLiteral("body"), brand.bodyFonts}}},
        {QStringLiteral("address"), brand.address},
        {QStringLiteral("links"),
         QJsonObject{{QStringLiteral("website"), brand.website.trimmed()},
                     {QStringLiteral("viewInBrowser"), brand.viewInBrowser.trimmed()},
                     {QStringLiteral("unsubscribe"), brand.unsubscribe.trimmed()}}},
        {QStringLiteral("social"), social},
    };
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

Result<BrandKit> BrandStore::fromJson(const QByteArray& json, const QString& path,
                                      const QString& folder)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError)
        return Status::failure(
            QCoreApplication::translate("BrandStore", "%1: is not valid JSON (%2 at byte %3)")
                .arg(path, error.errorString())
                .arg(error.offset));
    if (!document.isObject())
        return Status::failure(
            QCoreApplication::translate("BrandStore", "%1: is not a brand (no JSON object)")
                .arg(path));
    const QJsonObject root = document.object();
    const int format = root.value(QStringLiteral("format")).toInt(0);
    if (format < 1 || format > FormatVersion)
        return Status::failure(
            QCoreApplication::translate("BrandStore",
                                        "%1: has an unknown format %2 (this version reads %3)")
                .arg(path)
                .arg(root.value(QStringLiteral("format")).toVariant().toString())
                .arg(FormatVersion));

    BrandKit brand;
    brand.id = QFileInfo(path).completeBaseName();
    brand.name = root.value(QStringLiteral("name")).toString();
    brand.tagline = root.value(QStringLiteral("tagline")).toString();
    brand.address = root.value(QStringLiteral("address")).toString();

    const QJsonObject colours = root.value(QStringLiteral("colours")).toObject();
    const auto colour = [&](const char* role, QColor* out, bool optional) -> Status {
        const QString text = colours.value(QLatin1String(role)).toString();
        if (optional && text.isEmpty())
            return Status::success();
        *out = QColor::fromString(text);
        if (!out->isValid())
            return Status::failure(QCoreApplication::translate(
                                       "BrandStore", "%1: the %2 colour \"%3\" is not a colour")
                                       .arg(path, QLatin1String(role), text));
        return Status::success();
    };
    for (const auto& [role, out, optional] :
         {std::tuple{"main", &brand.main, false}, std::tuple{"accent", &brand.accent, false},
          std::tuple{"text", &brand.text, false},
          std::tuple{"background", &brand.background, false},
          std::tuple{"accent2", &brand.accent2, true}}) {
        if (Status status = colour(role, out, optional); !status)
            return status;
    }

    const QJsonObject fonts = root.value(QStringLiteral("fonts")).toObject();
    brand.headingFonts = fonts.value(QStringLiteral("heading")).toString();
    brand.bodyFonts = fonts.value(QStringLiteral("body")).toString();
    const QJsonObject links = root.value(QStringLiteral("links")).toObject();
    brand.website = links.value(QStringLiteral("website")).toString();
    brand.viewInBrowser = links.value(QStringLiteral("viewInBrowser")).toString();
    brand.unsubscribe = links.value(QStringLiteral("unsubscribe")).toString();
    const QJsonObject social = root.value(QStringLiteral("social")).toObject();
    for (auto it = social.constBegin(); it != social.constEnd(); ++it)
        brand.social.insert(it.key(), it.value().toString());

    const QString logo = root.value(QStringLiteral("logo")).toString();
    if (!logo.isEmpty()) {
        if (!isPlainFileName(logo) || !logo.endsWith(QLatin1String(".png")))
            return Status::failure(
                QCoreApplication::translate(
                    "BrandStore", "%1: the logo \"%2\" is not a file name beside the brand")
                    .arg(path, logo));
        brand.logoFile = QDir(folder).absoluteFilePath(logo);
        if (!QFileInfo(brand.logoFile).isFile())
            return Status::failure(
                QCoreApplication::translate("BrandStore", "%1: its logo %2 is missing")
                    .arg(path, brand.logoFile));
    }

    const QStringList problems = brandProblems(brand);
    if (!problems.isEmpty())
        return Status::failure(path + QLatin1String(": ") + problems.join(u' '));
    return brand;
}

BrandStore::Loaded BrandStore::load() const
{
    Loaded loaded;
    const QDir dir(m_folder);
    if (!dir.exists())
        return loaded;
    const QStringList files =
        dir.entryList({QStringLiteral("*.json")}, QDir::Files | QDir::Hidden, QDir::Name);
    for (const QString& file : files) {
        if (file.startsWith(u'.'))
            continue; // an atomic write's temporary file
        const QString path = dir.absoluteFilePath(file);
        const Result<QByteArray> bytes = FileIo::readSmallFile(path, MaxBrandFileBytes);
        if (!bytes) {
            loaded.problems << bytes.status().message();
            continue;
        }
        Result<BrandKit> brand = fromJson(*bytes, path, m_folder);
        if (!brand) {
            loaded.problems << brand.status().message();
            continue;
        }
        loaded.brands << *brand;
    }
    std::stable_sort(loaded.brands.begin(), loaded.brands.end(),
                     [](const BrandKit& a, const BrandKit& b) {
                         return QString::localeAwareCompare(a.name, b.name) < 0;
                     });
    return loaded;
}

Status BrandStore::save(BrandKit& brand, const QString& logoSource)
{
    const QStringList problems = brandProblems(brand);
    if (!problems.isEmpty())
        return Status::failure(problems.join(u'\n'));
    if (!brand.id.isEmpty() && !isPlainFileName(brand.id))
        return Status::failure(
            QCoreApplication::translate("BrandStore", "\"%1\" is not a brand's file name")
                .arg(brand.id));

    // Everything that can fail on the input fails before a byte is written.
    QByteArray logoPng;
    if (!logoSource.isEmpty() && logoSource != brand.logoFile) {
        const Result<QImage> logo = BrandLogo::load(logoSource);
        if (!logo)
            return logo.status();
        logoPng = pngOf(*logo);
    }

    if (!QDir().mkpath(m_folder))
        return Status::failure(
            QCoreApplication::translate("BrandStore", "%1: the folder could not be made")
                .arg(m_folder));
    const QDir dir(m_folder);

    QString id = brand.id;
    if (id.isEmpty()) {
        const QString stem = slugOf(brand.name);
        id = stem;
        for (int n = 2; QFileInfo::exists(dir.absoluteFilePath(id + Suffix)); ++n)
            id = stem + u'-' + QString::number(n);
    }
    const QString path = dir.absoluteFilePath(id + Suffix);

    // The logo's name carries its content, so a new logo never overwrites the
    // one the brand file on disk still names: until the brand file is
    // replaced, the old pair stays whole.
    QString logoName;
    QString newLogoPath;
    if (!logoPng.isEmpty()) {
        const QByteArray hash =
            QCryptographicHash::hash(logoPng, QCryptographicHash::Sha256).toHex().left(12);
        logoName = id + QLatin1String("-logo-") + QString::fromLatin1(hash) + QLatin1String(".png");
        newLogoPath = dir.absoluteFilePath(logoName);
        if (!QFileInfo::exists(newLogoPath)) {
            if (Status status = FileIo::writeAtomically(newLogoPath, logoPng); !status)
                return status;
        } else {
            newLogoPath.clear(); // already there: not ours to remove on a failure
        }
    } else if (!brand.logoFile.isEmpty()) {
        const QFileInfo kept(brand.logoFile);
        if (QDir(kept.absolutePath()) != dir || !isPlainFileName(kept.fileName()) || !kept.isFile())
            return Status::failure(
                QCoreApplication::translate("BrandStore",
                                            "%1: the logo is not a file of the brands folder")
                    .arg(brand.logoFile));
        logoName = kept.fileName();
    }

    // The logo the file named before, to tidy away once the new file is in place.
    QString oldLogo;
    if (const Result<QByteArray> old = FileIo::readSmallFile(path, MaxBrandFileBytes); old) {
        const QString name =
            QJsonDocument::fromJson(*old).object().value(QStringLiteral("logo")).toString();
        if (isPlainFileName(name))
            oldLogo = name;
    }

    if (Status status = FileIo::writeAtomically(path, toJson(brand, logoName)); !status) {
        if (!newLogoPath.isEmpty())
            QFile::remove(newLogoPath);
        return status;
    }
    if (!oldLogo.isEmpty() && oldLogo != logoName)
        QFile::remove(dir.absoluteFilePath(oldLogo));

    brand.id = id;
    brand.logoFile = logoName.isEmpty() ? QString() : dir.absoluteFilePath(logoName);
    return Status::success();
}

Status BrandStore::remove(const QString& id)
{
    if (!isPlainFileName(id))
        return Status::failure(
            QCoreApplication::translate("BrandStore", "\"%1\" is not a brand's file name").arg(id));
    const QDir dir(m_folder);
    const QString path = dir.absoluteFilePath(id + Suffix);
    QString logo;
    if (const Result<QByteArray> old = FileIo::readSmallFile(path, MaxBrandFileBytes); old)
        logo = QJsonDocument::fromJson(*old).object().value(QStringLiteral("logo")).toString();
    QFile file(path);
    if (!file.exists())
        return Status::failure(
            QCoreApplication::translate("BrandStore", "%1: is missing").arg(path));
    if (!file.remove())
        return Status::failure(
            QCoreApplication::translate("BrandStore", "%1: could not be removed (%2)")
                .arg(path, file.errorString()));
    if (isPlainFileName(logo))
        QFile::remove(dir.absoluteFilePath(logo));
    return Status::success();
}

namespace BrandLogo {

QString svgHazard(const QByteArray& svg)
{
    const QString text = QString::fromUtf8(svg).toLower();
    if (text.contains(QLatin1String("<script")))
        return QCoreApplication::translate("BrandStore", "it holds a script");
    if (text.contains(QLatin1String("<foreignobject")))
        return QCoreApplication::translate("BrandStore", "it holds foreign content");
    if (text.contains(QLatin1String("<!entity")))
        return QCoreApplication::translate("BrandStore", "it declares entities");
    static const QRegularExpression handler(QStringLiteral("\\son[a-z]+\\s*="));
    if (handler.match(text).hasMatch())
        return QCoreApplication::translate("BrandStore", "it holds an event handler");
    // Any reference is to a part of the picture itself ("#id"); everything
    // else (a web address, a file, a data URL) would reach outside it.
    static const QRegularExpression reference(QStringLiteral(
        "(?:href|src)\\s*=\\s*[\"']\\s*([^\"']*)|url\\(\\s*[\"']?\\s*([^)\"']*)|@import"));
    for (auto it = reference.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        if (match.captured(0).startsWith(QLatin1String("@import")))
            return QCoreApplication::translate("BrandStore", "it imports a style sheet");
        const QString target = match.captured(1) + match.captured(2);
        if (!target.startsWith(u'#'))
            return QCoreApplication::translate("BrandStore", "it refers to \"%1\" outside itself")
                .arg(target.left(80));
    }
    return {};
}

Result<QImage> load(const QString& path)
{
    const Status small = FileIo::checkSmallFile(path, MaxFileBytes);
    if (!small)
        return small;
    const Result<QByteArray> bytes = FileIo::readSmallFile(path, MaxFileBytes);
    if (!bytes)
        return bytes.status();
    const auto refuse = [&](const QString& reason) {
        return Status::failure(path + QLatin1String(": ") + reason);
    };

    QBuffer buffer;
    buffer.setData(*bytes);
    buffer.open(QIODevice::ReadOnly);
    const QByteArray format = QImageReader::imageFormat(&buffer);
    QImage image;
    if (format == "png" || format == "jpeg") {
        QImageReader reader(&buffer, format);
        const QSize size = reader.size();
        if (!size.isValid())
            return refuse(QCoreApplication::translate("BrandStore", "is not a readable image"));
        if (qint64(size.width()) * size.height() > MaxPixels)
            return refuse(QCoreApplication::translate(
                              "BrandStore", "has %1 megapixels; a logo can have at most %2")
                              .arg(qint64(size.width()) * size.height() / 1'000'000)
                              .arg(MaxPixels / 1'000'000));
        reader.setAutoTransform(true);
        image = reader.read();
        if (image.isNull())
            return refuse(QCoreApplication::translate("BrandStore", "is not a readable image (%1)")
                              .arg(reader.errorString()));
        const QSize bound(MaxStoredWidth, MaxStoredHeight);
        if (image.width() > bound.width() || image.height() > bound.height())
            image = image.scaled(bound, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    } else {
        const QByteArray head = bytes->left(4096).trimmed().toLower();
        const bool looksSvg =
            head.contains("<svg") && (head.startsWith("<?xml") || head.startsWith("<svg") ||
                                      head.startsWith("<!--") || head.startsWith("<!doctype"));
        if (!looksSvg)
            return refuse(
                QCoreApplication::translate("BrandStore", "is not a PNG, JPEG or SVG image"));
        const QString hazard = svgHazard(*bytes);
        if (!hazard.isEmpty())
            return refuse(
                QCoreApplication::translate("BrandStore", "the SVG is refused: %1").arg(hazard));
        QSvgRenderer renderer(*bytes);
        if (!renderer.isValid())
            return refuse(QCoreApplication::translate("BrandStore", "is not a valid SVG image"));
        QSizeF size = renderer.viewBoxF().size();
        if (size.isEmpty())
            size = renderer.defaultSize();
        if (size.isEmpty())
            return refuse(QCoreApplication::translate("BrandStore", "the SVG has no size"));
        const QSize drawn =
            size.scaled(QSizeF(MaxStoredWidth, MaxStoredHeight), Qt::KeepAspectRatio)
                .toSize()
                .expandedTo(QSize(1, 1));
        image = QImage(drawn, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter);
    }
    return image.convertToFormat(QImage::Format_ARGB32);
}

} // namespace BrandLogo
