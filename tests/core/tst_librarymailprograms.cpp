#include "core/gallery/library/templatedecoding.h"
#include "core/librarytool.h"
#include "core/platform/fileio.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

// quillery-library check on what the mail programs we support lack, with the
// linter that the build puts beside the tool, and on what the Outlook model
// breaks, with the renderer beside it.
class TestLibraryMailPrograms : public QObject
{
    Q_OBJECT

private slots:
    void reportsWhatTheMailProgramsLack_data();
    void reportsWhatTheMailProgramsLack();
    void reportsWhatTheOutlookModelBreaks_data();
    void reportsWhatTheOutlookModelBreaks();
    void shippedLibraryHasNoFinding();
    void findingsStayWithTheirTemplates();
    void saysWhenItCannotCheck_data();
    void saysWhenItCannotCheck();
};

namespace {

void writeFile(const QString& path, const QByteArray& content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (!FileIo::writeAtomically(path, content))
        qFatal("cannot write fixture %s", qPrintable(path));
}

QByteArray htmlMessage(const QByteArray& body)
{
    return "From: news@example.com\r\nSubject: News\r\nMIME-Version: 1.0\r\n"
           "Content-Type: text/html; charset=utf-8\r\n\r\n<html><body>" +
           body + "</body></html>\r\n";
}

// What the linter must see is the HTML a mail program gets: quoted-printable
// undone, and not the plain-text part beside it, which speaks of a <video>.
const QByteArray FlexAndVideo =
    "From: news@example.com\r\nSubject: Flex\r\nMIME-Version: 1.0\r\n"
    "Content-Type: multipart/alternative; boundary=\"b\"\r\n\r\n"
    "--b\r\nContent-Type: text/plain; charset=utf-8\r\n\r\n"
    "Watch the <video> on our site.\r\n"
    "--b\r\nContent-Type: text/html; charset=utf-8\r\n"
    "Content-Transfer-Encoding: quoted-printable\r\n\r\n"
    "<html><body><div style=3D\"display:flex\"><p>One</p><p>Two</p></div>=\r\n"
    "<video controls></video></body></html>\r\n"
    "--b--\r\n";

const QByteArray Clean = htmlMessage("<p>Plain and safe</p>");

// Two boxes side by side, which Outlook for Windows stacks, and the same
// boxes held side by side by a table only Outlook reads.
const QByteArray Box = "<div style=\"display:inline-block;width:200px;\">";
const QByteArray Stacking = htmlMessage("<table width=\"600\"><tr><td>" + Box + "Boots</div>" +
                                        Box + "Socks</div></td></tr></table>");
const QByteArray OutlookTable = htmlMessage(
    "<table width=\"600\"><tr><td><!--[if mso]><table><tr><td width=\"200\"><![endif]-->" + Box +
    "Boots</div><!--[if mso]></td><td width=\"200\"><![endif]-->" + Box +
    "Socks</div><!--[if mso]></td></tr></table><![endif]--></td></tr></table>");

// A library of the given templates, every one linked from one category page.
void makeLibrary(const QString& folder, const QMap<QString, QByteArray>& templates)
{
    QByteArray page = "<html><body>\n";
    for (auto it = templates.cbegin(); it != templates.cend(); ++it) {
        const Result<QByteArray> packed = Module1::packTemplate(it.value());
        if (!packed)
            qFatal("fixture message does not pack");
        writeFile(folder + "/templates/" + it.key() + ".dat", *packed);
        page += "<a href=\"#" + it.key().toHtmlEscaped().toUtf8() + "\">x</a>\n";
    }
    writeFile(folder + "/categories/News.html", page + "</body></html>\n");
}

QString lastLine(const QString& text)
{
    return text.trimmed().section('\n', -1);
}

QString toolFolder()
{
    return QFileInfo(QStringLiteral(QUILLERY_TOOL)).absolutePath();
}

} // namespace

void TestLibraryMailPrograms::reportsWhatTheMailProgramsLack_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<bool>("checked");
    QTest::newRow("by default") << QStringList{} << true;
    QTest::newRow("--no-mail-programs") << QStringList{"--no-mail-programs"} << false;
}

