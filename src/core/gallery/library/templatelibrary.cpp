#include "core/gallery/library/templatelibrary.h"

#include "core/html/htmlscan.h"
#include "core/html/htmlurls.h"
#include "core/platform/devicenames.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>

namespace TemplateLibrary {

namespace {

const QLatin1String PageExtension(".html");

Status failure(const QString& path, const QString& reason)
{
    return Status::failure(QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), reason));
}

// A library comes from its author like mail from a sender: an entry may be a
// link to anything on the machine. Only an entry whose real path stays inside
// its folder and is a regular file is ever opened.
Status checkEntry(const QString& folder, const QString& path, const QString& what)
{
    const QFileInfo entry(path);
    if (!entry.exists())
        return failure(
            path,
            entry.isSymLink()
                //: %1 is the kind of entry: "category page" or "template file"
                ? QCoreApplication::translate("TemplateLibrary",
                                              "the %1 is a link to a missing file")
                      .arg(what)
                //: %1 is the kind of entry: "category page" or "template file"
                : QCoreApplication::translate("TemplateLibrary", "the %1 is missing").arg(what));
    const QString real = entry.canonicalFilePath();
    const QString realFolder = QFileInfo(folder).canonicalFilePath();
    if (real.isEmpty() || realFolder.isEmpty() || !real.startsWith(realFolder + QLatin1Char('/')))
        return failure(path,
                       //: %1 is the kind of entry: "category page" or "template file"
                       QCoreApplication::translate(
                           "TemplateLibrary", "the %1 leads out of the template library (to %2) "
                                              "and is not opened")
                           .arg(what, QDir::toNativeSeparators(real)));
    if (!QFileInfo(real).isFile())
        return failure(path,
                       //: %1 is the kind of entry: "category page" or "template file"
                       QCoreApplication::translate("TemplateLibrary",
                                                   "the %1 is not a regular file and is not opened")
                           .arg(what));
    return Status::success();
}

// A library's "categories" or "templates" folder may itself be a link; one
// that leads out of the library is refused as the entries inside would be.
Status checkLibraryFolder(const QString& appFolder, const QString& name)
{
    const QString path = appFolder + QLatin1Char('/') + name;
    const QFileInfo folder(path);
    if (!folder.isSymLink())
        return Status::success();
    const QString real = folder.canonicalFilePath();
    const QString root = QFileInfo(appFolder).canonicalFilePath();
    if (real.isEmpty() || root.isEmpty() || !real.startsWith(root + QLatin1Char('/')))
        return failure(
            path,
            QCoreApplication::translate("TemplateLibrary",
                                        "the folder is a link that leads out of the "
                                        "template library (to %1) and is not used")
                .arg(QDir::toNativeSeparators(real.isEmpty() ? folder.symLinkTarget() : real)));
    return Status::success();
}

// What the reference platform calls an ordinary file: not a folder (also not
// through a link), not hidden.
bool isOrdinaryFile(const QFileInfo& info)
{
    return info.isFile() && !info.isHidden();
}

// NTFS orders names by their upper-cased UTF-16 code units; the exact
// spelling only breaks ties so the order never depends on the file system.
bool listsBefore(const QString& a, const QString& b)
{
    const qsizetype common = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < common; ++i) {
        const char16_t x = a.at(i).toUpper().unicode();
        const char16_t y = b.at(i).toUpper().unicode();
        if (x != y)
            return x < y;
    }
    if (a.size() != b.size())
        return a.size() < b.size();
    return a < b;
}

} // namespace

QString categoriesFolder(const QString& appFolder)
{
    return appFolder + QLatin1Char('/') + CategoriesFolderName;
}

QString templatesFolder(const QString& appFolder)
{
    return appFolder + QLatin1Char('/') + TemplatesFolderName;
}

QString categoryNameFromFileName(const QString& fileName)
{
    QString name = fileName;
    name.remove(PageExtension);
    name.remove(QLatin1Char('0'));
    name.remove(QLatin1Char('1'));
    return name;
}

Status checkLibraryFolders(const QString& appFolder)
{
    for (const QLatin1String name : {CategoriesFolderName, TemplatesFolderName}) {
        if (Status status = checkLibraryFolder(appFolder, name); !status)
            return status;
    }
    return Status::success();
}

QStringList categoryFileNames(const QString& appFolder)
{
    if (!checkLibraryFolder(appFolder, CategoriesFolderName))
        return {};
    const QDir folder(categoriesFolder(appFolder));
    QStringList names;
    const QFileInfoList entries = folder.entryInfoList(QDir::Files | QDir::NoDotAndDotDot);
    for (const QFileInfo& entry : entries) {
        if (isOrdinaryFile(entry) && entry.fileName().endsWith(PageExtension, Qt::CaseInsensitive))
            names.append(entry.fileName());
    }
    std::sort(names.begin(), names.end(), listsBefore);
    return names;
}

