#include "core/gallery/library/templatelibrary.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace TemplateLibrary;

namespace {

// An application folder whose "categories" folder holds the given files.
class Library
{
public:
    explicit Library(const QStringList& pages = {})
    {
        QDir(m_dir.path()).mkdir("categories");
        for (const QString& page : pages)
            write("categories/" + page, "<html></html>");
    }

    QString path() const { return m_dir.path(); }
    QString categories() const { return m_dir.filePath("categories"); }

    QString write(const QString& relative, const QByteArray& content) const
    {
        const QString file = m_dir.filePath(relative);
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly) || out.write(content) != content.size())
            qFatal("cannot write fixture %s", qPrintable(file));
        return file;
    }

    // A symbolic link at `relative` to `target` (taken as it is: relative to
    // the link's folder, or absolute).
    void link(const QString& target, const QString& relative) const
    {
        if (!QFile::link(target, m_dir.filePath(relative)))
            qFatal("cannot make link %s", qPrintable(relative));
    }

private:
    QTemporaryDir m_dir;
};

// A library whose entries are every kind of thing an author can put in its
// folders: files, links that stay inside, links that lead out, a folder and a
// pipe where a file belongs.
void makeEntries(const Library& library)
{
    QDir(library.path()).mkpath("templates/shared");
    library.write("templates/Offer.dat", "offer");
    library.write("templates/shared/Deal.dat", "deal");
    library.write("outside.txt", "a file of the user's");
    library.write("categories/Shop.html", R"(<a href="#Offer">)");
    library.write("outside.html", R"(<a href="#Stolen">)");
    library.link("Offer.dat", "templates/Alias.dat");
    library.link("shared/Deal.dat", "templates/Deal.dat");
    library.link("../outside.txt", "templates/Climb.dat");
    library.link(library.path() + "/outside.txt", "templates/Absolute.dat");
    library.link("/etc/passwd", "templates/Passwd.dat");
    library.link("../categories/Shop.html", "templates/Page.dat");
    library.link("Gone.dat", "templates/Dangling.dat");
    library.link("Shop.html", "categories/Alias.html");
    library.link("../outside.html", "categories/Climb.html");
    library.link("/etc/passwd", "categories/0Passwd.html");
    QDir(library.path()).mkpath("templates/Folder.dat");
    if (mkfifo(QFile::encodeName(library.path() + "/templates/Pipe.dat").constData(), 0600) != 0)
        qFatal("cannot make a pipe");
}

} // namespace

class TestTemplateLibrary : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void categoryNameFromFileName_data();
    void categoryNameFromFileName();
    void listingHoldsOrdinaryPageFilesInCaseBlindOrder();
    void missingOrEmptyFolderListsNothing();
    void categoryPagePath_data();
    void categoryPagePath();
    void getFirstLink_data();
    void getFirstLink();
    void getFirstLinkOfUnreadablePage();
    void templateLinks_data();
    void templateLinks();
    void templateLinksOfARefusedPage_data();
    void templateLinksOfARefusedPage();
    void isPlainTemplateName_data();
    void isPlainTemplateName();
    void findTemplateFile_data();
    void findTemplateFile();
    void findCategoryPage_data();
    void findCategoryPage();
    void libraryFolderThatIsALink_data();
    void libraryFolderThatIsALink();
};

void TestTemplateLibrary::categoryNameFromFileName_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("name");
    QTest::newRow("plain") << "Business.html"
                           << "Business";
    QTest::newRow("prefix 0") << "0Business.html"
                              << "Business";
    QTest::newRow("prefix 1") << "1Art.html"
                              << "Art";
    QTest::newRow("digits elsewhere") << "Top10.html"
                                      << "Top";
    QTest::newRow("every .html") << "a.html.html"
                                 << "a";
    QTest::newRow("upper-case extension stays") << "BUSINESS.HTML"
                                                << "BUSINESS.HTML";
    QTest::newRow("other digits stay") << "Top 25.html"
                                       << "Top 25";
}

void TestTemplateLibrary::categoryNameFromFileName()
{
    QFETCH(QString, fileName);
    QFETCH(QString, name);
    QCOMPARE(TemplateLibrary::categoryNameFromFileName(fileName), name);
}

