#include "core/gallery/templatesearch.h"

#include "core/gallery/templatedecoding.h"
#include "core/gallery/templatelibrary.h"
#include "core/html/htmlscan.h"
#include "core/html/htmlurls.h"
#include "core/mime/mimecomponent.h"
#include "core/platform/fileio.h"
#include "core/platform/parallel.h"

#include <QDataStream>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QUrl>

#include <algorithm>

namespace TemplateSearch {

namespace {

// Enough of a newsletter's text to find it by; a hostile template cannot
// make the index large.
constexpr qsizetype MaxTextBytes = 8 * 1024;
constexpr quint32 CacheVersion = 1;

struct Link
{
    QString name;
    QString thumbnail;
};

// The template links of a category page with the picture each shows: the
// first image between a link and the next.
QList<Link> linksWithPictures(const QString& pagePath)
{
    const QStringList names = TemplateLibrary::TemplateLinks(pagePath);
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
                          ? TemplateLibrary::PageText(QByteArray::fromPercentEncoding(url.mid(1)))
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
    const Result<QByteArray> message = Module1::UnpackTemplate(*file);
    if (!message)
        return;
    entry->subject = MimeComponent::ReadListHeaders(*message).subject;
    if (const auto plain = MimeComponent::ReadPlainText(*message, MaxTextBytes))
        entry->text = QString::fromUtf8(plain->text).simplified();
}

struct Cached
{
    qint64 size = -1;
    qint64 modified = -1;
    QString subject;
    QString text;
};

QHash<QString, Cached> readCache(const QString& cacheFile)
{
    QHash<QString, Cached> cache;
    if (cacheFile.isEmpty())
        return cache;
    const Result<QByteArray> bytes = FileIo::readAll(cacheFile);
    if (!bytes)
        return cache;
    QDataStream in(*bytes);
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
    return in.status() == QDataStream::Ok ? cache : QHash<QString, Cached>();
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
    // A cache is a convenience: without one the next start reads every template.
    QDir().mkpath(QFileInfo(cacheFile).path());
    FileIo::writeAtomically(cacheFile, bytes);
}

// Whether `word` starts a word of `text` (both folded).
bool startsAWord(const QString& text, const QString& word)
{
    for (qsizetype at = text.indexOf(word); at >= 0; at = text.indexOf(word, at + 1)) {
        if (at == 0 || !text.at(at - 1).isLetterOrNumber())
            return true;
    }
    return false;
}

} // namespace

QString fold(const QString& text)
{
    const QString decomposed = text.normalized(QString::NormalizationForm_KD);
    QString folded;
    folded.reserve(decomposed.size());
    for (const QChar c : decomposed) {
        if (c.category() != QChar::Mark_NonSpacing)
            folded.append(c.toCaseFolded());
    }
    return folded;
}

Index Index::build(const QStringList& libraries, const QString& cacheFile)
{
    Index index;
    QStringList paths;
    QSet<QString> seen;
    for (const QString& library : libraries) {
        for (const QString& category : TemplateLibrary::CategoryNames(library)) {
            const Result<QString> page = TemplateLibrary::FindCategoryPage(library, category);
            if (!page)
                continue;
            for (const Link& link : linksWithPictures(*page)) {
                const Result<QString> file = TemplateLibrary::FindTemplateFile(library, link.name);
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
    for (const Entry& entry : index.m_entries)
        index.m_folded.append({fold(entry.name), fold(entry.subject), fold(entry.text)});
    return index;
}

QList<Entry> Index::find(const QString& query, int limit, int* total) const
{
    static const QRegularExpression separators(QStringLiteral("[^\\w]+"));
    const QStringList words = fold(query).split(separators, Qt::SkipEmptyParts);
    QList<QPair<int, int>> scored; // score, entry
    if (!words.isEmpty()) {
        for (int i = 0; i < m_folded.size(); ++i) {
            int score = 0;
            for (const QString& word : words) {
                const int weight = startsAWord(m_folded[i][0], word)   ? 4
                                   : startsAWord(m_folded[i][1], word) ? 2
                                   : startsAWord(m_folded[i][2], word) ? 1
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
    // Best first; among equals, the library's own order.
    std::stable_sort(scored.begin(), scored.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
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
