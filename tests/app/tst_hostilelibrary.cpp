#include "app/dialogtools.h"
#include "app/galleryfixture.h"
#include "app/hostilewatch.h"
#include "app/pagetools.h"
#include "app/urlrecorder.h"

#include "browserpane.h"
#include "form1.h"

#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QLabel>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTest>
#include <QTextDocument>
#include <QToolTip>

// A library built to attack the gallery: every way a template or a category
// page could read the user's files, reach the network, run a script, move a
// pane on its own or stall the engine. The real window opens it; files beside
// the library are watched with inotify and a listener waits on loopback.
class TestHostileLibrary : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void templates_data();
    void templates();
    void categoryPages_data();
    void categoryPages();
    void previewClicks_data();
    void previewClicks();
    void categoryPageClicks_data();
    void categoryPageClicks();
    void namesShownAsWritten_data();
    void namesShownAsWritten();

private:
    void addMessage(const QString& name, const QByteArray& message);
    void expectNothingReached(QWebEngineView* pane, const LoadWatch& loads, int refreshDelayMs);
    void showCategory(const QString& category);
    void clickIn(BrowserPane* pane, const QString& id, const QString& mailed);

    std::unique_ptr<GalleryFixture> m_fixture;
    QTemporaryDir m_outside;
    std::unique_ptr<LoopbackListener> m_listener;
    std::unique_ptr<CanaryWatch> m_watch;
    std::unique_ptr<Form1> m_form;
    QStringList m_templates;
    UrlRecorder m_desktop;
};

namespace {

const QByteArray Script = "<script>document.title='script ran';"
                          "new Image().src='REMOTE/script';</script>";

QByteArray nestedMessage(int levels)
{
    QByteArray head, tail;
    for (int i = 0; i < levels; ++i) {
        head += "Content-Type: multipart/mixed; boundary=\"b" + QByteArray::number(i) +
                "\"\r\n\r\n--b" + QByteArray::number(i) + "\r\n";
        tail.prepend("\r\n--b" + QByteArray::number(i) + "--\r\n");
    }
    return "MIME-Version: 1.0\r\nSubject: deep\r\n" + head +
           "Content-Type: text/html; charset=utf-8\r\n\r\n<p>deep inside</p>" + tail;
}

QByteArray manyPartsMessage(int parts)
{
    QByteArray message = "MIME-Version: 1.0\r\nSubject: many\r\n"
                         "Content-Type: multipart/related; boundary=\"m\"\r\n\r\n"
                         "--m\r\nContent-Type: text/html; charset=utf-8\r\n\r\n<p>many</p>";
    for (int i = 0; i < parts; ++i)
        message += "<img src=\"cid:p" + QByteArray::number(i) + "\" width=\"1\" height=\"1\">";
    for (int i = 0; i < parts; ++i) {
        message += "\r\n--m\r\nContent-Type: image/gif\r\nContent-ID: <p" + QByteArray::number(i) +
                   ">\r\nContent-Transfer-Encoding: base64\r\n\r\n"
                   "R0lGODlhAQABAIAAAP///wAAACH5BAEAAAAALAAAAAABAAEAAAICRAEAOw==";
    }
    return message + "\r\n--m--\r\n";
}

// Every scheme whose program a click could start through the desktop; only a
// template's mail address may reach it, for the mail program.
const char* const DesktopSchemes[] = {"mailto", "ssh",  "x-quillery-canary", "file", "qrc",
                                      "http",   "https"};

QByteArray anchor(const QByteArray& id, const QByteArray& href)
{
    return "<p><a id=\"" + id + "\" href=\"" + href +
           "\" style=\"display:inline-block;width:120px;height:30px\">" + id + "</a></p>";
}

// A name in markup that loads a file beside the library and links to a
// program, long enough that the preview's title cuts it and shows it whole in
// its tooltip.
QByteArray richName()
{
    return "<img src='OUTSIDE_PATH/canary.png'><a href='x-quillery-canary://run'>go</a>" +
           QByteArray(" and more").repeated(30);
}

} // namespace

