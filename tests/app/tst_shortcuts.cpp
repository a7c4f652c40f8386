#include "app/dialogtools.h"
#include "app/galleryfixture.h"
#include "app/pagetools.h"
#include "app/urlrecorder.h"
#include "app/windowcontrols.h"

#include "browserpane.h"
#include "buttonplus.h"
#include "core/platform/settingsstore.h"
#include "form1.h"
#include "form2.h"
#include "helpwindows.h"
#include "serviceexportdialog.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QEventLoop>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QShortcut>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

namespace {

bool inPane(const QWidget* pane, const QWidget* widget)
{
    return widget && (widget == pane || widget == pane->focusProxy() || pane->isAncestorOf(widget));
}

class CloseWatch : public QObject
{
public:
    int closes = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Close)
            ++closes;
        return QObject::eventFilter(watched, event);
    }
};

// The open top-level window of type T, if any.
template <typename T> T* openWindowOf()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* window = qobject_cast<T*>(widget); window && window->isVisible())
            return window;
    }
    return nullptr;
}

template <typename T> int countOf()
{
    int count = 0;
    for (QWidget* widget : QApplication::topLevelWidgets())
        count += qobject_cast<T*>(widget) && widget->isVisible() ? 1 : 0;
    return count;
}

// The keys as a keyboard sends them: through the X server, so that the
// desktop's keyboard layout decides what Qt sees.
bool typeOnTheKeyboard(const QString& keys)
{
    QProcess xdotool;
    xdotool.start(QStringLiteral("xdotool"), {QStringLiteral("key"), keys});
    return xdotool.waitForFinished(30000) && xdotool.exitCode() == 0;
}

} // namespace

class TestShortcuts : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void keyWorksWhereverTheFocusIs_data();
    void keyWorksWhereverTheFocusIs();
    void mailerKeyNeedsTheMailer();
    void tooltipsNameTheirKeys();
    void altDownStillOpensTheCategoryList();
    void helpKeysFromTheRealKeyboard_data();
    void helpKeysFromTheRealKeyboard();
    void overviewShowsEveryKeyOfTheWindow();
    void eachOverviewEntryDoesWhatItSays();
    void oneHelpWindowAtATime();

private:
    void openWindow(bool withMailer);
    void putFocus(const QString& where);
    void press(QKeyCombination key);

    UrlRecorder m_recorder;
    std::unique_ptr<QObject> m_guard;
    std::unique_ptr<GalleryFixture> m_fixture;
    std::unique_ptr<QTemporaryDir> m_mailer;
    std::unique_ptr<Form1> m_form;
    QStringList m_shown;
};

void TestShortcuts::init()
{
    QDesktopServices::setUrlHandler("http", &m_recorder, "open");
    m_guard = std::make_unique<QObject>();
    m_fixture = std::make_unique<GalleryFixture>();
    // Page order differs from name order, so a step by name would show.
    m_fixture->addCategory("Business.html", {"Offer", "Promo", "Deal"});
    m_fixture->addCategory("Retail.html", {"Sale", "Club"});
    for (const char* name : {"Offer", "Promo", "Deal", "Sale", "Club"})
        m_fixture->addTemplate(QString::fromLatin1(name));
    // A dialog left open by a failed step must not hang the run.
    QTimer::singleShot(60000, m_guard.get(), [] {
        while (QWidget* modal = QApplication::activeModalWidget())
            modal->close();
    });
}

void TestShortcuts::cleanup()
{
    m_form.reset();
    m_guard.reset();
    m_mailer.reset();
    m_fixture.reset();
    m_shown.clear();
    QDesktopServices::unsetUrlHandler("http");
    m_recorder.urls.clear();
}

void TestShortcuts::openWindow(bool withMailer)
{
    if (withMailer) {
        // A stand-in for the sibling mailer that records its arguments.
        m_mailer = std::make_unique<QTemporaryDir>();
        QFile script(m_mailer->filePath("rookpost2"));
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write(
            "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$0.tmp\" && mv \"$0.tmp\" \"$0.args\"\n");
        script.close();
        QVERIFY(script.setPermissions(script.permissions() | QFileDevice::ExeOwner));
        QVERIFY(modSettings::WriteSetting("RookpostInt2", "Main", "Path", m_mailer->path()));
    }
    m_form = std::make_unique<Form1>(m_fixture->appFolder());
    connect(m_form.get(), &Form1::previewShown, this,
            [this](const QString& name) { m_shown << name; });
    QSignalSpy pageLoaded(control<BrowserPane>(*m_form, "WebBrowser1"),
                          &BrowserPane::DocumentComplete);
    m_form->show();
    m_form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    QVERIFY(waitUntil([this] { return !m_shown.isEmpty(); }));
    QVERIFY(pageLoaded.count() > 0 || pageLoaded.wait(20000));
    QCOMPARE(m_form->currentTemplate(), QStringLiteral("Offer"));
}

