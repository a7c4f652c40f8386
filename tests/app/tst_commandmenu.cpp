#include "app/openwindow.h"
#include "app/urlrecorder.h"

#include "commandmenu.h"
#include "core/export/templateexport.h"
#include "helpwindows.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QDesktopServices>
#include <QDialog>
#include <QDrag>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QWebEnginePage>

namespace {

QMenu* shownMenu(Form1& form)
{
    QMenu* menu = form.commandMenu()->shownMenu();
    return menu && menu->isVisible() ? menu : nullptr;
}

QStringList entries(const QMenu* menu)
{
    QStringList texts;
    for (const QAction* action : menu->actions()) {
        if (!action->isSeparator())
            texts << action->text().section('\t', 0, 0);
    }
    return texts;
}

QAction* entry(const QMenu* menu, const QString& text)
{
    for (QAction* action : menu->actions()) {
        if (action->text().section('\t', 0, 0) == text)
            return action;
    }
    return nullptr;
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestCommandMenu : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void contextMenuOpensWhereAsked_data();
    void contextMenuOpensWhereAsked();
    void entriesShowTheKeysThatRunThem();
    void thumbnailEntryRunsOnItsTemplate();
    void thumbnailSendsATestOfItsTemplate();
    void ownTemplateOffersItsCommands();
    void favouriteEntryIsItsTemplates();
    void copyPutsItsFormatsOnTheClipboard_data();
    void copyPutsItsFormatsOnTheClipboard();
    void draggingAThumbnailCarriesAnEmlFile();
    void dragFilesAreCleanedUp();

private:
    std::unique_ptr<OpenWindow> m_window;
    UrlRecorder m_recorder;
};

void TestCommandMenu::init()
{
    m_window = std::make_unique<OpenWindow>();
    m_window->open();
    QDesktopServices::setUrlHandler("file", &m_recorder, "open");
    m_recorder.urls.clear();
}

void TestCommandMenu::cleanup()
{
    QDesktopServices::unsetUrlHandler("file");
    if (QWidget* popup = QApplication::activePopupWidget())
        popup->close();
    m_window.reset();
}

void TestCommandMenu::contextMenuOpensWhereAsked_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("menuName");
    QTest::addColumn<QString>("templateName");

    QTest::newRow("right click on a thumbnail") << "right click Winter"
                                                << "thumbnailMenu"
                                                << "Winter";
    QTest::newRow("Menu key on a thumbnail") << "Menu on Winter"
                                             << "thumbnailMenu"
                                             << "Winter";
    QTest::newRow("Shift+F10 on a thumbnail") << "Shift+F10 on Winter"
                                              << "thumbnailMenu"
                                              << "Winter";
    QTest::newRow("Shift+F10 in the category list") << "Shift+F10 in the list"
                                                    << "previewMenu"
                                                    << "Autumn";
    QTest::newRow("right click on the preview") << "right click preview"
                                                << "previewMenu"
                                                << "Autumn";
    QTest::newRow("Menu key in the search field") << "Menu in search"
                                                  << "previewMenu"
                                                  << "Autumn";
}

void TestCommandMenu::contextMenuOpensWhereAsked()
{
    QFETCH(QString, how);
    QFETCH(QString, menuName);
    QFETCH(QString, templateName);
    Form1& form = *m_window->form;
    auto* page = control<BrowserPane>(form, "WebBrowser1");
    auto* preview = control<BrowserPane>(form, "WebBrowser2");
    if (how == "right click Winter") {
        QTest::mouseClick(page->focusProxy(), Qt::RightButton, {}, centreOf(page, "Winter"));
    } else if (how.endsWith("on Winter")) {
        evaluate(page, "document.getElementById('Winter').focus()");
        m_window->press(how.startsWith("Menu") ? QKeyCombination(Qt::Key_Menu)
                                               : QKeyCombination(Qt::SHIFT | Qt::Key_F10));
    } else if (how == "Shift+F10 in the list") {
        control<QComboBox>(form, "cboCategory")->setFocus();
        m_window->press(Qt::SHIFT | Qt::Key_F10);
    } else if (how == "Menu in search") {
        m_window->press(Qt::CTRL | Qt::Key_F);
        QVERIFY(waitUntil([] { return qobject_cast<QLineEdit*>(QApplication::focusWidget()); }));
        m_window->press(QKeyCombination(Qt::Key_Menu));
    } else {
        QTest::mouseClick(preview->focusProxy(), Qt::RightButton, {}, QPoint(40, 40));
    }
    QVERIFY(waitUntil([&] { return shownMenu(form) != nullptr; }));
    QMenu* menu = shownMenu(form);
    QCOMPARE(menu->objectName(), menuName);
    QCOMPARE(menu->title(), templateName);
    QCOMPARE(entries(menu).contains("Preview"), menuName == "thumbnailMenu");
    // The window's keys are the menu's while it is open: Esc closes it.
    QTest::keyClick(menu, Qt::Key_Escape);
    QVERIFY(waitUntil([&] { return shownMenu(form) == nullptr; }));
    QCOMPARE(form.currentTemplate(), QStringLiteral("Autumn"));
}

