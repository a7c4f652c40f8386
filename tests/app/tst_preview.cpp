#include "app/galleryfixture.h"
#include "app/hostilewatch.h"
#include "app/pagetools.h"
#include "app/waits.h"
#include "app/windowcontrols.h"

#include "browserpane.h"
#include "form1.h"

#include <QDir>
#include <QLabel>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>
#include <QTimer>

#include <utility>

namespace {

QStringList filesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

} // namespace

class TestPreview : public QObject
{
    Q_OBJECT

private slots:
    void workspaceDuringAndAfterLoad();
    void sameTemplateTwice();
    void rapidChoicesEndOnTheLast();
    void otherCompletionKeepsPendingFiles();
    void choiceDuringRemovalKeepsItsFiles();
    void namesThatAreNotPlain_data();
    void namesThatAreNotPlain();
    void missingTemplate();
    void workspaceCannotBeCreated();
    void noRemoteSubresources();
    void linkInsidePreviewNavigatesPreview_data();
    void linkInsidePreviewNavigatesPreview();
    void longNameIsCutToFit();
};

void TestPreview::workspaceDuringAndAfterLoad()
{
    GalleryFixture fixture;
    fixture.addCategory("Retail.html", {"Offer"});
    fixture.addTemplate("Offer");
    Form1 form(fixture.appFolder());
    QSignalSpy shown(&form, &Form1::previewShown);

    // Decoded and written before the window shows; the pane is loading.
    const QStringList files = filesIn(fixture.msgFolder());
    QVERIFY(files.contains("Offer.dat"));
    QVERIFY(files.contains("Offer.eml"));
    QVERIFY(files.contains("msg.html"));
    QVERIFY2(files.size() >= 4, qPrintable(files.join(", "))); // and the image
    QCOMPARE(form.currentTemplate(), QStringLiteral("Offer"));
    QCOMPARE(control<QLabel>(form, "lblTitle1")->text(), QStringLiteral(" Preview: Offer"));

    form.show();
    QVERIFY(waitForPreview(shown, "Offer"));
    QVERIFY(!QFileInfo::exists(fixture.msgFolder()));
    // The page keeps its picture after its files are gone.
    QCOMPARE(evaluate(control<BrowserPane>(form, "WebBrowser2"), "document.images[0].naturalWidth")
                 .toInt(),
             24);
    QCOMPARE(evaluate(control<BrowserPane>(form, "WebBrowser2"), "document.title").toString(),
             QStringLiteral("Offer"));
    // The template files beside the program are untouched.
    QVERIFY(QFileInfo::exists(fixture.appFolder() + "/templates/Offer.dat"));
}

void TestPreview::sameTemplateTwice()
{
    GalleryFixture fixture;
    fixture.addCategory("Retail.html", {"Offer"});
    fixture.addTemplate("Offer");
    Form1 form(fixture.appFolder());
    QSignalSpy shown(&form, &Form1::previewShown);
    form.show();
    QVERIFY(waitForPreview(shown, "Offer"));
    form.SelectTemplate("Offer");
    QVERIFY(QFileInfo::exists(fixture.msgFolder() + "/Offer.eml"));
    QVERIFY(waitForPreview(shown, "Offer"));
    QCOMPARE(evaluate(control<BrowserPane>(form, "WebBrowser2"), "document.images[0].naturalWidth")
                 .toInt(),
             24);
    QVERIFY(!QFileInfo::exists(fixture.msgFolder()));
}

void TestPreview::rapidChoicesEndOnTheLast()
{
    GalleryFixture fixture;
    fixture.addCategory("Retail.html", {"Offer", "Promo", "Trip"});
    for (const char* name : {"Offer", "Promo", "Trip"})
        fixture.addTemplate(name);
    Form1 form(fixture.appFolder());
    QSignalSpy shown(&form, &Form1::previewShown);
    form.show();
    form.SelectTemplate("Promo");
    form.SelectTemplate("Trip");
    QVERIFY(shown.wait(20000));
    // Only the last choice counts as shown, and it shows with its picture.
    QCOMPARE(shown.takeFirst().first().toString(), QStringLiteral("Trip"));
    QCOMPARE(evaluate(control<BrowserPane>(form, "WebBrowser2"), "document.title").toString(),
             QStringLiteral("Trip"));
    QCOMPARE(evaluate(control<BrowserPane>(form, "WebBrowser2"), "document.images[0].naturalWidth")
                 .toInt(),
             24);
    QCOMPARE(form.currentTemplate(), QStringLiteral("Trip"));
    QVERIFY(!QFileInfo::exists(fixture.msgFolder()));
}

