#include "app/hostilewatch.h"
#include "app/pagetools.h"

#include "browserpane.h"
#include "core/platform/fileio.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDir>
#include <QMenu>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEngineProfile>

namespace {

const QByteArray Page =
    "<!DOCTYPE html><html><head><title>start</title></head><body>"
    "<a id=\"here\" href=\"#Offer\" style=\"display:block;height:40px\">here</a>"
    "<a id=\"there\" href=\"other.html\" style=\"display:block;height:40px\">"
    "there</a>"
    "<script>document.title = 'script ran';</script></body></html>";

} // namespace

class TestBrowserPane : public QObject
{
    Q_OBJECT

signals:
    void asking();

private slots:
    void initTestCase();
    void sameDocumentLink_data();
    void sameDocumentLink();
    void otherDocumentLink_data();
    void otherDocumentLink();
    void noPageScriptsNoContextMenu();
    void hostilePageReadsNothingOutside_data();
    void hostilePageReadsNothingOutside();
    void pageCannotNavigateOnItsOwn_data();
    void pageCannotNavigateOnItsOwn();

private:
    // Shows a category pane on the test page; the caller owns it.
    BrowserPane* openPane(QWebEngineProfile* profile);

    QTemporaryDir m_folder;
};

void TestBrowserPane::initTestCase()
{
    QVERIFY(FileIo::writeAtomically(m_folder.path() + "/page.html", Page));
    QVERIFY(FileIo::writeAtomically(m_folder.path() + "/other.html",
                                    "<html><head><title>other</title></head></html>"));
}

BrowserPane* TestBrowserPane::openPane(QWebEngineProfile* profile)
{
    auto* pane = new BrowserPane(profile, BrowserPane::Role::CategoryPage);
    pane->resize(400, 300);
    pane->show();
    QSignalSpy loaded(pane, &BrowserPane::DocumentComplete);
    pane->Navigate2(m_folder.path() + "/page.html");
    [&] { QVERIFY(loaded.wait(20000)); }();
    return pane;
}

void TestBrowserPane::sameDocumentLink_data()
{
    QTest::addColumn<bool>("cancel");
    QTest::newRow("cancelled") << true;
    QTest::newRow("allowed") << false;
}

// The engine does not ask before a same-document navigation; the pane must.
void TestBrowserPane::sameDocumentLink()
{
    QFETCH(bool, cancel);
    QWebEngineProfile profile;
    std::unique_ptr<BrowserPane> pane(openPane(&profile));
    QList<QUrl> asked;
    connect(pane.get(), &BrowserPane::BeforeNavigate2, this, [&](const QUrl& url, bool* c) {
        asked.append(url);
        *c = cancel;
        emit asking();
    });
    QSignalSpy asks(this, &TestBrowserPane::asking);
    QSignalSpy urlChanged(pane.get(), &QWebEngineView::urlChanged);
    clickElement(pane.get(), "here");
    if (cancel) {
        // Asked once; a second click asks again.
        QVERIFY(asks.wait(20000));
        clickElement(pane.get(), "here");
        QVERIFY(asks.wait(20000));
        QVERIFY(urlChanged.isEmpty() || !urlChanged.last().first().toUrl().hasFragment());
        QCOMPARE(asked.size(), 2);
        QCOMPARE(pane->url().fragment(), QString());
    } else {
        QVERIFY(urlChanged.wait(20000));
        QCOMPARE(asked.size(), 1);
        QCOMPARE(pane->url().fragment(), QStringLiteral("Offer"));
    }
    QCOMPARE(asked.first().fragment(), QStringLiteral("Offer"));
    QCOMPARE(asked.first().adjusted(QUrl::RemoveFragment),
             QUrl::fromLocalFile(m_folder.path() + "/page.html"));
}

void TestBrowserPane::otherDocumentLink_data()
{
    QTest::addColumn<bool>("cancel");
    QTest::newRow("cancelled") << true;
    QTest::newRow("allowed") << false;
}

