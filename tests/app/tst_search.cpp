#include "app/galleryfixture.h"
#include "app/pagetools.h"
#include "app/windowcontrols.h"

#include "browserpane.h"
#include "form1.h"
#include "searchindexloader.h"

#include "core/platform/settingsstore.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <atomic>
#include <fcntl.h>
#include <functional>
#include <memory>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

QByteArray withText(const QString& subject, const QByteArray& text)
{
    return "MIME-Version: 1.0\r\nSubject: " + subject.toUtf8() +
           "\r\nContent-Type: multipart/alternative; boundary=b\r\n\r\n"
           "--b\r\nContent-Type: text/plain; charset=utf-8\r\n\r\n" +
           text + "\r\n--b\r\nContent-Type: text/html; charset=utf-8\r\n\r\n<h1>" +
           subject.toUtf8() + "</h1>\r\n--b--\r\n";
}

// The names the category pane's page links, in order.
QStringList linkedNames(BrowserPane* pane)
{
    return evaluate(pane, "Array.from(document.querySelectorAll('a')).map(a => "
                          "decodeURIComponent(a.hash.slice(1)))")
        .toStringList();
}

} // namespace

class TestSearch : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void findsByNameAndTextAcrossCategories();
    void clickedResultIsPreviewed();
    void escapeReturnsToTheCategory();
    void returnPreviewsTheFirstResult();
    void keysMoveThroughTheResults_data();
    void keysMoveThroughTheResults();
    void recentTemplatesSurviveARestart();
    void windowClosedRightAfterAPreviewKeepsIt();
    void hostileThumbnailsDoNotFreezeTheWindow();
    void favouritesAreACategoryAtTheTop();
    void favouritesRankBeforeTheirEquals();

private:
    void openWindow();
    void search(const QString& text);
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier);
    // The category pane once it links `names`; false when it never does.
    bool paneLinks(const QStringList& names);

    std::unique_ptr<GalleryFixture> m_fixture;
    QTemporaryDir m_cache;
    std::unique_ptr<Form1> m_form;
    QStringList m_shown;
};

void TestSearch::init()
{
    qputenv("XDG_CACHE_HOME", m_cache.path().toLocal8Bit());
    m_fixture = std::make_unique<GalleryFixture>();
    m_fixture->addCategory("0Retail.html", {"Offer", "Summer Sale"});
    m_fixture->addCategory("Food.html", {"Menu", "Tasting Night"});
    for (const auto& [name, text] :
         {std::pair<QString, QByteArray>{"Offer", "Ten percent off everything."},
          {"Summer Sale", "Linen and sandals."},
          {"Menu", "Rhubarb tart and prosecco."},
          {"Tasting Night", "Six wines and prosecco."}}) {
        m_fixture->addFile("templates/" + name + ".dat",
                           *Module1::packTemplate(withText(name, text)));
    }
    openWindow();
}

void TestSearch::cleanup()
{
    m_form.reset();
    m_fixture.reset();
    m_shown.clear();
}

void TestSearch::openWindow()
{
    m_form = std::make_unique<Form1>(m_fixture->appFolder());
    connect(m_form.get(), &Form1::previewShown, this,
            [this](const QString& name) { m_shown << name; });
    auto* index = m_form->findChild<SearchIndexLoader*>();
    QVERIFY(index);
    QSignalSpy ready(index, &SearchIndexLoader::ready);
    m_form->show();
    m_form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    QVERIFY(waitUntil([this] { return !m_shown.isEmpty(); }));
    // The index is read after the first preview, off the window's thread.
    QVERIFY(ready.count() > 0 || ready.wait(20000));
}

// Ctrl+F from wherever the keyboard is, then typed as a user types.
void TestSearch::search(const QString& text)
{
    auto* pane = control<BrowserPane>(*m_form, "WebBrowser1");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F, Qt::ControlModifier);
    auto* field = control<QLineEdit>(*m_form, "txtSearch");
    QVERIFY(field->isVisible());
    QCOMPARE(QApplication::focusWidget(), field);
    QSignalSpy loaded(pane, &BrowserPane::DocumentComplete);
    QTest::keyClicks(field, text);
    QVERIFY(waitUntil([&] {
        return evaluate(pane, "document.querySelector('h1') ? document.querySelector('h1')"
                              ".textContent : ''")
            .toString()
            .contains(text.isEmpty() ? QStringLiteral("Recent") : text);
    }));
}

void TestSearch::press(Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    if (!QApplication::focusWidget()) {
        m_form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    }
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
}

