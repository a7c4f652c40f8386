#include "app/galleryfixture.h"

#include "core/platform/settingsstore.h"
#include "windowplacecontroller.h"

#include <QApplication>
#include <QScreen>
#include <QTest>
#include <QWidget>
#include <QWindow>

#include <memory>

// The window's place without the gallery's window: any window the controller
// places comes back where it was closed, and a second copy's steps aside.
class TestWindowPlaceController : public QObject
{
    Q_OBJECT

private slots:
    void placeIsKeptOnClose_data();
    void placeIsKeptOnClose();
    void secondCopyStepsAside();
};

namespace {

// The name the settings file has on disk: the controller must keep using it.
const QString SettingsKey = QStringLiteral("Quillbook1");

struct PlacedWindow
{
    PlacedWindow() : place(&window) {}
    QWidget window;
    WindowPlaceController place;
};

} // namespace

void TestWindowPlaceController::placeIsKeptOnClose_data()
{
    QTest::addColumn<bool>("maximized");
    QTest::newRow("normal") << false;
    QTest::newRow("maximized") << true;
}

void TestWindowPlaceController::placeIsKeptOnClose()
{
    QFETCH(bool, maximized);
    GalleryFixture fixture;
    const QRect moved(130, 70, 1200, 700);
    {
        PlacedWindow first;
        first.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&first.window));
        first.window.setGeometry(moved);
        QTRY_COMPARE(first.window.geometry(), moved);
        if (maximized) {
            first.window.showMaximized();
            QTRY_VERIFY(first.window.isMaximized());
            QTRY_COMPARE(first.window.geometry(), first.window.screen()->availableGeometry());
        }
        first.window.close();
    }
    QCOMPARE(modSettings::ReadSetting(SettingsKey, "Main", "WindowMaximized"),
             maximized ? QStringLiteral("1") : QStringLiteral("0"));

    PlacedWindow next;
    next.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&next.window));
    // A maximized window comes back maximized, over the place it had before.
    QCOMPARE(next.window.isMaximized(), maximized);
    QCOMPARE(next.window.normalGeometry(), moved);
    // No smaller than the layout needs, on a screen that has room for it.
    QVERIFY(next.window.minimumWidth() > 0 && next.window.minimumHeight() > 0);
}

void TestWindowPlaceController::secondCopyStepsAside()
{
    GalleryFixture fixture;
    const QRect remembered(100, 80, 1200, 700);
    for (const auto& [name, value] : {std::pair<const char*, int>{"WindowLeft", remembered.left()},
                                      {"WindowTop", remembered.top()},
                                      {"WindowWidth", remembered.width()},
                                      {"WindowHeight", remembered.height()}})
        QVERIFY(modSettings::WriteSetting(SettingsKey, "Main", name, QString::number(value)));

    PlacedWindow first;
    QCOMPARE(first.window.geometry(), remembered);
    auto second = std::make_unique<PlacedWindow>();
    QCOMPARE(second->window.geometry(), remembered.translated(32, 32));
    // A copy that has ended gives its place up to the next one.
    second.reset();
    PlacedWindow third;
    QCOMPARE(third.window.geometry(), remembered.translated(32, 32));
}

QTEST_MAIN(TestWindowPlaceController)
#include "tst_windowplacecontroller.moc"
