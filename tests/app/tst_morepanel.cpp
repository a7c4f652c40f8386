#include "app/galleryfixture.h"
#include "app/pagetools.h"
#include "app/urlrecorder.h"
#include "app/windowcontrols.h"

#include "buttonplus.h"
#include "commandmenu.h"
#include "core/platform/settingsstore.h"
#include "core/window/hovertable.h"
#include "form1.h"
#include "form2.h"
#include "helpwindows.h"
#include "splitterbar.h"

#include <QApplication>
#include <QDesktopServices>
#include <QEnterEvent>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

// Runs `inside` while the modal panel is open, after "More" was clicked.
void withPanel(Form1& form, const std::function<void(Form2*)>& inside)
{
    bool ran = false;
    QTimer::singleShot(0, &form, [&] {
        auto* panel = qobject_cast<Form2*>(QApplication::activeModalWidget());
        ran = true;
        if (!panel) {
            QFAIL("the More panel is not open");
            return;
        }
        inside(panel);
        if (panel->isVisible())
            panel->reject(); // never leave the test hanging in exec()
    });
    QTest::mouseClick(control<ButtonPlus>(form, "cmdButton3"), Qt::LeftButton);
    QVERIFY(ran);
    QVERIFY(!QApplication::activeModalWidget());
}

void enter(QWidget* button)
{
    QEnterEvent event(QPointF(5, 5), QPointF(5, 5), button->mapToGlobal(QPointF(5, 5)));
    QApplication::sendEvent(button, &event);
}

void dragSplitterTo(Form1& form, int column)
{
    QWidget* bar = control<SplitterBar>(form, "picSplitter");
    auto send = [bar](QEvent::Type type, int x, Qt::MouseButtons held) {
        const QPointF local(x - bar->x(), 10);
        QMouseEvent event(type, local, bar->mapToGlobal(local),
                          type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, held,
                          Qt::NoModifier);
        QApplication::sendEvent(bar, &event);
    };
    send(QEvent::MouseButtonPress, bar->x() + 8, Qt::LeftButton);
    send(QEvent::MouseMove, column, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, column, Qt::NoButton);
}

// The visible top-level window named `name`, if any.
QWidget* openWindowNamed(const QString& name)
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == name && widget->isVisible())
            return widget;
    }
    return nullptr;
}

bool waitForWindow(const QString& name)
{
    return QTest::qWaitFor([&] { return openWindowNamed(name) != nullptr; }, 5000);
}

QString storedSplit()
{
    return modSettings::ReadSetting("Quillbook1", "Main", "Split");
}

} // namespace

class TestMorePanel : public QObject
{
    Q_OBJECT

private slots:
    void init() { QDesktopServices::setUrlHandler("http", &m_recorder, "open"); }
    void cleanup()
    {
        QDesktopServices::unsetUrlHandler("http");
        m_recorder.urls.clear();
    }
    void opensFreshEachTime();
    void closeButtonChangesNothing();
    void resetLayout();
    void websiteAndTitleOpenTheHomePage();
    void keyboardPressesTheFocusedButton_data();
    void keyboardPressesTheFocusedButton();
    void focusedButtonWearsAFrame();
    void helpRowOpensItsWindow_data();
    void helpRowOpensItsWindow();

private:
    UrlRecorder m_recorder;
};