// A document that completes while the latest preview is still loading (an
// older preview, a page a link led to) must not take the newer files away.
void TestPreview::otherCompletionKeepsPendingFiles()
{
    GalleryFixture fixture;
    fixture.addCategory("Retail.html", {"Offer", "Promo"});
    fixture.addTemplate("Offer");
    fixture.addTemplate("Promo");
    Form1 form(fixture.appFolder());
    QSignalSpy shown(&form, &Form1::previewShown);
    form.show();
    QVERIFY(waitForPreview(shown, "Offer"));
    form.SelectTemplate("Promo");
    emit control<BrowserPane>(form, "WebBrowser2")
        ->DocumentComplete(QUrl::fromLocalFile(fixture.msgFolder() + "/msg.html"));
    emit control<BrowserPane>(form, "WebBrowser2")
        ->DownloadComplete(QUrl("file:///elsewhere.html"));
    QVERIFY(QFileInfo::exists(fixture.msgFolder() + "/msg.html"));
    QVERIFY(waitForPreview(shown, "Promo"));
    QCOMPARE(evaluate(control<BrowserPane>(form, "WebBrowser2"), "document.images[0].naturalWidth")
                 .toInt(),
             24);
    QVERIFY(!QFileInfo::exists(fixture.msgFolder()));
}

// The last preview's files are removed beside the window's thread; a choice
// made while that runs stages into the same folder and must keep its files.
void TestPreview::choiceDuringRemovalKeepsItsFiles()
{
    GalleryFixture fixture;
    fixture.addCategory("Retail.html", {"Offer", "Promo"});
    fixture.addTemplate("Offer");
    fixture.addTemplate("Promo");
    Form1 form(fixture.appFolder());
    QSignalSpy shown(&form, &Form1::previewShown);
    auto* pane = control<BrowserPane>(form, "WebBrowser2");
    bool chosen = false;
    // Queued behind the removal the completion starts.
    connect(pane, &BrowserPane::DocumentComplete, &form, [&] {
        if (std::exchange(chosen, true))
            return;
        QTimer::singleShot(0, &form, [&] {
            form.SelectTemplate("Promo");
            QVERIFY(QFileInfo::exists(fixture.msgFolder() + "/Promo.eml"));
        });
    });
    form.show();
    QVERIFY(waitForPreview(shown, "Promo"));
    QVERIFY(chosen);
    QCOMPARE(evaluate(pane, "document.title").toString(), QStringLiteral("Promo"));
    QCOMPARE(evaluate(pane, "document.images[0].naturalWidth").toInt(), 24);
    QVERIFY(!QFileInfo::exists(fixture.msgFolder()));
}

void TestPreview::namesThatAreNotPlain_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("parent folder") << "../secret";
    QTest::newRow("separator") << "sub/Offer";
    QTest::newRow("dot dot") << "..";
    QTest::newRow("control character") << "Off\ner";
    QTest::newRow("empty") << "";
    QTest::newRow("markup and separator") << "<b>bold</b>";
}

void TestPreview::namesThatAreNotPlain()
{
    QFETCH(QString, name);
    GalleryFixture fixture;
    fixture.addTemplate("Offer");
    // Files a crafted name could reach if it were used as a path.
    fixture.addFile("secret.dat", QByteArray("\x05\x00\x00\x00"
                                             "abcde",
                                             9));
    fixture.addFile("templates/sub/Offer.dat", QByteArray("\x05\x00\x00\x00"
                                                          "abcde",
                                                          9));
    const QStringList before = QDir(fixture.appFolder()).entryList(QDir::AllEntries);
    Form1 form(fixture.appFolder());
    QSignalSpy shown(&form, &Form1::previewShown);
    form.show();
    form.SelectTemplate(name);
    QCOMPARE(form.currentTemplate(), name);
    QCOMPARE(control<QLabel>(form, "lblTitle1")->text(), " Preview: " + name);
    QCOMPARE(filesIn(fixture.msgFolder()), QStringList{"msg.html"});
    QVERIFY(!QFileInfo::exists(modGetDirs::WorkspaceDir() + "/secret.eml"));
    QVERIFY(waitForPreview(shown, name));
    const QString text =
        evaluate(control<BrowserPane>(form, "WebBrowser2"), "document.body.innerText").toString();
    QVERIFY(text.contains("template"));
    // Shown as text, not taken for markup.
    if (name.startsWith(u'<'))
        QVERIFY2(text.contains(name), qPrintable(text));
    QCOMPARE(QDir(fixture.appFolder()).entryList(QDir::AllEntries), before);
}

void TestPreview::missingTemplate()
{
    GalleryFixture fixture;
    Form1 form(fixture.appFolder());
    QSignalSpy shown(&form, &Form1::previewShown);
    form.show();
    form.SelectTemplate("Ghost");
    QVERIFY(waitForPreview(shown, "Ghost"));
    const QString text =
        evaluate(control<BrowserPane>(form, "WebBrowser2"), "document.body.innerText").toString();
    QVERIFY2(text.contains("Ghost") && text.contains("missing"), qPrintable(text));
    QCOMPARE(form.currentTemplate(), QStringLiteral("Ghost"));
}