// Each entry is the window's command: the same text, with the key that runs
// it shown beside it. The key stays the window's action's alone, so that it
// runs once and the keyboard overview lists it once.
void TestCommandMenu::entriesShowTheKeysThatRunThem()
{
    Form1& form = *m_window->form;
    std::unique_ptr<QMenu> menu(
        form.commandMenu()->contextMenu(CommandMenu::Place::Thumbnail, "Winter", &form));
    QCOMPARE(entries(menu.get()),
             QStringList({"Preview", "Export as HTML\u2026", "Export as .eml\u2026",
                          "Export for a mailing service\u2026", "Send a test\u2026", "Copy HTML",
                          "Copy as rich text", "Add to favourites"}));
    for (const QAction* shown : menu->actions()) {
        if (shown->isSeparator())
            continue;
        auto* command = form.findChild<QAction*>(shown->objectName(), Qt::FindDirectChildrenOnly);
        QVERIFY2(command, qPrintable(shown->objectName()));
        const QString key = command->shortcut().toString(QKeySequence::NativeText);
        QCOMPARE(shown->text(), key.isEmpty() ? command->text() : command->text() + '\t' + key);
        QVERIFY(shown->shortcuts().isEmpty());
    }
    QCOMPARE(entry(menu.get(), "Export as HTML\u2026")->text().section('\t', 1),
             QStringLiteral("Ctrl+E"));
    QCOMPARE(entry(menu.get(), "Copy as rich text")->text().section('\t', 1),
             QStringLiteral("Ctrl+Shift+C"));
    QCOMPARE(entry(menu.get(), "Send a test\u2026")->text().section('\t', 1),
             QStringLiteral("Ctrl+Shift+T"));
    const QList<HelpWindows::Key> keys = HelpWindows::keysOf(form);
    const auto listed = [&keys](const QKeySequence& key) {
        return std::count_if(keys.begin(), keys.end(), [&key](const HelpWindows::Key& entry) {
            return entry.keys.contains(key);
        });
    };
    QCOMPARE(listed(QKeySequence(Qt::CTRL | Qt::Key_E)), 1);
    QCOMPARE(listed(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C)), 1);
    QCOMPARE(listed(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_T)), 1);
}

void TestCommandMenu::thumbnailEntryRunsOnItsTemplate()
{
    Form1& form = *m_window->form;
    auto* page = control<BrowserPane>(form, "WebBrowser1");
    QTest::mouseClick(page->focusProxy(), Qt::RightButton, {}, centreOf(page, "Winter"));
    QVERIFY(waitUntil([&] { return shownMenu(form) != nullptr; }));
    QApplication::clipboard()->clear();
    entry(shownMenu(form), "Copy HTML")->trigger();
    // The thumbnail's template is previewed, and it is the one copied.
    QCOMPARE(form.currentTemplate(), QStringLiteral("Winter"));
    QVERIFY(waitUntil([&] { return m_window->shown.contains("Winter"); }));
    const QString html = QApplication::clipboard()->mimeData()->text();
    QVERIFY2(html.contains("<h1>Winter</h1>"), qPrintable(html.left(400)));
}

