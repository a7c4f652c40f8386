#include "core/gallery/templatelibrary.h"
#include "core/gallery/userlibrary.h"
#include "core/librarytool.h"
#include "core/userlibraryfixture.h"

#include <QFile>
#include <QImage>
#include <QTest>

// quillery-library add, rename and remove, as a user runs them.
class TestLibraryToolOwn : public QObject
{
    Q_OBJECT

private slots:
    void addsToTheDefaultLibraryAndRendersTheThumbnail();
    void addsWithOptionsRenamesAndRemoves();
    void saysPlainlyWhenTheRendererIsMissing();
    void refusesAndWritesNothing_data();
    void refusesAndWritesNothing();
};

namespace {

QString renderer()
{
    return QFileInfo(QStringLiteral(QUILLERY_TOOL)).absolutePath() + "/quillery-thumbnails";
}

} // namespace

void TestLibraryToolOwn::addsToTheDefaultLibraryAndRendersTheThumbnail()
{
    if (!QFileInfo(renderer()).isExecutable())
        QSKIP("quillery-thumbnails is not built beside the tool");
    UserLibraryFixture fixture;
    const ToolRun run =
        runTool({"add", fixture.messageFile("Spring News"), "--shipped", fixture.shipped()});
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.out.contains(QString::fromUtf8("added “Spring News” to “My templates”")),
             qPrintable(run.out + run.err));
    QVERIFY2(run.out.contains("thumbnail"), qPrintable(run.out + run.err));
    const QString folder = fixture.userLibrary();
    QVERIFY(QFileInfo::exists(folder + "/templates/Spring News.dat"));
    // Drawn by the renderer, no longer the placeholder.
    const QImage thumb(folder + "/categories/thumbs/spring-news.png");
    QCOMPARE(thumb.size(), QSize(300, 375));
    QVERIFY(thumb != QImage::fromData(UserLibrary::PlaceholderThumbnail()));
    QCOMPARE(runTool({"check", folder}).exitCode, 0);
}

void TestLibraryToolOwn::addsWithOptionsRenamesAndRemoves()
{
    UserLibraryFixture fixture;
    const QString library = fixture.path("elsewhere");
    const QStringList where{"--library", library, "--shipped", fixture.shipped()};
    ToolRun run = runTool(QStringList{"add", fixture.exportedPage("Autumn"), "--category",
                                      "Seasons", "--name", "Fall"} +
                          where);
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(TemplateLibrary::TemplateLinks(library + "/categories/Seasons.html"),
             QStringList{"Fall"});

    run = runTool(QStringList{"rename", "Fall", "Autumn"} + where);
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QCOMPARE(TemplateLibrary::TemplateLinks(library + "/categories/Seasons.html"),
             QStringList{"Autumn"});

    run = runTool(QStringList{"remove", "Summer Sale"} + where);
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains("shipped"), qPrintable(run.err));

    run = runTool(QStringList{"remove", "Autumn"} + where);
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(TemplateLibrary::CategoryNames(library), QStringList());
    QVERIFY(!QFileInfo::exists(fixture.userLibrary()));
}

void TestLibraryToolOwn::saysPlainlyWhenTheRendererIsMissing()
{
    UserLibraryFixture fixture;
    const QString lonely = fixture.path("bin/quillery-library");
    QDir().mkpath(fixture.path("bin"));
    QVERIFY(QFile::copy(QStringLiteral(QUILLERY_TOOL), lonely));
    QProcess process;
    process.start(lonely, {"add", fixture.messageFile(), "--shipped", fixture.shipped()});
    QVERIFY(process.waitForFinished(60000));
    const QString err = QString::fromUtf8(process.readAllStandardError());
    // The template is added all the same, with the placeholder for a picture.
    QCOMPARE(process.exitCode(), 0);
    QVERIFY2(err.contains(fixture.path("bin/quillery-thumbnails") + " is missing"),
             qPrintable(err));
    QCOMPARE(
        FileIo::readAll(fixture.userLibrary() + "/categories/thumbs/spring-news.png").valueOr({}),
        UserLibrary::PlaceholderThumbnail());
}

void TestLibraryToolOwn::refusesAndWritesNothing_data()
{
    QTest::addColumn<QStringList>("arguments"); // "FILE" stands for the sample message
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("said");
    QTest::newRow("no file") << QStringList{"add"} << 2 << "usage";
    QTest::newRow("two files") << QStringList{"add", "FILE", "FILE"} << 2 << "usage";
    QTest::newRow("unknown option")
        << QStringList{"add", "FILE", "--colour", "red"} << 2 << "--colour is not an option";
    QTest::newRow("option without value")
        << QStringList{"add", "FILE", "--name"} << 2 << "--name needs a value";
    QTest::newRow("name taken") << QStringList{"add", "FILE", "--name", "Summer Sale"} << 1
                                << "already";
    QTest::newRow("missing file") << QStringList{"add", "nowhere.eml"} << 1 << "no such file";
    QTest::newRow("rename unknown")
        << QStringList{"rename", "Nobody", "Somebody"} << 1 << "no template of yours";
    QTest::newRow("remove without name") << QStringList{"remove"} << 2 << "usage";
}

void TestLibraryToolOwn::refusesAndWritesNothing()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, said);
    UserLibraryFixture fixture;
    arguments.replaceInStrings(QRegularExpression("^FILE$"), fixture.messageFile());
    const ToolRun run = runTool(arguments + QStringList{"--shipped", fixture.shipped()});
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY2(run.err.contains(said), qPrintable(run.err));
    QVERIFY(!QFileInfo::exists(fixture.userLibrary()));
}

QTEST_GUILESS_MAIN(TestLibraryToolOwn)
#include "tst_librarytoolown.moc"