void TestMorePanel::opensFreshEachTime()
{
    GalleryFixture fixture;
    Form1 form(fixture.appFolder());
    form.show();
    QPointer<Form2> first;
    enter(control<ButtonPlus>(form, "cmdButton3"));
    withPanel(form, [&](Form2* panel) {
        first = panel;
        // The More button was put back to its base colour before the panel opened.
        QCOMPARE(control<ButtonPlus>(form, "cmdButton3")->BackColor(), HoverTable::Green);
        QCOMPARE(panel->windowTitle(), QStringLiteral(" "));
        // The designed row keeps its place; the help row and the send row below it
        // make the panel taller.
        QCOMPARE(panel->size(), QSize(529, 251));
        QVERIFY(panel->windowFlags().testFlag(Qt::Tool));
        QVERIFY((panel->geometry().center() - form.geometry().center()).manhattanLength() <= 2);
        QCOMPARE(control<ButtonPlus>(panel, "cmdButton3")->Caption(), QStringLiteral("Website"));
        QCOMPARE(control<ButtonPlus>(panel, "cmdButton1")->Caption(),
                 QStringLiteral("Reset layout"));
        QCOMPARE(control<ButtonPlus>(panel, "cmdButton3")->geometry(), QRect(160, 16, 129, 121));
        QCOMPARE(control<ButtonPlus>(panel, "cmdButton1")->geometry(), QRect(304, 16, 129, 121));
        QCOMPARE(control<ButtonPlus>(panel, "cmdButton2")->geometry(), QRect(448, 16, 65, 65));
        QCOMPARE(control<ButtonPlus>(panel, "cmdButton4")->geometry(), QRect(160, 153, 129, 33));
        QCOMPARE(control<ButtonPlus>(panel, "cmdButton5")->geometry(), QRect(304, 153, 129, 33));
        QCOMPARE(control<ButtonPlus>(panel, "cmdButton6")->geometry(), QRect(448, 153, 65, 33));
        QCOMPARE(control<ButtonPlus>(panel, "cmdButton7")->geometry(), QRect(32, 153, 113, 33));
        QCOMPARE(control<ButtonPlus>(panel, "cmdButton8")->geometry(), QRect(160, 202, 353, 33));
        QCOMPARE(control<ButtonPlus>(panel, "cmdButton3")->cursor().pixmap().cacheKey(),
                 control<QLabel>(form, "imgLogo")->cursor().pixmap().cacheKey());
        enter(control<ButtonPlus>(panel, "cmdButton3"));
        QCOMPARE(control<ButtonPlus>(panel, "cmdButton3")->BackColor(), 0x0000D000u);
        enter(control<ButtonPlus>(panel, "cmdButton2"));
        QCOMPARE(control<ButtonPlus>(panel, "cmdButton2")->BackColor(), 0x00E0E0E0u);
        QTest::keyClick(panel, Qt::Key_Escape);
    });
    QVERIFY(first.isNull());
    withPanel(form, [&](Form2* panel) {
        // Nothing of the last panel's hover state survives.
        QCOMPARE(control<ButtonPlus>(panel, "cmdButton3")->BackColor(), HoverTable::Green);
        QCOMPARE(control<ButtonPlus>(panel, "cmdButton2")->BackColor(), HoverTable::Silver);
        QTest::mouseClick(control<ButtonPlus>(panel, "cmdButton2"), Qt::LeftButton);
        QVERIFY(!panel->isVisible());
    });
    QCOMPARE(control<ButtonPlus>(form, "cmdButton4")->Caption(), QStringLiteral("Quillery 1"));
}

void TestMorePanel::closeButtonChangesNothing()
{
    GalleryFixture fixture;
    Form1 form(fixture.appFolder());
    form.show();
    dragSplitterTo(form, 700);
    withPanel(form, [](Form2* panel) {
        QTest::mouseClick(control<ButtonPlus>(panel, "cmdButton2"), Qt::LeftButton);
    });
    QCOMPARE(control<SplitterBar>(form, "picSplitter")->x(), 700);
    QCOMPARE(storedSplit(), QStringLiteral("700"));
    QVERIFY(m_recorder.urls.isEmpty());
}

void TestMorePanel::resetLayout()
{
    GalleryFixture fixture;
    {
        Form1 form(fixture.appFolder());
        form.show();
        dragSplitterTo(form, 700);
        withPanel(form, [](Form2* panel) {
            QTest::mouseClick(control<ButtonPlus>(panel, "cmdButton1"), Qt::LeftButton);
            QVERIFY(!panel->isVisible());
        });
        QCOMPARE(control<SplitterBar>(form, "picSplitter")->x(), 450);
        QCOMPARE(control<QWidget>(form, "Picture1")->width(), 450 - 16 - 1);
        QCOMPARE(control<QWidget>(form, "Picture2")->x(), 450 + 16 + 1);
        QCOMPARE(storedSplit(), QStringLiteral("0"));
    }
    Form1 again(fixture.appFolder());
    QCOMPARE(control<SplitterBar>(again, "picSplitter")->x(), 450);
    // A drag after the reset is stored again.
    again.show();
    dragSplitterTo(again, 333);
    QCOMPARE(storedSplit(), QStringLiteral("333"));
}

