#include "app/fakewindow.h"

#include "viewbar.h"
#include "viewcontroller.h"

#include <QAction>
#include <QApplication>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using PreviewViews::View;

Q_DECLARE_METATYPE(PreviewViews::View)

// The recipients' views without the gallery's window: a view chosen on the bar
// reaches the window, is said to screen readers and is the view of the next start.
class TestViewController : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void startsWithTheDefaultView();
    void chosenViewIsReportedAndKept_data();
    void chosenViewIsReportedAndKept();

private:
    std::unique_ptr<ViewController> makeController();

    std::unique_ptr<QTemporaryDir> m_home;
    std::unique_ptr<FakeWindow> m_window;
};

void TestViewController::init()
{
    m_home = std::make_unique<QTemporaryDir>();
    QVERIFY(m_home->isValid());
    qputenv("XDG_CONFIG_HOME", m_home->filePath(QStringLiteral("config")).toLocal8Bit());
    m_window = std::make_unique<FakeWindow>(m_home->filePath(QStringLiteral("app")),
                                            m_home->filePath(QStringLiteral("own")));
}

void TestViewController::cleanup()
{
    m_window.reset();
    m_home.reset();
}

std::unique_ptr<ViewController> TestViewController::makeController()
{
    return std::make_unique<ViewController>(*m_window, m_window.get());
}

void TestViewController::startsWithTheDefaultView()
{
    auto views = makeController();
    QSignalSpy changed(views.get(), &ViewController::viewChanged);
    QCOMPARE(views->load(), View());
    // What the last session left is shown, not chosen: nothing is said or redrawn.
    QCOMPARE(changed.count(), 0);
    QVERIFY(m_window->announced.isEmpty());
}

void TestViewController::chosenViewIsReportedAndKept_data()
{
    QTest::addColumn<QStringList>("actions");
    QTest::addColumn<View>("expected");

    View phone;
    phone.width = PreviewViews::Width::Phone;
    View darkPhone = phone;
    darkPhone.colours = RecipientView::Colours::Dark;
    View blocked;
    blocked.imagesBlocked = true;
    View plain;
    plain.content = PreviewViews::Content::PlainText;

    QTest::newRow("phone") << QStringList{"viewPhoneAction"} << phone;
    QTest::newRow("phone, then dark")
        << QStringList{"viewPhoneAction", "viewDarkAction"} << darkPhone;
    QTest::newRow("images blocked") << QStringList{"viewImagesBlockedAction"} << blocked;
    QTest::newRow("plain text") << QStringList{"viewPlainTextAction"} << plain;
    QTest::newRow("phone and back")
        << QStringList{"viewPhoneAction", "viewDesktopAction"} << View();
}

void TestViewController::chosenViewIsReportedAndKept()
{
    QFETCH(QStringList, actions);
    QFETCH(View, expected);

    auto views = makeController();
    views->load();
    QSignalSpy changed(views.get(), &ViewController::viewChanged);
    for (const QString& name : actions) {
        auto* action = views->bar()->findChild<QAction*>(name);
        QVERIFY2(action, qPrintable(name));
        action->trigger();
    }
    QCOMPARE(changed.count(), actions.size());
    QCOMPARE(changed.last().at(0).value<View>(), expected);
    QCOMPARE(views->view(), expected);
    QCOMPARE(m_window->announced.size(), actions.size());
    QCOMPARE(m_window->announced.last(), views->bar()->description());

    // The next start shows what this one left.
    views.reset();
    QCOMPARE(makeController()->load(), expected);
}

QTEST_MAIN(TestViewController)
#include "tst_viewcontroller.moc"
