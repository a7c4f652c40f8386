#include "core/gallery/check/librarycheck.h"
#include "core/gallery/library/templatedecoding.h"
#include "core/gallery/library/templatemessage.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray composed(const QString& html)
{
    TemplateMessage::Source source;
    source.from = QStringLiteral("Shop <a@b.example>");
    source.subject = QStringLiteral("Subject");
    source.date = QStringLiteral("Mon, 02 Mar 2026 09:00:00 +0000");
    source.html = html;
    source.text = QStringLiteral("Text\n");
    source.images = {{QStringLiteral("a.png"), "image/png", QByteArray(64, 'p')}};
    const Result<QByteArray> message = TemplateMessage::compose(source);
    if (!message)
        qFatal("fixture template does not compose: %s", qPrintable(message.status().message()));
    return *message;
}

void writeFile(const QString& path, const QByteArray& content)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        qFatal("cannot write fixture %s", qPrintable(path));
}

// One template per way a template can misbehave, each on line 5 of its HTML,
// and the problem the check names it by; an empty reason means no problem.
struct Vector
{
    const char* name;
    QByteArray html;
    const char* reason;
};

const QList<Vector>& templateVectors()
{
    static const QList<Vector> vectors{
        {"Script", "<script>alert(1)</script>", "HTML line 5: runs a script: a <script> element"},
        {"Script URL", "<a href=\" JaVa&#x09;Script&colon;alert(1)\">x</a>",
         "HTML line 5: runs a script: a javascript: URL in a href"},
        {"VBScript URL", "<form action=\"vbscript:msgbox\"></form>",
         "runs a script: a vbscript: URL in form action"},
        {"Event handler", "<div onmouseover=\"steal()\">x</div>",
         "HTML line 5: runs a script: the event handler onmouseover"},
        {"Refresh", "<meta http-equiv=\" Refresh \" content=\"0;url=https://example.com/\">",
         "HTML line 5: reloads or leaves the page by itself"},
        {"Local file", "<a href=\"FILE:///etc/passwd\">x</a>",
         "refers to a local file: \"FILE:///etc/passwd\" in a href"},
        {"Climbing", "<img src=\"pics/../../../secret.png\" alt=\"\">",
         "refers outside the page's folder: \"pics/../../../secret.png\" in img src"},
        {"Encoded climbing", "<a href=\"%2e%2E\\x\">x</a>", "refers outside the page's folder"},
        {"Root-relative", "<a href=\"/etc/passwd\">x</a>",
         "refers to the root of the file system: \"/etc/passwd\" in a href"},
        {"Remote image", "<img src=\"https://tracker.example/p.gif\" alt=\"\">",
         "HTML line 5: loads \"https://tracker.example/p.gif\" from the network (img src)"},
        {"Host-relative background", "<table><tr><td background=\"//cdn.example/bg.png\">",
         "loads \"//cdn.example/bg.png\" from the network (td background)"},
        {"Escaped CSS url", "<div style=\"background: u\\72l(http://x.example/a.png)\">x</div>",
         "loads \"http://x.example/a.png\" from the network (div style)"},
        {"CSS import", "<style>/* { */ @import 'https://x.example/a.css';</style>",
         "loads \"https://x.example/a.css\" from the network (<style>)"},
        {"image-set", "<p style='background-image: image-set(\"https://x.example/b.png\" 2x)'>",
         "loads \"https://x.example/b.png\" from the network (p style)"},
        {"Remote srcset",
         "<img src=\"images/a.png\" srcset=\"images/a.png 1x,"
         "https://x.example/b.png 2x\" alt=\"\">",
         "loads \"https://x.example/b.png\" from the network (img srcset)"},
        {"Remote style sheet", "<link rel=\"Stylesheet\" href=\"https://x.example/s.css\">",
         "(link href)"},
        {"Remote frame", "<iframe src=\"https://x.example/\"></iframe>", "(iframe src)"},
        {"Remote video poster", "<video poster=\"http://x.example/p.jpg\"></video>",
         "(video poster)"},
        {"Remote base", "<base href=\"https://x.example/\">",
         "makes every relative reference load from the network"},
        // Under the gallery's file: page a network path is a file of this computer.
        {"Localhost image", "<img src=\"//localhost/etc/passwd\" alt=\"\">",
         "refers to a local file: \"//localhost/etc/passwd\" in img src"},
        {"Loopback link", "<a href=\"//127.0.0.1/etc/passwd\">x</a>",
         "refers to a local file: \"//127.0.0.1/etc/passwd\" in a href"},
        {"Backslash host", "<a href=\"\\\\localhost\\etc\\passwd\">x</a>",
         "refers to a local file"},
        {"Slash and backslash host", "<a href=\"/\\LOCALHOST/etc/passwd\">x</a>",
         "refers to a local file"},
        {"Empty host", "<img src=\"///etc/passwd\" alt=\"\">", "refers to a local file"},
        {"Localhost base", "<base href=\"//localhost/etc/\">",
         "refers to a local file: \"//localhost/etc/\" in base href"},
        // Markup inside data: URLs is read like the page's own.
        {"Script in a data frame",
         "<iframe src=\"data:text/html,%3Cscript%3Ealert(1)%3C/script%3E\"></iframe>",
         "inside a data: URL in iframe src: runs a script: a <script> element"},
        {"Script in a base64 data object",
         "<object data=\"data:text/html;base64,PHNjcmlwdD5hbGVydCgxKTwvc2NyaXB0Pg==\"></object>",
         "inside a data: URL in object data: runs a script: a <script> element"},
        {"Handler in a data embed", "<embed src=\"data:image/svg+xml,<svg onload=alert(1)>\">",
         "inside a data: URL in embed src: runs a script: the event handler onload"},
        {"Script in a data link",
         "<link rel=\"import\" href=\"data:text/html,&lt;script&gt;x()&lt;/script&gt;\">",
         "inside a data: URL in link href: runs a script"},
        {"Data URL inside a data URL",
         "<iframe src=\"data:text/html,%3Ciframe src='data:text/html,%253Cb onclick=x()%253E'%3E\">"
         "</iframe>",
         "inside a data: URL in iframe src: inside a data: URL in iframe src: runs a script: the "
         "event handler onclick"},
        {"Inert data picture", "<img src=\"data:image/png;base64,PHNjcmlwdD4=\" alt=\"\">", ""},
        // SVG animations that give an attribute a script.
        {"Animated script URL",
         "<svg><a><animate attributeName=\"href\" values=\"https://x.example/;javascript:alert(1)\""
         "/>x</a></svg>",
         "runs a script: a javascript: URL in animate values"},
        {"Set to a script URL",
         "<svg><a><set attributeName=\"xlink:href\" to=\" javascript:alert(1)\"/>x</a></svg>",
         "runs a script: a javascript: URL in set to"},
        {"Set event handler", "<svg><set attributeName=\"onmouseover\" to=\"alert(1)\"/></svg>",
         "runs a script: <set> sets the event handler onmouseover"},
        // What a conditional comment holds is live markup for Outlook.
        {"Script for Outlook", "<!--[if mso]><script>alert(1)</script><![endif]-->",
         "HTML line 5: inside a conditional comment for Outlook: runs a script: a <script> "
         "element"},
        {"File base for Outlook", "<!--[if gte mso 9]><base href=\"file:///etc/\"><![endif]-->",
         "inside a conditional comment for Outlook: refers to a local file: \"file:///etc/\""},
        {"Refresh for Outlook",
         "<!--[if mso]>\n<meta http-equiv=\"refresh\" content=\"0;url=https://x.example/\">"
         "<![endif]-->",
         "HTML line 6: inside a conditional comment for Outlook: reloads or leaves the page"},
        {"Frame page for Outlook",
         "<!--[if mso]><iframe srcdoc=\"&lt;b&gt;x\"></iframe><![endif]-->",
         "inside a conditional comment for Outlook: embeds a page of its own"},
        {"Clean conditional", "<!--[if mso]><table><tr><td>x</td></tr></table><![endif]-->", ""},
        {"Revealed conditional is read once",
         "<!--[if !mso]><!--><script>x()</script><!--<![endif]-->",
         "HTML line 5: runs a script: a <script> element"},
        {"Deep nesting", QByteArray("<div>").repeated(200) + QByteArray("</div>").repeated(200),
         "HTML: elements nest 200 deep, more than the 128"},
        {"Web links",
         "<a href=\"https://example.com/\">site</a> <a href=\"mailto:a@b.example\">"
         "mail</a><link rel=\"canonical\" href=\"https://example.com/n\">"
         "<img src=\"cid:a.png@quillery\" alt=\"\"> <a href=\"more.html#x\">x</a>",
         ""},
        {"Style text that loads nothing",
         "<style>/* url(https://x.example/c.png) */ p::after { content: 'https://x.example/d' }"
         "</style>",
         ""},
        {"Text that names schemes",
         "<p title=\"javascript: the basics\">on file: https://x.example/a.png ../x</p>", ""},
    };
    return vectors;
}

