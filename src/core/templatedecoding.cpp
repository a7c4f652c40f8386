#include "templatedecoding.h"

#include "fileio.h"

#include <QtEndian>

#include <array>
#include <cstring>
#include <limits>

namespace Module1 {

namespace {

constexpr char OpenPlaceholder = char(0xB0);
constexpr char ClosePlaceholder = char(0xA7);
constexpr char SiblingWord[] = "rookpost";
constexpr char GalleryWord[] = "quillbook";
constexpr qsizetype CountSize = 4;

// The key repeats every L bytes. Laying it out, reversed, over a block whose
// length is a multiple of L lets the hot loop run over a fixed-length block
// with a plain index the compiler can vectorise, instead of a modulo per byte.
constexpr qsizetype BlockSize = 64 * 5 * 4;

class KeyStream
{
public:
    explicit KeyStream(const QByteArray& key) : m_period(key.size())
    {
        if (m_period == 0)
            return;
        // A block must hold whole periods so every block starts at key byte L.
        m_blockSize = (BlockSize / m_period) * m_period;
        if (m_blockSize == 0)
            m_blockSize = m_period;
        m_block.resize(m_blockSize);
        for (qsizetype i = 0; i < m_blockSize; ++i)
            m_block[i] = key[m_period - 1 - i % m_period];
    }

    bool isEmpty() const { return m_period == 0; }