// The places a keyboard user can be in the window.
void TestShortcuts::putFocus(const QString& where)
{
    auto* list = control<QComboBox>(*m_form, "cboCategory");
    auto* page = control<BrowserPane>(*m_form, "WebBrowser1");
    if (where == "category list") {
        list->setFocus();
        QVERIFY(waitUntil([list] { return QApplication::focusWidget() == list; }));
    } else if (where == "category page") {
        page->setFocus();
        QVERIFY(waitUntil([page] { return inPane(page, QApplication::focusWidget()); }));
    } else if (where == "a link on the category page") {
        // Tabbed to a thumbnail: the engine, not the window, has the key first.
        page->setFocus();
        QVERIFY(waitUntil([page] { return inPane(page, QApplication::focusWidget()); }));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QVERIFY(waitUntil(
            [page] { return evaluate(page, "document.activeElement.tagName").toString() == "A"; }));
        QVERIFY(inPane(page, QApplication::focusWidget()));
    } else if (where == "search field") {
        // A line edit takes some Ctrl keys for its own editing.
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : m_form.get(),
                        Qt::Key_F, Qt::ControlModifier);
        auto* field = control<QLineEdit>(*m_form, "txtSearch");
        QVERIFY(waitUntil([field] { return QApplication::focusWidget() == field; }));
        QTest::keyClicks(field, "o");
    } else {
        // A click into the preview leaves the keyboard on the category page.
        auto* preview = control<BrowserPane>(*m_form, "WebBrowser2");
        list->setFocus();
        QTest::mouseClick(preview->focusProxy(), Qt::LeftButton, {}, QPoint(30, 30));
        QVERIFY(waitUntil([page] { return inPane(page, QApplication::focusWidget()); }));
    }
}

// Always to the widget that really has the focus, as a keyboard would.
void TestShortcuts::press(QKeyCombination key)
{
    QWidget* target = QApplication::focusWidget();
    QVERIFY(target);
    QTest::keyClick(target, key.key(), key.keyboardModifiers());
}

void TestShortcuts::keyWorksWhereverTheFocusIs_data()
{
    QTest::addColumn<QKeyCombination>("key");
    QTest::addColumn<int>("presses");
    // "dialog:<title>", "service", "panel", "help", "keys", "mailer", "closed",
    // "template:<name>" or "category:<name>/<first template>".
    QTest::addColumn<QString>("effect");
    QTest::addColumn<QString>("where");

    struct Row
    {
        const char* name;
        QKeyCombination key;
        int presses;
        const char* effect;
    };
    const Row rows[] = {
        {"export html", Qt::CTRL | Qt::Key_E, 1, "dialog:Export as html"},
        {"export eml", Qt::CTRL | Qt::SHIFT | Qt::Key_E, 1, "dialog:Export as eml"},
        {"hand to the mailer", Qt::CTRL | Qt::SHIFT | Qt::Key_M, 1, "mailer"},
        {"export for a mailing service", Qt::CTRL | Qt::ALT | Qt::Key_E, 1, "service"},
        {"More by F10", QKeyCombination(Qt::Key_F10), 1, "panel"},
        {"More by Ctrl+M", Qt::CTRL | Qt::Key_M, 1, "panel"},
        {"user guide", QKeyCombination(Qt::Key_F1), 1, "help"},
        {"keyboard shortcuts", Qt::CTRL | Qt::SHIFT | Qt::Key_Question, 1, "keys"},
        {"quit", Qt::CTRL | Qt::Key_Q, 1, "closed"},
        {"next template", Qt::CTRL | Qt::Key_Down, 1, "template:Promo"},
        {"next template stops at the last", Qt::CTRL | Qt::Key_Down, 4, "template:Deal"},
        {"previous template stops at the first", Qt::CTRL | Qt::Key_Up, 1, "template:Offer"},
        {"next category", Qt::CTRL | Qt::Key_PageDown, 1, "category:Retail/Sale"},
        {"next category stops at the last", Qt::CTRL | Qt::Key_PageDown, 3, "category:Retail/Sale"},
        {"previous category stops at the first", Qt::CTRL | Qt::Key_PageUp, 1,
         "category:Business/Offer"},
    };
    for (const char* where : {"category list", "category page", "a link on the category page",
                              "after a click in the preview", "search field"}) {
        for (const Row& row : rows) {
            QTest::addRow("%s, %s", row.name, where)
                << row.key << row.presses << QString::fromLatin1(row.effect) << where;
        }
    }
}

