#include "app/galleryfixture.h"
#include "app/openwindow.h"
#include "app/urlrecorder.h"
#include "app/windowcontrols.h"

#include "app/dialogtools.h"
#include "app/pagetools.h"

#include "browserpane.h"
#include "buttonplus.h"
#include "form1.h"
#include "form2.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QImage>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <functional>
#include <memory>

namespace {

QAccessibleInterface* accessible(QWidget* widget)
{
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
    if (!face)
        qFatal("no accessible interface for %s", qPrintable(widget->objectName()));
    return face;
}

QString nameOf(QWidget* widget)
{
    return accessible(widget)->text(QAccessible::Name);
}

// A button as a screen reader meets it: a push button with its name, a
// description, and a press action.
void verifyButton(QWidget* button, const QString& name)
{
    QAccessibleInterface* face = accessible(button);
    QCOMPARE(face->role(), QAccessible::Button);
    QCOMPARE(face->text(QAccessible::Name), name);
    QVERIFY2(!face->text(QAccessible::Description).isEmpty(), qPrintable(name));
    QVERIFY(!button->toolTip().isEmpty());
    QVERIFY(face->actionInterface());
    QVERIFY(
        face->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
}

void press(QWidget* button)
{
    accessible(button)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
}

// Runs `inside` while the modal panel is open, after "More" was pressed the
// way an assistive tool presses it.
void withPanelPressed(Form1& form, const std::function<void(Form2*)>& inside)
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
    press(control<ButtonPlus>(form, "cmdButton3"));
    QVERIFY(ran);
    QVERIFY(!QApplication::activeModalWidget());
}

} // namespace

class TestAccessibility : public QObject
{
    Q_OBJECT

private slots:
    void init() { QDesktopServices::setUrlHandler("http", &m_recorder, "open"); }
    void cleanup()
    {
        QDesktopServices::unsetUrlHandler("http");
        m_recorder.urls.clear();
    }
    void commandButtons_data();
    void commandButtons();
    void pressActionsRunTheCommands();
    void panelButtons();
    void listPanesAndDividerAreNamed();
    void categoryListShowsFocus();
    void focusLandsOnANamedWidget_data();
    void focusLandsOnANamedWidget();
    void searchClearButtonIsNamed();

private:
    UrlRecorder m_recorder;
};

void TestAccessibility::commandButtons_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("name");
    QTest::newRow("html") << 0 << "> html" << QString::fromUtf8("Export as an HTML page\u2026");
    QTest::newRow("eml") << 1 << "> eml" << QString::fromUtf8("Export as an .eml message\u2026");
    QTest::newRow("Rookpost") << 2 << "> Rookpost"
                              << "Hand to Rookpost";
    QTest::newRow("More") << 3 << "More"
                          << "More";
    // The window puts the caption back on every activation; the name stays.
    QTest::newRow("title") << 4 << "Quillery 1"
                           << "Quillery website";
}

void TestAccessibility::commandButtons()
{
    QFETCH(int, index);
    QFETCH(QString, caption);
    QFETCH(QString, name);
    GalleryFixture fixture;
    Form1 form(fixture.appFolder());
    form.show();
    auto* button = control<ButtonPlus>(form, "cmdButton", index);
    QCOMPARE(button->Caption(), caption);
    verifyButton(button, name);
}

void TestAccessibility::pressActionsRunTheCommands()
{
    GalleryFixture fixture;
    Form1 form(fixture.appFolder());
    form.show();
    withPanelPressed(form, [](Form2* panel) {
        press(control<ButtonPlus>(panel, "cmdButton2"));
        QVERIFY(!panel->isVisible());
    });
    QVERIFY(m_recorder.urls.isEmpty());
    press(control<ButtonPlus>(form, "cmdButton4"));
    QCOMPARE(m_recorder.urls.size(), 1);
    QCOMPARE(m_recorder.urls[0].query(), QStringLiteral("key=home"));
}

void TestAccessibility::panelButtons()
{
    GalleryFixture fixture;
    Form1 form(fixture.appFolder());
    form.show();
    withPanelPressed(form, [](Form2* panel) {
        QCOMPARE(nameOf(panel), QStringLiteral("More"));
        verifyButton(control<ButtonPlus>(panel, "cmdButton3"), QStringLiteral("Website"));
        verifyButton(control<ButtonPlus>(panel, "cmdButton1"), QStringLiteral("Reset layout"));
        verifyButton(control<ButtonPlus>(panel, "cmdButton2"), QStringLiteral("Close"));
        verifyButton(control<ButtonPlus>(panel, "cmdButton4"), QStringLiteral("User guide"));
        verifyButton(control<ButtonPlus>(panel, "cmdButton5"),
                     QStringLiteral("Keyboard shortcuts"));
        verifyButton(control<ButtonPlus>(panel, "cmdButton6"), QStringLiteral("About Quillery"));
        press(control<ButtonPlus>(panel, "cmdButton3"));
        QVERIFY(!panel->isVisible());
    });
    QCOMPARE(m_recorder.urls.size(), 1);
}

