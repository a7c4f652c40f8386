#include "app/galleryfixture.h"
#include "app/pagetools.h"
#include "app/windowcontrols.h"

#include "browserpane.h"
#include "buttonplus.h"
#include "form1.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QImage>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <algorithm>

namespace {

bool inPane(const QWidget* pane, const QWidget* widget)
{
    return widget && (widget == pane || widget == pane->focusProxy() || pane->isAncestorOf(widget));
}

// A round trip to both pages: the engine has handed on what they told it.
void settle(QWebEngineView* first, QWebEngineView* second)
{
    evaluate(first, QStringLiteral("1"));
    evaluate(second, QStringLiteral("1"));
}

// The keys a page has seen, counted from its isolated world; the counting
// starts with the first look.
QString keysSeen(QWebEngineView* pane)
{
    return evaluate(pane, QStringLiteral("if (window.quilleryKeys === undefined) {"
                                         "  window.quilleryKeys = 0;"
                                         "  addEventListener('keydown', function () {"
                                         "    ++window.quilleryKeys; }, true);"
                                         "} String(window.quilleryKeys)"))
        .toString();
}

// Sends a key to the focused widget, as a keyboard would, and waits until it
// has been handled. A widget of the window handles it at once; a page once it
// has seen it, and the focus it hands on when its own tab walk ends comes
// back before the round trip after that.
void pressAndSettle(QWidget* target, Qt::Key key, Qt::KeyboardModifiers modifiers,
                    QWebEngineView* first, QWebEngineView* second)
{
    QWebEngineView* pane = inPane(first, target)    ? first
                           : inPane(second, target) ? second
                                                    : nullptr;
    const QString before = pane ? keysSeen(pane) : QString();
    QTest::keyClick(target, key, modifiers);
    if (pane)
        QVERIFY(waitUntil([&] { return keysSeen(pane) != before; }));
    settle(first, second);
}

// What the keys could have changed in the preview: where it is, which element
// has the page's focus, and how far it is scrolled.
QString previewState(QWebEngineView* preview)
{
    return preview->url().toString() + QLatin1Char('|') +
           evaluate(preview, QStringLiteral("(document.activeElement ? "
                                            "document.activeElement.tagName : '') + '|' + "
                                            "document.title + '|' + window.scrollY"))
               .toString();
}

} // namespace

class TestKeyboardFocus : public QObject
{
    Q_OBJECT

private slots:
    void keysNeverReachThePreview_data();
    void keysNeverReachThePreview();
    void tabReachesEveryControl_data();
    void tabReachesEveryControl();
};

void TestKeyboardFocus::keysNeverReachThePreview_data()
{
    QTest::addColumn<Qt::Key>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::newRow("tab") << Qt::Key_Tab << Qt::KeyboardModifiers();
    QTest::newRow("backtab") << Qt::Key_Backtab << Qt::KeyboardModifiers(Qt::ShiftModifier);
}

// Walking the window with the keyboard passes the preview by: its links are
// not stops, Home does not scroll it and Return does not follow its links.
void TestKeyboardFocus::keysNeverReachThePreview()
{
    QFETCH(Qt::Key, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);

    GalleryFixture fixture;
    fixture.addCategory("Retail.html", {"Offer", "Promo"});
    fixture.addTemplate("Offer",
                        "<p><a id=\"first\" href=\"#one\">one</a></p>"
                        "<div style=\"height:3000px\"></div>"
                        "<p><a id=\"second\" href=\"https://example.invalid/\">two</a></p>");
    fixture.addTemplate("Promo");
    Form1 form(fixture.appFolder());
    QSignalSpy shown(&form, &Form1::previewShown);
    auto* categories = control<BrowserPane>(form, "WebBrowser1");
    auto* preview = control<BrowserPane>(form, "WebBrowser2");
    QSignalSpy pageLoaded(categories, &BrowserPane::DocumentComplete);
    form.show();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QVERIFY(shown.count() > 0 || shown.wait(20000));
    QVERIFY(pageLoaded.count() > 0 || pageLoaded.wait(20000));

    QStringList intoPreview;
    const auto watch =
        connect(qApp, &QApplication::focusChanged, this, [&](QWidget*, QWidget* now) {
            if (inPane(preview, now))
                intoPreview << QString::fromLatin1(now->metaObject()->className());
        });
    categories->setFocus();
    settle(categories, preview);
    const QString before = previewState(preview);

    for (int press = 0; press < 30; ++press) {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : &form;
        pressAndSettle(target, key, modifiers, categories, preview);
        QVERIFY2(!inPane(preview, QApplication::focusWidget()),
                 qPrintable(QStringLiteral("press %1").arg(press + 1)));
    }
    // Wherever the walk ended, the keys that act on a page go to the category
    // page, with no link of its own chosen that Return would preview.
    categories->setFocus();
    evaluate(categories, QStringLiteral("document.activeElement && document.activeElement.blur()"));
    for (Qt::Key other : {Qt::Key_Return, Qt::Key_Home, Qt::Key_Down, Qt::Key_End, Qt::Key_Space}) {
        pressAndSettle(QApplication::focusWidget(), other, Qt::NoModifier, categories, preview);
        QVERIFY(!inPane(preview, QApplication::focusWidget()));
    }
    disconnect(watch);
    QCOMPARE(previewState(preview), before);
    QVERIFY2(intoPreview.isEmpty(), qPrintable(intoPreview.join(u' ')));
    QCOMPARE(form.currentTemplate(), QStringLiteral("Offer"));
}

