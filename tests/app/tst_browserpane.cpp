#include "app/hostilewatch.h"
#include "app/pagetools.h"
#include "app/urlrecorder.h"

#include "browserpane.h"
#include "core/platform/fileio.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDesktopServices>
#include <QDir>
#include <QMenu>
#include <QScopeGuard>
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
    void clickGoesOnlyWhereItMay_data();
    void clickGoesOnlyWhereItMay();

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
    pane->setLocalRoot(m_folder.path());
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
        // Without its files the setting would prove nothing.
        const auto write = [](const QString& path, const QByteArray& data) {
            if (const Status written = FileIo::writeAtomically(path, data); !written)
                qFatal("%s", qPrintable(written.message()));
        };
        write(own + "/own.png", Png);
        write(own + "/other.html", "<html><head><title>other</title></head></html>");
        write(outside + "/canary.png", Png);
        write(outside + "/secret.html", "<title>secret</title>secret");
        write(outside + "/style.css", "body{background:url(canary.png)}");
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
    const LoadWatch loads(pane.page());
    QVERIFY(showOwnPage(pane, setting.own));
    // Whatever the page loads to show itself it asks for before its load
    // ends, but a media element's source after it: each has given up (or got
    // something) by the time it says so.
    QVERIFY(settlePane(&pane, loads));
    QVERIFY(waitUntil([&] {
        return evaluate(&pane, "Array.from(document.querySelectorAll('video,audio')).every("
                               "function(m){return m.networkState===3||m.readyState>0;})")
            .toBool();
    }));

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
    const LoadWatch loads(pane.page());
    QVERIFY(showOwnPage(pane, setting.own));
    // A refresh later than at once waits for its time on the clock.
    const int delay = refresh.left(refresh.indexOf(';')).toInt();
    if (delay > 0)
        runEngineFor(delay * 1000 + 300);
    QVERIFY(settlePane(&pane, loads));

    QCOMPARE(pane.url(), QUrl::fromLocalFile(setting.own + "/page.html"));
    QCOMPARE(evaluate(&pane, "document.title").toString(), QStringLiteral("start"));
    QCOMPARE(watch.opened(), QStringList());
    QCOMPARE(listener.connections(), 0);
}

namespace {

// Schemes whose handler a click must never reach through the desktop; mailto
// is the one a click of the preview hands on, to the mail program.
const char* const DesktopSchemes[] = {"mailto", "ssh",  "x-quillery-canary", "file", "qrc",
                                      "http",   "https"};

} // namespace

void TestBrowserPane::clickGoesOnlyWhereItMay_data()
{
    QTest::addColumn<QString>("role");
    QTest::addColumn<QByteArray>("body");     // holds the element "go" to click
    QTest::addColumn<QByteArray>("redirect"); // where the server sends a click, if at all
    QTest::addColumn<QString>("follows");     // the title the pane ends on
    QTest::addColumn<QString>("mailed");      // what the mail program is given

    const QByteArray link = "<a id=\"go\" href=\"%1\" style=\"display:block;height:40px\">go</a>";
    auto to = [&](const char* href) { return QByteArray(link).replace("%1", href); };
    struct Vector
    {
        const char* name;
        QByteArray body;
        QByteArray redirect;
        const char* previewFollows;
        const char* categoryFollows;
        const char* previewMails;
    };
    const QList<Vector> vectors = {
        {"file link", to("OUTSIDE_URL/secret.html"), {}, "start", "start", ""},
        {"//localhost", to("//localhostOUTSIDE_PATH/secret.html"), {}, "start", "start", ""},
        {"//127.0.0.1", to("//127.0.0.1OUTSIDE_PATH/secret.html"), {}, "start", "start", ""},
        {"backslashes", to("\\\\localhostOUTSIDE_BACK\\secret.html"), {}, "start", "start", ""},
        {"slash backslash", to("/\\localhostOUTSIDE_PATH/secret.html"), {}, "start", "start", ""},
        {"root relative", to("OUTSIDE_PATH/secret.html"), {}, "start", "start", ""},
        {"climbing",
         to("../../../../../../../../..OUTSIDE_PATH/secret.html"),
         {},
         "start",
         "start",
         ""},
        {"folder listing", to("OUTSIDE_URL/"), {}, "start", "start", ""},
        {"form action",
         "<form action=\"OUTSIDE_URL/secret.html\"><button id=\"go\" "
         "style=\"width:200px;height:40px\">go</button></form>",
         {},
         "start",
         "start",
         ""},
        {"svg link",
         "<svg width=\"200\" height=\"40\"><a href=\"OUTSIDE_URL/secret.html\">"
         "<rect id=\"go\" width=\"200\" height=\"40\"/></a></svg>",
         {},
         "start",
         "start",
         ""},
        {"new window",
         "<a id=\"go\" target=\"_blank\" href=\"OUTSIDE_URL/secret.html\" "
         "style=\"display:block;height:40px\">go</a>",
         {},
         "start",
         "start",
         ""},
        {"qrc", to("qrc:/qtwebchannel/qwebchannel.js"), {}, "start", "start", ""},
        {"ssh", to("ssh://user@example.invalid/"), {}, "start", "start", ""},
        {"custom scheme", to("x-quillery-canary://run"), {}, "start", "start", ""},
        {"mail address",
         to("mailto:someone@example.invalid"),
         {},
         "start",
         "start",
         "mailto:someone@example.invalid"},
        {"page beside", to("other.html"), {}, "start", "other", ""},
        {"web page", to("REMOTE/page"), {}, "web", "start", ""},
        {"web page, new window",
         "<a id=\"go\" target=\"_blank\" href=\"REMOTE/page\" "
         "style=\"display:block;height:40px\">go</a>",
         {},
         "web",
         "start",
         ""},
        // The engine refuses this one itself, and shows its error page for
        // the address clicked.
        {"redirect to a file", to("REMOTE/page"), "OUTSIDE_URL/secret.html", "", "start", ""},
        {"redirect to qrc", to("REMOTE/page"), "qrc:/qtwebchannel/qwebchannel.js", "start", "start",
         ""},
        {"redirect to ssh", to("REMOTE/page"), "ssh://user@example.invalid/", "start", "start", ""},
        {"redirect to a custom scheme", to("REMOTE/page"), "x-quillery-canary://run", "start",
         "start", ""},
    };
    for (const char* role : {"preview", "category page"}) {
        const bool preview = role == QByteArrayView("preview");
        for (const Vector& v : vectors)
            QTest::addRow("%s, %s", role, v.name)
                << QString::fromLatin1(role) << v.body << v.redirect
                << QString::fromLatin1(preview ? v.previewFollows : v.categoryFollows)
                << QString::fromLatin1(preview ? v.previewMails : "");
    }
}