void TestLibraryMailPrograms::reportsWhatTheMailProgramsLack()
{
    QFETCH(QStringList, options);
    QFETCH(bool, checked);
    QTemporaryDir dir;
    makeLibrary(dir.path(), {{"Broken", Clean}, {"Clean", Clean}, {"Flex", FlexAndVideo}});
    const QString broken = dir.filePath("templates/Broken.dat");
    writeFile(broken, FileIo::readAll(broken)->left(20));

    const ToolRun run = runTool(QStringList{"check"} + options + QStringList{dir.path()});
    const QString flex = dir.filePath("templates/Flex.dat") + ": in mail programs: ";
    if (checked) {
        QVERIFY2(run.out.contains(flex + "display:flex is not supported by Outlook for Windows\n"),
                 qPrintable(run.out + run.err));
        QVERIFY2(run.out.contains(
                     QRegularExpression(QRegularExpression::escape(flex) +
                                        "<video> element is not supported by Gmail \\(webmail\\), "
                                        "Gmail \\(mobile webmail\\), [^\n]*Outlook.com")),
                 qPrintable(run.out));
        QCOMPARE(run.out.count("in mail programs"), 2);
        // Outlook for Windows stacks the flexible boxes too.
        QVERIFY2(run.out.contains(dir.filePath("templates/Flex.dat") +
                                  ": in Outlook for Windows (model): the 2 boxes side by side "
                                  "from \"One\" stack\n"),
                 qPrintable(run.out));
    } else {
        QVERIFY2(!run.out.contains("in mail programs"), qPrintable(run.out));
        QVERIFY2(!run.out.contains("Outlook"), qPrintable(run.out));
    }
    // The undecodable template is reported once, by the library check.
    QVERIFY2(run.out.contains(broken + ": truncated"), qPrintable(run.out));
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.err, QString());
    // Its link on the category page is a problem too.
    QCOMPARE(lastLine(run.out), dir.path() + (checked ? ": 5 problems" : ": 2 problems"));
}

void TestLibraryMailPrograms::reportsWhatTheOutlookModelBreaks_data()
{
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<QString>("found"); // the Outlook finding, or none
    QTest::newRow("boxes that stack")
        << Stacking
        << "in Outlook for Windows (model): the 2 boxes side by side from \"Boots\" stack";
    QTest::newRow("boxes held by an Outlook table") << OutlookTable << QString();
}

void TestLibraryMailPrograms::reportsWhatTheOutlookModelBreaks()
{
    QFETCH(QByteArray, message);
    QFETCH(QString, found);
    QTemporaryDir dir;
    makeLibrary(dir.path(), {{"Boxes", message}});

    // No display and no platform chosen: the renderer draws off screen.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        environment.remove(name);
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(QUILLERY_TOOL), {"check", dir.path()});
    QVERIFY(process.waitForFinished(120000));
    const QString out = QString::fromUtf8(process.readAllStandardOutput());
    QCOMPARE(QString::fromUtf8(process.readAllStandardError()), QString());
    if (found.isEmpty()) {
        QVERIFY2(!out.contains("Outlook"), qPrintable(out));
        QCOMPARE(lastLine(out), dir.path() + ": no problems");
        QCOMPARE(process.exitCode(), 0);
    } else {
        QVERIFY2(out.startsWith(dir.filePath("templates/Boxes.dat") + ": " + found + "\n"),
                 qPrintable(out));
        QCOMPARE(lastLine(out), dir.path() + ": 1 problem");
        QCOMPARE(process.exitCode(), 1);
    }
}

void TestLibraryMailPrograms::shippedLibraryHasNoFinding()
{
    const ToolRun run = runTool({"check", toolFolder()});
    QVERIFY2(!run.out.contains("in mail programs"), qPrintable(run.out));
    QCOMPARE(run.err, QString());
    QCOMPARE(lastLine(run.out), toolFolder() + ": no problems");
    QCOMPARE(run.exitCode, 0);
}

