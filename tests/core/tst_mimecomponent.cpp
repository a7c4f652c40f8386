#include "core/html/htmlnesting.h"
#include "core/html/htmlscan.h"
#include "core/html/htmlurls.h"
#include "core/mime/mimecharset.h"
#include "core/mime/mimecomponent.h"
#include "core/mime/mimereferences.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

namespace {

const QString corpusDir = QStringLiteral(QUILLERY_TEST_DATA "/mime");

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString sha(const QByteArray& data)
{
    return QString::fromLatin1(
        QCryptographicHash::hash(data, QCryptographicHash::Sha256).toHex().left(16));
}

// Every file and folder below `root`, relative to it, sorted.
QStringList listTree(const QString& root)
{
    QStringList entries;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        entries << QDir(root).relativeFilePath(it.next());
    entries.sort();
    return entries;
}

// What a save produced, in a form a person can review: the error, each file
// with its size and hash, and the page itself (or its hash and the lines
// that refer to files, when it is large).
QString summary(const QString& error, const QString& root, const QByteArray& page)
{
    QString shownError = error;
    shownError.replace(corpusDir, QLatin1String("<corpus>"));
    QString text = QStringLiteral("# error\n%1\n# files\n")
                       .arg(error.isEmpty() ? QStringLiteral("(none)") : shownError);
    for (const QString& entry : listTree(root)) {
        const QFileInfo info(QDir(root).filePath(entry));
        text += info.isDir() ? entry + "/\n"
                             : QStringLiteral("%1 %2 %3\n")
                                   .arg(entry)
                                   .arg(info.size())
                                   .arg(sha(readFile(info.filePath())));
    }
    text += QStringLiteral("# page\n");
    if (page.size() <= 8192) {
        text += QString::fromUtf8(page);
    } else {
        text += QStringLiteral("size %1 sha %2\n").arg(page.size()).arg(sha(page));
        for (const QByteArray& line : page.split('\n')) {
            if (line.contains("src=") || line.contains("url("))
                text += QString::fromUtf8(line.left(400)) + '\n';
        }
    }
    return text;
}

// The references the page makes into the images folder.
QStringList referencedFiles(const QByteArray& page, const QString& prefix)
{
    QStringList found;
    const QRegularExpression pattern(QRegularExpression::escape(prefix) +
                                     QStringLiteral("([^\"' )&,]+)"));
    auto it = pattern.globalMatch(QString::fromUtf8(page));
    while (it.hasNext())
        found << QUrl::fromPercentEncoding(it.next().captured(1).toUtf8());
    return found;
}

bool isStrictUtf8(const QByteArray& bytes)
{
    return QString::fromUtf8(bytes).toUtf8() == bytes;
}

QByteArray nestedMessage(int levels)
{
    QByteArray message = "MIME-Version: 1.0\nSubject: deep\n";
    for (int i = 0; i < levels; ++i)
        message += "Content-Type: multipart/mixed; boundary=\"b" + QByteArray::number(i) +
                   "\"\n\n--b" + QByteArray::number(i) + "\n";
    message += "Content-Type: text/html\n\n<p>bottom</p>\n";
    for (int i = levels - 1; i >= 0; --i)
        message += "--b" + QByteArray::number(i) + "--\n";
    return message;
}

// Notes the first reference of a page that reaches the local disk, as the
// component reads references.
class NoLocalReference : public Mime::ReferenceResolver
{
public:
    QByteArray found;

    QByteArray replacement(const QByteArray& url) override
    {
        isLocal(url);
        return QByteArray();
    }
    bool isLocal(const QByteArray& raw) override
    {
        const QByteArray url = Html::cleanUrl(raw);
        const bool local = Html::isFileUrl(url) || (QUrl(QString::fromUtf8(url)).isRelative() &&
                                                    Html::leavesPageFolder(url));
        if (local && found.isEmpty())
            found = url;
        return false;
    }
    void setDocumentBase(const QByteArray& url) override { found = "<base href=" + url + '>'; }
};

// The page made of a single HTML part, without the charset declaration the
// component puts in front.
QByteArray pageOf(const QByteArray& html, QString* error)
{
    MimeComponent mime;
    mime.LoadEmlData("MIME-Version: 1.0\nContent-Type: text/html; charset=utf-8\n\n" + html + "\n");
    QTemporaryDir dir;
    QByteArray page = mime.saveHtmlToSubfolderUtf8(dir.path(), QStringLiteral("msg"));
    *error = mime.lastError();
    const QByteArray declaration = "<meta charset=\"utf-8\">";
    if (page.startsWith(declaration))
        page.remove(0, declaration.size());
    return page.trimmed();
}

} // namespace

class TestMimeComponent : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void corpus_data();
    void corpus();
    void subfolderReferencesArePlainNames();
    void imagesFolderNameIsPercentEncoded();
    void unsafeFolderNamesWriteNothing_data();
    void unsafeFolderNamesWriteNothing();
    void plantedLinksAreNotFollowed();
    void secondSaveNeverOverwrites();
    void loadKeepsTheWholeMessage();
    void loadFailures_data();
    void loadFailures();
    void refusesOversizedMessage();
    void generatedExtremes_data();
    void generatedExtremes();
    void charsetLabels_data();
    void charsetLabels();
    void utf8DeclarationIsStable_data();
    void utf8DeclarationIsStable();
    void localReferencesAreDropped_data();
    void localReferencesAreDropped();
    void deepPageIsFlattened();
    void documentsThePageLoadsReachNoLocalFile();
    void filesAreJudgedAsTheirNameMakesThemRead_data();
    void filesAreJudgedAsTheirNameMakesThemRead();
    void xmlDocumentsReachingLocalFilesAreNotWritten_data();
    void xmlDocumentsReachingLocalFilesAreNotWritten();
    void heavyContentIsLeftOut_data();
    void heavyContentIsLeftOut();
    void toolCommands_data();
    void toolCommands();
    void textPartsForACheck_data();
    void textPartsForACheck();
};

void TestMimeComponent::corpus_data()
{
    QTest::addColumn<QString>("name");
    const QStringList messages =
        QDir(corpusDir).entryList({QStringLiteral("*.eml")}, QDir::Files, QDir::Name);
    QVERIFY(messages.size() >= 20);
    for (const QString& message : messages)
        QTest::newRow(qPrintable(message)) << message;
}

