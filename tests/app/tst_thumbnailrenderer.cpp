#include "app/hostilewatch.h"

#include "core/platform/fileio.h"

#include <QDir>
#include <QImage>
#include <QProcess>
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
};

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

QTEST_MAIN(TestThumbnailRenderer)
#include "tst_thumbnailrenderer.moc"
