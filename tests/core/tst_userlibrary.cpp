#include "core/gallery/htmltext.h"
#include "core/gallery/librarycheck.h"
#include "core/gallery/templatelibrary.h"
#include "core/gallery/templatestaging.h"
#include "core/gallery/userlibrary.h"
#include "core/userlibraryfixture.h"

#include <QFile>
#include <QTest>

using Snapshot = QMap<QString, QByteArray>;

class TestUserLibrary : public QObject
{
    Q_OBJECT

private slots:
    void folderFollowsXdgDataHome();
    void addsMessageAsTheLibraryBuildComposesIt();
    void addsExportedPageWithItsImages();
    void newTemplatesJoinTheEndOfTheirCategory();
    void refusesBadInputAndWritesNothing_data();
    void refusesBadInputAndWritesNothing();
    void failureHalfWayLeavesTheLibraryAsItWas();
    void renamesFileThumbnailAndLink();
    void removesAndDropsAnEmptyCategory();
    void refusesChangesToShippedTemplates();
    void librarySetListsShippedFirst();
    void plainText_data();
    void plainText();
};

namespace {

QString decodedHtml(const QString& datPath)
{
    const Result<TemplateStaging::DecodedTemplate> decoded =
        TemplateStaging::DecodeTemplateFile(datPath);
    return decoded ? QString::fromUtf8(decoded->message) : QString();
}

} // namespace

void TestUserLibrary::folderFollowsXdgDataHome()
{
    UserLibraryFixture fixture;
    QCOMPARE(UserLibrary::DefaultFolder(), fixture.userLibrary());
}

void TestUserLibrary::addsMessageAsTheLibraryBuildComposesIt()
{
    UserLibraryFixture fixture;
    const Result<UserLibrary::Added> added =
        UserLibrary::Add(fixture.libraries(), fixture.messageFile(), UserLibrary::DefaultCategory,
                         QStringLiteral("Spring News"));
    QVERIFY2(added, qPrintable(added.status().message()));
    QCOMPARE(added->templatePath, fixture.userLibrary() + "/templates/Spring News.dat");
    QCOMPARE(added->thumbnailPath, fixture.userLibrary() + "/categories/thumbs/spring-news.png");
    QVERIFY(QFileInfo(added->thumbnailPath).size() > 0);

    // The readers of the shipped library take it as it is.
    QCOMPARE(LibraryCheck::CheckLibrary(fixture.userLibrary()), LibraryCheck::Problems());
    const QString page = fixture.userLibrary() + "/categories/My templates.html";
    QCOMPARE(TemplateLibrary::CategoryNames(fixture.userLibrary()),
             QStringList{UserLibrary::DefaultCategory});
    QCOMPARE(TemplateLibrary::GetFirstLink(page), QStringLiteral("Spring News"));

    const QString message = decodedHtml(added->templatePath);
    QVERIFY(message.contains("multipart/alternative"));
    QVERIFY(message.contains("Content-Type: text/plain"));
    QVERIFY(message.contains("Subject: Sample"));
    QVERIFY(message.contains("From: \"News\" <news@example.com>"));
    QCOMPARE(message.count("Content-Type: image/png"), 2);
    QVERIFY(message.contains("src=3D\"cid:"));
}

void TestUserLibrary::addsExportedPageWithItsImages()
{
    UserLibraryFixture fixture;
    const QString page = fixture.exportedPage();
    QVERIFY(!page.isEmpty());
    const Result<UserLibrary::Added> added = UserLibrary::Add(
        fixture.libraries(), page, QStringLiteral("Seasons"), UserLibrary::DefaultName(page));
    QVERIFY2(added, qPrintable(added.status().message()));
    QCOMPARE(added->name, QStringLiteral("Autumn News"));
    QCOMPARE(LibraryCheck::CheckLibrary(fixture.userLibrary()), LibraryCheck::Problems());
    const QString message = decodedHtml(added->templatePath);
    QCOMPARE(message.count("Content-Type: image/png"), 2);
    QVERIFY(!message.contains("Autumn News_files"));
    // The page's title becomes the subject; the text part carries its words.
    QVERIFY(message.contains("Subject: Sample"));
    QVERIFY(message.contains("Spring news"));
}

