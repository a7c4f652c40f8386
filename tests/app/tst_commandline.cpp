#include "app/galleryfixture.h"

#include <QProcess>
#include <QTest>

// The program as a terminal user meets it: options that print and end, a
// wrong word that is an error, and another library to open.
class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void printsAndEnds_data();
    void printsAndEnds();
    void opensAnotherLibrary();
};

namespace {

struct Run
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

Run run(const QStringList& arguments,
        const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment())
{
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(QUILLERY_PROGRAM, arguments);
    Run result;
    if (!program.waitForFinished(120000))
        return result;
    result.exitCode = program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1;
    result.out = program.readAllStandardOutput();
    result.err = program.readAllStandardError();
    return result;
}

} // namespace

void TestCommandLine::printsAndEnds_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("out");
    QTest::addColumn<QByteArray>("err");
    QTest::newRow("help") << QStringList{"--help"} << 0 << QByteArray("--library <FOLDER>")
                          << QByteArray();
    QTest::newRow("version") << QStringList{"--version"} << 0 << QByteArray("quillery 1.0.5\n")
                             << QByteArray();
    QTest::newRow("unknown option")
        << QStringList{"--colour"} << 2 << QByteArray() << QByteArray("Unknown option 'colour'");
    QTest::newRow("stray word") << QStringList{"Offer"} << 2 << QByteArray()
                                << QByteArray("unexpected argument 'Offer'");
    QTest::newRow("library missing")
        << QStringList{"--library", "/nonexistent/library"} << 1 << QByteArray()
        << QByteArray("/nonexistent/library is not a folder");
}

// None of these needs a display: they are answered before any window exists.
void TestCommandLine::printsAndEnds()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, out);
    QFETCH(QByteArray, err);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("DISPLAY");
    environment.remove("WAYLAND_DISPLAY");
    environment.remove("QT_QPA_PLATFORM");
    const Run result = run(arguments, environment);
    QCOMPARE(result.exitCode, exitCode);
    QVERIFY2(result.out.contains(out), result.out.constData());
    QVERIFY2(result.err.contains(err), result.err.constData());
    if (out.isEmpty())
        QCOMPARE(result.out, QByteArray());
    if (err.isEmpty())
        QCOMPARE(result.err, QByteArray());
}

void TestCommandLine::opensAnotherLibrary()
{
    GalleryFixture fixture;
    fixture.addCategory("Own.html", {"Mine"});
    fixture.addTemplate("Mine");
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QUILLERY_QUIT_AFTER_PREVIEW", "1");
    const Run result = run({"--library", fixture.appFolder()}, environment);
    QCOMPARE(result.exitCode, 0);
    QVERIFY2(result.out.contains("shown: Mine\n"), result.out.constData());
}

QTEST_MAIN(TestCommandLine)
#include "tst_commandline.moc"