void TestShortcuts::keyWorksWhereverTheFocusIs()
{
    QFETCH(QKeyCombination, key);
    QFETCH(int, presses);
    QFETCH(QString, effect);
    QFETCH(QString, where);

    openWindow(effect == "mailer");
    putFocus(where);
    QString dialogTitle;
    bool panelOpened = false;
    whenShown<QFileDialog>(m_guard.get(), [&](QFileDialog* dialog) {
        dialogTitle = dialog->windowTitle();
        dialog->reject();
    });
    QString serviceTitle;
    whenShown<ServiceExportDialog>(m_guard.get(), [&](ServiceExportDialog* dialog) {
        serviceTitle = dialog->windowTitle();
        dialog->reject();
    });
    whenShown<Form2>(m_guard.get(), [&](Form2* panel) {
        panelOpened = true;
        QTest::keyClick(panel, Qt::Key_Escape);
    });
    CloseWatch closeWatch;
    m_form->installEventFilter(&closeWatch);

    for (int i = 0; i < presses; ++i)
        press(key);

    if (effect.startsWith("dialog:")) {
        QCOMPARE(dialogTitle, effect.mid(7));
    } else if (effect == "service") {
        QCOMPARE(serviceTitle, QStringLiteral("Export for a mailing service"));
    } else if (effect == "panel") {
        QVERIFY(panelOpened);
        QVERIFY(!QApplication::activeModalWidget());
    } else if (effect == "help" || effect == "keys") {
        // F1 is help, not the home page, which stays on the title button.
        QWidget* window = effect == "help" ? static_cast<QWidget*>(openWindowOf<HelpWindow>())
                                           : openWindowOf<ShortcutOverview>();
        QVERIFY(window);
        QVERIFY(m_recorder.urls.isEmpty());
        window->close();
    } else if (effect == "mailer") {
        const QString args = m_mailer->filePath("rookpost2.args");
        QVERIFY2(waitUntil([&] { return QFileInfo::exists(args); }), qPrintable(args));
    } else if (effect == "closed") {
        QCOMPARE(closeWatch.closes, 1);
        QVERIFY(!m_form->isVisible());
    } else {
        const QStringList parts = effect.section(':', 1).split('/');
        const QString name = parts.last();
        if (effect.startsWith("category:"))
            QCOMPARE(control<QComboBox>(*m_form, "cboCategory")->currentText(), parts.first());
        // Selected as a click on its link selects it: title and preview follow.
        QCOMPARE(m_form->currentTemplate(), name);
        QCOMPARE(control<QLabel>(*m_form, "lblTitle1")->text(), " Preview: " + name);
        QVERIFY(waitUntil([&] { return m_shown.last() == name; }));
    }
    // Nothing else happened on the way.
    if (!effect.startsWith("dialog:"))
        QVERIFY(dialogTitle.isEmpty());
    if (effect != "panel")
        QVERIFY(!panelOpened);
    if (effect != "closed")
        QCOMPARE(closeWatch.closes, 0);
}

void TestShortcuts::mailerKeyNeedsTheMailer()
{
    openWindow(false);
    QVERIFY(control<ButtonPlus>(*m_form, "cmdButton2")->isHidden());
    bool messageShown = false;
    whenShown<QMessageBox>(m_guard.get(), [&](QMessageBox* box) {
        messageShown = true;
        box->accept();
    });
    putFocus("category page");
    press(Qt::CTRL | Qt::SHIFT | Qt::Key_M);
    QVERIFY(!messageShown);
}

