#include "core/gallery/library/userlibraryjournal.h"

#include "core/gallery/library/templatelibrary.h"
#include "core/platform/fileio.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace UserLibraryJournal {

namespace {

constexpr QLatin1String Header("quillery-change 1");

QString errnoText()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

QString journalPath(const QString& library)
{
    return library + QLatin1Char('/') + JournalName;
}

QString pagePath(const QString& library, const QString& category)
{
    return TemplateLibrary::categoriesFolder(library) + QLatin1Char('/') + category +
           QLatin1String(".html");
}

QString thumbPath(const QString& library, const QString& thumbnail)
{
    return thumbnail.isEmpty()
               ? QString()
               : TemplateLibrary::categoriesFolder(library) + QLatin1String("/thumbs/") + thumbnail;
}

// Whether the folder holds an entry of exactly this name: on a file system
// that ignores case, "Old.dat" and "OLD.dat" are one file, not two.
bool hasEntry(const QString& path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return false;
    return QDir(info.absolutePath())
        .entryList(QDir::Files | QDir::Hidden | QDir::System)
        .contains(info.fileName());
}

bool pageLinks(const QString& library, const QString& category, const QString& name)
{
    const QString page = pagePath(library, category);
    return QFileInfo(page).isFile() && TemplateLibrary::templateLinks(page).contains(name);
}

Status removeFile(const QString& path)
{
    if (!hasEntry(path) || QFile::remove(path))
        return Status::success();
    return Status::failure(
        QDir::toNativeSeparators(path) +
        QCoreApplication::translate("FileChanges", ": the file cannot be removed"));
}

Status renameFile(const QString& from, const QString& to)
{
    if (::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0)
        return Status::success();
    return Status::failure(QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(to), errnoText()));
}

// Leaves `keep` and not `drop`, never losing both: `drop` moves to `keep`
// when `keep` is missing, and is removed only once `keep` is there.
Status settle(const QString& keep, const QString& drop)
{
    if (drop.isEmpty() || keep == drop || !hasEntry(drop))
        return Status::success();
    if (!hasEntry(keep))
        return renameFile(drop, keep);
    return removeFile(drop);
}

Status syncFolder(const QString& folder)
{
    const int fd =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return Status::failure(QStringLiteral("%1: %2").arg(folder, errnoText()));
    ::fsync(fd);
    ::close(fd);
    return Status::success();
}

Result<Change> readJournal(const QString& path)
{
    const Result<QByteArray> bytes = FileIo::readAll(path);
    if (!bytes)
        return bytes.status();
    const QStringList lines = QString::fromUtf8(*bytes).split(QLatin1Char('\n'));
    const auto damaged = [&path] {
        return Status::failure(QCoreApplication::translate(
                                   "UserLibrary", "%1: the record of an unfinished change of your "
                                                  "library is damaged; look at your templates and "
                                                  "remove the file")
                                   .arg(QDir::toNativeSeparators(path)));
    };
    if (lines.isEmpty() || lines.first() != Header)
        return damaged();
    Change change;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        if (lines[i].isEmpty())
            continue;
        const qsizetype tab = lines[i].indexOf(QLatin1Char('\t'));
        if (tab <= 0)
            return damaged();
        change.insert(lines[i].left(tab), lines[i].mid(tab + 1));
    }
    const QString op = change.value(QStringLiteral("op"));
    const auto plain = [&change](const char* key) {
        const QString value = change.value(QLatin1String(key));
        return TemplateLibrary::isPlainTemplateName(value);
    };
    const auto plainOrEmpty = [&change](const char* key) {
        const QString value = change.value(QLatin1String(key));
        return value.isEmpty() || TemplateLibrary::isPlainTemplateName(value);
    };
    const bool known =
        (op == u"add" && plain("name") && plain("category") && plain("thumbnail")) ||
        (op == u"remove" && plain("name") && plainOrEmpty("category") &&
         plainOrEmpty("thumbnail")) ||
        (op == u"rename" && plain("old") && plain("new") && plainOrEmpty("category") &&
         plainOrEmpty("oldThumbnail") && plainOrEmpty("newThumbnail"));
    if (!known)
        return damaged();
    return change;
}

Status recoverChange(const QString& library, const Change& change)
{
    const QString op = change.value(QStringLiteral("op"));
    const QString category = change.value(QStringLiteral("category"));
    const auto dat = [&library](const QString& name) {
        return TemplateLibrary::templateFilePath(library, name);
    };
    if (op == u"add") {
        const QString name = change.value(QStringLiteral("name"));
        if (pageLinks(library, category, name))
            return Status::success(); // the page switch was the last step that counts
        if (const Status status =
                removeFile(thumbPath(library, change.value(QStringLiteral("thumbnail"))));
            !status)
            return status;
        return removeFile(dat(name));
    }
    if (op == u"remove") {
        const QString name = change.value(QStringLiteral("name"));
        if (!category.isEmpty() && pageLinks(library, category, name))
            return Status::success(); // nothing was removed before the page
        if (const Status status =
                removeFile(thumbPath(library, change.value(QStringLiteral("thumbnail"))));
            !status)
            return status;
        return removeFile(dat(name));
    }
    // rename
    const QString oldName = change.value(QStringLiteral("old"));
    const QString newName = change.value(QStringLiteral("new"));
    const QString oldThumb = thumbPath(library, change.value(QStringLiteral("oldThumbnail")));
    const QString newThumb = thumbPath(library, change.value(QStringLiteral("newThumbnail")));
    const bool forward =
        category.isEmpty() ? hasEntry(dat(newName)) : pageLinks(library, category, newName);
    if (forward) {
        if (const Status status = settle(dat(newName), dat(oldName)); !status)
            return status;
        return settle(newThumb, oldThumb);
    }
    if (const Status status = settle(dat(oldName), dat(newName)); !status)
        return status;
    return settle(oldThumb, newThumb);
}

