#include "core/gallery/librarybuildoutput.h"

#include "core/gallery/templatelibrary.h"
#include "core/platform/fileio.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStringDecoder>

#include <filesystem>

namespace LibraryBuild {

namespace {

namespace fs = std::filesystem;

fs::path fsPath(const QString& path)
{
    return fs::path(QFile::encodeName(path).toStdString());
}

QString reasonOf(const std::error_code& error)
{
    return QString::fromLocal8Bit(error.message());
}

// Whether a record entry names something a build writes: a page or a
// thumbnail in categories/, a template in templates/. Anything else in the
// record is not ours to remove, however it got there.
bool isBuildOutput(const QString& entry)
{
    const QStringList parts = entry.split(QLatin1Char('/'));
    if (!TemplateLibrary::IsPlainTemplateName(parts.last()))
        return false;
    if (parts.size() == 2 && parts[0] == QLatin1String("templates"))
        return parts[1].endsWith(QLatin1String(".dat"));
    if (parts.size() == 2 && parts[0] == QLatin1String("categories"))
        return parts[1].endsWith(QLatin1String(".html"));
    return parts.size() == 3 && parts[0] == QLatin1String("categories") &&
           parts[1] == QLatin1String("thumbs") && parts[2].endsWith(QLatin1String(".png"));
}

// A record line is the entry, then a tab and its fingerprint when it has one.
QString recordedEntry(const QString& line)
{
    return line.section(QLatin1Char('\t'), 0, 0);
}

class Installer
{
public:
    Installer(const QString& library, const Staging& staging, QTextStream& out,
              QTextStream& warnings)
        : m_library(library), m_staging(library + QLatin1Char('/') + StagingName),
          m_files(staging.entries()), m_out(out), m_warnings(warnings)
    {
    }

    QStringList run()
    {
        const QStringList recorded = readRecord();
        if (!m_failures.isEmpty()) {
            removeStaging();
            return m_failures;
        }
        if (!place()) {
            if (rollBack())
                removeStaging();
            return m_failures;
        }
        prune(recorded);
        writeRecord();
        removeStaging();
        return m_failures;
    }

private:
    QString target(const QString& entry) const { return m_library + QLatin1Char('/') + entry; }
    QString staged(const QString& entry) const
    {
        return m_staging + QLatin1String("/new/") + entry;
    }
    QString backup(const QString& entry) const
    {
        return m_staging + QLatin1String("/old/") + entry;
    }

    bool makeFolderFor(const QString& path)
    {
        const QString folder = QFileInfo(path).path();
        if (QDir().mkpath(folder))
            return true;
        m_failures.append(folder + QLatin1String(": cannot create the folder"));
        return false;
    }

    QStringList readRecord()
    {
        const QString path = m_library + QLatin1Char('/') + RecordName;
        if (!QFileInfo::exists(path))
            return {};
        const Result<QByteArray> bytes = FileIo::readAll(path);
        if (!bytes) {
            m_failures.append(bytes.status().message());
            return {};
        }
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString text = utf8.decode(*bytes);
        if (utf8.hasError()) {
            m_failures.append(path + QLatin1String(": is not valid UTF-8; remove it by hand to "
                                                   "build afresh"));
            return {};
        }
        QStringList entries;
        const QStringList lines = text.split(QLatin1Char('\n'));
        for (int i = 0; i < lines.size(); ++i) {
            const QString& line = lines[i];
            if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
                continue;
            if (isBuildOutput(recordedEntry(line)))
                entries.append(recordedEntry(line));
            else
                m_warnings << path << ": line " << i + 1 << ": \"" << line
                           << "\" is not a file a build writes, and is left alone\n";
        }
        return entries;
    }

    // Each file replaces its target by a rename on one file system; the
    // target it replaces is kept in the staging folder until all are placed.
    bool place()
    {
        for (auto it = m_files.cbegin(); it != m_files.cend(); ++it) {
            if (!it->staged)
                continue;
            const QString entry = it.key();
            const QString path = target(entry);
            if (!makeFolderFor(path))
                return false;
            const QFileInfo info(path);
            Placed placed{entry, false, false};
            std::error_code error;
            if (info.exists() || info.isSymLink()) {
                if (info.isDir() && !info.isSymLink()) {
                    m_failures.append(path + QLatin1String(": a folder is in the way"));
                    return false;
                }
                if (!makeFolderFor(backup(entry)))
                    return false;
                fs::rename(fsPath(path), fsPath(backup(entry)), error);
                if (error) {
                    m_failures.append(path + QLatin1String(": cannot be replaced: ") +
                                      reasonOf(error));
                    return false;
                }
                placed.hadOld = true;
            }
            m_placed.append(placed);
            fs::rename(fsPath(staged(entry)), fsPath(path), error);
            if (error) {
                m_failures.append(path + QLatin1String(": cannot be put in place: ") +
                                  reasonOf(error));
                return false;
            }
            m_placed.last().isNew = true;
        }
        return true;
    }