// Each message of the corpus against its reviewed summary, plus what must
// hold for every message: nothing outside the images folder, every reference
// resolves, the page is valid UTF-8, says so exactly once, is not nested too
// deeply and refers to no local file.
void TestMimeComponent::corpus()
{
    QFETCH(QString, name);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());

    MimeComponent mime;
    mime.LoadEmlFile(QDir(corpusDir).filePath(name));
    const QByteArray page = mime.saveHtmlAndImagesUtf8(dir.path(), QStringLiteral("page_files"));
    const QString error = mime.lastError();

    for (const QString& entry : listTree(dir.path()))
        QVERIFY2(entry == QLatin1String("page_files") || entry.startsWith("page_files/"),
                 qPrintable(entry));
    for (const QString& file : referencedFiles(page, QStringLiteral("page_files/")))
        QVERIFY2(QFileInfo(dir.filePath("page_files/" + file)).isFile(), qPrintable(file));
    QVERIFY(isStrictUtf8(page));
    if (!page.isEmpty()) {
        // Counted as the browser reads tags, not as text.
        int declarations = 0;
        for (const Html::HtmlTag& tag : Html::findTags(page, {"meta"}))
            declarations +=
                Mime::declaredMetaCharset(page.mid(tag.begin, tag.end - tag.begin)) == "utf-8";
        QCOMPARE(declarations, 1);
    }
    QVERIFY(HtmlNesting::depth(page) <= HtmlNesting::MaxDepth);
    NoLocalReference check;
    Mime::rewriteReferences(page, check);
    QVERIFY2(check.found.isEmpty(), check.found.constData());

    const QString actual = summary(error, dir.path(), page);
    const QString goldenPath =
        QDir(corpusDir).filePath(QFileInfo(name).completeBaseName() + ".golden");
    if (qEnvironmentVariableIsSet("QUILLERY_REGENERATE_GOLDEN")) {
        QFile golden(goldenPath);
        QVERIFY(golden.open(QIODevice::WriteOnly | QIODevice::Truncate));
        golden.write(actual.toUtf8());
        return;
    }
    QCOMPARE(actual, QString::fromUtf8(readFile(goldenPath)));
}

void TestMimeComponent::subfolderReferencesArePlainNames()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("msg"));
    MimeComponent mime;
    QVERIFY(mime.LoadEmlFile(corpusDir + "/related_cid.eml"));
    const QString page = mime.SaveHtmlToSubfolder(dir.path(), QStringLiteral("msg"));
    QCOMPARE(mime.lastError(), QString());
    QVERIFY(page.contains("<img src=\"logo.png\" alt=\"Logo\">"));
    QVERIFY(page.contains("<img src=\"image1.png\" alt=\"Banner\">"));
    QVERIFY(page.contains("url('bg.gif')"));
    QCOMPARE(listTree(dir.path()),
             QStringList({"msg", "msg/bg.gif", "msg/image1.png", "msg/logo.png"}));
}

void TestMimeComponent::imagesFolderNameIsPercentEncoded()
{
    QTemporaryDir dir;
    MimeComponent mime;
    QVERIFY(mime.LoadEmlFile(corpusDir + "/alternative_around_related.eml"));
    const QString page = mime.SaveHtmlAndImages(dir.path(), QStringLiteral("Caf\u00e9 #1_files"));
    QCOMPARE(mime.lastError(), QString());
    QVERIFY(page.contains("src=\"Caf%C3%A9%20%231_files/offer.png\""));
    QVERIFY(QFileInfo(dir.filePath(QStringLiteral("Caf\u00e9 #1_files/offer.png"))).isFile());
}

void TestMimeComponent::unsafeFolderNamesWriteNothing_data()
{
    QTest::addColumn<QString>("imagesFolder");
    QTest::newRow("empty") << QString();
    QTest::newRow("dot") << QStringLiteral(".");
    QTest::newRow("dot dot") << QStringLiteral("..");
    QTest::newRow("path") << QStringLiteral("a/b");
    QTest::newRow("parent path") << QStringLiteral("../escape");
}

// The page is still returned, with its references untouched, and says why.
void TestMimeComponent::unsafeFolderNamesWriteNothing()
{
    QFETCH(QString, imagesFolder);
    QTemporaryDir outer;
    const QString folder = outer.filePath("inner");
    QVERIFY(QDir().mkdir(folder));
    MimeComponent mime;
    QVERIFY(mime.LoadEmlFile(corpusDir + "/alternative_around_related.eml"));
    const QString page = mime.SaveHtmlAndImages(folder, imagesFolder);
    QVERIFY(mime.lastError().contains("folder name") || mime.lastError().contains("no folder"));
    QVERIFY(page.contains("src=\"cid:a1\""));
    QCOMPARE(listTree(outer.path()), QStringList{"inner"});
}

void TestMimeComponent::plantedLinksAreNotFollowed()
{
    QTemporaryDir dir;
    QTemporaryDir elsewhere;
    // A link in place of the images folder.
    QVERIFY(QFile::link(elsewhere.path(), dir.filePath("page_files")));
    MimeComponent mime;
    QVERIFY(mime.LoadEmlFile(corpusDir + "/alternative_around_related.eml"));
    mime.SaveHtmlAndImages(dir.path(), QStringLiteral("page_files"));
    QVERIFY(mime.lastError().contains("link"));
    QVERIFY(listTree(elsewhere.path()).isEmpty());

    // A link in place of an image file inside a real folder.
    QVERIFY(QFile::remove(dir.filePath("page_files")));
    QVERIFY(QDir(dir.path()).mkdir("page_files"));
    const QString victim = elsewhere.filePath("victim.txt");
    QFile file(victim);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("keep me");
    file.close();
    QVERIFY(QFile::link(victim, dir.filePath("page_files/offer.png")));
    const QString page = mime.SaveHtmlAndImages(dir.path(), QStringLiteral("page_files"));
    QCOMPARE(mime.lastError(), QString());
    QVERIFY(page.contains("page_files/offer-2.png"));
    QCOMPARE(readFile(victim), QByteArray("keep me"));
}

void TestMimeComponent::secondSaveNeverOverwrites()
{
    QTemporaryDir dir;
    MimeComponent mime;
    QVERIFY(mime.LoadEmlFile(corpusDir + "/alternative_around_related.eml"));
    const QString first = mime.SaveHtmlToSubfolder(dir.path(), QStringLiteral("msg"));
    const QString second = mime.SaveHtmlToSubfolder(dir.path(), QStringLiteral("msg"));
    QVERIFY(first.contains("src=\"offer.png\""));
    QVERIFY(second.contains("src=\"offer-2.png\""));
    QCOMPARE(readFile(dir.filePath("msg/offer.png")), readFile(dir.filePath("msg/offer-2.png")));
}

void TestMimeComponent::loadKeepsTheWholeMessage()
{
    QTemporaryDir dir;
    const QString copy = dir.filePath("copy.eml");
    QVERIFY(QFile::copy(corpusDir + "/related_cid.eml", copy));
    MimeComponent mime;
    QVERIFY(mime.LoadEmlFile(copy));
    QVERIFY(QFile::remove(copy));
    const QString page = mime.SaveHtmlAndImages(dir.path(), QStringLiteral("x_files"));
    QCOMPARE(mime.lastError(), QString());
    QVERIFY(page.contains("x_files/logo.png"));
    QCOMPARE(QFileInfo(dir.filePath("x_files/logo.png")).size(), 69);
}

void TestMimeComponent::loadFailures_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("expected");
    QTest::newRow("missing") << QStringLiteral("/nonexistent/quillery/none.eml")
                             << QStringLiteral("none.eml");
    QTest::newRow("folder") << QStringLiteral(QUILLERY_TEST_DATA) << QStringLiteral("data");
    QTest::newRow("empty") << corpusDir + "/empty.eml" << QStringLiteral("empty");
}

