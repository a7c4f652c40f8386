#include "core/gallery/userlibrary/userlibrary.h"

#include "core/gallery/library/thumbnailgrid.h"

#include "core/gallery/library/templatedecoding.h"
#include "core/gallery/library/templatelibrary.h"
#include "core/gallery/library/userlibraryjournal.h"
#include "core/gallery/search/searchpage.h"
#include "core/gallery/userlibrary/filechanges.h"
#include "core/gallery/userlibrary/templateimport.h"
#include "core/html/htmlscan.h"
#include "core/html/htmlurls.h"
#include "core/platform/fileio.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QRegularExpression>
#include <QStandardPaths>

#include <algorithm>
#include <functional>
#include <optional>
#include <vector>

namespace UserLibrary {

namespace {

constexpr int ThumbWidth = 300;
constexpr int ThumbHeight = 375;

QString pagePath(const QString& library, const QString& category)
{
    return TemplateLibrary::categoriesFolder(library) + QLatin1Char('/') + category +
           QLatin1String(".html");
}

QString thumbPath(const QString& library, const QString& thumbnail)
{
    return TemplateLibrary::categoriesFolder(library) + QLatin1String("/thumbs/") + thumbnail;
}

QString quoted(const QString& name)
{
    return QStringLiteral("\u201c%1\u201d").arg(name);
}

QString escaped(const QString& text)
{
    return text.toHtmlEscaped();
}

// A thumbnail file name no other template of the library uses.
QString freeThumbnail(const QString& library, const QString& name)
{
    const QString base = thumbnailFileName(name).chopped(4);
    QString candidate = base + QLatin1String(".png");
    for (int n = 2; QFileInfo::exists(thumbPath(library, candidate)); ++n)
        candidate = QStringLiteral("%1-%2.png").arg(base).arg(n);
    return candidate;
}

struct Located
{
    QString category;
    QList<Entry> entries;
    qsizetype index = -1;
};

Result<Located> locate(const LibrarySet& libraries, const QString& name)
{
    const QString library = libraries.userFolder();
    if (!libraries.isOwnTemplate(name)) {
        if (libraries.hasTemplate(name))
            return Status::failure(
                QCoreApplication::translate(
                    "UserLibrary",
                    "%1 is a shipped template; only your own templates can be changed")
                    .arg(quoted(name)));
        return Status::failure(
            QCoreApplication::translate("UserLibrary",
                                        "%1: there is no template of yours by that name")
                .arg(QDir::toNativeSeparators(TemplateLibrary::templateFilePath(library, name))));
    }
    for (const QString& category : TemplateLibrary::categoryNames(library)) {
        const QString path = pagePath(library, category);
        const Result<QByteArray> page = FileIo::readAll(path);
        if (!page)
            continue;
        const Result<QList<Entry>> entries = parseCategoryPage(path, *page);
        if (!entries) {
            // Rewriting a page it does not understand would lose its other links.
            if (TemplateLibrary::templateLinks(path).contains(name))
                return entries.status();
            continue;
        }
        for (qsizetype i = 0; i < entries->size(); ++i)
            if (entries->at(i).name == name)
                return Located{category, *entries, i};
    }
    return Located{};
}

// The template and the page that links it; one on no page has no place there.
Result<Located> locateOnPage(const LibrarySet& libraries, const QString& name)
{
    Result<Located> found = locate(libraries, name);
    if (found && found->index < 0)
        return Status::failure(
            QCoreApplication::translate("UserLibrary", "%1 is on none of your category pages")
                .arg(quoted(name)));
    return found;
}

// The entries of the page of `category`: none for a new category, a failure
// for a page that cannot be read or understood whole.
Result<QList<Entry>> readPage(const QString& library, const QString& category)
{
    const QString path = pagePath(library, category);
    if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink())
        return QList<Entry>();
    const Result<QByteArray> page = FileIo::readAll(path);
    if (!page)
        return page.status();
    return parseCategoryPage(path, *page);
}

// Runs the steps of a change between its journal's writing and removal. A
// step that fails puts back what the earlier ones changed; a kill is finished
// or taken back by the next change or start (UserLibraryJournal::recover).
Status journaled(const QString& library, const UserLibraryJournal::Change& change,
                 const std::function<Status(FileChanges&)>& steps)
{
    if (const Status status = UserLibraryJournal::begin(library, change); !status)
        return status;
    const QByteArray op = change.value(QStringLiteral("op")).toLatin1();
    UserLibraryJournal::step(op.constData(), "journal");
    FileChanges changes;
    const Status status = steps(changes);
    if (status) {
        changes.commit();
        return UserLibraryJournal::end(library);
    }
    // The user hears of every file that is not as before, not only of the
    // step that failed.
    QStringList messages{status.message()};
    if (const Status undone = changes.rollback(); !undone)
        messages.append(undone.message());
    // The journal says to whoever comes next that the files are as before.
    if (const Status recovered = UserLibraryJournal::recover(library); !recovered)
        messages.append(recovered.message());
    return Status::failure(messages.join(QLatin1Char('\n')));
}

// Locks the user's library and finishes what a killed change left.
Result<OwnerLock> lockAndRecover(const QString& library, bool create)
{
    Result<OwnerLock> lock = UserLibraryJournal::lock(library, create);
    if (!lock || !lock->isHeld())
        return lock;
    if (const Status status = UserLibraryJournal::recover(library); !status)
        return status;
    return lock;
}

Status writePage(FileChanges& changes, const QString& library, const QString& category,
                 const QList<Entry>& entries)
{
    const QString page = pagePath(library, category);
    if (!entries.isEmpty())
        return changes.write(page, categoryPage(category, entries));
    return changes.remove(page);
}

} // namespace