void TestHostileLibrary::initTestCase()
{
    m_fixture = std::make_unique<GalleryFixture>();
    m_listener = std::make_unique<LoopbackListener>();
    for (const char* name : {"canary.png", "canary.html", "canary.css", "canary.dat", "page.html"})
        QVERIFY(FileIo::writeAtomically(m_outside.filePath(name), "canary"));

    const QList<QPair<QString, QByteArray>> bodies = {
        {"Refresh", "<meta http-equiv=\"refresh\" content=\"0;url=OUTSIDE/canary.html\">"},
        {"Later refresh", "<meta http-equiv=\"refresh\" content=\"1; url=REMOTE/\">"},
        {"File picture", "<img src=\"OUTSIDE/canary.png\">"},
        {"File frame", "<iframe src=\"OUTSIDE/canary.html\"></iframe>"},
        {"File object", "<object data=\"OUTSIDE/canary.html\"></object>"},
        {"File style", "<div style=\"height:9px;background:url(OUTSIDE/canary.png)\"></div>"
                       "<style>@import 'OUTSIDE/canary.css';</style>"},
        {"Climbing", "<img src=\"../../../../../../../../../../../../OUTSIDE_PATH/canary.png\">"},
        {"Root relative", "<img src=\"OUTSIDE_PATH/canary.png\">"},
        {"File base", "<base href=\"OUTSIDE/\"><img src=\"canary.png\">"},
        {"Remote", "<img src=\"REMOTE/a.png\"><iframe src=\"REMOTE/f\"></iframe>"
                   "<link rel=\"stylesheet\" href=\"REMOTE/s.css\">"},
        {"Scripts", Script + "<img src=\"x\" onerror=\"new Image().src='REMOTE/onerror'\">"
                             "<body onload=\"document.title='script ran'\">"},
        // What the preview's file: page makes of a link's host or backslashes
        // is a local file; a click must not open it, nor start a program.
        {"Clicks", anchor("localhost", "//localhostOUTSIDE_PATH/canary.html") +
                       anchor("loopback", "//127.0.0.1OUTSIDE_PATH/canary.html") +
                       anchor("backslashes", "\\\\localhostOUTSIDE_BACK\\canary.html") +
                       anchor("slashbackslash", "/\\localhostOUTSIDE_PATH/canary.html") +
                       anchor("file", "OUTSIDE/canary.html") + anchor("folder", "OUTSIDE/") +
                       anchor("qrc", "qrc:/qtwebchannel/qwebchannel.js") +
                       anchor("ssh", "ssh://user@example.invalid/") +
                       anchor("custom", "x-quillery-canary://run") +
                       anchor("mail", "mailto:someone@example.invalid") +
                       "<form action=\"//localhostOUTSIDE_PATH/canary.html\"><button id=\"form\" "
                       "style=\"width:120px;height:30px\">form</button></form>"
                       "<svg width=\"120\" height=\"30\"><a href=\"//localhostOUTSIDE_PATH/"
                       "canary.html\"><rect id=\"svg\" width=\"120\" height=\"30\"/></a></svg>"
                       "<p><a id=\"blank\" target=\"_blank\" href=\"//localhostOUTSIDE_PATH/"
                       "canary.html\" style=\"display:inline-block;width:120px;height:30px\">"
                       "blank</a></p>"},
    };
    for (const auto& [name, body] : bodies) {
        QByteArray extra = body;
        extra.replace("OUTSIDE_BACK", QFile::encodeName(m_outside.path()).replace('/', '\\'));
        extra.replace("OUTSIDE_PATH", QFile::encodeName(m_outside.path()));
        extra.replace("OUTSIDE", QUrl::fromLocalFile(m_outside.path()).toEncoded());
        extra.replace("REMOTE", m_listener->origin().toUtf8());
        addMessage(name, GalleryFixture::message(name, extra));
    }
    addMessage("Deep page",
               GalleryFixture::message("Deep page", QByteArray("<div>").repeated(200000)));
    addMessage("Deep message", nestedMessage(3000));
    addMessage("Many parts", manyPartsMessage(10000));
    const QByteArray whole = GalleryFixture::message("Cut off");
    addMessage("Cut off", whole.left(whole.indexOf("Content-ID:") + 40));
    QVERIFY(QFile::link(m_outside.filePath("canary.dat"),
                        m_fixture->appFolder() + "/templates/Linked.dat"));
    m_templates << "Linked";
    m_templates.removeOne("Clicks");
    m_fixture->addCategory("Hostile.html", m_templates);
    m_fixture->addCategory("Clicking.html", {"Clicks"});

    QByteArray page =
        "<html><head><meta http-equiv=\"refresh\" content=\"0;url=OUTSIDE/canary.html\">"
        "</head><body><a id=\"sentinel\" href=\"#Refresh\">x</a><img src=\"OUTSIDE/canary.png\">"
        "<img src=\"../../../../../../../../../OUTSIDE_PATH/canary.png\">"
        "<iframe src=\"OUTSIDE/canary.html\"></iframe><img src=\"REMOTE/thumb.png\">" +
        Script +
        // Links that are no template's: the pane stays on the category's
        // pages, and no program starts.
        anchor("file", "OUTSIDE/canary.html") + anchor("rooted", "OUTSIDE_PATH/canary.html") +
        anchor("climbing", "../../../../../../../../../OUTSIDE_PATH/canary.html") +
        anchor("folder", "OUTSIDE/") + anchor("localhost", "//localhostOUTSIDE_PATH/canary.html") +
        anchor("qrc", "qrc:/qtwebchannel/qwebchannel.js") +
        anchor("ssh", "ssh://user@example.invalid/") + anchor("custom", "x-quillery-canary://run") +
        anchor("mail", "mailto:someone@example.invalid") + anchor("web", "REMOTE/page") +
        "<p><a id=\"rich\" href=\"#" + richName() +
        "\" style=\"display:inline-block;width:120px;height:30px\">rich</a></p></body></html>";
    page.replace("OUTSIDE_PATH", QFile::encodeName(m_outside.path()));
    page.replace("OUTSIDE", QUrl::fromLocalFile(m_outside.path()).toEncoded());
    page.replace("REMOTE", m_listener->origin().toUtf8());
    m_fixture->addFile("categories/Stranger.html", page);
    QVERIFY(QFile::link(m_outside.filePath("page.html"),
                        m_fixture->appFolder() + "/categories/Elsewhere.html"));

    for (const char* scheme : DesktopSchemes)
        QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), &m_desktop, "open");
    m_watch = std::make_unique<CanaryWatch>(m_outside.path());
    QVERIFY(m_watch->isValid());
    m_form = std::make_unique<Form1>(m_fixture->appFolder());
    m_form->resize(1300, 800);
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
}

