#include "core/gallery/build/librarybuild.h"

#include "core/gallery/build/librarybuildoutput.h"
#include "core/gallery/build/librarybuildsources.h"
#include "core/gallery/library/templatedecoding.h"
#include "core/gallery/library/templatelibrary.h"
#include "core/gallery/library/templatemessage.h"
#include "core/platform/fileio.h"
#include "core/platform/parallel.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QLockFile>
#include <QSet>

#include <atomic>
#include <vector>

namespace LibraryBuild {

namespace {

QByteArray sha256(const QByteArray& data)
{
    return QCryptographicHash::hash(data, QCryptographicHash::Sha256).toHex();
}

// The program that builds: a new build of it may write other bytes for the
// same sources, so its templates are then made afresh.
const QByteArray& builderIdentity()
{
    static const QByteArray identity = [] {
        if (!QCoreApplication::instance())
            return QByteArray();
        const Result<QByteArray> program = FileIo::readAll(QCoreApplication::applicationFilePath());
        return program ? sha256(*program) : QByteArray();
    }();
    return identity;
}

// Everything in a template's source folder, names and contents; null when a
// file cannot be read (the build then reports it).
QByteArray sourceFingerprint(const QString& folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        files.append(it.next());
    files.sort();
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(builderIdentity());
    for (const QString& file : files) {
        const Result<QByteArray> data = FileIo::readAll(file);
        if (!data)
            return QByteArray();
        const QByteArray name = QDir(folder).relativeFilePath(file).toUtf8();
        hash.addData(QByteArray::number(name.size()) + ':' + name);
        hash.addData(QByteArray::number(data->size()) + ':' + *data);
    }
    return hash.result().toHex();
}

class Builder
{
public:
    Builder(const QString& source, const QString& library)
        : m_source(source), m_library(library), m_staging(library)
    {
    }

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
        int restored = 0;
        const Result<bool> leftover = removeLeftoverStaging(m_library, &restored);
        if (!leftover)
            return {leftover.status().message()};
        if (restored > 0)
            out << "put back " << restored << " files an earlier build had replaced\n";
        if (*leftover)
            out << "removed " << StagingName << ", left by an earlier build\n";

        m_recorded = recordedFingerprints(m_library);
        const QFileInfoList categories =
            QDir(m_source).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
        for (const QFileInfo& category : categories)
            if (QFileInfo(category.filePath() + QLatin1String("/page.html")).isFile())
                buildCategory(category);
        if (m_pages == 0)
            m_failures.append(m_source +
                              QLatin1String(": holds no category folder with a page.html"));
        buildTemplates();
        // All or nothing: a failed build leaves the previous library in place.
        if (m_failures.isEmpty())
            m_failures = install(m_library, m_staging, out, warnings);
        // The staging folder of the failed build goes too; if it cannot, the
        // author hears why it stays.
        else if (const Result<bool> removed = removeLeftoverStaging(m_library); !removed)
            m_failures.append(removed.status().message());
        out << m_library << ": " << m_pages << " categories, " << m_templates << " templates\n";
        return m_failures;
    }

private:
    // A file that is in place with these very bytes is kept, not replaced.
    // Its hash is recorded: a later build removes it only while it holds them.
    void write(const QString& entry, const QByteArray& data)
    {
        m_entries.insert(entry);
        const QByteArray hash = sha256(data);
        const Result<QByteArray> current = FileIo::readAll(m_library + QLatin1Char('/') + entry);
        if (current && *current == data)
            m_staging.keep(entry, hash);
        else if (const Status written = m_staging.write(entry, data, hash); !written)
            m_failures.append(written.message());
    }