QString defaultFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QLatin1String("/quillery/library");
}

QString defaultName(const QString& file)
{
    return QFileInfo(file).completeBaseName().trimmed();
}

Result<QList<Entry>> parseCategoryPage(const QString& path, const QByteArray& page)
{
    std::vector<Html::HtmlTag> tags;
    Html::scanHtml(page, [&tags](const Html::HtmlTag& tag) { tags.push_back(tag); });
    QList<Entry> entries;
    bool understood = true;
    for (size_t i = 0; i < tags.size() && understood; ++i) {
        const Html::HtmlTag& tag = tags[i];
        if (tag.name != "a" && tag.name != "area")
            continue;
        // Each link is a thumbnail: <a href="#name"><img src="thumbs/file">,
        // however the markup between them is spaced.
        const QByteArray url = Html::cleanUrl(tag.attribute(page, "href"));
        const QString name = TemplateLibrary::pageText(QByteArray::fromPercentEncoding(url.mid(1)));
        const Html::HtmlTag* image = i + 1 < tags.size() ? &tags[i + 1] : nullptr;
        const QByteArray src =
            image && image->name == "img" ? Html::cleanUrl(image->attribute(page, "src")) : "";
        const QString thumbnail =
            src.startsWith("thumbs/") ? TemplateLibrary::pageText(src.mid(7)) : QString();
        if (tag.name != "a" || !url.startsWith('#') ||
            !TemplateLibrary::isPlainTemplateName(name) ||
            !TemplateLibrary::isPlainTemplateName(thumbnail)) {
            understood = false;
            break;
        }
        entries.append({name, thumbnail});
    }
    // A page this library writes always links a template: an empty one is not its own.
    if (!understood || entries.isEmpty())
        return Status::failure(QCoreApplication::translate(
                                   "UserLibrary",
                                   "%1: the page holds what this program did not write (links "
                                   "without their thumbnail, other links, or none at all), so it "
                                   "is left as it is; put it right by hand or remove it")
                                   .arg(QDir::toNativeSeparators(path)));
    return entries;
}

QList<Entry> readCategoryPage(const QByteArray& page)
{
    return parseCategoryPage(QString(), page).valueOr({});
}

