#include "core/gallery/library/templatedecoding.h"
#include "core/librarytool.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        qFatal("cannot write fixture %s", qPrintable(path));
}

QByteArray pack(const QByteArray& message)
{
    const Result<QByteArray> packed = Module1::packTemplate(message);
    if (!packed)
        qFatal("fixture message does not pack");
    return *packed;
}

QByteArray message(const QByteArray& subject)
{
    return "From: news@example.com\r\nSubject: " + subject +
           "\r\nMIME-Version: 1.0\r\nContent-Type: text/html; charset=utf-8\r\n\r\n"
           "<html><body><p>quillbook &gt; 3</p></body></html>\r\n";
}

const QByteArray MainPage = "<html><body>\n"
                            "<a href=\"#Offer\"><img src=\"offer.png\" alt=\"Offer\"></a>\n"
                            "<a href=\"#Summer%20Sale\">Summer Sale</a>\n"
                            "<a href=\"#Offer\">Offer again</a>\n"
                            "<a href=\"#Tips &amp; Tricks\">Tips</a>\n"
                            "<a href=\"https://example.com/\">our site</a>\n"
                            "</body></html>\n";
const QByteArray TravelPage = R"(<html><body><a href="#Trip">Trip</a></body></html>)";

// A library the gallery opens without a fault: two categories, four templates,
// linked plainly, percent-encoded and with a character reference.
void makeGoodLibrary(const QString& folder)
{
    QDir dir(folder);
    dir.mkpath("categories");
    dir.mkpath("templates");
    writeFile(dir.filePath("categories/0Main.html"), MainPage);
    writeFile(dir.filePath("categories/Travel.html"), TravelPage);
    writeFile(dir.filePath("categories/offer.png"), "the Offer thumbnail");
    for (const char* name : {"Offer", "Summer Sale", "Tips & Tricks", "Trip"})
        writeFile(dir.filePath(QStringLiteral("templates/%1.dat").arg(name)), pack(message(name)));
}

QByteArray withCount(qint32 count, const QByteArray& data)
{
    QByteArray file(4, Qt::Uninitialized);
    qToLittleEndian(count, file.data());
    return file + data;
}

} // namespace

class TestLibraryTool : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void usage_data();
    void usage();
    void unpackWritesTheMessage();
    void unpackOfABrokenFileWritesNothing_data();
    void unpackOfABrokenFileWritesNothing();
    void unpackNeverOverwritesItsInput();
    void packRoundTrip();
    void packRefusalWritesNothing();
    void checkGoodLibrary();
    void checkListsLinksToReplace();
    void checkReportsEachProblem_data();
    void checkReportsEachProblem();
    void checkSaysWhatAThumbnailIs_data();
    void checkSaysWhatAThumbnailIs();
    void checkReportsALibraryFolderLinkedOut_data();
    void checkReportsALibraryFolderLinkedOut();
};

void TestLibraryTool::usage_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("outText");
    QTest::addColumn<QString>("errText");
    QTest::newRow("no arguments") << QStringList{} << 2 << ""
                                  << "Usage: quillery-library";
    QTest::newRow("--help") << QStringList{"--help"} << 0 << "Usage: quillery-library"
                            << "";
    QTest::newRow("unknown command") << QStringList{"frob"} << 2 << ""
                                     << "unknown command 'frob'";
    QTest::newRow("unpack, one argument") << QStringList{"unpack", "a.dat"} << 2 << ""
                                          << "usage: quillery-library unpack";
    QTest::newRow("pack, three arguments") << QStringList{"pack", "a", "b", "c"} << 2 << ""
                                           << "usage: quillery-library pack";
    QTest::newRow("check, no folder") << QStringList{"check"} << 2 << ""
                                      << "usage: quillery-library check";
    QTest::newRow("check, two folders") << QStringList{"check", "a", "b"} << 2 << ""
                                        << "usage: quillery-library check LIBRARY_FOLDER";
    QTest::newRow("check, unknown option") << QStringList{"check", "a", "--mail"} << 2 << ""
                                           << "[--no-mail-programs]";
}