void TestHostileLibrary::cleanupTestCase()
{
    m_form.reset();
    m_fixture.reset();
    for (const char* scheme : DesktopSchemes)
        QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
}

void TestHostileLibrary::addMessage(const QString& name, const QByteArray& message)
{
    const auto packed = Module1::packTemplate(message);
    QVERIFY2(packed, qPrintable(name + ": " + packed.status().message()));
    m_fixture->addFile("templates/" + name + ".dat", *packed);
    m_templates << name;
}

// Checks what the page in `pane` reached once the pane has handled all of it;
// a refresh the page sets on the clock (`refreshDelayMs`) is given that time.
void TestHostileLibrary::expectNothingReached(QWebEngineView* pane, const LoadWatch& loads,
                                              int refreshDelayMs)
{
    if (refreshDelayMs > 0)
        runEngineFor(refreshDelayMs + 300);
    QVERIFY(settlePane(pane, loads));
    QCOMPARE(m_watch->opened(), QStringList());
    QCOMPARE(m_listener->connections(), 0);
    QVERIFY(evaluate(pane, "document.title").toString() != u"script ran");
}

void TestHostileLibrary::templates_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("shows");      // text the preview must show
    QTest::addColumn<int>("refreshDelayMs"); // of a refresh the page asks for later
    for (const char* name : {"Refresh", "File picture", "File frame", "File object", "File style",
                             "Climbing", "Root relative", "File base", "Remote", "Scripts"})
        QTest::newRow(name) << QString::fromLatin1(name) << QString::fromLatin1(name) << 0;
    QTest::newRow("Later refresh") << "Later refresh"
                                   << "Later refresh" << 1000;
    QTest::newRow("Deep page") << "Deep page"
                               << "shown only in part" << 0;
    QTest::newRow("Deep message") << "Deep message"
                                  << "shown only in part" << 0;
    QTest::newRow("Many parts") << "Many parts"
                                << "shown only in part" << 0;
    QTest::newRow("Cut off") << "Cut off"
                             << "shown only in part" << 0;
    QTest::newRow("Linked") << "Linked"
                            << "cannot be shown" << 0;
}

