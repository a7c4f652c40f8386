#pragma once

// A shipped library, an empty place for the user's, and the files a user
// adds: the sample message and the page the HTML export makes of it.

#include "core/gallery/library/libraryset.h"
#include "core/mime/mimecomponent.h"
#include "core/platform/fileio.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QMap>
#include <QTemporaryDir>
#include <QTest>

class UserLibraryFixture
{
public:
    UserLibraryFixture() : m_savedData(qgetenv("XDG_DATA_HOME"))
    {
        qputenv("XDG_DATA_HOME", m_root.filePath(QStringLiteral("data")).toLocal8Bit());
        QDir(m_root.path()).mkpath(QStringLiteral("shipped/categories"));
        QDir(m_root.path()).mkpath(QStringLiteral("shipped/templates"));
        QDir(m_root.path()).mkpath(QStringLiteral("in"));
        write(QStringLiteral("shipped/categories/Retail.html"),
              "<html><body><a href=\"#Summer Sale\">Summer Sale</a></body></html>");
        write(QStringLiteral("shipped/templates/Summer Sale.dat"), "shipped");
    }
    ~UserLibraryFixture()
    {
        if (m_savedData.isNull())
            qunsetenv("XDG_DATA_HOME");
        else
            qputenv("XDG_DATA_HOME", m_savedData);
    }
    UserLibraryFixture(const UserLibraryFixture&) = delete;
    UserLibraryFixture& operator=(const UserLibraryFixture&) = delete;

    QString path(const QString& relative) const { return m_root.filePath(relative); }
    QString shipped() const { return path(QStringLiteral("shipped")); }
    QString userLibrary() const { return path(QStringLiteral("data/quillery/library")); }
    LibrarySet libraries() const { return LibrarySet(shipped(), userLibrary()); }

    void write(const QString& relative, const QByteArray& data) const
    {
        QDir().mkpath(QFileInfo(path(relative)).absolutePath());
        QVERIFY(FileIo::writeAtomically(path(relative), data));
    }

    static QByteArray sampleMessage()
    {
        return FileIo::readAll(QStringLiteral(QUILLERY_TEST_DATA "/templateexport/sample.eml"))
            .valueOr("missing sample");
    }

    // in/<name>.eml holding the sample message.
    QString messageFile(const QString& name = QStringLiteral("Spring News")) const
    {
        const QString relative = QStringLiteral("in/%1.eml").arg(name);
        write(relative, sampleMessage());
        return path(relative);
    }

    // in/<name>.htm and in/<name>_files/, as the HTML export writes them.
    QString exportedPage(const QString& name = QStringLiteral("Autumn News")) const
    {
        MimeComponent mime;
        if (!mime.LoadEmlData(sampleMessage()))
            return QString();
        const QByteArray html =
            mime.saveHtmlAndImagesUtf8(path(QStringLiteral("in")), name + QLatin1String("_files"));
        const QString relative = QStringLiteral("in/%1.htm").arg(name);
        write(relative, html);
        return path(relative);
    }

    // Every file below the user's library folder, with a digest of its bytes.
    QMap<QString, QByteArray> snapshot() const
    {
        QMap<QString, QByteArray> files;
        QDirIterator it(userLibrary(), QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString file = it.next();
            const Result<QByteArray> bytes = FileIo::readAll(file);
            files.insert(QDir(userLibrary()).relativeFilePath(file),
                         it.fileInfo().isDir() ? QByteArray("<folder>")
                                               : QCryptographicHash::hash(
                                                     bytes.valueOr("?"), QCryptographicHash::Sha1));
        }
        return files;
    }

private:
    QTemporaryDir m_root;
    QByteArray m_savedData;
};
