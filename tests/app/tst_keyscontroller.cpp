#include "app/fakewindow.h"
#include "app/galleryfixture.h"

#include "buttonplus.h"
#include "keyscontroller.h"

#include <QApplication>
#include <QComboBox>
#include <QSignalSpy>
#include <QTest>

#include <memory>

// The window's keys without the gallery's window: stepping through a
// category's templates and through the categories, and what is said then.
class TestKeysController : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void stepsThroughTheTemplates_data();
    void stepsThroughTheTemplates();
    void stepsThroughTheCategories_data();
    void stepsThroughTheCategories();

private:
    std::unique_ptr<GalleryFixture> m_fixture;
    std::unique_ptr<FakeWindow> m_window;
    QComboBox* m_categories = nullptr;
    std::unique_ptr<KeysController> m_keys;
};

void TestKeysController::init()
{
    m_fixture = std::make_unique<GalleryFixture>();
    m_fixture->addCategory(
        QStringLiteral("Food.html"),
        {QStringLiteral("Menu"), QStringLiteral("Tasting Night"), QStringLiteral("Wine List")});
    m_window = std::make_unique<FakeWindow>(m_fixture->appFolder(),
                                            m_fixture->dataFolder() + QStringLiteral("/own"));
    m_window->category = QStringLiteral("Food");
    QList<ButtonPlus*> buttons;
    for (int i = 0; i < 5; ++i)
        buttons << new ButtonPlus(i, m_window.get());
    m_categories = new QComboBox(m_window.get());
    m_categories->addItems(
        {QStringLiteral("Food"), QStringLiteral("Retail"), QStringLiteral("Travel")});
    m_keys = std::make_unique<KeysController>(*m_window, m_window.get(), buttons, m_categories,
                                              m_window->categoryPane);
}

void TestKeysController::cleanup()
{
    m_keys.reset();
    m_window.reset();
    m_fixture.reset();
}

void TestKeysController::stepsThroughTheTemplates_data()
{
    QTest::addColumn<QString>("previewed");
    QTest::addColumn<int>("step");
    QTest::addColumn<QString>("selected"); // empty: none
    QTest::addColumn<QString>("said");

    QTest::newRow("down") << "Menu" << 1 << "Tasting Night"
                          << "Preview: Tasting Night, 2 of 3";
    QTest::newRow("up") << "Wine List" << -1 << "Tasting Night"
                        << "Preview: Tasting Night, 2 of 3";
    QTest::newRow("down at the end") << "Wine List" << 1 << QString() << QString();
    QTest::newRow("up at the start") << "Menu" << -1 << QString() << QString();
    // A search result of another category: the page's own first or last one.
    QTest::newRow("down from elsewhere") << "Offer" << 1 << "Menu"
                                         << "Preview: Menu, 1 of 3";
    QTest::newRow("up from elsewhere") << "Offer" << -1 << "Wine List"
                                       << "Preview: Wine List, 3 of 3";
}

void TestKeysController::stepsThroughTheTemplates()
{
    QFETCH(QString, previewed);
    QFETCH(int, step);
    QFETCH(QString, selected);
    QFETCH(QString, said);

    m_window->shownTemplate = previewed;
    m_keys->stepTemplate(step);
    QCOMPARE(m_window->selected, selected.isEmpty() ? QStringList() : QStringList{selected});
    QCOMPARE(m_window->announced, said.isEmpty() ? QStringList() : QStringList{said});
}

void TestKeysController::stepsThroughTheCategories_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("step");
    QTest::addColumn<int>("to");
    QTest::addColumn<QString>("said");

    QTest::newRow("next") << 0 << 1 << 1 << "Category Retail, 2 of 3; preview: Menu";
    QTest::newRow("previous") << 2 << -1 << 1 << "Category Retail, 2 of 3; preview: Menu";
    QTest::newRow("past the last") << 2 << 1 << 2 << QString();
    QTest::newRow("before the first") << 0 << -1 << 0 << QString();
}

void TestKeysController::stepsThroughTheCategories()
{
    QFETCH(int, from);
    QFETCH(int, step);
    QFETCH(int, to);
    QFETCH(QString, said);

    m_categories->setCurrentIndex(from);
    m_window->shownTemplate = QStringLiteral("Menu");
    QSignalSpy chosen(m_keys.get(), &KeysController::categoryChosen);
    m_keys->stepCategory(step);
    QCOMPARE(m_categories->currentIndex(), to);
    QCOMPARE(chosen.count(), said.isEmpty() ? 0 : 1);
    QCOMPARE(m_window->announced, said.isEmpty() ? QStringList() : QStringList{said});
}

QTEST_MAIN(TestKeysController)
#include "tst_keyscontroller.moc"
