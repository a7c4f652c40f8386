#include "app/galleryfixture.h"
#include "app/pagetools.h"
#include "app/windowcontrols.h"

#include "browserpane.h"
#include "buttonplus.h"
#include "core/platform/settingsstore.h"
#include "form1.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <QWebEnginePage>

#include "splitterbar.h"

class TestForm1Startup : public QObject
{
    Q_OBJECT

private slots:
    void opensOnTheLibrary();
    void categoryPageFollowsTheFirstPreview();
    void emptyLibrary();
    void missingLibrary();
    void splitSetting_data();
    void splitSetting();
    void siblingMailerButton_data();
    void siblingMailerButton();
    void titleAfterActivation();
    void captionIsTheLastLoadingStep();
    void resizeLaysOut();
};

// Sees the window's caption change while the window is being built, and
// notes what the earlier loading steps had done by then.
class CaptionWatcher : public QObject
{
public:
    QString msgFolder;
    QStringList seen;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* window = qobject_cast<QWidget*>(watched);
        if (event->type() != QEvent::WindowTitleChange || !window || !window->isWindow())
            return false;
        const auto* title = window->findChild<ButtonPlus*>("cmdButton4");
        const auto* splitter = window->findChild<QWidget*>("picSplitter");
        const auto* mailer = window->findChild<QWidget*>("cmdButton2");
        seen << QStringLiteral("%1 | title %2 | split %3 | preview %4 | mailer %5")
                    .arg(window->windowTitle(), title ? title->Caption() : "-")
                    .arg(splitter ? splitter->x() : -1)
                    .arg(QFile::exists(msgFolder + "/msg.html") ? "started" : "none")
                    .arg(mailer && !mailer->isHidden() ? "shown" : "hidden");
        return false;
    }
};

void TestForm1Startup::opensOnTheLibrary()
{
    GalleryFixture fixture;
    fixture.addCategory("0New.html", {"Offer", "Promo"});
    fixture.addCategory("Travel.html", {"Trip"});
    fixture.addTemplate("Offer");

    Form1 form(fixture.appFolder());
    QSignalSpy shown(&form, &Form1::previewShown);
    // The first category's first template is on its way before the window shows.
    QCOMPARE(form.currentTemplate(), QStringLiteral("Offer"));
    QCOMPARE(control<QLabel>(form, "lblTitle1")->text(), QStringLiteral(" Preview: Offer"));
    QVERIFY(QFile::exists(fixture.msgFolder() + "/msg.html"));

    QCOMPARE(form.windowTitle(), QStringLiteral("Quillery 1 | 1.0.5"));
    QCOMPARE(control<ButtonPlus>(form, "cmdButton4")->Caption(), QStringLiteral("Quillery 1"));
    QCOMPARE(control<QComboBox>(form, "cboCategory")->count(), 2);
    QCOMPARE(control<QComboBox>(form, "cboCategory")->itemText(0), QStringLiteral("New"));
    QCOMPARE(control<QComboBox>(form, "cboCategory")->itemText(1), QStringLiteral("Travel"));
    QCOMPARE(control<QComboBox>(form, "cboCategory")->currentIndex(), 0);
    QCOMPARE(form.size(), QSize(1317, 675));
    QCOMPARE(control<QLabel>(form, "lblTitle0")->text(), QStringLiteral(" Choose a template"));
    QCOMPARE(control<QLabel>(form, "lblTitle2")->text(), QStringLiteral(" Export"));
    for (int i = 0; i < 5; ++i)
        QCOMPARE(control<ButtonPlus>(form, "cmdButton", i)->cursor().pixmap().cacheKey(),
                 control<QLabel>(form, "imgLogo")->cursor().pixmap().cacheKey());
    QCOMPARE(control<QLabel>(form, "imgLogo")->cursor().hotSpot(), QPoint(4, 0));
    if (QFile::exists("/usr/share/wine/fonts/tahoma.ttf")) {
        QCOMPARE(QFontInfo(control<ButtonPlus>(form, "cmdButton4")->font()).family(),
                 QStringLiteral("Tahoma"));
        QCOMPARE(QFontInfo(control<QComboBox>(form, "cboCategory")->font()).family(),
                 QStringLiteral("Tahoma"));
    }

    form.show();
    QVERIFY(shown.wait(20000));
    QCOMPARE(shown.first().first().toString(), QStringLiteral("Offer"));
    QVERIFY(!QFileInfo::exists(fixture.msgFolder()));
}