QByteArray categoryPage(const QString& category, const QList<Entry>& entries)
{
    QString cards;
    for (const Entry& entry : entries)
        cards += QStringLiteral("<li><a href=\"#%1\"><img src=\"thumbs/%2\" width=\"300\" "
                                "height=\"375\" alt=\"Preview of the template %1\"><span>%1</span>"
                                "</a></li>\n")
                     .arg(escaped(entry.name), escaped(entry.thumbnail));
    // Colours are written as rgb(): the first "#" of the file must be the first template link.
    const QString page = QStringLiteral(
                             R"(<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>%1</title>
<style>
body { margin: 0; padding: 16px 14px 24px; background: rgb(244, 242, 238); color: rgb(36, 36, 40);
       font: 15px/1.45 "Segoe UI", Roboto, "Helvetica Neue", Arial, sans-serif;
       border-top: 5px solid rgb(51, 68, 204); }
h1 { margin: 0 0 4px; font-size: 22px; line-height: 1.25; color: rgb(36, 36, 40); }
p { margin: 0 0 16px; color: rgb(84, 84, 92); }
%3span { display: block; padding: 8px 2px 2px; font-weight: 600; overflow-wrap: anywhere; }
@media (prefers-color-scheme: dark) {
  body { background: rgb(28, 29, 33); color: rgb(232, 232, 236); }
  a { color: rgb(240, 240, 244); }
  h1 { color: rgb(232, 232, 236); }
  p { color: rgb(190, 190, 198); }
  a { background: rgb(44, 45, 52); }
  img { border-color: rgb(60, 61, 68); }
}
</style>
</head>
<body>
<main>
<h1>%1</h1>
<p>Your own templates.</p>
<ul>
%2</ul>
</main>
</body>
</html>
)")
                             .arg(escaped(category), cards, QLatin1String(ThumbnailGrid::Style));
    return page.toUtf8();
}

QString thumbnailFileName(const QString& templateName)
{
    QString folded = templateName.normalized(QString::NormalizationForm_KD).toLower();
    static const QRegularExpression marks(QStringLiteral("\\p{M}+"));
    static const QRegularExpression other(QStringLiteral("[^a-z0-9]+"));
    folded.remove(marks).replace(other, QStringLiteral("-"));
    while (folded.startsWith(QLatin1Char('-')))
        folded.remove(0, 1);
    while (folded.endsWith(QLatin1Char('-')))
        folded.chop(1);
    return (folded.isEmpty() ? QStringLiteral("template") : folded) + QLatin1String(".png");
}