void TestBrowserPane::otherDocumentLink()
{
    QFETCH(bool, cancel);
    QWebEngineProfile profile;
    std::unique_ptr<BrowserPane> pane(openPane(&profile));
    QList<QUrl> asked;
    connect(pane.get(), &BrowserPane::BeforeNavigate2, this, [&](const QUrl& url, bool* c) {
        asked.append(url);
        *c = cancel;
    });
    QSignalSpy ended(pane.get(), &BrowserPane::DownloadComplete);
    QSignalSpy requests(pane.get(), &BrowserPane::BeforeNavigate2);
    clickElement(pane.get(), "there");
    if (!cancel) {
        QVERIFY(ended.wait(20000));
        QCOMPARE(evaluate(pane.get(), "document.title").toString(), QStringLiteral("other"));
    } else {
        // The request reaches the pane after the click has returned.
        QVERIFY(!requests.isEmpty() || requests.wait(20000));
        QCOMPARE(evaluate(pane.get(), "document.title").toString(), QStringLiteral("start"));
    }
    QCOMPARE(asked.size(), 1);
    QCOMPARE(asked.first(), QUrl::fromLocalFile(m_folder.path() + "/other.html"));
}

void TestBrowserPane::noPageScriptsNoContextMenu()
{
    QWebEngineProfile profile;
    for (auto role : {BrowserPane::Role::CategoryPage, BrowserPane::Role::Preview}) {
        BrowserPane pane(&profile, role);
        pane.resize(400, 300);
        pane.show();
        QSignalSpy loaded(&pane, &BrowserPane::DocumentComplete);
        pane.Navigate2(m_folder.path() + "/page.html");
        QVERIFY(loaded.wait(20000));
        QCOMPARE(evaluate(&pane, "document.title").toString(), QStringLiteral("start"));

        QCOMPARE(pane.contextMenuPolicy(), Qt::NoContextMenu);
        QTest::mouseClick(pane.focusProxy(), Qt::RightButton, {}, QPoint(100, 100));
        QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint(100, 100));
        QApplication::sendEvent(pane.focusProxy(), &menuKey);
        evaluate(&pane, "1"); // a round trip through the engine
        for (QWidget* widget : QApplication::topLevelWidgets())
            QVERIFY(!(qobject_cast<QMenu*>(widget) && widget->isVisible()));
    }
}

namespace {

const QByteArray Png = QByteArray::fromBase64("iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAYAAAAfFcSJAAAADUlE"
                                              "QVR4nGP4z8DwHwAFAAH/iZk9HQAAAABJRU5ErkJggg==");

// A pane's own folder with a page in it, and a folder beside it whose files
// no page of the pane may read.
struct HostileSetting
{
    QTemporaryDir root;
    QString own = root.path() + "/own";
    QString outside = root.path() + "/outside";

    HostileSetting()
    {
        QDir().mkpath(own);
        QDir().mkpath(outside);
        FileIo::writeAtomically(own + "/own.png", Png);
        FileIo::writeAtomically(own + "/other.html",
                                "<html><head><title>other</title></head></html>");
        FileIo::writeAtomically(outside + "/canary.png", Png);
        FileIo::writeAtomically(outside + "/secret.html", "<title>secret</title>secret");
        FileIo::writeAtomically(outside + "/style.css", "body{background:url(canary.png)}");
    }

    // Fills in the places a hostile page points at.
    QByteArray page(QByteArray body, const QString& remote) const
    {
        body.replace("OUTSIDE_URL", QUrl::fromLocalFile(outside).toEncoded());
        body.replace("OUTSIDE_PATH", QFile::encodeName(outside));
        body.replace("REMOTE", remote.toUtf8());
        return "<!DOCTYPE html><html><head><title>start</title></head><body>"
               "<img id=\"own\" src=\"own.png\">" +
               body + "</body></html>";
    }
};

// Shows page.html of the pane's own folder `own`; false when it did not load.
bool showOwnPage(BrowserPane& pane, const QString& own)
{
    pane.setLocalRoot(own);
    pane.resize(400, 300);
    pane.show();
    QSignalSpy loaded(&pane, &BrowserPane::DocumentComplete);
    pane.Navigate2(own + "/page.html");
    return loaded.wait(20000);
}

BrowserPane::Role roleOf(const QString& name)
{
    return name == u"preview" ? BrowserPane::Role::Preview : BrowserPane::Role::CategoryPage;
}

} // namespace

