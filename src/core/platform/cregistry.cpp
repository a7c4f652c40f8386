#include "core/platform/cregistry.h"

#include "core/platform/fileio.h"
#include "core/platform/ownerlock.h"
#include "core/platform/settingsfile.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

cRegistry::ReplaceHook s_replaceHook = nullptr;

using SettingsFile::Document;
using SettingsFile::Kind;
using SettingsFile::StoredValue;

struct Address
{
    QString file;
    QStringList group;
};

// Read at every call so that a changed environment takes effect at once.
QString configFolder()
{
    QString dir = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (dir.isEmpty() || !QDir::isAbsolutePath(dir)) // relative values are invalid by the XDG rules
        dir = QDir::homePath() + QStringLiteral("/.config");
    return QDir::cleanPath(dir);
}

Result<Address> locate(quint32 classKey, const QString& sectionKey)
{
    if (classKey != cRegistry::HKEY_CURRENT_USER)
        return Status::failure(QStringLiteral("only per-user settings are kept"));
    const QStringList levels = sectionKey.split(u'\\');
    if (levels.size() < 2 || levels[0].compare(u"Software", Qt::CaseInsensitive) != 0)
        return Status::failure(QStringLiteral("\"%1\" is not below Software\\").arg(sectionKey));
    for (const QString& level : levels) {
        if (level.isEmpty())
            return Status::failure(QStringLiteral("\"%1\" has an empty key name").arg(sectionKey));
    }
    const QString& application = levels[1];
    if (application == u"." || application == u".." || application.contains(u'/') ||
        application.contains(QChar(0)))
        return Status::failure(
            QStringLiteral("\"%1\" cannot name a settings file").arg(application));
    return Address{configFolder() + u'/' + application + QStringLiteral(".ini"), levels.mid(2)};
}

struct Loaded
{
    enum State { Missing, Ok, Broken } state = Missing;
    Document document;
    QString error;
    bool damaged = false; // Broken: a file read whole that is not in the format
};

QString errnoText()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

// Opens without following into a device or waiting on a pipe, and reads at most
// one byte more than a settings file may hold, so a hostile file costs nothing.
Loaded load(const QString& path)
{
    Loaded result;
    auto broken = [&](const QString& reason) {
        result.state = Loaded::Broken;
        result.error = QStringLiteral("%1: %2").arg(path, reason);
        return result;
    };

    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return result;
        return broken(errnoText());
    }
    struct stat info = {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return broken(QStringLiteral("not a regular file"));
    }
    QByteArray bytes(SettingsFile::MaxFileSize + 1, Qt::Uninitialized);
    qsizetype total = 0;
    while (total < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + total, size_t(bytes.size() - total));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            const QString reason = errnoText();
            ::close(fd);
            return broken(reason);
        }
        if (n == 0)
            break;
        total += n;
    }
    ::close(fd);
    bytes.truncate(total);

    Result<Document> document = Document::parse(bytes);
    if (!document) {
        result.damaged = true;
        return broken(document.status().message());
    }
    result.state = Loaded::Ok;
    result.document = std::move(*document);
    return result;
}

// Missing levels are created one at a time and private, as the XDG rules ask.
Status ensureFolder(const QString& dir)
{
    QStringList missing;
    for (QString level = dir; !QFileInfo::exists(level);) {
        missing.prepend(level);
        const QString parent = QFileInfo(level).path();
        if (parent == level)
            break;
        level = parent;
    }
    for (const QString& level : std::as_const(missing)) {
        if (::mkdir(QFile::encodeName(level).constData(), 0700) != 0 && errno != EEXIST)
            return Status::failure(QStringLiteral("%1: %2").arg(level, errnoText()));
    }
    if (!QFileInfo(dir).isDir())
        return Status::failure(QStringLiteral("%1: not a folder").arg(dir));
    return Status::success();
}