void TestTemplateLibrary::listingHoldsOrdinaryPageFilesInCaseBlindOrder()
{
    const Library library({"Travel.html", "zeta.html", "_misc.html", "Top10.html", "1Art.html",
                           "0New.html", "BUSINESS.HTML", "art.html", ".Hidden.html", "notes.txt",
                           "Page.htm"});
    QDir categories(library.categories());
    QVERIFY(categories.mkdir("Folder.html"));
    QVERIFY(QFile::link(library.categories() + "/Folder.html",
                        library.categories() + "/FolderLink.html"));
    QVERIFY(QFile::link(library.categories() + "/art.html", library.categories() + "/Alias.html"));

    // Upper-cased comparison puts "_" after the letters, as NTFS does.
    const QStringList files{"0New.html",  "1Art.html",   "Alias.html", "art.html",  "BUSINESS.HTML",
                            "Top10.html", "Travel.html", "zeta.html",  "_misc.html"};
    QCOMPARE(TemplateLibrary::categoryFileNames(library.path()), files);
    const QStringList names{"New", "Art",    "Alias", "art",  "BUSINESS.HTML",
                            "Top", "Travel", "zeta",  "_misc"};
    QCOMPARE(TemplateLibrary::categoryNames(library.path()), names);
}

void TestTemplateLibrary::missingOrEmptyFolderListsNothing()
{
    const Library empty;
    QVERIFY(TemplateLibrary::categoryNames(empty.path()).isEmpty());
    QTemporaryDir bare;
    QVERIFY(TemplateLibrary::categoryNames(bare.path()).isEmpty());
    QVERIFY(TemplateLibrary::categoryNames(bare.filePath("does-not-exist")).isEmpty());
}

void TestTemplateLibrary::categoryPagePath_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("page");
    const QStringList sample{"0New.html", "1Art.html", "Travel.html", "Top10.html"};
    QTest::newRow("prefix 0") << sample << "New"
                              << "0New.html";
    QTest::newRow("prefix 1") << sample << "Art"
                              << "1Art.html";
    QTest::newRow("no prefix") << sample << "Travel"
                               << "Travel.html";
    QTest::newRow("digit inside: unchecked 1-path") << sample << "Top"
                                                    << "1Top.html";
    QTest::newRow("unprefixed wins") << QStringList{"Art.html", "0Art.html"} << "Art"
                                     << "Art.html";
    QTest::newRow("0 before 1") << QStringList{"1Art.html", "0Art.html"} << "Art"
                                << "0Art.html";
    QTest::newRow("hidden page is missing") << QStringList{".Secret.html"} << ".Secret"
                                            << "1.Secret.html";
    QTest::newRow("upper-case extension never opens")
        << QStringList{"BUSINESS.HTML"} << "BUSINESS.HTML"
        << "1BUSINESS.HTML.html";
}

void TestTemplateLibrary::categoryPagePath()
{
    QFETCH(QStringList, files);
    QFETCH(QString, name);
    QFETCH(QString, page);
    const Library library(files);
    QCOMPARE(TemplateLibrary::categoryPagePath(library.path(), name),
             library.categories() + "/" + page);
}