    void buildCategory(const QFileInfo& category)
    {
        const QString name = category.fileName();
        if (TemplateLibrary::categoryNameFromFileName(name + QLatin1String(".html")).isEmpty()) {
            m_failures.append(category.filePath() +
                              QLatin1String(": gives an empty category name"));
            return;
        }
        if (const Result<QByteArray> page =
                FileIo::readAll(category.filePath() + QLatin1String("/page.html"))) {
            write(TemplateLibrary::CategoriesFolderName + QLatin1Char('/') + name +
                      QLatin1String(".html"),
                  *page);
            ++m_pages;
        } else {
            m_failures.append(page.status().message());
        }
        const QFileInfoList thumbs =
            QDir(category.filePath() + QLatin1String("/thumbs"))
                .entryInfoList({QStringLiteral("*.png")}, QDir::Files, QDir::Name);
        for (const QFileInfo& thumb : thumbs) {
            const QString entry = TemplateLibrary::CategoriesFolderName +
                                  QLatin1String("/thumbs/") + thumb.fileName();
            // All pages share one thumbnails folder.
            if (m_entries.contains(entry))
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
                addTemplate(folder);
    }

    // Names are checked in order, so that the first of two templates of one
    // name is the one built.
    void addTemplate(const QFileInfo& folder)
    {
        const QString name = folder.fileName();
        if (!TemplateLibrary::isPlainTemplateName(name)) {
            m_failures.append(folder.filePath() + QLatin1String(": is not a plain template name"));
            return;
        }
        if (m_names.contains(name)) {
            m_failures.append(folder.filePath() +
                              QLatin1String(": another category has a template of this name"));
            return;
        }
        m_names.insert(name);
        m_templateFolders.append(folder.filePath());
    }

    // Making the images is most of a build's work: templates are made on
    // every core, each written as soon as it is made.
    void buildTemplates()
    {
        std::vector<QStringList> failures(m_templateFolders.size());
        std::atomic<int> built{0};
        Parallel::forEachOnAllCores(int(m_templateFolders.size()), [&](int i) {
            if (buildTemplate(m_templateFolders[i], &failures[i]))
                ++built;
        });
        for (const QStringList& each : failures)
            m_failures += each;
        m_templates = built;
    }

    bool buildTemplate(const QString& folder, QStringList* failures)
    {
        const QString entry =
            QLatin1String("templates/") + QFileInfo(folder).fileName() + QLatin1String(".dat");
        // An unchanged template is not made again: same sources, same
        // builder, and the file in place is the one recorded.
        const QByteArray source = sourceFingerprint(folder);
        const QByteArray recorded = m_recorded.value(entry);
        if (!source.isEmpty() && recorded.startsWith(source + '/')) {
            const Result<QByteArray> current =
                FileIo::readAll(m_library + QLatin1Char('/') + entry);
            if (current && recorded == source + '/' + sha256(*current)) {
                m_staging.keep(entry, recorded);
                return true;
            }
        }
        const std::optional<TemplateMessage::Source> parts = readSource(folder, failures);
        if (!parts)
            return false;
        const Result<QByteArray> message = TemplateMessage::compose(*parts);
        const Result<QByteArray> packed =
            message ? Module1::packTemplate(*message) : message.status();
        if (!packed) {
            failures->append(folder + QLatin1String(": ") + packed.status().message());
            return false;
        }
        // Without sources to fingerprint, only what was written is recorded.
        const QByteArray fingerprint = source + '/' + sha256(*packed);
        if (const Status written = m_staging.write(entry, *packed, fingerprint); !written) {
            failures->append(written.message());
            return false;
        }
        return true;
    }

    QString m_source;
    QString m_library;
    QStringList m_failures; // each "path: reason"
    Staging m_staging;      // what this build writes, put in place once all succeeded
    QSet<QString> m_entries;
    QHash<QString, QByteArray> m_recorded; // the previous build's fingerprints
    QStringList m_templateFolders;
    QSet<QString> m_names;
    int m_pages = 0;
    int m_templates = 0;
};

} // namespace

Status build(const QString& sourceFolder, const QString& libraryFolder, QTextStream& out,
             QTextStream& warnings)
{
    const QStringList failures =
        Builder(QDir::cleanPath(sourceFolder), QDir::cleanPath(libraryFolder)).run(out, warnings);
    if (failures.isEmpty())
        return Status::success();
    return Status::failure(failures.join(QLatin1Char('\n')));
}

} // namespace LibraryBuild