int envNumber(const char* name)
{
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok ? value : -1;
}

} // namespace

Result<OwnerLock> lock(const QString& library, bool create)
{
    if (!QFileInfo(library).isDir()) {
        if (!create)
            return OwnerLock();
        if (!QDir().mkpath(library))
            return Status::failure(
                QDir::toNativeSeparators(library) +
                QCoreApplication::translate("FileChanges", ": the folder cannot be created"));
    }
    const QString path = library + QLatin1Char('/') + LockName;
    // A change holds it for as long as it writes a template; one that holds it
    // far longer has hung.
    const QDeadlineTimer deadline(std::chrono::seconds(60));
    for (;;) {
        Result<OwnerLock> taken = OwnerLock::tryTake(path, true);
        if (!taken || taken->isHeld())
            return taken;
        if (deadline.hasExpired())
            return Status::failure(
                QCoreApplication::translate("UserLibrary",
                                            "%1: another program keeps your library locked")
                    .arg(QDir::toNativeSeparators(path)));
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

Status begin(const QString& library, const Change& change)
{
    QByteArray text = QByteArray(Header.data(), Header.size()) + '\n';
    for (auto it = change.cbegin(); it != change.cend(); ++it)
        text += it.key().toUtf8() + '\t' + it.value().toUtf8() + '\n';
    const QString path = journalPath(library);
    const QString temporary =
        path + QStringLiteral(".%1").arg(QRandomGenerator::global()->generate() % 2176782336u, 6,
                                         36, QLatin1Char('0'));
    const QByteArray name = QFile::encodeName(temporary);
    const int fd =
        ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return Status::failure(QStringLiteral("%1: %2").arg(path, errnoText()));
    const bool written =
        ::write(fd, text.constData(), size_t(text.size())) == text.size() && ::fsync(fd) == 0;
    const QString reason = errnoText();
    ::close(fd);
    if (!written || ::rename(name.constData(), QFile::encodeName(path).constData()) != 0) {
        ::unlink(name.constData());
        return Status::failure(QStringLiteral("%1: %2").arg(path, written ? errnoText() : reason));
    }
    return syncFolder(library);
}

Status end(const QString& library)
{
    if (const Status status = removeFile(journalPath(library)); !status)
        return status;
    return syncFolder(library);
}

QStringList leftoverTemporaries(const QString& library)
{
    // QSaveFile's name for a file being written ("Mine.html.a1B2c3"), and ours
    // for the journal.
    static const QRegularExpression temporary(
        QStringLiteral(R"re(^(.+\.(html|png|dat)|\.quillery-change)\.[A-Za-z0-9]{6}$)re"));
    QStringList found;
    for (const QString& folder :
         {library, TemplateLibrary::categoriesFolder(library),
          TemplateLibrary::categoriesFolder(library) + QLatin1String("/thumbs"),
          TemplateLibrary::templatesFolder(library)}) {
        const QStringList names =
            QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
        for (const QString& name : names)
            if (temporary.match(name).hasMatch())
                found << folder + QLatin1Char('/') + name;
    }
    return found;
}

Status recover(const QString& library)
{
    for (const QString& path : leftoverTemporaries(library))
        if (const Status status = removeFile(path); !status)
            return status;
    const QString path = journalPath(library);
    if (!QFileInfo::exists(path))
        return Status::success();
    const Result<Change> change = readJournal(path);
    if (!change)
        return change.status();
    if (const Status status = recoverChange(library, *change); !status)
        return status;
    return end(library);
}

void step(const char* op, const char* name)
{
    static const QByteArray stop = qgetenv("QUILLERY_FAULT_STOP_AFTER");
    static const int pause = envNumber("QUILLERY_FAULT_STEP_DELAY_MS");
    static int count = 0;
    if (pause > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(pause));
    if (stop.isEmpty())
        return;
    ++count;
    bool numeric = false;
    const int n = stop.toInt(&numeric);
    if ((numeric && n == count) || stop == name || stop == QByteArray(op) + ':' + name)
        ::raise(SIGKILL);
}

void delayBeforeWriting()
{
    const int ms = envNumber("QUILLERY_FAULT_DELAY_MS");
    if (ms > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

} // namespace UserLibraryJournal
