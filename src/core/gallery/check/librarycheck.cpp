#include "core/gallery/check/librarycheck.h"

#include "core/gallery/build/librarybuildoutput.h"
#include "core/gallery/check/ondemandresources.h"
#include "core/gallery/check/pagehazards.h"
#include "core/gallery/library/templatedecoding.h"
#include "core/gallery/library/templatelibrary.h"
#include "core/gallery/library/templatestaging.h"
#include "core/gallery/library/userlibraryjournal.h"
#include "core/gallery/search/searchpage.h"
#include "core/mime/mimecomponent.h"
#include "core/platform/fileio.h"
#include "core/platform/parallel.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QLockFile>
#include <QRegularExpression>
#include <QSet>
#include <QUrl>

#include <algorithm>
#include <vector>

namespace LibraryCheck {

namespace {

struct Link
{
    qsizetype hashOffset; // of the link's "#" in the page text
    QString name;         // the fragment, percent-decoded as a click delivers it
};

// Line numbers of offsets in one text, found without counting from the top
// each time: a page of thousands of links stays linear.
class Lines
{
public:
    explicit Lines(const QString& text)
    {
        for (qsizetype i = text.indexOf(QLatin1Char('\n')); i >= 0;
             i = text.indexOf(QLatin1Char('\n'), i + 1))
            m_breaks.push_back(i);
    }