// Two writers that both read the old file would each drop the other's value
// with their replace, so the read-change-replace runs under a lock. It lives in
// a file of its own: the settings file is a new file after every write, and a
// lock on the old one would not exclude a writer that opened the new one.
Result<OwnerLock> lockForWriting(const QString& path)
{
    if (Status folder = ensureFolder(QFileInfo(path).path()); !folder)
        return folder;
    const QString lockPath = path + QStringLiteral(".lock");
    // Writers hold it for a moment; one that holds it far longer has hung.
    const QDeadlineTimer deadline(std::chrono::seconds(10));
    for (;;) {
        Result<OwnerLock> taken = OwnerLock::tryTake(lockPath, true);
        if (!taken || taken->isHeld())
            return taken;
        if (deadline.hasExpired())
            return Status::failure(
                QStringLiteral("%1: another program keeps the settings locked").arg(lockPath));
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

// A damaged file is kept beside a fresh one, named by when it was found: it
// may hold settings worth copying back by hand. The name it now has.
Result<QString> setAside(const QString& path)
{
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString aside = path + QStringLiteral(".damaged-") + stamp;
    for (int n = 2; QFileInfo(aside).exists() || QFileInfo(aside).isSymLink(); ++n)
        aside = path + QStringLiteral(".damaged-") + stamp + u'-' + QString::number(n);
    if (::rename(QFile::encodeName(path).constData(), QFile::encodeName(aside).constData()) != 0)
        return Status::failure(QStringLiteral("%1: %2").arg(aside, errnoText()));
    return aside;
}

Status replaceFile(const QString& path, const QByteArray& bytes)
{
    if (Status folder = ensureFolder(QFileInfo(path).path()); !folder)
        return folder;
    return FileIo::writeAtomically(path, bytes, [&path] {
        if (s_replaceHook && !s_replaceHook(path))
            return Status::failure(QStringLiteral("%1: write abandoned").arg(path));
        return Status::success();
    });
}

} // namespace

void cRegistry::setReplaceHook(ReplaceHook hook)
{
    s_replaceHook = hook;
}

bool cRegistry::isExpandable(const QString& text)
{
    const qsizetype first = text.indexOf(u'%');
    return first >= 0 && text.indexOf(u'%', first + 2) >= 0;
}

QString cRegistry::expandEnvironment(const QString& text)
{
    QString out;
    qsizetype i = 0;
    while (i < text.size()) {
        if (text[i] != u'%') {
            out += text[i++];
            continue;
        }
        const qsizetype close = text.indexOf(u'%', i + 1);
        if (close < 0) {
            out += QStringView(text).sliced(i);
            break;
        }
        const QString name = text.sliced(i + 1, close - i - 1);
        const bool usable = !name.isEmpty() && !name.contains(u'=') && !name.contains(QChar(0));
        if (usable && qEnvironmentVariableIsSet(name.toLocal8Bit().constData())) {
            out += qEnvironmentVariable(name.toLocal8Bit().constData());
            i = close + 1;
        } else {
            // An unknown reference stays; its closing "%" may open the next one.
            out += QStringView(text).sliced(i, close - i);
            i = close;
        }
    }
    return out;
}

QString cRegistry::filePath() const
{
    const Result<Address> address = locate(ClassKey, SectionKey);
    return address ? address->file : QString();
}

QVariant cRegistry::value()
{
    m_status = Status::success();
    const Result<Address> address = locate(ClassKey, SectionKey);
    if (!address) {
        m_status = address.status();
        return Default;
    }
    const Loaded loaded = load(address->file);
    if (loaded.state == Loaded::Broken)
        m_status = Status::failure(loaded.error);
    if (loaded.state != Loaded::Ok)
        return Default;
    const auto stored = loaded.document.find(address->group, ValueKey);
    if (!stored)
        return Default;
    switch (stored->kind) {
    case Kind::String:
        ValueType = REG_SZ;
        return stored->text;
    case Kind::ExpandString:
        ValueType = REG_EXPAND_SZ;
        return expandEnvironment(stored->text);
    case Kind::MultiString:
        ValueType = REG_MULTI_SZ;
        return stored->text;
    case Kind::Dword:
        ValueType = REG_DWORD;
        return QVariant::fromValue(stored->number);
    }
    return Default;
}

bool cRegistry::setValue(const QVariant& value)
{
    m_status = Status::success();
    const Result<Address> address = locate(ClassKey, SectionKey);
    if (!address) {
        m_status = address.status();
        return false;
    }

    StoredValue stored;
    if (ValueType == REG_DWORD || ValueType == REG_DWORD_BIG_ENDIAN) {
        // A number kept as text has no byte order, so both are stored alike.
        bool ok = false;
        const qlonglong number = value.toLongLong(&ok);
        if (!ok || number < 0 || number > 0xffffffffLL) {
            m_status = Status::failure(
                QStringLiteral("\"%1\" is not a 32-bit number").arg(value.toString()));
            return false;
        }
        stored.kind = Kind::Dword;
        stored.number = quint32(number);
        ValueType = REG_DWORD;
    } else if (ValueType == REG_MULTI_SZ) {
        stored.kind = Kind::MultiString;
        stored.text = value.metaType().id() == QMetaType::QStringList
                          ? value.toStringList().join(QChar(0))
                          : value.toString();
    } else {
        stored.text = value.toString();
        stored.kind = isExpandable(stored.text) ? Kind::ExpandString : Kind::String;
        ValueType = stored.kind == Kind::ExpandString ? REG_EXPAND_SZ : REG_SZ;
    }

    const Result<OwnerLock> lock = lockForWriting(address->file);
    m_status = lock.status();
    if (!m_status)
        return false;
    Loaded loaded = load(address->file);
    m_setAside.clear();
    if (loaded.state == Loaded::Broken && loaded.damaged) {
        // Never written again, it would keep every later change from being
        // stored; replaced, the settings it may hold would be lost.
        const Result<QString> aside = setAside(address->file);
        if (!aside) {
            m_status = Status::failure(loaded.error + QStringLiteral("; cannot be set aside: ") +
                                       aside.status().message());
            return false;
        }
        m_setAside = *aside;
        loaded = Loaded();
    }
    if (loaded.state == Loaded::Broken) {
        // Not a file: what it is stays as it is.
        m_status = Status::failure(loaded.error + QStringLiteral("; left as it is"));
        return false;
    }
    if (loaded.state == Loaded::Missing) {
        loaded.document = *Document::parse("; Quillery settings, format in docs/settings.md\n");
    }
    loaded.document.set(address->group, ValueKey, stored);
    m_status = replaceFile(address->file, loaded.document.serialize());
    return m_status.ok();
}
