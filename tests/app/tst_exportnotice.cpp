#include "app/dialogtools.h"
#include "app/galleryfixture.h"
#include "app/pagetools.h"
#include "app/urlrecorder.h"
#include "app/windowcontrols.h"

#include "browserpane.h"
#include "buttonplus.h"
#include "form1.h"

#include <QAccessible>
#include <QComboBox>
#include <QDesktopServices>
#include <QEventLoop>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

namespace {

// Lets the event loop run for a while, long past a shortened timeout: the
// notice keeps its time on the clock, and nothing tells that it has looked
// and kept itself up.
void spin(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

// Every control whose place and size the notice must leave alone.
QMap<QString, QRect> controlGeometries(const QWidget& window)
{
    QMap<QString, QRect> geometries;
    for (const char* name : {"cmdButton0", "cmdButton1", "cmdButton2", "cmdButton3", "cmdButton4",
                             "cboCategory", "lblTitle0", "lblTitle1", "lblTitle2", "Picture1",
                             "Picture2", "WebBrowser1", "WebBrowser2", "picSplitter"})
        geometries.insert(name, control(window, name)->geometry());
    return geometries;
}

} // namespace

class TestExportNotice : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void exportIsConfirmedWithoutAModalBox_data();
    void exportIsConfirmedWithoutAModalBox();
    void openFolderAsksTheOpenerForTheFolder();
    void folderThatHasGoneIsSaid();
    void hidesAfterItsTimeoutUnlessSomeoneIsOnIt();
    void keyboardReachesItAndLeavesIt();
    void escapeClosesItWhereverTheFocusIs_data();
    void escapeClosesItWhereverTheFocusIs();
    void failureKeepsItsWarningBox();
    void settingsTroubleIsSaidOnce_data();
    void settingsTroubleIsSaidOnce();

private:
    void openWindow();
    // Exports through the real command, choosing `typed` in the save dialog.
    void exportAs(int button, const QString& typed);
    QWidget* notice() const { return control(m_form.get(), "exportNotice"); }
    QPushButton* noticeButton(const char* name) const
    {
        return control<QPushButton>(m_form.get(), name);
    }

    std::unique_ptr<QObject> m_guard;
    std::unique_ptr<GalleryFixture> m_fixture;
    std::unique_ptr<QTemporaryDir> m_out;
    std::unique_ptr<Form1> m_form;
    UrlRecorder m_opened;
};

void TestExportNotice::init()
{
    QDesktopServices::setUrlHandler("file", &m_opened, "open");
    m_opened.urls.clear();
    m_guard = std::make_unique<QObject>();
    m_fixture = std::make_unique<GalleryFixture>();
    m_fixture->addCategory(QStringLiteral("Business.html"), {QStringLiteral("Sample")});
    m_fixture->addTemplate(QStringLiteral("Sample"));
    m_out = std::make_unique<QTemporaryDir>();
    QVERIFY(m_out->isValid());
    // A box left open by a failed step must not hang the run.
    QTimer::singleShot(60000, m_guard.get(), [] {
        while (QWidget* modal = QApplication::activeModalWidget())
            modal->close();
    });
}

void TestExportNotice::cleanup()
{
    m_form.reset();
    m_guard.reset();
    m_out.reset();
    m_fixture.reset();
    QDesktopServices::unsetUrlHandler("file");
}

void TestExportNotice::openWindow()
{
    m_form = std::make_unique<Form1>(m_fixture->appFolder());
    QSignalSpy shown(m_form.get(), &Form1::previewShown);
    m_form->show();
    m_form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    QVERIFY(shown.wait(30000));
}

void TestExportNotice::exportAs(int button, const QString& typed)
{
    chooseInDialog(m_guard.get(), m_out->filePath(typed));
    QTest::mouseClick(control<ButtonPlus>(m_form.get(), "cmdButton", button), Qt::LeftButton);
    // A desktop gives the window back its activation when the dialog closes.
    m_form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
}

void TestExportNotice::exportIsConfirmedWithoutAModalBox_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("file");
    QTest::newRow("html") << 0 << "Spring #2"
                          << "Spring #2.htm";
    QTest::newRow("eml") << 1 << "letter.eml"
                         << "letter.eml";
}

