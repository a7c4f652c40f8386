#include "core/export/ziparchive.h"

#include "core/platform/fileio.h"

#include <QCoreApplication>
#include <QDir>
#include <QSet>

#include <zip.h>

#include <memory>

namespace ZipArchive {

namespace {

Status failure(const QString& path, const QString& reason)
{
    return Status::failure(QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), reason));
}

QString zipReason(zip_error_t* error)
{
    return QString::fromLocal8Bit(zip_error_strerror(error));
}

bool isCompressedAlready(const QString& name)
{
    static const QStringList suffixes{".png", ".jpg", ".jpeg", ".gif", ".webp", ".avif", ".zip"};
    for (const QString& suffix : suffixes) {
        if (name.endsWith(suffix, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

struct SourceFree
{
    void operator()(zip_source_t* source) const { zip_source_free(source); }
};

} // namespace

Status checkEntryName(const QString& name)
{
    const auto refused = [&name](const char* reason) {
        return failure(name, QCoreApplication::translate("ZipArchive", reason));
    };
    if (name.isEmpty())
        return refused(QT_TRANSLATE_NOOP("ZipArchive", "an empty name in the archive"));
    if (name.startsWith(u'/'))
        return refused(QT_TRANSLATE_NOOP("ZipArchive",
                                         "an absolute path would be unpacked outside the folder"));
    // A backslash separates folders on Windows and a colon names a drive or a stream there.
    if (name.contains(u'\\') || name.contains(u':'))
        return refused(
            QT_TRANSLATE_NOOP("ZipArchive", "a backslash or colon may lead outside the folder"));
    for (const QChar c : name) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return refused(QT_TRANSLATE_NOOP("ZipArchive", "a control character in the name"));
    }
    for (const QStringView part : QStringView(name).split(u'/')) {
        if (part.isEmpty() || part == u"." || part == u"..")
            return refused(QT_TRANSLATE_NOOP(
                "ZipArchive", "an empty, \".\" or \"..\" part may lead outside the folder"));
    }
    return Status::success();
}

Result<QByteArray> build(const QList<Entry>& entries, const QString& shownPath)
{
    QSet<QString> names;
    for (const Entry& entry : entries) {
        if (Status usable = checkEntryName(entry.name); !usable)
            return usable;
        if (names.contains(entry.name))
            return failure(entry.name, QCoreApplication::translate(
                                           "ZipArchive", "the name is in the archive twice"));
        names.insert(entry.name);
    }

    zip_error_t error;
    zip_error_init(&error);
    const auto fail = [&](zip_error_t* reason) {
        const Status status = failure(shownPath, zipReason(reason));
        zip_error_fini(&error);
        return status;
    };
    std::unique_ptr<zip_source_t, SourceFree> buffer(
        zip_source_buffer_create(nullptr, 0, 0, &error));
    if (!buffer)
        return fail(&error);
    // The archive takes a reference of its own; ours reads the result after it is closed.
    zip_t* archive = zip_open_from_source(buffer.get(), ZIP_TRUNCATE, &error);
    if (!archive)
        return fail(&error);
    zip_source_keep(buffer.get());
    for (const Entry& entry : entries) {
        zip_source_t* data =
            zip_source_buffer(archive, entry.data.constData(), zip_uint64_t(entry.data.size()), 0);
        const QByteArray name = entry.name.toUtf8();
        const zip_int64_t index =
            data ? zip_file_add(archive, name.constData(), data, ZIP_FL_ENC_UTF_8) : -1;
        if (index < 0) {
            if (data)
                zip_source_free(data);
            const Status status = fail(zip_get_error(archive));
            zip_discard(archive);
            return status;
        }
        zip_set_file_compression(archive, zip_uint64_t(index),
                                 isCompressedAlready(entry.name) ? ZIP_CM_STORE : ZIP_CM_DEFLATE,
                                 9);
    }
    if (zip_close(archive) != 0) {
        const Status status = fail(zip_get_error(archive));
        zip_discard(archive);
        return status;
    }

    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_source_stat(buffer.get(), &stat) != 0 || zip_source_open(buffer.get()) != 0)
        return fail(zip_source_error(buffer.get()));
    QByteArray bytes(qsizetype(stat.size), Qt::Uninitialized);
    const zip_int64_t read = zip_source_read(buffer.get(), bytes.data(), stat.size);
    zip_source_close(buffer.get());
    if (read != zip_int64_t(stat.size))
        return fail(zip_source_error(buffer.get()));
    zip_error_fini(&error);
    return bytes;
}

Status write(const QString& path, const QList<Entry>& entries)
{
    Result<QByteArray> bytes = build(entries, path);
    if (!bytes)
        return bytes.status();
    return FileIo::writeAtomically(path, *bytes);
}

} // namespace ZipArchive
