#include "core/export/exportpaths.h"
#include "core/export/exportstaging.h"
#include "core/export/templateexport.h"
#include "core/filelimits.h"
#include "core/gallery/library/templatedecoding.h"
#include "core/platform/ownerlock.h"
#include "core/platform/workspace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& data)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    QCOMPARE(file.write(data), data.size());
}

QStringList entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

// Every local file the page refers to, resolved against the page's folder.
QStringList referencedFiles(const QString& pagePath)
{
    const QString page = QString::fromUtf8(readFile(pagePath));
    static const QRegularExpression source(QStringLiteral("src=\"([^\"]+)\""));
    QStringList files;
    for (const QRegularExpressionMatch& match : source.globalMatch(page)) {
        const QUrl url = QUrl(QFileInfo(pagePath).absolutePath() + QLatin1Char('/'))
                             .resolved(QUrl(match.captured(1)));
        files << QDir::cleanPath(url.isLocalFile() || url.scheme().isEmpty()
                                     ? url.path(QUrl::FullyDecoded)
                                     : url.toString());
    }
    return files;
}

// Sets the modification time of `path` to two days ago.
bool age(const QString& path)
{
    const timespec old[2] = {{::time(nullptr) - 2 * 24 * 3600, 0},
                             {::time(nullptr) - 2 * 24 * 3600, 0}};
    return ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), old, 0) == 0;
}

} // namespace

class TestTemplateExport : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void emlIsTheDecodedMessage_data();
    void emlIsTheDecodedMessage();
    void emlReplacesAnAgreedFile();

    void failureWritesNothing_data();
    void failureWritesNothing();
    void readOnlyFolderIsReported_data();
    void readOnlyFolderIsReported();
    void writeFailingPartWayKeepsTheOldFile_data();
    void writeFailingPartWayKeepsTheOldFile();

    void pageComesWithItsImages_data();
    void pageComesWithItsImages();
    void replacedPageTakesItsImagesFolderAlong();
    void replacedPageKeepsTheUsersFiles_data();
    void replacedPageKeepsTheUsersFiles();
    void usersFileNamedLikeANewImageStopsTheExport();
    void referencedImageNames_data();
    void referencedImageNames();
    void damagedMessageIsRefused_data();
    void damagedMessageIsRefused();
    void leftoversOfKilledExportsGo();
    void stagingFolderIsNeverNamed();
    void imagesFolderInTheWayKeepsTheOldPage_data();
    void imagesFolderInTheWayKeepsTheOldPage();
    void pathsSplitAtTheRoot_data();
    void pathsSplitAtTheRoot();
    void pageInTheRootFolder();

    void handoffPreparesAPageWithItsImages();
    void handoffReplacesItsEarlierFolder();
    void handoffOfADamagedTemplateWarns();
    void handoffOfAMissingTemplateWritesNoPage();

private:
    QString out(const QString& name) const
    {
        return m_dir->filePath(QStringLiteral("out/") + name);
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::optional<QByteArray> m_startTmpdir;
    QString m_app;
    QByteArray m_message;
    QByteArray m_library;
};

void TestTemplateExport::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_app = m_dir->filePath(QStringLiteral("app"));
    QVERIFY(QDir().mkpath(m_app + QStringLiteral("/templates")));
    QVERIFY(QDir().mkpath(out(QString())));
    m_message = readFile(QStringLiteral(QUILLERY_TEST_DATA "/templateexport/sample.eml"));
    QVERIFY(!m_message.isEmpty());
    const Result<QByteArray> library = Module1::packTemplate(m_message);
    QVERIFY2(library, qPrintable(library.status().message()));
    m_library = *library;
    writeFile(m_app + QStringLiteral("/templates/Sample.dat"), m_library);
    // Cut off in the middle of its second image.
    const QByteArray truncated = m_message.left(m_message.indexOf("banner.png") + 130);
    writeFile(m_app + QStringLiteral("/templates/Damaged.dat"), *Module1::packTemplate(truncated));
    // The hand-offs' workspace lives in the test's folder.
    m_startTmpdir =
        qEnvironmentVariableIsSet("TMPDIR") ? std::optional(qgetenv("TMPDIR")) : std::nullopt;
    qputenv("TMPDIR", QFile::encodeName(m_dir->path()));
    // Four bytes promising more than follow: a file that cannot be decoded.
    writeFile(m_app + QStringLiteral("/templates/Broken.dat"), QByteArray("\xff\x00\x00\x00"
                                                                          "abc",
                                                                          7));
}