// The first preview's load starts first, and the category page's right after.
void TestForm1Startup::categoryPageFollowsTheFirstPreview()
{
    GalleryFixture fixture;
    fixture.addCategory("0New.html", {"Offer", "Promo"});
    fixture.addTemplate("Offer");

    Form1 form(fixture.appFolder());
    auto* pane = control<BrowserPane>(form, "WebBrowser1");
    QWebEnginePage* preview = control<BrowserPane>(form, "WebBrowser2")->page();
    // Whether the preview was loading when the category page began.
    QList<bool> previewLoading;
    connect(pane->page(), &QWebEnginePage::loadStarted, this,
            [&] { previewLoading << preview->isLoading(); });
    QSignalSpy loaded(pane, &BrowserPane::DocumentComplete);
    form.show();
    QVERIFY(loaded.wait(20000));
    QCOMPARE(previewLoading.value(0, false), true);
    QVERIFY2(pane->url().path().endsWith("/categories/0New.html"), qPrintable(pane->url().path()));
}

void TestForm1Startup::emptyLibrary()
{
    GalleryFixture fixture;
    Form1 form(fixture.appFolder());
    QCOMPARE(control<QComboBox>(form, "cboCategory")->count(), 0);
    QVERIFY(form.currentTemplate().isEmpty());
    QCOMPARE(control<QLabel>(form, "lblTitle1")->text(), QStringLiteral(" Preview"));
    QCOMPARE(form.windowTitle(), QStringLiteral("Quillery 1 | 1.0.5"));
    QCOMPARE(control<SplitterBar>(form, "picSplitter")->x(), 450);
    QVERIFY(!QFileInfo::exists(fixture.msgFolder()));
    // The category pane says what is missing.
    QSignalSpy loaded(control<BrowserPane>(form, "WebBrowser1"), &BrowserPane::DocumentComplete);
    form.show();
    QVERIFY(loaded.wait(20000));
    const QString text =
        evaluate(control<BrowserPane>(form, "WebBrowser1"), "document.body.innerText").toString();
    QVERIFY2(text.contains(fixture.appFolder() + "/categories"), qPrintable(text));
    // Nothing to export: the export buttons are greyed out and do nothing.
    for (int i = 0; i < 3; ++i)
        QVERIFY(!control<ButtonPlus>(form, "cmdButton", i)->isEnabled());
}

// A library folder that is not there: the window opens and says so.
void TestForm1Startup::missingLibrary()
{
    GalleryFixture fixture;
    const QString missing = fixture.appFolder() + "/nope";
    Form1 form(missing);
    QSignalSpy loaded(control<BrowserPane>(form, "WebBrowser1"), &BrowserPane::DocumentComplete);
    form.show();
    QVERIFY(loaded.wait(20000));
    const QString text =
        evaluate(control<BrowserPane>(form, "WebBrowser1"), "document.body.innerText").toString();
    QVERIFY2(text.contains("The library cannot be opened") &&
                 text.contains(missing + " is not a folder") && text.contains("--library"),
             qPrintable(text));
    QVERIFY(!control<ButtonPlus>(form, "cmdButton", 0)->isEnabled());
}

void TestForm1Startup::splitSetting_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("pixels");
    QTest::newRow("missing") << QString() << 450;
    QTest::newRow("250") << "250" << 450;
    QTest::newRow("251") << "251" << 251;
    QTest::newRow("899") << "899" << 899;
    QTest::newRow("900") << "900" << 450;
    QTest::newRow("reset") << "0" << 450;
    QTest::newRow("300px") << "300px" << 300;
    QTest::newRow("301.5") << "301.5" << 302;
}

void TestForm1Startup::splitSetting()
{
    QFETCH(QString, stored);
    QFETCH(int, pixels);
    GalleryFixture fixture;
    if (!stored.isNull())
        QVERIFY(modSettings::WriteSetting("Quillbook1", "Main", "Split", stored));
    Form1 form(fixture.appFolder());
    QCOMPARE(form.geometryModel().picSplitter.left, float(pixels * 15));
    QCOMPARE(control<SplitterBar>(form, "picSplitter")->x(), pixels);
    // The panes sit on either side of the bar from the first layout on.
    QCOMPARE(control<QWidget>(form, "Picture1")->width(), pixels - 16 - 1);
    QCOMPARE(control<QWidget>(form, "Picture2")->x(), pixels + 16 + 1);
}