void TestExportNotice::exportIsConfirmedWithoutAModalBox()
{
    QFETCH(int, button);
    QFETCH(QString, typed);
    QFETCH(QString, file);
    openWindow();
    QVERIFY(!notice()->isVisible());
    const QMap<QString, QRect> before = controlGeometries(*m_form);
    bool boxShown = false;
    whenShown<QMessageBox>(m_guard.get(), [&](QMessageBox* box) {
        boxShown = true;
        box->accept();
    });
    exportAs(button, typed);

    QVERIFY(QFileInfo(m_out->filePath(file)).isFile());
    QVERIFY(notice()->isVisible());
    const QString text = control<QLabel>(m_form.get(), "exportNoticeText")->text();
    QCOMPARE(text, QStringLiteral("Exported \u201c%1\u201d").arg(file));
    // Screen readers read out an alert as it appears.
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(notice());
    QCOMPARE(face->role(), QAccessible::AlertMessage);
    QCOMPARE(face->text(QAccessible::Name), text);
    QCOMPARE(QAccessible::queryAccessibleInterface(noticeButton("exportNoticeOpen"))
                 ->text(QAccessible::Name),
             QStringLiteral("Open folder"));
    QCOMPARE(QAccessible::queryAccessibleInterface(noticeButton("exportNoticeClose"))
                 ->text(QAccessible::Name),
             QStringLiteral("Close"));

    // Nothing waits for the user, and the notice lies over the preview
    // without moving any control. A box the export put off until later
    // would be up once the events it left are handled.
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    QVERIFY(!boxShown);
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    QCOMPARE(controlGeometries(*m_form), before);
    auto* preview = control(m_form.get(), "WebBrowser2");
    const QRect previewRect(preview->mapTo(m_form.get(), QPoint(0, 0)), preview->size());
    QVERIFY2(previewRect.contains(notice()->geometry()), qPrintable(QStringLiteral("%1,%2 %3x%4")
                                                                        .arg(notice()->x())
                                                                        .arg(notice()->y())
                                                                        .arg(notice()->width())
                                                                        .arg(notice()->height())));
    QVERIFY(notice()->geometry().bottom() > previewRect.center().y());

    // It follows the preview when the window changes size.
    const int gap = previewRect.bottom() - notice()->geometry().bottom();
    m_form->resize(m_form->width() + 120, m_form->height() + 80);
    const QRect grown(preview->mapTo(m_form.get(), QPoint(0, 0)), preview->size());
    QVERIFY(grown != previewRect);
    QVERIFY(grown.contains(notice()->geometry()));
    QCOMPARE(grown.bottom() - notice()->geometry().bottom(), gap);
}

void TestExportNotice::openFolderAsksTheOpenerForTheFolder()
{
    openWindow();
    QVERIFY(QDir().mkpath(m_out->filePath("news")));
    exportAs(0, QStringLiteral("news/Newsletter 7.htm"));
    QVERIFY(notice()->isVisible());
    QTest::mouseClick(noticeButton("exportNoticeOpen"), Qt::LeftButton);
    QCOMPARE(m_opened.urls, QList<QUrl>{QUrl::fromLocalFile(m_out->filePath("news"))});

    // The shortcut works wherever the keyboard is in the window.
    control(m_form.get(), "WebBrowser1")->setFocus();
    QTest::keySequence(m_form.get(), QKeySequence(QStringLiteral("Ctrl+Shift+O")));
    QCOMPARE(m_opened.urls.size(), 2);
    QCOMPARE(m_opened.urls.last(), QUrl::fromLocalFile(m_out->filePath("news")));

    // ... but only while the notice is there to say which file it means.
    QTest::mouseClick(noticeButton("exportNoticeClose"), Qt::LeftButton);
    QVERIFY(!notice()->isVisible());
    QTest::keySequence(m_form.get(), QKeySequence(QStringLiteral("Ctrl+Shift+O")));
    QCOMPARE(m_opened.urls.size(), 2);
}

