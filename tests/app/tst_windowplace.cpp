#include "app/galleryfixture.h"
#include "app/windowcontrols.h"

#include "appidentity.h"
#include "core/platform/settingsstore.h"
#include "core/window/layoutmodel.h"
#include "form1.h"
#include "windowplace.h"

#include <QApplication>
#include <QFile>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

#include <cmath>

// The window on a desktop of three screens: a laptop panel of 1366x768 at a
// scale of 2, the primary one, a large monitor to its right and a small
// panel of 1024x600 beyond it.
class TestWindowPlace : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void place_data();
    void place();
    void firstStartFitsTheScreen();
    void minimumKeepsControlsApart_data();
    void minimumKeepsControlsApart();
    void remembersItsPlace_data();
    void remembersItsPlace();
    void offScreenPlaceComesBack();
    void smallScreenOpensMaximized_data();
    void smallScreenOpensMaximized();
    void desktopFileNamesTheEntry();
};

namespace {

const QRect Laptop(0, 0, 683, 384);
const QRect Monitor(683, 0, 1400, 900);
const QRect Netbook(2083, 0, 1024, 600);

void remember(const QRect& place, bool maximized = false)
{
    const auto write = [](const char* name, int value) {
        QVERIFY(
            modSettings::WriteSetting(Form1::SettingsKey, "Main", name, QString::number(value)));
    };
    write("WindowLeft", place.left());
    write("WindowTop", place.top());
    write("WindowWidth", place.width());
    write("WindowHeight", place.height());
    write("WindowMaximized", maximized ? 1 : 0);
}

QList<QRect> availableAreas()
{
    QList<QRect> areas;
    for (const QScreen* screen : QGuiApplication::screens())
        areas << screen->availableGeometry();
    return areas;
}

bool insideSomeScreen(const QRect& rect)
{
    const QList<QRect> areas = availableAreas();
    return std::any_of(areas.begin(), areas.end(),
                       [&](const QRect& area) { return area.contains(rect); });
}

bool inside(const QRect& inner, const QRect& outer)
{
    return inner.isEmpty() || outer.contains(inner);
}

// The controls that have a place of their own on the window: the hidden
// first title and the logo, which only lends its pointer, are left out.
const QStringList PlacedControls = {"cmdButton0", "cmdButton1",  "cmdButton2", "cmdButton3",
                                    "cmdButton4", "cboCategory", "lblTitle1",  "lblTitle2",
                                    "Picture1",   "Picture2",    "picSplitter"};

QString overlapsIn(const Form1& form)
{
    QStringList problems;
    for (int i = 0; i < PlacedControls.size(); ++i) {
        const QRect a = control(form, PlacedControls[i])->geometry();
        if (!inside(a, form.rect()))
            problems << PlacedControls[i] + " leaves the window";
        for (int j = i + 1; j < PlacedControls.size(); ++j) {
            if (a.intersects(control(form, PlacedControls[j])->geometry()))
                problems << PlacedControls[i] + " overlaps " + PlacedControls[j];
        }
    }
    return problems.join(", ");
}

} // namespace

void TestWindowPlace::initTestCase()
{
    QCOMPARE(QGuiApplication::screens().size(), 3);
    QCOMPARE(QGuiApplication::primaryScreen()->availableGeometry(), Laptop);
    QCOMPARE(QGuiApplication::primaryScreen()->devicePixelRatio(), 2.0);
    QCOMPARE(QGuiApplication::screens().at(1)->availableGeometry(), Monitor);
}

