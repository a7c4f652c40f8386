#include "app/galleryfixture.h"
#include "app/pagetools.h"
#include "app/waits.h"
#include "app/windowcontrols.h"

#include "browserpane.h"
#include "form1.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>

namespace {

// Waits for the preview of `name`; earlier previews still arriving are skipped.

// Waits for the category pane to complete the page whose path ends so.
bool waitForPage(QSignalSpy& spy, const QString& pathEnd)
{
    for (;;) {
        while (!spy.isEmpty()) {
            if (spy.takeFirst().first().toUrl().path().endsWith(pathEnd))
                return true;
        }
        if (!spy.wait(20000))
            return false;
    }
}

// The page's focus moves as the engine handles the keys, after they were sent.
bool waitForActiveElement(QWebEngineView* view, const QString& id)
{
    QElapsedTimer timer;
    timer.start();
    while (!timer.hasExpired(20000)) {
        if (evaluate(view, "document.activeElement ? document.activeElement.id : ''").toString() ==
            id)
            return true;
    }
    return false;
}

} // namespace

class TestCategoryPage : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void thumbnailClicks();
    void keyboardActivation();
    void choosingACategory();
    void nameIsPercentDecoded();
    void hashInTheApplicationFolder();
    void pageThatIsMissing();

private:
    void startOn(const QString& appFolderName = QStringLiteral("app"));

    GalleryFixture* m_fixture = nullptr;
    Form1* m_form = nullptr;
    QSignalSpy* m_shown = nullptr;
};

void TestCategoryPage::init()
{
    m_fixture = nullptr;
    m_form = nullptr;
    m_shown = nullptr;
}

void TestCategoryPage::cleanup()
{
    delete m_shown;
    delete m_form;
    delete m_fixture;
}

void TestCategoryPage::startOn(const QString& appFolderName)
{
    m_fixture = new GalleryFixture(appFolderName);
    m_fixture->addCategory("0Retail.html", {"Offer", "Promo", "Summer Sale"});
    m_fixture->addCategory("Travel.html", {"Trip"});
    for (const char* name : {"Offer", "Promo", "Summer Sale", "Trip"})
        m_fixture->addTemplate(name);
}

void TestCategoryPage::thumbnailClicks()
{
    startOn();
    m_form = new Form1(m_fixture->appFolder());
    m_shown = new QSignalSpy(m_form, &Form1::previewShown);
    QSignalSpy pageLoaded(control<BrowserPane>(m_form, "WebBrowser1"),
                          &BrowserPane::DocumentComplete);
    m_form->show();
    QVERIFY(waitForPreview(*m_shown, "Offer"));
    QVERIFY(pageLoaded.count() > 0 || pageLoaded.wait(20000));
    const QUrl categoryPage = control<BrowserPane>(m_form, "WebBrowser1")->url();
    QVERIFY(categoryPage.path().endsWith("/categories/0Retail.html"));

    clickElement(control<BrowserPane>(m_form, "WebBrowser1"), "Promo");
    QVERIFY(waitForPreview(*m_shown, "Promo"));
    QCOMPARE(m_form->currentTemplate(), QStringLiteral("Promo"));
    QCOMPARE(control<QLabel>(m_form, "lblTitle1")->text(), QStringLiteral(" Preview: Promo"));
    QCOMPARE(evaluate(control<BrowserPane>(m_form, "WebBrowser2"), "document.title").toString(),
             QStringLiteral("Promo"));
    // The category page stays where it was.
    QCOMPARE(control<BrowserPane>(m_form, "WebBrowser1")->url(), categoryPage);

    // The same link again previews again.
    clickElement(control<BrowserPane>(m_form, "WebBrowser1"), "Promo");
    QVERIFY(waitForPreview(*m_shown, "Promo"));
    QCOMPARE(control<BrowserPane>(m_form, "WebBrowser1")->url(), categoryPage);
}

void TestCategoryPage::keyboardActivation()
{
    startOn();
    m_form = new Form1(m_fixture->appFolder());
    m_shown = new QSignalSpy(m_form, &Form1::previewShown);
    QSignalSpy pageLoaded(control<BrowserPane>(m_form, "WebBrowser1"),
                          &BrowserPane::DocumentComplete);
    m_form->show();
    m_form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_form));
    QVERIFY(waitForPreview(*m_shown, "Offer"));
    QVERIFY(waitForPage(pageLoaded, "/categories/0Retail.html"));
    control<BrowserPane>(m_form, "WebBrowser1")->setFocus();
    QWidget* page = control<BrowserPane>(m_form, "WebBrowser1")->focusProxy();
    evaluate(control<BrowserPane>(m_form, "WebBrowser1"),
             "document.getElementById('Offer').focus()");
    QVERIFY(waitForActiveElement(control<BrowserPane>(m_form, "WebBrowser1"), "Offer"));
    QTest::keyClick(page, Qt::Key_Tab);
    QVERIFY(waitForActiveElement(control<BrowserPane>(m_form, "WebBrowser1"), "Promo"));
    QTest::keyClick(page, Qt::Key_Return);
    QVERIFY(waitForPreview(*m_shown, "Promo"));
}

