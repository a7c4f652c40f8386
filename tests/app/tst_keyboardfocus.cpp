#include "app/galleryfixture.h"
#include "app/pagetools.h"
#include "app/windowcontrols.h"

#include "browserpane.h"
#include "form1.h"

#include <QApplication>
#include <QEventLoop>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace {

bool inPane(const QWidget* pane, const QWidget* widget)
{
    return widget && (widget == pane || widget == pane->focusProxy() || pane->isAncestorOf(widget));
}

// Lets the engine handle the key just sent: a round trip to both pages, then a
// moment for the focus it hands back to the window.
void settle(QWebEngineView* first, QWebEngineView* second)
{
    evaluate(first, QStringLiteral("1"));
    evaluate(second, QStringLiteral("1"));
    QEventLoop loop;
    QTimer::singleShot(40, &loop, &QEventLoop::quit);
    loop.exec();
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
        QTest::keyClick(target, key, modifiers);
        settle(categories, preview);
        QVERIFY2(!inPane(preview, QApplication::focusWidget()),
                 qPrintable(QStringLiteral("press %1").arg(press + 1)));
    }
    // Wherever the walk ended, the keys that act on a page go to the category
    // page, with no link of its own chosen that Return would preview.
    categories->setFocus();
    evaluate(categories, QStringLiteral("document.activeElement && document.activeElement.blur()"));
    for (Qt::Key other : {Qt::Key_Return, Qt::Key_Home, Qt::Key_Down, Qt::Key_End, Qt::Key_Space}) {
        QTest::keyClick(QApplication::focusWidget(), other);
        settle(categories, preview);
        QVERIFY(!inPane(preview, QApplication::focusWidget()));
    }
    disconnect(watch);
    QCOMPARE(previewState(preview), before);
    QVERIFY2(intoPreview.isEmpty(), qPrintable(intoPreview.join(u' ')));
    QCOMPARE(form.currentTemplate(), QStringLiteral("Offer"));
}

QTEST_MAIN(TestKeyboardFocus)
#include "tst_keyboardfocus.moc"
