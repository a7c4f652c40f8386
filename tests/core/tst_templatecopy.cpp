#include "core/export/templatecopy.h"
#include "core/gallery/library/templatedecoding.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QByteArray Png =
    QByteArrayLiteral("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\1\0\0\0\1\x08\x06\0\0\0");

void writeFile(const QString& path, const QByteArray& data)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    QCOMPARE(file.write(data), data.size());
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

} // namespace

class TestTemplateCopy : public QObject
{
    Q_OBJECT

private slots:
    void inlinePictures_data();
    void inlinePictures();
    void portablePageCarriesItsPictures();
    void failureLeavesTheWorkFolderEmpty();
};

void TestTemplateCopy::inlinePictures_data()
{
    QTest::addColumn<QString>("folderName");
    QTest::addColumn<QByteArray>("page");
    // DATA stands for the data: URL of the picture a.png.
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("image source") << "p_files" << QByteArray("<img src=\"p_files/a.png\">")
                                  << QByteArray("<img src=\"DATA\">");
    QTest::newRow("unquoted, twice")
        << "p_files" << QByteArray("<img src=p_files/a.png><img src=p_files/a.png>")
        << QByteArray("<img src=DATA><img src=DATA>");
    QTest::newRow("style sheet url()")
        << "p_files" << QByteArray("<td style=\"background:url('p_files/a.png')\">")
        << QByteArray("<td style=\"background:url('DATA')\">");
    QTest::newRow("percent-encoded folder")
        << "my page_files" << QByteArray("<img src=\"my%20page_files/a.png\">")
        << QByteArray("<img src=\"DATA\">");
    QTest::newRow("percent-encoded name")
        << "p_files" << QByteArray("<img src=\"p_files/%61.png\">")
        << QByteArray("<img src=\"DATA\">");
    QTest::newRow("another folder ending alike")
        << "p_files" << QByteArray("<img src=\"bp_files/a.png\">")
        << QByteArray("<img src=\"bp_files/a.png\">");
    QTest::newRow("missing file") << "p_files" << QByteArray("<img src=\"p_files/b.png\">")
                                  << QByteArray("<img src=\"p_files/b.png\">");
    QTest::newRow("markup named as a picture")
        << "p_files" << QByteArray("<iframe src=\"p_files/page.png\">")
        << QByteArray("<iframe src=\"p_files/page.png\">");
    QTest::newRow("climbing out") << "p_files" << QByteArray("<img src=\"p_files/../a.png\">")
                                  << QByteArray("<img src=\"p_files/../a.png\">");
    QTest::newRow("link to the picture") << "p_files" << QByteArray("<img src=\"p_files/ln.png\">")
                                         << QByteArray("<img src=\"p_files/ln.png\">");
}

void TestTemplateCopy::inlinePictures()
{
    QFETCH(QString, folderName);
    QFETCH(QByteArray, page);
    QFETCH(QByteArray, expected);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString images = dir.filePath(folderName);
    QVERIFY(QDir().mkpath(images));
    writeFile(images + "/a.png", Png);
    writeFile(images + "/page.png", "<html><script>alert(1)</script>");
    // Beside the folder, reachable only through a link or by climbing out.
    writeFile(dir.filePath("a.png"), Png);
    QVERIFY(QFile::link(dir.filePath("a.png"), images + "/ln.png"));

    QList<TemplateCopy::Picture> pictures;
    const QByteArray html = TemplateCopy::inlinePictures(page, folderName, images, &pictures);
    expected.replace("DATA", "data:image/png;base64," + Png.toBase64());
    QCOMPARE(html, expected);
    QCOMPARE(pictures.size(), expected.contains("data:") ? 1 : 0);
    if (!pictures.isEmpty()) {
        QCOMPARE(pictures.first().mimeType, QStringLiteral("image/png"));
        QCOMPARE(pictures.first().data, Png);
    }
}

void TestTemplateCopy::portablePageCarriesItsPictures()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString app = dir.filePath("app");
    QVERIFY(QDir().mkpath(app + "/templates"));
    const QByteArray message = readFile(QUILLERY_TEST_DATA "/templateexport/sample.eml");
    QVERIFY(!message.isEmpty());
    writeFile(app + "/templates/Sample.dat", *Module1::packTemplate(message));
    const QString work = dir.filePath("work");
    QVERIFY(QDir().mkpath(work));

    const Result<TemplateCopy::PortablePage> page = TemplateCopy::portablePage(app, "Sample", work);
    QVERIFY2(page, qPrintable(page.status().message()));
    QCOMPARE(page->pictures.size(), 2);
    for (const TemplateCopy::Picture& picture : page->pictures) {
        QCOMPARE(picture.mimeType, QStringLiteral("image/png"));
        QVERIFY(page->html.contains("data:image/png;base64," + picture.data.toBase64()));
    }
    QVERIFY2(!page->html.contains("_files/"), page->html.constData());
    QVERIFY(page->html.contains("<title>Sample</title>"));
    QCOMPARE(entries(work), QStringList());
}

void TestTemplateCopy::failureLeavesTheWorkFolderEmpty()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString app = dir.filePath("app");
    QVERIFY(QDir().mkpath(app + "/templates"));
    writeFile(app + "/templates/Broken.dat", QByteArray("\xff\x00\x00\x00"
                                                        "abc",
                                                        7));
    const QString work = dir.filePath("work");
    QVERIFY(QDir().mkpath(work));
    for (const char* name : {"Broken", "Missing"}) {
        const Result<TemplateCopy::PortablePage> page = TemplateCopy::portablePage(app, name, work);
        QVERIFY(!page);
        QVERIFY2(page.status().message().contains(name), qPrintable(page.status().message()));
        QCOMPARE(entries(work), QStringList());
    }
}

QTEST_GUILESS_MAIN(TestTemplateCopy)
#include "tst_templatecopy.moc"