void TestCategoryPage::choosingACategory()
{
    startOn();
    m_form = new Form1(m_fixture->appFolder());
    m_shown = new QSignalSpy(m_form, &Form1::previewShown);
    QSignalSpy pageLoaded(control<BrowserPane>(m_form, "WebBrowser1"),
                          &BrowserPane::DocumentComplete);
    m_form->show();
    QVERIFY(waitForPreview(*m_shown, "Offer"));
    QVERIFY(waitForPage(pageLoaded, "/categories/0Retail.html"));

    // The arrow key on the closed list chooses the next category.
    QTest::keyClick(control<QComboBox>(m_form, "cboCategory"), Qt::Key_Down);
    QCOMPARE(control<QComboBox>(m_form, "cboCategory")->currentIndex(), 1);
    // The page starts loading and the first template is decoded at once.
    QCOMPARE(m_form->currentTemplate(), QStringLiteral("Trip"));
    QVERIFY(waitForPreview(*m_shown, "Trip"));
    QVERIFY(waitForPage(pageLoaded, "/categories/Travel.html"));
    QCOMPARE(evaluate(control<BrowserPane>(m_form, "WebBrowser1"),
                      "document.getElementById('Trip') !== null")
                 .toBool(),
             true);
}

void TestCategoryPage::nameIsPercentDecoded()
{
    startOn();
    m_form = new Form1(m_fixture->appFolder());
    m_shown = new QSignalSpy(m_form, &Form1::previewShown);
    QSignalSpy pageLoaded(control<BrowserPane>(m_form, "WebBrowser1"),
                          &BrowserPane::DocumentComplete);
    m_form->show();
    QVERIFY(waitForPreview(*m_shown, "Offer"));
    // The preview may be on screen before the category page is.
    QVERIFY(waitForPage(pageLoaded, "/categories/0Retail.html"));
    // The browser writes the blank as %20 in the link's address.
    clickElement(control<BrowserPane>(m_form, "WebBrowser1"), "Summer%20Sale");
    QVERIFY(waitForPreview(*m_shown, "Summer Sale"));
    QCOMPARE(evaluate(control<BrowserPane>(m_form, "WebBrowser2"), "document.title").toString(),
             QStringLiteral("Summer Sale"));
}

void TestCategoryPage::hashInTheApplicationFolder()
{
    // A "#" in a folder name is part of the path, not a template link.
    startOn(QStringLiteral("gallery #2"));
    m_form = new Form1(m_fixture->appFolder());
    m_shown = new QSignalSpy(m_form, &Form1::previewShown);
    QSignalSpy pageLoaded(control<BrowserPane>(m_form, "WebBrowser1"),
                          &BrowserPane::DocumentComplete);
    m_form->show();
    QVERIFY(waitForPreview(*m_shown, "Offer"));
    QVERIFY(pageLoaded.count() > 0 || pageLoaded.wait(20000));
    QVERIFY(control<BrowserPane>(m_form, "WebBrowser1")
                ->url()
                .toLocalFile()
                .endsWith("gallery #2/categories/0Retail.html"));
    clickElement(control<BrowserPane>(m_form, "WebBrowser1"), "Promo");
    QVERIFY(waitForPreview(*m_shown, "Promo"));
}

void TestCategoryPage::pageThatIsMissing()
{
    // Top10.html is listed as Top, whose page would be 1Top.html.
    m_fixture = new GalleryFixture;
    m_fixture->addCategory("Top10.html", {"Offer"});
    m_fixture->addTemplate("Offer");
    m_form = new Form1(m_fixture->appFolder());
    m_shown = new QSignalSpy(m_form, &Form1::previewShown);
    QCOMPARE(control<QComboBox>(m_form, "cboCategory")->itemText(0), QStringLiteral("Top"));
    m_form->show();
    QVERIFY(waitForPreview(*m_shown, QString()));
    QCOMPARE(control<QLabel>(m_form, "lblTitle1")->text(), QStringLiteral(" Preview: "));
    // Both panes say which page is missing, rather than a blank page and a
    // preview that only knows that no template is named.
    for (BrowserPane* pane : {control<BrowserPane>(m_form, "WebBrowser1"),
                              control<BrowserPane>(m_form, "WebBrowser2")}) {
        // The category pane's notice may still be loading when the preview is shown.
        QString text;
        waitUntil([&] {
            text = evaluate(pane, "document.body ? document.body.innerText : ''").toString();
            return text.contains("1Top.html");
        });
        QVERIFY2(text.contains("1Top.html") && text.contains("missing"), qPrintable(text));
    }
}

QTEST_MAIN(TestCategoryPage)
#include "tst_categorypage.moc"
