#include "app/hostilewatch.h"

#include "core/platform/fileio.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

// The renderer draws contributed templates into pictures that go into the
// library: a page that points at the renderer's own files must not carry
// them out in those pictures.
class TestThumbnailRenderer : public QObject
{
    Q_OBJECT

private slots:
    void drawsOnlyThePagesOwnFiles();
    void capturesTheWholePage();
    void drawsWithTheProjectsFonts_data();
    void drawsWithTheProjectsFonts();
    void withoutItsFontsItSaysSoAndDrawsAnyway_data();
    void withoutItsFontsItSaysSoAndDrawsAnyway();
};

namespace {

// A machine whose fonts and font settings would draw every family a template
// asks for with another font.
const QString hostileFonts = QStringLiteral(QUILLERY_TEST_DATA "/fonts/hostile-fonts.conf");

// A line of text in `family`, drawn by `program` with the environment
// `environment` added; `errors` gets what the program said.
QImage drawnLine(const QString& program, const QString& family, const QStringList& environment = {},
                 QString* errors = nullptr)
{
    QTemporaryDir root;
    const QString page = root.filePath("page.html");
    if (!FileIo::writeAtomically(page, "<html><body style=\"margin:0;background:#fff\">"
                                       "<p style=\"font:24px/32px '" +
                                           family.toUtf8() +
                                           "',monospace;margin:4px\">Hamburgefonstiv, "
                                           "quick brown fox 0123 &mdash; &euro;1,099</p>"
                                           "</body></html>"))
        return {};
    QProcess renderer;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString& variable : environment)
        env.insert(variable.section('=', 0, 0), variable.section('=', 1));
    renderer.setProcessEnvironment(env);
    renderer.start(program, {"shot", page, root.filePath("shot.png"), "700", "40"});
    if (!renderer.waitForFinished(120000) || renderer.exitCode() != 0)
        return {};
    if (errors)
        *errors = QString::fromLocal8Bit(renderer.readAllStandardError());
    return QImage(root.filePath("shot.png"));
}

} // namespace

void TestThumbnailRenderer::drawsOnlyThePagesOwnFiles()
{
    QTemporaryDir root;
    const QString own = root.filePath("own");
    const QString outside = root.filePath("outside");
    QVERIFY(QDir().mkpath(own) && QDir().mkpath(outside));
    QImage red(40, 40, QImage::Format_RGB32);
    red.fill(Qt::red);
    QVERIFY(red.save(own + "/red.png"));
    QImage green(40, 40, QImage::Format_RGB32);
    green.fill(Qt::green);
    QVERIFY(green.save(outside + "/secret.png"));
    LoopbackListener listener;

    const QByteArray outsideUrl = QUrl::fromLocalFile(outside).toEncoded();
    const QByteArray page =
        "<html><body style=\"margin:0;background:#fff\">"
        "<img src=\"red.png\" style=\"position:absolute;left:0;top:0\">"
        "<img src=\"" +
        outsideUrl +
        "/secret.png\" style=\"position:absolute;left:50px;top:0\">"
        "<img src=\"../outside/secret.png\" style=\"position:absolute;left:100px;top:0\">"
        "<iframe src=\"" +
        outsideUrl +
        "/secret.png\" style=\"position:absolute;left:150px;"
        "top:0;width:40px;height:40px;border:0\"></iframe>"
        "<img src=\"" +
        listener.origin().toUtf8() +
        "/remote.png\">"
        "<meta http-equiv=\"refresh\" content=\"0;url=" +
        outsideUrl +
        "/secret.png\">"
        "</body></html>";
    QVERIFY(FileIo::writeAtomically(own + "/page.html", page));
    CanaryWatch watch(outside);

    QProcess renderer;
    renderer.start(QUILLERY_THUMBNAILS,
                   {"shot", own + "/page.html", root.filePath("shot.png"), "300", "60"});
    QVERIFY(renderer.waitForFinished(120000));
    QCOMPARE(renderer.exitCode(), 0);

    QCOMPARE(watch.opened(), QStringList());
    QCOMPARE(listener.connections(), 0);
    const QImage shot(root.filePath("shot.png"));
    QVERIFY(!shot.isNull());
    QCOMPARE(shot.pixelColor(20, 20), QColor(Qt::red));
    for (int x : {70, 120, 170})
        QVERIFY2(shot.pixelColor(x, 20) != QColor(Qt::green), qPrintable(QString::number(x)));
}