    int of(qsizetype offset) const
    {
        return int(std::lower_bound(m_breaks.cbegin(), m_breaks.cend(), offset) -
                   m_breaks.cbegin()) +
               1;
    }

private:
    std::vector<qsizetype> m_breaks;
};

// What the browser makes of character references in an attribute value, for
// the few that can stand in a template name.
QString decodeCharacterReferences(const QString& value)
{
    static const QRegularExpression reference(
        QStringLiteral("&(?:(amp|lt|gt|quot|apos)|#([0-9]{1,7})|#[xX]([0-9a-fA-F]{1,6}));"));
    static const QHash<QString, QString> named{
        {"amp", "&"}, {"lt", "<"}, {"gt", ">"}, {"quot", "\""}, {"apos", "'"}};
    QString result;
    qsizetype from = 0;
    for (const QRegularExpressionMatch& match : reference.globalMatch(value)) {
        result += QStringView(value).mid(from, match.capturedStart() - from);
        if (match.capturedStart(1) >= 0) {
            result += named.value(match.captured(1));
        } else {
            const bool decimal = match.capturedStart(2) >= 0;
            const uint code =
                decimal ? match.captured(2).toUInt() : match.captured(3).toUInt(nullptr, 16);
            if (code > 0 && code <= 0x10FFFF && !QChar::isSurrogate(code))
                result += QString::fromUcs4(reinterpret_cast<const char32_t*>(&code), 1);
            else
                result += QChar(QChar::ReplacementCharacter);
        }
        from = match.capturedEnd();
    }
    result += QStringView(value).mid(from);
    return result;
}

// Every link target on the page that holds a "#": the gallery takes each of
// them for a template link when clicked.
QList<Link> templateLinks(const QString& page)
{
    static const QRegularExpression href(
        QStringLiteral(R"re(\bhref\s*=\s*(?:"([^"]*)"|'([^']*)'))re"),
        QRegularExpression::CaseInsensitiveOption);
    QList<Link> links;
    for (const QRegularExpressionMatch& match : href.globalMatch(page)) {
        const int group = match.capturedStart(1) >= 0 ? 1 : 2;
        const QString target = decodeCharacterReferences(match.captured(group));
        const qsizetype hash = target.indexOf(QLatin1Char('#'));
        if (hash < 0)
            continue;
        const QString fragment = target.mid(hash + 1);
        links.append(
            {match.capturedStart(group) + hash, QUrl::fromPercentEncoding(fragment.toUtf8())});
    }
    return links;
}

// The reason of a message that starts with the path it names: a problem
// names its path once.
QString withoutPath(const QString& message, const QString& path)
{
    for (const QString& spelling : {path, QDir::toNativeSeparators(path)}) {
        const QString prefix = spelling + QLatin1String(": ");
        if (message.startsWith(prefix))
            return message.mid(prefix.size());
    }
    return message;
}

QString reasonOf(const Status& status, const QString& path)
{
    return withoutPath(status.message(), path);
}

// "HTML line 3: reason" for a template, "line 3: reason" for a page; a hazard
// of the page as a whole has no line.
QString hazardText(const PageHazards::Hazard& hazard, const QString& part)
{
    QStringList where;
    if (!part.isEmpty())
        where.append(part);
    if (hazard.line > 0)
        where.append(QStringLiteral("line %1").arg(hazard.line));
    return where.isEmpty() ? hazard.reason
                           : where.join(QLatin1Char(' ')) + QLatin1String(": ") + hazard.reason;
}

// A template that cannot be read or unpacked; `decodes` tells the caller
// whether the other problems are about its content.
Problems checkTemplateFile(const QString& templatePath, bool* decodes)
{
    *decodes = false;
    const Result<QByteArray> file = FileIo::readAll(templatePath);
    if (!file)
        return {{templatePath, QStringLiteral("cannot be read: %1")
                                   .arg(withoutPath(file.status().message(), templatePath))}};
    const Result<QByteArray> message = Module1::unpackTemplate(*file);
    if (!message)
        return {{templatePath, message.status().message()}};
    *decodes = true;
    return checkMessage(templatePath, *message);
}

class Checker
{
public:
    explicit Checker(const QString& libraryFolder) : m_folder(libraryFolder) {}

    Problems run()
    {
        const QString categories = TemplateLibrary::categoriesFolder(m_folder);
        if (!QFileInfo(m_folder).isDir()) {
            add(m_folder, QStringLiteral("no such library folder"));
            return report();
        }
        // A folder that is a link out of the library: the gallery lists nothing of it.
        if (const Status linked = TemplateLibrary::checkLibraryFolders(m_folder); !linked) {
            for (const QLatin1String name :
                 {TemplateLibrary::CategoriesFolderName, TemplateLibrary::TemplatesFolderName}) {
                const QString path = m_folder + QLatin1Char('/') + name;
                if (linked.message().startsWith(QDir::toNativeSeparators(path) +
                                                QLatin1String(": ")))
                    add(path, reasonOf(linked, path));
            }
            return report();
        }
        if (!QFileInfo(TemplateLibrary::templatesFolder(m_folder)).isDir())
            add(TemplateLibrary::templatesFolder(m_folder), QStringLiteral("no templates folder"));
        if (!QFileInfo(categories).isDir()) {
            add(categories, QStringLiteral("no categories folder"));
            return report();
        }
        const QStringList fileNames = TemplateLibrary::categoryFileNames(m_folder);
        if (fileNames.isEmpty())
            add(categories, QStringLiteral("no category pages (*.html)"));
        const QStringList names = TemplateLibrary::categoryNames(m_folder);
        for (const QString& fileName : fileNames)
            checkCategoryFile(categories + QLatin1Char('/') + fileName, names);
        checkUnlinkedTemplates(fileNames);
        checkRecordedPages();
        checkUnfinishedChanges();
        return report();
    }

private:
    // A template no page links is never shown, yet its name is taken.
    void checkUnlinkedTemplates(const QStringList& pageFiles)
    {
        QSet<QString> linked;
        for (const QString& fileName : pageFiles)
            for (const QString& name : TemplateLibrary::templateLinks(
                     m_folder + QLatin1String("/categories/") + fileName))
                linked.insert(name);
        const QStringList files =
            QDir(m_folder + QLatin1String("/templates"))
                .entryList({QStringLiteral("*.dat")}, QDir::Files, QDir::Name);
        for (const QString& file : files)
            if (!linked.contains(file.chopped(4)))
                add(m_folder + QLatin1String("/templates/") + file,
                    QStringLiteral("on no category page: the gallery never shows it"));
    }

    // A page the build wrote that has gone takes its category out of the list unnoticed.
    void checkRecordedPages()
    {
        QStringList pages;
        for (const QString& entry : LibraryBuild::recordedFingerprints(m_folder).keys())
            if (entry.startsWith(QLatin1String("categories/")) && entry.count(u'/') == 1 &&
                entry.endsWith(QLatin1String(".html")))
                pages << entry;
        pages.sort();
        for (const QString& entry : pages)
            if (!QFileInfo::exists(m_folder + QLatin1Char('/') + entry))
                add(m_folder + QLatin1Char('/') + entry,
                    QStringLiteral("missing, though the library's record (%1) lists it")
                        .arg(LibraryBuild::RecordName));
    }

    void checkUnfinishedChanges()
    {
        const QString journal = m_folder + QLatin1Char('/') + UserLibraryJournal::JournalName;
        if (QFileInfo::exists(journal))
            add(journal, QStringLiteral("a change of the library was cut off; the next add, "
                                        "rename, remove or repair, or the gallery's start, "
                                        "finishes or takes it back"));
        for (const QString& path : UserLibraryJournal::leftoverTemporaries(m_folder))
            add(path, QStringLiteral("a temporary file left by a write that was cut off; the "
                                     "next add, rename, remove or repair removes it"));
    }

    void add(const QString& path, const QString& reason)
    {
        m_report.push_back({{path, reason}, QString(), false});
    }

    void checkCategoryFile(const QString& path, const QStringList& names)
    {
        const QString fileName = QFileInfo(path).fileName();
        const QString name = TemplateLibrary::categoryNameFromFileName(fileName);
        if (name.isEmpty()) {
            add(path, QStringLiteral("the category name is empty"));
            return;
        }
        const QString opened = TemplateLibrary::categoryPagePath(m_folder, name);
        if (QFileInfo(opened).fileName() != fileName) {
            QString reason = QStringLiteral("cannot be opened from the category list: "
                                            "the entry \"%1\" opens %2")
                                 .arg(name, QFileInfo(opened).fileName());
            if (names.count(name) > 1 && QFileInfo(opened).isFile())
                reason += QStringLiteral(" (the category is listed more than once)");
            else if (!fileName.endsWith(QLatin1String(".html")))
                reason += QStringLiteral(" (the extension must be \".html\" in lower case)");
            else
                reason += QStringLiteral(" (\"0\" or \"1\" may stand only as the first character)");
            add(path, reason);
            return;
        }
        const Result<QString> page = TemplateLibrary::findCategoryPage(m_folder, name);
        if (!page) {
            add(path, reasonOf(page.status(), path));
            return;
        }
        checkPage(path);
    }

    void checkPage(const QString& path)
    {
        const Result<QByteArray> bytes = FileIo::readAll(path);
        if (!bytes) {
            add(path, QStringLiteral("cannot be read: %1")
                          .arg(withoutPath(bytes.status().message(), path)));
            return;
        }
        const QString page = TemplateLibrary::pageText(*bytes);
        const Lines lines(page);
        const QList<Link> links = templateLinks(page);
        const qsizetype firstHash = page.indexOf(QLatin1Char('#'));
        if (links.isEmpty()) {
            add(path, firstHash < 0
                          ? QStringLiteral("links no template: no \"#\" in the page")
                          : QStringLiteral("links no template: the first \"#\" (line %1) is "
                                           "not a template link")
                                .arg(lines.of(firstHash)));
        } else if (firstHash != links.first().hashOffset) {
            add(path, QStringLiteral("the first \"#\" (line %1) is not a template link; the "
                                     "gallery would preview \"%2\" instead of \"%3\"")
                          .arg(lines.of(firstHash))
                          .arg(TemplateLibrary::GetFirstLink(path), links.first().name));
        } else {
            const QString first = TemplateLibrary::GetFirstLink(path);
            if (first != links.first().name)
                add(path, QStringLiteral("the first template link (line %1) reads as \"%2\" "
                                         "when the category is chosen but \"%3\" when clicked; "
                                         "write the name plainly between double quotes")
                              .arg(lines.of(firstHash))
                              .arg(first, links.first().name));
        }
        for (const Link& link : links)
            checkLink(path, lines, link);
        checkImages(path, page, lines);
        for (const PageHazards::Hazard& hazard : PageHazards::find(*bytes))
            add(path, hazardText(hazard, QString()));
    }

    // The page's own pictures (its thumbnails): a relative src must name a file.
    void checkImages(const QString& pagePath, const QString& page, const Lines& lines)
    {
        static const QRegularExpression src(
            QStringLiteral(R"re(<img\b[^>]*?\bsrc\s*=\s*"([^"]*)")re"),
            QRegularExpression::CaseInsensitiveOption);
        const QDir folder = QFileInfo(pagePath).dir();
        for (const QRegularExpressionMatch& match : src.globalMatch(page)) {
            const QString target = decodeCharacterReferences(match.captured(1));
            const QUrl url(target);
            if (target.isEmpty() || !url.scheme().isEmpty() || target.startsWith(QLatin1Char('/')))
                continue;
            const QString file = folder.filePath(QUrl::fromPercentEncoding(url.path().toUtf8()));
            // One that climbs out is reported with the page's other such references.
            if (!QDir::cleanPath(file).startsWith(QDir::cleanPath(folder.path()) +
                                                  QLatin1Char('/')))
                continue;
            const QString real = QFileInfo(file).canonicalFilePath();
            const QString where = QStringLiteral("image \"%1\" (line %2)")
                                      .arg(target)
                                      .arg(lines.of(match.capturedStart(1)));
            if (!real.isEmpty() && !real.startsWith(folder.canonicalPath() + QLatin1Char('/')))
                add(pagePath, QStringLiteral("%1 leads out of the template library (to %2)")
                                  .arg(where, QDir::toNativeSeparators(real)));
            // Said as what it is: the search page leaves out a FIFO or a huge file.
            else if (const Status picture =
                         FileIo::checkSmallFile(file, SearchPage::MaxPictureBytes);
                     !picture)
                add(pagePath, where + QLatin1Char(' ') + withoutPath(picture.message(), file));
        }
    }

    void checkLink(const QString& pagePath, const Lines& lines, const Link& link)
    {
        const QString where =
            QStringLiteral("link \"#%1\" (line %2)").arg(link.name).arg(lines.of(link.hashOffset));
        if (link.name.isEmpty()) {
            add(pagePath, QStringLiteral("%1: names no template").arg(where));
            return;
        }
        if (!TemplateLibrary::isPlainTemplateName(link.name)) {
            add(pagePath, QStringLiteral("%1: not a plain template name").arg(where));
            return;
        }
        const Result<QString> found = TemplateLibrary::findTemplateFile(m_folder, link.name);
        if (!found) {
            // Named as the library would name it, also when it is refused.
            const QString refused = TemplateLibrary::templateFilePath(m_folder, link.name);
            add(pagePath, QStringLiteral("%1: %2 (%3)")
                              .arg(where, reasonOf(found.status(), refused),
                                   QDir::toNativeSeparators(refused)));
            return;
        }
        const QString& templatePath = *found;
        // A template linked from several places is decoded and reported once;
        // problems of its content are reported under its own path, where it
        // is first linked. Decoding is most of the work: it runs on every
        // core once the pages are read, and the report keeps its order.
        if (!m_templates.contains(templatePath)) {
            m_templates.insert(templatePath, {});
            m_report.push_back({Problem{}, templatePath, false});
        }
        m_report.push_back(
            {{pagePath, QStringLiteral("%1: the template does not decode").arg(where)},
             templatePath,
             true});
    }

    Problems report()
    {
        const QStringList paths = m_templates.keys();
        std::vector<TemplateResult> results(paths.size());
        Parallel::forEachOnAllCores(int(paths.size()), [&](int i) {
            results[i].problems = checkTemplateFile(paths[i], &results[i].decodes);
        });
        for (int i = 0; i < paths.size(); ++i)
            m_templates[paths[i]] = results[i];
        Problems problems;
        for (const Item& item : m_report) {
            if (item.templatePath.isEmpty())
                problems.append(item.problem);
            else if (!item.unlessDecodes)
                problems += m_templates.value(item.templatePath).problems;
            else if (!m_templates.value(item.templatePath).decodes)
                problems.append(item.problem);
        }
        return problems;
    }

    struct TemplateResult
    {
        Problems problems;
        bool decodes = false;
    };
    // A problem, or where a template's problems go (templatePath set), or a
    // problem that holds only when that template does not decode.
    struct Item
    {
        Problem problem;
        QString templatePath;
        bool unlessDecodes = false;
    };

    QString m_folder;
    std::vector<Item> m_report;
    QMap<QString, TemplateResult> m_templates;
};

} // namespace

Problems checkLibrary(const QString& libraryFolder)
{
    Problems problems = Checker(libraryFolder).run();
    // A build killed while putting its files in place leaves a library half
    // old, half new that may look whole; the next build puts the old back.
    const QString staging = QDir(libraryFolder).filePath(LibraryBuild::StagingName);
    if (QFileInfo::exists(staging) || QFileInfo(staging).isSymLink()) {
        QLockFile lock(QDir(libraryFolder).filePath(LibraryBuild::LockName));
        const bool building = !lock.tryLock(0) && lock.error() == QLockFile::LockFailedError;
        if (!building)
            problems.prepend({staging, QStringLiteral("left by a build that did not finish: the "
                                                      "library may be part old, part new; build "
                                                      "again to put the previous files back")});
    }
    return problems;
}

Problems checkTemplate(const QString& templatePath)
{
    bool decodes = false;
    return checkTemplateFile(templatePath, &decodes);
}

Problems checkMessage(const QString& templatePath, const QByteArray& message)
{
    Problems problems;
    const MimeComponent::TextParts parsed = MimeComponent::readTextParts(message);
    for (const QString& problem : parsed.problems)
        problems.append({templatePath, problem});
    if (!parsed.parsed)
        return problems;
    static const QRegularExpression cid(QStringLiteral(R"re(\bcid:([^"'\s)>]+))re"),
                                        QRegularExpression::CaseInsensitiveOption);
    for (const MimeComponent::TextPart& part : parsed.parts) {
        if (part.type == "text/css") {
            for (const PageHazards::Hazard& hazard : PageHazards::findInStyleSheet(part.content))
                problems.append({templatePath, hazardText(hazard, part.label)});
            continue;
        }
        const QByteArray& bytes = part.content;
        for (const PageHazards::Hazard& hazard : PageHazards::find(bytes))
            problems.append({templatePath, hazardText(hazard, part.label)});
        const QString html = QString::fromUtf8(bytes);
        // The preview's files are removed once the page has loaded; what the
        // engine fetches later is missing by then.
        for (const OnDemandResources::Reference& ref : OnDemandResources::find(html))
            problems.append(
                {templatePath, QStringLiteral("HTML line %1: url(%2) under \"%3\" loads only on "
                                              "demand, after the preview's files are gone")
                                   .arg(ref.line)
                                   .arg(ref.url, ref.rule)});
        for (const QRegularExpressionMatch& match : cid.globalMatch(html)) {
            const QByteArray id = QByteArray::fromPercentEncoding(match.captured(1).toUtf8());
            if (!parsed.contentIds.contains(id))
                problems.append(
                    {templatePath, QStringLiteral("the HTML shows cid:%1, which no part "
                                                  "of the message carries")
                                       .arg(match.captured(1))});
        }
    }
    return problems;
}

QList<TemplateLinks> linksToReplace(const QString& libraryFolder)
{
    QList<TemplateLinks> result;
    const QFileInfoList files =
        QDir(libraryFolder + QLatin1String("/templates"))
            .entryInfoList({QStringLiteral("*.dat")}, QDir::Files, QDir::Name);
    for (const QFileInfo& file : files) {
        const QString name = file.fileName().chopped(4);
        const Result<QString> path = TemplateLibrary::findTemplateFile(libraryFolder, name);
        if (!path)
            continue;
        const Result<TemplateStaging::DecodedTemplate> decoded =
            TemplateStaging::decodeTemplateFile(*path);
        if (!decoded)
            continue;
        TemplateLinks entry{*path, {}};
        for (const MimeComponent::TextPart& part :
             MimeComponent::readTextParts(decoded->message).parts) {
            if (part.type == "text/html")
                entry.links += PlaceholderLinks::find(part.content);
        }
        if (!entry.links.isEmpty())
            result.append(entry);
    }
    return result;
}

} // namespace LibraryCheck
