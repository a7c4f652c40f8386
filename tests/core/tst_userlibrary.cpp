#include "core/gallery/check/librarycheck.h"
#include "core/gallery/library/templatedecoding.h"
#include "core/gallery/library/templatelibrary.h"
#include "core/gallery/library/templatestaging.h"
#include "core/gallery/library/userlibraryjournal.h"
#include "core/gallery/userlibrary/htmltext.h"
#include "core/gallery/userlibrary/userlibrary.h"
#include "core/platform/fileio.h"
#include "core/userlibraryfixture.h"

#include <QFile>
#include <QTest>

#include <sys/stat.h>

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
    void picturesOnlyFromThePageFolder_data();
    void picturesOnlyFromThePageFolder();
    void namesAreComposedAndLookAlikesRefused_data();
    void namesAreComposedAndLookAlikesRefused();
    void failureHalfWayLeavesTheLibraryAsItWas();
    void renamesFileThumbnailAndLink();
    void renameTakesNoThumbnailThatIsNoFile();
    void removesAndDropsAnEmptyCategory();
    void restorePutsItBackInItsPlace_data();
    void restorePutsItBackInItsPlace();
    void refusesChangesToShippedTemplates();
    void librarySetListsShippedFirst();
    void categoryPageShapes_data();
    void categoryPageShapes();
    void changesRefuseAPageTheyDoNotUnderstand_data();
    void changesRefuseAPageTheyDoNotUnderstand();
    void checkReportsWhatACutOffChangeLeft();
    void messageRoundTripKeepsSenderAndDate_data();
    void messageRoundTripKeepsSenderAndDate();
    void plainText_data();
    void plainText();
};

namespace {

QString decodedHtml(const QString& datPath)
{
    const Result<TemplateStaging::DecodedTemplate> decoded =
        TemplateStaging::decodeTemplateFile(datPath);
    return decoded ? QString::fromUtf8(decoded->message) : QString();
}

} // namespace

void TestUserLibrary::folderFollowsXdgDataHome()
{
    UserLibraryFixture fixture;
    QCOMPARE(UserLibrary::defaultFolder(), fixture.userLibrary());
}