void TestLibraryMailPrograms::findingsStayWithTheirTemplates()
{
    // More templates than one Node run takes, under names a shell would act
    // on: every finding belongs to its own template, and no name runs.
    QTemporaryDir dir;
    QMap<QString, QByteArray> templates;
    QStringList flagged;
    for (int i = 0; i < 450; ++i) {
        const QString name =
            QStringLiteral("T%1 $(touch pwned) \"'; `x`").arg(i, 3, 10, QChar('0'));
        templates.insert(name, i % 7 == 3 ? FlexAndVideo : Clean);
        if (i % 7 == 3)
            flagged << dir.filePath("templates/" + name + ".dat");
    }
    makeLibrary(dir.path(), templates);

    const ToolRun run = runTool({"check", dir.path()}, dir.path());
    // Each template's findings together, in the order of the templates.
    QStringList reported;
    QStringList outlook;
    for (const QString& line : run.out.split('\n')) {
        if (line.contains(": in mail programs: display:flex"))
            reported << line.section(": in mail programs: ", 0, 0);
        if (line.contains(": in Outlook for Windows (model): "))
            outlook << line.section(": in Outlook for Windows (model): ", 0, 0);
    }
    QCOMPARE(reported, flagged);
    QCOMPARE(outlook, flagged);
    QCOMPARE(run.out.count("in mail programs"), 2 * flagged.size());
    const QStringList lines = run.out.split('\n');
    const qsizetype model =
        lines.indexOf(QRegularExpression("^" + QRegularExpression::escape(flagged.first()) +
                                         ": in Outlook for Windows \\(model\\): .*"));
    QVERIFY(model > 0);
    QVERIFY2(lines[model - 1].startsWith(flagged.first() + ": in mail programs: "),
             qPrintable(lines[model - 1]));
    QCOMPARE(run.exitCode, 1);
    QVERIFY(!QFileInfo::exists(dir.filePath("pwned")));
}

void TestLibraryMailPrograms::saysWhenItCannotCheck_data()
{
    // The tool runs from a folder of its own, with the linter and the renderer
    // as given there.
    QTest::addColumn<QString>("linter");   // "none", "copied", or a lint.mjs that fails
    QTest::addColumn<QString>("renderer"); // "none", "linked", or a shell script in its place
    QTest::addColumn<bool>("nodeOnPath");
    QTest::addColumn<QString>("platform"); // the renderer's, without a display; or inherited
    QTest::addColumn<int>("exitCode");     // 3: no problem found, but not all was checked
    QTest::addColumn<QString>("out");      // what the report holds
    QTest::addColumn<QString>("err");
    QTest::addColumn<QString>("verdict");
    const QString noRenderer =
        "quillery-library: the templates cannot be checked in the Outlook model: the renderer "
        "TOOL/quillery-thumbnails is missing; it is built and installed with the gallery\n";
    const QString noModel = "; the templates were not checked in the Outlook model";
    const QString failed =
        "quillery-library: the templates cannot be checked in the Outlook model: "
        "TOOL/quillery-thumbnails: ";
    QTest::newRow("no linter beside the tool")
        << "none"
        << "none" << true << QString() << 3 << QString()
        << "quillery-library: the mail programs cannot be checked: the template linter is "
           "missing (TOOL/lint with its npm packages); scripts/install-deps installs it\n" +
               noRenderer
        << "no problems; the mail programs were not checked" + noModel;
    QTest::newRow("no Node")
        << "copied"
        << "none" << false << QString() << 3 << QString()
        << "quillery-library: the mail programs cannot be checked: Node.js is missing (neither "
           "node nor nodejs is on PATH); scripts/install-deps installs it\n"
        << "no problems; the mail programs were not checked" + noModel;
    QTest::newRow("a linter that dies")
        << "console.error('error: out of luck'); process.exit(3);"
        << "none" << true << QString() << 1
        << "TOOL/lint/lint.mjs: failed linting Flex.dat: error: out of luck\n"
        << noRenderer << "1 problem" + noModel;
    QTest::newRow("a renderer without a display")
        << "none"
        << "linked" << true << "xcb" << 3 << QString()
        << failed + "it crashed on Flex.dat, having answered for 0 of them: This application "
                    "failed to start because no Qt platform plugin could be initialized."
        << "no problems; the mail programs were not checked" + noModel;
    QTest::newRow("a renderer that answers for no template")
        << "none"
        << "echo 'Flex.dat: holds in the Outlook model'" << true << QString() << 3 << QString()
        << failed + "it said \u201cFlex.dat: holds in the Outlook model\u201d, which names no "
                    "template it was given, on Flex.dat\n"
        << "no problems; the mail programs were not checked" + noModel;
    // What it found before it crashed stands.
    QTest::newRow("a renderer that crashes")
        << "none"
        << "printf '%s: the boxes stack\\n' \"$2\"; echo 'failed: out of luck' >&2; "
           "kill -SEGV $$"
        << true << QString() << 1
        << "LIBRARY/templates/Flex.dat: in Outlook for Windows (model): the boxes stack\n"
        << failed + "it crashed on Flex.dat: failed: out of luck\n"
        << "1 problem; the mail programs were not checked" + noModel;
}