void TestTemplateExport::cleanup()
{
    if (m_startTmpdir)
        qputenv("TMPDIR", *m_startTmpdir);
    else
        qunsetenv("TMPDIR");
    m_dir.reset();
}

void TestTemplateExport::emlIsTheDecodedMessage_data()
{
    QTest::addColumn<QString>("target");
    QTest::newRow("proposed name") << QStringLiteral("Sample.eml");
    QTest::newRow("name ending in .dat") << QStringLiteral("Sample.dat");
    QTest::newRow(".dat inside the name") << QStringLiteral("Sample.dat.eml");
    QTest::newRow("folder name with .dat") << QStringLiteral("old.dat/Sample.eml");
}

void TestTemplateExport::emlIsTheDecodedMessage()
{
    QFETCH(QString, target);
    const QString folder = QFileInfo(out(target)).absolutePath();
    QVERIFY(QDir().mkpath(folder));
    const Status status = TemplateExport::exportEmlTo(m_app, QStringLiteral("Sample"), out(target));
    QVERIFY2(status, qPrintable(status.message()));
    QByteArray written = readFile(out(target));
    if (written.size() == m_message.size() + 2 && written.endsWith("\r\n"))
        written.chop(2);
    QCOMPARE(written, m_message);
    // Nothing beside it: no intermediate file and no ".eml" twin.
    QCOMPARE(entries(folder), QStringList{QFileInfo(target).fileName()});
}

void TestTemplateExport::emlReplacesAnAgreedFile()
{
    writeFile(out(QStringLiteral("Sample.eml")), QByteArray(100000, 'x'));
    QVERIFY(TemplateExport::exportEmlTo(m_app, QStringLiteral("Sample"),
                                        out(QStringLiteral("Sample.eml"))));
    QCOMPARE(readFile(out(QStringLiteral("Sample.eml"))), m_message);
}

void TestTemplateExport::failureWritesNothing_data()
{
    QTest::addColumn<bool>("html");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("expected"); // a part of the message

    for (const bool html : {false, true}) {
        const char* kind = html ? "html: " : "eml: ";
        const QString file = html ? QStringLiteral("Sample.htm") : QStringLiteral("Sample.eml");
        auto row = [&](const char* what) {
            return &QTest::newRow(qPrintable(QLatin1String(kind) + QLatin1String(what)));
        };
        *row("nothing previewed") << html << QString() << file << QStringLiteral("No template");
        *row("missing template") << html << QStringLiteral("Gone") << file
                                 << QStringLiteral("Gone.dat: the template file is missing");
        *row("undecodable template")
            << html << QStringLiteral("Broken") << file
            << QStringLiteral("Broken.dat: the template cannot be decoded");
        *row("name leaving the library") << html << QStringLiteral("../Sample") << file
                                         << QStringLiteral("not a plain file name");
        *row("folder in the way") << html << QStringLiteral("Sample") << QStringLiteral("box")
                                  << QStringLiteral("box: a folder of this name is in the way");
        *row("the library file itself")
            << html << QStringLiteral("Sample") << QStringLiteral("../app/templates/Sample.dat")
            << QStringLiteral("the file being exported");
        *row("target below a file")
            << html << QStringLiteral("Sample") << QStringLiteral("plain.txt/") + file
            << QStringLiteral("plain.txt");
    }
}