void TestUserLibrary::addsMessageAsTheLibraryBuildComposesIt()
{
    UserLibraryFixture fixture;
    const Result<UserLibrary::Added> added =
        UserLibrary::add(fixture.libraries(), fixture.messageFile(), UserLibrary::DefaultCategory,
                         QStringLiteral("Spring News"));
    QVERIFY2(added, qPrintable(added.status().message()));
    QCOMPARE(added->templatePath, fixture.userLibrary() + "/templates/Spring News.dat");
    QCOMPARE(added->thumbnailPath, fixture.userLibrary() + "/categories/thumbs/spring-news.png");
    QVERIFY(QFileInfo(added->thumbnailPath).size() > 0);

    // The readers of the shipped library take it as it is.
    QCOMPARE(LibraryCheck::checkLibrary(fixture.userLibrary()), LibraryCheck::Problems());
    const QString page = fixture.userLibrary() + "/categories/My templates.html";
    QCOMPARE(TemplateLibrary::categoryNames(fixture.userLibrary()),
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
    const Result<UserLibrary::Added> added = UserLibrary::add(
        fixture.libraries(), page, QStringLiteral("Seasons"), UserLibrary::defaultName(page));
    QVERIFY2(added, qPrintable(added.status().message()));
    QCOMPARE(added->name, QStringLiteral("Autumn News"));
    QCOMPARE(LibraryCheck::checkLibrary(fixture.userLibrary()), LibraryCheck::Problems());
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
        QVERIFY(UserLibrary::add(fixture.libraries(), fixture.messageFile(), "Mine", name));
    const QString page = fixture.userLibrary() + "/categories/Mine.html";
    QCOMPARE(TemplateLibrary::templateLinks(page), (QStringList{"First", "Second", "Second!"}));
    QCOMPARE(TemplateLibrary::GetFirstLink(page), QStringLiteral("First"));
    // Two names with one thumbnail name keep apart.
    const QList<UserLibrary::Entry> entries =
        UserLibrary::readCategoryPage(FileIo::readAll(page).valueOr({}));
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
    // A header the template would take over must fit a line of a message.
    QTest::newRow("huge subject") << "in/subject.eml"
                                  << "From: a@example.com\r\nSubject: " + QByteArray(100000, 's') +
                                         "\r\nContent-Type: text/html\r\n\r\n<p>Hi</p>\r\n"
                                  << mine << "Subject"
                                  << "Subject is 100000 characters long";
    QTest::newRow("huge page title")
        << "in/title.htm"
        << "<html><head><title>" + QByteArray(5000, 't') + "</title>" + page << mine << "Title"
        << "Subject is 5000 characters long";
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
    QVERIFY(UserLibrary::add(fixture.libraries(), fixture.messageFile(), "Mine", "Taken"));
    QString path = fixture.messageFile(QStringLiteral("input"));
    if (!file.isEmpty()) {
        fixture.write(file, content);
        path = fixture.path(file);
        if (content == "<sparse>")
            QVERIFY(QFile::resize(path, MimeComponent::MaxMessageSize + 1));
    }
    const Snapshot before = fixture.snapshot();

    const Result<UserLibrary::Added> added =
        UserLibrary::add(fixture.libraries(), path, category, name);
    QVERIFY(!added);
    QVERIFY2(added.status().message().contains(reason, Qt::CaseInsensitive),
             qPrintable(added.status().message()));
    QCOMPARE(fixture.snapshot(), before);
}

void TestUserLibrary::picturesOnlyFromThePageFolder_data()
{
    QTest::addColumn<QString>("file");      // the page or message, in the fixture
    QTest::addColumn<QByteArray>("html");   // "SECRET" stands for the outside picture's path
    QTest::addColumn<QStringList>("links"); // "link=target" pairs, in the fixture
    QTest::addColumn<QString>("reason");

    // Read as the check and the engine read it: "%2F" is part of a name,
    // not a separator, whatever decoding it once would give.
    QTest::newRow("encoded slashes")
        << "in/page.htm" << QByteArray("<img src=\"..%2Fsecret.png\">") << QStringList()
        << "\u201c..%2Fsecret.png\u201d it shows names no file";
    QTest::newRow("encoded dots and slash")
        << "in/page.htm" << QByteArray("<img src=\"%2e%2e%2Fsecret.png\">") << QStringList()
        << "names no file";
    QTest::newRow("linked folder")
        << "in/page.htm" << QByteArray("<img src=\"page_files/secret.png\">")
        << QStringList{"in/page_files=.."} << "lies outside the page's folder";
    QTest::newRow("linked picture")
        << "in/page.htm" << QByteArray("<img src=\"page_files/a.png\">")
        << QStringList{"in/page_files/a.png=../../secret.png"} << "lies outside the page's folder";
    // Under a file: page these are files of this computer, not the network.
    QTest::newRow("localhost") << "in/page.htm" << QByteArray("<img src=\"//localhost/SECRET\">")
                               << QStringList() << "local file";
    QTest::newRow("loopback address, backslashes")
        << "in/page.htm" << QByteArray("<img src=\"\\\\127.0.0.1\\SECRET\">") << QStringList()
        << "local file";
    // A message's page is written to a working folder of its own first.
    QTest::newRow("message climbing from its working folder")
        << "in/message.eml"
        << QByteArray("<img src=\"") + QByteArray("..%2F").repeated(20) + "SECRET_ENCODED\">"
        << QStringList() << "names no file";
}

// What a page shows is carried into the template, and sent with it later:
// only pictures that really lie in the page's folder qualify.
void TestUserLibrary::picturesOnlyFromThePageFolder()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, html);
    QFETCH(QStringList, links);
    QFETCH(QString, reason);
    UserLibraryFixture fixture;
    const QByteArray png =
        QByteArray::fromBase64("iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAYAAAAfFcSJAAAADUlEQVR42mP8z8BQDwA"
                               "EhQGAhKmMIQAAAABJRU5ErkJggg==");
    fixture.write(QStringLiteral("secret.png"), png);
    fixture.write(QStringLiteral("in/page_files/.keep"), "");
    const QString secret = fixture.path(QStringLiteral("secret.png"));
    QByteArray encoded = secret.toUtf8().mid(1);
    encoded.replace('/', "%2F");
    html.replace("SECRET_ENCODED", encoded).replace("SECRET", secret.toUtf8().mid(1));
    for (const QString& link : links) {
        const QStringList parts = link.split('=');
        QDir(fixture.path(parts[0])).removeRecursively();
        QVERIFY(QFile::link(parts[1], fixture.path(parts[0])));
    }
    const QByteArray page =
        "<html><head><title>T</title></head><body><p>Hi</p>" + html + "</body></html>";
    fixture.write(file, file.endsWith(".eml")
                            ? "From: a@example.com\r\nSubject: s\r\nContent-Type: text/html\r\n"
                              "\r\n" +
                                  page + "\r\n"
                            : page);
    const Result<UserLibrary::Added> added = UserLibrary::add(
        fixture.libraries(), fixture.path(file), QStringLiteral("Mine"), QStringLiteral("T"));
    QVERIFY2(!added, "the outside picture was carried into the template");
    QVERIFY2(added.status().message().contains(reason), qPrintable(added.status().message()));
    QVERIFY(!QFileInfo::exists(fixture.userLibrary() + "/templates/T.dat"));
}