// One category page per way a page or an entry can misbehave; each page's
// first link is to a clean template, so only the fault shows.
const QList<Vector>& pageVectors()
{
    static const QList<Vector> vectors{
        {"Script", "<a href=\"#Web links\">x</a>\n<img src=x onerror=\"steal()\">",
         "line 2: runs a script: the event handler onerror"},
        {"Remote thumbnail", "<a href=\"#Web links\"><img src=\"https://x.example/t.png\"></a>",
         "line 1: loads \"https://x.example/t.png\" from the network"},
        {"Climbing thumbnail", "<a href=\"#Web links\"><img src=\"../templates/Script.dat\"></a>",
         "refers outside the page's folder: \"../templates/Script.dat\" in img src"},
        {"Thumbnail link", "<a href=\"#Web links\"><img src=\"thumbs/out.png\"></a>",
         "image \"thumbs/out.png\" (line 1) leads out of the template library (to "},
        {"Template link", "<a href=\"#Web links\">x</a> <a href=\"#Stolen\">y</a>",
         "link \"#Stolen\" (line 1): the template file leads out of the template library (to "
         "/etc/passwd)"},
        {"Own thumbnails", "<a href=\"#Web links\"><img src=\"thumbs/ok.png\"></a>", ""},
    };
    return vectors;
}

} // namespace