// Both directions, as for the preview.
void TestKeyboardFocus::tabReachesEveryControl_data()
{
    keysNeverReachThePreview_data();
}

// The keyboard walks the whole window in reading order, the buttons and view
// toggles included, and every stop shows that it has the focus; the preview
// is passed by.
void TestKeyboardFocus::tabReachesEveryControl()
{
    QFETCH(Qt::Key, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);

    GalleryFixture fixture;
    fixture.addCategory("Retail.html", {"Offer", "Promo"});
    fixture.addTemplate("Offer");
    fixture.addTemplate("Promo");
    Form1 form(fixture.appFolder());
    QSignalSpy shown(&form, &Form1::previewShown);
    auto* categories = control<BrowserPane>(form, "WebBrowser1");
    auto* preview = control<BrowserPane>(form, "WebBrowser2");
    QSignalSpy pageLoaded(categories, &BrowserPane::DocumentComplete);
    form.show();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QVERIFY(shown.count() > 0 || shown.wait(20000));
    QVERIFY(pageLoaded.count() > 0 || pageLoaded.wait(20000));

    QStringList expected{"cmdButton4",    "cboCategory", "category page",     "viewDesktop",
                         "viewPhone",     "viewColours", "viewImagesBlocked", "viewPlainText",
                         "viewInboxLine", "viewBrand",   "viewCheck",         "cmdButton0",
                         "cmdButton1",    "cmdButton3"};
    if (key == Qt::Key_Backtab)
        std::reverse(expected.begin(), expected.end());
    QWidget* first = control(form, expected.first());
    first->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(first->hasFocus());
    const auto where = [&] {
        QWidget* focus = QApplication::focusWidget();
        if (inPane(categories, focus))
            return QStringLiteral("category page");
        return focus ? focus->objectName() : QString();
    };
    QStringList walk{where()};
    QStringList unmarked;
    for (int press = 0; press < 40; ++press) {
        pressAndSettle(QApplication::focusWidget(), key, modifiers, categories, preview);
        QVERIFY2(!inPane(preview, QApplication::focusWidget()),
                 qPrintable(QStringLiteral("press %1").arg(press + 1)));
        const QString now = where();
        if (now == walk.first())
            break;
        if (now == walk.last())
            continue;
        walk << now;
        // A stop that looks the same with and without the focus is lost to the eye.
        QWidget* focus = QApplication::focusWidget();
        if (now != "category page") {
            const QImage focused = focus->grab().toImage();
            form.setFocus();
            const QImage unfocused = focus->grab().toImage();
            focus->setFocus(key == Qt::Key_Tab ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            if (focused == unfocused)
                unmarked << now;
        }
        if (now == "cmdButton0" && !qEnvironmentVariableIsEmpty("QUILLERY_TEST_PICTURES"))
            form.grab().save(
                QDir(qEnvironmentVariable("QUILLERY_TEST_PICTURES"))
                    .filePath(QStringLiteral("keyboard-tab-%1.png").arg(QTest::currentDataTag())));
    }
    QVERIFY2(walk == expected, qPrintable(walk.join(u' ')));
    QVERIFY2(unmarked.isEmpty(), qPrintable(unmarked.join(u' ')));
}

QTEST_MAIN(TestKeyboardFocus)
#include "tst_keyboardfocus.moc"