void TestUserLibrary::namesAreComposedAndLookAlikesRefused_data()
{
    QTest::addColumn<QString>("category");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("reason"); // empty: added, under its composed form

    const QString mine = QStringLiteral("Mine");
    QTest::newRow("decomposed accents of a shipped name")
        << mine << QStringLiteral("Cafe\u0301 Menu") << "already";
    QTest::newRow("full-width letters of a shipped name")
        << mine << QStringLiteral("\uFF23af\u00e9 \uFF2Denu") << "reads the same as";
    QTest::newRow("ligature and case of an own name")
        << mine << QStringLiteral("O\uFB03CE") << "reads the same as";
    QTest::newRow("right-to-left override")
        << mine << QStringLiteral("evil\u202Egnp.exe") << "U+202E";
    QTest::newRow("isolate") << mine << QStringLiteral("a\u2067b") << "U+2067";
    QTest::newRow("zero width space") << mine << QStringLiteral("Caf\u200Be") << "U+200B";
    QTest::newRow("left-to-right mark") << mine << QStringLiteral("x\u200E") << "U+200E";
    QTest::newRow("Arabic letter mark") << mine << QStringLiteral("x\u061C") << "U+061C";
    QTest::newRow("filler") << mine << QStringLiteral("x\u3164y") << "U+3164";
    QTest::newRow("category with a control")
        << QStringLiteral("Mi\u202Ene") << QStringLiteral("New") << "U+202E";
    QTest::newRow("category reading as an own one")
        << QStringLiteral("MINE") << QStringLiteral("New") << "reads the same as the category";
    QTest::newRow("category reading as a shipped one")
        << QStringLiteral("\uFF32etail") << QStringLiteral("New") << "reads the same as";
    QTest::newRow("decomposed name is stored composed")
        << QStringLiteral("Me\u0301nu") << QStringLiteral("Re\u0301sume\u0301") << QString();
}