void TestWindowPlace::place_data()
{
    QTest::addColumn<QRect>("remembered"); // a null one: nothing remembered
    QTest::addColumn<QRect>("home");
    QTest::addColumn<QRect>("expected");
    const QRect none;
    QTest::newRow("first start, room for the design")
        << none << Monitor << QRect(683 + 41, 112, 1317, 675);
    QTest::newRow("first start, small screen") << none << Laptop << Laptop;
    QTest::newRow("remembered, on a screen")
        << QRect(800, 50, 1200, 700) << Laptop << QRect(800, 50, 1200, 700);
    QTest::newRow("remembered, smaller than the minimum")
        << QRect(800, 50, 300, 200) << Laptop << QRect(800, 50, 1077, 626);
    QTest::newRow("remembered, partly off its screen")
        << QRect(1500, 500, 1100, 650) << Laptop << QRect(983, 250, 1100, 650);
    QTest::newRow("remembered, mostly on the second screen")
        << QRect(500, 10, 1100, 650) << Laptop << QRect(683, 10, 1100, 650);
    QTest::newRow("remembered, larger than its screen")
        << QRect(700, 0, 1600, 1000) << Laptop << Monitor;
    QTest::newRow("remembered, on a monitor that is gone")
        << QRect(3000, 100, 1100, 650) << Monitor << QRect(833, 125, 1100, 650);
    QTest::newRow("remembered, too large for the only screen left")
        << QRect(-2000, 0, 1200, 700) << Laptop << Laptop;
}

void TestWindowPlace::place()
{
    QFETCH(QRect, remembered);
    QFETCH(QRect, home);
    QFETCH(QRect, expected);
    const std::optional<QRect> stored =
        remembered.isNull() ? std::nullopt : std::optional<QRect>(remembered);
    QCOMPARE(
        WindowPlace::place(stored, QSize(1317, 675), QSize(1077, 626), {Laptop, Monitor}, home),
        expected);
}

// Nothing remembered: the designed size is far too large for the laptop at
// a scale of 2, so the window takes the whole available area and all of it
// can be reached, the export column included.
void TestWindowPlace::firstStartFitsTheScreen()
{
    GalleryFixture fixture;
    fixture.addCategory("Own.html", {"Mine"});
    fixture.addTemplate("Mine");
    Form1 form(fixture.appFolder());
    QSignalSpy shown(&form, &Form1::previewShown);
    form.show();
    QVERIFY(shown.wait(20000));
    QCOMPARE(form.screen()->availableGeometry(), Laptop);
    QCOMPARE(form.geometry(), Laptop);
    QVERIFY(form.minimumWidth() <= Laptop.width() && form.minimumHeight() <= Laptop.height());
    for (int i = 0; i < 5; ++i) {
        const QWidget* button = control(form, "cmdButton", i);
        if (!button->isHidden())
            QVERIFY(Laptop.contains(QRect(button->mapToGlobal(QPoint()), button->size())));
    }

    // On the monitor the whole minimum applies again, and back on the laptop
    // the window can be as small as that screen.
    const LayoutModel::TwipSize minimum = LayoutModel::minimumScale();
    const QSize layoutMinimum(int(minimum.width / LayoutModel::TwipsPerPixel),
                              int(minimum.height / LayoutModel::TwipsPerPixel));
    form.setGeometry(QRect(Monitor.topLeft() + QPoint(50, 50), QSize(1200, 700)));
    QTRY_COMPARE(form.screen()->availableGeometry(), Monitor);
    QCOMPARE(form.minimumSize(), layoutMinimum);
    form.setGeometry(Laptop);
    QTRY_COMPARE(form.screen()->availableGeometry(), Laptop);
    QCOMPARE(form.minimumSize(), Laptop.size());
}

void TestWindowPlace::minimumKeepsControlsApart_data()
{
    QTest::addColumn<int>("split");
    QTest::newRow("splitter leftmost") << LayoutModel::MinSplitPixels;
    QTest::newRow("splitter rightmost") << LayoutModel::MaxSplitPixels;
}