QByteArray placeholderThumbnail()
{
    QImage image(ThumbWidth, ThumbHeight, QImage::Format_RGB32);
    image.fill(QColor(236, 234, 230));
    // 96 dots per inch whatever the program: the same bytes from the tool and the window.
    image.setDotsPerMeterX(3780);
    image.setDotsPerMeterY(3780);
    // Grey bars where a page's heading and lines of text would be.
    const auto bar = [&](int top, int height, int width) {
        for (int y = top; y < top + height; ++y)
            for (int x = 30; x < 30 + width; ++x)
                image.setPixel(x, y, qRgb(208, 206, 202));
    };
    bar(40, 24, 200);
    for (int row = 0; row < 8; ++row)
        bar(100 + row * 28, 12, row % 3 == 2 ? 150 : 240);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

namespace {

// Characters that show nothing themselves but change how a name reads: the
// bidirectional controls ("evil\u202Egnp.exe" shows as "evilexe.png"), joiners,
// and other format or filler characters.
std::optional<char32_t> invisibleCharacter(const QString& name)
{
    for (const char32_t c : name.toUcs4()) {
        const QChar::Category category = QChar::category(c);
        if (category == QChar::Other_Format || category == QChar::Separator_Line ||
            category == QChar::Separator_Paragraph)
            return c;
        const bool filler = c == 0x034F || c == 0x115F || c == 0x1160 || c == 0x17B4 ||
                            c == 0x17B5 || (c >= 0x180B && c <= 0x180F) || c == 0x2800 ||
                            c == 0x3164 || c == 0xFFA0 || (c >= 0xFE00 && c <= 0xFE0F) ||
                            (c >= 0xE0100 && c <= 0xE01EF);
        if (filler)
            return c;
    }
    return std::nullopt;
}

// Two names that read the same to a person give the same key: compatibility
// forms folded (full-width letters, ligatures), case folded, blanks joined.
QString lookAlikeKey(const QString& name)
{
    return name.normalized(QString::NormalizationForm_KC)
        .toCaseFolded()
        .normalized(QString::NormalizationForm_KC)
        .simplified();
}

// The names of the templates a library folder holds.
QStringList templateNames(const QString& library)
{
    QStringList names;
    if (library.isEmpty())
        return names;
    const QStringList files = QDir(TemplateLibrary::templatesFolder(library))
                                  .entryList({QStringLiteral("*.dat")}, QDir::Files | QDir::Hidden);
    for (const QString& file : files)
        names.append(file.chopped(4));
    return names;
}

// A template of either library whose name reads like `name`, other than `self`.
std::optional<QString> lookAlikeTemplate(const LibrarySet& libraries, const QString& name,
                                         const QString& self = QString())
{
    const QString key = lookAlikeKey(name);
    for (const QString& library : {libraries.shippedFolder(), libraries.userFolder()})
        for (const QString& existing : templateNames(library))
            if (existing != self && lookAlikeKey(existing) == key)
                return existing;
    return std::nullopt;
}

QString codePoint(char32_t c)
{
    return QStringLiteral("U+%1").arg(uint(c), 4, 16, QLatin1Char('0')).toUpper();
}

Status checkNameForm(const QString& name)
{
    if (name.trimmed().isEmpty())
        return Status::failure(
            QCoreApplication::translate("UserLibrary", "A template needs a name."));
    if (name != name.trimmed())
        return Status::failure(QCoreApplication::translate(
                                   "UserLibrary", "%1: a name must not begin or end with a space")
                                   .arg(quoted(name)));
    if (!TemplateLibrary::isPlainTemplateName(name) || name.startsWith(QLatin1Char('.')))
        return Status::failure(QCoreApplication::translate(
                                   "UserLibrary", "%1 is not a plain file name (no \"/\", \"\\\", "
                                                  "\":\", control characters or leading \".\")")
                                   .arg(quoted(name)));
    static const QRegularExpression linkBreaking(QStringLiteral("[\"&<>%#]"));
    if (name.contains(linkBreaking))
        return Status::failure(QCoreApplication::translate(
                                   "UserLibrary", "%1: a name cannot hold \" & < > %% or #, which "
                                                  "a category page's link would not keep")
                                   .arg(quoted(name)));
    if (name.toUtf8().size() > 200)
        return Status::failure(
            QCoreApplication::translate("UserLibrary", "%1: the name is longer than 200 bytes")
                .arg(quoted(name)));
    if (const std::optional<char32_t> c = invisibleCharacter(name))
        return Status::failure(
            QCoreApplication::translate("UserLibrary",
                                        "%1: a name cannot hold the invisible character %2, "
                                        "which changes how the name reads")
                .arg(quoted(name), codePoint(*c)));
    return Status::success();
}

// Every form of a name is checked and stored in its composed form, so that
// "Cafe\u0301" and "Caf\u00e9" are one name.
QString composed(const QString& name)
{
    return name.normalized(QString::NormalizationForm_C);
}

Status checkComposedName(const LibrarySet& libraries, const QString& name,
                         const QString& self = QString())
{
    if (const Status status = checkNameForm(name); !status)
        return status;
    if (libraries.hasTemplate(name))
        return Status::failure(QCoreApplication::translate(
                                   "UserLibrary", "%1: there is a template of that name already")
                                   .arg(quoted(name)));
    if (const std::optional<QString> existing = lookAlikeTemplate(libraries, name, self))
        return Status::failure(
            QCoreApplication::translate("UserLibrary",
                                        "%1 reads the same as the template %2, which is there "
                                        "already; pick a name that looks different")
                .arg(quoted(name), quoted(*existing)));
    return Status::success();
}

Status checkComposedCategory(const LibrarySet& libraries, const QString& category);

} // namespace

Status checkNewName(const LibrarySet& libraries, const QString& name)
{
    return checkComposedName(libraries, composed(name));
}

Status checkCategory(const LibrarySet& libraries, const QString& category)
{
    return checkComposedCategory(libraries, composed(category));
}

namespace {

Status checkComposedCategory(const LibrarySet& libraries, const QString& category)
{
    if (category.trimmed().isEmpty() || category != category.trimmed())
        return Status::failure(
            QCoreApplication::translate("UserLibrary", "%1: a category needs a name without spaces "
                                                       "around it")
                .arg(quoted(category)));
    if (!TemplateLibrary::isPlainTemplateName(category) || category.startsWith(QLatin1Char('.')))
        return Status::failure(
            QCoreApplication::translate("UserLibrary", "%1 is not a plain file name")
                .arg(quoted(category)));
    if (TemplateLibrary::categoryNameFromFileName(category + QLatin1String(".html")) != category)
        return Status::failure(QCoreApplication::translate(
                                   "UserLibrary", "%1: the category list drops \"0\", \"1\" and "
                                                  "\".html\" from a category's name")
                                   .arg(quoted(category)));
    static const QRegularExpression linkBreaking(QStringLiteral("[\"&<>%#]"));
    if (category.contains(linkBreaking) || category.toUtf8().size() > 200)
        return Status::failure(
            QCoreApplication::translate("UserLibrary",
                                        "%1: a category's name cannot hold \" & < > %% or "
                                        "#, nor be longer than 200 bytes")
                .arg(quoted(category)));
    if (TemplateLibrary::categoryNames(libraries.shippedFolder()).contains(category))
        return Status::failure(
            QCoreApplication::translate("UserLibrary",
                                        "%1 is a shipped category; pick a name of your own")
                .arg(quoted(category)));
    if (const std::optional<char32_t> c = invisibleCharacter(category))
        return Status::failure(
            QCoreApplication::translate("UserLibrary",
                                        "%1: a name cannot hold the invisible character %2, "
                                        "which changes how the name reads")
                .arg(quoted(category), codePoint(*c)));
    // One of the user's own categories is added to under its own name only.
    const QString key = lookAlikeKey(category);
    for (const QString& library : {libraries.shippedFolder(), libraries.userFolder()})
        for (const QString& existing : TemplateLibrary::categoryNames(library))
            if (existing != category && lookAlikeKey(existing) == key)
                return Status::failure(
                    QCoreApplication::translate("UserLibrary",
                                                "%1 reads the same as the category %2, which is "
                                                "there already; use that name or one that looks "
                                                "different")
                        .arg(quoted(category), quoted(existing)));
    return Status::success();
}

} // namespace

Result<Added> add(const LibrarySet& libraries, const QString& file, const QString& givenCategory,
                  const QString& givenName)
{
    const QString category = composed(givenCategory);
    const QString name = composed(givenName);
    if (const Status status = checkComposedCategory(libraries, category); !status)
        return status;
    if (const Status status = checkComposedName(libraries, name); !status)
        return status;
    const Result<QByteArray> message = TemplateImport::composeFromFile(file, name);
    if (!message)
        return message.status();
    const Result<QByteArray> packed = Module1::packTemplate(*message);
    if (!packed)
        return Status::failure(QDir::toNativeSeparators(file) + QLatin1String(": ") +
                               packed.status().message());

    const QString library = libraries.userFolder();
    const Result<OwnerLock> lock = lockAndRecover(library, true);
    if (!lock)
        return lock.status();
    // Asked again under the lock: another writer may have taken the name meanwhile.
    if (const Status status = checkNewName(libraries, name); !status)
        return status;
    Result<QList<Entry>> entries = readPage(library, category);
    if (!entries)
        return entries.status();
    UserLibraryJournal::delayBeforeWriting();
    const Entry entry{name, freeThumbnail(library, name)};
    entries->append(entry);

    Added added{name, category, TemplateLibrary::templateFilePath(library, name),
                thumbPath(library, entry.thumbnail)};
    const UserLibraryJournal::Change change{{QStringLiteral("op"), QStringLiteral("add")},
                                            {QStringLiteral("name"), name},
                                            {QStringLiteral("category"), category},
                                            {QStringLiteral("thumbnail"), entry.thumbnail}};
    const Status status = journaled(library, change, [&](FileChanges& changes) {
        if (const Status status = changes.write(added.templatePath, *packed); !status)
            return status;
        UserLibraryJournal::step("add", "template");
        if (const Status status = changes.write(added.thumbnailPath, placeholderThumbnail());
            !status)
            return status;
        UserLibraryJournal::step("add", "thumbnail");
        if (const Status status = writePage(changes, library, category, *entries); !status)
            return status;
        UserLibraryJournal::step("add", "page");
        return Status::success();
    });
    if (!status)
        return status;
    return added;
}

Result<Added> restore(const LibrarySet& libraries, const QString& givenName,
                      const QString& givenCategory, qsizetype position, const QByteArray& packed,
                      const QByteArray& png)
{
    const QString category = composed(givenCategory);
    const QString name = composed(givenName);
    if (const Status status = checkComposedCategory(libraries, category); !status)
        return status;
    if (const Status status = checkComposedName(libraries, name); !status)
        return status;
    if (const Result<QByteArray> message = Module1::unpackTemplate(packed); !message)
        return message.status();

    const QString library = libraries.userFolder();
    const Result<OwnerLock> lock = lockAndRecover(library, true);
    if (!lock)
        return lock.status();
    if (const Status status = checkNewName(libraries, name); !status)
        return status;
    Result<QList<Entry>> entries = readPage(library, category);
    if (!entries)
        return entries.status();
    UserLibraryJournal::delayBeforeWriting();
    const Entry entry{name, freeThumbnail(library, name)};
    entries->insert(std::clamp<qsizetype>(position, 0, entries->size()), entry);

    Added added{name, category, TemplateLibrary::templateFilePath(library, name),
                thumbPath(library, entry.thumbnail)};
    // The same files as an added template's, so the journal takes it for one:
    // a restore cut off is finished or taken back as an add is.
    const UserLibraryJournal::Change change{{QStringLiteral("op"), QStringLiteral("add")},
                                            {QStringLiteral("name"), name},
                                            {QStringLiteral("category"), category},
                                            {QStringLiteral("thumbnail"), entry.thumbnail}};
    const Status status = journaled(library, change, [&](FileChanges& changes) {
        if (const Status status = changes.write(added.templatePath, packed); !status)
            return status;
        UserLibraryJournal::step("add", "template");
        if (const Status status =
                changes.write(added.thumbnailPath, png.isEmpty() ? placeholderThumbnail() : png);
            !status)
            return status;
        UserLibraryJournal::step("add", "thumbnail");
        if (const Status status = writePage(changes, library, category, *entries); !status)
            return status;
        UserLibraryJournal::step("add", "page");
        return Status::success();
    });
    if (!status)
        return status;
    return added;
}

Status setThumbnail(const LibrarySet& libraries, const QString& name, const QByteArray& png)
{
    const QString library = libraries.userFolder();
    const Result<OwnerLock> lock = lockAndRecover(library, false);
    if (!lock)
        return lock.status();
    // Removed or renamed meanwhile: its picture has no place any more.
    const Result<Located> found = locateOnPage(libraries, name);
    if (!found)
        return found.status();
    return FileIo::writeAtomically(thumbPath(library, found->entries[found->index].thumbnail), png);
}

Status rename(const LibrarySet& libraries, const QString& oldName, const QString& givenNewName)
{
    const QString library = libraries.userFolder();
    const Result<OwnerLock> lock = lockAndRecover(library, false);
    if (!lock)
        return lock.status();
    Result<Located> found = locate(libraries, oldName);
    if (!found)
        return found.status();
    const QString newName = composed(givenNewName);
    if (newName == oldName)
        return Status::failure(
            QCoreApplication::translate("UserLibrary", "%1 has that name already")
                .arg(quoted(oldName)));
    // A change of case only keeps the name taken, by this very template.
    const bool caseOnly = oldName.compare(newName, Qt::CaseInsensitive) == 0;
    if (const Status status =
            caseOnly ? checkNameForm(newName) : checkComposedName(libraries, newName, oldName);
        !status)
        return status;
    const QString oldFile = TemplateLibrary::templateFilePath(library, oldName);
    const QString newFile = TemplateLibrary::templateFilePath(library, newName);
    if (caseOnly && QDir(QFileInfo(newFile).absolutePath())
                        .entryList(QDir::Files | QDir::Hidden)
                        .contains(QFileInfo(newFile).fileName()))
        return Status::failure(QCoreApplication::translate(
                                   "UserLibrary", "%1: there is a template of that name already")
                                   .arg(quoted(newName)));
    UserLibraryJournal::delayBeforeWriting();

    const bool paged = found->index >= 0;
    QString oldThumb;
    QString newThumb;
    UserLibraryJournal::Change change{{QStringLiteral("op"), QStringLiteral("rename")},
                                      {QStringLiteral("old"), oldName},
                                      {QStringLiteral("new"), newName}};
    if (paged) {
        Entry& entry = found->entries[found->index];
        oldThumb = thumbPath(library, entry.thumbnail);
        change.insert(QStringLiteral("category"), found->category);
        change.insert(QStringLiteral("oldThumbnail"), entry.thumbnail);
        entry.name = newName;
        entry.thumbnail = freeThumbnail(library, newName);
        newThumb = thumbPath(library, entry.thumbnail);
        change.insert(QStringLiteral("newThumbnail"), entry.thumbnail);
    }
    // The new names first, then the page, then the old names go: at every
    // moment the page links a template that is there.
    return journaled(library, change, [&](FileChanges& changes) {
        // A change of case only is one rename, so that it never meets its own file.
        if (const Status status =
                caseOnly ? changes.rename(oldFile, newFile) : changes.link(oldFile, newFile);
            !status)
            return status;
        UserLibraryJournal::step("rename", "template");
        if (paged) {
            // A thumbnail that is no small regular file (a FIFO would block) gives way
            // to the placeholder.
            const Result<QByteArray> picture =
                FileIo::readSmallFile(oldThumb, SearchPage::MaxPictureBytes, false);
            if (const Status status =
                    changes.write(newThumb, picture ? *picture : placeholderThumbnail());
                !status)
                return status;
            UserLibraryJournal::step("rename", "thumbnail");
            if (const Status status = writePage(changes, library, found->category, found->entries);
                !status)
                return status;
            UserLibraryJournal::step("rename", "page");
        }
        if (!caseOnly) {
            if (const Status status = changes.remove(oldFile); !status)
                return status;
            UserLibraryJournal::step("rename", "old-template");
        }
        if (paged) {
            if (const Status status = changes.remove(oldThumb); !status)
                return status;
            UserLibraryJournal::step("rename", "old-thumbnail");
        }
        return Status::success();
    });
}

Status remove(const LibrarySet& libraries, const QString& name)
{
    const QString library = libraries.userFolder();
    Result<OwnerLock> lock = lockAndRecover(library, false);
    if (!lock)
        return lock.status();
    Result<Located> found = locate(libraries, name);
    if (!found)
        return found.status();
    UserLibraryJournal::delayBeforeWriting();
    UserLibraryJournal::Change change{{QStringLiteral("op"), QStringLiteral("remove")},
                                      {QStringLiteral("name"), name}};
    const bool paged = found->index >= 0;
    Entry entry;
    if (paged) {
        entry = found->entries.takeAt(found->index);
        change.insert(QStringLiteral("category"), found->category);
        change.insert(QStringLiteral("thumbnail"), entry.thumbnail);
    }
    // The page first: from then on nothing links the files that go.
    const Status status = journaled(library, change, [&](FileChanges& changes) {
        if (paged) {
            if (const Status status = writePage(changes, library, found->category, found->entries);
                !status)
                return status;
            UserLibraryJournal::step("remove", "page");
            if (const Status status = changes.remove(thumbPath(library, entry.thumbnail)); !status)
                return status;
            UserLibraryJournal::step("remove", "thumbnail");
        }
        if (const Status status = changes.remove(TemplateLibrary::templateFilePath(library, name));
            !status)
            return status;
        UserLibraryJournal::step("remove", "template");
        return Status::success();
    });
    // The last template gone, the library's lock goes too, as a waiting
    // writer expects of a lock file (see OwnerLock): nothing of the library stays.
    if (status && lock->isHeld() && TemplateLibrary::categoryNames(library).isEmpty() &&
        QDir(TemplateLibrary::templatesFolder(library))
            .entryList(QDir::Files | QDir::Hidden | QDir::System)
            .isEmpty())
        lock->removeAndRelease();
    return status;
}

Status repair(const QString& library)
{
    const Result<OwnerLock> lock = lockAndRecover(library, false);
    return lock ? Status::success() : lock.status();
}

Result<QString> categoryOf(const LibrarySet& libraries, const QString& name)
{
    const Result<Located> found = locateOnPage(libraries, name);
    if (!found)
        return found.status();
    return found->category;
}

} // namespace UserLibrary