void TestUserLibrary::namesAreComposedAndLookAlikesRefused()
{
    QFETCH(QString, category);
    QFETCH(QString, name);
    QFETCH(QString, reason);
    UserLibraryFixture fixture;
    fixture.write(QStringLiteral("shipped/templates/Caf\u00e9 Menu.dat"), "shipped");
    QVERIFY(UserLibrary::add(fixture.libraries(), fixture.messageFile(), "Mine", "Office"));
    QVERIFY(UserLibrary::add(fixture.libraries(), fixture.messageFile(), "Mine", "Other"));
    const Snapshot before = fixture.snapshot();

    const Result<UserLibrary::Added> added =
        UserLibrary::add(fixture.libraries(), fixture.messageFile(), category, name);
    if (!reason.isEmpty()) {
        QVERIFY2(!added, "the name was taken");
        QVERIFY2(added.status().message().contains(reason), qPrintable(added.status().message()));
        QCOMPARE(fixture.snapshot(), before);
        // A rename is held to the same rules.
        if (category == QLatin1String("Mine")) {
            const Status renamed = UserLibrary::rename(fixture.libraries(), "Other", name);
            QVERIFY(!renamed);
            QCOMPARE(fixture.snapshot(), before);
        }
        return;
    }
    QVERIFY2(added, qPrintable(added.status().message()));
    const QString composedName = name.normalized(QString::NormalizationForm_C);
    const QString composedCategory = category.normalized(QString::NormalizationForm_C);
    QCOMPARE(added->name, composedName);
    QCOMPARE(added->category, composedCategory);
    QCOMPARE(added->templatePath, fixture.userLibrary() + "/templates/" + composedName + ".dat");
    QVERIFY(QFileInfo::exists(added->templatePath));
    QVERIFY(TemplateLibrary::categoryNames(fixture.userLibrary()).contains(composedCategory));
    // Renamed to a decomposed name, it is stored composed too.
    QVERIFY(UserLibrary::rename(fixture.libraries(), "Office", "Bu\u0308ro"));
    QVERIFY(QFileInfo::exists(fixture.userLibrary() + "/templates/B\u00fcro.dat"));
}

void TestUserLibrary::failureHalfWayLeavesTheLibraryAsItWas()
{
    UserLibraryFixture fixture;
    QVERIFY(UserLibrary::add(fixture.libraries(), fixture.messageFile(), "Mine", "Kept"));
    // Where the new category's page would go stands a folder: the last step fails.
    QVERIFY(QDir().mkpath(fixture.userLibrary() + "/categories/Blocked.html"));
    const Snapshot before = fixture.snapshot();

    const Result<UserLibrary::Added> added =
        UserLibrary::add(fixture.libraries(), fixture.messageFile(), "Blocked", "Lost");
    QVERIFY(!added);
    QCOMPARE(fixture.snapshot(), before);
    QVERIFY(!QFileInfo::exists(fixture.userLibrary() + "/templates/Lost.dat"));
}

void TestUserLibrary::renamesFileThumbnailAndLink()
{
    UserLibraryFixture fixture;
    const LibrarySet libraries = fixture.libraries();
    QVERIFY(UserLibrary::add(libraries, fixture.messageFile(), "Mine", "Old"));
    QVERIFY(UserLibrary::add(libraries, fixture.messageFile(), "Mine", "Other"));
    const QString folder = fixture.userLibrary();
    const QByteArray file = FileIo::readAll(folder + "/templates/Old.dat").valueOr({});

    const Snapshot before = fixture.snapshot();
    const Status taken = UserLibrary::rename(libraries, "Old", "other");
    QVERIFY(!taken);
    QVERIFY2(taken.message().contains("already"), qPrintable(taken.message()));
    QCOMPARE(fixture.snapshot(), before);

    QVERIFY(UserLibrary::rename(libraries, "Old", "New Name"));
    QCOMPARE(FileIo::readAll(folder + "/templates/New Name.dat").valueOr({}), file);
    QVERIFY(!QFileInfo::exists(folder + "/templates/Old.dat"));
    QVERIFY(!QFileInfo::exists(folder + "/categories/thumbs/old.png"));
    QVERIFY(QFileInfo::exists(folder + "/categories/thumbs/new-name.png"));
    QCOMPARE(TemplateLibrary::templateLinks(folder + "/categories/Mine.html"),
             (QStringList{"New Name", "Other"}));
    QCOMPARE(UserLibrary::categoryOf(libraries, "New Name").valueOr({}), QStringLiteral("Mine"));

    // A change of case only is a rename too.
    QVERIFY(UserLibrary::rename(libraries, "Other", "OTHER"));
    QCOMPARE(TemplateLibrary::templateLinks(folder + "/categories/Mine.html"),
             (QStringList{"New Name", "OTHER"}));
    QCOMPARE(LibraryCheck::checkLibrary(folder), LibraryCheck::Problems());
}

