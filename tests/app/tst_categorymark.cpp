#include "app/galleryfixture.h"
#include "app/pagetools.h"
#include "app/waits.h"
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

const QString Orange = QStringLiteral("rgb(255, 128, 0)");

} // namespace

class TestCategoryMark : public QObject
{
    Q_OBJECT

private slots:
    void markFollowsThePreview();
    void namesAreData_data();
    void namesAreData();
    void arrowsMoveThroughTheGrid_data();
    void arrowsMoveThroughTheGrid();
    void steppedTemplateIsScrolledIntoView();
    void thumbnailLinksAreNamedOnce();
    void descriptionStaysOutOfSight();
};

namespace {

// Opens the window on one category page and waits until it and the first
// preview are there.
void openOn(GalleryFixture& fixture, const QByteArray& page, const QStringList& templates,
            std::unique_ptr<Form1>& form)
{
    fixture.addFile("categories/0Retail.html", page);
    for (const QString& name : templates)
        fixture.addTemplate(name);
    form = std::make_unique<Form1>(fixture.appFolder());
    QSignalSpy shown(form.get(), &Form1::previewShown);
    form->show();
    form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    QVERIFY(waitForPreview(shown, templates.first()));
    auto* pane = control<BrowserPane>(*form, "WebBrowser1");
    QCOMPARE(waitForMarked(pane, templates.first()), templates.first());
}

const QString ActiveId = QStringLiteral("document.activeElement ? document.activeElement.id : ''");

} // namespace

void TestCategoryMark::arrowsMoveThroughTheGrid_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<QString>("to");
    // Three thumbnails a row: T1 T2 T3 / T4 T5 T6 / T7.
    QTest::newRow("right") << "T1" << QList<int>{Qt::Key_Right} << "T2";
    QTest::newRow("right goes on to the next row") << "T3" << QList<int>{Qt::Key_Right} << "T4";
    QTest::newRow("left stops at the first") << "T1" << QList<int>{Qt::Key_Left} << "T1";
    QTest::newRow("down keeps the column") << "T2" << QList<int>{Qt::Key_Down} << "T5";
    QTest::newRow("up keeps the column") << "T5" << QList<int>{Qt::Key_Up} << "T2";
    QTest::newRow("up stops at the top") << "T2" << QList<int>{Qt::Key_Up} << "T2";
    QTest::newRow("down into a shorter row") << "T6" << QList<int>{Qt::Key_Down} << "T7";
    QTest::newRow("down stops at the bottom") << "T7" << QList<int>{Qt::Key_Down} << "T7";
    QTest::newRow("end") << "T2" << QList<int>{Qt::Key_End} << "T7";
    QTest::newRow("home") << "T6" << QList<int>{Qt::Key_Home} << "T1";
    QTest::newRow("two steps") << "T1" << QList<int>{Qt::Key_Down, Qt::Key_Right} << "T5";
}

// The page's scripts are off, so the window's own script moves the focus
// between thumbnails; the preview stays until Return.
void TestCategoryMark::arrowsMoveThroughTheGrid()
{
    QFETCH(QString, from);
    QFETCH(QList<int>, keys);
    QFETCH(QString, to);
    GalleryFixture fixture;
    QByteArray page = "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><style>"
                      "ul{list-style:none;margin:0;padding:8px;display:grid;"
                      "grid-template-columns:repeat(3,100px);gap:12px}"
                      "a{display:block;height:80px}</style></head><body><ul>";
    QStringList names;
    for (int i = 1; i <= 7; ++i) {
        const QByteArray name = "T" + QByteArray::number(i);
        names << QString::fromLatin1(name);
        page += "<li><a id=\"" + name + "\" href=\"#" + name + "\">" + name + "</a></li>";
    }
    page += "</ul></body></html>";
    std::unique_ptr<Form1> form;
    openOn(fixture, page, names, form);
    if (QTest::currentTestFailed())
        return;
    auto* pane = control<BrowserPane>(*form, "WebBrowser1");
    pane->setFocus();
    QVERIFY(waitUntil([pane] { return QApplication::focusWidget() == pane->focusProxy(); }));
    evaluate(pane, QStringLiteral("document.getElementById('%1').focus()").arg(from));
    QCOMPARE(evaluate(pane, ActiveId).toString(), from);
    // Each key is waited for until the page has seen it, not for a time: a
    // key that must not move the focus shows nothing else to wait for. The
    // window's handler runs in the same dispatch, so the focus has moved by
    // the round trip after the count.
    const auto keysSeen = [pane] {
        return evaluate(pane, QStringLiteral("if (window.quilleryKeys === undefined) {"
                                             "  window.quilleryKeys = 0;"
                                             "  addEventListener('keydown', function () {"
                                             "    ++window.quilleryKeys; }, true);"
                                             "} window.quilleryKeys"))
            .toInt();
    };
    for (int key : keys) {
        const int before = keysSeen();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
        QVERIFY(waitUntil([&] { return keysSeen() > before; }));
    }
    QCOMPARE(evaluate(pane, ActiveId).toString(), to);
    // The keys scrolled nothing of their own and previewed nothing.
    QCOMPARE(evaluate(pane, "window.scrollY").toInt(), 0);
    QCOMPARE(form->currentTemplate(), QStringLiteral("T1"));
}

