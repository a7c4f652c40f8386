#include "core/gallery/library/libraryset.h"

#include "core/gallery/library/templatelibrary.h"

#include <QDir>
#include <QFileInfo>

namespace {

bool hasTemplateIn(const QString& folder, const QString& name)
{
    const QStringList files = QDir(TemplateLibrary::templatesFolder(folder))
                                  .entryList({QStringLiteral("*.dat")}, QDir::Files | QDir::Hidden);
    const QString wanted = name + QLatin1String(".dat");
    for (const QString& file : files)
        if (file.compare(wanted, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

} // namespace

LibrarySet::LibrarySet(QString shippedFolder, QString userFolder)
    : m_shippedFolder(std::move(shippedFolder)), m_userFolder(std::move(userFolder))
{
}

QList<LibrarySet::Category> LibrarySet::categories() const
{
    QList<Category> out;
    const QStringList shipped = TemplateLibrary::categoryNames(m_shippedFolder);
    for (const QString& name : shipped)
        out.append({name, m_shippedFolder, false});
    if (m_userFolder.isEmpty())
        return out;
    for (const QString& name : TemplateLibrary::categoryNames(m_userFolder))
        if (!shipped.contains(name))
            out.append({name, m_userFolder, true});
    return out;
}

QString LibrarySet::folderOf(const QString& category) const
{
    for (const Category& entry : categories())
        if (entry.name == category)
            return entry.folder;
    return QString();
}

bool LibrarySet::isOwn(const QString& category) const
{
    for (const Category& entry : categories())
        if (entry.name == category)
            return entry.own;
    return false;
}

bool LibrarySet::hasTemplate(const QString& name) const
{
    return hasTemplateIn(m_shippedFolder, name) ||
           (!m_userFolder.isEmpty() && hasTemplateIn(m_userFolder, name));
}

bool LibrarySet::isOwnTemplate(const QString& name) const
{
    const QString path = TemplateLibrary::templateFilePath(m_userFolder, name);
    return !m_userFolder.isEmpty() && !path.isEmpty() && QFileInfo(path).isFile();
}

QString LibrarySet::templateFolder(const QString& name, const QString& category) const
{
    return templateFolderFor(name, folderOf(category));
}

QString LibrarySet::templateFolderFor(const QString& name, const QString& own) const
{
    const auto holds = [&name](const QString& folder) {
        const QString path = TemplateLibrary::templateFilePath(folder, name);
        return !folder.isEmpty() && !path.isEmpty() && QFileInfo::exists(path);
    };
    if (holds(own))
        return own;
    if (!holds(m_shippedFolder) && holds(m_userFolder))
        return m_userFolder;
    return m_shippedFolder;
}