// A FIFO in place of the thumbnail used to block the rename for good.
void TestUserLibrary::renameTakesNoThumbnailThatIsNoFile()
{
    UserLibraryFixture fixture;
    const LibrarySet libraries = fixture.libraries();
    QVERIFY(UserLibrary::add(libraries, fixture.messageFile(), "Mine", "Old"));
    const QString folder = fixture.userLibrary();
    const QByteArray thumb = QFile::encodeName(folder + "/categories/thumbs/old.png");
    QVERIFY(QFile::remove(QString::fromLocal8Bit(thumb)));
    QCOMPARE(::mkfifo(thumb.constData(), 0600), 0);

    QVERIFY(UserLibrary::rename(libraries, "Old", "New"));
    const QString renamed = folder + "/categories/thumbs/new.png";
    QVERIFY(QFileInfo(renamed).isFile());
    QCOMPARE(FileIo::readAll(renamed).valueOr({}), UserLibrary::placeholderThumbnail());
    QCOMPARE(TemplateLibrary::templateLinks(folder + "/categories/Mine.html"), QStringList{"New"});
}

void TestUserLibrary::removesAndDropsAnEmptyCategory()
{
    UserLibraryFixture fixture;
    const LibrarySet libraries = fixture.libraries();
    QVERIFY(UserLibrary::add(libraries, fixture.messageFile(), "Mine", "One"));
    QVERIFY(UserLibrary::add(libraries, fixture.messageFile(), "Mine", "Two"));
    const QString folder = fixture.userLibrary();

    QVERIFY(UserLibrary::remove(libraries, "One"));
    QCOMPARE(TemplateLibrary::templateLinks(folder + "/categories/Mine.html"), QStringList{"Two"});
    QVERIFY(!QFileInfo::exists(folder + "/templates/One.dat"));
    QVERIFY(!QFileInfo::exists(folder + "/categories/thumbs/one.png"));

    QVERIFY(UserLibrary::remove(libraries, "Two"));
    QVERIFY(!QFileInfo::exists(folder + "/categories/Mine.html"));
    QCOMPARE(TemplateLibrary::categoryNames(folder), QStringList());
    QCOMPARE(QDir(folder + "/templates").entryList(QDir::Files), QStringList());
    QVERIFY(!UserLibrary::remove(libraries, "Two"));
}

void TestUserLibrary::restorePutsItBackInItsPlace_data()
{
    QTest::addColumn<QString>("category");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("links"); // empty: refused, nothing written
    QTest::newRow("first") << "Mine" << 0 << "Back" << QStringList{"Back", "One", "Two"};
    QTest::newRow("between") << "Mine" << 1 << "Back" << QStringList{"One", "Back", "Two"};
    QTest::newRow("past the end of a shorter page")
        << "Mine" << 7 << "Back" << QStringList{"One", "Two", "Back"};
    QTest::newRow("a category that went with it") << "Gone" << 3 << "Back" << QStringList{"Back"};
    QTest::newRow("a name taken meanwhile") << "Mine" << 0 << "two" << QStringList{};
}

void TestUserLibrary::restorePutsItBackInItsPlace()
{
    QFETCH(QString, category);
    QFETCH(int, position);
    QFETCH(QString, name);
    QFETCH(QStringList, links);
    UserLibraryFixture fixture;
    const LibrarySet libraries = fixture.libraries();
    QVERIFY(UserLibrary::add(libraries, fixture.messageFile(), "Mine", "One"));
    QVERIFY(UserLibrary::add(libraries, fixture.messageFile(), "Mine", "Two"));
    const QString folder = fixture.userLibrary();
    const QByteArray packed = FileIo::readAll(folder + "/templates/One.dat").valueOr(QByteArray());
    const QByteArray png = "\x89PNG picture";
    const Snapshot before = fixture.snapshot();

    const Result<UserLibrary::Added> restored =
        UserLibrary::restore(libraries, name, category, position, packed, png);
    if (links.isEmpty()) {
        QVERIFY(!restored);
        QVERIFY2(restored.status().message().contains(name),
                 qPrintable(restored.status().message()));
        QCOMPARE(fixture.snapshot(), before);
        return;
    }
    QVERIFY2(restored, qPrintable(restored.status().message()));
    QCOMPARE(TemplateLibrary::templateLinks(folder + "/categories/" + category + ".html"), links);
    QCOMPARE(FileIo::readAll(restored->templatePath).valueOr(QByteArray()), packed);
    QCOMPARE(FileIo::readAll(restored->thumbnailPath).valueOr(QByteArray()), png);
    QVERIFY(!QFileInfo::exists(folder + "/" + UserLibraryJournal::JournalName));
}