void TestUserLibrary::newTemplatesJoinTheEndOfTheirCategory()
{
    UserLibraryFixture fixture;
    for (const QString name : {"First", "Second", "Second!"})
        QVERIFY(UserLibrary::Add(fixture.libraries(), fixture.messageFile(), "Mine", name));
    const QString page = fixture.userLibrary() + "/categories/Mine.html";
    QCOMPARE(TemplateLibrary::TemplateLinks(page), (QStringList{"First", "Second", "Second!"}));
    QCOMPARE(TemplateLibrary::GetFirstLink(page), QStringLiteral("First"));
    // Two names with one thumbnail name keep apart.
    const QList<UserLibrary::Entry> entries =
        UserLibrary::ReadCategoryPage(FileIo::readAll(page).valueOr({}));
    QCOMPARE(entries.at(1).thumbnail, QStringLiteral("second.png"));
    QCOMPARE(entries.at(2).thumbnail, QStringLiteral("second-2.png"));
}

void TestUserLibrary::refusesBadInputAndWritesNothing_data()
{
    QTest::addColumn<QString>("file"); // relative to the fixture; "" for the sample message
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("category");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("reason"); // a part of the message

    const QByteArray page = "<html><body><p>Hello</p>";
    const QString mine = QStringLiteral("Mine");
    QTest::newRow("not a message")
        << "in/junk.eml" << QByteArray("\x01\x02 not mail at all") << mine << "Junk"
        << "not a message";
    QTest::newRow("plain text message")
        << "in/plain.eml"
        << QByteArray("From: a@example.com\r\nSubject: x\r\nContent-Type: text/plain\r\n\r\nHi\r\n")
        << mine << "Plain"
        << "no HTML part";
    // A sparse file: its size is refused before a byte is read.
    QTest::newRow("too large") << "in/huge.eml" << QByteArray("<sparse>") << mine << "Huge"
                               << "larger than";
    QTest::newRow("neither kind") << "in/notes.txt" << page << mine << "Notes"
                                  << ".eml";
    QTest::newRow("image missing")
        << "in/gone.htm" << page + "<img src=\"gone_files/a.png\">" << mine << "Gone"
        << "gone_files/a.png";
    QTest::newRow("not an image") << "in/text.htm" << page + "<img src=\"text.htm\">" << mine
                                  << "Text"
                                  << "text/html";
    QTest::newRow("background picture")
        << "in/back.htm" << page + "<table background=\"back_files/bg.png\"><tr><td>x</td></tr>"
        << mine << "Back"
        << "bg.png";
    QTest::newRow("style sheet picture")
        << "in/styled.htm" << page + "<div style=\"background:url('styled_files/a.png')\">x</div>"
        << mine << "Styled"
        << "styled_files/a.png";
    QTest::newRow("script") << "in/script.htm" << page + "<script>alert(1)</script>" << mine
                            << "Script"
                            << "script";
    QTest::newRow("remote image") << "in/remote.htm"
                                  << page + "<img src=\"https://example.com/x.png\">" << mine
                                  << "Remote"
                                  << "example.com";
    QTest::newRow("local file") << "in/local.htm" << page + "<img src=\"file:///etc/hostname\">"
                                << mine << "Local"
                                << "file:";
    QTest::newRow("climbing out") << "in/climb.htm" << page + "<a href=\"../../etc/passwd\">x</a>"
                                  << mine << "Climb"
                                  << "../../etc/passwd";
    QTest::newRow("hostile message")
        << "in/hostile.eml"
        << QByteArray("From: a@example.com\r\nSubject: x\r\nContent-Type: text/html\r\n\r\n"
                      "<html><body onload=\"steal()\"><p>Hi</p></body></html>\r\n")
        << mine << "Hostile"
        << "onload";
    QTest::newRow("name with a separator") << "" << QByteArray() << mine << "a/b"
                                           << "plain";
    QTest::newRow("name a link would change") << "" << QByteArray() << mine << "50% off"
                                              << "cannot hold";
    QTest::newRow("empty name") << "" << QByteArray() << mine << ""
                                << "needs a name";
    QTest::newRow("shipped name") << "" << QByteArray() << mine << "summer sale"
                                  << "already";
    QTest::newRow("own name") << "" << QByteArray() << mine << "Taken"
                              << "already";
    QTest::newRow("shipped category") << "" << QByteArray() << "Retail"
                                      << "New"
                                      << "shipped";
    QTest::newRow("category the list renames") << "" << QByteArray() << "Top 10"
                                               << "New"
                                               << "drops";
    QTest::newRow("category not a file name") << "" << QByteArray() << "a/b"
                                              << "New"
                                              << "plain";
}