void TestLibraryTool::usage()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, outText);
    QFETCH(QString, errText);
    const ToolRun run = runTool(arguments);
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY2(run.out.contains(outText), qPrintable(run.out));
    QVERIFY2(run.err.contains(errText), qPrintable(run.err));
}

void TestLibraryTool::unpackWritesTheMessage()
{
    QTemporaryDir dir;
    const QString source = dir.filePath("Offer.dat");
    const QByteArray packed = pack(message("Offer"));
    writeFile(source, packed);
    const ToolRun run = runTool({"unpack", source, dir.filePath("Offer.eml")});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.err, QString());
    QCOMPARE(readFile(dir.filePath("Offer.eml")), message("Offer"));
    QCOMPARE(readFile(source), packed);
}

void TestLibraryTool::unpackOfABrokenFileWritesNothing_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("outputExists");
    QTest::addColumn<QString>("reason");
    const QByteArray packed = pack(message("Offer"));
    QTest::newRow("truncated") << packed.left(packed.size() - 1) << false << "truncated";
    QTest::newRow("truncated, old output kept") << packed.left(30) << true << "truncated";
    QTest::newRow("negative count") << withCount(-7, "abcdefg") << false << "negative count";
    QTest::newRow("shorter than the count") << QByteArray("ab") << false << "truncated";
}

void TestLibraryTool::unpackOfABrokenFileWritesNothing()
{
    QFETCH(QByteArray, file);
    QFETCH(bool, outputExists);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString source = dir.filePath("Broken.dat");
    const QString target = dir.filePath("Broken.eml");
    writeFile(source, file);
    if (outputExists)
        writeFile(target, "previous message");

    const ToolRun run = runTool({"unpack", source, target});
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains(source) && run.err.contains(reason), qPrintable(run.err));
    QCOMPARE(readFile(target), outputExists ? QByteArray("previous message") : "<missing>");
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), outputExists ? 2 : 1);
}

void TestLibraryTool::unpackNeverOverwritesItsInput()
{
    QTemporaryDir dir;
    const QString source = dir.filePath("Offer.dat");
    const QByteArray packed = pack(message("Offer"));
    writeFile(source, packed);
    const ToolRun run = runTool({"unpack", source, dir.path() + "/./Offer.dat"});
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains("library file itself"), qPrintable(run.err));
    QCOMPARE(readFile(source), packed);

    const ToolRun missing = runTool({"unpack", dir.filePath("Nope.dat"), dir.filePath("Nope.eml")});
    QCOMPARE(missing.exitCode, 1);
    QVERIFY2(missing.err.contains(dir.filePath("Nope.dat")), qPrintable(missing.err));
    QVERIFY(!QFile::exists(dir.filePath("Nope.eml")));
}

void TestLibraryTool::packRoundTrip()
{
    QTemporaryDir dir;
    const QByteArray original = message("Round trip");
    writeFile(dir.filePath("in.eml"), original);
    QCOMPARE(runTool({"pack", dir.filePath("in.eml"), dir.filePath("t.dat")}).exitCode, 0);
    QCOMPARE(runTool({"unpack", dir.filePath("t.dat"), dir.filePath("out.eml")}).exitCode, 0);
    QCOMPARE(readFile(dir.filePath("out.eml")), original);
    QCOMPARE(readFile(dir.filePath("t.dat")), pack(original));
}

void TestLibraryTool::packRefusalWritesNothing()
{
    QTemporaryDir dir;
    writeFile(dir.filePath("in.eml"), "Subject: 20\xb0 off\r\n\r\nbody");
    const ToolRun run = runTool({"pack", dir.filePath("in.eml"), dir.filePath("t.dat")});
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains(dir.filePath("in.eml")) && run.err.contains("0xB0") &&
                 run.err.contains("offset 11"),
             qPrintable(run.err));
    QVERIFY(!QFile::exists(dir.filePath("t.dat")));
}