// Nothing to convert: an empty page, nothing written, and a message that
// names the file.
void TestMimeComponent::loadFailures()
{
    QFETCH(QString, path);
    QFETCH(QString, expected);
    MimeComponent mime;
    QVERIFY(!mime.LoadEmlFile(path));
    QVERIFY2(mime.lastError().contains(expected), qPrintable(mime.lastError()));
    QTemporaryDir dir;
    QCOMPARE(mime.SaveHtmlAndImages(dir.path(), QStringLiteral("p_files")), QString());
    QVERIFY(!mime.lastError().isEmpty());
    QVERIFY(listTree(dir.path()).isEmpty());
}

void TestMimeComponent::refusesOversizedMessage()
{
    MimeComponent mime;
    QVERIFY(!mime.LoadEmlData(QByteArray(64 * 1024 * 1024 + 1, 'a')));
    QVERIFY(mime.lastError().contains("larger than 64 MB"));
    QTemporaryDir dir;
    QCOMPARE(mime.SaveHtmlToSubfolder(dir.path(), QStringLiteral("msg")), QString());
    QVERIFY(listTree(dir.path()).isEmpty());
}

void TestMimeComponent::generatedExtremes_data()
{
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<QString>("expectedError");
    QTest::addColumn<QString>("expectedText");

    QTest::newRow("10000 nested multiparts")
        << nestedMessage(10000) << QStringLiteral("nested") << QString();
    QTest::newRow("64 nested multiparts are shown")
        << nestedMessage(63) << QString() << QStringLiteral("<p>bottom</p>");

    QByteArray attached = "MIME-Version: 1.0\n";
    for (int i = 0; i < 10000; ++i)
        attached += "Content-Type: message/rfc822\n\n";
    attached += "Content-Type: text/plain\n\nbottom\n";
    QTest::newRow("10000 nested messages") << attached << QStringLiteral("nested") << QString();

    const QByteArray longLine = "MIME-Version: 1.0\nSubject: " + QByteArray(1024 * 1024, 'S') +
                                "\nX-Long: " + QByteArray(1024 * 1024, 'x') +
                                "\nContent-Type: text/html; charset=utf-8\n\n<p>after long "
                                "headers</p>\n";
    QTest::newRow("1 MB header lines")
        << longLine << QString() << QStringLiteral("<p>after long headers</p>");

    QByteArray manyParts = "MIME-Version: 1.0\nContent-Type: multipart/related; boundary=b\n\n"
                           "--b\nContent-Type: text/html\n\n<p>";
    for (int i = 0; i < 5000; ++i)
        manyParts += "<img src=\"cid:" + QByteArray::number(i) + "\">";
    manyParts += "</p>\n";
    for (int i = 0; i < 5000; ++i)
        manyParts +=
            "--b\nContent-Type: image/gif\nContent-ID: <" + QByteArray::number(i) + ">\n\nGIF89a\n";
    manyParts += "--b--\n";
    QTest::newRow("more parts than may be written")
        << manyParts << QStringLiteral("4096 files") << QStringLiteral("cid:4999");

    QByteArray manyPictures = "MIME-Version: 1.0\nContent-Type: multipart/mixed; boundary=b\n\n"
                              "--b\nContent-Type: text/html\n\n<p>pictures</p>\n";
    for (int i = 0; i < 10000; ++i)
        manyPictures += "--b\nContent-Type: image/gif\nContent-Disposition: inline\n\nGIF89a\n";
    manyPictures += "--b--\n";
    QTest::newRow("10000 pictures after the page")
        << manyPictures << QStringLiteral("more than 4096 files; the rest are not shown")
        << QStringLiteral("p_files/image4096.gif");

    // The page sits beside a chain of 3000 levels: it is shown, the chain is
    // cut, and the cut is reported.
    QByteArray besideDeep = "MIME-Version: 1.0\nContent-Type: multipart/mixed; boundary=top\n\n"
                            "--top\nContent-Type: text/html\n\n<p>the page</p>\n--top\n" +
                            nestedMessage(3000).mid(qsizetype(strlen("MIME-Version: 1.0\n"))) +
                            "--top--\n";
    QTest::newRow("3000 levels beside the page")
        << besideDeep << QStringLiteral("nested more than 64 levels deep")
        << QStringLiteral("<p>the page</p>");
}

void TestMimeComponent::generatedExtremes()
{
    QFETCH(QByteArray, message);
    QFETCH(QString, expectedError);
    QFETCH(QString, expectedText);
    QTemporaryDir dir;
    MimeComponent mime;
    QVERIFY(mime.LoadEmlData(message));
    const QString page = mime.SaveHtmlAndImages(dir.path(), QStringLiteral("p_files"));
    if (expectedError.isEmpty())
        QCOMPARE(mime.lastError(), QString());
    else
        QVERIFY2(mime.lastError().contains(expectedError), qPrintable(mime.lastError()));
    if (!expectedText.isEmpty())
        QVERIFY(page.contains(expectedText));
    QVERIFY(page.contains("<meta charset=\"utf-8\">"));
}

void TestMimeComponent::charsetLabels_data()
{
    QTest::addColumn<QByteArray>("label");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("expected");

    QTest::newRow("iso-8859-1 reads as windows-1252")
        << QByteArray("ISO-8859-1") << QByteArray("\x80 \xE9") << "\u20AC \u00E9";
    QTest::newRow("us-ascii reads as windows-1252")
        << QByteArray("us-ascii") << QByteArray("\x93q\x94") << "\u201Cq\u201D";
    QTest::newRow("latin1 alias") << QByteArray("latin1") << QByteArray("\x80") << "\u20AC";
    QTest::newRow("quoted label") << QByteArray("\"Windows-1252\"") << QByteArray("\x80")
                                  << "\u20AC";
    QTest::newRow("utf-8 checked") << QByteArray("utf-8")
                                   << QByteArray("a\xC3\xA9\xC3"
                                                 "b")
                                   << "a\u00E9\uFFFDb";
    QTest::newRow("utf8 alias") << QByteArray("UTF8") << QByteArray("\xE2\x82\xAC") << "\u20AC";
    QTest::newRow("koi8-r") << QByteArray("koi8-r") << QByteArray("\xF0\xD2") << "\u041F\u0440";
    QTest::newRow("unknown label, valid utf-8")
        << QByteArray("x-nonsense") << QByteArray("\xC3\xA9") << "\u00E9";
    QTest::newRow("unknown label, not utf-8")
        << QByteArray("x-nonsense") << QByteArray("\xE9\x80") << "\u00E9\u20AC";
    QTest::newRow("no label, meta decides")
        << QByteArray() << QByteArray("<meta charset=\"koi8-r\">\xF0")
        << "<meta charset=\"utf-8\">\u041F";
    QTest::newRow("label wins over meta")
        << QByteArray("windows-1252") << QByteArray("<meta charset=\"koi8-r\">\xF0")
        << "<meta charset=\"utf-8\">\u00F0";
}