// Each template is clicked on its category page, as a user would; its
// preview loads in bounded time, shows its text or says what is wrong, and
// reads, fetches and runs nothing.
void TestHostileLibrary::templates()
{
    QFETCH(QString, name);
    QFETCH(QString, shows);
    QFETCH(int, refreshDelayMs);
    QComboBox* list = m_form->findChild<QComboBox*>("cboCategory");
    auto* categoryPane = m_form->findChild<BrowserPane*>("WebBrowser1");
    auto* preview = m_form->findChild<BrowserPane*>("WebBrowser2");
    if (list->currentText() != u"Hostile") {
        QSignalSpy shown(m_form.get(), &Form1::previewShown);
        QSignalSpy pageLoaded(categoryPane, &BrowserPane::DocumentComplete);
        list->setCurrentIndex(list->findText("Hostile"));
        emit list->activated(list->currentIndex());
        QVERIFY(pageLoaded.count() > 0 || pageLoaded.wait(20000));
        QVERIFY(shown.count() > 0 || shown.wait(60000));
    }
    QSignalSpy shown(m_form.get(), &Form1::previewShown);
    const LoadWatch loads(preview->page());
    QElapsedTimer clock;
    clock.start();
    const QString id = QString::fromUtf8(QUrl::toPercentEncoding(name));
    evaluate(categoryPane, "document.getElementById('" + id + "').scrollIntoView()");
    const QPoint link = centreOf(categoryPane, id);
    QVERIFY(link.x() >= 0);
    QTest::mouseClick(categoryPane->focusProxy(), Qt::LeftButton, {}, link);
    QVERIFY2(shown.wait(60000), qPrintable(name));
    QCOMPARE(shown.last().first().toString(), name);
    qInfo("%s: shown after %lld ms", qPrintable(name), clock.elapsed());
    const QString text =
        evaluate(preview, "document.body ? document.body.innerText : ''").toString();
    QVERIFY2(text.contains(shows), qPrintable(text.left(300)));
    expectNothingReached(preview, loads, refreshDelayMs);
}

void TestHostileLibrary::categoryPages_data()
{
    QTest::addColumn<QString>("category");
    QTest::addColumn<QString>("shows");
    QTest::newRow("hostile page") << "Stranger"
                                  << "x";
    QTest::newRow("page leading out") << "Elsewhere"
                                      << "cannot be shown";
}

