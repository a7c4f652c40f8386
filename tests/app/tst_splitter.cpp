#include "app/galleryfixture.h"

#include "form1.h"
#include "settingsstore.h"
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
};

void TestSplitter::dragToColumn500()
{
    GalleryFixture fixture;
    Form1 form(fixture.appFolder());
    form.show();
    press(form.picSplitter);
    moveTo(form.picSplitter, 500);
    QCOMPARE(form.geometryModel().picSplitter.left, 7500.f);
    QCOMPARE(form.geometryModel().Picture1.width, 7245.f);
    QCOMPARE(form.geometryModel().Picture2.left, 7755.f);
    QCOMPARE(form.picSplitter->x(), 500);
    QCOMPARE(form.Picture1->width(), 483);
    QCOMPARE(form.cboCategory->width(), 483);
    QCOMPARE(form.Picture2->x(), 517);
    // Nothing is stored until the release.
    QVERIFY(storedSplit().isEmpty());
    release(form.picSplitter);
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
    press(form.picSplitter);
    moveTo(form.picSplitter, column);
    release(form.picSplitter);
    QCOMPARE(form.picSplitter->x(), expected);
    QCOMPARE(storedSplit(), QString::number(expected));
}

void TestSplitter::quickJumpIsIgnored()
{
    GalleryFixture fixture;
    Form1 form(fixture.appFolder());
    form.show();
    press(form.picSplitter);
    moveTo(form.picSplitter, 300);
    moveTo(form.picSplitter, 100);
    QCOMPARE(form.picSplitter->x(), 300);
    // Moving slowly stops at the bound instead.
    for (int column = 300; column >= 240; --column)
        moveTo(form.picSplitter, column);
    QCOMPARE(form.picSplitter->x(), 251);
    release(form.picSplitter);
    QCOMPARE(storedSplit(), QStringLiteral("251"));
}

void TestSplitter::pressWithoutMoveStoresPosition()
{
    GalleryFixture fixture;
    Form1 form(fixture.appFolder());
    form.show();
    press(form.picSplitter);
    release(form.picSplitter);
    QCOMPARE(storedSplit(), QStringLiteral("450"));
}

void TestSplitter::movesWithoutPressAreIgnored()
{
    GalleryFixture fixture;
    Form1 form(fixture.appFolder());
    form.show();
    send(form.picSplitter, QEvent::MouseMove, 600, Qt::NoButton);
    QCOMPARE(form.picSplitter->x(), 450);
    press(form.picSplitter);
    moveTo(form.picSplitter, 600);
    release(form.picSplitter);
    send(form.picSplitter, QEvent::MouseMove, 700, Qt::NoButton);
    QCOMPARE(form.picSplitter->x(), 600);
}

void TestSplitter::nextStartReadsDraggedPosition()
{
    GalleryFixture fixture;
    {
        Form1 form(fixture.appFolder());
        form.show();
        press(form.picSplitter);
        moveTo(form.picSplitter, 640);
        release(form.picSplitter);
    }
    Form1 again(fixture.appFolder());
    QCOMPARE(again.picSplitter->x(), 640);
    QCOMPARE(again.geometryModel().picSplitter.left, 640.f * 15);
}

QTEST_MAIN(TestSplitter)
#include "tst_splitter.moc"