// A remembered size below the minimum opens at the minimum, on the monitor,
// where the minimum fits; there every control keeps clear of the others.
// One pixel lower and "More" would run into the button above it, so the
// minimum height is no larger than it needs to be.
void TestWindowPlace::minimumKeepsControlsApart()
{
    QFETCH(int, split);
    GalleryFixture fixture;
    QVERIFY(modSettings::WriteSetting(Form1::SettingsKey, "Main", "Split", QString::number(split)));
    remember(QRect(Monitor.topLeft() + QPoint(20, 20), QSize(200, 100)));
    Form1 form(fixture.appFolder());
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(form.screen()->availableGeometry(), Monitor);
    QCOMPARE(form.size(), form.minimumSize());
    QCOMPARE(control(form, "picSplitter")->x(), split);
    const QString problems = overlapsIn(form);
    QVERIFY2(problems.isEmpty(), qPrintable(problems));

    const LayoutModel::TwipSize minimum = LayoutModel::minimumScale();
    QCOMPARE(form.minimumSize(), QSize(int(minimum.width / LayoutModel::TwipsPerPixel),
                                       int(minimum.height / LayoutModel::TwipsPerPixel)));
    auto lower = LayoutModel::Form1Geometry::design();
    LayoutModel::PaintUI(lower, minimum.width, minimum.height - LayoutModel::TwipsPerPixel);
    // One pixel less and the command column leaves its design places, closing
    // up so that no button lies over another.
    const auto design = LayoutModel::Form1Geometry::design();
    QVERIFY(lower.cmdButton[1].top != design.cmdButton[1].top);
    for (int i = 0; i < 3; ++i)
        QVERIFY(lower.cmdButton[i + 1].top >= lower.cmdButton[i].top + lower.cmdButton[i].height);
}

void TestWindowPlace::remembersItsPlace_data()
{
    QTest::addColumn<bool>("maximized");
    QTest::newRow("normal") << false;
    QTest::newRow("maximized") << true;
    QTest::newRow("maximized by the desktop") << true;
}

// Moved and resized, closed, opened again on the same settings: the window
// comes back where it was left, maximized again if it was.
void TestWindowPlace::remembersItsPlace()
{
    QFETCH(bool, maximized);
    GalleryFixture fixture;
    const QRect moved(Monitor.left() + 100, 60, 1150, 700);
    // Started on the monitor: the laptop is too small not to open maximized.
    remember(QRect(Monitor.topLeft() + QPoint(20, 20), QSize(1200, 700)));
    {
        Form1 form(fixture.appFolder());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.setGeometry(moved);
        QTRY_COMPARE(form.geometry(), moved);
        if (QByteArray(QTest::currentDataTag()) == "maximized by the desktop") {
            // As a window manager does it: the toolkit learns only the new state.
            form.windowHandle()->setWindowStates(Qt::WindowMaximized);
            QTRY_VERIFY(form.isMaximized());
            QTRY_COMPARE(form.geometry(), Monitor);
        } else if (maximized) {
            form.showMaximized();
            QTRY_VERIFY(form.isMaximized());
            QTRY_COMPARE(form.geometry(), Monitor);
        }
        QVERIFY(form.close());
    }
    Form1 again(fixture.appFolder());
    again.show();
    QVERIFY(QTest::qWaitForWindowExposed(&again));
    QCOMPARE(again.isMaximized(), maximized);
    QCOMPARE(again.normalGeometry(), moved);
    QTRY_COMPARE(again.geometry(), maximized ? Monitor : moved);
    QCOMPARE(again.screen()->availableGeometry(), Monitor);
}

// The monitor the window was left on has been unplugged: the window opens
// on a screen there is, whole.
void TestWindowPlace::offScreenPlaceComesBack()
{
    GalleryFixture fixture;
    remember(QRect(5000, 3000, 600, 300));
    Form1 form(fixture.appFolder());
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QVERIFY2(insideSomeScreen(form.geometry()), qPrintable(QDebug::toString(form.geometry())));
    QCOMPARE(form.size(), QSize(600, 300).expandedTo(form.minimumSize()));
}

