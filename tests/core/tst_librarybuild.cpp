// The library build: readable sources in, a library the gallery opens out.

#include "core/gallery/build/librarybuild.h"
#include "core/gallery/library/templatedecoding.h"
#include "core/platform/fileio.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

struct Run
{
    int exitCode = -1;
    QString out;
    QString err;
};

struct Built
{
    Status status = Status::success();
    QString out;
    QString warnings;
};

Built build(const QString& source, const QString& library)
{
    Built built;
    QTextStream out(&built.out);
    QTextStream warnings(&built.warnings);
    built.status = LibraryBuild::build(source, library, out, warnings);
    return built;
}

// Runs the tool; `fileSizeLimit` bytes, when given, is the most it may write
// into one file, as on a disk that fills up. `faultAt` ("step:n") makes it
// kill itself there (see faultpoint.h); the run then keeps exit code -1.
Run runTool(const QStringList& arguments, rlim_t fileSizeLimit = 0,
            const QString& faultAt = QString())
{
    QProcess process;
    if (!faultAt.isEmpty()) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QUILLERY_FAULT_KILL_AT"), faultAt);
        process.setProcessEnvironment(environment);
    }
    if (fileSizeLimit > 0)
        process.setChildProcessModifier([fileSizeLimit] {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{fileSizeLimit, fileSizeLimit};
            setrlimit(RLIMIT_FSIZE, &limit);
        });
    process.start(QStringLiteral(QUILLERY_TOOL), arguments);
    Run run;
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.exitCode = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

void writeFile(const QString& path, const QByteArray& content)
{
    QDir().mkpath(QFileInfo(path).path());
    if (!FileIo::writeAtomically(path, content))
        qFatal("cannot write fixture %s", qPrintable(path));
}

const QByteArray Svg = R"(<svg xmlns="http://www.w3.org/2000/svg" width="60" height="30">)"
                       R"(<rect width="60" height="30" fill="#3344cc"/></svg>)";

// One category, "0Shop", with the templates given; each shows images/hero.svg.
void makeSource(const QString& folder, const QStringList& templates)
{
    QByteArray page = "<html><body>";
    for (const QString& name : templates)
        page += "<a href=\"#" + name.toUtf8() + "\"><img src=\"thumbs/t.png\" alt=\"\">" +
                name.toUtf8() + "</a>";
    writeFile(folder + "/0Shop/page.html", page + "</body></html>\n");
    writeFile(folder + "/0Shop/thumbs/t.png", "not really a png, copied as it is");
    for (const QString& name : templates) {
        const QString t = folder + "/0Shop/" + name;
        writeFile(t + "/headers.txt", "From: Café Shop <a@b.example>\nSubject: " + name.toUtf8() +
                                          " – this week\nDate: Mon, 02 Mar 2026 09:00:00 +0000\n");
        writeFile(t + "/message.html",
                  "<html><body><p>" + name.toUtf8() +
                      "</p><img src=\"images/hero.png\" alt=\"Hero\"></body></html>\n");
        writeFile(t + "/message.txt", name.toUtf8() + "\n");
        writeFile(t + "/images/hero.svg", Svg);
    }
}

// Every file below `folder` with its content, hidden ones included.
QMap<QString, QByteArray> snapshot(const QString& folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files.insert(QDir(folder).relativeFilePath(path), FileIo::readAll(path).valueOr("?"));
    }
    return files;
}

QByteArray decodedTemplate(const QString& library, const QString& name)
{
    const Result<QByteArray> file = FileIo::readAll(library + "/templates/" + name + ".dat");
    if (!file)
        return {};
    return Module1::unpackTemplate(*file).valueOr(QByteArray());
}

ino_t inodeOf(const QString& path)
{
    struct stat info = {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_ino : 0;
}

} // namespace