void TestLibraryTool::checkGoodLibrary()
{
    QTemporaryDir dir;
    makeGoodLibrary(dir.path());
    const ToolRun run = runTool({"check", dir.path()});
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.out.contains("no problems"), qPrintable(run.out));
}

void TestLibraryTool::checkListsLinksToReplace()
{
    QTemporaryDir dir;
    makeGoodLibrary(dir.path());
    const QByteArray offer =
        "From: news@example.com\r\nSubject: Offer\r\nMIME-Version: 1.0\r\n"
        "Content-Type: text/html; charset=utf-8\r\n\r\n"
        "<html><body>\r\n<a href=\"https://shop.example/sale\">See the sale</a>\r\n"
        "<a href=\"https://www.real-shop.ie/\">Our shop</a></body></html>\r\n";
    writeFile(dir.filePath("templates/Offer.dat"), pack(offer));
    const ToolRun run = runTool({"check", dir.path()});
    // A sender's to-do list, not a fault of the library.
    QCOMPARE(run.exitCode, 0);
    const QString expected =
        QDir(dir.path()).filePath("templates/Offer.dat") +
        ": 1 link to replace before sending\n"
        "    HTML line 2: https://shop.example/sale (\u201cSee the sale\u201d)\n";
    QVERIFY2(run.out.contains(expected), qPrintable(run.out));
    // Only the template with such a link is listed for it.
    QVERIFY2(!run.out.contains(QDir(dir.path()).filePath("templates/Trip.dat") + ": 1 link"),
             qPrintable(run.out));
    QCOMPARE(run.out.count("to replace before sending"), 1);
    QVERIFY2(run.out.contains("no problems"), qPrintable(run.out));
}

void TestLibraryTool::checkReportsEachProblem_data()
{
    // Each row breaks the good library in one way: writes a file, or removes
    // one when the content is null.
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("report");
    const QByteArray trip = pack(message("Trip"));
    QTest::newRow("missing template") << "templates/Trip.dat" << QByteArray()
                                      << R"(Travel.html: link "#Trip" (line 1): the template)";
    QTest::newRow("truncated template")
        << "templates/Trip.dat" << trip.left(20) << "Trip.dat: truncated: the count says";
    QTest::newRow("undecodable template linked")
        << "templates/Trip.dat" << withCount(-1, "x")
        << R"(Travel.html: link "#Trip" (line 1): the template does not decode)";
    QTest::newRow("colour before the first link")
        << "categories/Travel.html"
        << QByteArray(R"(<body style="color:#333"><a href="#Trip">Trip</a>)")
        << R"(the first "#" (line 1) is not a template link; the gallery would preview )";
    QTest::newRow("first link not readable as a name")
        << "categories/Travel.html" << QByteArray("<a href='#Trip'>Trip</a> \"")
        << R"(reads as "Trip'>Trip</a> " when the category is chosen but "Trip" when clicked)";
    QTest::newRow("page with no link")
        << "categories/Travel.html" << QByteArray("<html></html>") << "links no template";
    QTest::newRow("empty link") << "categories/Travel.html"
                                << QByteArray(R"(<a href="#Trip">Trip</a> <a href="#">top</a>)")
                                << R"(link "#" (line 1): names no template)";
    QTest::newRow("name that escapes")
        << "categories/Travel.html" << QByteArray(R"(<a href="#../../etc/passwd">x</a>)")
        << "not a plain template name";
    QTest::newRow("digit inside the name")
        << "categories/Top10.html" << TravelPage
        << R"(Top10.html: cannot be opened from the category list: the entry "Top" opens 1Top.html)";
    QTest::newRow("upper-case extension")
        << "categories/BUSINESS.HTML" << TravelPage << "must be \".html\" in lower case";
    QTest::newRow("same category twice") << "categories/Main.html" << MainPage
                                         << "0Main.html: cannot be opened from the category "
                                            "list: the entry \"Main\" opens Main.html";
    QTest::newRow("no categories folder")
        << "categories" << QByteArray() << "categories: no categories folder";
    QTest::newRow("no templates folder") << "templates" << QByteArray() << "no templates folder";
    QTest::newRow("script on a page")
        << "categories/Travel.html" << QByteArray("<a href=\"#Trip\" onclick=\"go()\">Trip</a>")
        << "Travel.html: line 1: runs a script: the event handler onclick";
    QTest::newRow("missing thumbnail") << "categories/offer.png" << QByteArray()
                                       << R"(0Main.html: image "offer.png" (line 2) is missing)";
}

void TestLibraryTool::checkReportsEachProblem()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, content);
    QFETCH(QString, report);
    QTemporaryDir dir;
    makeGoodLibrary(dir.path());
    const QString path = dir.filePath(file);
    if (content.isNull()) {
        QVERIFY(QFileInfo(path).isDir() ? QDir(path).removeRecursively() : QFile::remove(path));
    } else {
        writeFile(path, content);
    }

    const ToolRun run = runTool({"check", dir.path()});
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.out.contains(report), qPrintable(run.out));
}