void TestExportNotice::folderThatHasGoneIsSaid()
{
    openWindow();
    QVERIFY(QDir().mkpath(m_out->filePath("gone")));
    exportAs(1, QStringLiteral("gone/letter.eml"));
    QVERIFY(QDir(m_out->filePath("gone")).removeRecursively());
    QTest::mouseClick(noticeButton("exportNoticeOpen"), Qt::LeftButton);
    QVERIFY(m_opened.urls.isEmpty());
    QVERIFY(notice()->isVisible());
    const QString text = control<QLabel>(m_form.get(), "exportNoticeText")->text();
    QVERIFY2(text.contains(QLatin1String("could not be opened")), qPrintable(text));
    QCOMPARE(QAccessible::queryAccessibleInterface(notice())->text(QAccessible::Name),
             QStringLiteral("The folder \u201c%1\u201d could not be opened")
                 .arg(m_out->filePath("gone")));
}

void TestExportNotice::hidesAfterItsTimeoutUnlessSomeoneIsOnIt()
{
    openWindow();
    QVERIFY(notice()->setProperty("timeout", 150));
    exportAs(1, QStringLiteral("letter.eml"));
    QVERIFY(notice()->isVisible());
    QVERIFY(waitUntil([&] { return notice()->isHidden(); }));

    // Held while the keyboard is on one of its buttons.
    exportAs(1, QStringLiteral("again.eml"));
    QVERIFY(notice()->isVisible());
    noticeButton("exportNoticeOpen")->setFocus();
    spin(600);
    QVERIFY(notice()->isVisible());
    control(m_form.get(), "WebBrowser1")->setFocus();
    QVERIFY(waitUntil([&] { return notice()->isHidden(); }));

    // Held while the pointer is on it.
    exportAs(1, QStringLiteral("third.eml"));
    QVERIFY(notice()->isVisible());
    QTest::mouseMove(notice(), notice()->rect().center());
    QVERIFY(waitUntil([&] { return notice()->underMouse(); }));
    spin(600);
    QVERIFY(notice()->isVisible());
    QTest::mouseMove(m_form.get(), control(m_form.get(), "cboCategory")->geometry().center());
    QVERIFY(waitUntil([&] { return notice()->isHidden(); }));
}

