#include "app/galleryfixture.h"
#include "app/windowcontrols.h"

#include "core/platform/settingsstore.h"
#include "form1.h"
#include "splitterbar.h"

#include <QApplication>
#include <QComboBox>
#include <QMouseEvent>
#include <QTest>

namespace {

// Pointer events as the bar receives them while it holds the pointer: the
// position is relative to the bar and may lie outside it.
void send(QWidget* bar, QEvent::Type type, int windowColumn, Qt::MouseButtons held)
{
    const QPointF local(windowColumn - bar->x(), 10);
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, local, bar->mapToGlobal(local), button, held, Qt::NoModifier);
    QApplication::sendEvent(bar, &event);
}

void press(QWidget* bar)
{
    send(bar, QEvent::MouseButtonPress, bar->x() + 8, Qt::LeftButton);
}

void moveTo(QWidget* bar, int column)
{
    send(bar, QEvent::MouseMove, column, Qt::LeftButton);
}

void release(QWidget* bar)
{
    send(bar, QEvent::MouseButtonRelease, bar->x() + 8, Qt::NoButton);
}

QString storedSplit()
{
    return modSettings::ReadSetting("Quillbook1", "Main", "Split");
}

} // namespace

class TestSplitter : public QObject
{
    Q_OBJECT

private slots:
    void dragToColumn500();
    void bounds_data();
    void bounds();
    void quickJumpIsIgnored();
    void pressWithoutMoveStoresPosition();
    void movesWithoutPressAreIgnored();
    void nextStartReadsDraggedPosition();
    void showsWestEastPointer();
};

void TestSplitter::dragToColumn500()
{
    GalleryFixture fixture;
    Form1 form(fixture.appFolder());
    form.show();
    press(control<SplitterBar>(form, "picSplitter"));
    moveTo(control<SplitterBar>(form, "picSplitter"), 500);
    QCOMPARE(form.geometryModel().picSplitter.left, 7500.f);
    QCOMPARE(form.geometryModel().Picture1.width, 7245.f);
    QCOMPARE(form.geometryModel().Picture2.left, 7755.f);
    QCOMPARE(control<SplitterBar>(form, "picSplitter")->x(), 500);
    QCOMPARE(control<QWidget>(form, "Picture1")->width(), 483);
    QCOMPARE(control<QComboBox>(form, "cboCategory")->width(), 483);
    QCOMPARE(control<QWidget>(form, "Picture2")->x(), 517);
    // Nothing is stored until the release.
    QVERIFY(storedSplit().isEmpty());
    release(control<SplitterBar>(form, "picSplitter"));
    QCOMPARE(storedSplit(), QStringLiteral("500"));
}

void TestSplitter::bounds_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("expected");
    QTest::newRow("251 accepted") << 251 << 251;
    QTest::newRow("250 refused") << 250 << 450;
    QTest::newRow("899 accepted") << 899 << 899;
    QTest::newRow("900 refused") << 900 << 450;
}

void TestSplitter::bounds()
{
    QFETCH(int, column);
    QFETCH(int, expected);
    GalleryFixture fixture;
    Form1 form(fixture.appFolder());
    form.show();
    press(control<SplitterBar>(form, "picSplitter"));
    moveTo(control<SplitterBar>(form, "picSplitter"), column);
    release(control<SplitterBar>(form, "picSplitter"));
    QCOMPARE(control<SplitterBar>(form, "picSplitter")->x(), expected);
    QCOMPARE(storedSplit(), QString::number(expected));
}

void TestSplitter::quickJumpIsIgnored()
{
    GalleryFixture fixture;
    Form1 form(fixture.appFolder());
    form.show();
    press(control<SplitterBar>(form, "picSplitter"));
    moveTo(control<SplitterBar>(form, "picSplitter"), 300);
    moveTo(control<SplitterBar>(form, "picSplitter"), 100);
    QCOMPARE(control<SplitterBar>(form, "picSplitter")->x(), 300);
    // Moving slowly stops at the bound instead.
    for (int column = 300; column >= 240; --column)
        moveTo(control<SplitterBar>(form, "picSplitter"), column);
    QCOMPARE(control<SplitterBar>(form, "picSplitter")->x(), 251);
    release(control<SplitterBar>(form, "picSplitter"));
    QCOMPARE(storedSplit(), QStringLiteral("251"));
}

void TestSplitter::pressWithoutMoveStoresPosition()
{
    GalleryFixture fixture;
    Form1 form(fixture.appFolder());
    form.show();
    press(control<SplitterBar>(form, "picSplitter"));
    release(control<SplitterBar>(form, "picSplitter"));
    QCOMPARE(storedSplit(), QStringLiteral("450"));
}

void TestSplitter::movesWithoutPressAreIgnored()
{
    GalleryFixture fixture;
    Form1 form(fixture.appFolder());
    form.show();
    send(control<SplitterBar>(form, "picSplitter"), QEvent::MouseMove, 600, Qt::NoButton);
    QCOMPARE(control<SplitterBar>(form, "picSplitter")->x(), 450);
    press(control<SplitterBar>(form, "picSplitter"));
    moveTo(control<SplitterBar>(form, "picSplitter"), 600);
    release(control<SplitterBar>(form, "picSplitter"));
    send(control<SplitterBar>(form, "picSplitter"), QEvent::MouseMove, 700, Qt::NoButton);
    QCOMPARE(control<SplitterBar>(form, "picSplitter")->x(), 600);
}

void TestSplitter::nextStartReadsDraggedPosition()
{
    GalleryFixture fixture;
    {
        Form1 form(fixture.appFolder());
        form.show();
        press(control<SplitterBar>(form, "picSplitter"));
        moveTo(control<SplitterBar>(form, "picSplitter"), 640);
        release(control<SplitterBar>(form, "picSplitter"));
    }
    Form1 again(fixture.appFolder());
    QCOMPARE(control<SplitterBar>(again, "picSplitter")->x(), 640);
    QCOMPARE(again.geometryModel().picSplitter.left, 640.f * 15);
}

// The bar says what it does before it is pressed: it sizes west and east.
void TestSplitter::showsWestEastPointer()
{
    GalleryFixture fixture;
    Form1 form(fixture.appFolder());
    QCOMPARE(control<SplitterBar>(form, "picSplitter")->cursor().shape(), Qt::SizeHorCursor);
}

QTEST_MAIN(TestSplitter)
#include "tst_splitter.moc"