    // out[i] = in[i] ^ key, then through `map` when given; in and out may alias.
    template <typename Map> void apply(const char* in, char* out, qsizetype size, Map map) const
    {
        const char* pattern = m_block.constData();
        qsizetype done = 0;
        if (m_blockSize == BlockSize) {
            for (; done + BlockSize <= size; done += BlockSize) {
                const char* src = in + done;
                char* dst = out + done;
                for (qsizetype i = 0; i < BlockSize; ++i)
                    dst[i] = map(char(src[i] ^ pattern[i]));
            }
        }
        for (qsizetype i = 0; done < size; ++done, ++i) {
            if (i == m_blockSize)
                i = 0;
            out[done] = map(char(in[done] ^ pattern[i]));
        }
    }

private:
    qsizetype m_period = 0;
    qsizetype m_blockSize = 0;
    QByteArray m_block;
};

inline char identity(char c)
{
    return c;
}

inline char restorePlaceholder(char c)
{
    c = c == OpenPlaceholder ? '<' : c;
    return c == ClosePlaceholder ? '>' : c;
}

void restorePlaceholders(QByteArray& text)
{
    char* data = text.data();
    for (qsizetype i = 0, n = text.size(); i < n; ++i)
        data[i] = restorePlaceholder(data[i]);
}

void restoreGalleryWord(QByteArray& text)
{
    // Most messages never mention the sibling product; a search is far cheaper
    // than the copy that replace() makes.
    if (text.contains(SiblingWord))
        text.replace(SiblingWord, GalleryWord);
}

struct Payload
{
    qsizetype offset = CountSize;
    qsizetype size = 0;
};

// The count and what follows it, or the reason the file cannot be decoded.
std::optional<Payload> readPayload(const QByteArray& file, QString* error)
{
    auto fail = [&](const QString& reason) -> std::optional<Payload> {
        if (error)
            *error = reason;
        return std::nullopt;
    };
    if (file.size() < CountSize)
        return fail(
            QStringLiteral("truncated: %1 bytes, too short for the 4-byte count").arg(file.size()));
    const qint32 count = qFromLittleEndian<qint32>(file.constData());
    if (count < 0)
        return fail(QStringLiteral("corrupt: negative count %1").arg(count));
    const qsizetype available = file.size() - CountSize;
    if (count > available)
        return fail(QStringLiteral("truncated: the count says %1 bytes, only %2 follow")
                        .arg(count)
                        .arg(available));
    return Payload{CountSize, count};
}

QByteArray decryptPayload(const QByteArray& file, const Payload& payload, const QByteArray& key)
{
    QByteArray text(payload.size, Qt::Uninitialized);
    const char* in = file.constData() + payload.offset;
    const KeyStream stream(key);
    if (stream.isEmpty())
        std::memcpy(text.data(), in, payload.size);
    else
        stream.apply(in, text.data(), payload.size, identity);
    return text;
}

QString describeOffset(const char* what, qsizetype offset)
{
    return QStringLiteral("%1 at offset %2").arg(QLatin1String(what)).arg(offset);
}

// The first construct of `message` that decoding could not give back.
QString firstUnpackableConstruct(const QByteArray& message)
{
    qsizetype offset = -1;
    const char* what = nullptr;
    auto consider = [&](qsizetype at, const char* name) {
        if (at >= 0 && (offset < 0 || at < offset)) {
            offset = at;
            what = name;
        }
    };
    consider(message.indexOf(OpenPlaceholder), "a raw 0xB0 byte (it decodes to \"<\")");
    consider(message.indexOf(ClosePlaceholder), "a raw 0xA7 byte (it decodes to \">\")");
    consider(message.indexOf(SiblingWord), "the word \"rookpost\" (it decodes to \"quillbook\")");
    if (offset < 0)
        return QString();
    return describeOffset(what, offset);
}

} // namespace

QByteArray DecryptText(const QByteArray& text, const QByteArray& key)
{
    const KeyStream stream(key);
    if (stream.isEmpty() || text.isEmpty())
        return text;
    QByteArray result(text.size(), Qt::Uninitialized);
    stream.apply(text.constData(), result.data(), text.size(), identity);
    return result;
}

Status DecryptFile(const QString& path, const QByteArray& key)
{
    QString error;
    const std::optional<QByteArray> file = FileIo::readAll(path, &error);
    if (!file)
        return Status::failure(error);
    const std::optional<Payload> payload = readPayload(*file, &error);
    if (!payload)
        return Status::failure(QStringLiteral("%1: %2").arg(path, error));
    return FileIo::writeAtomically(path, decryptPayload(*file, *payload, key));
}

QString DecodedMessagePath(const QString& path)
{
    static const QLatin1String scrambled(".dat");
    // Only the file name's own extension changes; a ".dat" in a folder name or
    // in the middle of the name stays, so the target is always beside the copy.
    if (!path.endsWith(scrambled))
        return path;
    return path.chopped(scrambled.size()) + QLatin1String(".eml");
}

Status UnencryptFile(const QString& path)
{
    QString error;
    std::optional<QByteArray> text = FileIo::readAll(path, &error);
    if (!text)
        return Status::failure(error);
    restorePlaceholders(*text);
    restoreGalleryWord(*text);
    return FileIo::writeAtomically(DecodedMessagePath(path), *text);
}

std::optional<QByteArray> UnpackTemplate(const QByteArray& libraryFile, QString* error)
{
    const std::optional<Payload> payload = readPayload(libraryFile, error);
    if (!payload)
        return std::nullopt;
    // Both single-byte steps of the two passes in one sweep over the data.
    QByteArray text(payload->size, Qt::Uninitialized);
    const char* in = libraryFile.constData() + payload->offset;
    KeyStream(QByteArray(TemplateKey)).apply(in, text.data(), payload->size, restorePlaceholder);
    restoreGalleryWord(text);
    return text;
}

std::optional<QByteArray> PackTemplate(const QByteArray& message, QString* error)
{
    auto fail = [&](const QString& reason) -> std::optional<QByteArray> {
        if (error)
            *error = reason;
        return std::nullopt;
    };
    const QString construct = firstUnpackableConstruct(message);
    if (!construct.isEmpty())
        return fail(QStringLiteral("the message holds %1, which cannot be packed").arg(construct));

    QByteArray text = message;
    text.replace(GalleryWord, SiblingWord);
    for (char& c : text) {
        if (c == '<')
            c = OpenPlaceholder;
        else if (c == '>')
            c = ClosePlaceholder;
    }
    if (text.size() > std::numeric_limits<qint32>::max())
        return fail(QStringLiteral("the message is %1 bytes, more than a library file can hold")
                        .arg(message.size()));

    QByteArray packed(CountSize, Qt::Uninitialized);
    qToLittleEndian<qint32>(qint32(text.size()), packed.data());
    packed += DecryptText(text, QByteArray(TemplateKey));

    // The checks above cover every construct known to break the round trip;
    // decoding the result proves it for this message.
    const std::optional<QByteArray> decoded = UnpackTemplate(packed, nullptr);
    if (!decoded || *decoded != message) {
        qsizetype at = 0;
        if (decoded) {
            const qsizetype common = std::min(decoded->size(), message.size());
            while (at < common && decoded->at(at) == message.at(at))
                ++at;
        }
        return fail(QStringLiteral("the message would not decode back byte for byte "
                                   "(first difference at offset %1)")
                        .arg(at));
    }
    return packed;
}

} // namespace Module1