void TestTemplateLibrary::getFirstLink_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("link");
    QTest::newRow("first of two") << QByteArray(R"(<a href="#Offer">O</a> <a href="#Promo">P</a>)")
                                  << "Offer";
    QTest::newRow("colour before the link")
        << QByteArray(R"(<body bgcolor="#FFFFFF"><a href="#Offer">)") << "FFFFFF";
    QTest::newRow("blank in the name") << QByteArray(R"(<a href="#Summer Sale">)") << "Summer Sale";
    QTest::newRow("taken verbatim")
        << QByteArray(R"(<a href="#Summer%20Sale">)") << "Summer%20Sale";
    QTest::newRow("UTF-8 name") << QByteArray("<a href=\"#Caf\xc3\xa9 Menu\">") << "Café Menu";
    QTest::newRow("single-byte page") << QByteArray("<a href=\"#Caf\xe9\">") << "Café";
    QTest::newRow("two #") << QByteArray(R"(<a href="#a#b">)") << "a#b";
    QTest::newRow("no quote after #") << QByteArray("<a href=#Offer>") << "";
    QTest::newRow("quote right after #") << QByteArray(R"(<a href="#">)") << "";
    QTest::newRow("no #") << QByteArray(R"(<a href="page.html">)") << "";
    QTest::newRow("empty file") << QByteArray() << "";
}

void TestTemplateLibrary::getFirstLink()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, link);
    const Library library;
    QCOMPARE(GetFirstLink(library.write("categories/Page.html", content)), link);
}

void TestTemplateLibrary::getFirstLinkOfUnreadablePage()
{
    const Library library;
    QCOMPARE(GetFirstLink(library.categories() + "/Missing.html"), QString());
    QCOMPARE(GetFirstLink(library.categories()), QString());
}

void TestTemplateLibrary::templateLinks_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("page order, not name order")
        << QByteArray(R"(<a href="#Promo">P</a><p><a href="#Offer">O</a><a href="#Deal">)")
        << QStringList{"Promo", "Offer", "Deal"};
    QTest::newRow("a repeat keeps its first place")
        << QByteArray(R"(<a href="#Offer"><img></a><a href="#Promo"></a><a href="#Offer">O</a>)")
        << QStringList{"Offer", "Promo"};
    QTest::newRow("links that name no template")
        << QByteArray(
               R"(<a href="#">top</a><a href="other.html#Stolen"><a href="https://x.invalid/#Web">)"
               R"(<a name="#Anchor"><a href="#Offer">)")
        << QStringList{"Offer"};
    QTest::newRow("colours, comments and style sheets are not links")
        << QByteArray(
               R"(<body bgcolor="#FFFFFF"><!-- <a href="#Old"> --><style>a[href="#Css"]{}</style>)"
               R"(<a href="#Offer">)")
        << QStringList{"Offer"};
    QTest::newRow("as a click reads the name")
        << QByteArray("<a href=\" #Summer%20Sale\n\"><a href='#Caf&#233;'><a "
                      "href='#Salt&amp;Pepper'><a href=#Bare>"
                      "<A HREF=\"#Caf\xc3\xa9\"><area href=\"#Map\">")
        << QStringList{"Summer Sale", "Café", "Salt&Pepper", "Bare", "Map"};
    QTest::newRow("single-byte page") << QByteArray("<a href=\"#Caf\xe9\">") << QStringList{"Café"};
    QTest::newRow("no links") << QByteArray("<p>Nothing here</p>") << QStringList{};
    QTest::newRow("empty file") << QByteArray() << QStringList{};
}

// The order in which the keyboard steps through a category's templates.
void TestTemplateLibrary::templateLinks()
{
    QFETCH(QByteArray, content);
    QFETCH(QStringList, names);
    const Library library;
    QCOMPARE(TemplateLibrary::templateLinks(library.write("categories/Page.html", content)), names);
}

void TestTemplateLibrary::templateLinksOfARefusedPage_data()
{
    QTest::addColumn<QString>("page"); // relative to the library
    QTest::addColumn<QStringList>("names");
    QTest::newRow("page") << "categories/Shop.html" << QStringList{"Offer"};
    QTest::newRow("link to a page beside it") << "categories/Alias.html" << QStringList{"Offer"};
    QTest::newRow("link climbing out") << "categories/Climb.html" << QStringList{};
    QTest::newRow("link to a system file") << "categories/0Passwd.html" << QStringList{};
    QTest::newRow("missing") << "categories/Missing.html" << QStringList{};
    QTest::newRow("folder") << "categories" << QStringList{};
}

void TestTemplateLibrary::templateLinksOfARefusedPage()
{
    QFETCH(QString, page);
    QFETCH(QStringList, names);
    const Library library;
    makeEntries(library);
    QCOMPARE(TemplateLibrary::templateLinks(library.path() + "/" + page), names);
}

void TestTemplateLibrary::isPlainTemplateName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("plain");
    QTest::newRow("word") << "Offer" << true;
    QTest::newRow("blank") << "Summer Sale" << true;
    QTest::newRow("accent") << "Café Menu" << true;
    QTest::newRow("dots inside") << "v1.2" << true;
    QTest::newRow("three dots") << "..." << true;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("dot") << "." << false;
    QTest::newRow("dot dot") << ".." << false;
    QTest::newRow("parent path") << "../../etc/passwd" << false;
    QTest::newRow("slash") << "a/b" << false;
    QTest::newRow("absolute") << "/etc/passwd" << false;
    QTest::newRow("backslash") << "..\\x" << false;
    QTest::newRow("drive") << "C:x" << false;
    QTest::newRow("NUL") << QString("a") + QChar(0) + "b" << false;
    QTest::newRow("newline") << "a\nb" << false;
    QTest::newRow("tab") << "a\tb" << false;
    QTest::newRow("DEL") << "a\x7f" << false;
    QTest::newRow("C1 control") << QString("a") + QChar(0x85) << false;
}

void TestTemplateLibrary::isPlainTemplateName()
{
    QFETCH(QString, name);
    QFETCH(bool, plain);
    QCOMPARE(TemplateLibrary::isPlainTemplateName(name), plain);
    const QString path = TemplateLibrary::templateFilePath("/lib", name);
    QCOMPARE(path.isEmpty(), !plain);
    if (plain)
        QCOMPARE(path, "/lib/templates/" + name + ".dat");
}

void TestTemplateLibrary::findTemplateFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("reason"); // empty when the file is opened
    QTest::newRow("file") << "Offer"
                          << "";
    QTest::newRow("link to a file beside it") << "Alias"
                                              << "";
    QTest::newRow("link into a subfolder") << "Deal"
                                           << "";
    QTest::newRow("link climbing out") << "Climb"
                                       << "templates/Climb.dat: the template file leads out of "
                                          "the template library";
    QTest::newRow("absolute link out") << "Absolute"
                                       << "leads out of the template library";
    QTest::newRow("link to a system file") << "Passwd"
                                           << "leads out of the template library (to /etc/passwd)";
    QTest::newRow("link to a category page") << "Page"
                                             << "leads out of the template library";
    QTest::newRow("dangling link") << "Dangling"
                                   << "templates/Dangling.dat: the template file is a link to a "
                                      "missing file";
    QTest::newRow("missing") << "Nothing"
                             << "templates/Nothing.dat: the template file is missing";
    QTest::newRow("folder") << "Folder"
                            << "templates/Folder.dat: the template file is not a regular file";
    QTest::newRow("pipe") << "Pipe"
                          << "templates/Pipe.dat: the template file is not a regular file";
    QTest::newRow("empty name") << ""
                                << "templates: no template is chosen";
    QTest::newRow("path as a name") << "../outside"
                                    << "templates: \"../outside\" is not a plain file name";
}

void TestTemplateLibrary::findTemplateFile()
{
    QFETCH(QString, name);
    QFETCH(QString, reason);
    const Library library;
    makeEntries(library);
    const Result<QString> found = TemplateLibrary::findTemplateFile(library.path(), name);
    const Status& status = found.status();
    if (reason.isEmpty()) {
        QVERIFY2(status.ok(), qPrintable(status.message()));
        QCOMPARE(*found, TemplateLibrary::templateFilePath(library.path(), name));
    } else {
        QVERIFY(!status.ok());
        QVERIFY2(status.message().startsWith(library.path() + "/"), qPrintable(status.message()));
        QVERIFY2(status.message().contains(reason), qPrintable(status.message()));
    }
}

void TestTemplateLibrary::findCategoryPage_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("reason"); // empty when the page is opened
    QTest::addColumn<QString>("firstLink");
    QTest::newRow("page") << "Shop"
                          << ""
                          << "Offer";
    QTest::newRow("link to a page beside it") << "Alias"
                                              << ""
                                              << "Offer";
    QTest::newRow("link climbing out")
        << "Climb"
        << "categories/Climb.html: the category page leads out of the template library"
        << "";
    QTest::newRow("link to a system file") << "Passwd"
                                           << "categories/0Passwd.html: the category page leads out"
                                           << "";
    QTest::newRow("missing") << "Nothing"
                             << "categories/1Nothing.html: the category page is missing"
                             << "";
    QTest::newRow("empty name") << ""
                                << "categories: no category is chosen"
                                << "";
}

// The page the gallery shows for a category, and the first template it
// previews from it: a refused page yields neither.
void TestTemplateLibrary::findCategoryPage()
{
    QFETCH(QString, name);
    QFETCH(QString, reason);
    QFETCH(QString, firstLink);
    const Library library;
    makeEntries(library);
    const Result<QString> found = TemplateLibrary::findCategoryPage(library.path(), name);
    const Status& status = found.status();
    if (reason.isEmpty()) {
        QVERIFY2(status.ok(), qPrintable(status.message()));
        QCOMPARE(*found, TemplateLibrary::categoryPagePath(library.path(), name));
    } else {
        QVERIFY(!status.ok());
        QVERIFY2(status.message().contains(reason), qPrintable(status.message()));
    }
    if (!name.isEmpty())
        QCOMPARE(GetFirstLink(TemplateLibrary::categoryPagePath(library.path(), name)), firstLink);
}

// The categories or templates folder itself links somewhere: out of the
// library it is refused as a whole, inside it is an ordinary folder.
void TestTemplateLibrary::libraryFolderThatIsALink_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("refused");

    QTest::newRow("categories out of the library") << "categories"
                                                   << "outside" << true;
    QTest::newRow("templates out of the library") << "templates"
                                                  << "outside" << true;
    QTest::newRow("categories climbing out") << "categories"
                                             << "relative" << true;
    QTest::newRow("templates to a missing folder") << "templates"
                                                   << "gone" << true;
    QTest::newRow("categories inside the library") << "categories"
                                                   << "pages" << false;
    QTest::newRow("templates inside the library") << "templates"
                                                  << "pages" << false;
}

void TestTemplateLibrary::libraryFolderThatIsALink()
{
    QFETCH(QString, folder);
    QFETCH(QString, target);
    QFETCH(bool, refused);

    // The folder a link points to holds a page and a template of its own.
    QTemporaryDir outside;
    Library library;
    const QString holder =
        target == "pages" ? library.path() + "/pages" : outside.path() + "/" + target;
    QVERIFY(QDir().mkpath(library.path() + "/templates"));
    if (target != "gone") {
        QVERIFY(QDir().mkpath(holder));
        QFile page(holder + "/Stolen.html");
        QVERIFY(page.open(QIODevice::WriteOnly) && page.write(R"(<a href="#Secret">)") > 0);
        page.close();
        QFile secret(holder + "/Secret.dat");
        QVERIFY(secret.open(QIODevice::WriteOnly) && secret.write("secret") > 0);
    }
    // The other folder stays a folder, with what the probes need.
    library.write("categories/Stolen.html", R"(<a href="#Secret">)");
    library.write("templates/Secret.dat", "own");
    QVERIFY(QDir(library.path() + "/" + folder).removeRecursively());
    // Both temporary folders lie side by side in the temp folder.
    const QString relative = "../" + QFileInfo(outside.path()).fileName() + "/relative";
    library.link(target == "pages" ? "pages" : target == "relative" ? relative : holder, folder);

    const Status status = TemplateLibrary::checkLibraryFolders(library.path());
    QCOMPARE(status.ok(), !refused);
    const Result<QString> page = TemplateLibrary::findCategoryPage(library.path(), "Stolen");
    const Result<QString> file = TemplateLibrary::findTemplateFile(library.path(), "Secret");
    if (refused) {
        QVERIFY2(status.message().contains(library.path() + "/" + folder) &&
                     status.message().contains("leads out of the template library"),
                 qPrintable(status.message()));
        if (folder == "categories") {
            QCOMPARE(TemplateLibrary::categoryNames(library.path()), QStringList());
            QVERIFY(!page.ok());
            QCOMPARE(page.status().message(), status.message());
        } else {
            QVERIFY(!file.ok());
            QCOMPARE(file.status().message(), status.message());
        }
    } else {
        QCOMPARE(TemplateLibrary::categoryNames(library.path()), QStringList{"Stolen"});
        QVERIFY(page.ok());
        QVERIFY(file.ok());
    }
}

QTEST_GUILESS_MAIN(TestTemplateLibrary)
#include "tst_templatelibrary.moc"