bool TestSearch::paneLinks(const QStringList& names)
{
    auto* pane = control<BrowserPane>(*m_form, "WebBrowser1");
    return waitUntil([&] { return linkedNames(pane) == names; });
}

void TestSearch::findsByNameAndTextAcrossCategories()
{
    auto* pane = control<BrowserPane>(*m_form, "WebBrowser1");
    QList<QRect> places;
    for (QWidget* widget : m_form->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        places.append(widget->geometry());

    search("prosecco");
    QCOMPARE(linkedNames(pane), (QStringList{"Menu", "Tasting Night"}));
    QVERIFY(evaluate(pane, "document.body.innerText").toString().contains("2 templates"));
    // The field lies over the pane: no control of the window moved.
    QList<QRect> after;
    for (QWidget* widget : m_form->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        after.append(widget->geometry());
    QCOMPARE(after, places);

    auto* field = control<QLineEdit>(*m_form, "txtSearch");
    field->clear();
    QTest::keyClicks(field, "summ");
    QVERIFY(waitUntil([pane] { return linkedNames(pane) == QStringList{"Summer Sale"}; }));
    QTest::keyClicks(field, "x");
    QVERIFY(waitUntil([pane] {
        return evaluate(pane, "document.body.innerText").toString().contains("No template");
    }));
    // The category list did not change with the search.
    QCOMPARE(control<QComboBox>(*m_form, "cboCategory")->currentText(), "Retail");
}

void TestSearch::clickedResultIsPreviewed()
{
    auto* pane = control<BrowserPane>(*m_form, "WebBrowser1");
    search("rhubarb");
    QCOMPARE(linkedNames(pane), QStringList{"Menu"});
    // Down leaves the field for the first result; Return opens it.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    QVERIFY(waitUntil([pane] {
        return QApplication::focusWidget() && (QApplication::focusWidget() == pane->focusProxy() ||
                                               pane->isAncestorOf(QApplication::focusWidget()));
    }));
    QVERIFY(waitUntil(
        [pane] { return evaluate(pane, "document.activeElement.tagName").toString() == "A"; }));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QVERIFY(waitUntil([this] { return m_shown.contains("Menu"); }));
    QCOMPARE(m_form->currentTemplate(), QStringLiteral("Menu"));
    // The results stay for the next choice.
    QCOMPARE(linkedNames(pane), QStringList{"Menu"});
}

void TestSearch::escapeReturnsToTheCategory()
{
    auto* pane = control<BrowserPane>(*m_form, "WebBrowser1");
    search("wines");
    QSignalSpy loaded(pane, &BrowserPane::DocumentComplete);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QVERIFY(!control<QLineEdit>(*m_form, "txtSearch")->isVisible());
    QVERIFY(waitUntil([pane] { return linkedNames(pane) == QStringList{"Offer", "Summer Sale"}; }));
    // Closing the search previews nothing new.
    QCOMPARE(m_shown, QStringList{"Offer"});
}

// Return in the field previews the top result at once; the field keeps the
// keyboard for the next words.
void TestSearch::returnPreviewsTheFirstResult()
{
    search("prosecco");
    auto* field = control<QLineEdit>(*m_form, "txtSearch");
    QTest::keyClick(field, Qt::Key_Return);
    QCOMPARE(m_form->currentTemplate(), QStringLiteral("Menu"));
    QVERIFY(waitUntil([this] { return m_shown.contains("Menu"); }));
    QCOMPARE(QApplication::focusWidget(), field);
    // Typed and confirmed at once, before the results page has followed.
    field->selectAll();
    QTest::keyClicks(field, "linen");
    QTest::keyClick(field, Qt::Key_Enter);
    QCOMPARE(m_form->currentTemplate(), QStringLiteral("Summer Sale"));
}

void TestSearch::keysMoveThroughTheResults_data()
{
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<QString>("focused");
    QTest::newRow("down enters at the first") << QList<int>{} << "Menu";
    QTest::newRow("right") << QList<int>{Qt::Key_Right} << "Tasting Night";
    QTest::newRow("right stops at the last")
        << QList<int>{Qt::Key_Right, Qt::Key_Right} << "Tasting Night";
    QTest::newRow("left") << QList<int>{Qt::Key_Right, Qt::Key_Left} << "Menu";
    QTest::newRow("end") << QList<int>{Qt::Key_End} << "Tasting Night";
    QTest::newRow("home") << QList<int>{Qt::Key_End, Qt::Key_Home} << "Menu";
}