void TestTemplateExport::failureWritesNothing()
{
    QFETCH(bool, html);
    QFETCH(QString, name);
    QFETCH(QString, target);
    QFETCH(QString, expected);
    QVERIFY(QDir().mkpath(out(QStringLiteral("box"))));
    writeFile(out(QStringLiteral("plain.txt")), "keep");
    // The file the user agreed to replace must survive a failed export.
    writeFile(out(QStringLiteral("Sample.htm")), "old page");
    writeFile(out(QStringLiteral("Sample.eml")), "old message");
    const QStringList before = entries(out(QString()));

    const Status status = html ? TemplateExport::exportHtmlTo(m_app, name, out(target))
                               : TemplateExport::exportEmlTo(m_app, name, out(target));
    QVERIFY(!status);
    QVERIFY2(status.message().contains(expected), qPrintable(status.message()));
    QCOMPARE(entries(out(QString())), before);
    QCOMPARE(readFile(out(QStringLiteral("Sample.htm"))), QByteArray("old page"));
    QCOMPARE(readFile(out(QStringLiteral("Sample.eml"))), QByteArray("old message"));
    QCOMPARE(readFile(out(QStringLiteral("plain.txt"))), QByteArray("keep"));
    QCOMPARE(readFile(m_app + QStringLiteral("/templates/Sample.dat")), m_library);
    QVERIFY(entries(out(QStringLiteral("box"))).isEmpty());
}

void TestTemplateExport::readOnlyFolderIsReported_data()
{
    QTest::addColumn<bool>("html");
    QTest::newRow("eml") << false;
    QTest::newRow("html") << true;
}

void TestTemplateExport::readOnlyFolderIsReported()
{
    QFETCH(bool, html);
    const QString target = out(html ? QStringLiteral("Sample.htm") : QStringLiteral("Sample.eml"));
    writeFile(target, "old");
    // Readable by anyone: the dropped user keeps root's groups.
    const auto readable = QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadGroup |
                          QFileDevice::ExeGroup | QFileDevice::ReadOther | QFileDevice::ExeOther;
    QVERIFY(QFile::setPermissions(m_dir->path(), readable | QFileDevice::WriteOwner));
    for (const QString& path : {m_app, m_app + QStringLiteral("/templates")})
        QVERIFY(QFile::setPermissions(path, readable));
    QVERIFY(QFile::setPermissions(m_app + QStringLiteral("/templates/Sample.dat"),
                                  QFileDevice::ReadOwner | QFileDevice::ReadGroup |
                                      QFileDevice::ReadOther));
    QVERIFY(QFile::setPermissions(out(QString()), readable));
    Status status = Status::success();
    {
        UnprivilegedScope unprivileged;
        status = html ? TemplateExport::exportHtmlTo(m_app, QStringLiteral("Sample"), target)
                      : TemplateExport::exportEmlTo(m_app, QStringLiteral("Sample"), target);
    }
    QFile::setPermissions(out(QString()), readable | QFileDevice::WriteOwner);
    QVERIFY(!status);
    QVERIFY2(status.message().contains(
                 QDir::toNativeSeparators(m_dir->filePath(QStringLiteral("out")))) &&
                 status.message().contains(QLatin1String("ermission denied")),
             qPrintable(status.message()));
    QCOMPARE(readFile(target), QByteArray("old"));
    QCOMPARE(entries(out(QString())), QStringList{QFileInfo(target).fileName()});
}

void TestTemplateExport::writeFailingPartWayKeepsTheOldFile_data()
{
    readOnlyFolderIsReported_data();
}

void TestTemplateExport::writeFailingPartWayKeepsTheOldFile()
{
    QFETCH(bool, html);
    const QString target = out(html ? QStringLiteral("Sample.htm") : QStringLiteral("Sample.eml"));
    writeFile(target, "old");
    if (html) {
        QVERIFY(QDir().mkpath(out(QStringLiteral("Sample_files"))));
        writeFile(out(QStringLiteral("Sample_files/old.png")), "old image");
    }
    Status status = Status::success();
    {
        // Room for the images, not for the whole page or message.
        FileSizeLimit limit(200);
        status = html ? TemplateExport::exportHtmlTo(m_app, QStringLiteral("Sample"), target)
                      : TemplateExport::exportEmlTo(m_app, QStringLiteral("Sample"), target);
    }
    QVERIFY(!status);
    QVERIFY2(status.message().contains(QDir::toNativeSeparators(target)) &&
                 status.message().contains(QLatin1String("too large")),
             qPrintable(status.message()));
    QCOMPARE(readFile(target), QByteArray("old"));
    if (html) {
        QCOMPARE(entries(out(QString())), (QStringList{"Sample.htm", "Sample_files"}));
        QCOMPARE(entries(out(QStringLiteral("Sample_files"))), QStringList{"old.png"});
    } else {
        QCOMPARE(entries(out(QString())), QStringList{"Sample.eml"});
    }
}