// The send dialog names the template it sends, which has to be the
// thumbnail's, not the one previewed when the menu opened.
void TestCommandMenu::thumbnailSendsATestOfItsTemplate()
{
    Form1& form = *m_window->form;
    auto* page = control<BrowserPane>(form, "WebBrowser1");
    QTest::mouseClick(page->focusProxy(), Qt::RightButton, {}, centreOf(page, "Winter"));
    QVERIFY(waitUntil([&] { return shownMenu(form) != nullptr; }));
    QAction* send = entry(shownMenu(form), "Send a test\u2026");
    QVERIFY(send);
    send->trigger();
    QCOMPARE(form.currentTemplate(), QStringLiteral("Winter"));
    auto* dialog = form.findChild<QDialog*>(QStringLiteral("sendTestDialog"));
    QVERIFY(dialog);
    QVERIFY(waitUntil([&] { return dialog->isVisible(); }));
    QStringList texts;
    for (const QLabel* label : dialog->findChildren<QLabel*>())
        texts << label->text();
    QVERIFY2(texts.join('\n').contains(QStringLiteral("\u201cWinter\u201d")),
             qPrintable(texts.join('\n')));
    dialog->close();
}

void TestCommandMenu::ownTemplateOffersItsCommands()
{
    Form1& form = *m_window->form;
    QTemporaryDir inputs;
    const QString file = inputs.filePath("mine.eml");
    QFile out(file);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write(GalleryFixture::message("Mine"));
    out.close();
    const Status added = form.addOwnTemplate(file, "Mine", "Own one");
    QVERIFY2(added, qPrintable(added.message()));
    std::unique_ptr<QMenu> menu(
        form.commandMenu()->contextMenu(CommandMenu::Place::Preview, "Own one", &form));
    QCOMPARE(entries(menu.get()),
             QStringList({"Export as HTML\u2026", "Export as .eml\u2026",
                          "Export for a mailing service\u2026", "Send a test\u2026", "Copy HTML",
                          "Copy as rich text", "Show in folder", "Rename the template\u2026",
                          "Remove the template\u2026", "Add to favourites"}));
    QCOMPARE(entry(menu.get(), "Rename the template\u2026")->text().section('\t', 1),
             QStringLiteral("F2"));
    entry(menu.get(), "Show in folder")->trigger();
    QCOMPARE(form.currentTemplate(), QStringLiteral("Own one"));
    QCOMPARE(m_recorder.urls.size(), 1);
    const QString folder = m_recorder.urls.first().toLocalFile();
    QVERIFY2(QFileInfo::exists(folder + "/Own one.dat"), qPrintable(folder));
    QVERIFY(folder.startsWith(m_window->fixture.dataFolder()));
}

// The favourites' action speaks of the previewed template; a thumbnail's
// entry of its own, and changes it without previewing it.
void TestCommandMenu::favouriteEntryIsItsTemplates()
{
    Form1& form = *m_window->form;
    const auto favouriteEntry = [&form](const QString& name) {
        std::unique_ptr<QMenu> menu(
            form.commandMenu()->contextMenu(CommandMenu::Place::Thumbnail, name, &form));
        const QStringList texts = entries(menu.get());
        return texts.last();
    };
    QCOMPARE(favouriteEntry("Winter"), QStringLiteral("Add to favourites"));
    std::unique_ptr<QMenu> menu(
        form.commandMenu()->contextMenu(CommandMenu::Place::Thumbnail, "Winter", &form));
    entry(menu.get(), "Add to favourites")->trigger();
    QVERIFY(form.isFavourite("Winter"));
    QVERIFY(!form.isFavourite("Autumn"));
    QCOMPARE(form.currentTemplate(), QStringLiteral("Autumn"));
    QCOMPARE(favouriteEntry("Winter"), QStringLiteral("Remove from favourites"));
    QCOMPARE(favouriteEntry("Autumn"), QStringLiteral("Add to favourites"));
}

void TestCommandMenu::copyPutsItsFormatsOnTheClipboard_data()
{
    QTest::addColumn<QKeyCombination>("key");
    QTest::addColumn<bool>("rich");
    QTest::newRow("Copy HTML") << QKeyCombination(Qt::CTRL | Qt::SHIFT | Qt::Key_H) << false;
    QTest::newRow("Copy as rich text") << QKeyCombination(Qt::CTRL | Qt::SHIFT | Qt::Key_C) << true;
}