class TestLibraryBuild : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void buildsALibraryThatChecksClean()
    {
        QTemporaryDir source, library;
        makeSource(source.path(), {QStringLiteral("Summer Sale"), QStringLiteral("Café Menu")});

        const Run tool = runTool({QStringLiteral("build"), source.path(), library.path()});
        QVERIFY2(tool.exitCode == 0, qPrintable(tool.err));
        QVERIFY(QFile::exists(library.path() + "/categories/0Shop.html"));
        QVERIFY(QFile::exists(library.path() + "/categories/thumbs/t.png"));

        const QByteArray message = decodedTemplate(library.path(), QStringLiteral("Café Menu"));
        QVERIFY(message.startsWith("From: =?UTF-8?B?"));
        QVERIFY(message.contains("Content-Type: image/png"));
        QVERIFY(message.contains("src=3D\"cid:hero.png@quillery\""));
        const qsizetype png =
            message.indexOf("\r\n\r\n", message.indexOf("Content-ID: <hero.png@quillery>")) + 4;
        QVERIFY(QByteArray::fromBase64(message.mid(png, 12)).startsWith("\x89PNG"));

        const Run check = runTool({QStringLiteral("check"), library.path()});
        QVERIFY2(check.exitCode == 0, qPrintable(check.out));

        // A second build of the same sources gives the same bytes, here in
        // another process than the first.
        QVERIFY(build(source.path(), library.path()).status);
        QCOMPARE(decodedTemplate(library.path(), QStringLiteral("Café Menu")), message);
    }

    // An unchanged template is not made again, yet an incremental build
    // gives what a build from nothing gives, and mends a file edited by hand.
    void rebuildsOnlyWhatChanged()
    {
        QTemporaryDir source, library, fresh;
        makeSource(source.path(), {QStringLiteral("Same"), QStringLiteral("Edited")});
        QVERIFY(build(source.path(), library.path()).status);
        const QString same = library.path() + "/templates/Same.dat";
        const ino_t sameFile = inodeOf(same);

        writeFile(source.path() + "/0Shop/Edited/message.html",
                  "<html><body><p>Now different</p><img src=\"images/hero.png\" alt=\"Hero\">"
                  "</body></html>\n");
        QVERIFY(build(source.path(), library.path()).status);
        QCOMPARE(inodeOf(same), sameFile);
        QVERIFY(
            decodedTemplate(library.path(), QStringLiteral("Edited")).contains("Now different"));

        const QByteArray good = FileIo::readAll(same).valueOr({});
        writeFile(same, "edited by hand");
        QVERIFY(build(source.path(), library.path()).status);
        QCOMPARE(FileIo::readAll(same).valueOr({}), good);

        QVERIFY(build(source.path(), fresh.path()).status);
        QMap<QString, QByteArray> incremental = snapshot(library.path());
        QMap<QString, QByteArray> whole = snapshot(fresh.path());
        for (auto* files : {&incremental, &whole})
            files->removeIf([](auto it) { return !it.key().startsWith("templates/"); });
        QCOMPARE(incremental, whole);
    }

    void removesWhatItsSourcesNoLongerHold()
    {
        QTemporaryDir source, library;
        makeSource(source.path(), {QStringLiteral("Old"), QStringLiteral("Kept")});
        QVERIFY(build(source.path(), library.path()).status);
        writeFile(library.path() + "/quillery-library-notes.txt", "not the build's");
        QVERIFY(QDir(source.path() + "/0Shop/Old").removeRecursively());
        makeSource(source.path(), {QStringLiteral("Kept")});

        QVERIFY(build(source.path(), library.path()).status);
        QVERIFY(!QFile::exists(library.path() + "/templates/Old.dat"));
        QVERIFY(QFile::exists(library.path() + "/templates/Kept.dat"));
        QVERIFY(QFile::exists(library.path() + "/quillery-library-notes.txt"));
    }

    // Files an author put into the library by hand stay; what an earlier
    // build wrote and this one does not is removed, and said so.
    void prunesOnlyWhatAnEarlierBuildWrote()
    {
        QTemporaryDir source, library;
        makeSource(source.path(), {QStringLiteral("Old"), QStringLiteral("Kept")});
        QVERIFY(build(source.path(), library.path()).status);
        const QStringList handMade{"templates/Mine.dat", "categories/Mine.html",
                                   "categories/thumbs/mine.png"};
        for (const QString& file : handMade)
            writeFile(library.filePath(file), "made by hand");
        // A record that names files no build writes must not make the build
        // delete them.
        writeFile(library.filePath("victim.dat"), "the user's");
        QFile record(library.filePath(".quillery-built"));
        QVERIFY(record.open(QIODevice::Append));
        record.write("templates/../victim.dat\n/etc/hostname\nvictim.dat\n");
        record.close();
        QVERIFY(QDir(source.path() + "/0Shop/Old").removeRecursively());
        makeSource(source.path(), {QStringLiteral("Kept")});

        const Built run = build(source.path(), library.path());
        QVERIFY2(run.status, qPrintable(run.status.message()));
        QVERIFY(!QFile::exists(library.filePath("templates/Old.dat")));
        QVERIFY2(run.out.contains("removed templates/Old.dat\n"), qPrintable(run.out));
        QCOMPARE(run.out.count("removed "), 1);
        for (const QString& file : handMade)
            QCOMPARE(FileIo::readAll(library.filePath(file)).valueOr(""), "made by hand");
        QVERIFY(QFile::exists(library.filePath("victim.dat")));
        QVERIFY(QFile::exists("/etc/hostname"));
        QVERIFY2(run.warnings.contains("\"templates/../victim.dat\" is not a file a build writes"),
                 qPrintable(run.warnings));

        // The hand-made page and template keep the library whole for check.
        writeFile(library.filePath("categories/Mine.html"), "<a href=\"#Mine\">Mine</a>");
        QVERIFY(QFile::remove(library.filePath("templates/Mine.dat")));
        QVERIFY(QFile::copy(library.filePath("templates/Kept.dat"),
                            library.filePath("templates/Mine.dat")));
        const Run check = runTool({QStringLiteral("check"), library.path()});
        QVERIFY2(check.exitCode == 0, qPrintable(check.out));
    }

    // A disk that fills up half-way through the templates leaves the
    // previous library as it was, and nothing of the new one.
    void failedWriteLeavesThePreviousLibrary()
    {
        QTemporaryDir source, library;
        const QStringList names{"Autumn", "Sale", "Winter"};
        makeSource(source.path(), names);
        QVERIFY(build(source.path(), library.path()).status);
        const QMap<QString, QByteArray> before = snapshot(library.path());

        makeSource(source.path(), names + QStringList{"Zeta"});
        for (const QString& name : names)
            writeFile(source.path() + "/0Shop/" + name + "/message.txt", "Changed\n");
        QByteArray noise(300 * 1024, Qt::Uninitialized);
        for (qsizetype i = 0; i < noise.size(); ++i)
            noise[i] = char((i * 7919) >> 3);
        writeFile(source.path() + "/0Shop/Zeta/images/noise.png", noise);
        writeFile(source.path() + "/0Shop/Zeta/message.html",
                  "<img src=\"images/hero.png\" alt=\"\"><img src=\"images/noise.png\" alt=\"\">");

        const Run run =
            runTool({QStringLiteral("build"), source.path(), library.path()}, 200 * 1024);
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(
            run.err.contains("quillery-library: " + library.filePath("templates/Zeta.dat") + ": "),
            qPrintable(run.err));
        QCOMPARE(run.err.count("Zeta.dat"), 1);
        QCOMPARE(snapshot(library.path()), before);
    }

    // A file that cannot be put in place after others were: those go back.
    void failedPlacementPutsBackWhatItReplaced()
    {
        QTemporaryDir source, library;
        makeSource(source.path(), {QStringLiteral("Sale")});
        QVERIFY(build(source.path(), library.path()).status);
        QVERIFY(QDir(library.filePath("categories/thumbs")).removeRecursively());
        writeFile(library.filePath("categories/thumbs"), "a file where the folder belongs");
        const QMap<QString, QByteArray> before = snapshot(library.path());

        makeSource(source.path(), {QStringLiteral("Sale"), QStringLiteral("New")});
        const Built run = build(source.path(), library.path());
        QVERIFY(!run.status);
        QVERIFY2(run.status.message().contains(library.filePath("categories/thumbs") +
                                               ": cannot create the folder"),
                 qPrintable(run.status.message()));
        QCOMPARE(snapshot(library.path()), before);
    }

    void leftoverStagingIsRemoved_data()
    {
        QTest::addColumn<bool>("link");
        QTest::newRow("folder") << false;
        QTest::newRow("link to a folder of the user's") << true;
    }

    // What a killed build left is removed by the next one, and a link in its
    // place is never followed.
    void leftoverStagingIsRemoved()
    {
        QFETCH(bool, link);
        QTemporaryDir source, library, elsewhere;
        makeSource(source.path(), {QStringLiteral("Sale")});
        const QString staging = library.filePath(".quillery-staging");
        if (link) {
            writeFile(elsewhere.filePath("new/templates/Keep.dat"), "the user's");
            QVERIFY(QFile::link(elsewhere.path(), staging));
        } else {
            writeFile(staging + "/new/templates/Half.dat", "half-written");
        }

        const Built run = build(source.path(), library.path());
        QVERIFY2(run.status, qPrintable(run.status.message()));
        QVERIFY(run.out.contains("removed .quillery-staging, left by an earlier build"));
        QVERIFY(!QFileInfo(staging).exists() && !QFileInfo(staging).isSymLink());
        QVERIFY(!QFile::exists(library.filePath("templates/Half.dat")));
        if (link)
            QVERIFY(QFile::exists(elsewhere.filePath("new/templates/Keep.dat")));
    }

    // A second build into the same library must not take the first one's
    // staging folder for a leftover.
    void oneBuildAtATime()
    {
        QTemporaryDir source, library;
        makeSource(source.path(), {QStringLiteral("Sale")});
        QLockFile other(library.filePath(".quillery-build.lock"));
        QVERIFY(other.tryLock(0));
        writeFile(library.filePath(".quillery-staging/new/templates/Sale.dat"), "being written");

        const Built run = build(source.path(), library.path());
        QVERIFY(!run.status);
        QVERIFY2(run.status.message().contains("another build is writing this library"),
                 qPrintable(run.status.message()));
        QVERIFY(QFile::exists(library.filePath(".quillery-staging/new/templates/Sale.dat")));

        other.unlock();
        QVERIFY(build(source.path(), library.path()).status);
        QVERIFY(!QFile::exists(library.filePath(".quillery-staging")));
        QVERIFY(!QFile::exists(library.filePath(".quillery-build.lock")));
    }

    void killedWhilePlacingKeepsThePreviousLibrary_data()
    {
        QTest::addColumn<int>("rename");
        // The page, then Autumn, New and Sale: an old file aside and the new
        // one in, but New has no old one.
        QTest::newRow("first old file set aside") << 1;
        QTest::newRow("the page set aside, not replaced") << 2;
        QTest::newRow("the page replaced") << 3;
        QTest::newRow("a new template in place") << 6;
        QTest::newRow("last new file") << 7;
    }

    // A build killed while putting its files in place leaves a library part
    // old, part new: check says so, and the next build, even one that fails,
    // first puts the previous files back.
    void killedWhilePlacingKeepsThePreviousLibrary()
    {
        QFETCH(int, rename);
        QTemporaryDir source, library;
        makeSource(source.path(), {QStringLiteral("Autumn"), QStringLiteral("Sale")});
        QVERIFY(build(source.path(), library.path()).status);
        const QMap<QString, QByteArray> before = snapshot(library.path());
        makeSource(source.path(),
                   {QStringLiteral("Autumn"), QStringLiteral("New"), QStringLiteral("Sale")});
        for (const QString name : {"Autumn", "Sale"})
            writeFile(source.path() + "/0Shop/" + name + "/message.txt", "Changed\n");

        const Run killed = runTool({QStringLiteral("build"), source.path(), library.path()}, 0,
                                   QStringLiteral("build-place:%1").arg(rename));
        QCOMPARE(killed.exitCode, -1);
        const Run check = runTool(
            {QStringLiteral("check"), library.path(), QStringLiteral("--no-mail-programs")});
        QVERIFY2(check.exitCode != 0 && check.out.contains("left by a build that did not finish"),
                 qPrintable(check.out + check.err));

        // Two templates of one name fail the next build.
        writeFile(source.path() + "/Travel/page.html", "<a href=\"#Sale\">Sale</a>");
        writeFile(source.path() + "/Travel/Sale/message.txt", "Sale\n");
        const Built failed = build(source.path(), library.path());
        QVERIFY(!failed.status);
        QVERIFY2(failed.status.message().contains("another category has a template of this name"),
                 qPrintable(failed.status.message()));
        QCOMPARE(snapshot(library.path()), before);
    }

    void keepsWhatItDidNotWrite_data()
    {
        QTest::addColumn<bool>("replaced");
        QTest::newRow("built file replaced by hand") << true;
        QTest::newRow("file named in the record by hand") << false;
    }

    // Only a file that still holds what a build wrote is pruned.
    void keepsWhatItDidNotWrite()
    {
        QFETCH(bool, replaced);
        QTemporaryDir source, library;
        makeSource(source.path(), {QStringLiteral("Old"), QStringLiteral("Kept")});
        QVERIFY(build(source.path(), library.path()).status);
        const QString mine =
            library.filePath(replaced ? "templates/Old.dat" : "templates/Mine.dat");
        writeFile(mine, "the author's own");
        if (!replaced) {
            QFile record(library.filePath(".quillery-built"));
            QVERIFY(record.open(QIODevice::Append));
            record.write("templates/Mine.dat\n");
        }
        QVERIFY(QDir(source.path() + "/0Shop/Old").removeRecursively());
        makeSource(source.path(), {QStringLiteral("Kept")});

        const Built run = build(source.path(), library.path());
        QVERIFY2(run.status, qPrintable(run.status.message()));
        QCOMPARE(FileIo::readAll(mine).valueOr(""), QByteArray("the author's own"));
        QVERIFY2(run.out.contains("kept " + QDir(library.path()).relativeFilePath(mine)),
                 qPrintable(run.out));
        QVERIFY2(!run.out.contains("removed " + QDir(library.path()).relativeFilePath(mine)),
                 qPrintable(run.out));
        // No longer the build's: the next one does not name it again.
        QVERIFY(!FileIo::readAll(library.filePath(".quillery-built"))
                     .valueOr("")
                     .contains(QDir(library.path()).relativeFilePath(mine).toUtf8()));
    }

    // A record line grown huge by hand is skipped unread, not echoed whole.
    void hugeRecordLineIsSkipped()
    {
        QTemporaryDir source, library;
        makeSource(source.path(), {QStringLiteral("Sale")});
        QVERIFY(build(source.path(), library.path()).status);
        QFile record(library.filePath(".quillery-built"));
        QVERIFY(record.open(QIODevice::Append));
        record.write(QByteArray(8 * 1024 * 1024, 'x') + "\n");
        record.close();

        const Built run = build(source.path(), library.path());
        QVERIFY2(run.status, qPrintable(run.status.message()));
        QVERIFY2(run.warnings.contains("is longer than 4096 bytes"),
                 qPrintable(run.warnings.left(300)));
        QVERIFY(run.warnings.size() < 1000);
        QVERIFY(QFile::exists(library.filePath("templates/Sale.dat")));
    }

    void refusesBrokenSources_data()
    {
        QTest::addColumn<int>("fault");
        QTest::addColumn<QString>("reason");
        QTest::newRow("image shown but missing") << 0 << QStringLiteral("images/logo.png");
        QTest::newRow("image of an unknown type") << 1 << QStringLiteral("not an image type");
        QTest::newRow("broken SVG") << 2 << QStringLiteral("not a valid SVG");
        QTest::newRow("no text part") << 3 << QStringLiteral("message.txt");
        QTest::newRow("HTML too large for mail programs") << 4 << QStringLiteral("unclipped");
        QTest::newRow("no source folder") << 5 << QStringLiteral("no such source folder");
        QTest::newRow("text that is not UTF-8") << 6 << QStringLiteral("is not valid UTF-8");
        QTest::newRow("two categories, one thumbnail name")
            << 7 << QStringLiteral("thumbnail of this name");
    }

    // A broken source fails the build with the path and the reason, and the
    // library it would have replaced stays as it was.
    void refusesBrokenSources()
    {
        QFETCH(int, fault);
        QFETCH(QString, reason);
        QTemporaryDir source, library;
        makeSource(source.path(), {QStringLiteral("Sale")});
        QVERIFY(build(source.path(), library.path()).status);
        const QByteArray before =
            FileIo::readAll(library.path() + "/templates/Sale.dat").valueOr("");
        const QString t = source.path() + "/0Shop/Sale";
        QString sourceArgument = source.path();
        switch (fault) {
        case 0:
            writeFile(
                t + "/message.html",
                "<img src=\"images/hero.png\" alt=\"\"><img src=\"images/logo.png\" alt=\"\">");
            break;
        case 1:
            writeFile(t + "/images/notes.txt", "text");
            break;
        case 2:
            writeFile(t + "/images/hero.svg", "<svg");
            break;
        case 3:
            QFile::remove(t + "/message.txt");
            break;
        case 4:
            writeFile(t + "/message.html",
                      "<img src=\"images/hero.png\" alt=\"\">" + QByteArray(101 * 1024, 'x'));
            break;
        case 5:
            sourceArgument += "/missing";
            break;
        case 6:
            writeFile(t + "/message.txt", "Caf\xe9\n");
            break;
        case 7:
            writeFile(source.path() + "/Travel/page.html", "<a href=\"#Sale\">Sale</a>");
            writeFile(source.path() + "/Travel/thumbs/t.png", "another picture");
            break;
        }
        const Built run = build(sourceArgument, library.path());
        QVERIFY(!run.status);
        const QString message = run.status.message();
        QVERIFY2(message.contains(reason), qPrintable(message));
        const QStringList reports = message.split('\n');
        QCOMPARE(reports.size(), 1);
        QVERIFY2(reports.first().count(source.path()) == 1, qPrintable(message)); // the path, once
        QCOMPARE(FileIo::readAll(library.path() + "/templates/Sale.dat").valueOr(""), before);
    }
};

QTEST_GUILESS_MAIN(TestLibraryBuild)
#include "tst_librarybuild.moc"