void TestMimeComponent::utf8DeclarationIsStable_data()
{
    QTest::addColumn<QByteArray>("html");
    QTest::addColumn<QByteArray>("declared");
    QTest::newRow("already in place")
        << QByteArray("<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>T</title>")
        << QByteArray("<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>T</title>");
    QTest::newRow("on a line of its own")
        << QByteArray("<html><head>\n<meta charset=\"latin1\">\n<title>T</title>")
        << QByteArray("<html><head><meta charset=\"utf-8\">\n\n<title>T</title>");
    QTest::newRow("text that would join into a tag")
        << QByteArray("<html><head></head><body><<meta charset=\"utf-8\">b>")
        << QByteArray("<html><head><meta charset=\"utf-8\"></head><body>< b>");
    QTest::newRow("reference that would join")
        << QByteArray("<html><head></head><body>&am<meta charset=\"utf-8\">p;")
        << QByteArray("<html><head><meta charset=\"utf-8\"></head><body>&am p;");
}

// A page that goes out and comes back in (an export added as a template,
// exported again) keeps its size: the declaration is not one blank more each time.
void TestMimeComponent::utf8DeclarationIsStable()
{
    QFETCH(QByteArray, html);
    QFETCH(QByteArray, declared);
    QCOMPARE(Mime::declareUtf8(html), declared);
    QCOMPARE(Mime::declareUtf8(declared), declared);
}

void TestMimeComponent::charsetLabels()
{
    QFETCH(QByteArray, label);
    QFETCH(QByteArray, body);
    QFETCH(QString, expected);
    QByteArray message = "MIME-Version: 1.0\nContent-Type: text/html";
    if (!label.isEmpty())
        message += "; charset=" + label;
    message += "\nContent-Transfer-Encoding: 8bit\n\n" + body + "\n";
    MimeComponent mime;
    QVERIFY(mime.LoadEmlData(message));
    QTemporaryDir dir;
    const QString page = mime.SaveHtmlToSubfolder(dir.path(), QStringLiteral("msg"));
    QCOMPARE(mime.lastError(), QString());
    QVERIFY2(page.contains(expected), qPrintable(page));
}

void TestMimeComponent::toolCommands_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("target");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("pagePath");
    QTest::addColumn<QString>("expectedInPage");
    QTest::addColumn<QString>("imagePath");

    const QString message = corpusDir + "/alternative_around_related.eml";
    QTest::newRow("page") << "page" << message << "msg" << 0 << "msg/msg.html"
                          << "<img src=\"offer.png\">"
                          << "msg/offer.png";
    QTest::newRow("export html") << "export" << message << "News.HTML" << 0 << "News.HTML"
                                 << "<img src=\"News_files/offer.png\">"
                                 << "News_files/offer.png";
    QTest::newRow("export other extension")
        << "export" << message << "offer.txt" << 0 << "offer.txt"
        << "<img src=\"offer.txt_files/offer.png\">"
        << "offer.txt_files/offer.png";
    QTest::newRow("page of a truncated message") << "page" << corpusDir + "/truncated.eml"
                                                 << "t" << 1 << "t/msg.html"
                                                 << "src=\"logo.png\""
                                                 << "t/logo.png";
    QTest::newRow("export refuses a truncated message")
        << "export" << corpusDir + "/truncated.eml"
        << "t.htm" << 1 << "t.htm" << QString() << QString();
    QTest::newRow("missing message") << "export" << corpusDir + "/none.eml"
                                     << "n.htm" << 1 << "n.htm" << QString() << QString();
}

// The tool writes the page as the gallery does, the page also when the
// message is broken, and fails with the reason when anything went wrong; an
// export of a broken message writes nothing, as the window's does.
void TestMimeComponent::toolCommands()
{
    QFETCH(QString, command);
    QFETCH(QString, message);
    QFETCH(QString, target);
    QFETCH(int, exitCode);
    QFETCH(QString, pagePath);
    QFETCH(QString, expectedInPage);
    QFETCH(QString, imagePath);

    QTemporaryDir dir;
    QProcess tool;
    tool.setWorkingDirectory(dir.path());
    tool.start(QStringLiteral(QUILLERY_TOOL), {command, message, target});
    QVERIFY(tool.waitForFinished(60000));
    QCOMPARE(tool.exitCode(), exitCode);
    if (exitCode != 0)
        QVERIFY(!tool.readAllStandardError().isEmpty());
    QCOMPARE(QFileInfo::exists(dir.filePath(pagePath)), !expectedInPage.isEmpty());
    QVERIFY(readFile(dir.filePath(pagePath)).contains(expectedInPage.toUtf8()));
    if (!imagePath.isEmpty())
        QVERIFY(QFileInfo(dir.filePath(imagePath)).isFile());
}

void TestMimeComponent::textPartsForACheck_data()
{
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<QStringList>("parts"); // type | label | content id | content
    QTest::addColumn<QStringList>("contentIds");
    QTest::addColumn<QStringList>("problems");

    const QByteArray head = "From: a@b.example\r\nSubject: s\r\nMIME-Version: 1.0\r\n";
    // Leaves of every kind at several depths, in two transfer encodings: only
    // the HTML and style sheet leaves come out, decoded, in message order.
    QTest::newRow("nested parts") << head +
            "Content-Type: multipart/mixed; boundary=\"m\"\r\n\r\n"
            "--m\r\nContent-Type: multipart/alternative; boundary=\"a\"\r\n\r\n"
            "--a\r\nContent-Type: text/plain\r\n\r\nplain\r\n"
            "--a\r\nContent-Type: multipart/related; boundary=\"r\"\r\n\r\n"
            "--r\r\nContent-Type: text/html; charset=utf-8\r\n"
            "Content-Transfer-Encoding: quoted-printable\r\n\r\n"
            "<p class=3D\"x\">caf=C3=A9</p>\r\n"
            "--r\r\nContent-Type: text/css\r\nContent-ID: <s.css@q>\r\n\r\np { color: red }\r\n"
            "--r\r\nContent-Type: image/png\r\nContent-ID: <i.png@q>\r\n"
            "Content-Transfer-Encoding: base64\r\n\r\ncG5n\r\n"
            "--r--\r\n--a--\r\n"
            "--m\r\nContent-Type: text/html\r\nContent-Transfer-Encoding: base64\r\n\r\n"
            "PGI+dHdvPC9iPg==\r\n"
            "--m\r\nContent-Type: text/css\r\n\r\nb {}\r\n--m--\r\n"
                                      << QStringList{
                                             "text/html|HTML||<p class=\"x\">caf\u00e9</p>",
                                             "text/css|style sheet cid:s.css@q|s.css@q|p { color: red }",
                                             "text/html|HTML part 2||<b>two</b>",
                                             "text/css|style sheet||b {}",
                                         }
                                      << QStringList{"i.png@q", "s.css@q"} << QStringList();
    // A damaged message still hands out what arrived, with the reason.
    QTest::newRow("cut off") << head + "Content-Type: multipart/related; boundary=\"r\"\r\n\r\n"
                                       "--r\r\nContent-Type: text/html\r\n\r\n<p>half"
                             << QStringList{"text/html|HTML||<p>half"} << QStringList()
                             << QStringList{"the message is cut off; what arrived of it is shown"};
    QTest::newRow("no text parts") << head + "Content-Type: image/png\r\nContent-ID: <i>\r\n\r\npng"
                                   << QStringList() << QStringList{"i"} << QStringList();
}

