#include "core/gallery/userlibrary/filechanges.h"
#include "core/platform/fileio.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestFileChanges : public QObject
{
    Q_OBJECT

private slots:
    void rollbackNamesWhatItCannotPutBack_data();
    void rollbackNamesWhatItCannotPutBack();
};

namespace {

enum class Change { Rewrite, Create, Rename, Remove };

// Makes `path` a folder that holds a file: no file can be written, removed or
// renamed onto it.
bool block(const QString& path)
{
    QFile::remove(path);
    return QDir().mkpath(path + "/inside") &&
           FileIo::writeAtomically(path + "/inside/file", "x").ok();
}

} // namespace

void TestFileChanges::rollbackNamesWhatItCannotPutBack_data()
{
    QTest::addColumn<Change>("change");
    QTest::addColumn<bool>("blocked");
    // The path a change leaves for the rollback to put back; blocked, it
    // cannot be.
    QTest::newRow("rewritten file") << Change::Rewrite << true;
    QTest::newRow("created file") << Change::Create << true;
    QTest::newRow("renamed file") << Change::Rename << true;
    QTest::newRow("removed file") << Change::Remove << true;
    QTest::newRow("nothing in the way") << Change::Rewrite << false;
}

void TestFileChanges::rollbackNamesWhatItCannotPutBack()
{
    QFETCH(Change, change);
    QFETCH(bool, blocked);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString other = dir.filePath("other.txt");
    const QString path = dir.filePath("file.txt");
    QVERIFY(FileIo::writeAtomically(other, "other before"));
    if (change != Change::Create)
        QVERIFY(FileIo::writeAtomically(path, "before"));

    FileChanges changes;
    QVERIFY(changes.write(other, "other after"));
    switch (change) {
    case Change::Rewrite:
    case Change::Create:
        QVERIFY(changes.write(path, "after"));
        break;
    case Change::Rename:
        QVERIFY(changes.rename(path, dir.filePath("renamed.txt")));
        break;
    case Change::Remove:
        QVERIFY(changes.remove(path));
        break;
    }
    if (blocked)
        QVERIFY(block(path));

    const Status undone = changes.rollback();
    // The change in the way does not keep the others from being put back.
    QCOMPARE(FileIo::readAll(other).valueOr({}), QByteArray("other before"));
    if (!blocked) {
        QVERIFY2(undone.ok(), qPrintable(undone.message()));
        QCOMPARE(FileIo::readAll(path).valueOr({}), QByteArray("before"));
        return;
    }
    QVERIFY(!undone);
    QVERIFY2(undone.message().contains(QDir::toNativeSeparators(path)),
             qPrintable(undone.message()));
    QVERIFY2(!undone.message().contains("other.txt"), qPrintable(undone.message()));
}

QTEST_GUILESS_MAIN(TestFileChanges)
#include "tst_filechanges.moc"
