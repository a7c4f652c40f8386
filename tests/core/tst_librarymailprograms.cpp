#include "core/gallery/templatedecoding.h"
#include "core/librarytool.h"
#include "core/platform/fileio.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

// quillery-library check on what the mail programs we support lack, with the
// linter that the build puts beside the tool.
class TestLibraryMailPrograms : public QObject
{
    Q_OBJECT

private slots:
    void reportsWhatTheMailProgramsLack_data();
    void reportsWhatTheMailProgramsLack();
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

// A library of the given templates, every one linked from one category page.
void makeLibrary(const QString& folder, const QMap<QString, QByteArray>& templates)
{
    QByteArray page = "<html><body>\n";
    for (auto it = templates.cbegin(); it != templates.cend(); ++it) {
        const Result<QByteArray> packed = Module1::PackTemplate(it.value());
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
    } else {
        QVERIFY2(!run.out.contains("in mail programs"), qPrintable(run.out));
    }
    // The undecodable template is reported once, by the library check.
    QVERIFY2(run.out.contains(broken + ": truncated"), qPrintable(run.out));
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.err, QString());
    // Its link on the category page is a problem too.
    QCOMPARE(lastLine(run.out), dir.path() + (checked ? ": 4 problems" : ": 2 problems"));
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
    QStringList reported;
    for (const QString& line : run.out.split('\n')) {
        if (line.contains(": in mail programs: display:flex"))
            reported << line.section(": in mail programs: ", 0, 0);
    }
    QCOMPARE(reported, flagged);
    QCOMPARE(run.out.count("in mail programs"), 2 * flagged.size());
    QCOMPARE(run.exitCode, 1);
    QVERIFY(!QFileInfo::exists(dir.filePath("pwned")));
}

void TestLibraryMailPrograms::saysWhenItCannotCheck_data()
{
    // The tool runs from a folder of its own, with the linter as given there.
    QTest::addColumn<QString>("linter"); // "none", "copied", or a lint.mjs that fails
    QTest::addColumn<bool>("nodeOnPath");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("said");
    QTest::addColumn<QString>("verdict");
    QTest::newRow("no linter beside the tool")
        << "none" << true << 0
        << "quillery-library: the mail programs cannot be checked: the template linter is "
           "missing (TOOL/lint with its npm packages); scripts/install-deps installs it\n"
        << "no problems; the mail programs were not checked";
    QTest::newRow("no Node")
        << "copied" << false << 0
        << "quillery-library: the mail programs cannot be checked: Node.js is missing (neither "
           "node nor nodejs is on PATH); scripts/install-deps installs it\n"
        << "no problems; the mail programs were not checked";
    QTest::newRow("a linter that dies")
        << "console.error('error: out of luck'); process.exit(3);" << true << 1
        << "TOOL/lint/lint.mjs: failed linting Flex.dat: error: out of luck\n"
        << "1 problem";
}

void TestLibraryMailPrograms::saysWhenItCannotCheck()
{
    QFETCH(QString, linter);
    QFETCH(bool, nodeOnPath);
    QFETCH(int, exitCode);
    QFETCH(QString, said);
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

    QProcess process;
    if (!nodeOnPath) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("PATH", dir.filePath("tool"));
        process.setProcessEnvironment(environment);
    }
    process.start(tool, {"check", library});
    QVERIFY(process.waitForFinished(60000));
    const QString out = QString::fromUtf8(process.readAllStandardOutput());
    const QString err = QString::fromUtf8(process.readAllStandardError());
    said.replace("TOOL", dir.filePath("tool"));
    QVERIFY2((exitCode == 0 ? err : out).contains(said), qPrintable(out + err));
    QCOMPARE(lastLine(out), library + ": " + verdict);
    QCOMPARE(process.exitCode(), exitCode);
}

QTEST_GUILESS_MAIN(TestLibraryMailPrograms)
#include "tst_librarymailprograms.moc"