void TestTemplateExport::pageComesWithItsImages_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("imagesFolder");
    QTest::newRow("proposed name")
        << QStringLiteral("Sample.htm") << QStringLiteral("Sample_files");
    QTest::newRow("news.html") << QStringLiteral("news.html") << QStringLiteral("news_files");
    QTest::newRow("Offer.HTM") << QStringLiteral("Offer.HTM") << QStringLiteral("Offer_files");
    QTest::newRow("other extension")
        << QStringLiteral("offer.txt") << QStringLiteral("offer.txt_files");
    QTest::newRow(".htm inside the name")
        << QStringLiteral("a.htm.b.html") << QStringLiteral("a.htm.b_files");
    QTest::newRow("blank, hash and percent")
        << QStringLiteral("Spring #2 100%.htm") << QStringLiteral("Spring #2 100%_files");
    QTest::newRow("folder name with .htm and .dat")
        << QStringLiteral("x.htm.dat/Sample.htm") << QStringLiteral("Sample_files");
}

void TestTemplateExport::pageComesWithItsImages()
{
    QFETCH(QString, target);
    QFETCH(QString, imagesFolder);
    const QString folder = QFileInfo(out(target)).absolutePath();
    QVERIFY(QDir().mkpath(folder));
    const Status status =
        TemplateExport::exportHtmlTo(m_app, QStringLiteral("Sample"), out(target));
    QVERIFY2(status, qPrintable(status.message()));

    const QString fileName = QFileInfo(target).fileName();
    QStringList expected{fileName, imagesFolder};
    expected.sort();
    QCOMPARE(entries(folder), expected);
    const QStringList images = entries(folder + QLatin1Char('/') + imagesFolder);
    QCOMPARE(images.size(), 2);
    QStringList referenced = referencedFiles(out(target));
    referenced.sort();
    QStringList present;
    for (const QString& image : images)
        present << QDir::cleanPath(folder + QLatin1Char('/') + imagesFolder + QLatin1Char('/') +
                                   image);
    QCOMPARE(referenced, present);
    QVERIFY(readFile(out(target)).contains("Caf\xc3\xa9 opening hours"));
}

void TestTemplateExport::replacedPageTakesItsImagesFolderAlong()
{
    QVERIFY(QDir().mkpath(out(QStringLiteral("Sample_files"))));
    writeFile(out(QStringLiteral("Sample_files/stale.png")), "stale");
    writeFile(out(QStringLiteral("Sample.htm")), "<img src=\"Sample_files/stale.png\">");
    QVERIFY(TemplateExport::exportHtmlTo(m_app, QStringLiteral("Sample"),
                                         out(QStringLiteral("Sample.htm"))));
    QCOMPARE(entries(out(QString())), (QStringList{"Sample.htm", "Sample_files"}));
    QVERIFY(!entries(out(QStringLiteral("Sample_files"))).contains(QStringLiteral("stale.png")));
    QCOMPARE(referencedFiles(out(QStringLiteral("Sample.htm"))).size(), 2);
}

// The overwrite question named only the page: what the user put into its
// images folder must survive, also a second export over the first.
void TestTemplateExport::replacedPageKeepsTheUsersFiles_data()
{
    QTest::addColumn<QByteArray>("oldPage");
    QTest::addColumn<QStringList>("oldFiles");
    QTest::addColumn<QStringList>("kept");

    QTest::newRow("a file the page does not use")
        << QByteArray("<img src=\"Sample_files/old.png\">") << QStringList{"old.png", "notes.txt"}
        << QStringList{"notes.txt"};
    QTest::newRow("percent-encoded and css references")
        << QByteArray("<p style=\"background:url('Sample_files/my%20pic.png')\">"
                      "<img srcset=\"Sample_files/a.png 1x, Sample_files/b.png 2x\">")
        << QStringList{"my pic.png", "a.png", "b.png", "c.png"} << QStringList{"c.png"};
    QTest::newRow("a folder of the user's")
        << QByteArray("<img src=\"Sample_files/old.png\">")
        << QStringList{"old.png", "drafts/one.txt"} << QStringList{"drafts"};
    QTest::newRow("another folder's reference is no reference")
        << QByteArray("<img src=\"MySample_files/notes.txt\">") << QStringList{"notes.txt"}
        << QStringList{"notes.txt"};
    QTest::newRow("an empty old page takes nothing")
        << QByteArray() << QStringList{"notes.txt"} << QStringList{"notes.txt"};
}