void TestWindowPlace::smallScreenOpensMaximized_data()
{
    QTest::addColumn<QRect>("screen");
    QTest::newRow("1366x768 at scale 2") << Laptop;
    QTest::newRow("1024x600") << Netbook;
}

// A screen smaller than the layout's minimum: the window takes the whole of
// it, maximized, with its title bar on screen, and the splitter moves left in
// proportion, so that the preview keeps a useful width.
void TestWindowPlace::smallScreenOpensMaximized()
{
    QFETCH(QRect, screen);
    GalleryFixture fixture;
    fixture.addCategory("Own.html", {"Mine"});
    fixture.addTemplate("Mine");
    remember(QRect(screen.topLeft() + QPoint(10, 10), QSize(500, 300)));
    Form1 form(fixture.appFolder());
    QSignalSpy shown(&form, &Form1::previewShown);
    form.show();
    QVERIFY(shown.wait(20000));
    QCOMPARE(form.screen()->availableGeometry(), screen);
    QVERIFY(form.isMaximized());
    QTRY_COMPARE(form.geometry(), screen);
    const LayoutModel::TwipSize minimum = LayoutModel::minimumScale();
    const int least = int(std::lround(minimum.width / LayoutModel::TwipsPerPixel));
    QCOMPARE(control(form, "picSplitter")->x(),
             int(std::lround(double(LayoutModel::DefaultSplitPixels) * screen.width() / least)));
    QVERIFY2(control(form, "Picture2")->width() >= 200,
             qPrintable(QString::number(control(form, "Picture2")->width())));
    // The command column shares the height there is: "More" stays off the
    // exports, inside the window, and each button is tall enough for its caption.
    for (int i = 0; i < 4; ++i) {
        const QWidget* button = control(form, "cmdButton", i);
        QVERIFY2(inside(button->geometry(), form.rect()), qPrintable(button->objectName()));
        QVERIFY2(button->height() >= button->fontMetrics().height(),
                 qPrintable(button->objectName()));
        if (i < 3) {
            const QRect below = control(form, "cmdButton", i + 1)->geometry();
            QVERIFY2(!button->geometry().intersects(below),
                     qPrintable(QStringLiteral("%1 %2 overlaps %3")
                                    .arg(button->objectName(), QDebug::toString(button->geometry()),
                                         QDebug::toString(below))));
        }
    }
    // The stored place is the user's, not the one shown in the narrow window.
    QVERIFY(form.close());
    QCOMPARE(modSettings::ReadSetting(Form1::SettingsKey, "Main", "Split"), QString());
}

// The desktop finds the window's entry, and so its icon and name, by this name.
void TestWindowPlace::desktopFileNamesTheEntry()
{
    AppIdentity::apply();
    const QString entry = QStringLiteral(QUILLERY_SOURCE_DIR "/dist/") +
                          QGuiApplication::desktopFileName() + QStringLiteral(".desktop");
    QVERIFY2(QFile::exists(entry), qPrintable(entry));
    QVERIFY(!QApplication::windowIcon().isNull());
}

int main(int argc, char* argv[])
{
    // The screens are this test's own, whatever platform the others run on.
    QTemporaryDir folder;
    QFile config(folder.filePath("screens.json"));
    // No frames: where a frame goes is the window manager's business.
    if (!config.open(QIODevice::WriteOnly) ||
        config.write(R"({"windowFrameMargins": false, "screens": [
            {"name": "laptop", "x": 0, "y": 0, "width": 683, "height": 384, "dpr": 2},
            {"name": "monitor", "x": 683, "y": 0, "width": 1400, "height": 900, "dpr": 1},
            {"name": "netbook", "x": 2083, "y": 0, "width": 1024, "height": 600, "dpr": 1}]})") < 0)
        return 1;
    config.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.fileName().toLocal8Bit());
    QApplication app(argc, argv);
    TestWindowPlace test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_windowplace.moc"