void TestUserLibrary::refusesBadInputAndWritesNothing()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, content);
    QFETCH(QString, category);
    QFETCH(QString, name);
    QFETCH(QString, reason);
    UserLibraryFixture fixture;
    QVERIFY(UserLibrary::Add(fixture.libraries(), fixture.messageFile(), "Mine", "Taken"));
    QString path = fixture.messageFile(QStringLiteral("input"));
    if (!file.isEmpty()) {
        fixture.write(file, content);
        path = fixture.path(file);
        if (content == "<sparse>")
            QVERIFY(QFile::resize(path, MimeComponent::MaxMessageSize + 1));
    }
    const Snapshot before = fixture.snapshot();

    const Result<UserLibrary::Added> added =
        UserLibrary::Add(fixture.libraries(), path, category, name);
    QVERIFY(!added);
    QVERIFY2(added.status().message().contains(reason, Qt::CaseInsensitive),
             qPrintable(added.status().message()));
    QCOMPARE(fixture.snapshot(), before);
}

void TestUserLibrary::failureHalfWayLeavesTheLibraryAsItWas()
{
    UserLibraryFixture fixture;
    QVERIFY(UserLibrary::Add(fixture.libraries(), fixture.messageFile(), "Mine", "Kept"));
    // Where the new category's page would go stands a folder: the last step fails.
    QVERIFY(QDir().mkpath(fixture.userLibrary() + "/categories/Blocked.html"));
    const Snapshot before = fixture.snapshot();

    const Result<UserLibrary::Added> added =
        UserLibrary::Add(fixture.libraries(), fixture.messageFile(), "Blocked", "Lost");
    QVERIFY(!added);
    QCOMPARE(fixture.snapshot(), before);
    QVERIFY(!QFileInfo::exists(fixture.userLibrary() + "/templates/Lost.dat"));
}

void TestUserLibrary::renamesFileThumbnailAndLink()
{
    UserLibraryFixture fixture;
    const LibrarySet libraries = fixture.libraries();
    QVERIFY(UserLibrary::Add(libraries, fixture.messageFile(), "Mine", "Old"));
    QVERIFY(UserLibrary::Add(libraries, fixture.messageFile(), "Mine", "Other"));
    const QString folder = fixture.userLibrary();
    const QByteArray file = FileIo::readAll(folder + "/templates/Old.dat").valueOr({});

    const Snapshot before = fixture.snapshot();
    const Status taken = UserLibrary::Rename(libraries, "Old", "other");
    QVERIFY(!taken);
    QVERIFY2(taken.message().contains("already"), qPrintable(taken.message()));
    QCOMPARE(fixture.snapshot(), before);

    QVERIFY(UserLibrary::Rename(libraries, "Old", "New Name"));
    QCOMPARE(FileIo::readAll(folder + "/templates/New Name.dat").valueOr({}), file);
    QVERIFY(!QFileInfo::exists(folder + "/templates/Old.dat"));
    QVERIFY(!QFileInfo::exists(folder + "/categories/thumbs/old.png"));
    QVERIFY(QFileInfo::exists(folder + "/categories/thumbs/new-name.png"));
    QCOMPARE(TemplateLibrary::TemplateLinks(folder + "/categories/Mine.html"),
             (QStringList{"New Name", "Other"}));
    QCOMPARE(UserLibrary::CategoryOf(libraries, "New Name").valueOr({}), QStringLiteral("Mine"));

    // A change of case only is a rename too.
    QVERIFY(UserLibrary::Rename(libraries, "Other", "OTHER"));
    QCOMPARE(TemplateLibrary::TemplateLinks(folder + "/categories/Mine.html"),
             (QStringList{"New Name", "OTHER"}));
    QCOMPARE(LibraryCheck::CheckLibrary(folder), LibraryCheck::Problems());
}

