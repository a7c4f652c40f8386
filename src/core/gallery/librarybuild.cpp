#include "core/gallery/librarybuild.h"

#include "core/gallery/librarybuildoutput.h"
#include "core/gallery/librarybuildsources.h"
#include "core/gallery/templatedecoding.h"
#include "core/gallery/templatelibrary.h"
#include "core/gallery/templatemessage.h"
#include "core/platform/fileio.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QMap>
#include <QSet>

namespace LibraryBuild {

namespace {

class Builder
{
public:
    Builder(const QString& source, const QString& library) : m_source(source), m_library(library) {}

    QStringList run(QTextStream& out, QTextStream& warnings)
    {
        if (!QFileInfo(m_source).isDir())
            return {m_source + QLatin1String(": no such source folder")};
        // Two builds into one library would take each other's staging folder
        // for a leftover; the lock also tells a killed build's apart.
        const QString lockPath = m_library + QLatin1Char('/') + LockName;
        if (!QDir().mkpath(m_library))
            return {m_library + QLatin1String(": cannot create the folder")};
        QLockFile lock(lockPath);
        if (!lock.tryLock(0))
            return {lockPath + (lock.error() == QLockFile::LockFailedError
                                    ? QLatin1String(": another build is writing this library")
                                    : QLatin1String(": cannot be created"))};
        const Result<bool> leftover = removeLeftoverStaging(m_library);
        if (!leftover)
            return {leftover.status().message()};
        if (*leftover)
            out << "removed " << StagingName << ", left by an earlier build\n";

        const QFileInfoList categories =
            QDir(m_source).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
        for (const QFileInfo& category : categories)
            if (QFileInfo(category.filePath() + QLatin1String("/page.html")).isFile())
                buildCategory(category);
        if (m_pages == 0)
            m_failures.append(m_source +
                              QLatin1String(": holds no category folder with a page.html"));
        // All or nothing: a failed build leaves the previous library in place.
        if (m_failures.isEmpty())
            m_failures = install(m_library, m_output, out, warnings);
        out << m_library << ": " << m_pages << " categories, " << m_templates << " templates\n";
        return m_failures;
    }

private:
    void write(const QString& entry, const QByteArray& data) { m_output.insert(entry, data); }

    void buildCategory(const QFileInfo& category)
    {
        const QString name = category.fileName();
        if (TemplateLibrary::CategoryNameFromFileName(name + QLatin1String(".html")).isEmpty()) {
            m_failures.append(category.filePath() +
                              QLatin1String(": gives an empty category name"));
            return;
        }
        if (const Result<QByteArray> page =
                FileIo::readAll(category.filePath() + QLatin1String("/page.html"))) {
            write(QLatin1String("categories/") + name + QLatin1String(".html"), *page);
            ++m_pages;
        } else {
            m_failures.append(page.status().message());
        }
        const QFileInfoList thumbs =
            QDir(category.filePath() + QLatin1String("/thumbs"))
                .entryInfoList({QStringLiteral("*.png")}, QDir::Files, QDir::Name);
        for (const QFileInfo& thumb : thumbs) {
            const QString entry = QLatin1String("categories/thumbs/") + thumb.fileName();
            // All pages share one thumbnails folder.
            if (m_output.contains(entry))
                m_failures.append(thumb.filePath() +
                                  QLatin1String(": another category has a thumbnail of this name"));
            else if (const Result<QByteArray> data = FileIo::readAll(thumb.filePath()))
                write(entry, *data);
            else
                m_failures.append(data.status().message());
        }
        const QFileInfoList templates =
            QDir(category.filePath()).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
        for (const QFileInfo& folder : templates)
            if (folder.fileName() != QLatin1String("thumbs"))
                buildTemplate(folder);
    }

    void buildTemplate(const QFileInfo& folder)
    {
        const QString name = folder.fileName();
        if (!TemplateLibrary::IsPlainTemplateName(name)) {
            m_failures.append(folder.filePath() + QLatin1String(": is not a plain template name"));
            return;
        }
        if (m_names.contains(name)) {
            m_failures.append(folder.filePath() +
                              QLatin1String(": another category has a template of this name"));
            return;
        }
        m_names.insert(name);
        const std::optional<TemplateMessage::Source> source =
            readSource(folder.filePath(), &m_failures);
        if (!source)
            return;
        const Result<QByteArray> message = TemplateMessage::Compose(*source);
        const Result<QByteArray> packed =
            message ? Module1::PackTemplate(*message) : message.status();
        if (!packed) {
            m_failures.append(folder.filePath() + QLatin1String(": ") + packed.status().message());
            return;
        }
        write(QLatin1String("templates/") + name + QLatin1String(".dat"), *packed);
        ++m_templates;
    }

    QString m_source;
    QString m_library;
    QStringList m_failures; // each "path: reason"
    QMap<QString, QByteArray>
        m_output; // path in the library -> content, written once all succeeded
    QSet<QString> m_names;
    int m_pages = 0;
    int m_templates = 0;
};

} // namespace

Status Build(const QString& sourceFolder, const QString& libraryFolder, QTextStream& out,
             QTextStream& warnings)
{
    const QStringList failures =
        Builder(QDir::cleanPath(sourceFolder), QDir::cleanPath(libraryFolder)).run(out, warnings);
    if (failures.isEmpty())
        return Status::success();
    return Status::failure(failures.join(QLatin1Char('\n')));
}

} // namespace LibraryBuild