// Ctrl+Down may preview a template whose thumbnail is out of sight: the
// page scrolls so that its ring shows.
void TestCategoryMark::steppedTemplateIsScrolledIntoView()
{
    GalleryFixture fixture;
    const QByteArray page =
        "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><style>"
        "a{display:block;width:120px;height:60px;margin:12px}</style></head><body>"
        "<a id=\"Offer\" href=\"#Offer\">Offer</a><div style=\"height:3000px\"></div>"
        "<a id=\"Promo\" href=\"#Promo\">Promo</a><div style=\"height:3000px\"></div>"
        "</body></html>";
    std::unique_ptr<Form1> form;
    openOn(fixture, page, {"Offer", "Promo"}, form);
    if (QTest::currentTestFailed())
        return;
    auto* pane = control<BrowserPane>(*form, "WebBrowser1");
    QCOMPARE(evaluate(pane, "window.scrollY").toInt(), 0);
    const QString promoInView =
        QStringLiteral("(function(){var r=document.getElementById('Promo').getBoundingClientRect();"
                       "return r.top >= 0 && r.bottom <= window.innerHeight;})()");
    QCOMPARE(evaluate(pane, promoInView).toBool(), false);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down, Qt::ControlModifier);
    QCOMPARE(waitForMarked(pane, "Promo"), QStringLiteral("Promo"));
    QVERIFY(waitUntil([&] { return evaluate(pane, promoInView).toBool(); }));
    // Back up: the first one comes into view again.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up, Qt::ControlModifier);
    QCOMPARE(waitForMarked(pane, "Offer"), QStringLiteral("Offer"));
    QVERIFY(waitUntil([&] { return evaluate(pane, "window.scrollY").toInt() == 0; }));
}

// A thumbnail link shows a picture with an alternative text and the name:
// screen readers are to hear it once, by the name it shows.
void TestCategoryMark::thumbnailLinksAreNamedOnce()
{
    GalleryFixture fixture;
    const QByteArray page =
        "<!DOCTYPE html><html><head><meta charset=\"utf-8\"></head><body><ul>"
        "<li><a id=\"Offer\" href=\"#Offer\"><img alt=\"Preview of the template Offer\" "
        "width=\"30\" height=\"30\"><span>Offer</span></a></li>"
        "<li><a id=\"Promo\" href=\"#Promo\" aria-label=\"The page's own\">"
        "<img alt=\"Promo\"><span>Promo</span></a></li>"
        "<li><a id=\"Bare\" href=\"#Bare\"><img alt=\"Only a picture\"></a></li>"
        "</ul></body></html>";
    std::unique_ptr<Form1> form;
    openOn(fixture, page, {"Offer", "Promo", "Bare"}, form);
    if (QTest::currentTestFailed())
        return;
    auto* pane = control<BrowserPane>(*form, "WebBrowser1");
    const auto label = [pane](const char* id) {
        return evaluate(pane, QStringLiteral("document.getElementById('%1')"
                                             ".getAttribute('aria-label')")
                                  .arg(QLatin1String(id)));
    };
    QCOMPARE(label("Offer").toString(), QStringLiteral("Offer"));
    QCOMPARE(label("Promo").toString(), QStringLiteral("The page's own"));
    // A picture alone names its link well enough.
    QVERIFY(label("Bare").isNull() || label("Bare").toString().isEmpty());
}

// The words that tell a screen reader which link is previewed are for the
// ear only: a page that shows every span (the search page does) must not
// show them under its thumbnails.
void TestCategoryMark::descriptionStaysOutOfSight()
{
    GalleryFixture fixture;
    const QByteArray page =
        "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><style>"
        "span { display: block !important; } [hidden] { display: inline !important; }"
        "</style></head><body><a id=\"Offer\" href=\"#Offer\"><span>Offer</span></a>"
        "</body></html>";
    std::unique_ptr<Form1> form;
    openOn(fixture, page, {"Offer"}, form);
    if (QTest::currentTestFailed())
        return;
    auto* pane = control<BrowserPane>(*form, "WebBrowser1");
    QCOMPARE(evaluate(pane, "document.getElementById('quillery-previewed-description')"
                            ".getClientRects().length")
                 .toInt(),
             0);
    QCOMPARE(evaluate(pane, "document.getElementById('Offer').getAttribute('aria-describedby')")
                 .toString(),
             QStringLiteral("quillery-previewed-description"));
}

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