// What the library check reads of a template instead of the page.
void TestMimeComponent::textPartsForACheck()
{
    QFETCH(QByteArray, message);
    QFETCH(QStringList, parts);
    QFETCH(QStringList, contentIds);
    QFETCH(QStringList, problems);

    const MimeComponent::TextParts read = MimeComponent::readTextParts(message);
    QVERIFY(read.parsed);
    QStringList found;
    for (const MimeComponent::TextPart& part : read.parts)
        found << QStringList{QString::fromLatin1(part.type), part.label,
                             QString::fromUtf8(part.contentId),
                             QString::fromUtf8(part.content).trimmed()}
                     .join(QLatin1Char('|'));
    QCOMPARE(found, parts);
    QStringList ids;
    for (const QByteArray& id : read.contentIds)
        ids << QString::fromUtf8(id);
    ids.sort();
    QCOMPARE(ids, contentIds);
    QCOMPARE(read.problems, problems);
}

void TestMimeComponent::localReferencesAreDropped_data()
{
    QTest::addColumn<QByteArray>("html");
    QTest::addColumn<QByteArray>("expected");

    // file: URLs, however a browser would still read them as one.
    QTest::newRow("src") << QByteArray("<img src=\"file:///etc/passwd\">")
                         << QByteArray("<img src=\"\">");
    QTest::newRow("case and blanks")
        << QByteArray("<img src=\" FILE:///etc/x\">") << QByteArray("<img src=\"\">");
    QTest::newRow("control character in front")
        << QByteArray("<img src=\"&#1;file:///x\">") << QByteArray("<img src=\"\">");
    QTest::newRow("tab inside the scheme")
        << QByteArray("<a href=\"fi&#x9;le:///x\">a</a>") << QByteArray("<a href=\"\">a</a>");
    QTest::newRow("numeric reference")
        << QByteArray("<a href=fi&#x6c;e:///x>a</a>") << QByteArray("<a href=\"\">a</a>");
    QTest::newRow("named colon") << QByteArray("<a href='file&colon;//x'>a</a>")
                                 << QByteArray("<a href=\"\">a</a>");
    QTest::newRow("background, poster, data, form")
        << QByteArray("<td background=file:///a><video poster=file:///b></video><object "
                      "data=file:///c></object><form action=file:///d><button "
                      "formaction=file:///e>")
        << QByteArray("<td background=\"\"><video poster=\"\"></video><object data=\"\"></object>"
                      "<form action=\"\"><button formaction=\"\">");
    QTest::newRow("svg image") << QByteArray("<svg><image xlink:href=\"file:///a\"/></svg>")
                               << QByteArray("<svg><image xlink:href=\"\"/></svg>");
    QTest::newRow("srcset candidate goes with its descriptor")
        << QByteArray("<img srcset=\"file:///a.png 1x, https://e.org/b.png 2x\">")
        << QByteArray("<img srcset=\"https://e.org/b.png 2x\">");
    QTest::newRow("style attribute") << QByteArray("<p style=\"background:url(file:///a.png)\">")
                                     << QByteArray("<p style=\"background:url('')\">");
    QTest::newRow("css escapes") << QByteArray("<p style=\"background:u\\72l(fi\\6c e:///a.png)\">")
                                 << QByteArray("<p style=\"background:url('')\">");
    QTest::newRow("style sheet")
        << QByteArray("<style>@import \"file:///a.css\"; p{background:URL( 'file:///b' )}"
                      "</style>")
        << QByteArray("<style>@import url(''); p{background:url('')}</style>");
    QTest::newRow("image-set string")
        << QByteArray("<style>p{background:image-set(\"file:///a.png\" 1x, 'b.png' 2x)}</style>")
        << QByteArray("<style>p{background:image-set('' 1x, 'b.png' 2x)}</style>");
    QTest::newRow("svg paint") << QByteArray("<svg><rect fill=\"url(file:///x.svg#g)\"/></svg>")
                               << QByteArray("<svg><rect fill=\"url('')\"/></svg>");
    QTest::newRow("style sheet in svg holds markup")
        << QByteArray("<svg><style><img src=\"file:///x\"></style></svg>")
        << QByteArray("<svg><img src=\"\"></style></svg>");
    QTest::newRow("style sheet ends only at its own end tag")
        << QByteArray("<style></stylex><!--</style><img src=\"file:///x\">-->")
        << QByteArray("<style></stylex><!--</style><img src=\"\">-->");
    QTest::newRow("math end tag leaves svg open")
        << QByteArray("<svg></math><style><img src=\"file:///x\"></style></svg>")
        << QByteArray("<svg></math><img src=\"\"></style></svg>");
    QTest::newRow("script ends where the browser ends it")
        << QByteArray("<script><!--<script></script><!--</script><img src=\"file:///x\">-->")
        << QByteArray("<script><!--<script></script><!--</script><img src=\"\">-->");
    QTest::newRow("noscript is taken out, a comment in it stays one")
        << QByteArray("<noscript><!--</noscript><img src=\"file:///x\">-->")
        << QByteArray("<!--</noscript><img src=\"file:///x\">-->");
    QTest::newRow("comment closed at once")
        << QByteArray("<!--><img src=\"file:///x\">-->") << QByteArray("<!--><img src=\"\">-->");
    QTest::newRow("srcdoc page") << QByteArray("<iframe srcdoc=\"&lt;img src=file:///x&gt;\">")
                                 << QByteArray("<iframe srcdoc=\"\">");
    QTest::newRow("a removed tag joins no text into a tag")
        << QByteArray("<<base href=\"https://e.org/\">img src=\"file:///x\">")
        << QByteArray("&lt;img src=\"file:///x\">");
    QTest::newRow("file base is ignored")
        << QByteArray("<base href=\"file:///etc/\"><img src=\"passwd\">")
        << QByteArray("<img src=\"passwd\">");

    // Paths out of the page's folder, and what stays.
    QTest::newRow("climbing") << QByteArray("<img src=\"../x.png\"><img src=\"a/../../x\">")
                              << QByteArray("<img src=\"\"><img src=\"\">");
    QTest::newRow("climbing in disguise")
        << QByteArray("<img src=\"%2e%2E/x\"><img src=\"..\\x\"><img src=\".%2e/x\">")
        << QByteArray("<img src=\"\"><img src=\"\"><img src=\"\">");
    QTest::newRow("from the root") << QByteArray("<img src=\"/tmp/x.png\"><img src=\"\\tmp\">")
                                   << QByteArray("<img src=\"\"><img src=\"\">");
    QTest::newRow("relative base from the root")
        << QByteArray("<base href=\"/\"><img src=\"x.png\">") << QByteArray("<img src=\"\">");
    QTest::newRow("left as written, judged without the base")
        << QByteArray("<base href=\"https://e.org/\"><svg><rect fill=\"url(/x.svg#p)\"/>"
                      "<rect fill=\"url(p.svg#p)\"/></svg>")
        << QByteArray("<svg><rect fill=\"url('')\"/><rect fill=\"url(p.svg#p)\"/></svg>");
    // Under the page's file: URL a network-path reference is a file URL.
    QTest::newRow("network paths are files")
        << QByteArray("<img src=\"//localhost/etc/passwd\"><img src=\"//127.0.0.1/x\">"
                      "<a href=\"\\\\localhost\\etc\">a</a><a href=\"/\\localhost/x\">b</a>"
                      "<img src=\"//host/x.png\"><img src=\"///etc/x\">")
        << QByteArray("<img src=\"\"><img src=\"\"><a href=\"\">a</a><a href=\"\">b</a>"
                      "<img src=\"\"><img src=\"\">");
    QTest::newRow("kept") << QByteArray(
                                 "<img src=\"a/../b.png\"><a href=\"#top\">t</a>"
                                 "<img src=\"https://e.org/a.png\"><a href=\"images/a.png\">i</a>")
                          << QByteArray(
                                 "<img src=\"a/../b.png\"><a href=\"#top\">t</a>"
                                 "<img src=\"https://e.org/a.png\"><a href=\"images/a.png\">i</a>");

    QTest::newRow("refresh") << QByteArray("<meta http-equiv=\"Refresh\" content=\"0;url=x\">a")
                             << QByteArray("a");
    QTest::newRow("refresh in other spellings")
        << QByteArray("<META HTTP-EQUIV=refresh CONTENT=1>a<meta http-equiv=' &#114;EFRESH ' "
                      "content=\"0;file:///x\">b")
        << QByteArray("ab");
}