void TestUserLibrary::removesAndDropsAnEmptyCategory()
{
    UserLibraryFixture fixture;
    const LibrarySet libraries = fixture.libraries();
    QVERIFY(UserLibrary::Add(libraries, fixture.messageFile(), "Mine", "One"));
    QVERIFY(UserLibrary::Add(libraries, fixture.messageFile(), "Mine", "Two"));
    const QString folder = fixture.userLibrary();

    QVERIFY(UserLibrary::Remove(libraries, "One"));
    QCOMPARE(TemplateLibrary::TemplateLinks(folder + "/categories/Mine.html"), QStringList{"Two"});
    QVERIFY(!QFileInfo::exists(folder + "/templates/One.dat"));
    QVERIFY(!QFileInfo::exists(folder + "/categories/thumbs/one.png"));

    QVERIFY(UserLibrary::Remove(libraries, "Two"));
    QVERIFY(!QFileInfo::exists(folder + "/categories/Mine.html"));
    QCOMPARE(TemplateLibrary::CategoryNames(folder), QStringList());
    QCOMPARE(QDir(folder + "/templates").entryList(QDir::Files), QStringList());
    QVERIFY(!UserLibrary::Remove(libraries, "Two"));
}

void TestUserLibrary::refusesChangesToShippedTemplates()
{
    UserLibraryFixture fixture;
    const QByteArray shipped =
        FileIo::readAll(fixture.shipped() + "/templates/Summer Sale.dat").valueOr({});
    for (const Status& status : {UserLibrary::Rename(fixture.libraries(), "Summer Sale", "Mine"),
                                 UserLibrary::Remove(fixture.libraries(), "Summer Sale")}) {
        QVERIFY(!status);
        QVERIFY2(status.message().contains("shipped"), qPrintable(status.message()));
    }
    QCOMPARE(FileIo::readAll(fixture.shipped() + "/templates/Summer Sale.dat").valueOr({}),
             shipped);
}

void TestUserLibrary::librarySetListsShippedFirst()
{
    UserLibraryFixture fixture;
    QVERIFY(UserLibrary::Add(fixture.libraries(), fixture.messageFile(), "Alpha", "A"));
    // A page of the user's with a shipped category's name never shadows it.
    fixture.write("data/quillery/library/categories/Retail.html", "<a href=\"#A\">A</a>");
    const LibrarySet libraries = fixture.libraries();
    const QList<LibrarySet::Category> categories = libraries.categories();
    QCOMPARE(categories.size(), 2);
    QCOMPARE(categories[0].name, QStringLiteral("Retail"));
    QCOMPARE(categories[0].own, false);
    QCOMPARE(categories[1].name, QStringLiteral("Alpha"));
    QCOMPARE(categories[1].own, true);
    QCOMPARE(libraries.folderOf("Retail"), fixture.shipped());
    QCOMPARE(libraries.folderOf("Alpha"), fixture.userLibrary());
    QVERIFY(libraries.isOwnTemplate("A"));
    QVERIFY(!libraries.isOwnTemplate("Summer Sale"));
    QVERIFY(libraries.hasTemplate("summer sale"));
    // A template is read from the library that holds it, whatever category is shown.
    QCOMPARE(libraries.templateFolder("A", "Alpha"), fixture.userLibrary());
    QCOMPARE(libraries.templateFolder("A", "Retail"), fixture.userLibrary());
    QCOMPARE(libraries.templateFolder("Summer Sale", "Alpha"), fixture.shipped());
    QCOMPARE(libraries.templateFolder("Nobody", "Alpha"), fixture.shipped());
}