void TestTemplateExport::replacedPageKeepsTheUsersFiles()
{
    QFETCH(QByteArray, oldPage);
    QFETCH(QStringList, oldFiles);
    QFETCH(QStringList, kept);
    for (const QString& file : oldFiles) {
        const QString path = out(QStringLiteral("Sample_files/") + file);
        QVERIFY(QDir().mkpath(QFileInfo(path).path()));
        writeFile(path, "mine: " + file.toUtf8());
    }
    writeFile(out(QStringLiteral("Sample.htm")), oldPage);

    for (int pass = 0; pass < 2; ++pass) {
        const Status status = TemplateExport::exportHtmlTo(m_app, QStringLiteral("Sample"),
                                                           out(QStringLiteral("Sample.htm")));
        QVERIFY2(status, qPrintable(status.message()));
        QStringList expected = kept + QStringList{"banner.png", "logo.png"};
        expected.sort();
        QCOMPARE(entries(out(QStringLiteral("Sample_files"))), expected);
        for (const QString& file : oldFiles) {
            if (kept.contains(file.section(u'/', 0, 0)))
                QCOMPARE(readFile(out(QStringLiteral("Sample_files/") + file)),
                         "mine: " + file.toUtf8());
        }
        QCOMPARE(entries(out(QString())), (QStringList{"Sample.htm", "Sample_files"}));
    }
}

void TestTemplateExport::usersFileNamedLikeANewImageStopsTheExport()
{
    QVERIFY(QDir().mkpath(out(QStringLiteral("Sample_files"))));
    writeFile(out(QStringLiteral("Sample_files/logo.png")), "my own logo");
    writeFile(out(QStringLiteral("Sample.htm")), "<p>no pictures</p>");

    const Status status = TemplateExport::exportHtmlTo(m_app, QStringLiteral("Sample"),
                                                       out(QStringLiteral("Sample.htm")));
    QVERIFY(!status);
    QVERIFY2(status.message().contains(out(QStringLiteral("Sample_files/logo.png"))),
             qPrintable(status.message()));
    QCOMPARE(entries(out(QString())), (QStringList{"Sample.htm", "Sample_files"}));
    QCOMPARE(entries(out(QStringLiteral("Sample_files"))), QStringList{"logo.png"});
    QCOMPARE(readFile(out(QStringLiteral("Sample_files/logo.png"))), QByteArray("my own logo"));
    QCOMPARE(readFile(out(QStringLiteral("Sample.htm"))), QByteArray("<p>no pictures</p>"));
}

void TestTemplateExport::referencedImageNames_data()
{
    QTest::addColumn<QByteArray>("page");
    QTest::addColumn<QStringList>("names");

    QTest::newRow("attributes") << QByteArray("<img src=\"x_files/a.png\"><img src='x_files/b.png'>"
                                              "<td background=x_files/c.png>")
                                << QStringList{"a.png", "b.png", "c.png"};
    QTest::newRow("css") << QByteArray("url(x_files/a.png) url(\"x_files/b.png\")")
                         << QStringList{"a.png", "b.png"};
    QTest::newRow("srcset") << QByteArray("srcset=\"x_files/a.png 1x,x_files/b.png 2x\"")
                            << QStringList{"a.png", "b.png"};
    QTest::newRow("percent-encoded")
        << QByteArray("src=\"x%20y_files/caf%C3%A9%20%231.png\"") << QStringList{"café #1.png"};
    QTest::newRow("query and fragment end the name")
        << QByteArray("src=\"x_files/a.png?v=2\" href=\"x_files/b.html#top\"")
        << QStringList{"a.png", "b.html"};
    QTest::newRow("another folder") << QByteArray("src=\"box_files/a.png\"") << QStringList();
    QTest::newRow("the folder alone") << QByteArray("href=\"x_files/\"") << QStringList();
}