void TestLibraryMailPrograms::saysWhenItCannotCheck()
{
    QFETCH(QString, linter);
    QFETCH(QString, renderer);
    QFETCH(bool, nodeOnPath);
    QFETCH(QString, platform);
    QFETCH(int, exitCode);
    QFETCH(QString, out);
    QFETCH(QString, err);
    QFETCH(QString, verdict);
    QTemporaryDir dir;
    const QString library = dir.filePath("library");
    makeLibrary(library, {{"Flex", FlexAndVideo}});
    const QString tool = dir.filePath("tool/quillery-library");
    QDir().mkpath(dir.filePath("tool"));
    QVERIFY(QFile::copy(QStringLiteral(QUILLERY_TOOL), tool));
    if (linter == "copied") {
        QProcess copy;
        copy.start("cp", {"-r", toolFolder() + "/lint", dir.filePath("tool/lint")});
        QVERIFY(copy.waitForFinished() && copy.exitCode() == 0);
    } else if (linter != "none") {
        writeFile(dir.filePath("tool/lint/lint.mjs"), linter.toUtf8());
        writeFile(dir.filePath("tool/lint/node_modules/@jsx-email/doiuse-email/package.json"),
                  "{}");
    }
    const QString rendererPath = dir.filePath("tool/quillery-thumbnails");
    if (renderer == "linked") {
#ifndef QUILLERY_THUMBNAILS
        QSKIP("built without the renderer");
#else
        QVERIFY(QFile::link(QStringLiteral(QUILLERY_THUMBNAILS), rendererPath));
#endif
    } else if (renderer != "none") {
        writeFile(rendererPath, "#!/bin/sh\n" + renderer.toUtf8() + "\n");
        QVERIFY(QFile::setPermissions(rendererPath, QFile::ReadOwner | QFile::ExeOwner));
    }

    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (!nodeOnPath)
        environment.insert("PATH", dir.filePath("tool"));
    if (!platform.isEmpty()) {
        environment.insert("QT_QPA_PLATFORM", platform);
        environment.remove("DISPLAY");
        environment.remove("WAYLAND_DISPLAY");
    }
    process.setProcessEnvironment(environment);
    process.start(tool, {"check", library});
    QVERIFY(process.waitForFinished(120000));
    const QString said = QString::fromUtf8(process.readAllStandardOutput());
    const QString complained = QString::fromUtf8(process.readAllStandardError());
    for (QString* text : {&out, &err}) {
        text->replace("TOOL", dir.filePath("tool"));
        text->replace("LIBRARY", library);
    }
    QVERIFY2(said.contains(out), qPrintable(said + complained));
    QVERIFY2(complained.contains(err), qPrintable(said + complained));
    QCOMPARE(lastLine(said), library + ": " + verdict);
    QCOMPARE(process.exitCode(), exitCode);
}

QTEST_GUILESS_MAIN(TestLibraryMailPrograms)
#include "tst_librarymailprograms.moc"
