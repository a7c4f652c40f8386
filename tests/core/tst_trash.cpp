#include "core/platform/fileio.h"
#include "core/platform/trash.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

// The home trash as a file manager reads it: a copy under files/, and under
// info/ a record of where it came from.
class TestTrash : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_data = std::make_unique<QTemporaryDir>();
        m_files = std::make_unique<QTemporaryDir>();
        m_saved = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", m_data->path().toLocal8Bit());
    }

    void cleanup()
    {
        if (m_saved.isEmpty())
            qunsetenv("XDG_DATA_HOME");
        else
            qputenv("XDG_DATA_HOME", m_saved);
    }

    void putCopy_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("trashedAs"); // one a put of the same name
        QTest::newRow("once") << "Spring.dat" << QStringList{"Spring.dat"};
        QTest::newRow("a name in the trash already gets another")
            << "Spring.dat" << QStringList{"Spring.dat", "Spring.2.dat"};
        QTest::newRow("spaces and signs of a URL")
            << "50% off #1 ü.dat" << QStringList{"50% off #1 ü.dat"};
        QTest::newRow("no suffix") << "notes" << QStringList{"notes", "notes.2"};
    }

    void putCopy()
    {
        QFETCH(QString, name);
        QFETCH(QStringList, trashedAs);
        const QString file = m_files->filePath(name);
        const QString trash = m_data->path() + "/Trash";
        QCOMPARE(Trash::homeTrash(), trash);
        for (const QString& expected : trashedAs) {
            QVERIFY(FileIo::writeAtomically(file, expected.toUtf8()));
            const Result<Trash::Item> item = Trash::putCopy(file);
            QVERIFY2(item, qPrintable(item.status().message()));
            QCOMPARE(item->file, trash + "/files/" + expected);
            QCOMPARE(item->info, trash + "/info/" + expected + ".trashinfo");
            QCOMPARE(FileIo::readAll(item->file).valueOr(QByteArray()), expected.toUtf8());
            const QByteArray info = FileIo::readAll(item->info).valueOr(QByteArray());
            const QList<QByteArray> lines = info.split('\n');
            QCOMPARE(lines.value(0), QByteArray("[Trash Info]"));
            QCOMPARE(lines.value(1), "Path=" + QUrl::toPercentEncoding(file, "/"));
            QVERIFY2(lines.value(2).startsWith("DeletionDate="), info.constData());
            // A copy: the caller removes the original in its own way.
            QVERIFY(QFileInfo::exists(file));
        }
        QCOMPARE(QFileInfo(trash).permissions() & (QFile::ReadGroup | QFile::ReadOther),
                 QFileDevice::Permissions());
    }

    void failureNamesThePath()
    {
        const QString file = m_files->filePath("Spring.dat");
        QVERIFY(FileIo::writeAtomically(file, "x"));
        QVERIFY(FileIo::writeAtomically(m_data->path() + "/Trash", "a file in its place"));
        const Result<Trash::Item> item = Trash::putCopy(file);
        QVERIFY(!item);
        QVERIFY2(item.status().message().contains(m_data->path() + "/Trash"),
                 qPrintable(item.status().message()));
        QVERIFY(!Trash::putCopy(m_files->filePath("missing.dat")));
    }

    void discardTakesBothOut()
    {
        const QString file = m_files->filePath("Spring.dat");
        QVERIFY(FileIo::writeAtomically(file, "x"));
        const Result<Trash::Item> item = Trash::putCopy(file);
        QVERIFY(item);
        QVERIFY(Trash::discard(*item));
        QVERIFY(!QFileInfo::exists(item->file));
        QVERIFY(!QFileInfo::exists(item->info));
        // Gone already: nothing to do, nothing wrong.
        QVERIFY(Trash::discard(*item));
    }

private:
    std::unique_ptr<QTemporaryDir> m_data;
    std::unique_ptr<QTemporaryDir> m_files;
    QByteArray m_saved;
};

QTEST_GUILESS_MAIN(TestTrash)
#include "tst_trash.moc"
