#include "core/librarytool.h"
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

QStringList entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    QCOMPARE(file.write(content), content.size());
}

const QString Sample = QStringLiteral(QUILLERY_TEST_DATA "/templateexport/sample.eml");
const QString Truncated = QStringLiteral(QUILLERY_TEST_DATA "/mime/truncated.eml");

} // namespace

// The library tool's "export" is the window's "> html": the same rules, the
// same staging, nothing written on a failure.
class TestLibraryToolExport : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }

    void failedExportWritesNothing_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("inTheWay"); // "file", "folder" or empty
        QTest::addColumn<QString>("expected");

        QTest::newRow("damaged message") << Truncated << QString() << "truncated.eml";
        QTest::newRow("file in the way of the images folder")
            << Sample << "file"
            << "page_files: a file of this name is in the way";
        QTest::newRow("folder of no page in the way")
            << Sample << "folder"
            << "page_files: a folder of this name is in the way";
        QTest::newRow("missing message") << m_missing << QString() << "none.eml";
    }

    void failedExportWritesNothing()
    {
        QFETCH(QString, message);
        QFETCH(QString, inTheWay);
        QFETCH(QString, expected);
        if (inTheWay == "file")
            writeFile(m_dir->filePath("page_files"), "mine");
        if (inTheWay == "folder") {
            QVERIFY(QDir().mkdir(m_dir->filePath("page_files")));
            writeFile(m_dir->filePath("page_files/theirs.txt"), "theirs");
        }
        const QStringList before = entries(m_dir->path());

        const ToolRun run = runTool({"export", message, "page.htm"}, m_dir->path());

        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(expected), qPrintable(run.err));
        QCOMPARE(entries(m_dir->path()), before);
        if (inTheWay == "file")
            QCOMPARE(readFile(m_dir->filePath("page_files")), QByteArray("mine"));
        if (inTheWay == "folder")
            QCOMPARE(entries(m_dir->filePath("page_files")), QStringList{"theirs.txt"});
    }

    void exportRefusesToReplaceItsMessage()
    {
        QVERIFY(QFile::copy(Sample, m_dir->filePath("letter.htm")));
        const ToolRun run = runTool({"export", "letter.htm", "letter.htm"}, m_dir->path());
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains("the file being exported"), qPrintable(run.err));
        QCOMPARE(readFile(m_dir->filePath("letter.htm")), readFile(Sample));
        QCOMPARE(entries(m_dir->path()), QStringList{"letter.htm"});
    }

    void exportAgainReplacesThePageAndItsImages()
    {
        for (int pass = 0; pass < 2; ++pass) {
            const ToolRun run = runTool({"export", Sample, "page.htm"}, m_dir->path());
            QVERIFY2(run.exitCode == 0, qPrintable(run.err));
            QCOMPARE(entries(m_dir->path()), (QStringList{"page.htm", "page_files"}));
            QCOMPARE(entries(m_dir->filePath("page_files")),
                     (QStringList{"banner.png", "logo.png"}));
        }
    }

    // An export killed at any of its moves leaves the user's own file (one
    // the page does not use) where the next export finds and keeps it.
    void killedExportLosesNoUserFile_data()
    {
        QTest::addColumn<int>("move");
        QTest::newRow("images folder set aside") << 1;
        QTest::newRow("user's file moved across") << 2;
        QTest::newRow("new images folder in place") << 3;
        QTest::newRow("page in place") << 4;
    }

    void killedExportLosesNoUserFile()
    {
        QFETCH(int, move);
        ToolRun run = runTool({"export", Sample, "page.htm"}, m_dir->path());
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        writeFile(m_dir->filePath("page_files/notes.txt"), "mine");

        run = runTool({"export", Sample, "page.htm"}, m_dir->path(),
                      QStringLiteral("export-move:%1").arg(move));
        QVERIFY2(run.killed, qPrintable(run.err));
        run = runTool({"export", Sample, "page.htm"}, m_dir->path());
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));

        QCOMPARE(entries(m_dir->path()), (QStringList{"page.htm", "page_files"}));
        QCOMPARE(entries(m_dir->filePath("page_files")),
                 (QStringList{"banner.png", "logo.png", "notes.txt"}));
        QCOMPARE(readFile(m_dir->filePath("page_files/notes.txt")), QByteArray("mine"));
    }

    void pageOfADamagedMessageWarns()
    {
        const ToolRun run = runTool({"page", Truncated, "out"}, m_dir->path());
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains("warning") && run.err.contains("truncated"), qPrintable(run.err));
        QVERIFY(readFile(m_dir->filePath("out/msg.html")).contains("logo.png"));
        QVERIFY(QFileInfo(m_dir->filePath("out/logo.png")).isFile());
    }

    void exportServiceWritesTheZipAndItsReport_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("said");

        QTest::newRow("Brevo, images in the archive")
            << QStringList{"--service", "brevo"} << 0 << "images: ";
        QTest::newRow("SendGrid warns of the web version")
            << QStringList{"--service", "sendgrid"} << 0
            << "warning: SendGrid has no tag for [web_version_url]";
        QTest::newRow("images at an address")
            << QStringList{"--images-at", "https://cdn.example.com/a"} << 0 << "page: ";
        QTest::newRow("plain http refused")
            << QStringList{"--images-at", "http://cdn.example.com/a"} << 1 << "https://";
        QTest::newRow("unknown service")
            << QStringList{"--service", "nope"} << 2 << "one of: generic, mailchimp";
    }

    void exportServiceWritesTheZipAndItsReport()
    {
        QFETCH(QStringList, options);
        QFETCH(int, exitCode);
        QFETCH(QString, said);
        const QString footer = QStringLiteral(QUILLERY_TEST_DATA "/serviceexport/footer.eml");
        const ToolRun run =
            runTool(QStringList{"export-service", footer, "news.zip"} + options, m_dir->path());
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2((run.out + run.err).contains(said), qPrintable(run.out + run.err));
        if (exitCode != 0) {
            QVERIFY(entries(m_dir->path()).isEmpty());
            return;
        }
        QCOMPARE(entries(m_dir->path()), QStringList{"news.zip"});
        QProcess unzip;
        unzip.start(QStringLiteral("unzip"), {QStringLiteral("-t"), m_dir->filePath("news.zip")});
        QVERIFY(unzip.waitForFinished(30000));
        QVERIFY2(unzip.exitCode() == 0, unzip.readAllStandardOutput().constData());
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    const QString m_missing = QStringLiteral(QUILLERY_TEST_DATA "/mime/none.eml");
};

QTEST_GUILESS_MAIN(TestLibraryToolExport)
#include "tst_librarytoolexport.moc"