void TestForm1Startup::siblingMailerButton_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("executable");
    QTest::addColumn<bool>("visible");
    QTest::newRow("not installed") << QString() << false << false;
    QTest::newRow("installed") << "rookpost2" << true << true;
    QTest::newRow("not executable") << "rookpost2" << false << false;
    QTest::newRow("Windows name only") << "rookpost2.exe" << true << false;
}

void TestForm1Startup::siblingMailerButton()
{
    QFETCH(QString, file);
    QFETCH(bool, executable);
    QFETCH(bool, visible);
    GalleryFixture fixture;
    QTemporaryDir install;
    if (!file.isEmpty()) {
        QFile program(install.path() + "/" + file);
        QVERIFY(program.open(QIODevice::WriteOnly));
        program.write("#!/bin/sh\n");
        program.close();
        if (executable)
            program.setPermissions(program.permissions() | QFileDevice::ExeOwner);
        QVERIFY(modSettings::WriteSetting("RookpostInt2", "Main", "Path", install.path()));
    }
    Form1 form(fixture.appFolder());
    form.show();
    QCOMPARE(control<ButtonPlus>(form, "cmdButton2")->isVisible(), visible);
    QCOMPARE(form.GetRPPath().isEmpty(), !visible);
}

void TestForm1Startup::titleAfterActivation()
{
    GalleryFixture fixture;
    Form1 form(fixture.appFolder());
    control<ButtonPlus>(form, "cmdButton4")->setCaption("changed");
    form.show();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QCOMPARE(control<ButtonPlus>(form, "cmdButton4")->Caption(), QStringLiteral("Quillery 1"));
}

void TestForm1Startup::captionIsTheLastLoadingStep()
{
    GalleryFixture fixture;
    fixture.addCategory("Retail.html", {"Offer"});
    fixture.addTemplate("Offer");
    QVERIFY(modSettings::WriteSetting("Quillbook1", "Main", "Split", "333"));
    QTemporaryDir install;
    QFile program(install.path() + "/rookpost2");
    QVERIFY(program.open(QIODevice::WriteOnly));
    program.close();
    program.setPermissions(program.permissions() | QFileDevice::ExeOwner);
    QVERIFY(modSettings::WriteSetting("RookpostInt2", "Main", "Path", install.path()));

    CaptionWatcher watcher;
    watcher.msgFolder = fixture.msgFolder();
    qApp->installEventFilter(&watcher);
    Form1 form(fixture.appFolder());
    qApp->removeEventFilter(&watcher);
    // The designer caption first; the versioned caption once the mailer
    // button, the title button, the first preview and the splitter are done.
    QVERIFY2(watcher.seen.size() >= 2, qPrintable(watcher.seen.join("; ")));
    QVERIFY(watcher.seen.first().startsWith("Quillery 1 | title"));
    QCOMPARE(watcher.seen.last(), QStringLiteral("Quillery 1 | 1.0.5 | title Quillery 1 | split "
                                                 "333 | preview started | mailer shown"));
}

// The widgets follow the layout on every resize, converted at 15 twips a pixel.
void TestForm1Startup::resizeLaysOut()
{
    GalleryFixture fixture;
    Form1 form(fixture.appFolder());
    form.show();
    form.resize(1337, 700);
    QCOMPARE(control<SplitterBar>(form, "picSplitter")->geometry(), QRect(450, 56, 16, 628));
    QCOMPARE(control<QWidget>(form, "Picture1")->geometry(), QRect(16, 112, 433, 572));
    QCOMPARE(control<QWidget>(form, "Picture2")->geometry(), QRect(467, 112, 709, 572));
    QCOMPARE(control<BrowserPane>(form, "WebBrowser2")->geometry(), QRect(-2, -2, 713, 576));
    QCOMPARE(control<ButtonPlus>(form, "cmdButton0")->geometry(), QRect(1192, 112, 129, 121));
    QCOMPARE(control<ButtonPlus>(form, "cmdButton3")->geometry(), QRect(1192, 563, 129, 121));
    QCOMPARE(control<ButtonPlus>(form, "cmdButton4")->geometry(), QRect(16, 16, 1305, 33));
    QCOMPARE(control<QComboBox>(form, "cboCategory")->geometry(), QRect(16, 64, 433, 30));
    QCOMPARE(control<QLabel>(form, "lblTitle2")->pos(), QPoint(1192, 66));
}

QTEST_MAIN(TestForm1Startup)
#include "tst_form1_startup.moc"
