#include "core/gallery/search/templatesearch.h"

#include "core/gallery/library/templatedecoding.h"
#include "core/gallery/library/templatelibrary.h"
#include "core/html/htmlscan.h"
#include "core/html/htmlurls.h"
#include "core/mime/mimecomponent.h"
#include "core/platform/fileio.h"
#include "core/platform/parallel.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QTextBoundaryFinder>
#include <QUrl>

#include <algorithm>
#include <utility>

namespace TemplateSearch {

namespace {

// Enough of a newsletter's text to find it by; a hostile template cannot
// make the index large.
constexpr qsizetype MaxTextBytes = 8 * 1024;
// 2: the entries are followed by their SHA-256.
constexpr quint32 CacheVersion = 2;

struct Link
{
    QString name;
    QString thumbnail;
};

// The template links of a category page with the picture each shows: the
// first image between a link and the next.
QList<Link> linksWithPictures(const QString& pagePath)
{
    const QStringList names = TemplateLibrary::templateLinks(pagePath);
    if (names.isEmpty())
        return {};
    const QByteArray html = FileIo::readAll(pagePath).valueOr(QByteArray());
    const QString folder = QFileInfo(pagePath).absolutePath();
    QHash<QString, QString> pictures;
    QString current;
    for (const Html::HtmlTag& tag : Html::findTags(html, {"a", "img"})) {
        if (tag.name == "a") {
            const QByteArray url = Html::cleanUrl(tag.attribute(html, "href"));
            current = url.startsWith('#')
                          ? TemplateLibrary::pageText(QByteArray::fromPercentEncoding(url.mid(1)))
                          : QString();
            continue;
        }
        if (current.isEmpty() || pictures.contains(current))
            continue;
        const QByteArray src = Html::cleanUrl(tag.attribute(html, "src"));
        // Only the page's own pictures, as the category pane shows them.
        if (src.isEmpty() || Html::isFileUrl(src) || Html::leavesPageFolder(src) ||
            src.contains(':'))
            continue;
        const QString file = QDir(folder).filePath(QUrl::fromPercentEncoding(
            src.left(src.indexOf('?') < 0 ? src.size() : src.indexOf('?'))));
        const QString real = QFileInfo(file).canonicalFilePath();
        if (!real.isEmpty() && real.startsWith(QFileInfo(folder).canonicalFilePath() + '/'))
            pictures.insert(current, real);
    }
    QList<Link> links;
    for (const QString& name : names)
        links.append({name, pictures.value(name)});
    return links;
}

// The words of a message: its subject and the start of its plain text.
void readWords(const QString& templatePath, Entry* entry)
{
    const Result<QByteArray> file = FileIo::readAll(templatePath);
    if (!file)
        return;
    const Result<QByteArray> message = Module1::unpackTemplate(*file);
    if (!message)
        return;
    entry->subject = MimeComponent::readListHeaders(*message).subject;
    if (const auto plain = MimeComponent::readPlainText(*message, MaxTextBytes))
        entry->text = QString::fromUtf8(plain->text).simplified();
}

struct Cached
{
    qint64 size = -1;
    qint64 modified = -1;
    QString subject;
    QString text;
};

// A cache edited or damaged after it was written is not one: its entries
// are checked against the hash written after them.
QHash<QString, Cached> readCache(const QString& cacheFile)
{
    QHash<QString, Cached> cache;
    if (cacheFile.isEmpty())
        return cache;
    const Result<QByteArray> bytes = FileIo::readAll(cacheFile);
    constexpr qsizetype HashSize = 32;
    if (!bytes || bytes->size() < HashSize)
        return cache;
    const QByteArray payload = bytes->first(bytes->size() - HashSize);
    if (QCryptographicHash::hash(payload, QCryptographicHash::Sha256) != bytes->last(HashSize))
        return cache;
    QDataStream in(payload);
    quint32 version = 0;
    in >> version;
    if (version != CacheVersion)
        return cache;
    qint32 count = 0;
    in >> count;
    for (qint32 i = 0; i < count && in.status() == QDataStream::Ok; ++i) {
        QString path;
        Cached entry;
        in >> path >> entry.size >> entry.modified >> entry.subject >> entry.text;
        if (in.status() == QDataStream::Ok)
            cache.insert(path, entry);
    }
    return in.status() == QDataStream::Ok && in.atEnd() ? cache : QHash<QString, Cached>();
}

void writeCache(const QString& cacheFile, const QList<Entry>& entries, const QStringList& paths,
                const QList<QFileInfo>& files)
{
    if (cacheFile.isEmpty())
        return;
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << CacheVersion << qint32(entries.size());
    for (int i = 0; i < entries.size(); ++i)
        out << paths[i] << files[i].size() << files[i].lastModified().toMSecsSinceEpoch()
            << entries[i].subject << entries[i].text;
    bytes += QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
    // A cache is a convenience: without one the next start reads every
    // template, so a failed write is no failure of the search.
    QDir().mkpath(QFileInfo(cacheFile).path());
    (void)FileIo::writeAtomically(cacheFile, bytes);
}

// Scripts written without spaces between words: a boundary finder without
// a dictionary cannot split them, so a run of them is one word, found by
// any part of it.
bool withoutSpaces(char32_t c)
{
    if (c < 0x0E00) // Latin, Greek, Cyrillic, Arabic, Hebrew, Indic...: most text
        return false;
    switch (QChar::script(c)) {
    case QChar::Script_Han:
    case QChar::Script_Hiragana:
    case QChar::Script_Katakana:
    case QChar::Script_Bopomofo:
    case QChar::Script_Hangul:
    case QChar::Script_Thai:
    case QChar::Script_Lao:
    case QChar::Script_Khmer:
    case QChar::Script_Myanmar:
    case QChar::Script_Yi:
        return true;
    default:
        return c == 0x30FC; // the Katakana prolonged sound mark, shared with Hiragana
    }
}

bool hasLetterOrNumber(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size()) {
            if (QChar::isLetterOrNumber(QChar::surrogateToUcs4(c, text[++i])))
                return true;
        } else if (c.isLetterOrNumber()) {
            return true;
        }
    }
    return false;
}