void TestHostileLibrary::categoryPages()
{
    QFETCH(QString, category);
    QFETCH(QString, shows);
    QComboBox* list = m_form->findChild<QComboBox*>("cboCategory");
    auto* categoryPane = m_form->findChild<BrowserPane*>("WebBrowser1");
    QSignalSpy loaded(categoryPane, &BrowserPane::DownloadComplete);
    const LoadWatch loads(categoryPane->page());
    const int index = list->findText(category);
    QVERIFY(index >= 0);
    list->setCurrentIndex(index);
    emit list->activated(index);
    QVERIFY(loaded.count() > 0 || loaded.wait(20000));
    const QString text =
        evaluate(categoryPane, "document.body ? document.body.innerText : ''").toString();
    QVERIFY2(text.contains(shows), qPrintable(text.left(300)));
    expectNothingReached(categoryPane, loads, 0);
}

void TestHostileLibrary::showCategory(const QString& category)
{
    QComboBox* list = m_form->findChild<QComboBox*>("cboCategory");
    if (list->currentText() == category)
        return;
    auto* categoryPane = m_form->findChild<BrowserPane*>("WebBrowser1");
    QSignalSpy shown(m_form.get(), &Form1::previewShown);
    QSignalSpy pageLoaded(categoryPane, &BrowserPane::DownloadComplete);
    const int index = list->findText(category);
    QVERIFY(index >= 0);
    list->setCurrentIndex(index);
    emit list->activated(index);
    QVERIFY(pageLoaded.count() > 0 || pageLoaded.wait(20000));
    // A category whose first link names no template has no preview to wait for.
    if (category != u"Stranger")
        QVERIFY(shown.count() > 0 || shown.wait(60000));
}

// Clicks the element `id` in `pane` and checks that the pane stayed on its
// page, that nothing beside the library was opened and that the desktop was
// asked for nothing but the mail program, with `mailed`. A click on a link the
// window hears of comes after it: the preview's mail link, the category page's
// template link.
void TestHostileLibrary::clickIn(BrowserPane* pane, const QString& id, const QString& mailed)
{
    const bool preview = pane->objectName() == u"WebBrowser2";
    const QUrl sentinelMail(QStringLiteral("mailto:someone@example.invalid"));
    bool sentinelAsked = false;
    QObject hearing;
    connect(pane, &BrowserPane::BeforeNavigate2, &hearing,
            [&](const QUrl& url, bool*) { sentinelAsked |= url.fragment() == u"Refresh"; });
    // The mail link under test is the sentinel's address too.
    const qsizetype mails = QUrl(mailed) == sentinelMail ? 2 : 1;
    const auto sentinelSeen = [&] {
        return preview ? m_desktop.urls.count(sentinelMail) == mails : sentinelAsked;
    };
    m_desktop.urls.clear();
    m_watch->opened();
    // The preview may still be putting its page on screen.
    QVERIFY(waitUntil(
        [&] { return evaluate(pane, "!!document.getElementById('" + id + "')").toBool(); }));
    const QUrl before = pane->url();
    evaluate(pane, "document.getElementById('" + id + "').scrollIntoView()");
    const QPoint point = centreOf(pane, id);
    QVERIFY2(point.x() >= 0,
             qPrintable(id + ": " + pane->url().toString() + " " +
                        evaluate(pane, "document.documentElement.outerHTML").toString().left(600)));
    const LoadWatch loads(pane->page());
    QTest::mouseClick(pane->focusProxy(), Qt::LeftButton, {}, point);
    const bool settled = clickSentinel(
        pane, preview ? QStringLiteral("mail") : QStringLiteral("sentinel"), sentinelSeen, loads);
    QCOMPARE(pane->url(), before);
    QCOMPARE(m_watch->opened(), QStringList());
    QList<QUrl> desktop = mailed.isEmpty() ? QList<QUrl>() : QList<QUrl>{QUrl(mailed)};
    if (preview)
        desktop << sentinelMail;
    QCOMPARE(m_desktop.urls, desktop);
    QVERIFY2(settled, "the click after it was never heard of");
}