// The checks of a template's content: what would show incompletely in the
// preview although the file decodes.
class TestLibraryContentCheck : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    LibraryCheck::Problems m_problems;

    // The library holds every vector at once, as an author's library would.
    void makeHostileLibrary()
    {
        const QString library = m_dir.path();
        QByteArray main;
        for (const Vector& vector : templateVectors()) {
            const QString html = QStringLiteral("<html><head>\n<title>t</title>\n</head><body>\n"
                                                "<img src=\"images/a.png\" alt=\"\">\n%1\n"
                                                "</body></html>\n")
                                     .arg(QString::fromUtf8(vector.html));
            const Result<QByteArray> packed = Module1::packTemplate(composed(html));
            QVERIFY(packed);
            writeFile(library + "/templates/" + vector.name + ".dat", *packed);
            main += "<a href=\"#" + QByteArray(vector.name) + "\">x</a>\n";
        }
        writeFile(library + "/categories/0Templates.html", main);
        for (const Vector& vector : pageVectors())
            writeFile(library + "/categories/" + vector.name + ".html", vector.html);
        writeFile(library + "/categories/thumbs/ok.png", "a thumbnail");
        writeFile(library + "/outside.png", "a picture of the user's");
        writeFile(library + "/outside.html", "<a href=\"#Web links\">x</a>");
        QVERIFY(QFile::link(library + "/outside.png", library + "/categories/thumbs/out.png"));
        QVERIFY(QFile::link("/etc/passwd", library + "/templates/Stolen.dat"));
        QVERIFY(QFile::link("../outside.html", library + "/categories/Page link.html"));
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        makeHostileLibrary();
        m_problems = LibraryCheck::checkLibrary(m_dir.path());
    }

    void hostileLibrary_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("reason");
        for (const Vector& vector : templateVectors())
            QTest::newRow(vector.name) << QStringLiteral("templates/%1.dat").arg(vector.name)
                                       << QString::fromUtf8(vector.reason);
        for (const Vector& vector : pageVectors())
            QTest::newRow(qPrintable("page: " + QString::fromUtf8(vector.name)))
                << QStringLiteral("categories/%1.html").arg(vector.name)
                << QString::fromUtf8(vector.reason);
        // A template with problems still decodes: the page that links them is fine.
        QTest::newRow("page linking them all") << "categories/0Templates.html" << QString();
        QTest::newRow("page that is a link out")
            << "categories/Page link.html"
            << "the category page leads out of the template library (to " + m_dir.path() +
                   "/outside.html) and is not opened";
    }

    // Each entry of the hostile library shows exactly its own problem.
    void hostileLibrary()
    {
        QFETCH(QString, entry);
        QFETCH(QString, reason);
        QStringList reasons;
        for (const LibraryCheck::Problem& problem : m_problems)
            if (problem.path == m_dir.filePath(entry))
                reasons.append(problem.reason);
        if (reason.isEmpty()) {
            QVERIFY2(reasons.isEmpty(), qPrintable(reasons.join('\n')));
        } else {
            QCOMPARE(reasons.size(), 1);
            QVERIFY2(reasons.first().contains(reason), qPrintable(reasons.first()));
        }
    }

    void everyProblemBelongsToAnEntry()
    {
        QStringList entries{"categories/0Templates.html", "categories/Page link.html"};
        for (const Vector& vector : templateVectors())
            entries.append(QStringLiteral("templates/%1.dat").arg(vector.name));
        for (const Vector& vector : pageVectors())
            entries.append(QStringLiteral("categories/%1.html").arg(vector.name));
        for (const LibraryCheck::Problem& problem : m_problems)
            QVERIFY2(entries.contains(QDir(m_dir.path()).relativeFilePath(problem.path)),
                     qPrintable(problem.toString()));
    }

    void checkMessage_data()
    {
        QTest::addColumn<QString>("html");
        QTest::addColumn<QStringList>("expected"); // a fragment of each problem, in order

        const QString head = QStringLiteral("<html><head><style>\n%1\n</style></head><body>"
                                            "<img src=\"images/a.png\" alt=\"\">%2</body></html>");
        QTest::newRow("clean") << head.arg(
                                      QStringLiteral(".x { background: url(cid:a.png@quillery) }"),
                                      QString())
                               << QStringList{};
        QTest::newRow("background under :hover")
            << head.arg(QStringLiteral("a:hover { background: url(cid:a.png@quillery) }"),
                        QString())
            << QStringList{QStringLiteral(
                   "HTML line 2: url(cid:a.png@quillery) under \"a:hover\" loads only on demand")};
        QTest::newRow("background inside @media")
            << head.arg(
                   QStringLiteral(
                       "@media (max-width: 480px) {\n .h { background-image: url('x.png') } }"),
                   QString())
            << QStringList{
                   QStringLiteral("HTML line 3: url(x.png) under \"@media (max-width: 480px)\"")};
        QTest::newRow("image that no part carries")
            << head.arg(QString(), QStringLiteral("<img src=\"cid:gone.png@quillery\" alt=\"\">"))
            << QStringList{QStringLiteral("cid:gone.png@quillery, which no part")};
    }

    void checkMessage()
    {
        QFETCH(QString, html);
        QFETCH(QStringList, expected);
        TemplateMessage::Source source;
        source.from = QStringLiteral("Shop <a@b.example>");
        source.subject = QStringLiteral("Subject");
        source.date = QStringLiteral("Mon, 02 Mar 2026 09:00:00 +0000");
        source.html = html;
        source.text = QStringLiteral("Text\n");
        source.images = {{QStringLiteral("a.png"), "image/png", QByteArray(64, 'p')}};
        const Result<QByteArray> message = TemplateMessage::compose(source);
        QVERIFY2(message, qPrintable(message.status().message()));

        const LibraryCheck::Problems problems =
            LibraryCheck::checkMessage(QStringLiteral("T.dat"), *message);
        QStringList reasons;
        for (const LibraryCheck::Problem& problem : problems)
            reasons.append(problem.reason);
        QCOMPARE(reasons.size(), expected.size());
        for (int i = 0; i < expected.size(); ++i)
            QVERIFY2(reasons[i].contains(expected[i]), qPrintable(reasons[i]));
    }

    // A hostile page with thousands of faults gives a readable report.
    void manyProblemsAreCounted()
    {
        const QString html = "<img src=\"images/a.png\" alt=\"\">" +
                             QStringLiteral("<b onclick=\"x()\">b</b>").repeated(150);
        const LibraryCheck::Problems problems =
            LibraryCheck::checkMessage(QStringLiteral("T.dat"), composed(html));
        QCOMPARE(problems.size(), 101);
        QCOMPARE(problems.last().reason,
                 QStringLiteral("HTML: 50 more problems of the kinds above"));
    }

    // A style sheet that travels as a part of its own is read as one.
    void styleSheetPartIsChecked()
    {
        const QByteArray message =
            "From: a@b.example\r\nSubject: s\r\nMIME-Version: 1.0\r\n"
            "Content-Type: multipart/related; boundary=\"b\"\r\n\r\n"
            "--b\r\nContent-Type: text/html; charset=utf-8\r\n\r\n"
            "<link rel=\"stylesheet\" href=\"cid:s.css\"><p>x</p>\r\n"
            "--b\r\nContent-Type: text/css\r\nContent-ID: <s.css>\r\n\r\n"
            "p { color: red }\r\n@import url(\"https://x.example/a.css\");\r\n"
            "--b--\r\n";
        const LibraryCheck::Problems problems =
            LibraryCheck::checkMessage(QStringLiteral("T.dat"), message);
        QCOMPARE(problems.size(), 1);
        QVERIFY2(problems.first().reason.startsWith(
                     "style sheet cid:s.css line 2: loads \"https://x.example/a.css\""),
                 qPrintable(problems.first().reason));
    }

    void unparsableMessageIsReported()
    {
        const LibraryCheck::Problems problems = LibraryCheck::checkMessage(
            QStringLiteral("T.dat"), QByteArray("Content-Type: multipart/mixed; "
                                                "boundary=\"b\"\r\n\r\n--b\r\n"));
        QVERIFY(!problems.isEmpty());
        QCOMPARE(problems.first().path, QStringLiteral("T.dat"));
    }
};

QTEST_GUILESS_MAIN(TestLibraryContentCheck)
#include "tst_librarycontentcheck.moc"