void TestTemplateExport::referencedImageNames()
{
    QFETCH(QByteArray, page);
    QFETCH(QStringList, names);
    const QString folder =
        QString::fromUtf8(QTest::currentDataTag()) == QLatin1String("percent-encoded")
            ? QStringLiteral("x y_files")
            : QStringLiteral("x_files");
    QStringList found = ExportPaths::referencedImageNames(page, folder).values();
    found.sort();
    names.sort();
    QCOMPARE(found, names);
}

void TestTemplateExport::damagedMessageIsRefused_data()
{
    QTest::addColumn<bool>("fromLibrary");
    QTest::newRow("library file") << true;
    QTest::newRow("message in memory") << false;
}

void TestTemplateExport::damagedMessageIsRefused()
{
    QFETCH(bool, fromLibrary);
    writeFile(out(QStringLiteral("Sample.htm")), "old page");
    const QString source = fromLibrary ? m_app + QStringLiteral("/templates/Damaged.dat")
                                       : out(QStringLiteral("cut.eml"));
    const Status status =
        fromLibrary
            ? TemplateExport::exportHtmlTo(m_app, QStringLiteral("Damaged"),
                                           out(QStringLiteral("Sample.htm")))
            : TemplateExport::exportHtmlMessageTo(m_message.left(m_message.size() / 2),
                                                  out(QStringLiteral("Sample.htm")), source);
    QVERIFY(!status);
    QVERIFY2(status.message().contains(source), qPrintable(status.message()));
    QCOMPARE(entries(out(QString())), QStringList{"Sample.htm"});
    QCOMPARE(readFile(out(QStringLiteral("Sample.htm"))), QByteArray("old page"));
}

void TestTemplateExport::leftoversOfKilledExportsGo()
{
    // An export killed half-way, as a crash leaves it: its folder is still marked.
    const pid_t child = fork();
    if (child == 0) {
        auto* staging = new StagingFolder(out(QString()));
        writeFile(staging->filePath(QStringLiteral("page")), "half");
        _exit(staging->status() ? 0 : 1);
    }
    QVERIFY(child > 0);
    int result = 0;
    QCOMPARE(waitpid(child, &result, 0), child);
    QCOMPARE(WEXITSTATUS(result), 0);
    const QStringList killed = entries(out(QString()));
    QCOMPARE(killed.size(), 1);
    QVERIFY(killed.first().startsWith(QLatin1String(".quillery-export-")));

    // An export running now in another process, another export's folder too
    // young to judge, one abandoned long ago, and what is not an export's.
    QVERIFY(QDir().mkpath(out(QStringLiteral(".quillery-export-Run123"))));
    const Result<OwnerLock> running =
        OwnerLock::tryTake(out(QStringLiteral(".quillery-export-Run123/owner.lock")), true);
    QVERIFY(running);
    QVERIFY(running->isHeld());
    QVERIFY(QDir().mkpath(out(QStringLiteral(".quillery-export-New123"))));
    QVERIFY(QDir().mkpath(out(QStringLiteral(".quillery-export-Old123"))));
    QVERIFY(age(out(QStringLiteral(".quillery-export-Old123"))));
    QVERIFY(QDir().mkpath(out(QStringLiteral(".quillery-export-notes"))));
    QVERIFY(age(out(QStringLiteral(".quillery-export-notes"))));
    writeFile(out(QStringLiteral(".quillery-export-File12")), "mine");

    QVERIFY(TemplateExport::exportHtmlTo(m_app, QStringLiteral("Sample"),
                                         out(QStringLiteral("Sample.htm"))));
    QCOMPARE(entries(out(QString())),
             (QStringList{".quillery-export-File12", ".quillery-export-New123",
                          ".quillery-export-Run123", ".quillery-export-notes", "Sample.htm",
                          "Sample_files"}));
}