void TestShortcuts::tooltipsNameTheirKeys()
{
    openWindow(true);
    const struct
    {
        int index;
        const char* key;
        const char* name;
    } buttons[] = {{0, "(Ctrl+E)", "Export as an HTML page\u2026"},
                   {1, "(Ctrl+Shift+E)", "Export as an .eml message\u2026"},
                   {2, "(Ctrl+Shift+M)", "Hand to Rookpost"},
                   {3, "(F10)", "More"},
                   // F1 is help: the title button has no key of its own.
                   {4, "", "Quillery website"}};
    for (const auto& b : buttons) {
        auto* button = control<ButtonPlus>(*m_form, "cmdButton", b.index);
        QVERIFY2(button->toolTip().endsWith(QString::fromLatin1(b.key)),
                 qPrintable(button->toolTip()));
        if (!*b.key)
            QVERIFY2(!button->toolTip().contains(QLatin1Char('(')), qPrintable(button->toolTip()));
        QCOMPARE(QAccessible::queryAccessibleInterface(button)->text(QAccessible::Name),
                 QString::fromUtf8(b.name));
    }
    QCOMPARE(control<ButtonPlus>(*m_form, "cmdButton0")->toolTip(),
             QStringLiteral("Export the previewed template as an HTML page with its images folder "
                            "(Ctrl+E)"));
}

// The template keys take Ctrl, not Alt: Alt+Down stays the list's own key.
void TestShortcuts::altDownStillOpensTheCategoryList()
{
    openWindow(false);
    putFocus("category list");
    auto* list = control<QComboBox>(*m_form, "cboCategory");
    press(Qt::ALT | Qt::Key_Down);
    QVERIFY(waitUntil([list] { return list->view()->isVisible(); }));
    QCOMPARE(m_form->currentTemplate(), QStringLiteral("Offer"));
    list->hidePopup();
}

void TestShortcuts::helpKeysFromTheRealKeyboard_data()
{
    QTest::addColumn<QString>("keys"); // as xdotool names them, on the US layout of Xvfb
    QTest::addColumn<QString>("opens");
    QTest::addColumn<QString>("where");
    for (const char* where : {"category list", "category page", "search field"}) {
        QTest::addRow("F1, %s", where) << "F1"
                                       << "help" << where;
        // "?" is Shift+/ on a US keyboard.
        QTest::addRow("Ctrl+?, %s", where) << "ctrl+shift+slash"
                                           << "keys" << where;
    }
}

void TestShortcuts::helpKeysFromTheRealKeyboard()
{
    QFETCH(QString, keys);
    QFETCH(QString, opens);
    QFETCH(QString, where);
    openWindow(false);
    putFocus(where);
    QVERIFY(typeOnTheKeyboard(keys));
    QWidget* window = nullptr;
    QVERIFY2(waitUntil([&] {
                 window = opens == "help" ? static_cast<QWidget*>(openWindowOf<HelpWindow>())
                                          : openWindowOf<ShortcutOverview>();
                 return window != nullptr;
             }),
             qPrintable(keys));
    QVERIFY(m_recorder.urls.isEmpty());
    // Esc closes it, as any dialog.
    QVERIFY(QTest::qWaitForWindowActive(window));
    QVERIFY(waitUntil([&] { return window->isAncestorOf(QApplication::focusWidget()); }));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QVERIFY(waitUntil([&] {
        return opens == "help" ? !openWindowOf<HelpWindow>() : !openWindowOf<ShortcutOverview>();
    }));
}

// Every key the window answers to, whoever registered it, is in the overview.
void TestShortcuts::overviewShowsEveryKeyOfTheWindow()
{
    openWindow(false);
    putFocus("category page");
    press(Qt::CTRL | Qt::SHIFT | Qt::Key_Question);
    auto* overview = openWindowOf<ShortcutOverview>();
    QVERIFY(overview);
    QCOMPARE(overview->windowTitle(), QStringLiteral("Keyboard shortcuts"));
    QStringList shown;
    QTableWidget* table = overview->table();
    for (int row = 0; row < table->rowCount(); ++row) {
        QVERIFY2(!table->item(row, 1)->text().isEmpty(), qPrintable(table->item(row, 0)->text()));
        shown << table->item(row, 0)->text();
    }
    QList<QKeySequence> answered;
    for (const QShortcut* shortcut : m_form->findChildren<QShortcut*>())
        answered << shortcut->keys();
    for (const QAction* action : m_form->findChildren<QAction*>())
        answered << action->shortcuts();
    QVERIFY(answered.size() > 20);
    for (const QKeySequence& key : answered) {
        const QString text = key.toString(QKeySequence::NativeText);
        const bool listed = std::any_of(shown.begin(), shown.end(), [&](const QString& keys) {
            return keys == text || keys.startsWith(text + " or ") || keys.endsWith(" or " + text) ||
                   keys.contains(" or " + text + " or ");
        });
        QVERIFY2(listed, qPrintable(text + " is missing from the overview: " + shown.join(" | ")));
    }
    for (const char* key : {"F1", "Ctrl+?", "Ctrl+E", "F10 or Ctrl+M", "Ctrl+1", "Ctrl+O"})
        QVERIFY2(std::any_of(shown.begin(), shown.end(),
                             [&](const QString& keys) { return keys.startsWith(key); }),
                 key);
    overview->close();
}

