#include "core/gallery/library/templatelibrary.h"
#include "core/gallery/library/userlibraryjournal.h"
#include "core/gallery/userlibrary/userlibrary.h"
#include "core/librarytool.h"
#include "core/userlibraryfixture.h"

#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QTest>

#include <csignal>

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
    void killedChangeIsFinishedOrTakenBack_data();
    void killedChangeIsFinishedOrTakenBack();
    void secondWriterWaitsForTheFirst_data();
    void secondWriterWaitsForTheFirst();
    void rendererGoesWithTheTool();
};

namespace {

QString renderer()
{
    return QFileInfo(QStringLiteral(QUILLERY_TOOL)).absolutePath() + "/quillery-thumbnails";
}

QProcess* startTool(const QStringList& arguments, const QStringList& environment, QObject* parent)
{
    auto* process = new QProcess(parent);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString& entry : environment)
        env.insert(entry.section('=', 0, 0), entry.section('=', 1));
    process->setProcessEnvironment(env);
    process->start(QStringLiteral(QUILLERY_TOOL), arguments);
    return process;
}

// What makes the user's library other than whole: a link without its
// template or picture, a template or picture nothing links, an unfinished
// change, a leftover temporary file.
QStringList inconsistencies(const QString& library)
{
    QStringList found;
    QSet<QString> linked;
    QSet<QString> pictures;
    for (const QString& category : TemplateLibrary::categoryNames(library)) {
        const QString page = library + "/categories/" + category + ".html";
        const Result<QList<UserLibrary::Entry>> entries =
            UserLibrary::parseCategoryPage(page, FileIo::readAll(page).valueOr({}));
        if (!entries) {
            found << entries.status().message();
            continue;
        }
        for (const UserLibrary::Entry& entry : *entries) {
            linked << entry.name;
            pictures << entry.thumbnail;
            if (!QFileInfo::exists(library + "/templates/" + entry.name + ".dat"))
                found << page + " links the missing " + entry.name;
            if (!QFileInfo::exists(library + "/categories/thumbs/" + entry.thumbnail))
                found << page + " shows the missing " + entry.thumbnail;
        }
    }
    for (const QString& file : QDir(library + "/templates").entryList(QDir::Files | QDir::Hidden))
        if (!file.endsWith(".dat") || !linked.contains(file.chopped(4)))
            found << "templates/" + file + " is on no page";
    for (const QString& file :
         QDir(library + "/categories/thumbs").entryList(QDir::Files | QDir::Hidden))
        if (!pictures.contains(file))
            found << "thumbs/" + file + " is on no page";
    if (QFileInfo::exists(library + "/.quillery-change"))
        found << "unfinished change";
    found += UserLibraryJournal::leftoverTemporaries(library);
    return found;
}

QStringList linksOf(const QString& library)
{
    QStringList names;
    for (const QString& category : TemplateLibrary::categoryNames(library))
        names += TemplateLibrary::templateLinks(library + "/categories/" + category + ".html");
    return names;
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
    QVERIFY(thumb != QImage::fromData(UserLibrary::placeholderThumbnail()));
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
    QCOMPARE(TemplateLibrary::templateLinks(library + "/categories/Seasons.html"),
             QStringList{"Fall"});

    run = runTool(QStringList{"rename", "Fall", "Autumn"} + where);
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QCOMPARE(TemplateLibrary::templateLinks(library + "/categories/Seasons.html"),
             QStringList{"Autumn"});

    run = runTool(QStringList{"remove", "Summer Sale"} + where);
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains("shipped"), qPrintable(run.err));

    run = runTool(QStringList{"remove", "Autumn"} + where);
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(TemplateLibrary::categoryNames(library), QStringList());
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
        UserLibrary::placeholderThumbnail());
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

void TestLibraryToolOwn::killedChangeIsFinishedOrTakenBack_data()
{
    QTest::addColumn<QStringList>("command"); // run on a library of "Big Old" and "Other"
    QTest::addColumn<QString>("step");        // where the change is killed
    QTest::addColumn<QStringList>("after");   // the links once the next command has run

    const QStringList rename{"rename", "Big Old", "Big New"};
    const QStringList back{"Big Old", "Other"};
    const QStringList forward{"Big New", "Other"};
    for (const char* step : {"journal", "template", "thumbnail"})
        QTest::addRow("rename after %s", step) << rename << QString("rename:") + step << back;
    for (const char* step : {"page", "old-template", "old-thumbnail"})
        QTest::addRow("rename after %s", step) << rename << QString("rename:") + step << forward;

    const QStringList remove{"remove", "Big Old"};
    QTest::newRow("remove after journal") << remove << "remove:journal" << back;
    for (const char* step : {"page", "thumbnail"})
        QTest::addRow("remove after %s", step)
            << remove << QString("remove:") + step << QStringList{"Other"};

    const QStringList add{"add", "FILE", "--category", "Mine", "--name", "Added"};
    for (const char* step : {"journal", "template", "thumbnail"})
        QTest::addRow("add after %s", step) << add << QString("add:") + step << back;
    QTest::newRow("add after page")
        << add << "add:page" << QStringList{"Big Old", "Other", "Added"};
}