void TestUserLibrary::plainText_data()
{
    QTest::addColumn<QByteArray>("html");
    QTest::addColumn<QString>("text");
    QTest::newRow("paragraphs") << QByteArray("<p>One\n  two</p><p>Three</p>")
                                << "One two\n\nThree\n";
    QTest::newRow("head and styles leave nothing")
        << QByteArray("<html><head><title>T</title><style>p{}</style></head>"
                      "<body><script>x()</script><p>Body</p></body></html>")
        << "Body\n";
    QTest::newRow("link address after its words")
        << QByteArray("<p>See <a href=\"https://example.com/a\">our shop</a>.</p>")
        << "See our shop (https://example.com/a).\n";
    QTest::newRow("placeholder link targets")
        << QByteArray("<p><a href=\"[unsubscribe_url]\">Unsubscribe</a> &middot; "
                      "<a href=\"{{preferences_url}}\">Update your preferences</a></p>")
        << QString::fromUtf8("Unsubscribe ([unsubscribe_url]) · Update your preferences "
                             "({{preferences_url}})\n");
    QTest::newRow("other link targets")
        << QByteArray("<p><a href=\"tel:+4930123\">Call</a> <a href=\"shop/a.html\">Shop</a> "
                      "<a href=\"https://x.example/?a=1&amp;b=2\">Go</a></p>")
        << "Call (tel:+4930123) Shop (shop/a.html) Go (https://x.example/?a=1&b=2)\n";
    QTest::newRow("no target for a jump, a script or an empty link")
        << QByteArray("<p><a href=\"#top\">Top</a> <a href=\"javascript:x()\">Run</a> "
                      "<a href=\"\">None</a> <a>Bare</a></p>")
        << "Top Run None Bare\n";
    QTest::newRow("a link that shows its address")
        << QByteArray("<p><a href=\"https://www.example.com/\">www.example.com</a> "
                      "<a href=\"mailto:a@b.example\">a@b.example</a></p>")
        << "www.example.com a@b.example\n";
    QTest::newRow("struck price") << QByteArray(
                                         "<p>\xe2\x82\xac899 (was <s>\xe2\x82\xac1,099</s>)</p>")
                                  << QString::fromUtf8("€899 (was ~~€1,099~~)\n");
    QTest::newRow("struck by style, marks hug the words")
        << QByteArray("<p>Now \xe2\x82\xac39 <span style=\"text-decoration: Line-Through\"> "
                      "\xe2\x82\xac65 </span></p>")
        << QString::fromUtf8("Now €39 ~~€65~~\n");
    QTest::newRow("struck elements nested, del and strike")
        << QByteArray("<p><del>old <strike>older</strike> words</del> new</p>")
        << "~~old older words~~ new\n";
    QTest::newRow("struck picture leaves no marks")
        << QByteArray("<p>A<s><img src=\"x.png\"></s>B</p>") << "AB\n";
    QTest::newRow("hidden preheader")
        << QByteArray("<div style=\"display: none\">Preheader</div><p>Seen</p>") << "Seen\n";
    QTest::newRow("aria hidden") << QByteArray("<p>A<span aria-hidden=\"true\">B</span>C</p>")
                                 << "A C\n";
    QTest::newRow("references and rows")
        << QByteArray("<table><tr><td>Caf&eacute;</td><td>&amp; tea</td></tr>"
                      "<tr><td>Line&nbsp;two</td></tr></table>")
        << QString::fromUtf8("Café & tea\nLine two\n");
    QTest::newRow("line breaks") << QByteArray("<p>a<br>b<br/>c</p>") << "a\nb\nc\n";
    QTest::newRow("comment") << QByteArray("<p>a<!-- <p>b</p> -->c</p>") << "ac\n";
    QTest::newRow("wrapped at 72") << QByteArray("<p>" + QByteArray("word ").repeated(20) + "</p>")
                                   << QString("word ").repeated(14).trimmed() + "\n" +
                                          QString("word ").repeated(6).trimmed() + "\n";
    QTest::newRow("stray angle") << QByteArray("<p>1 < 2</p>") << "1 < 2\n";
    QTest::newRow("empty") << QByteArray("") << QString();
}

void TestUserLibrary::plainText()
{
    QFETCH(QByteArray, html);
    QFETCH(QString, text);
    QCOMPARE(HtmlText::PlainText(html), text);
}

QTEST_GUILESS_MAIN(TestUserLibrary)
#include "tst_userlibrary.moc"