// What a hostile library puts in a thumbnail's place is named, not called missing.
void TestLibraryTool::checkSaysWhatAThumbnailIs_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("report");

    const QString where = R"(0Main.html: image "offer.png" (line 2) )";
    QTest::newRow("FIFO") << "fifo" << where + "is a FIFO (a named pipe), not a file";
    QTest::newRow("sparse 3 GB file") << "sparse" << where + "is larger than 2 MB";
    QTest::newRow("folder") << "folder" << where + "is a folder";
    QTest::newRow("dangling link") << "dangling" << where + "is a link to a missing file";
    QTest::newRow("missing") << "missing" << where + "is missing";
}

void TestLibraryTool::checkSaysWhatAThumbnailIs()
{
    QFETCH(QString, kind);
    QFETCH(QString, report);
    QTemporaryDir dir;
    makeGoodLibrary(dir.path());
    const QString thumbnail = dir.filePath("categories/offer.png");
    QVERIFY(QFile::remove(thumbnail));
    const QByteArray name = QFile::encodeName(thumbnail);
    if (kind == "fifo")
        QVERIFY(::mkfifo(name.constData(), 0600) == 0);
    else if (kind == "sparse")
        QVERIFY(::truncate((writeFile(thumbnail, "\x89PNG"), name.constData()),
                           3LL * 1024 * 1024 * 1024) == 0); // sparse: costs no disk
    else if (kind == "folder")
        QVERIFY(QDir().mkdir(thumbnail));
    else if (kind == "dangling")
        QVERIFY(QFile::link("gone.png", thumbnail));

    const ToolRun run = runTool({"check", dir.path()});
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.out.contains(report), qPrintable(run.out));
}

void TestLibraryTool::checkReportsALibraryFolderLinkedOut_data()
{
    QTest::addColumn<QString>("folder");
    QTest::newRow("categories") << "categories";
    QTest::newRow("templates") << "templates";
}

void TestLibraryTool::checkReportsALibraryFolderLinkedOut()
{
    QFETCH(QString, folder);
    QTemporaryDir dir;
    QTemporaryDir elsewhere;
    makeGoodLibrary(dir.path());
    makeGoodLibrary(elsewhere.path());
    QVERIFY(QDir(dir.filePath(folder)).removeRecursively());
    QVERIFY(QFile::link(elsewhere.filePath(folder), dir.filePath(folder)));

    const ToolRun run = runTool({"check", dir.path()});
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.out.contains(folder +
                              ": the folder is a link that leads out of the template "
                              "library (to " +
                              elsewhere.filePath(folder) + ")"),
             qPrintable(run.out));
}

QTEST_GUILESS_MAIN(TestLibraryTool)
#include "tst_librarytool.moc"