// Without a height the shot is as tall as the page, its last line included.
void TestThumbnailRenderer::capturesTheWholePage()
{
    QTemporaryDir root;
    QVERIFY(FileIo::writeAtomically(root.filePath("page.html"),
                                    "<html><body style=\"margin:0\">"
                                    "<div style=\"height:1500px;background:#00f\"></div>"
                                    "<div style=\"height:20px;background:#f00\"></div>"
                                    "</body></html>"));

    QProcess renderer;
    renderer.start(QUILLERY_THUMBNAILS,
                   {"shot", root.filePath("page.html"), root.filePath("shot.png"), "300"});
    QVERIFY(renderer.waitForFinished(120000));
    QCOMPARE(renderer.exitCode(), 0);

    const QImage shot(root.filePath("shot.png"));
    QCOMPARE(shot.size(), QSize(300, 1520));
    QCOMPARE(shot.pixelColor(150, 1510), QColor(Qt::red));
}

void TestThumbnailRenderer::drawsWithTheProjectsFonts_data()
{
    QTest::addColumn<QString>("family"); // as a template asks for it
    QTest::addColumn<QString>("font");   // the free font drawn for it
    QTest::newRow("Arial") << "Arial"
                           << "Liberation Sans";
    QTest::newRow("Helvetica") << "Helvetica"
                               << "Liberation Sans";
    QTest::newRow("Helvetica Neue") << "Helvetica Neue"
                                    << "Liberation Sans";
    QTest::newRow("Times New Roman") << "Times New Roman"
                                     << "Liberation Serif";
    QTest::newRow("Courier New") << "Courier New"
                                 << "Liberation Mono";
    QTest::newRow("Calibri") << "Calibri"
                             << "Carlito";
    QTest::newRow("Cambria") << "Cambria"
                             << "Caladea";
    QTest::newRow("Palatino Linotype") << "Palatino Linotype"
                                       << "P052";
    QTest::newRow("Century Schoolbook") << "Century Schoolbook"
                                        << "C059";
    QTest::newRow("Georgia") << "Georgia"
                             << "DejaVu Serif";
    QTest::newRow("Verdana") << "Verdana"
                             << "DejaVu Sans";
    QTest::newRow("Tahoma") << "Tahoma"
                            << "Tahoma";
}

// Whatever fonts the machine has and however it is set to map families, a
// family is drawn with the font the project chose for it.
void TestThumbnailRenderer::drawsWithTheProjectsFonts()
{
    QFETCH(QString, family);
    QFETCH(QString, font);
    const QImage chosen = drawnLine(QUILLERY_THUMBNAILS, font);
    const QImage asked =
        drawnLine(QUILLERY_THUMBNAILS, family, {"FONTCONFIG_FILE=" + hostileFonts});
    QVERIFY(!chosen.isNull() && !asked.isNull());
    QVERIFY(asked == chosen);
    // The chosen font is drawn, not the fallback for a family not found
    // (the page's monospace, which no family here maps to).
    QVERIFY(chosen != drawnLine(QUILLERY_THUMBNAILS, "No Such Family"));
}

void TestThumbnailRenderer::withoutItsFontsItSaysSoAndDrawsAnyway_data()
{
    QTest::addColumn<QByteArray>("config"); // beside the program; empty for none
    QTest::addColumn<QString>("said");
    QTest::newRow("no configuration") << QByteArray() << "quillery-fonts.conf";
    QTest::newRow("a font folder missing")
        << QByteArray("<fontconfig><dir>/usr/share/fonts</dir>"
                      "<dir>/nonexistent/quillery-fonts</dir></fontconfig>")
        << "/nonexistent/quillery-fonts";
    QTest::newRow("not a configuration")
        << QByteArray("<fontconfig><dir>") << "quillery-fonts.conf";
}

// Where the fonts are missing the program draws with the system's, as it
// did before it had its own, and says so.
void TestThumbnailRenderer::withoutItsFontsItSaysSoAndDrawsAnyway()
{
    QFETCH(QByteArray, config);
    QFETCH(QString, said);
    QTemporaryDir folder;
    const QString program = folder.filePath("quillery-thumbnails");
    QVERIFY(QFile::copy(QUILLERY_THUMBNAILS, program));
    if (!config.isEmpty())
        QVERIFY(FileIo::writeAtomically(folder.filePath("quillery-fonts.conf"), config));
    QString errors;
    const QImage drawn = drawnLine(program, "Arial", {"FONTCONFIG_FILE=" + hostileFonts}, &errors);
    QVERIFY(!drawn.isNull());
    QVERIFY2(errors.contains("fonts missing") && errors.contains(said), qPrintable(errors));
    // The machine's own mapping of the family holds then, unlike with the
    // program's fonts.
    QVERIFY(drawn == drawnLine(program, "DejaVu Sans Mono", {"FONTCONFIG_FILE=" + hostileFonts}));
    QVERIFY(drawn != drawnLine(QUILLERY_THUMBNAILS, "Arial", {"FONTCONFIG_FILE=" + hostileFonts}));
}

QTEST_MAIN(TestThumbnailRenderer)
#include "tst_thumbnailrenderer.moc"