void TestExportNotice::keyboardReachesItAndLeavesIt()
{
    openWindow();
    exportAs(0, QStringLiteral("page.htm"));
    QVERIFY(notice()->isVisible());
    // Tab past the category page's last link.
    auto* pane = control<BrowserPane>(m_form.get(), "WebBrowser1");
    pane->setFocus();
    evaluate(pane, "document.getElementById('Sample').focus()");
    QTest::keyClick(pane->focusProxy(), Qt::Key_Tab);
    QVERIFY(waitUntil([&] { return noticeButton("exportNoticeOpen")->hasFocus(); }));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), noticeButton("exportNoticeOpenFile"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), noticeButton("exportNoticeClose"));

    // Backwards from the stop after it, the first of the preview's view toggles.
    QWidget* toggle = control(m_form.get(), "viewDesktop");
    toggle->setFocus(Qt::TabFocusReason);
    QVERIFY(toggle->hasFocus());
    QTest::keyClick(toggle, Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget(), noticeButton("exportNoticeClose"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget(), noticeButton("exportNoticeOpenFile"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget(), noticeButton("exportNoticeOpen"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    QCOMPARE(m_opened.urls, QList<QUrl>{QUrl::fromLocalFile(m_out->path())});

    // Esc closes it and hands the keyboard to the category page.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QVERIFY(notice()->isHidden());
    QVERIFY(waitUntil([&] {
        QWidget* focus = QApplication::focusWidget();
        return focus && (focus == pane || pane->isAncestorOf(focus));
    }));
    // A hidden notice is no stop.
    toggle->setFocus(Qt::TabFocusReason);
    QTest::keyClick(toggle, Qt::Key_Backtab, Qt::ShiftModifier);
    QVERIFY(!notice()->isAncestorOf(QApplication::focusWidget()));
}

void TestExportNotice::escapeClosesItWhereverTheFocusIs_data()
{
    QTest::addColumn<QString>("where");
    // After an export the keyboard is back on the category page.
    QTest::newRow("category page") << "category page";
    QTest::newRow("a link on the category page") << "a link on the category page";
    QTest::newRow("category list") << "cboCategory";
    QTest::newRow("export button") << "cmdButton0";
    QTest::newRow("view toggle") << "viewPhone";
}

void TestExportNotice::escapeClosesItWhereverTheFocusIs()
{
    QFETCH(QString, where);
    openWindow();
    exportAs(0, QStringLiteral("page.htm"));
    QVERIFY(notice()->isVisible());
    auto* pane = control<BrowserPane>(m_form.get(), "WebBrowser1");
    const auto inPage = [pane] {
        QWidget* focus = QApplication::focusWidget();
        return focus && (focus == pane->focusProxy() || pane->isAncestorOf(focus));
    };
    if (where.contains("category page")) {
        pane->setFocus();
        QVERIFY(waitUntil(inPage));
        if (where.startsWith("a link"))
            evaluate(pane, "document.getElementById('Sample').focus()");
    } else {
        control(m_form.get(), where)->setFocus(Qt::TabFocusReason);
        QVERIFY(
            waitUntil([&] { return QApplication::focusWidget() == control(m_form.get(), where); }));
    }
    QWidget* before = QApplication::focusWidget();
    QTest::keyClick(before, Qt::Key_Escape);
    QVERIFY(waitUntil([this] { return notice()->isHidden(); }, 3000));
    // The keyboard stays where it was.
    QCOMPARE(QApplication::focusWidget(), before);
}

void TestExportNotice::failureKeepsItsWarningBox()
{
    openWindow();
    QFile blocker(m_out->filePath("news_files"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QString warning;
    whenShown<QMessageBox>(m_guard.get(), [&](QMessageBox* box) {
        warning = box->text();
        box->accept();
    });
    exportAs(0, QStringLiteral("news.html"));
    QVERIFY2(warning.contains(QLatin1String("in the way")), qPrintable(warning));
    QVERIFY(notice()->isHidden());
}

void TestExportNotice::settingsTroubleIsSaidOnce_data()
{
    QTest::addColumn<bool>("folderInTheWay");
    QTest::addColumn<QString>("said");
    QTest::newRow("damaged file") << false << "kept as";
    QTest::newRow("folder in the way") << true << "Settings cannot be stored";
}

// Settings that cannot be stored are said once in the window, in a bar
// that stops nothing and that Esc closes; a damaged file is kept aside.
void TestExportNotice::settingsTroubleIsSaidOnce()
{
    QFETCH(bool, folderInTheWay);
    QFETCH(QString, said);
    const QString settings = m_fixture->configFolder() + "/Quillbook1.ini";
    if (folderInTheWay) {
        QVERIFY(QDir().mkpath(settings));
    } else {
        QFile file(settings);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[Main\nSplit=450\n");
    }
    openWindow();
    QWidget* bar = control(m_form.get(), "settingsNotice");
    m_form->ResetLayout();
    QVERIFY(bar->isVisible());
    QVERIFY(!QApplication::activeModalWidget());
    const QString text = bar->toolTip();
    QVERIFY2(text.contains(said), qPrintable(text));
    QCOMPARE(QAccessible::queryAccessibleInterface(bar)->role(), QAccessible::AlertMessage);
    if (!folderInTheWay) {
        const QStringList aside =
            QDir(m_fixture->configFolder()).entryList({"Quillbook1.ini.damaged-*"});
        QCOMPARE(aside.size(), 1);
        QVERIFY(text.contains(aside.first()));
    }

    auto* close = control<QPushButton>(m_form.get(), "settingsNoticeClose");
    close->setFocus();
    QTest::keyClick(close, Qt::Key_Escape);
    QVERIFY(bar->isHidden());
    m_form->ResetLayout();
    QVERIFY(bar->isHidden());
}

QTEST_MAIN(TestExportNotice)
#include "moc_urlrecorder.cpp"
#include "tst_exportnotice.moc"
