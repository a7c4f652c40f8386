#include "app/galleryfixture.h"
#include "app/windowcontrols.h"

#include "browserpane.h"
#include "form1.h"

#include <QCursor>
#include <QFile>
#include <QGuiApplication>
#include <QSignalSpy>
#include <QTest>

// The busy pointer: on from the start until the first preview is shown and
// while a preview loads, off once the page is there or will not come.
class TestBusyPointer : public QObject
{
    Q_OBJECT

private slots:
    void untilTheFirstPreview_data();
    void untilTheFirstPreview();
    void whileAPreviewLoads_data();
    void whileAPreviewLoads();
};

namespace {

bool busy()
{
    const QCursor* cursor = QGuiApplication::overrideCursor();
    return cursor && cursor->shape() == Qt::BusyCursor;
}

} // namespace

void TestBusyPointer::untilTheFirstPreview_data()
{
    QTest::addColumn<bool>("withTemplates");
    QTest::newRow("library") << true;
    // Nothing to preview: nothing to wait for.
    QTest::newRow("empty library") << false;
}

void TestBusyPointer::untilTheFirstPreview()
{
    QFETCH(bool, withTemplates);
    GalleryFixture fixture;
    if (withTemplates) {
        fixture.addCategory("Own.html", {"Mine"});
        fixture.addTemplate("Mine");
    }
    {
        Form1 form(fixture.appFolder());
        QSignalSpy shown(&form, &Form1::previewShown);
        QCOMPARE(busy(), withTemplates);
        form.show();
        if (withTemplates) {
            QVERIFY(shown.wait(20000));
            QVERIFY(!busy());
        }
    }
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
}

void TestBusyPointer::whileAPreviewLoads_data()
{
    QTest::addColumn<QString>("choice");
    QTest::addColumn<bool>("pageGoes"); // the page is removed before the engine reads it
    QTest::addColumn<bool>("shows");
    QTest::newRow("template") << "Second" << false << true;
    QTest::newRow("notice of a missing template") << "Missing" << false << true;
    QTest::newRow("failed load") << "Second" << true << false;
}

void TestBusyPointer::whileAPreviewLoads()
{
    QFETCH(QString, choice);
    QFETCH(bool, pageGoes);
    QFETCH(bool, shows);
    GalleryFixture fixture;
    fixture.addCategory("Own.html", {"First", "Second"});
    fixture.addTemplate("First");
    fixture.addTemplate("Second");
    Form1 form(fixture.appFolder());
    QSignalSpy shown(&form, &Form1::previewShown);
    form.show();
    QVERIFY(shown.wait(20000));
    QVERIFY(!busy());

    shown.clear();
    QSignalSpy ended(control<BrowserPane>(form, "WebBrowser2"), &BrowserPane::DownloadComplete);
    form.SelectTemplate(choice);
    QVERIFY(busy());
    if (pageGoes)
        QVERIFY(QFile::remove(fixture.msgFolder() + "/msg.html"));
    if (shows) {
        QVERIFY(shown.wait(20000));
    } else {
        QVERIFY(ended.wait(20000));
        QVERIFY(shown.isEmpty());
    }
    QVERIFY(!busy());
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
}

QTEST_MAIN(TestBusyPointer)
#include "tst_busypointer.moc"
