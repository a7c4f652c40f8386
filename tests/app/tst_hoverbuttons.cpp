#include "app/galleryfixture.h"
#include "app/urlrecorder.h"
#include "app/windowcontrols.h"

#include "browserpane.h"
#include "buttonplus.h"
#include "core/window/hovertable.h"
#include "form1.h"

#include "splitterbar.h"
#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QEnterEvent>
#include <QSignalSpy>
#include <QTest>

namespace {

void enter(QWidget* button)
{
    QEnterEvent event(QPointF(5, 5), QPointF(5, 5), button->mapToGlobal(QPointF(5, 5)));
    QApplication::sendEvent(button, &event);
}

void leave(QWidget* button)
{
    QEvent event(QEvent::Leave);
    QApplication::sendEvent(button, &event);
}

bool holdsFocus(QWidget* pane)
{
    QWidget* focus = QApplication::focusWidget();
    return focus && (focus == pane || pane->isAncestorOf(focus));
}

} // namespace

class TestHoverButtons : public QObject
{
    Q_OBJECT

private slots:
    void hoverColours_data();
    void hoverColours();
    void colourOutsideTheTable();
    void focusStaysOnCategoryPage();
};

void TestHoverButtons::hoverColours_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<quint32>("base");
    QTest::addColumn<quint32>("hover");
    QTest::newRow("> html") << 0 << 0x000080FFu << 0x0040A0FFu;
    QTest::newRow("> eml") << 1 << 0x000080FFu << 0x0040A0FFu;
    QTest::newRow("> Rookpost") << 2 << 0x00C0C000u << 0x00E0E000u;
    QTest::newRow("More") << 3 << 0x0000C000u << 0x0000D000u;
    QTest::newRow("title") << 4 << 0x00808080u << 0x00909090u;
}

void TestHoverButtons::hoverColours()
{
    QFETCH(int, index);
    QFETCH(quint32, base);
    QFETCH(quint32, hover);
    // With a template to export: an empty library greys the export buttons out.
    GalleryFixture fixture;
    fixture.addCategory("Letters.html", {"Autumn"});
    fixture.addTemplate("Autumn");
    Form1 form(fixture.appFolder());
    ButtonPlus* button = control<ButtonPlus>(form, "cmdButton", index);
    QCOMPARE(button->BackColor(), base);
    enter(button);
    QCOMPARE(button->BackColor(), hover);
    // A second enter does not lighten further.
    enter(button);
    QCOMPARE(button->BackColor(), hover);
    leave(button);
    QCOMPARE(button->BackColor(), base);
    leave(button);
    QCOMPARE(button->BackColor(), base);
    // The face shows the colour it holds.
    form.show();
    const QImage face = button->grab().toImage();
    QCOMPARE(face.pixelColor(2, 2), ButtonPlus::fromColorValue(base));
}

void TestHoverButtons::colourOutsideTheTable()
{
    GalleryFixture fixture;
    Form1 form(fixture.appFolder());
    control<ButtonPlus>(form, "cmdButton0")->setBackColor(0x00FFFFFF);
    enter(control<ButtonPlus>(form, "cmdButton0"));
    QCOMPARE(control<ButtonPlus>(form, "cmdButton0")->BackColor(), 0x00FFFFFFu);
    leave(control<ButtonPlus>(form, "cmdButton0"));
    QCOMPARE(control<ButtonPlus>(form, "cmdButton0")->BackColor(), 0x00FFFFFFu);
}

// A click on a button or into the preview leaves the keyboard focus on the
// category page, and the click itself restores the button's base colour.
void TestHoverButtons::focusStaysOnCategoryPage()
{
    GalleryFixture fixture;
    fixture.addCategory("Retail.html", {"Offer"});
    fixture.addTemplate("Offer");
    UrlRecorder recorder;
    QDesktopServices::setUrlHandler("http", &recorder, "open");
    Form1 form(fixture.appFolder());
    QSignalSpy shown(&form, &Form1::previewShown);
    form.show();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QVERIFY(shown.count() > 0 || shown.wait(20000));

    control<QComboBox>(form, "cboCategory")->setFocus();
    QVERIFY(holdsFocus(control<QComboBox>(form, "cboCategory")));
    enter(control<ButtonPlus>(form, "cmdButton4"));
    QTest::mouseClick(control<ButtonPlus>(form, "cmdButton4"), Qt::LeftButton);
    QCOMPARE(control<ButtonPlus>(form, "cmdButton4")->BackColor(), HoverTable::Grey);
    QVERIFY(holdsFocus(control<BrowserPane>(form, "WebBrowser1")));
    QCOMPARE(recorder.urls.size(), 1);

    control<QComboBox>(form, "cboCategory")->setFocus();
    QTest::mouseClick(control<SplitterBar>(form, "picSplitter"), Qt::LeftButton);
    QVERIFY(holdsFocus(control<BrowserPane>(form, "WebBrowser1")));

    QWidget* preview = control<BrowserPane>(form, "WebBrowser2")->focusProxy();
    QVERIFY(preview);
    control<QComboBox>(form, "cboCategory")->setFocus();
    QTest::mouseClick(preview, Qt::LeftButton, {}, QPoint(40, 40));
    QVERIFY(holdsFocus(control<BrowserPane>(form, "WebBrowser1")));
    QDesktopServices::unsetUrlHandler("http");
}

QTEST_MAIN(TestHoverButtons)
#include "moc_urlrecorder.cpp"
#include "tst_hoverbuttons.moc"