void TestBrowserPane::hostilePageReadsNothingOutside_data()
{
    QTest::addColumn<QString>("role");
    QTest::addColumn<QByteArray>("body");
    const QList<QPair<const char*, QByteArray>> vectors = {
        {"img file", "<img src=\"OUTSIDE_URL/canary.png\">"},
        {"img climbing", "<img src=\"../outside/canary.png\">"},
        {"img root-relative", "<img src=\"OUTSIDE_PATH/canary.png\">"},
        {"iframe file", "<iframe src=\"OUTSIDE_URL/secret.html\"></iframe>"},
        {"iframe climbing", "<iframe src=\"../outside/secret.html\"></iframe>"},
        {"object", "<object data=\"OUTSIDE_URL/secret.html\"></object>"},
        {"embed", "<embed src=\"OUTSIDE_URL/secret.html\">"},
        {"css url", "<div style=\"width:9px;height:9px;background:url('OUTSIDE_URL/canary.png')\">"
                    "</div>"},
        {"css import", "<style>@import url('OUTSIDE_URL/style.css');</style>"},
        {"style sheet", "<link rel=\"stylesheet\" href=\"../outside/style.css\">"},
        {"file base", "<base href=\"OUTSIDE_URL/\"><img src=\"canary.png\">"},
        {"remote img", "<img src=\"REMOTE/a.png\">"},
        {"remote frame", "<iframe src=\"REMOTE/\"></iframe>"},
        {"remote css", "<link rel=\"stylesheet\" href=\"REMOTE/s.css\">"},
        {"remote video", "<video poster=\"REMOTE/p.png\" src=\"REMOTE/v.mp4\"></video>"},
    };
    for (const char* role : {"preview", "category page"}) {
        for (const auto& [name, body] : vectors)
            QTest::addRow("%s, %s", role, name) << QString::fromLatin1(role) << body;
    }
}

// A page is a stranger's: what it loads to show itself comes from the pane's
// own folder and nowhere else, whatever form the reference takes.
void TestBrowserPane::hostilePageReadsNothingOutside()
{
    QFETCH(QString, role);
    QFETCH(QByteArray, body);
    HostileSetting setting;
    LoopbackListener listener;
    QVERIFY(
        FileIo::writeAtomically(setting.own + "/page.html", setting.page(body, listener.origin())));
    CanaryWatch watch(setting.outside);
    QVERIFY(watch.isValid());

    QWebEngineProfile profile;
    BrowserPane pane(&profile, roleOf(role));
    QVERIFY(showOwnPage(pane, setting.own));
    runEngineFor(300);

    QCOMPARE(watch.opened(), QStringList());
    QCOMPARE(listener.connections(), 0);
    // The pane's own picture still shows: the filter is not simply closed.
    QVERIFY(evaluate(&pane, "document.getElementById('own').naturalWidth").toInt() > 0);
}

void TestBrowserPane::pageCannotNavigateOnItsOwn_data()
{
    QTest::addColumn<QString>("role");
    QTest::addColumn<QByteArray>("refresh");
    for (const char* role : {"preview", "category page"}) {
        QTest::addRow("%s, to a local file", role)
            << QString::fromLatin1(role) << QByteArray("0;url=OUTSIDE_URL/secret.html");
        QTest::addRow("%s, to a page beside it, later", role)
            << QString::fromLatin1(role) << QByteArray("1; URL='other.html'");
        QTest::addRow("%s, to a server", role)
            << QString::fromLatin1(role) << QByteArray("0;url=REMOTE/");
    }
}

// A refresh moves the pane without a click; only the user and the program do.
void TestBrowserPane::pageCannotNavigateOnItsOwn()
{
    QFETCH(QString, role);
    QFETCH(QByteArray, refresh);
    HostileSetting setting;
    LoopbackListener listener;
    const QByteArray meta = "<meta http-equiv=\"Refresh\" content=\"" + refresh + "\">";
    QVERIFY(
        FileIo::writeAtomically(setting.own + "/page.html", setting.page(meta, listener.origin())));
    CanaryWatch watch(setting.outside);

    QWebEngineProfile profile;
    BrowserPane pane(&profile, roleOf(role));
    QVERIFY(showOwnPage(pane, setting.own));
    runEngineFor(1600);

    QCOMPARE(pane.url(), QUrl::fromLocalFile(setting.own + "/page.html"));
    QCOMPARE(evaluate(&pane, "document.title").toString(), QStringLiteral("start"));
    QCOMPARE(watch.opened(), QStringList());
    QCOMPARE(listener.connections(), 0);
}

QTEST_MAIN(TestBrowserPane)
#include "tst_browserpane.moc"
