#include "core/gallery/build/librarybuildoutput.h"

#include "core/gallery/library/templatelibrary.h"
#include "core/platform/faultpoint.h"
#include "core/platform/fileio.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStringDecoder>

#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

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
    if (!TemplateLibrary::isPlainTemplateName(parts.last()))
        return false;
    if (parts.size() == 2 && parts[0] == TemplateLibrary::TemplatesFolderName)
        return parts[1].endsWith(QLatin1String(".dat"));
    if (parts.size() == 2 && parts[0] == TemplateLibrary::CategoriesFolderName)
        return parts[1].endsWith(QLatin1String(".html"));
    return parts.size() == 3 && parts[0] == TemplateLibrary::CategoriesFolderName &&
           parts[1] == QLatin1String("thumbs") && parts[2].endsWith(QLatin1String(".png"));
}

// A record line is the entry, then a tab and its fingerprint when it has one.
QString recordedEntry(const QString& line)
{
    return line.section(QLatin1Char('\t'), 0, 0);
}

// The hash of the content a build wrote, the fingerprint's last part: a
// template's fingerprint is "sources/content", a page's only "content".
QByteArray contentHash(const QByteArray& fingerprint)
{
    return fingerprint.mid(fingerprint.lastIndexOf('/') + 1);
}

// The names of a staging folder's parts.
const QLatin1String PlacingLog("/placing"); // entries being put in place, in order
const QLatin1String PlacedMark("/placed");  // every new file is in place

// Writes `line` to the end of `path` and onto the disk before going on.
bool appendDurably(const QString& path, const QByteArray& line)
{
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    const bool written =
        ::write(fd, line.constData(), size_t(line.size())) == line.size() && ::fdatasync(fd) == 0;
    ::close(fd);
    return written;
}

struct RecordLine
{
    int number = 0;
    QByteArray text; // empty when too long
    bool tooLong = false;
};