// Calls `add(word, anywhere)` for each word of folded text, split by the
// Unicode rules; `anywhere` marks a run of a script without spaces.
template <typename Add> void forEachWord(const QString& folded, Add add)
{
    auto addSpaced = [&add, &folded](qsizetype from, qsizetype to) {
        const QString part = folded.sliced(from, to - from);
        QTextBoundaryFinder finder(QTextBoundaryFinder::Word, part);
        qsizetype start = 0;
        for (qsizetype end = finder.toNextBoundary(); end > 0; end = finder.toNextBoundary()) {
            const QStringView word = QStringView(part).sliced(start, end - start);
            if (hasLetterOrNumber(word))
                add(word, false);
            start = end;
        }
    };
    qsizetype spanStart = 0;
    bool inRun = false;
    for (qsizetype i = 0; i < folded.size();) {
        const char32_t c = folded.at(i).isHighSurrogate() && i + 1 < folded.size()
                               ? QChar::surrogateToUcs4(folded.at(i), folded.at(i + 1))
                               : folded.at(i).unicode();
        const bool run = withoutSpaces(c);
        if (run != inRun && i > spanStart) {
            if (inRun)
                add(QStringView(folded).sliced(spanStart, i - spanStart), true);
            else
                addSpaced(spanStart, i);
            spanStart = i;
        }
        inRun = run;
        i += c > 0xFFFF ? 2 : 1;
    }
    if (folded.size() > spanStart) {
        if (inRun)
            add(QStringView(folded).sliced(spanStart), true);
        else
            addSpaced(spanStart, folded.size());
    }
}

// What a query is matched against: each word after a space, so that
// " word" finds the start of a word.
QString searchable(const QString& text)
{
    QString joined;
    forEachWord(fold(text), [&joined](QStringView word, bool) {
        joined += QLatin1Char(' ');
        joined += word;
    });
    return joined;
}

} // namespace