void TestPreview::workspaceCannotBeCreated()
{
    GalleryFixture fixture;
    fixture.addTemplate("Offer");
    // A plain file where the workspace folder should be.
    QFile blocker(modGetDirs::WorkspaceDir());
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    Form1 form(fixture.appFolder());
    QSignalSpy loaded(control<BrowserPane>(form, "WebBrowser2"), &BrowserPane::DocumentComplete);
    form.show();
    form.SelectTemplate("Offer");
    QCOMPARE(form.currentTemplate(), QStringLiteral("Offer"));
    QVERIFY(loaded.wait(20000));
    const QString text =
        evaluate(control<BrowserPane>(form, "WebBrowser2"), "document.body.innerText").toString();
    QVERIFY2(text.contains("Offer") && text.contains(modGetDirs::WorkspaceDir()), qPrintable(text));
    QVERIFY(QFileInfo(modGetDirs::WorkspaceDir()).isFile());
}

void TestPreview::noRemoteSubresources()
{
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost));
    const QByteArray remote = "http://127.0.0.1:" + QByteArray::number(server.serverPort());
    GalleryFixture fixture;
    fixture.addCategory("Retail.html", {"Offer"});
    fixture.addTemplate("Offer", "<img src=\"" + remote +
                                     "/pixel.png\">"
                                     "<link rel=\"stylesheet\" href=\"" +
                                     remote + "/style.css\">");
    Form1 form(fixture.appFolder());
    QSignalSpy shown(&form, &Form1::previewShown);
    form.show();
    QVERIFY(waitForPreview(shown, "Offer"));
    QCOMPARE(evaluate(control<BrowserPane>(form, "WebBrowser2"), "document.images.length").toInt(),
             2);
    QVERIFY(!server.hasPendingConnections());
    QVERIFY(!server.waitForNewConnection(200));
}

void TestPreview::linkInsidePreviewNavigatesPreview_data()
{
    QTest::addColumn<QByteArray>("target");
    QTest::newRow("same window") << QByteArray("_self");
    QTest::newRow("new window") << QByteArray("_blank");
}

// A link the user clicks inside a preview is followed there, as in a mail
// program's reading pane; the category page stays as it was.
void TestPreview::linkInsidePreviewNavigatesPreview()
{
    QFETCH(QByteArray, target);
    GalleryFixture fixture;
    LoopbackListener server;
    server.setReply("<html><head><title>other</title></head></html>");
    const QString other = server.origin() + "/other.html";
    fixture.addCategory("Retail.html", {"Offer"});
    fixture.addTemplate("Offer", "<a id=\"away\" target=\"" + target + "\" href=\"" +
                                     other.toUtf8() +
                                     "\" style=\"display:block;height:60px\">away</a>");
    Form1 form(fixture.appFolder());
    QSignalSpy shown(&form, &Form1::previewShown);
    QSignalSpy pageLoaded(control<BrowserPane>(form, "WebBrowser1"),
                          &BrowserPane::DocumentComplete);
    form.show();
    QVERIFY(waitForPreview(shown, "Offer"));
    // The category page may finish loading after the preview.
    QVERIFY(pageLoaded.count() > 0 || pageLoaded.wait(20000));
    const QUrl categoryPage = control<BrowserPane>(form, "WebBrowser1")->url();
    QSignalSpy loaded(control<BrowserPane>(form, "WebBrowser2"), &BrowserPane::DocumentComplete);
    clickElement(control<BrowserPane>(form, "WebBrowser2"), "away");
    QVERIFY(loaded.wait(20000));
    QCOMPARE(loaded.first().first().toUrl(), QUrl(other));
    QCOMPARE(evaluate(control<BrowserPane>(form, "WebBrowser2"), "document.title").toString(),
             QStringLiteral("other"));
    QCOMPARE(control<BrowserPane>(form, "WebBrowser1")->url(), categoryPage);
    QCOMPARE(form.currentTemplate(), QStringLiteral("Offer"));
    QVERIFY(!QFileInfo::exists(fixture.msgFolder()));
}

// A name longer than its title bar is cut short with an ellipsis, never over
// " Export", and shown whole in the tooltip; a wider window shows more of it.
void TestPreview::longNameIsCutToFit()
{
    GalleryFixture fixture;
    const QString name = QStringLiteral("Autumn ") + QString(u'w').repeated(40) +
                         QStringLiteral(" harvest festival programme for every village hall");
    fixture.addCategory("Retail.html", {name});
    fixture.addTemplate(name);
    Form1 form(fixture.appFolder());
    QSignalSpy shown(&form, &Form1::previewShown);
    form.show();
    QVERIFY(waitForPreview(shown, name));
    auto* title = control<QLabel>(form, "lblTitle1");
    const auto* exportTitle = control<QLabel>(form, "lblTitle2");
    QVERIFY2(title->text().endsWith(QChar(0x2026)), qPrintable(title->text()));
    QVERIFY(title->text().startsWith(" Preview: Autumn"));
    QVERIFY(title->geometry().right() < exportTitle->x());
    QCOMPARE(title->toolTip(), name);

    const qsizetype narrow = title->text().size();
    form.resize(form.width() + 400, form.height());
    QVERIFY(title->text().size() > narrow);
    QVERIFY(title->geometry().right() < exportTitle->x());
}

QTEST_MAIN(TestPreview)
#include "tst_preview.moc"
