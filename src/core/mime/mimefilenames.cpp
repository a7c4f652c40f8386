#include "core/mime/mimefilenames.h"

#include "core/platform/devicenames.h"

namespace Mime {

namespace {

const QLatin1String reservedCharacters("<>:\"/\\|?*");

bool isUnwanted(char32_t c)
{
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || reservedCharacters.contains(QChar(c)) ||
           // Invisible and direction-changing characters that make a name
           // look like something else.
           (c >= 0x200B && c <= 0x200F) || (c >= 0x202A && c <= 0x202E) ||
           (c >= 0x2066 && c <= 0x2069) || c == 0xFEFF || c == 0xFFFD;
}

// Cuts to at most `bytes` of UTF-8 without splitting a character.
QString cutToBytes(const QString& text, int bytes)
{
    QString result;
    int used = 0;
    for (const char32_t c : text.toUcs4()) {
        const int length = c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
        if (used + length > bytes)
            break;
        used += length;
        result.append(QString::fromUcs4(&c, 1));
    }
    return result;
}

QString trimDotsAndSpaces(QString text)
{
    const auto strip = [](QChar c) { return c == QLatin1Char('.') || c.isSpace(); };
    while (!text.isEmpty() && strip(text.front()))
        text.remove(0, 1);
    while (!text.isEmpty() && strip(text.back()))
        text.chop(1);
    return text;
}

} // namespace

QString extensionFor(const QByteArray& type, const QByteArray& subtype)
{
    static const struct
    {
        const char* type;
        const char* subtype;
        const char* extension;
    } known[] = {
        {"image", "png", "png"},       {"image", "jpeg", "jpg"},
        {"image", "jpg", "jpg"},       {"image", "pjpeg", "jpg"},
        {"image", "gif", "gif"},       {"image", "webp", "webp"},
        {"image", "svg+xml", "svg"},   {"image", "bmp", "bmp"},
        {"image", "x-ms-bmp", "bmp"},  {"image", "tiff", "tif"},
        {"image", "x-icon", "ico"},    {"image", "vnd.microsoft.icon", "ico"},
        {"image", "avif", "avif"},     {"text", "css", "css"},
        {"text", "html", "html"},      {"text", "plain", "txt"},
        {"application", "pdf", "pdf"}, {"font", "woff", "woff"},
        {"font", "woff2", "woff2"},    {"audio", "mpeg", "mp3"},
        {"video", "mp4", "mp4"},
    };
    for (const auto& entry : known) {
        if (type == entry.type && subtype == entry.subtype)
            return QString::fromLatin1(entry.extension);
    }
    return QString();
}

QString safeFileName(const QString& proposed, const QByteArray& type, const QByteArray& subtype,
                     int* madeUp)
{
    // Only the last component of anything that looks like a path.
    QString name = proposed;
    const qsizetype separator =
        std::max(name.lastIndexOf(QLatin1Char('/')), name.lastIndexOf(QLatin1Char('\\')));
    if (separator >= 0)
        name = name.mid(separator + 1);

    QString cleaned;
    for (const char32_t c : name.toUcs4()) {
        if (!isUnwanted(c))
            cleaned.append(QString::fromUcs4(&c, 1));
    }
    cleaned = trimDotsAndSpaces(cleaned.normalized(QString::NormalizationForm_C));

    const QString typeExtension = extensionFor(type, subtype);
    if (cleaned.isEmpty()) {
        const int serial = ++*madeUp;
        const QString stem = type == "image" ? QStringLiteral("image") : QStringLiteral("part");
        return stem + QString::number(serial) + QLatin1Char('.') +
               (typeExtension.isEmpty() ? QStringLiteral("bin") : typeExtension);
    }

    qsizetype dot = cleaned.lastIndexOf(QLatin1Char('.'));
    QString stem = dot > 0 ? cleaned.left(dot) : cleaned;
    QString extension = dot > 0 ? cleaned.mid(dot + 1) : QString();
    // The browser takes a local file's type from its extension.
    if (extension.isEmpty() && !typeExtension.isEmpty())
        extension = typeExtension;
    const QString lowerExtension = extension.toLower();
    if (!(type == "text" && subtype == "html") &&
        (lowerExtension == QLatin1String("htm") || lowerExtension == QLatin1String("html") ||
         lowerExtension == QLatin1String("xhtml") || lowerExtension == QLatin1String("shtml")))
        extension = typeExtension.isEmpty() || typeExtension == QLatin1String("html")
                        ? QStringLiteral("bin")
                        : typeExtension;
    extension = cutToBytes(extension, 16);

    const qsizetype firstDot = stem.indexOf(QLatin1Char('.'));
    if (DeviceNames::isDeviceName(firstDot >= 0 ? stem.left(firstDot) : stem))
        stem.prepend(QLatin1Char('_'));
    const int room =
        MaxFileNameBytes - (extension.isEmpty() ? 0 : int(extension.toUtf8().size()) + 1);
    stem = trimDotsAndSpaces(cutToBytes(stem, room));
    if (stem.isEmpty())
        stem = QStringLiteral("part") + QString::number(++*madeUp);
    return extension.isEmpty() ? stem : stem + QLatin1Char('.') + extension;
}

QString NameAllocator::take(const QString& wanted)
{
    QString candidate = wanted;
    const qsizetype dot = wanted.lastIndexOf(QLatin1Char('.'));
    const QString stem = dot > 0 ? wanted.left(dot) : wanted;
    const QString extension = dot > 0 ? wanted.mid(dot) : QString();
    for (int number = 2; m_used.contains(candidate.toCaseFolded()); ++number)
        candidate = stem + QLatin1Char('-') + QString::number(number) + extension;
    m_used.insert(candidate.toCaseFolded());
    return candidate;
}

} // namespace Mime