// Quietly, as a mail viewer does: the page is otherwise as written.
void TestMimeComponent::localReferencesAreDropped()
{
    QFETCH(QByteArray, html);
    QFETCH(QByteArray, expected);
    QString error;
    QCOMPARE(pageOf(html, &error), expected);
    QCOMPARE(error, QString());
}

void TestMimeComponent::deepPageIsFlattened()
{
    const int levels = 5000;
    const QByteArray html = "<body>" + QByteArray("<div><span>").repeated(levels) + "deep text" +
                            QByteArray("</span></div>").repeated(levels) + "<p>after</p></body>";
    QString error;
    const QByteArray page = pageOf(html, &error);
    QVERIFY2(error.contains("deeper than 128 levels; it was flattened"), qPrintable(error));
    QCOMPARE(HtmlNesting::depth(page), HtmlNesting::MaxDepth);
    QVERIFY(page.contains("deep text</span></div>"));
    QVERIFY(page.endsWith("<p>after</p></body>"));
}

// A style sheet or page of the message is a file beside the page, loaded
// with the same access to the disk; references of theirs to other parts are
// not followed, so they stay as written.
void TestMimeComponent::documentsThePageLoadsReachNoLocalFile()
{
    QTemporaryDir dir;
    MimeComponent mime;
    QVERIFY(mime.LoadEmlFile(corpusDir + "/loaded_documents.eml"));
    const QByteArray page = mime.saveHtmlToSubfolderUtf8(dir.path(), QStringLiteral("msg"));
    QCOMPARE(mime.lastError(), QString());
    QVERIFY(page.contains("href=\"part1.css\"") && page.contains("src=\"part2.html\""));
    QCOMPARE(readFile(dir.filePath("msg/part1.css")),
             QByteArray("@import url('');\nbody { background: url('') }\n"
                        "p { background: url(cid:other) }"));
    QCOMPARE(readFile(dir.filePath("msg/part2.html")),
             QByteArray("\n<img src=\"\"><img src=\"\"><img src=\"cid:other\">"));
}

void TestMimeComponent::filesAreJudgedAsTheirNameMakesThemRead_data()
{
    QTest::addColumn<QByteArray>("type");
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QByteArray>("written");

    QTest::newRow("style sheet labelled as text")
        << QByteArray("text/plain") << QByteArray("print.css")
        << QByteArray("p{background:url(file:///x)}") << QByteArray("p{background:url('')}");
    QTest::newRow("page without an extension")
        << QByteArray("application/octet-stream") << QByteArray("page")
        << QByteArray("<img src=\"file:///x\">") << QByteArray("<img src=\"\">");
    QTest::newRow("picture as it is")
        << QByteArray("image/png") << QByteArray("a.png") << QByteArray("url(file:///x)")
        << QByteArray("url(file:///x)");
}

// The browser reads a file beside the page by its extension, or by its look
// when the extension says nothing, whatever the message labelled it.
void TestMimeComponent::filesAreJudgedAsTheirNameMakesThemRead()
{
    QFETCH(QByteArray, type);
    QFETCH(QByteArray, name);
    QFETCH(QByteArray, content);
    QFETCH(QByteArray, written);
    const QByteArray message =
        "MIME-Version: 1.0\nContent-Type: multipart/related; boundary=b\n\n"
        "--b\nContent-Type: text/html\n\n<link rel=\"stylesheet\" href=\"cid:p\">\n"
        "--b\nContent-Type: " +
        type + "; name=\"" + name + "\"\nContent-ID: <p>\n\n" + content + "\n--b--\n";
    MimeComponent mime;
    QVERIFY(mime.LoadEmlData(message));
    QTemporaryDir dir;
    const QByteArray page = mime.saveHtmlToSubfolderUtf8(dir.path(), QStringLiteral("msg"));
    QCOMPARE(mime.lastError(), QString());
    QVERIFY2(page.contains("href=\"" + name + '"'), page.constData());
    QCOMPARE(readFile(dir.filePath("msg/" + name)), written);
}