void TestMorePanel::websiteAndTitleOpenTheHomePage()
{
    GalleryFixture fixture;
    Form1 form(fixture.appFolder());
    form.show();
    withPanel(form, [](Form2* panel) {
        QTest::mouseClick(control<ButtonPlus>(panel, "cmdButton3"), Qt::LeftButton);
        QVERIFY(!panel->isVisible());
    });
    QTest::mouseClick(control<ButtonPlus>(form, "cmdButton4"), Qt::LeftButton);
    QCOMPARE(m_recorder.urls.size(), 2);
    QCOMPARE(m_recorder.urls[0], m_recorder.urls[1]);
    QCOMPARE(m_recorder.urls[0].path(), QStringLiteral("/services/tredirect.php"));
    QCOMPARE(m_recorder.urls[0].query(), QStringLiteral("key=home"));
}

void TestMorePanel::keyboardPressesTheFocusedButton_data()
{
    QTest::addColumn<QList<QKeyCombination>>("keys"); // the last one presses
    QTest::addColumn<QString>("pressed");             // the accessible name
    using Keys = QList<QKeyCombination>;
    const QKeyCombination tab(Qt::Key_Tab);
    const QKeyCombination backtab(Qt::SHIFT | Qt::Key_Backtab);
    QTest::newRow("Enter on the first button")
        << Keys{QKeyCombination(Qt::Key_Return)} << "Website";
    QTest::newRow("Tab, Space") << Keys{tab, QKeyCombination(Qt::Key_Space)} << "Reset layout";
    QTest::newRow("Tab, Tab, keypad Enter")
        << Keys{tab, tab, QKeyCombination(Qt::KeypadModifier, Qt::Key_Enter)} << "Close";
    QTest::newRow("Tab to every command")
        << Keys{tab, tab, tab, QKeyCombination(Qt::Key_Return)} << "Every command";
    QTest::newRow("Tab to the user guide")
        << Keys{tab, tab, tab, tab, QKeyCombination(Qt::Key_Return)} << "User guide";
    QTest::newRow("Tab to the keys")
        << Keys{tab, tab, tab, tab, tab, QKeyCombination(Qt::Key_Space)} << "Keyboard shortcuts";
    QTest::newRow("Tab to sending a test")
        << Keys{tab, tab, tab, tab, tab, tab, tab, QKeyCombination(Qt::Key_Return)}
        << "Send a test";
    QTest::newRow("Tab goes round")
        << Keys{tab, tab, tab, tab, tab, tab, tab, tab, QKeyCombination(Qt::Key_Space)}
        << "Website";
    QTest::newRow("Shift+Tab goes back round")
        << Keys{backtab, backtab, QKeyCombination(Qt::Key_Return)} << "About Quillery";
    QTest::newRow("Esc presses nothing") << Keys{tab, QKeyCombination(Qt::Key_Escape)} << "";
}