QStringList categoryNames(const QString& appFolder)
{
    QStringList names;
    for (const QString& fileName : categoryFileNames(appFolder))
        names.append(categoryNameFromFileName(fileName));
    return names;
}

QString categoryPagePath(const QString& appFolder, const QString& categoryName)
{
    const QString folder = categoriesFolder(appFolder) + QLatin1Char('/');
    for (const QLatin1String prefix : {QLatin1String(""), QLatin1String("0")}) {
        const QString path = folder + prefix + categoryName + PageExtension;
        if (isOrdinaryFile(QFileInfo(path)))
            return path;
    }
    return folder + QLatin1Char('1') + categoryName + PageExtension;
}

Result<QString> findCategoryPage(const QString& appFolder, const QString& categoryName)
{
    const QString folder = categoriesFolder(appFolder) + QLatin1Char('/');
    if (categoryName.isEmpty())
        return failure(categoriesFolder(appFolder),
                       QCoreApplication::translate("TemplateLibrary", "no category is chosen"));
    if (Status linked = checkLibraryFolder(appFolder, CategoriesFolderName); !linked)
        return linked;
    const QString path = categoryPagePath(appFolder, categoryName);
    if (Status entry = checkEntry(folder, path,
                                  QCoreApplication::translate("TemplateLibrary", "category page"));
        !entry)
        return entry;
    return path;
}

QString GetFirstLink(const QString& pagePath)
{
    if (!checkEntry(QFileInfo(pagePath).absolutePath(), pagePath, QStringLiteral("page")))
        return QString();
    QFile page(pagePath);
    if (!page.open(QIODevice::ReadOnly))
        return QString();
    const QByteArray text = page.readAll();
    const qsizetype hash = text.indexOf('#');
    if (hash < 0)
        return QString();
    const qsizetype quote = text.indexOf('"', hash + 1);
    if (quote < 0)
        return QString();
    return pageText(text.mid(hash + 1, quote - hash - 1));
}

QStringList templateLinks(const QString& pagePath)
{
    if (!checkEntry(QFileInfo(pagePath).absolutePath(), pagePath, QStringLiteral("page")))
        return {};
    QFile page(pagePath);
    if (!page.open(QIODevice::ReadOnly))
        return {};
    const QByteArray html = page.readAll();
    QStringList names;
    // Read as the engine reads the page, so a link in a comment or a style
    // sheet is no stop, and each name is the one its click would select.
    for (const Html::HtmlTag& tag : Html::findTags(html, {"a", "area"})) {
        const QByteArray url = Html::cleanUrl(tag.attribute(html, "href"));
        if (!url.startsWith('#'))
            continue;
        const QString name = pageText(QByteArray::fromPercentEncoding(url.mid(1)));
        if (!name.isEmpty() && !names.contains(name))
            names.append(name);
    }
    return names;
}

// Page files are authored as UTF-8 and template files are named in UTF-8; a
// page in a single-byte code page is read as Latin-1 rather than mangled.
QString pageText(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        return QString::fromLatin1(bytes);
    return text;
}

bool isPlainTemplateName(const QString& name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    for (const QChar c : name) {
        // ":" opens a drive or a stream on Windows; the library must open there too.
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c == QLatin1Char(':'))
            return false;
        if (c.category() == QChar::Other_Control)
            return false;
    }
#ifdef Q_OS_WIN
    // There a device name opens the device whatever the folder and extension.
    if (DeviceNames::isDeviceName(name.section(QLatin1Char('.'), 0, 0)))
        return false;
#endif
    return true;
}

QString templateFilePath(const QString& appFolder, const QString& templateName)
{
    if (!isPlainTemplateName(templateName))
        return QString();
    return templatesFolder(appFolder) + QLatin1Char('/') + templateName + QLatin1String(".dat");
}

Result<QString> findTemplateFile(const QString& appFolder, const QString& name)
{
    const QString folder = templatesFolder(appFolder);
    if (name.isEmpty())
        return failure(folder,
                       QCoreApplication::translate("TemplateLibrary", "no template is chosen"));
    if (!isPlainTemplateName(name))
        return failure(
            folder, QCoreApplication::translate("TemplateLibrary",
                                                "\"%1\" is not a plain file name and is not opened")
                        .arg(name));
    if (Status linked = checkLibraryFolder(appFolder, TemplatesFolderName); !linked)
        return linked;
    const QString path = templateFilePath(appFolder, name);
    if (Status entry = checkEntry(folder, path,
                                  QCoreApplication::translate("TemplateLibrary", "template file"));
        !entry)
        return entry;
    return path;
}

} // namespace TemplateLibrary