// Down goes from the field to the first result, with the page's focus ring
// on it; the arrows, Home and End move through the grid from there.
void TestSearch::keysMoveThroughTheResults()
{
    QFETCH(QList<int>, keys);
    QFETCH(QString, focused);
    auto* pane = control<BrowserPane>(*m_form, "WebBrowser1");
    search("prosecco");
    QCOMPARE(linkedNames(pane), (QStringList{"Menu", "Tasting Night"}));
    const QString active =
        QStringLiteral("document.activeElement && document.activeElement.hash ? "
                       "decodeURIComponent(document.activeElement.hash.slice(1)) : ''");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    QVERIFY2(waitUntil([&] { return evaluate(pane, active).toString() == "Menu"; }),
             qPrintable(evaluate(pane, active).toString()));
    QVERIFY(pane->isAncestorOf(QApplication::focusWidget()) ||
            QApplication::focusWidget() == pane->focusProxy());
    for (int key : keys) {
        const QString before = evaluate(pane, active).toString();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
        // The engine handles the key on its own time.
        waitUntil([&] { return evaluate(pane, active).toString() != before; }, 1500);
    }
    QCOMPARE(evaluate(pane, active).toString(), focused);
    QCOMPARE(evaluate(pane, "document.hasFocus()").toBool(), true);
    const QString outline =
        evaluate(pane, "getComputedStyle(document.activeElement).outlineStyle").toString();
    QVERIFY2(outline != "none", qPrintable(outline));
    // The keys moved the focus, not the preview.
    QCOMPARE(m_form->currentTemplate(), QStringLiteral("Offer"));
}

void TestSearch::recentTemplatesSurviveARestart()
{
    auto* pane = control<BrowserPane>(*m_form, "WebBrowser1");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down, Qt::ControlModifier);
    QVERIFY(waitUntil([this] { return m_shown.contains("Summer Sale"); }));
    search(QString());
    // Offer was only put there by the start: the user never chose it.
    QCOMPARE(linkedNames(pane), QStringList{"Summer Sale"});

    m_form.reset();
    m_shown.clear();
    openWindow();
    pane = control<BrowserPane>(*m_form, "WebBrowser1");
    search(QString());
    // The start shows Summer Sale again, where the user left off; that is no
    // new choice and pushes nothing down.
    QCOMPARE(m_shown.value(0), QStringLiteral("Summer Sale"));
    QCOMPARE(linkedNames(pane), QStringList{"Summer Sale"});
}

// The recent list is written once the clicks pause; a window closed before
// that still keeps the template it just previewed.
void TestSearch::windowClosedRightAfterAPreviewKeepsIt()
{
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down, Qt::ControlModifier);
    QVERIFY(waitUntil([this] { return m_shown.contains("Summer Sale"); }));
    m_form.reset();
    m_shown.clear();
    openWindow();
    search(QString());
    QCOMPARE(linkedNames(control<BrowserPane>(*m_form, "WebBrowser1")), QStringList{"Summer Sale"});
}

// A library whose thumbnails are a FIFO and a sparse 3 GB file: the recent
// list shows both templates, without their pictures, and the window answers.
void TestSearch::hostileThumbnailsDoNotFreezeTheWindow()
{
    m_form.reset();
    m_shown.clear();
    const QString thumbs = m_fixture->appFolder() + "/categories/thumbs";
    m_fixture->addFile("categories/0Retail.html",
                       "<a href=\"#Offer\"><img src=\"thumbs/offer.png\"></a>"
                       "<a href=\"#Summer Sale\"><img src=\"thumbs/sale.png\"></a>");
    QVERIFY(QDir().mkpath(thumbs));
    const QByteArray fifo = QFile::encodeName(thumbs + "/offer.png");
    QVERIFY(::mkfifo(fifo.constData(), 0600) == 0);
    QFile sparse(thumbs + "/sale.png");
    QVERIFY(sparse.open(QIODevice::WriteOnly) && sparse.write("\x89PNG") == 4 &&
            sparse.resize(3LL * 1024 * 1024 * 1024)); // sparse: costs no disk
    sparse.close();
    openWindow();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down, Qt::ControlModifier);
    QVERIFY(waitUntil([this] { return m_shown.contains("Summer Sale"); }));

    // Should the window's thread hang on the FIFO, a writer lets it go after a
    // while, so that the test fails instead of hanging.
    std::atomic<bool> done = false;
    std::atomic<bool> released = false;
    std::thread watchdog([&] {
        for (int i = 0; i < 300 && !done; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        if (done)
            return;
        const int writer = ::open(fifo.constData(), O_WRONLY | O_NONBLOCK);
        released = writer >= 0;
        if (writer >= 0)
            ::close(writer);
    });
    search(QString());
    auto* pane = control<BrowserPane>(*m_form, "WebBrowser1");
    const QStringList names = linkedNames(pane);
    const int pictures = evaluate(pane, "document.images.length").toInt();
    done = true;
    watchdog.join();
    QVERIFY2(!released, "the window's thread was stuck reading the FIFO");
    // Offer, previewed at start, is not one the user chose.
    QCOMPARE(names, QStringList{"Summer Sale"});
    QCOMPARE(pictures, 0);
    // The engine's own file reader still waits on the FIFO that the category
    // page shows as a picture; a writer lets it go, so the engine can shut down.
    const int writer = ::open(fifo.constData(), O_WRONLY | O_NONBLOCK);
    if (writer >= 0)
        ::close(writer);
}