void TestMimeComponent::xmlDocumentsReachingLocalFilesAreNotWritten_data()
{
    QTest::addColumn<QByteArray>("svg");
    QTest::addColumn<bool>("written");

    QTest::newRow("plain picture")
        << QByteArray("<svg xmlns=\"http://www.w3.org/2000/svg\"><rect fill=\"red\"/></svg>")
        << true;
    QTest::newRow("style sheet of its own")
        << QByteArray("<svg><style><![CDATA[rect{fill:red}]]></style><rect/></svg>") << true;
    QTest::newRow("remote image") << QByteArray("<svg><image href=\"https://e.org/x.png\"/></svg>")
                                  << true;
    QTest::newRow("local image") << QByteArray("<svg><image href=\"file:///etc/x.png\"/></svg>")
                                 << false;
    QTest::newRow("local paint") << QByteArray("<svg><rect fill=\"url(file:///x.svg#p)\"/></svg>")
                                 << false;
    QTest::newRow("local url in the style sheet")
        << QByteArray("<svg><style><![CDATA[rect{fill:url(file:///x#p)}]]></style></svg>") << false;
    QTest::newRow("style sheet split by markup")
        << QByteArray("<svg><style>rect{fill:u<g/>rl(x.svg#p)}</style></svg>") << false;
    QTest::newRow("style sheet instruction")
        << QByteArray("<?xml-stylesheet href=\"https://e.org/x.css\"?><svg/>") << false;
    QTest::newRow("entity") << QByteArray(
                                   "<!DOCTYPE svg [<!ENTITY e SYSTEM \"file:///etc/passwd\">]>"
                                   "<svg><text>&e;</text></svg>")
                            << false;
    QTest::newRow("XLink by another prefix")
        << QByteArray("<svg xmlns=\"http://www.w3.org/2000/svg\" "
                      "xmlns:x=\"http://www.w3.org/1999/xlink\"><image x:href=\"file:///etc/x\"/>"
                      "</svg>")
        << false;
    QTest::newRow("XHTML image on localhost")
        << QByteArray("<html xmlns=\"http://www.w3.org/1999/xhtml\"><body>"
                      "<img src=\"//localhost/etc/x.png\"/></body></html>")
        << false;
    QTest::newRow("backslash network path")
        << QByteArray("<svg><image href=\"\\\\127.0.0.1\\etc\\x.png\"/></svg>") << false;
    QTest::newRow("local xml:base")
        << QByteArray("<svg xml:base=\"file:///etc/\"><image href=\"x.png\"/></svg>") << false;
    QTest::newRow("default attribute declared")
        << QByteArray("<!DOCTYPE svg [<!ATTLIST image href CDATA \"file:///etc/x\">]>"
                      "<svg><image/></svg>")
        << false;
    QTest::newRow("local document type")
        << QByteArray("<!DOCTYPE svg SYSTEM \"file:///etc/x.dtd\"><svg/>") << false;
    QTest::newRow("public document type")
        << QByteArray("<!DOCTYPE svg PUBLIC \"-//W3C//DTD SVG 1.1//EN\" "
                      "\"http://www.w3.org/Graphics/SVG/1.1/DTD/svg11.dtd\"><svg/>")
        << true;
    QTest::newRow("style sheet by a prefix")
        << QByteArray("<s:svg xmlns:s=\"http://www.w3.org/2000/svg\"><s:style>"
                      "rect{fill:url(file:///x#p)}</s:style></s:svg>")
        << false;
    QTest::newRow("character reference in the style sheet")
        << QByteArray("<svg><style>rect{fill:url(&#x66;ile:///x#p)}</style></svg>") << false;
    QTest::newRow("refresh by a prefix")
        << QByteArray("<svg><h:meta xmlns:h=\"http://www.w3.org/1999/xhtml\" "
                      "http-equiv=\"refresh\" content=\"0;url=file:///etc/x\"/></svg>")
        << false;
    QTest::newRow("climbing XHTML image")
        << QByteArray("<svg><foreignObject><img xmlns=\"http://www.w3.org/1999/xhtml\" "
                      "src=\"../../x.png\"/></foreignObject></svg>")
        << false;
}

// An SVG picture shown in an object is a document loaded from the images
// folder. Rewriting could break it, so it is written as it is or not at all.
void TestMimeComponent::xmlDocumentsReachingLocalFilesAreNotWritten()
{
    QFETCH(QByteArray, svg);
    QFETCH(bool, written);
    const QByteArray message = "MIME-Version: 1.0\nContent-Type: multipart/related; boundary=b\n\n"
                               "--b\nContent-Type: text/html\n\n<object data=\"cid:p\"></object>\n"
                               "--b\nContent-Type: image/svg+xml\nContent-ID: <p>\n\n" +
                               svg + "\n--b--\n";
    MimeComponent mime;
    QVERIFY(mime.LoadEmlData(message));
    QTemporaryDir dir;
    const QByteArray page = mime.saveHtmlToSubfolderUtf8(dir.path(), QStringLiteral("msg"));
    QCOMPARE(mime.lastError(), QString());
    QCOMPARE(page.contains("data=\"image1.svg\""), written);
    QCOMPARE(page.contains("data=\"cid:p\""), !written);
    if (written)
        QCOMPARE(readFile(dir.filePath("msg/image1.svg")), svg);
    else
        QCOMPARE(listTree(dir.path()), QStringList{"msg"});
}

// Custom properties, each referring to the one before `count` times:
// "--x1: var(--x0) var(--x0) ...", a few bytes that expand a billion times.
QByteArray laughs(const QByteArray& prefix, int levels, int count, const QByteArray& separator)
{
    QByteArray css = "--" + prefix + "0: laugh" + separator;
    for (int level = 1; level < levels; ++level) {
        css += "--" + prefix + QByteArray::number(level) + ':';
        for (int i = 0; i < count; ++i)
            css += " var(--" + prefix + QByteArray::number(level - 1) + ')';
        css += separator;
    }
    return css;
}

