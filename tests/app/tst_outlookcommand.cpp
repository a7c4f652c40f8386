// quillery-thumbnails outlook is what quillery-library check runs on a
// library's templates and passes on line by line, so its lines and exit
// status are an interface: one line per fault or per template that holds,
// the reason for a file that cannot be read, 1 when anything is wrong.

#include "templaterender.h"

#include "core/gallery/library/templatedecoding.h"
#include "core/platform/fileio.h"

#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

using namespace TemplateRender;

namespace {

struct Run
{
    int exitCode = -1;
    QStringList lines;
    QString err;
};

Run thumbnails(const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral(QUILLERY_THUMBNAILS), arguments);
    Run run;
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit) {
        run.err = QStringLiteral("the tool did not finish: ") + process.errorString();
        return run;
    }
    run.exitCode = process.exitCode();
    run.lines = QString::fromUtf8(process.readAllStandardOutput()).split(QLatin1Char('\n'));
    if (run.lines.last().isEmpty())
        run.lines.removeLast();
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

// A library file of a message whose page is `body`.
QByteArray templateOf(const QString& body)
{
    const QByteArray message = "From: \"Shop\" <shop@example.com>\r\n"
                               "Subject: Boots\r\n"
                               "MIME-Version: 1.0\r\n"
                               "Content-Type: text/html; charset=UTF-8\r\n\r\n"
                               "<!DOCTYPE html><html><body><table width=\"600\"><tr><td>" +
                               body.toUtf8() + "</td></tr></table></body></html>\r\n";
    const Result<QByteArray> packed = Module1::packTemplate(message);
    if (!packed)
        qFatal("the fixture does not pack: %s", qPrintable(packed.status().message()));
    return *packed;
}

QString boxes()
{
    const QString box = QStringLiteral("<div style=\"display:inline-block;width:200px;\">%1</div>");
    return box.arg(QStringLiteral("Boots")) + box.arg(QStringLiteral("Socks"));
}

} // namespace

class TestOutlookCommand : public QObject
{
    Q_OBJECT

private slots:
    void reportsEachTemplate()
    {
        QTemporaryDir work;
        const QString good = templateFiles().value(0).filePath();
        QVERIFY(!good.isEmpty());
        const QString stacks = work.filePath(QStringLiteral("Stacks.dat"));
        QVERIFY(FileIo::writeAtomically(stacks, templateOf(boxes())));
        const QString corrupt = work.filePath(QStringLiteral("Corrupt.dat"));
        QVERIFY(FileIo::writeAtomically(corrupt, QByteArray("\xff\xfe not a template")));

        const Run run = thumbnails({QStringLiteral("outlook"), good, stacks, corrupt});
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.lines.size(), 3);
        QCOMPARE(run.lines[0], good + QStringLiteral(": holds in the Outlook model"));
        QCOMPARE(run.lines[1],
                 stacks + QStringLiteral(": the 2 boxes side by side from \"Boots\" stack"));
        QVERIFY2(run.lines[2].startsWith(corrupt + QStringLiteral(": the template cannot be ")),
                 qPrintable(run.lines[2]));
    }

    void holdsWhenEveryTemplateHolds()
    {
        QTemporaryDir work;
        const QString table = work.filePath(QStringLiteral("Table.dat"));
        QVERIFY(FileIo::writeAtomically(
            table, templateOf(QStringLiteral("<!--[if mso]><table><tr><td width=\"200\">"
                                             "<![endif]-->") +
                              boxes().replace(QStringLiteral("</div><div"),
                                              QStringLiteral("</div><!--[if mso]></td><td "
                                                             "width=\"200\"><![endif]--><div")) +
                              QStringLiteral("<!--[if mso]></td></tr></table><![endif]-->"))));
        const QString missing = work.filePath(QStringLiteral("Missing.dat"));

        Run run = thumbnails({QStringLiteral("outlook"), table});
        QCOMPARE(run.lines, QStringList{table + QStringLiteral(": holds in the Outlook model")});
        QCOMPARE(run.exitCode, 0);

        run = thumbnails({QStringLiteral("outlook"), missing});
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.lines.size(), 1);
        QVERIFY2(run.lines[0].startsWith(missing + QStringLiteral(": ")), qPrintable(run.lines[0]));
    }

    void drawsTheModel()
    {
        QTemporaryDir work;
        const QString stacks = work.filePath(QStringLiteral("Stacks.dat"));
        QVERIFY(FileIo::writeAtomically(stacks, templateOf(boxes())));
        const QString out = work.filePath(QStringLiteral("outlook.png"));
        const Run run = thumbnails({QStringLiteral("outlook-shot"), stacks, out, "400"});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        const QImage shot(out);
        QCOMPARE(shot.width(), 400);
        QVERIFY(!shot.isNull());
    }

    void wrongUsage_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("no template") << QStringList{QStringLiteral("outlook")};
        QTest::newRow("shot without a width") << QStringList{
            QStringLiteral("outlook-shot"), QStringLiteral("a.dat"), QStringLiteral("a.png")};
        QTest::newRow("shot with a width of nothing")
            << QStringList{QStringLiteral("outlook-shot"), QStringLiteral("a.dat"),
                           QStringLiteral("a.png"), QStringLiteral("wide")};
        QTest::newRow("sheet of the model without a picture")
            << QStringList{QStringLiteral("sheet"), QStringLiteral("--outlook"),
                           QStringLiteral("library"), QStringLiteral("600")};
    }

    void wrongUsage()
    {
        QFETCH(QStringList, arguments);
        const Run run = thumbnails(arguments);
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.contains(QStringLiteral("quillery-thumbnails outlook TEMPLATE.dat...")),
                 qPrintable(run.err));
    }
};

QTEST_MAIN(TestOutlookCommand)
#include "tst_outlookcommand.moc"