// Pressing an entry's keys runs the command the entry names, and nothing else.
void TestShortcuts::eachOverviewEntryDoesWhatItSays()
{
    openWindow(true);
    QList<HelpWindows::Key> entries = HelpWindows::keysOf(*m_form);
    // Closing the window ends the walk.
    std::stable_partition(entries.begin(), entries.end(), [](const HelpWindows::Key& entry) {
        return !entry.keys.contains(QKeySequence(Qt::CTRL | Qt::Key_Q));
    });
    QStringList ran;
    for (QShortcut* shortcut : m_form->findChildren<QShortcut*>())
        connect(shortcut, &QShortcut::activated, this,
                [&ran, shortcut] { ran << shortcut->whatsThis(); });
    for (QAction* action : m_form->findChildren<QAction*>())
        connect(action, &QAction::triggered, this, [&ran, action] {
            ran << (action->whatsThis().isEmpty() ? action->text() : action->whatsThis());
        });
    // Whatever a command opens is closed again.
    auto* closer = new QTimer(m_guard.get());
    closer->setInterval(20);
    connect(closer, &QTimer::timeout, [] {
        if (QWidget* modal = QApplication::activeModalWidget())
            modal->close();
    });
    closer->start();
    for (const HelpWindows::Key& entry : entries) {
        // The notices' keys work only while a notice is shown (tst_exportnotice),
        // Undo only while there is a removal to undo (tst_owntemplates).
        const bool noticeKey =
            std::any_of(entry.keys.begin(), entry.keys.end(), [](const QKeySequence& key) {
                return key == QKeySequence(Qt::Key_Escape) ||
                       key == QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O) ||
                       key == QKeySequence(QKeySequence::Undo);
            });
        if (noticeKey)
            continue;
        // The windows a command opens beside the main window, modeless.
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (qobject_cast<HelpWindow*>(window) || qobject_cast<ShortcutOverview*>(window) ||
                window->objectName() == QLatin1String("sendTestDialog"))
                window->close();
        }
        // The context menu's keys leave a menu open, which takes the next keys.
        while (QWidget* popup = QApplication::activePopupWidget())
            popup->close();
        m_form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
        control<QComboBox>(*m_form, "cboCategory")->setFocus();
        ran.clear();
        const QKeyCombination key = entry.keys.first()[0];
        QTest::keyClick(QApplication::focusWidget(), key.key(), key.keyboardModifiers());
        QVERIFY2(ran.size() == 1 && ran.first().remove(QChar(0x2026)).remove('&') == entry.command,
                 qPrintable(HelpWindows::keysText(entry.keys) + ": " + entry.command + " ran " +
                            ran.join(", ")));
    }
    closer->stop();
}

void TestShortcuts::oneHelpWindowAtATime()
{
    openWindow(false);
    putFocus("category list");
    press(QKeyCombination(Qt::Key_F1));
    HelpWindow* help = openWindowOf<HelpWindow>();
    QVERIFY(help);
    m_form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    putFocus("category list");
    press(QKeyCombination(Qt::Key_F1));
    QCOMPARE(countOf<HelpWindow>(), 1);
    QCOMPARE(openWindowOf<HelpWindow>(), help);
    help->close();
    QVERIFY(waitUntil([] { return countOf<HelpWindow>() == 0; }));
}

QTEST_MAIN(TestShortcuts)
#include "moc_urlrecorder.cpp"
#include "tst_shortcuts.moc"
