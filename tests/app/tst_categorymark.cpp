#include "app/galleryfixture.h"
#include "app/pagetools.h"
#include "app/windowcontrols.h"

#include "browserpane.h"
#include "form1.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {

const QString MarkedIds =
    QStringLiteral("Array.from(document.querySelectorAll('[data-quillery-previewed]'))"
                   ".map(function (a) { return a.id + (a.getAttribute('aria-current') === "
                   "'true' ? '' : ' without aria-current'); }).join('|')");

// The ids of the links that carry the mark, once they are `expected` (the
// mark is set from the engine's side, after the page has loaded).
QString waitForMarked(QWebEngineView* pane, const QString& expected)
{
    QElapsedTimer timer;
    timer.start();
    QString marked;
    do {
        marked = evaluate(pane, MarkedIds).toString();
    } while (marked != expected && !timer.hasExpired(20000));
    return marked;
}

QString styleOf(QWebEngineView* pane, const QString& id, const QString& property,
                const QString& pseudo = QString())
{
    return evaluate(pane, QStringLiteral("getComputedStyle(document.getElementById('%1'), "
                                         "'%2').getPropertyValue('%3')")
                              .arg(id, pseudo, property))
        .toString();
}

bool waitForPreview(QSignalSpy& spy, const QString& name)
{
    for (;;) {
        while (!spy.isEmpty()) {
            if (spy.takeFirst().first().toString() == name)
                return true;
        }
        if (!spy.wait(20000))
            return false;
    }
}

const QString Orange = QStringLiteral("rgb(255, 128, 0)");

} // namespace

class TestCategoryMark : public QObject
{
    Q_OBJECT

private slots:
    void markFollowsThePreview();
    void namesAreData_data();
    void namesAreData();
};

// The mark moves with every way a template gets previewed, one link at a
// time, and looks different from the page's own focus outline.
void TestCategoryMark::markFollowsThePreview()
{
    GalleryFixture fixture;
    QByteArray page = "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><style>"
                      "a{display:inline-block;width:120px;height:60px;margin:12px}"
                      "a:focus{outline:3px solid rgb(51, 68, 204)}</style></head><body>";
    for (const char* name : {"Offer", "Promo", "Summer Sale"})
        page += QByteArray("<a id=\"") + name + "\" href=\"#" + name + "\">" + name + "</a>";
    // A second link to the same template is marked too.
    page += "<a id=\"Offer again\" href=\"#Offer\">Offer</a></body></html>";
    fixture.addFile("categories/0Retail.html", page);
    fixture.addCategory("Travel.html", {"Trip"});
    for (const char* name : {"Offer", "Promo", "Summer Sale", "Trip"})
        fixture.addTemplate(name);

    Form1 form(fixture.appFolder());
    QSignalSpy shown(&form, &Form1::previewShown);
    auto* pane = control<BrowserPane>(form, "WebBrowser1");
    form.show();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QVERIFY(waitForPreview(shown, "Offer"));
    QCOMPARE(waitForMarked(pane, "Offer|Offer again"), QStringLiteral("Offer|Offer again"));
    QVERIFY2(styleOf(pane, "Offer", "box-shadow").contains(Orange),
             qPrintable(styleOf(pane, "Offer", "box-shadow")));
    QVERIFY2(styleOf(pane, "Offer", "content", "::after").contains("Previewed"),
             qPrintable(styleOf(pane, "Offer", "content", "::after")));
    QCOMPARE(styleOf(pane, "Promo", "content", "::after"), QStringLiteral("none"));

    clickElement(pane, "Promo");
    QVERIFY(waitForPreview(shown, "Promo"));
    QCOMPARE(waitForMarked(pane, "Promo"), QStringLiteral("Promo"));

    // The keyboard's focus on the marked link keeps the page's own outline.
    evaluate(pane, "document.getElementById('Promo').focus()");
    QCOMPARE(styleOf(pane, "Promo", "outline-color"), QStringLiteral("rgb(51, 68, 204)"));
    QVERIFY(styleOf(pane, "Promo", "box-shadow").contains(Orange));

    // The next template's key, from the category page.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down, Qt::ControlModifier);
    QCOMPARE(waitForMarked(pane, "Summer Sale"), QStringLiteral("Summer Sale"));

    // A new category's page is marked once it has loaded, at its first template.
    QTest::keyClick(control<QComboBox>(form, "cboCategory"), Qt::Key_Down);
    QVERIFY(waitForPreview(shown, "Trip"));
    QCOMPARE(waitForMarked(pane, "Trip"), QStringLiteral("Trip"));
    QVERIFY(pane->url().path().endsWith("/categories/Travel.html"));

    // Nothing to preview, nothing marked.
    form.SelectTemplate(QString());
    QCOMPARE(waitForMarked(pane, QString()), QString());
}