    // Puts back every file that was replaced; false when one could not be,
    // and the staging folder then keeps it.
    bool rollBack()
    {
        bool whole = true;
        for (auto it = m_placed.crbegin(); it != m_placed.crend(); ++it) {
            std::error_code error;
            if (it->hadOld)
                fs::rename(fsPath(backup(it->entry)), fsPath(target(it->entry)), error);
            else if (it->isNew)
                fs::remove(fsPath(target(it->entry)), error);
            if (error) {
                m_failures.append(
                    target(it->entry) + QLatin1String(": cannot be put back as it was (") +
                    reasonOf(error) + QLatin1Char(')') +
                    (it->hadOld
                         ? QLatin1String("; the previous file is kept as ") + backup(it->entry)
                         : QString()));
                whole = false;
            }
        }
        m_placed.clear();
        return whole;
    }

    void prune(const QStringList& recorded)
    {
        for (const QString& entry : recorded) {
            if (m_files.contains(entry))
                continue;
            const QFileInfo info(target(entry));
            if ((!info.exists() && !info.isSymLink()) || (info.isDir() && !info.isSymLink()))
                continue;
            if (QFile::remove(target(entry))) {
                m_out << "removed " << entry << '\n';
            } else {
                m_failures.append(target(entry) +
                                  QLatin1String(": no longer built, and cannot be removed"));
                m_kept.append(entry);
            }
        }
    }

    void writeRecord()
    {
        QByteArray record = "# What quillery-library build wrote here. The next build removes\n"
                            "# what it no longer writes; files not listed are never touched.\n";
        QMap<QString, QByteArray> lines;
        for (auto it = m_files.cbegin(); it != m_files.cend(); ++it)
            lines.insert(it.key(), it->fingerprint.isEmpty()
                                       ? it.key().toUtf8()
                                       : it.key().toUtf8() + '\t' + it->fingerprint);
        for (const QString& entry : m_kept)
            lines.insert(entry, entry.toUtf8());
        for (const QByteArray& line : lines)
            record += line + '\n';
        const Status status =
            FileIo::writeAtomically(m_library + QLatin1Char('/') + RecordName, record);
        if (!status)
            m_failures.append(status.message());
    }

    void removeStaging()
    {
        std::error_code error;
        fs::remove_all(fsPath(m_staging), error);
        if (error)
            m_failures.append(m_staging + QLatin1String(": cannot be removed: ") + reasonOf(error));
    }

    struct Placed
    {
        QString entry;
        bool hadOld; // the previous file is in the staging folder
        bool isNew;  // the new file is in place
    };

    QString m_library;
    QString m_staging;
    const QMap<QString, Staging::Entry> m_files;
    QTextStream& m_out;
    QTextStream& m_warnings;
    QStringList m_failures;
    QList<Placed> m_placed;
    QStringList m_kept; // recorded, not built, and still there
};

} // namespace

Result<bool> removeLeftoverStaging(const QString& library)
{
    const QString staging = library + QLatin1Char('/') + StagingName;
    const QFileInfo info(staging);
    if (!info.exists() && !info.isSymLink())
        return false;
    // remove_all takes a link away without following it.
    std::error_code error;
    fs::remove_all(fsPath(staging), error);
    if (error)
        return Status::failure(staging +
                               QLatin1String(": left by an earlier build, and cannot be "
                                             "removed: ") +
                               reasonOf(error));
    return true;
}

Staging::Staging(const QString& library)
    : m_library(library), m_folder(library + QLatin1Char('/') + StagingName + QLatin1String("/new"))
{
}

QString Staging::stagedPath(const QString& entry) const
{
    return m_folder + QLatin1Char('/') + entry;
}

Status Staging::write(const QString& entry, const QByteArray& data, const QByteArray& fingerprint)
{
    const QString path = stagedPath(entry);
    const QString target = m_library + QLatin1Char('/') + entry;
    if (!QDir().mkpath(QFileInfo(path).path()))
        return Status::failure(target + QLatin1String(": cannot be written: cannot create ") +
                               QFileInfo(path).path());
    const Status status = FileIo::writeAtomically(path, data);
    if (!status) {
        QString reason = status.message();
        if (reason.startsWith(path + QLatin1String(": ")))
            reason.remove(0, path.size() + 2);
        return Status::failure(target + QLatin1String(": cannot be written: ") + reason);
    }
    const QMutexLocker locker(&m_mutex);
    m_entries.insert(entry, {true, fingerprint});
    return Status::success();
}

void Staging::keep(const QString& entry, const QByteArray& fingerprint)
{
    const QMutexLocker locker(&m_mutex);
    m_entries.insert(entry, {false, fingerprint});
}

QMap<QString, Staging::Entry> Staging::entries() const
{
    const QMutexLocker locker(&m_mutex);
    return m_entries;
}

QHash<QString, QByteArray> recordedFingerprints(const QString& library)
{
    QHash<QString, QByteArray> fingerprints;
    const Result<QByteArray> record = FileIo::readAll(library + QLatin1Char('/') + RecordName);
    if (!record)
        return fingerprints;
    for (const QByteArray& line : record->split('\n')) {
        const qsizetype tab = line.indexOf('\t');
        if (tab > 0 && !line.startsWith('#'))
            fingerprints.insert(QString::fromUtf8(line.left(tab)), line.mid(tab + 1));
    }
    return fingerprints;
}

QStringList install(const QString& library, const Staging& staging, QTextStream& out,
                    QTextStream& warnings)
{
    return Installer(library, staging, out, warnings).run();
}

} // namespace LibraryBuild