// Ctrl+D marks the previewed template; the favourites then head the category
// list, in the order they were marked, and come back after a restart.
void TestSearch::favouritesAreACategoryAtTheTop()
{
    auto* categories = control<QComboBox>(*m_form, "cboCategory");
    auto* action = m_form->findChild<QAction*>("favouriteAction");
    QVERIFY(action);
    QCOMPARE(action->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_D));
    QCOMPARE(action->text(), QStringLiteral("Add to favourites"));
    // No favourites, no entry: the list starts with the library's first category.
    QCOMPARE(categories->count(), 2);
    QCOMPARE(categories->itemText(0), QStringLiteral("Retail"));

    press(Qt::Key_D);
    QCOMPARE(action->text(), QStringLiteral("Remove from favourites"));
    QCOMPARE(categories->count(), 3);
    QCOMPARE(categories->itemText(0), QStringLiteral("Favourites"));
    // The category shown stays as it was.
    QCOMPARE(categories->currentIndex(), 1);
    QCOMPARE(m_form->currentCategory(), QStringLiteral("Retail"));

    press(Qt::Key_PageDown);
    QVERIFY(waitUntil([this] { return m_shown.contains("Menu"); }));
    press(Qt::Key_Down);
    QVERIFY(waitUntil([this] { return m_shown.contains("Tasting Night"); }));
    press(Qt::Key_D);

    m_form.reset();
    m_shown.clear();
    openWindow();
    categories = control<QComboBox>(*m_form, "cboCategory");
    QCOMPARE(categories->itemText(0), QStringLiteral("Favourites"));
    while (categories->currentIndex() > 0)
        press(Qt::Key_PageUp);
    QVERIFY(m_form->showsFavourites());
    QCOMPARE(m_form->currentCategory(), QString());
    QVERIFY(paneLinks({"Offer", "Tasting Night"}));
    QVERIFY(waitUntil([this] { return m_shown.contains("Offer"); }));
    // The template keys step through the favourites as through a category.
    press(Qt::Key_Down);
    QVERIFY(waitUntil([this] { return m_shown.contains("Tasting Night"); }));

    // Taken off, it leaves the page at once; the last one takes the entry with it.
    press(Qt::Key_D);
    QVERIFY(paneLinks({"Offer"}));
    QCOMPARE(categories->itemText(0), QStringLiteral("Favourites"));
    m_form->setFavourite("Offer", false);
    QVERIFY(waitUntil([categories] { return categories->count() == 2; }));
    QCOMPARE(categories->itemText(0), QStringLiteral("Retail"));
    QVERIFY(!m_form->showsFavourites());
    QVERIFY(paneLinks({"Offer", "Summer Sale"}));
    QCOMPARE(modSettings::ReadSetting(SettingKeys::Favourites), QString());
}

// Among results that match as well, the favourites come first.
void TestSearch::favouritesRankBeforeTheirEquals()
{
    auto* pane = control<BrowserPane>(*m_form, "WebBrowser1");
    m_form->setFavourite("Tasting Night", true);
    search("prosecco");
    QCOMPARE(linkedNames(pane), (QStringList{"Tasting Night", "Menu"}));
    // Taken off while the results are shown: they follow.
    m_form->setFavourite("Tasting Night", false);
    QVERIFY(paneLinks({"Menu", "Tasting Night"}));
}

QTEST_MAIN(TestSearch)
#include "tst_search.moc"