void TestHostileLibrary::previewClicks_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("mailed");
    for (const char* id : {"localhost", "loopback", "backslashes", "slashbackslash", "file",
                           "folder", "qrc", "ssh", "custom", "form", "svg", "blank"})
        QTest::newRow(id) << QString::fromLatin1(id) << QString();
    QTest::newRow("mail") << "mail"
                          << "mailto:someone@example.invalid";
}

// The links of a previewed template, clicked as a user would.
void TestHostileLibrary::previewClicks()
{
    QFETCH(QString, id);
    QFETCH(QString, mailed);
    showCategory("Clicking");
    clickIn(m_form->findChild<BrowserPane*>("WebBrowser2"), id, mailed);
}

void TestHostileLibrary::categoryPageClicks_data()
{
    QTest::addColumn<QString>("id");
    for (const char* id : {"file", "rooted", "climbing", "folder", "localhost", "qrc", "ssh",
                           "custom", "mail", "web"})
        QTest::newRow(id) << QString::fromLatin1(id);
}

void TestHostileLibrary::categoryPageClicks()
{
    QFETCH(QString, id);
    showCategory("Stranger");
    clickIn(m_form->findChild<BrowserPane*>("WebBrowser1"), id, QString());
    QCOMPARE(m_listener->connections(), 0);
}

namespace {

// What a label shows of its text: rich text is drawn, not spelled out.
QString shownText(const QString& text, Qt::TextFormat format)
{
    if (format == Qt::PlainText || (format == Qt::AutoText && !Qt::mightBeRichText(text)))
        return text;
    QTextDocument document;
    document.setHtml(text);
    return document.toPlainText();
}

} // namespace

void TestHostileLibrary::namesShownAsWritten_data()
{
    QTest::addColumn<QString>("where");
    QTest::newRow("preview title's tooltip") << "tooltip";
    QTest::newRow("rename box") << "rename";
    QTest::newRow("remove box") << "remove";
}

// A template's name comes from a stranger's category page: the window's own
// widgets show it as written, and never load what markup in it names.
void TestHostileLibrary::namesShownAsWritten()
{
    QFETCH(QString, where);
    showCategory("Stranger");
    auto* categoryPane = m_form->findChild<BrowserPane*>("WebBrowser1");
    QString name = QString::fromUtf8(richName());
    name.replace("OUTSIDE_PATH", m_outside.path());
    if (m_form->currentTemplate() != name) {
        auto* preview = m_form->findChild<BrowserPane*>("WebBrowser2");
        const LoadWatch loads(preview->page());
        clickElement(categoryPane, "rich");
        QVERIFY(waitUntil([&] { return m_form->currentTemplate() == name; }));
        QVERIFY(settlePane(preview, loads));
    }
    m_watch->opened();
    m_desktop.urls.clear();

    QString shown;
    if (where == u"tooltip") {
        auto* title = m_form->findChild<QLabel*>("lblTitle1");
        QToolTip::showText(title->mapToGlobal(QPoint(2, 2)), title->toolTip(), title);
        QVERIFY(waitUntil([] { return QToolTip::isVisible(); }));
        // Drawn now, with whatever its text would load.
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (widget->inherits("QTipLabel"))
                widget->grab();
        }
        shown = shownText(QToolTip::text(), Qt::AutoText);
        QToolTip::hideText();
    } else {
        whenShown<QMessageBox>(this, [&](QMessageBox* box) {
            box->grab(); // drawn now, with whatever its labels would load
            for (QLabel* label : box->findChildren<QLabel*>())
                shown += shownText(label->text(), label->textFormat());
            box->reject();
        });
        if (where == u"rename")
            m_form->RenameTemplate();
        else
            m_form->RemoveTemplate();
    }
    QVERIFY2(shown.contains(name), qPrintable(shown));
    QCOMPARE(m_watch->opened(), QStringList());
    QCOMPARE(m_desktop.urls, QList<QUrl>());
}

QTEST_MAIN(TestHostileLibrary)
#include "moc_urlrecorder.cpp"
#include "tst_hostilelibrary.moc"