void TestAccessibility::listPanesAndDividerAreNamed()
{
    GalleryFixture fixture;
    fixture.addCategory("Letters.html", {"Autumn"});
    Form1 form(fixture.appFolder());
    form.show();
    // A list's name may be its current entry; its label carries what it is for.
    QAccessibleInterface* list = accessible(control(form, "cboCategory"));
    QCOMPARE(list->role(), QAccessible::ComboBox);
    QStringList labels;
    for (const auto& [label, relation] : list->relations(QAccessible::Label))
        labels << label->text(QAccessible::Name);
    QCOMPARE(labels, QStringList{QStringLiteral("Category")});
    QCOMPARE(nameOf(control(form, "WebBrowser1")), QStringLiteral("Category page"));
    QCOMPARE(nameOf(control(form, "WebBrowser2")), QStringLiteral("Preview"));
    QWidget* divider = control(form, "picSplitter");
    QCOMPARE(accessible(divider)->role(), QAccessible::Splitter);
    QCOMPARE(nameOf(divider), QStringLiteral("Divider between the category page and the preview"));
}

void TestAccessibility::categoryListShowsFocus()
{
    GalleryFixture fixture;
    fixture.addCategory("Letters.html", {"Autumn"});
    Form1 form(fixture.appFolder());
    form.show();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    auto* list = control<QComboBox>(form, "cboCategory");
    QVERIFY(!list->hasFocus());
    const QImage unfocused = list->grab().toImage();
    list->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(list->hasFocus());
    const QImage focused = list->grab().toImage();
    QCOMPARE(focused.size(), unfocused.size());
    QVERIFY(focused != unfocused);
    // The mark goes with the focus.
    control(form, "WebBrowser1")->setFocus();
    QTRY_VERIFY(!list->hasFocus());
    QCOMPARE(list->grab().toImage(), unfocused);
}

void TestAccessibility::focusLandsOnANamedWidget_data()
{
    QTest::addColumn<QString>("after");
    QTest::newRow("changing category") << "changing category";
    QTest::newRow("closing More") << "closing More";
    QTest::newRow("exporting") << "exporting";
}

// Where the window puts the keyboard after a command, a screen reader names
// the place rather than an empty container.
void TestAccessibility::focusLandsOnANamedWidget()
{
    QFETCH(QString, after);
    OpenWindow window;
    window.open();
    if (QTest::currentTestFailed())
        return;
    QTemporaryDir out;
    if (after == "changing category") {
        window.press(Qt::CTRL | Qt::Key_PageDown);
    } else if (after == "closing More") {
        whenShown<Form2>(window.form.get(),
                         [](Form2* panel) { QTest::keyClick(panel, Qt::Key_Escape); });
        window.press(QKeyCombination(Qt::Key_F10));
        QVERIFY(!QApplication::activeModalWidget());
        // A desktop gives the window back its activation when the panel closes.
        window.form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.form.get()));
    } else {
        chooseInDialog(window.form.get(), out.filePath("page.htm"));
        window.press(Qt::CTRL | Qt::Key_E);
        window.form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.form.get()));
    }
    QVERIFY(waitUntil([] { return QApplication::focusWidget() != nullptr; }));
    QWidget* focus = QApplication::focusWidget();
    QCOMPARE(nameOf(focus), QStringLiteral("Category page"));
}

// The search field's clear button is a picture; screen readers need its name.
void TestAccessibility::searchClearButtonIsNamed()
{
    OpenWindow window;
    window.open();
    if (QTest::currentTestFailed())
        return;
    window.press(Qt::CTRL | Qt::Key_F);
    auto* field = control<QLineEdit>(*window.form, "txtSearch");
    QCOMPARE(QApplication::focusWidget(), field);
    QTest::keyClicks(field, "winter");
    const QList<QToolButton*> buttons = field->findChildren<QToolButton*>();
    QVERIFY(!buttons.isEmpty());
    for (QToolButton* button : buttons)
        QCOMPARE(nameOf(button), QStringLiteral("Clear search"));
}

QTEST_MAIN(TestAccessibility)
#include "moc_urlrecorder.cpp"
#include "tst_accessibility.moc"