// Keys go to the widget that has the focus, as a keyboard's do; every press
// closes the panel as a click does.
void TestMorePanel::keyboardPressesTheFocusedButton()
{
    QFETCH(QList<QKeyCombination>, keys);
    QFETCH(QString, pressed);
    GalleryFixture fixture;
    Form1 form(fixture.appFolder());
    form.show();
    dragSplitterTo(form, 700);
    withPanel(form, [&](Form2* panel) {
        QVERIFY(QTest::qWaitForWindowActive(panel));
        for (const QKeyCombination key : keys) {
            QWidget* focused = QApplication::focusWidget();
            QVERIFY(focused && panel->isAncestorOf(focused));
            QTest::keyClick(focused, key.key(), key.keyboardModifiers());
        }
        QVERIFY(!panel->isVisible());
    });
    QCOMPARE(m_recorder.urls.size(), pressed == "Website" ? 1 : 0);
    const QHash<QString, QString> windows{{"User guide", "helpWindow"},
                                          {"Keyboard shortcuts", "shortcutOverview"},
                                          {"About Quillery", "aboutBox"},
                                          {"Send a test", "sendTestDialog"}};
    if (windows.contains(pressed)) {
        QVERIFY(waitForWindow(windows[pressed]));
        openWindowNamed(windows[pressed])->close();
    }
    if (pressed == "Every command") {
        // The menu of every command opens once the panel has gone.
        QVERIFY(waitUntil([&] {
            return form.commandMenu()->shownMenu() && form.commandMenu()->shownMenu()->isVisible();
        }));
        QMenu* menu = form.commandMenu()->shownMenu();
        QCOMPARE(menu->objectName(), QStringLiteral("commandsMenu"));
        QStringList keys;
        for (const QAction* action : menu->actions())
            keys << action->shortcut().toString();
        for (const char* key :
             {"Ctrl+E", "Ctrl+Shift+E", "F10", "F1", "Ctrl+O", "F2", "Ctrl+1", "Ctrl+Shift+C",
              "Ctrl+Shift+H", "Menu", "Ctrl+Shift+T", "Ctrl+Alt+E"})
            QVERIFY2(keys.contains(key), qPrintable(keys.join(' ')));
        menu->close();
    }
    QCOMPARE(control<SplitterBar>(form, "picSplitter")->x(), pressed == "Reset layout" ? 450 : 700);
    QCOMPARE(storedSplit(),
             pressed == "Reset layout" ? QStringLiteral("0") : QStringLiteral("700"));
}

void TestMorePanel::focusedButtonWearsAFrame()
{
    GalleryFixture fixture;
    Form1 form(fixture.appFolder());
    form.show();
    withPanel(form, [&](Form2* panel) {
        QVERIFY(QTest::qWaitForWindowActive(panel));
        auto* website = control<ButtonPlus>(panel, "cmdButton3");
        auto* reset = control<ButtonPlus>(panel, "cmdButton1");
        QCOMPARE(QApplication::focusWidget(), website);
        const QColor face = ButtonPlus::fromColorValue(reset->BackColor());
        // A corner pixel: the frame's colour while focused, the face's otherwise.
        QCOMPARE(reset->grab().toImage().pixelColor(1, 1), face);
        QTest::keyClick(website, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), reset);
        const QColor framed = reset->grab().toImage().pixelColor(1, 1);
        QVERIFY2(framed != face, qPrintable(framed.name()));
        QCOMPARE(website->grab().toImage().pixelColor(1, 1),
                 ButtonPlus::fromColorValue(website->BackColor()));
    });
    // In the main window the buttons still send the focus on to the category page.
    auto* more = control<ButtonPlus>(form, "cmdButton3");
    more->setFocus();
    QVERIFY(QApplication::focusWidget() != more);
}

void TestMorePanel::helpRowOpensItsWindow_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("title");
    QTest::newRow("Help") << 4 << "helpWindow"
                          << "Quillery user guide";
    QTest::newRow("Keys") << 5 << "shortcutOverview"
                          << "Keyboard shortcuts";
    QTest::newRow("About") << 6 << "aboutBox"
                           << "About Quillery";
    QTest::newRow("Send a test") << 8 << "sendTestDialog"
                                 << "Send a test";
}

// Each closes the panel and opens its window, which the main window owns.
void TestMorePanel::helpRowOpensItsWindow()
{
    QFETCH(int, index);
    QFETCH(QString, window);
    QFETCH(QString, title);
    GalleryFixture fixture;
    Form1 form(fixture.appFolder());
    form.show();
    withPanel(form, [&](Form2* panel) {
        QTest::mouseClick(control<ButtonPlus>(panel, "cmdButton", index), Qt::LeftButton);
        QVERIFY(!panel->isVisible());
    });
    QVERIFY(waitForWindow(window));
    QWidget* opened = openWindowNamed(window);
    QCOMPARE(opened->windowTitle(), title);
    QCOMPARE(opened->parentWidget(), &form);
    QVERIFY(m_recorder.urls.isEmpty());
    QTest::keyClick(opened, Qt::Key_Escape);
    QVERIFY(!openWindowNamed(window));
}

QTEST_MAIN(TestMorePanel)
#include "moc_urlrecorder.cpp"
#include "tst_morepanel.moc"
