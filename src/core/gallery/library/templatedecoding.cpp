#include "core/gallery/library/templatedecoding.h"

#include "core/platform/fileio.h"

#include <QCoreApplication>
#include <QtEndian>

#include <algorithm>
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

// A fixed trip count and buffers that cannot overlap: what the compiler
// needs to turn this into vector instructions at the default optimisation.
template <typename Map>
inline void applyBlock(const char* __restrict in, char* __restrict out,
                       const char* __restrict pattern, Map map)
{
    for (qsizetype i = 0; i < BlockSize; ++i)
        out[i] = map(char(in[i] ^ pattern[i]));
}

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

    // out[i] = in[i] ^ key, then through `map`; in and out must not overlap.
    template <typename Map> void apply(const char* in, char* out, qsizetype size, Map map) const
    {
        const char* pattern = m_block.constData();
        qsizetype done = 0;
        if (m_blockSize == BlockSize) {
            for (; done + BlockSize <= size; done += BlockSize)
                applyBlock(in + done, out + done, pattern, map);
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

inline char hidePlaceholder(char c)
{
    c = c == '<' ? OpenPlaceholder : c;
    return c == '>' ? ClosePlaceholder : c;
}

void restorePlaceholders(QByteArray& text)
{
    char* data = text.data();
    for (qsizetype i = 0, n = text.size(); i < n; ++i)
        data[i] = restorePlaceholder(data[i]);
}

constexpr qsizetype WordSize = sizeof(SiblingWord) - 1;
constexpr qsizetype ScanBlock = 1024;
static_assert(sizeof(GalleryWord) - 1 >= WordSize);

// The first "rookpost" at or after `from`, or -1. Most of a message is base64
// and markup where the word never occurs; a block is looked at closely only
// when one of its positions has the word's first, fourth and last letters,
// a test the compiler runs over the whole block in vector registers.
qsizetype findSiblingWord(const QByteArray& text, qsizetype from)
{
    const char* data = text.constData();
    const qsizetype starts = text.size() - WordSize + 1; // positions a word can start at
    auto exactFrom = [&](qsizetype begin, qsizetype end) -> qsizetype {
        for (qsizetype i = begin; i < end; ++i) {
            if (std::memcmp(data + i, SiblingWord, WordSize) == 0)
                return i;
        }
        return -1;
    };
    qsizetype i = from;
    for (; i + ScanBlock <= starts; i += ScanBlock) {
        const char* p = data + i;
        // Zero exactly where all three letters match; the minimum finds one.
        unsigned char nearest = 0xFF;
        for (qsizetype j = 0; j < ScanBlock; ++j) {
            const auto miss = static_cast<unsigned char>((p[j] ^ 'r') | (p[j + 3] ^ 'k') |
                                                         (p[j + WordSize - 1] ^ 't'));
            nearest = std::min(nearest, miss);
        }
        if (nearest == 0) {
            if (const qsizetype at = exactFrom(i, i + ScanBlock); at >= 0)
                return at;
        }
    }
    return exactFrom(i, starts);
}

// "rookpost" -> "quillbook" in one left-to-right sweep with one allocation.
void restoreGalleryWord(QByteArray& text)
{
    qsizetype at = findSiblingWord(text, 0);
    if (at < 0)
        return;
    constexpr qsizetype growth = sizeof(GalleryWord) - sizeof(SiblingWord);
    QByteArray result;
    result.reserve(text.size() + text.size() / WordSize * growth);
    qsizetype from = 0;
    for (; at >= 0; at = findSiblingWord(text, from)) {
        result.append(text.constData() + from, at - from);
        result.append(GalleryWord, sizeof(GalleryWord) - 1);
        from = at + WordSize;
    }
    result.append(text.constData() + from, text.size() - from);
    text = std::move(result);
}

struct Payload
{
    qsizetype offset = CountSize;
    qsizetype size = 0;
};

// The count and what follows it, or the reason the file cannot be decoded.
Result<Payload> readPayload(const QByteArray& file)
{
    const auto fail = [](const QString& reason) { return Status::failure(reason); };
    if (file.size() < CountSize)
        return fail(QCoreApplication::translate(
                        "TemplateDecoding", "truncated: %1 bytes, too short for the 4-byte count")
                        .arg(file.size()));
    const qint32 count = qFromLittleEndian<qint32>(file.constData());
    if (count < 0)
        return fail(QCoreApplication::translate("TemplateDecoding", "corrupt: negative count %1")
                        .arg(count));
    const qsizetype available = file.size() - CountSize;
    if (count > available)
        return fail(QCoreApplication::translate(
                        "TemplateDecoding", "truncated: the count says %1 bytes, only %2 follow")
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
    consider(findSiblingWord(message, 0), "the word \"rookpost\" (it decodes to \"quillbook\")");
    if (offset < 0)
        return QString();
    return QStringLiteral("%1 at offset %2").arg(QLatin1String(what)).arg(offset);
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
    const Result<QByteArray> file = FileIo::readAll(path);
    if (!file)
        return file.status();
    const Result<Payload> payload = readPayload(*file);
    if (!payload)
        return Status::failure(QStringLiteral("%1: %2").arg(path, payload.status().message()));
    return FileIo::writeAtomically(path, decryptPayload(*file, *payload, key));
}

QString decodedMessagePath(const QString& path)
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
    Result<QByteArray> text = FileIo::readAll(path);
    if (!text)
        return text.status();
    restorePlaceholders(*text);
    restoreGalleryWord(*text);
    return FileIo::writeAtomically(decodedMessagePath(path), *text);
}

Result<QByteArray> unpackTemplate(const QByteArray& libraryFile)
{
    const Result<Payload> payload = readPayload(libraryFile);
    if (!payload)
        return payload.status();
    // Both single-byte steps of the two passes in one sweep over the data.
    QByteArray text(payload->size, Qt::Uninitialized);
    const char* in = libraryFile.constData() + payload->offset;
    KeyStream(QByteArray(TemplateKey)).apply(in, text.data(), payload->size, restorePlaceholder);
    restoreGalleryWord(text);
    return text;
}

Result<QByteArray> packTemplate(const QByteArray& message)
{
    const QString construct = firstUnpackableConstruct(message);
    if (!construct.isEmpty())
        return Status::failure(
            QStringLiteral("the message holds %1, which cannot be packed").arg(construct));

    QByteArray text = message;
    text.replace(GalleryWord, SiblingWord);
    char* data = text.data();
    for (qsizetype i = 0, n = text.size(); i < n; ++i)
        data[i] = hidePlaceholder(data[i]);
    if (text.size() > std::numeric_limits<qint32>::max())
        return Status::failure(
            QStringLiteral("the message is %1 bytes, more than a library file can hold")
                .arg(message.size()));

    QByteArray packed(CountSize, Qt::Uninitialized);
    qToLittleEndian<qint32>(qint32(text.size()), packed.data());
    packed += DecryptText(text, QByteArray(TemplateKey));

    // The checks above cover every construct known to break the round trip;
    // decoding the result proves it for this message.
    const Result<QByteArray> decoded = unpackTemplate(packed);
    if (!decoded || *decoded != message) {
        qsizetype at = 0;
        if (decoded) {
            const qsizetype common = std::min(decoded->size(), message.size());
            while (at < common && decoded->at(at) == message.at(at))
                ++at;
        }
        return Status::failure(QStringLiteral("the message would not decode back byte for byte "
                                              "(first difference at offset %1)")
                                   .arg(at));
    }
    return packed;
}

} // namespace Module1