QString fold(const QString& text)
{
    const QString decomposed = text.normalized(QString::NormalizationForm_KD);
    QString bare;
    bare.reserve(decomposed.size());
    for (qsizetype i = 0; i < decomposed.size(); ++i) {
        const QChar c = decomposed.at(i);
        if (c.isHighSurrogate() && i + 1 < decomposed.size()) {
            const char32_t full = QChar::surrogateToUcs4(c, decomposed.at(i + 1));
            if (QChar::category(full) != QChar::Mark_NonSpacing)
                bare += decomposed.sliced(i, 2);
            ++i;
        } else if (c.category() != QChar::Mark_NonSpacing) {
            bare += c;
        }
    }
    // Full folding, as German writes "ß" also "ss".
    return bare.toCaseFolded().replace(QChar(0x00DF), QLatin1String("ss"));
}

Index Index::build(const QStringList& libraries, const QString& cacheFile)
{
    Index index;
    QStringList paths;
    QSet<QString> seen;
    for (const QString& library : libraries) {
        for (const QString& category : TemplateLibrary::categoryNames(library)) {
            const Result<QString> page = TemplateLibrary::findCategoryPage(library, category);
            if (!page)
                continue;
            for (const Link& link : linksWithPictures(*page)) {
                const Result<QString> file = TemplateLibrary::findTemplateFile(library, link.name);
                if (!file || seen.contains(*file))
                    continue;
                seen.insert(*file);
                paths.append(*file);
                index.m_entries.append({link.name, category, library, link.thumbnail, {}, {}});
            }
        }
    }
    const QHash<QString, Cached> cache = readCache(cacheFile);
    QList<QFileInfo> files;
    for (const QString& path : paths)
        files.append(QFileInfo(path));
    bool changed = cache.size() != paths.size();
    std::vector<char> fromCache(paths.size(), 0);
    for (int i = 0; i < paths.size(); ++i) {
        const auto hit = cache.constFind(paths[i]);
        if (hit != cache.cend() && hit->size == files[i].size() &&
            hit->modified == files[i].lastModified().toMSecsSinceEpoch()) {
            index.m_entries[i].subject = hit->subject;
            index.m_entries[i].text = hit->text;
            fromCache[i] = 1;
        } else {
            changed = true;
        }
    }
    Parallel::forEachOnAllCores(int(paths.size()), [&](int i) {
        if (!fromCache[i])
            readWords(paths[i], &index.m_entries[i]);
    });
    if (changed)
        writeCache(cacheFile, index.m_entries, paths, files);
    index.m_folded.resize(index.m_entries.size());
    std::array<QString, 3>* folded = index.m_folded.data();
    const Entry* entries = index.m_entries.constData();
    Parallel::forEachOnAllCores(int(index.m_entries.size()), [folded, entries](int i) {
        folded[i] = {searchable(entries[i].name), searchable(entries[i].subject),
                     searchable(entries[i].text)};
    });
    return index;
}

QList<Entry> Index::find(const QString& query, int limit, int* total,
                         const QSet<QString>& favourites) const
{
    // A word is found at the start of a word, a run without spaces anywhere.
    QStringList needles;
    forEachWord(fold(query), [&needles](QStringView word, bool anywhere) {
        needles.append(anywhere ? word.toString() : QLatin1Char(' ') + word.toString());
    });
    QList<QPair<int, int>> scored; // score, entry
    if (!needles.isEmpty()) {
        for (int i = 0; i < m_folded.size(); ++i) {
            int score = 0;
            for (const QString& needle : needles) {
                const int weight = m_folded[i][0].contains(needle)   ? 4
                                   : m_folded[i][1].contains(needle) ? 2
                                   : m_folded[i][2].contains(needle) ? 1
                                                                     : 0;
                if (weight == 0) {
                    score = 0;
                    break;
                }
                score += weight;
            }
            if (score > 0)
                scored.append({score, i});
        }
    }
    // Best first; a favourite does not outrank a better match, as a word in
    // the name is what the user asked for, but goes before its equals, which
    // otherwise keep the library's own order.
    const auto favourite = [&](int i) { return favourites.contains(m_entries[i].name); };
    std::stable_sort(scored.begin(), scored.end(), [&](const auto& a, const auto& b) {
        if (a.first != b.first)
            return a.first > b.first;
        return favourite(a.second) && !favourite(b.second);
    });
    if (total)
        *total = int(scored.size());
    QList<Entry> found;
    for (const auto& [score, i] : scored) {
        if (found.size() == limit)
            break;
        found.append(m_entries[i]);
    }
    return found;
}

} // namespace TemplateSearch