void TestTemplateExport::stagingFolderIsNeverNamed()
{
    writeFile(out(QStringLiteral("Sample.htm")), "old");
    Status status = Status::success();
    {
        // No room even for the images.
        FileSizeLimit limit(10);
        status = TemplateExport::exportHtmlTo(m_app, QStringLiteral("Sample"),
                                              out(QStringLiteral("Sample.htm")));
    }
    QVERIFY(!status);
    QVERIFY2(status.message().contains(out(QStringLiteral("Sample.htm"))) &&
                 !status.message().contains(QLatin1String(".quillery-export")),
             qPrintable(status.message()));
    QCOMPARE(entries(out(QString())), QStringList{"Sample.htm"});
}

void TestTemplateExport::imagesFolderInTheWayKeepsTheOldPage_data()
{
    QTest::addColumn<bool>("pageExists");
    QTest::addColumn<bool>("folderInTheWay");
    QTest::newRow("file in the way of a replaced page") << true << false;
    QTest::newRow("file in the way of a new page") << false << false;
    QTest::newRow("someone else's folder") << false << true;
}

void TestTemplateExport::imagesFolderInTheWayKeepsTheOldPage()
{
    QFETCH(bool, pageExists);
    QFETCH(bool, folderInTheWay);
    if (pageExists)
        writeFile(out(QStringLiteral("news.html")), "old page");
    if (folderInTheWay) {
        QVERIFY(QDir().mkpath(out(QStringLiteral("news_files"))));
        writeFile(out(QStringLiteral("news_files/mine.txt")), "mine");
    } else {
        writeFile(out(QStringLiteral("news_files")), "mine");
    }
    const QStringList before = entries(out(QString()));
    const Status status = TemplateExport::exportHtmlTo(m_app, QStringLiteral("Sample"),
                                                       out(QStringLiteral("news.html")));
    QVERIFY(!status);
    QVERIFY2(
        status.message().contains(QDir::toNativeSeparators(out(QStringLiteral("news_files")))) &&
            status.message().contains(QLatin1String("in the way")),
        qPrintable(status.message()));
    QCOMPARE(entries(out(QString())), before);
    if (pageExists)
        QCOMPARE(readFile(out(QStringLiteral("news.html"))), QByteArray("old page"));
    QCOMPARE(readFile(out(folderInTheWay ? QStringLiteral("news_files/mine.txt")
                                         : QStringLiteral("news_files"))),
             QByteArray("mine"));
}

void TestTemplateExport::pathsSplitAtTheRoot_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("imagesFolder");
    QTest::newRow("root") << "/Sample.htm"
                          << "/"
                          << "Sample.htm"
                          << "/Sample_files";
    QTest::newRow("nested") << "/home/a b/news.html"
                            << "/home/a b"
                            << "news.html"
                            << "/home/a b/news_files";
    QTest::newRow("no separator") << "Sample.htm" << QString() << QString() << QString();
}

void TestTemplateExport::pathsSplitAtTheRoot()
{
    QFETCH(QString, path);
    QFETCH(QString, folder);
    QFETCH(QString, fileName);
    QFETCH(QString, imagesFolder);
    QCOMPARE(ExportPaths::GetPathInfoFromPath(path), folder);
    QCOMPARE(ExportPaths::GetFilenameFromPath(path), fileName);
    if (!imagesFolder.isEmpty())
        QCOMPARE(ExportPaths::imagesFolderPath(path), imagesFolder);
}

void TestTemplateExport::pageInTheRootFolder()
{
    if (geteuid() != 0)
        QSKIP("needs the right to change the root folder");
    // A child process whose root folder is a fresh folder of ours.
    const QString root = m_dir->path();
    const pid_t child = fork();
    if (child == 0) {
        if (chroot(QFile::encodeName(root).constData()) != 0 || chdir("/") != 0)
            _exit(2);
        const Status status = TemplateExport::exportHtmlTo(
            QStringLiteral("/app"), QStringLiteral("Sample"), QStringLiteral("/Sample.htm"));
        _exit(status ? 0 : 1);
    }
    QVERIFY(child > 0);
    int result = 0;
    QCOMPARE(waitpid(child, &result, 0), child);
    QVERIFY(WIFEXITED(result));
    QCOMPARE(WEXITSTATUS(result), 0);
    QVERIFY(QFileInfo(root + QStringLiteral("/Sample.htm")).isFile());
    QCOMPARE(entries(root + QStringLiteral("/Sample_files")).size(), 2);
    for (const QString& image : referencedFiles(root + QStringLiteral("/Sample.htm")))
        QVERIFY2(QFileInfo(image).isFile(), qPrintable(image));
}