void TestMimeComponent::heavyContentIsLeftOut_data()
{
    QTest::addColumn<QByteArray>("html");
    QTest::addColumn<QByteArray>("css"); // the part cid:s
    QTest::addColumn<QByteArray>("svg"); // the part cid:p
    QTest::addColumn<QByteArrayList>("absent");
    QTest::addColumn<QByteArrayList>("present");
    QTest::addColumn<bool>("heavy");

    const QByteArray svg = "<svg xmlns=\"http://www.w3.org/2000/svg\"><rect/></svg>";
    QTest::newRow("inline filter and animations")
        << QByteArray("<svg><filter id=\"f\"><feGaussianBlur stdDeviation=\"300\"/></filter>"
                      "<rect filter=\"url(#f)\"><animate attributeName=\"x\" values=\"0;9\"/>"
                      "<set attributeName=\"fill\" to=\"red\"/><animateTransform/>"
                      "<ANIMATEMOTION path=\"M0,0\"></ANIMATEMOTION><animateColor/></rect></svg>")
        << QByteArray() << svg
        << QByteArrayList{"<filter", "<animate", "<set", "<ANIMATEMOTION", "<animateColor"}
        << QByteArrayList{"<feGaussianBlur", "<rect filter="} << true;
    // Animations are left out whole, the local files they would set with them.
    QTest::newRow("animation to a local file")
        << QByteArray("<svg><a><set attributeName=\"href\" to=\"file:///etc/x\"/>a</a></svg>")
        << QByteArray() << svg << QByteArrayList{"<set", "file:"}
        << QByteArrayList{"<svg><a>a</a></svg>"} << true;
    QTest::newRow("a '<' before a dropped tag stays text")
        << QByteArray("<svg><<filter>img src=x></svg>") << QByteArray() << svg
        << QByteArrayList{"<filter", "<img"} << QByteArrayList{"&lt;img src=x>"} << true;
    QTest::newRow("filtered picture")
        << QByteArray("<img src=\"cid:p\">") << QByteArray()
        << QByteArray("<svg xmlns=\"http://www.w3.org/2000/svg\"><svg:filter id=\"f\"/>"
                      "<rect filter=\"url(#f)\"/></svg>")
        << QByteArrayList{"filter", "src=\"image1.svg\""} << QByteArrayList{"src=\"cid:p\""}
        << true;
    QTest::newRow("animated picture")
        << QByteArray("<img src=\"cid:p\">") << QByteArray()
        << QByteArray("<svg><rect><animate attributeName=\"x\" values=\"0;9\"/></rect></svg>")
        << QByteArrayList{"animate"} << QByteArrayList{"src=\"cid:p\""} << true;
    QTest::newRow("picture in a data URL")
        << QByteArray("<img src=\"data:image/svg+xml,%3Csvg%3E%3Cfilter id='f'/%3E%3C/svg%3E\">"
                      "<img srcset=\"a.png 1x, data:image/svg+xml,<svg><set/></svg> 2x\">")
        << QByteArray() << svg << QByteArrayList{"data:"}
        << QByteArrayList{"<img src=\"\">", "<img srcset=\"\">"} << true;
    QTest::newRow("picture in a data URL of a style sheet")
        << QByteArray("<div style=\"background: "
                      "url(data:image/"
                      "svg+xml;base64,"
                      "PHN2ZyB4bWxucz0iaHR0cDovL3d3dy53My5vcmcvMjAwMC9zdmciPjxyZWN0PjxhbmltYXRlIGF0"
                      "dHJpYnV0ZU5hbWU9IngiIHZhbHVlcz0iMDs5Ii8+PC9yZWN0Pjwvc3ZnPg==)\">x</div>"
                      "<svg><rect "
                      "fill=\"url('data:image/"
                      "svg+xml;base64,"
                      "PHN2ZyB4bWxucz0iaHR0cDovL3d3dy53My5vcmcvMjAwMC9zdmciPjxyZWN0PjxhbmltYXRlIGF0"
                      "dHJpYnV0ZU5hbWU9IngiIHZhbHVlcz0iMDs5Ii8+PC9yZWN0Pjwvc3ZnPg==#p')\"/></svg>")
        << QByteArray() << svg << QByteArrayList{"base64"}
        << QByteArrayList{"background: url('')", "fill=\"url('')\""} << true;
    QTest::newRow("ordinary data URLs stay")
        << QByteArray("<img src=\"data:image/png;base64,iVBORw0KGgo=\">"
                      "<img src=\"data:image/svg+xml,%3Csvg%3E%3Crect/%3E%3C/svg%3E\">")
        << QByteArray() << svg << QByteArrayList{}
        << QByteArrayList{"data:image/png;base64,iVBORw0KGgo=", "%3Crect/%3E"} << false;
    QTest::newRow("variables in a style sheet")
        << "<style>:root{" + laughs("a", 12, 10, ";") + "} p{width:var(--a11);color:red}</style>"
        << QByteArray() << svg << QByteArrayList{"--a5:", "--a11:", "width:var(--a11)"}
        << QByteArrayList{"--a0: laugh;", "--a2:", "color:red"} << true;
    QTest::newRow("variables in style attributes")
        << "<div style=\"" + laughs("b", 12, 10, ";") +
               "\"><p style=\"margin: var(--b11); "
               "color: red\">x</p></div>"
        << QByteArray() << svg << QByteArrayList{"--b5:", "--b11:", "var(--b11)"}
        << QByteArrayList{"--b0: laugh;", "--b2:", "color: red"} << true;
    QTest::newRow("variables with escaped names")
        << "<style>:root{" + laughs("c", 12, 10, ";").replace("--c", "--\\63 ") +
               "} p{width:var(--c11)}</style>"
        << QByteArray() << svg << QByteArrayList{"--\\63 5:", "var(--c11)"}
        << QByteArrayList{"--\\63 0: laugh;"} << true;
    QTest::newRow("variables across the page and a style sheet part")
        << QByteArray(
               "<link rel=\"stylesheet\" href=\"cid:s\"><p style=\"width: var(--d11)\">x</p>")
        << ":root{" + laughs("d", 12, 10, ";") + "}" << svg << QByteArrayList{"--d5:", "var(--d11)"}
        << QByteArrayList{"--d0: laugh;", "part1.css"} << true;
    QTest::newRow("variables in a nested block")
        << "<style>@media screen{ p:hover { " + laughs("e", 12, 10, ";") + "} }</style>"
        << QByteArray() << svg << QByteArrayList{"--e5:"} << QByteArrayList{"p:hover {"} << true;
    QTest::newRow("ordinary variables stay")
        << QByteArray("<style>:root{--c:#123;--w:calc(var(--gap, 4px) * 2)}"
                      "h1{color:var(--c);padding:var(--w)}</style>"
                      "<p style=\"--m: 2px; margin: var(--m) var(--m)\">x</p>")
        << QByteArray(".a{--x:var(--c) var(--c)}") << svg << QByteArrayList{}
        << QByteArrayList{"--w:calc(var(--gap, 4px) * 2)", "padding:var(--w)",
                          "margin: var(--m) var(--m)"}
        << false;
    QTest::newRow("a cycle expands to nothing")
        << QByteArray("<style>:root{--a:var(--b) var(--b);--b:var(--a) var(--a)}</style>")
        << QByteArray() << svg << QByteArrayList{} << QByteArrayList{"--b:var(--a) var(--a)"}
        << false;
    QTest::newRow("a long value without references stays")
        << "<style>:root{--long:" + QByteArray(40000, 'x') + "}</style>" << QByteArray() << svg
        << QByteArrayList{} << QByteArrayList{"--long:xxxx"} << false;
    QTest::newRow("filter in plain text stays")
        << QByteArray("<p>filter: the &lt;filter&gt; tag; var(--a)</p>") << QByteArray() << svg
        << QByteArrayList{} << QByteArrayList{"&lt;filter&gt;"} << false;
}

// SVG filters and animations make the engine draw for seconds and gigabytes,
// and custom properties can expand a few bytes a billion times: the page
// and every file written beside it leave them out, and say so.
void TestMimeComponent::heavyContentIsLeftOut()
{
    QFETCH(QByteArray, html);
    QFETCH(QByteArray, css);
    QFETCH(QByteArray, svg);
    QFETCH(QByteArrayList, absent);
    QFETCH(QByteArrayList, present);
    QFETCH(bool, heavy);
    const QByteArray message = "MIME-Version: 1.0\nContent-Type: multipart/related; boundary=b\n\n"
                               "--b\nContent-Type: text/html\n\n" +
                               html + "\n--b\nContent-Type: text/css\nContent-ID: <s>\n\n" + css +
                               "\n--b\nContent-Type: image/svg+xml\nContent-ID: <p>\n\n" + svg +
                               "\n--b--\n";
    MimeComponent mime;
    QVERIFY(mime.LoadEmlData(message));
    QTemporaryDir dir;
    QByteArray written = mime.saveHtmlToSubfolderUtf8(dir.path(), QStringLiteral("msg"));
    for (const QString& file : listTree(dir.filePath("msg")))
        written += "\n" + readFile(dir.filePath("msg/" + file));
    for (const QByteArray& text : absent)
        QVERIFY2(!written.contains(text), text.constData());
    for (const QByteArray& text : present)
        QVERIFY2(written.contains(text), text.constData());
    QCOMPARE(mime.lastError().contains("would take too long to draw"), heavy);
}

QTEST_GUILESS_MAIN(TestMimeComponent)
#include "tst_mimecomponent.moc"