void TestUserLibrary::refusesChangesToShippedTemplates()
{
    UserLibraryFixture fixture;
    const QByteArray shipped =
        FileIo::readAll(fixture.shipped() + "/templates/Summer Sale.dat").valueOr({});
    for (const Status& status : {UserLibrary::rename(fixture.libraries(), "Summer Sale", "Mine"),
                                 UserLibrary::remove(fixture.libraries(), "Summer Sale")}) {
        QVERIFY(!status);
        QVERIFY2(status.message().contains("shipped"), qPrintable(status.message()));
    }
    QCOMPARE(FileIo::readAll(fixture.shipped() + "/templates/Summer Sale.dat").valueOr({}),
             shipped);
}

void TestUserLibrary::librarySetListsShippedFirst()
{
    UserLibraryFixture fixture;
    QVERIFY(UserLibrary::add(fixture.libraries(), fixture.messageFile(), "Alpha", "A"));
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
        // Wrapped where a line passes 72 characters, as every plain-text line is.
        << QString::fromUtf8("Unsubscribe ([unsubscribe_url]) · Update your preferences\n"
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
    QTest::newRow("struck price") << QByteArray("<p>\xe2\x82\xac"
                                                "899 (was <s>\xe2\x82\xac"
                                                "1,099</s>)</p>")
                                  << QString::fromUtf8("€899 (was ~~€1,099~~)\n");
    QTest::newRow("struck by style, marks hug the words")
        << QByteArray("<p>Now \xe2\x82\xac"
                      "39 <span style=\"text-decoration: Line-Through\"> "
                      "\xe2\x82\xac"
                      "65 </span></p>")
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
    QCOMPARE(HtmlText::plainText(html), text);
}

void TestUserLibrary::categoryPageShapes_data()
{
    QTest::addColumn<QByteArray>("page");
    QTest::addColumn<QStringList>("names"); // empty: the page is refused

    const QByteArray own =
        UserLibrary::categoryPage("Mine", {{"One", "one.png"}, {"Two", "two.png"}});
    QTest::newRow("as written") << own << QStringList{"One", "Two"};
    QTest::newRow("newline between link and picture")
        << QByteArray("<ul><li><a href=\"#One\">\n  <img src=\"thumbs/one.png\"></a>\n"
                      "<li><a href=\"#Two\"><img src=\"thumbs/two.png\"></a></ul>")
        << QStringList{"One", "Two"};
    QTest::newRow("other spelling")
        << QByteArray("<A HREF='#One' class=x\n><IMG alt=\"\" SRC=thumbs/one.png></A>"
                      "<a href=\"#T%77o\"><img src=\"thumbs/two.png\"></a>")
        << QStringList{"One", "Two"};
    QTest::newRow("link in a comment is no link")
        << QByteArray("<!-- <a href=\"#Gone\">x</a> --><a href=\"#One\"><img "
                      "src=\"thumbs/one.png\"></a>")
        << QStringList{"One"};
    QTest::newRow("empty") << QByteArray() << QStringList();
    QTest::newRow("junk") << QByteArray("\x01\x02 <<< not a page >>>\xff") << QStringList();
    QTest::newRow("no links") << QByteArray("<html><body><p>Nothing here</p></body></html>")
                              << QStringList();
    QTest::newRow("link without its picture")
        << QByteArray("<a href=\"#One\"><img src=\"thumbs/one.png\"></a><a "
                      "href=\"#Two\">Two</a>")
        << QStringList();
    QTest::newRow("picture from elsewhere")
        << QByteArray("<a href=\"#One\"><img src=\"../one.png\"></a>") << QStringList();
    QTest::newRow("link elsewhere")
        << QByteArray("<a href=\"#One\"><img src=\"thumbs/one.png\"></a><a "
                      "href=\"https://example.com\"><img src=\"thumbs/x.png\"></a>")
        << QStringList();
    QTest::newRow("image map")
        << QByteArray("<a href=\"#One\"><img src=\"thumbs/one.png\"></a><area href=\"#Two\">")
        << QStringList();
}

void TestUserLibrary::categoryPageShapes()
{
    QFETCH(QByteArray, page);
    QFETCH(QStringList, names);
    const Result<QList<UserLibrary::Entry>> entries =
        UserLibrary::parseCategoryPage("/lib/categories/Mine.html", page);
    if (names.isEmpty()) {
        QVERIFY(!entries);
        QVERIFY2(entries.status().message().contains("/lib/categories/Mine.html"),
                 qPrintable(entries.status().message()));
        return;
    }
    QVERIFY2(entries, qPrintable(entries.status().message()));
    QStringList read;
    for (const UserLibrary::Entry& entry : *entries)
        read << entry.name;
    QCOMPARE(read, names);
}

void TestUserLibrary::changesRefuseAPageTheyDoNotUnderstand_data()
{
    QTest::addColumn<QByteArray>("page"); // replaces Mine.html, which links "Kept"
    QTest::addColumn<bool>("understood");
    QTest::newRow("newline between link and picture")
        << QByteArray("<ul><li><a href=\"#Kept\">\n<img src=\"thumbs/kept.png\"></a></ul>") << true;
    QTest::newRow("junk before the link")
        << QByteArray("junk <a href=\"#Kept\"><b>Kept</b></a>") << false;
    QTest::newRow("emptied") << QByteArray() << false;
}

void TestUserLibrary::changesRefuseAPageTheyDoNotUnderstand()
{
    QFETCH(QByteArray, page);
    QFETCH(bool, understood);
    UserLibraryFixture fixture;
    const LibrarySet libraries = fixture.libraries();
    QVERIFY(UserLibrary::add(libraries, fixture.messageFile(), "Mine", "Kept"));
    const QString path = fixture.userLibrary() + "/categories/Mine.html";
    fixture.write("data/quillery/library/categories/Mine.html", page);
    const Snapshot before = fixture.snapshot();

    const Result<UserLibrary::Added> added =
        UserLibrary::add(libraries, fixture.messageFile(), "Mine", "New");
    // A template on no page is renamed alone; one on a page refused with it.
    const Status renamed =
        page.isEmpty() ? Status::failure(path) : UserLibrary::rename(libraries, "Kept", "Renamed");
    if (understood) {
        QVERIFY2(added, qPrintable(added.status().message()));
        QVERIFY2(renamed, qPrintable(renamed.message()));
        // The other template stays on the page beside the new one.
        QCOMPARE(TemplateLibrary::templateLinks(path), (QStringList{"Renamed", "New"}));
        QCOMPARE(LibraryCheck::checkLibrary(fixture.userLibrary()), LibraryCheck::Problems());
        return;
    }
    QVERIFY(!added);
    QVERIFY2(added.status().message().contains(path), qPrintable(added.status().message()));
    QVERIFY(!renamed);
    QVERIFY2(renamed.message().contains(path), qPrintable(renamed.message()));
    QCOMPARE(fixture.snapshot(), before);
}

void TestUserLibrary::checkReportsWhatACutOffChangeLeft()
{
    UserLibraryFixture fixture;
    const QString folder = fixture.userLibrary();
    QVERIFY(UserLibrary::add(fixture.libraries(), fixture.messageFile(), "Mine", "Shown"));
    const QByteArray dat = FileIo::readAll(folder + "/templates/Shown.dat").valueOr({});
    fixture.write("data/quillery/library/templates/Hidden.dat", dat);
    fixture.write("data/quillery/library/categories/Mine.html.a1B2c3", "half a page");
    fixture.write("data/quillery/library/.quillery-built",
                  "categories/Mine.html\tx\ncategories/Gone.html\tx\n");
    fixture.write("data/quillery/library/.quillery-change",
                  "quillery-change 1\nop\tremove\nname\tHidden\n");

    QStringList reported;
    for (const LibraryCheck::Problem& problem : LibraryCheck::checkLibrary(folder))
        reported << problem.toString();
    const QStringList expected{
        folder + "/templates/Hidden.dat: on no category page",
        folder + "/categories/Gone.html: missing, though the library's record",
        folder + "/.quillery-change: a change of the library was cut off",
        folder + "/categories/Mine.html.a1B2c3: a temporary file left",
    };
    QCOMPARE(reported.size(), expected.size());
    for (qsizetype i = 0; i < expected.size(); ++i)
        QVERIFY2(reported[i].startsWith(expected[i]), qPrintable(reported[i]));

    // The journal finishes the remove; the leftover goes with it.
    QVERIFY(UserLibrary::repair(folder));
    QVERIFY(!QFileInfo::exists(folder + "/templates/Hidden.dat"));
    QVERIFY(!QFileInfo::exists(folder + "/categories/Mine.html.a1B2c3"));
    QVERIFY(!QFileInfo::exists(folder + "/.quillery-change"));
    QFile::remove(folder + "/.quillery-built");
    QCOMPARE(LibraryCheck::checkLibrary(folder), LibraryCheck::Problems());
}

void TestUserLibrary::messageRoundTripKeepsSenderAndDate_data()
{
    QTest::addColumn<QByteArray>("from");
    QTest::addColumn<QString>("name");      // as a mail program shows it
    QTest::addColumn<QByteArray>("stored"); // the header as the template holds it

    QTest::newRow("plain name") << QByteArray("News <news@example.com>") << "News"
                                << QByteArray("\"News\" <news@example.com>");
    QTest::newRow("quoted with &")
        << QByteArray("\"Harbour & Pine\" <hp@example.com>") << "Harbour & Pine"
        << QByteArray("\"Harbour & Pine\" <hp@example.com>");
    QTest::newRow("quotes inside")
        << QByteArray(R"("The \"Best\" Shop" <b@example.com>)") << "The \"Best\" Shop"
        << QByteArray(R"("The \"Best\" Shop" <b@example.com>)");
    QTest::newRow("backslash") << QByteArray(R"("Back\\slash" <b@example.com>)") << "Back\\slash"
                               << QByteArray(R"("Back\\slash" <b@example.com>)");
    QTest::newRow("encoded word")
        << QByteArray("=?UTF-8?B?w4RwZmVsICYgQmlybmU=?= <obst@example.com>")
        << QString::fromUtf8("Äpfel & Birne")
        << QByteArray("=?UTF-8?B?w4RwZmVsICYgQmlybmU=?= <obst@example.com>");
    QTest::newRow("address only") << QByteArray("<solo@example.com>") << QString()
                                  << QByteArray("<solo@example.com>");
}

void TestUserLibrary::messageRoundTripKeepsSenderAndDate()
{
    QFETCH(QByteArray, from);
    QFETCH(QString, name);
    QFETCH(QByteArray, stored);
    UserLibraryFixture fixture;
    const QByteArray date = "Tue, 04 Mar 2025 09:30:00 +0100";
    QByteArray message = UserLibraryFixture::sampleMessage();
    message.replace("From: News <news@example.com>", "From: " + from + "\nDate: " + date);
    const LibrarySet libraries = fixture.libraries();
    // Added, unpacked and added again: the sender comes back as it went in.
    for (int round = 1; round <= 3; ++round) {
        const QString file = fixture.path(QStringLiteral("in/Round %1.eml").arg(round));
        fixture.write(QStringLiteral("in/Round %1.eml").arg(round), message);
        const Result<UserLibrary::Added> added =
            UserLibrary::add(libraries, file, "Mine", QStringLiteral("Round %1").arg(round));
        QVERIFY2(added, qPrintable(added.status().message()));
        message =
            Module1::unpackTemplate(FileIo::readAll(added->templatePath).valueOr({})).valueOr({});
        QVERIFY2(message.contains("\r\nFrom: " + stored + "\r\n") ||
                     message.startsWith("From: " + stored + "\r\n"),
                 message.left(400).constData());
        QVERIFY2(message.contains("\r\nDate: " + date + "\r\n"), message.left(400).constData());
        const MimeComponent::ListHeaders headers = MimeComponent::readListHeaders(message);
        QCOMPARE(headers.fromName, name);
    }
}

QTEST_GUILESS_MAIN(TestUserLibrary)
#include "tst_userlibrary.moc"