// A template's author chooses its links; a click on one may take the preview
// to the web or the mail program, the category pane to its own pages, and
// neither to the user's files, the program's resources or another program.
void TestBrowserPane::clickGoesOnlyWhereItMay()
{
    QFETCH(QString, role);
    QFETCH(QByteArray, body);
    QFETCH(QByteArray, redirect);
    QFETCH(QString, follows);
    QFETCH(QString, mailed);
    HostileSetting setting;
    LoopbackListener listener;
    const auto fill = [&](QByteArray text) {
        text.replace("OUTSIDE_BACK", QFile::encodeName(setting.outside).replace('/', '\\'));
        return text;
    };
    if (redirect.isEmpty())
        listener.setReply("<html><head><title>web</title></head></html>");
    else
        listener.setRedirect(
            redirect.replace("OUTSIDE_URL", QUrl::fromLocalFile(setting.outside).toEncoded()));
    // A link the test hears of when clicked after the one under test: in the
    // preview a mail address, in the category pane a template.
    const bool preview = role == u"preview";
    const QUrl sentinel(preview ? QStringLiteral("mailto:sentinel@example.invalid")
                                : QStringLiteral("#sentinel"));
    const QByteArray sentinelLink = "<a id=\"sentinel\" href=\"" + sentinel.toEncoded() +
                                    "\" style=\"display:block;height:40px\">sentinel</a>";
    QVERIFY(FileIo::writeAtomically(setting.own + "/page.html",
                                    setting.page(fill(body) + sentinelLink, listener.origin())));
    UrlRecorder desktop;
    for (const char* scheme : DesktopSchemes)
        QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), &desktop, "open");
    const auto unset = qScopeGuard([] {
        for (const char* scheme : DesktopSchemes)
            QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
    });
    CanaryWatch watch(setting.outside);
    QVERIFY(watch.isValid());

    QWebEngineProfile profile;
    BrowserPane pane(&profile, roleOf(role));
    bool sentinelAsked = false;
    connect(&pane, &BrowserPane::BeforeNavigate2, this, [&](const QUrl& url, bool* cancel) {
        if (url.fragment() == u"sentinel") {
            sentinelAsked = true;
            *cancel = true;
        }
    });
    QVERIFY(showOwnPage(pane, setting.own));
    const LoadWatch loads(pane.page());
    clickElement(&pane, "go");
    if (!follows.isEmpty() && follows != u"start") {
        QVERIFY(waitUntil([&] { return evaluate(&pane, "document.title").toString() == follows; }));
    } else if (follows.isEmpty()) {
        // The click is followed, and its load ends on the engine's own page.
        QVERIFY(waitUntil([&] { return loads.started() > 0; }));
        QVERIFY(settlePane(&pane, loads));
    } else {
        QVERIFY2(clickSentinel(
                     &pane, "sentinel",
                     [&] { return preview ? desktop.urls.endsWith(sentinel) : sentinelAsked; },
                     loads),
                 qPrintable(pane.url().toString()));
    }

    if (follows.isEmpty()) {
        QVERIFY(evaluate(&pane, "document.title").toString() != u"secret");
        QCOMPARE(pane.url().scheme(), QStringLiteral("http"));
    } else {
        QCOMPARE(evaluate(&pane, "document.title").toString(), follows);
    }
    QCOMPARE(watch.opened(), QStringList());
    QList<QUrl> asked = mailed.isEmpty() ? QList<QUrl>() : QList<QUrl>{QUrl(mailed)};
    if (preview && follows == u"start")
        asked << sentinel;
    QCOMPARE(desktop.urls, asked);
}

QTEST_MAIN(TestBrowserPane)
#include "moc_urlrecorder.cpp"
#include "tst_browserpane.moc"