void TestTemplateExport::handoffPreparesAPageWithItsImages()
{
    QString page;
    QString warning;
    const Status status =
        TemplateExport::prepareHandoff(m_app, QStringLiteral("Sample"), &page, &warning);
    QVERIFY2(status, qPrintable(status.message()));
    QCOMPARE(warning, QString());
    const QString own = modGetDirs::ensureHandoffFolder().valueOr(QString());
    QVERIFY(!own.isEmpty());
    const QString folder = own + QStringLiteral("/Sample");
    QCOMPARE(QFileInfo(page).absolutePath(), folder);
    QVERIFY2(QRegularExpression(QStringLiteral("^msg\\d{1,4}\\.html$"))
                 .match(QFileInfo(page).fileName())
                 .hasMatch(),
             qPrintable(page));
    QVERIFY(QFileInfo(folder + QStringLiteral("/Sample.dat")).isFile());
    QByteArray message = readFile(folder + QStringLiteral("/Sample.eml"));
    if (message.endsWith("\r\n") && message.size() == m_message.size() + 2)
        message.chop(2);
    QCOMPARE(message, m_message);
    const QStringList images = referencedFiles(page);
    QCOMPARE(images.size(), 2);
    for (const QString& image : images) {
        QVERIFY2(image.startsWith(folder + QLatin1Char('/')), qPrintable(image));
        QVERIFY2(QFileInfo(image).isFile(), qPrintable(image));
    }
}

void TestTemplateExport::handoffReplacesItsEarlierFolder()
{
    QString first;
    QString second;
    QString warning;
    QVERIFY(TemplateExport::prepareHandoff(m_app, QStringLiteral("Sample"), &first, &warning));
    QVERIFY(TemplateExport::prepareHandoff(m_app, QStringLiteral("Sample"), &second, &warning));
    const QString folder = QFileInfo(second).absolutePath();
    QCOMPARE(QFileInfo(first).absolutePath(), folder);
    // One copy of everything, not another image beside each earlier one.
    QStringList expected{"Sample.dat", "Sample.eml", "banner.png", "logo.png",
                         QFileInfo(second).fileName()};
    expected.sort();
    QCOMPARE(entries(folder), expected);
    // Nothing else in this copy's hand-off folder: no staging folder, no old folder.
    QCOMPARE(entries(QFileInfo(folder).absolutePath()), QStringList{"Sample"});
}

void TestTemplateExport::handoffOfADamagedTemplateWarns()
{
    QString page;
    QString warning;
    const Status status =
        TemplateExport::prepareHandoff(m_app, QStringLiteral("Damaged"), &page, &warning);
    QVERIFY2(status, qPrintable(status.message()));
    QVERIFY(QFileInfo(page).isFile());
    QVERIFY(readFile(page).contains("Caf\xc3\xa9 opening hours"));
    QVERIFY2(warning.contains(QLatin1String("cut off")) &&
                 warning.contains(QFileInfo(page).absolutePath()) &&
                 !warning.contains(QLatin1String("staging")),
             qPrintable(warning));
}

void TestTemplateExport::handoffOfAMissingTemplateWritesNoPage()
{
    QString page;
    QString warning;
    const Status status =
        TemplateExport::prepareHandoff(m_app, QStringLiteral("Gone"), &page, &warning);
    QVERIFY(!status);
    QVERIFY2(status.message().contains(QLatin1String("Gone.dat")), qPrintable(status.message()));
    QVERIFY(page.isEmpty());
    QVERIFY(!QFileInfo::exists(m_dir->filePath(QStringLiteral("QYX/rp"))));
}

QTEST_GUILESS_MAIN(TestTemplateExport)
#include "tst_templateexport.moc"
