#include "app/pagetools.h"

#include "browserpane.h"
#include "fileio.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEngineProfile>

namespace {

const QByteArray Page = "<!DOCTYPE html><html><head><title>start</title></head><body>"
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
    QCOMPARE(asked.first().adjusted(QUrl::RemoveFragment), QUrl::fromLocalFile(m_folder.path() + "/page.html"));
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

QTEST_MAIN(TestBrowserPane)
#include "tst_browserpane.moc"