void TestLibraryToolOwn::killedChangeIsFinishedOrTakenBack()
{
    QFETCH(QStringList, command);
    QFETCH(QString, step);
    QFETCH(QStringList, after);
    UserLibraryFixture fixture;
    const QString library = fixture.userLibrary();
    QVERIFY(UserLibrary::add(fixture.libraries(), fixture.messageFile(), "Mine", "Big Old"));
    QVERIFY(UserLibrary::add(fixture.libraries(), fixture.messageFile(), "Mine", "Other"));
    command.replaceInStrings(QRegularExpression("^FILE$"), fixture.messageFile());
    const QStringList where{"--shipped", fixture.shipped()};

    QProcess* killed = startTool(command + where, {"QUILLERY_FAULT_STOP_AFTER=" + step}, this);
    QVERIFY(killed->waitForFinished(60000));
    QCOMPARE(killed->exitStatus(), QProcess::CrashExit);
    // The cut-off change is there for check to see, and the next command settles it.
    const ToolRun check = runTool({"check", "--no-mail-programs", library});
    QCOMPARE(check.exitCode, 1);
    QVERIFY2(check.out.contains("cut off"), qPrintable(check.out));
    const ToolRun repair = runTool({"repair"});
    QVERIFY2(repair.exitCode == 0, qPrintable(repair.err));
    QCOMPARE(inconsistencies(library), QStringList());
    QCOMPARE(linksOf(library), after);
    QCOMPARE(runTool({"check", "--no-mail-programs", library}).exitCode, 0);
    // The name left free can be taken again, once.
    if (!after.contains("Big New")) {
        QVERIFY(runTool(QStringList{"rename", after.first(), "Big New"} + where).exitCode == 0);
        QCOMPARE(inconsistencies(library), QStringList());
    }
}

void TestLibraryToolOwn::secondWriterWaitsForTheFirst_data()
{
    QTest::addColumn<QStringList>("first");
    QTest::addColumn<QStringList>("second");
    QTest::addColumn<QStringList>("after");
    QTest::newRow("two adds into one category")
        << QStringList{"add", "FILE", "--category", "Mine", "--name", "One"}
        << QStringList{"add", "FILE", "--category", "Mine", "--name", "Two"}
        << QStringList{"Kept", "One", "Two"};
    QTest::newRow("add racing remove")
        << QStringList{"remove", "Kept"}
        << QStringList{"add", "FILE", "--category", "Mine", "--name", "Two"} << QStringList{"Two"};
    QTest::newRow("rename racing add")
        << QStringList{"rename", "Kept", "Renamed"}
        << QStringList{"add", "FILE", "--category", "Mine", "--name", "Two"}
        << QStringList{"Renamed", "Two"};
}

void TestLibraryToolOwn::secondWriterWaitsForTheFirst()
{
    QFETCH(QStringList, first);
    QFETCH(QStringList, second);
    QFETCH(QStringList, after);
    UserLibraryFixture fixture;
    QVERIFY(UserLibrary::add(fixture.libraries(), fixture.messageFile(), "Mine", "Kept"));
    const QString file = fixture.messageFile();
    first.replaceInStrings(QRegularExpression("^FILE$"), file);
    second.replaceInStrings(QRegularExpression("^FILE$"), file);
    const QStringList where{"--shipped", fixture.shipped()};
    // Each waits between reading the library and writing it: without the
    // lock, the second writes over what the first wrote meanwhile.
    const QStringList slow{"QUILLERY_FAULT_DELAY_MS=700"};
    QProcess* one = startTool(first + where, slow, this);
    QVERIFY(one->waitForStarted());
    QProcess* two = startTool(second + where, slow, this);
    for (QProcess* process : {one, two}) {
        QVERIFY(process->waitForFinished(60000));
        QVERIFY2(process->exitCode() == 0, process->readAllStandardError().constData());
    }
    QStringList links = linksOf(fixture.userLibrary());
    links.sort();
    QCOMPARE(links, after);
    QCOMPARE(inconsistencies(fixture.userLibrary()), QStringList());
}

void TestLibraryToolOwn::rendererGoesWithTheTool()
{
    UserLibraryFixture fixture;
    // The tool beside a renderer that only waits, so that it is killed mid-render.
    const QString tool = fixture.path("bin/quillery-library");
    QDir().mkpath(fixture.path("bin"));
    QVERIFY(QFile::copy(QStringLiteral(QUILLERY_TOOL), tool));
    const QString pidFile = fixture.path("renderer.pid");
    fixture.write("bin/quillery-thumbnails",
                  "#!/bin/sh\necho $$ > \"" + pidFile.toUtf8() + "\"\nexec sleep 60\n");
    QVERIFY(QFile::setPermissions(fixture.path("bin/quillery-thumbnails"),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    QProcess process;
    process.start(tool, {"add", fixture.messageFile(), "--shipped", fixture.shipped()});
    QVERIFY(process.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(FileIo::readAll(pidFile).valueOr({}).endsWith('\n'), 30000);
    const pid_t renderer = FileIo::readAll(pidFile).valueOr({}).trimmed().toInt();
    QVERIFY(renderer > 0);
    ::kill(pid_t(process.processId()), SIGKILL);
    QVERIFY(process.waitForFinished(10000));
    // Gone, or at most a zombie waiting for its new parent to reap it.
    const auto alive = [renderer] {
        const QByteArray stat =
            FileIo::readAll(QStringLiteral("/proc/%1/stat").arg(renderer)).valueOr({});
        return !stat.isEmpty() && !stat.contains(") Z ");
    };
    QTRY_VERIFY_WITH_TIMEOUT(!alive(), 10000);
    if (alive())
        ::kill(renderer, SIGKILL);
    // The template itself was added whole before the renderer started.
    QCOMPARE(linksOf(fixture.userLibrary()), QStringList{"Spring News"});
}

QTEST_GUILESS_MAIN(TestLibraryToolOwn)
#include "tst_librarytoolown.moc"