void TestCommandMenu::copyPutsItsFormatsOnTheClipboard()
{
    QFETCH(QKeyCombination, key);
    QFETCH(bool, rich);
    QApplication::clipboard()->clear();
    m_window->press(key);
    QVERIFY(waitUntil([] { return QApplication::clipboard()->mimeData()->hasText(); }));
    const QMimeData* data = QApplication::clipboard()->mimeData();
    const QString picture = "data:image/png;base64,";
    if (!rich) {
        // The source of the page, to paste into an HTML editor.
        QVERIFY(!data->hasHtml());
        QVERIFY(data->text().contains("<h1>Autumn</h1>"));
        QVERIFY(data->text().contains(picture));
        QVERIFY2(!data->text().contains("_files/"), qPrintable(data->text()));
        return;
    }
    QVERIFY(data->hasHtml());
    QVERIFY(data->html().contains("<h1>Autumn</h1>"));
    QVERIFY(data->html().contains(picture));
    QVERIFY(!data->html().contains("_files/"));
    // The text as read, not the markup.
    QVERIFY2(data->text().trimmed().startsWith("Autumn"), qPrintable(data->text()));
    QVERIFY(!data->text().contains("<h1>"));
    const QByteArray png = data->data("image/png");
    QVERIFY(png.startsWith("\x89PNG"));
    QVERIFY(data->html().contains(picture + QString::fromLatin1(png.toBase64())));
}

void TestCommandMenu::draggingAThumbnailCarriesAnEmlFile()
{
    Form1& form = *m_window->form;
    auto* page = control<BrowserPane>(form, "WebBrowser1");
    QStringList dragged;
    form.commandMenu()->setDragRunner([&](QDrag* drag) {
        for (const QUrl& url : drag->mimeData()->urls())
            dragged << url.toLocalFile();
    });
    QWidget* proxy = page->focusProxy();
    const QPoint at = centreOf(page, "Winter");
    QSignalSpy hovered(page->page(), &QWebEnginePage::linkHovered);
    QTest::mouseMove(proxy, at);
    QVERIFY(hovered.wait(10000) || !hovered.isEmpty());
    QTest::mousePress(proxy, Qt::LeftButton, {}, at);
    for (const int step : {2, 6, 30}) {
        QMouseEvent move(QEvent::MouseMove, at + QPoint(step, 0),
                         proxy->mapToGlobal(at + QPoint(step, 0)), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(proxy, &move);
    }
    QCOMPARE(dragged.size(), 1);
    QCOMPARE(QFileInfo(dragged.first()).fileName(), QStringLiteral("Winter.eml"));
    QByteArray message;
    QVERIFY(TemplateExport::decodeTemplate(m_window->fixture.appFolder(), "Winter", &message));
    QCOMPARE(readFile(dragged.first()), message);
    QVERIFY(dragged.first().startsWith(modGetDirs::WorkspaceDir() + "/drag/"));
    // A press and a move after the drag are no drag of their own.
    QTest::mouseRelease(proxy, Qt::LeftButton, {}, at + QPoint(30, 0));
    QCOMPARE(form.currentTemplate(), QStringLiteral("Autumn"));
}

void TestCommandMenu::dragFilesAreCleanedUp()
{
    Form1& form = *m_window->form;
    Status status = Status::success();
    // A name that is no template drags nothing and says why.
    QVERIFY(!form.commandMenu()->dragData("Missing", &status));
    QVERIFY2(status.message().contains("Missing"), qPrintable(status.message()));
    std::unique_ptr<QMimeData> first = form.commandMenu()->dragData("Autumn", &status);
    QVERIFY2(first, qPrintable(status.message()));
    const QString firstFile = first->urls().value(0).toLocalFile();
    QVERIFY(QFileInfo::exists(firstFile));
    std::unique_ptr<QMimeData> second = form.commandMenu()->dragData("Trip", &status);
    QVERIFY2(second, qPrintable(status.message()));
    const QString secondFile = second->urls().value(0).toLocalFile();
    QVERIFY(QFileInfo::exists(secondFile));
    QVERIFY(!QFileInfo::exists(firstFile));
    QVERIFY(!QFileInfo::exists(QFileInfo(firstFile).absolutePath()));
    m_window->form.reset();
    QVERIFY(!QFileInfo::exists(secondFile));
    QVERIFY(!QFileInfo::exists(QFileInfo(secondFile).absolutePath()));
}

QTEST_MAIN(TestCommandMenu)
#include "moc_urlrecorder.cpp"
#include "tst_commandmenu.moc"
