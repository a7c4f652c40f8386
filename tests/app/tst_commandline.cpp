#include "app/galleryfixture.h"

#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
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
    void missingLibraryOpensTheWindow();
    void startsQuietly_data();
    void startsQuietly();
    void saysWhenItsFontsAreMissing();
};

namespace {

struct Run
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

Run run(const QStringList& arguments,
        const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment(),
        const QString& executable = QStringLiteral(QUILLERY_PROGRAM))
{
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(executable, arguments);
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

// A library that is not there is said on standard error and in the window,
// which opens: started from a menu, nobody reads standard error.
void TestCommandLine::missingLibraryOpensTheWindow()
{
    GalleryFixture fixture;
    QTemporaryDir out;
    const QString shot = out.filePath("window.png");
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QUILLERY_SCREENSHOT", shot);
    const Run result = run({"--library", "/nonexistent/library"}, environment);
    QCOMPARE(result.exitCode, 0);
    QVERIFY2(result.err.contains("/nonexistent/library is not a folder"), result.err.constData());
    QVERIFY(QFileInfo(shot).size() > 0);
}

void TestCommandLine::startsQuietly_data()
{
    QTest::addColumn<bool>("shipped");
    QTest::newRow("shipped library") << true;
    QTest::newRow("fixture library") << false;
}

// A normal start up to the first preview says nothing on standard error.
void TestCommandLine::startsQuietly()
{
    QFETCH(bool, shipped);
    GalleryFixture fixture;
    fixture.addCategory("Own.html", {"Mine"});
    fixture.addTemplate("Mine");
    const QString programFolder = QFileInfo(QStringLiteral(QUILLERY_PROGRAM)).absolutePath();
    QVERIFY2(!shipped || QFileInfo::exists(programFolder + "/categories"),
             "the shipped library is built beside the program (target template_library)");
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QUILLERY_QUIT_AFTER_PREVIEW", "1");
    // As a user starts it: no engine flags or logging rules from the tests.
    environment.remove("QTWEBENGINE_CHROMIUM_FLAGS");
    environment.remove("QT_LOGGING_RULES");
    // A desktop session has a runtime folder; root in a test run has none.
    QTemporaryDir runtime;
    QVERIFY(QFile::setPermissions(runtime.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                      QFileDevice::ExeOwner));
    environment.insert("XDG_RUNTIME_DIR", runtime.path());
    const Run result =
        run(shipped ? QStringList() : QStringList{"--library", fixture.appFolder()}, environment);
    QCOMPARE(result.exitCode, 0);
    QVERIFY2(result.out.contains("shown: "), result.out.constData());

    // What the test's surroundings make the engine say, not the program:
    // root needs the engine's sandbox off, and the offscreen platform has no
    // OpenGL.
    static const QList<QByteArray> environmentOnly = {
        "Sandboxing disabled by user.",
        "WebEngineContext used before QtWebEngineCore::initialize() or OpenGL context creation "
        "failed.",
        "No suitable graphics backend found",
    };
    QByteArrayList said;
    for (const QByteArray& line : result.err.split('\n')) {
        if (!line.trimmed().isEmpty() && !environmentOnly.contains(line))
            said << line;
    }
    QVERIFY2(said.isEmpty(), said.join('\n').constData());
}

// Without the fonts it draws templates with beside it, the gallery still
// previews, with the system's fonts, and says why its pictures may differ.
void TestCommandLine::saysWhenItsFontsAreMissing()
{
    GalleryFixture fixture;
    fixture.addCategory("Own.html", {"Mine"});
    fixture.addTemplate("Mine");
    QTemporaryDir folder;
    const QString program = folder.filePath("quillery");
    QVERIFY(QFile::copy(QUILLERY_PROGRAM, program));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QUILLERY_QUIT_AFTER_PREVIEW", "1");
    environment.insert("LANGUAGE", "en");
    const Run result = run({"--library", fixture.appFolder()}, environment, program);
    QCOMPARE(result.exitCode, 0);
    QVERIFY2(result.out.contains("shown: Mine\n"), result.out.constData());
    QVERIFY2(result.err.contains("quillery: The fonts templates are drawn with are missing (" +
                                 QFile::encodeName(folder.filePath("quillery-fonts.conf")) + ")"),
             result.err.constData());
}

QTEST_MAIN(TestCommandLine)
#include "tst_commandline.moc"