// The record's lines, each read up to MaxRecordLine bytes: a record grown
// huge by hand costs neither the time nor the memory of its size.
Result<QList<RecordLine>> readRecordLines(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Status::failure(path + QLatin1String(": ") + file.errorString());
    QList<RecordLine> lines;
    QByteArray buffer(MaxRecordLine + 2, Qt::Uninitialized);
    for (int number = 1; !file.atEnd(); ++number) {
        const qint64 read = file.readLine(buffer.data(), buffer.size());
        if (read < 0)
            return Status::failure(path + QLatin1String(": ") + file.errorString());
        QByteArray line(buffer.constData(), read);
        bool ended = line.endsWith('\n');
        if (ended)
            line.chop(1);
        if (line.size() <= MaxRecordLine) {
            lines.append({number, line, false});
            continue;
        }
        // The rest of a line too long goes unread.
        while (!ended && !file.atEnd()) {
            const qint64 more = file.readLine(buffer.data(), buffer.size());
            if (more <= 0)
                break;
            ended = buffer.at(more - 1) == '\n';
        }
        lines.append({number, QByteArray(), true});
    }
    return lines;
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
        const QMap<QString, QByteArray> recorded = readRecord();
        if (!m_failures.isEmpty()) {
            removeStaging();
            return m_failures;
        }
        if (!place()) {
            if (rollBack())
                removeStaging();
            return m_failures;
        }
        // From here on a killed build leaves the new library, not the old one.
        appendDurably(m_staging + PlacedMark, QByteArray());
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

    // The recorded entries with the hash of what the build wrote.
    QMap<QString, QByteArray> readRecord()
    {
        const QString path = m_library + QLatin1Char('/') + RecordName;
        if (!QFileInfo::exists(path))
            return {};
        const Result<QList<RecordLine>> lines = readRecordLines(path);
        if (!lines) {
            m_failures.append(lines.status().message());
            return {};
        }
        QMap<QString, QByteArray> entries;
        for (const RecordLine& each : *lines) {
            if (each.tooLong) {
                m_warnings << path << ": line " << each.number << " is longer than "
                           << MaxRecordLine << " bytes, and is left alone\n";
                continue;
            }
            QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
            const QString line = utf8.decode(each.text);
            if (utf8.hasError()) {
                m_failures.append(path + QLatin1String(": is not valid UTF-8; remove it by hand "
                                                       "to build afresh"));
                return {};
            }
            if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
                continue;
            if (isBuildOutput(recordedEntry(line)))
                entries.insert(recordedEntry(line),
                               contentHash(line.section(QLatin1Char('\t'), 1).toLatin1()));
            else
                m_warnings << path << ": line " << each.number << ": \"" << line
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
            if (!appendDurably(m_staging + PlacingLog, entry.toUtf8() + '\n')) {
                m_failures.append(m_staging + PlacingLog + QLatin1String(": cannot be written"));
                return false;
            }
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
                FaultPoint::reached("build-place");
                fs::rename(fsPath(path), fsPath(backup(entry)), error);
                if (error) {
                    m_failures.append(path + QLatin1String(": cannot be replaced: ") +
                                      reasonOf(error));
                    return false;
                }
                placed.hadOld = true;
            }
            m_placed.append(placed);
            FaultPoint::reached("build-place");
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

    // Only a file that still holds what the build wrote is removed: one the
    // author replaced by hand, or one the record names without a hash (an
    // older build's record, or a line added by hand), is theirs now.
    void prune(const QMap<QString, QByteArray>& recorded)
    {
        for (auto it = recorded.cbegin(); it != recorded.cend(); ++it) {
            const QString& entry = it.key();
            if (m_files.contains(entry))
                continue;
            const QFileInfo info(target(entry));
            if ((!info.exists() && !info.isSymLink()) || info.isDir() || info.isSymLink())
                continue;
            const Result<QByteArray> content = FileIo::readAll(target(entry));
            if (!content) {
                m_failures.append(content.status().message());
                m_kept.insert(entry, it.value());
                continue;
            }
            const QByteArray hash =
                QCryptographicHash::hash(*content, QCryptographicHash::Sha256).toHex();
            if (it.value().isEmpty() || hash != it.value()) {
                m_out << "kept " << entry << ", not as a build wrote it\n";
                continue;
            }
            if (QFile::remove(target(entry))) {
                m_out << "removed " << entry << '\n';
            } else {
                m_failures.append(target(entry) +
                                  QLatin1String(": no longer built, and cannot be removed"));
                m_kept.insert(entry, it.value());
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
        for (auto it = m_kept.cbegin(); it != m_kept.cend(); ++it)
            lines.insert(it.key(), it.key().toUtf8() + '\t' + it.value());
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
    QMap<QString, QByteArray> m_kept; // recorded, not built, and still there: its hash
};

} // namespace

namespace {

// Puts back the files a build killed while putting its own in place had set
// aside, and takes away the new ones it had put in, so that the library is
// the previous build's again. A build killed after all were in place keeps
// the new library. The faults, each "path: reason".
QStringList restoreSetAside(const QString& library, const QString& staging, int* restored)
{
    QStringList failures;
    if (QFileInfo(staging).isSymLink() || QFileInfo::exists(staging + PlacedMark))
        return failures;
    const Result<QList<RecordLine>> lines = readRecordLines(staging + PlacingLog);
    if (!lines)
        return failures; // nothing was put in place
    for (auto it = lines->crbegin(); it != lines->crend(); ++it) {
        const QString entry = QString::fromUtf8(it->text);
        if (entry.isEmpty() || !isBuildOutput(entry))
            continue;
        const QString target = library + QLatin1Char('/') + entry;
        const QString old = staging + QLatin1String("/old/") + entry;
        const QString fresh = staging + QLatin1String("/new/") + entry;
        std::error_code error;
        if (QFileInfo::exists(old) || QFileInfo(old).isSymLink()) {
            fs::rename(fsPath(old), fsPath(target), error);
            if (!error)
                ++*restored;
        } else if (!QFileInfo::exists(fresh) && !QFileInfo(fresh).isSymLink()) {
            fs::remove(fsPath(target), error);
        }
        if (error)
            failures.append(target + QLatin1String(": cannot be put back as it was (") +
                            reasonOf(error) + QLatin1Char(')'));
    }
    return failures;
}

} // namespace

Result<bool> removeLeftoverStaging(const QString& library, int* restored)
{
    int count = 0;
    if (!restored)
        restored = &count;
    const QString staging = library + QLatin1Char('/') + StagingName;
    const QFileInfo info(staging);
    if (!info.exists() && !info.isSymLink())
        return false;
    // Never removed while it holds a file of the previous library.
    const QStringList failures = restoreSetAside(library, staging, restored);
    if (!failures.isEmpty())
        return Status::failure(failures.join(QLatin1Char('\n')) + QLatin1Char('\n') + staging +
                               QLatin1String(": left by an earlier build, and kept: it holds "
                                             "files of the previous library"));
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
    const Result<QList<RecordLine>> lines =
        readRecordLines(library + QLatin1Char('/') + RecordName);
    if (!lines)
        return fingerprints;
    for (const RecordLine& line : *lines) {
        const qsizetype tab = line.text.indexOf('\t');
        if (tab > 0 && !line.text.startsWith('#'))
            fingerprints.insert(QString::fromUtf8(line.text.left(tab)), line.text.mid(tab + 1));
    }
    return fingerprints;
}

QStringList install(const QString& library, const Staging& staging, QTextStream& out,
                    QTextStream& warnings)
{
    return Installer(library, staging, out, warnings).run();
}

} // namespace LibraryBuild