void TestCategoryMark::namesAreData_data()
{
    QTest::addColumn<QString>("name");
    // The fragment as the page's author wrote it, before HTML escaping.
    QTest::addColumn<QString>("fragment");
    QTest::newRow("plain") << "Promo"
                           << "Promo";
    QTest::newRow("blank, written raw") << "Summer Sale"
                                        << "Summer Sale";
    QTest::newRow("accents, written raw") << "Été à Paris"
                                          << "Été à Paris";
    QTest::newRow("accents, percent-encoded") << "Été à Paris"
                                              << "%C3%89t%C3%A9%20%C3%A0%20Paris";
    QTest::newRow("double quotes") << "Say \"Hi\""
                                   << "Say \"Hi\"";
    QTest::newRow("single quote") << "It's on"
                                  << "It's on";
    QTest::newRow("backslashes") << "back\\slash\\\\"
                                 << "back\\slash\\\\";
    QTest::newRow("closing script") << "</script><script>document.title='pwned'</script>"
                                    << "</script><script>document.title='pwned'</script>";
    QTest::newRow("breaking out of a string") << "\"]);document.title='pwned';//"
                                              << "\"]);document.title='pwned';//";
    QTest::newRow("breaking out of a call") << "'));document.title=('pwned"
                                            << "'));document.title=('pwned";
    // One "%" that starts no escape and the window reads every "%" as itself.
    QTest::newRow("percent that starts no escape") << "50%%20off"
                                                   << "50% off";
    QTest::newRow("not UTF-8") << "caf\uFFFD A"
                               << "caf%E9 %41";
    QTest::newRow("escaped percent") << "%41"
                                     << "%2541";
    QTest::newRow("second hash") << "Spring #2"
                                 << "Spring #2";
}

// A name reaches the page as data: whatever it holds, exactly its own link is
// marked, and the name the window reads from a click is the one marked.
void TestCategoryMark::namesAreData()
{
    QFETCH(QString, name);
    QFETCH(QString, fragment);

    GalleryFixture fixture;
    // The page forbids every style sheet of its own: the mark's still applies.
    const QString page =
        QStringLiteral("<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>Shop</title>"
                       "<meta http-equiv=\"Content-Security-Policy\" content=\"style-src 'none'\">"
                       "</head><body><p><a id=\"first\" href=\"#Offer\">Offer</a></p>"
                       "<p><a id=\"row\" href=\"#%1\">the row</a></p>"
                       "<p><a id=\"longer\" href=\"#%1x\">longer</a></p></body></html>")
            .arg(fragment.toHtmlEscaped());
    fixture.addFile("categories/Shop.html", page.toUtf8());
    fixture.addTemplate("Offer");

    Form1 form(fixture.appFolder());
    QSignalSpy shown(&form, &Form1::previewShown);
    auto* pane = control<BrowserPane>(form, "WebBrowser1");
    form.show();
    QVERIFY(waitForPreview(shown, "Offer"));
    QCOMPARE(waitForMarked(pane, "first"), QStringLiteral("first"));

    // The window reads the name from the link as the click reports it.
    clickElement(pane, "row");
    QElapsedTimer timer;
    timer.start();
    while (form.currentTemplate() != name && !timer.hasExpired(20000))
        evaluate(pane, "1");
    QCOMPARE(form.currentTemplate(), name);
    QCOMPARE(waitForMarked(pane, "row"), QStringLiteral("row"));

    // Set from the window's side, as the template keys do.
    form.SelectTemplate("Offer");
    QCOMPARE(waitForMarked(pane, "first"), QStringLiteral("first"));
    form.SelectTemplate(name);
    QCOMPARE(waitForMarked(pane, "row"), QStringLiteral("row"));
    QVERIFY(styleOf(pane, "row", "box-shadow").contains(Orange));

    QCOMPARE(evaluate(pane, "document.title").toString(), QStringLiteral("Shop"));
    QCOMPARE(evaluate(pane, "document.getElementsByTagName('script').length").toInt(), 0);
}

QTEST_MAIN(TestCategoryMark)
#include "tst_categorymark.moc"
