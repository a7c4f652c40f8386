#include "app/fakewindow.h"

#include "searchcontroller.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

// The search and the recent templates, without the gallery's window: what the
// recent list keeps, and that it is the same after a restart.
class TestSearchController : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void onlyChosenPreviewsAreRecent();
    void recentListIsBounded();
    void recentIsStoredOnceTheClicksPause();
    void recentFollowsRenamesAndRemovals_data();
    void recentFollowsRenamesAndRemovals();

private:
    std::unique_ptr<SearchController> makeController();

    std::unique_ptr<QTemporaryDir> m_home;
    std::unique_ptr<FakeWindow> m_window;
};

void TestSearchController::init()
{
    m_home = std::make_unique<QTemporaryDir>();
    QVERIFY(m_home->isValid());
    qputenv("XDG_CONFIG_HOME", m_home->filePath(QStringLiteral("config")).toLocal8Bit());
    qputenv("XDG_CACHE_HOME", m_home->filePath(QStringLiteral("cache")).toLocal8Bit());
    m_window = std::make_unique<FakeWindow>(m_home->filePath(QStringLiteral("app")),
                                            m_home->filePath(QStringLiteral("own")));
}

void TestSearchController::cleanup()
{
    m_window.reset();
    m_home.reset();
}

std::unique_ptr<SearchController> TestSearchController::makeController()
{
    return std::make_unique<SearchController>(*m_window, m_window->categoryPane);
}

void TestSearchController::onlyChosenPreviewsAreRecent()
{
    auto search = makeController();
    // The first template of a category, shown by the start or a category change.
    search->previewShown(QStringLiteral("Offer"), false);
    QVERIFY(search->recent().isEmpty());
    search->previewShown(QStringLiteral("Menu"), true);
    search->previewShown(QStringLiteral("Offer"), true);
    // A view switch shows the same template again.
    search->previewShown(QStringLiteral("Offer"), true);
    search->previewShown(QStringLiteral("Menu"), true);
    QCOMPARE(search->recent(), QStringList({"Menu", "Offer"}));
    search.reset();
    QCOMPARE(makeController()->recent(), QStringList({"Menu", "Offer"}));
}

void TestSearchController::recentListIsBounded()
{
    auto search = makeController();
    QStringList latestFirst;
    for (int i = 0; i < 15; ++i) {
        const QString name = QStringLiteral("Template %1").arg(i);
        search->previewShown(name, true);
        latestFirst.prepend(name);
    }
    QCOMPARE(search->recent(), latestFirst.mid(0, 12));
    search.reset();
    QCOMPARE(makeController()->recent(), latestFirst.mid(0, 12));
}

// The write waits for the clicks to pause, and then comes without a close:
// another copy started meanwhile reads the list.
void TestSearchController::recentIsStoredOnceTheClicksPause()
{
    auto search = makeController();
    auto* delay = search->findChild<QTimer*>(QStringLiteral("recentStoreDelay"));
    QVERIFY(delay);
    QSignalSpy stored(delay, &QTimer::timeout);
    search->previewShown(QStringLiteral("Menu"), true);
    search->previewShown(QStringLiteral("Offer"), true);
    QVERIFY(stored.wait(5000));
    QCOMPARE(stored.count(), 1);
    QCOMPARE(makeController()->recent(), QStringList({"Offer", "Menu"}));
}

void TestSearchController::recentFollowsRenamesAndRemovals_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("renamedTo");
    QTest::addColumn<QStringList>("expected");

    // The list starts as Menu, Offer, Summer Sale.
    QTest::newRow("renamed keeps its place")
        << "Offer"
        << "Autumn Offer" << QStringList{"Menu", "Autumn Offer", "Summer Sale"};
    QTest::newRow("renamed to a recent name leaves once")
        << "Offer"
        << "Menu" << QStringList{"Menu", "Summer Sale"};
    QTest::newRow("renamed, not recent")
        << "Tasting"
        << "Tasting Night" << QStringList{"Menu", "Offer", "Summer Sale"};
    QTest::newRow("removed") << "Summer Sale" << QString() << QStringList{"Menu", "Offer"};
    QTest::newRow("removed, not recent")
        << "Tasting" << QString() << QStringList{"Menu", "Offer", "Summer Sale"};
    QTest::newRow("name with spaces and percent")
        << "Menu"
        << "50% off, today" << QStringList{"50% off, today", "Offer", "Summer Sale"};
}

void TestSearchController::recentFollowsRenamesAndRemovals()
{
    QFETCH(QString, name);
    QFETCH(QString, renamedTo);
    QFETCH(QStringList, expected);

    auto search = makeController();
    for (const char* shown : {"Summer Sale", "Offer", "Menu"})
        search->previewShown(QString::fromUtf8(shown), true);
    search->forgetRecent(name, renamedTo);
    QCOMPARE(search->recent(), expected);
    search.reset();
    // The next start reads what the last one left.
    QCOMPARE(makeController()->recent(), expected);
}

QTEST_MAIN(TestSearchController)
#include "tst_searchcontroller.moc"
