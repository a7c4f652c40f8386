#include "app/dialogtools.h"
#include "app/fakewindow.h"
#include "app/galleryfixture.h"

#include "owntemplatescontroller.h"

#include <QApplication>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// The user's own templates without the gallery's window: which template a
// command refuses, and what the window and the search hear of a change.
class TestOwnTemplatesController : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void refusesWhatIsNotTheUsers_data();
    void refusesWhatIsNotTheUsers();
    void changesReachTheWindow();

private:
    QString sampleMessage() const;

    std::unique_ptr<QObject> m_guard;
    std::unique_ptr<GalleryFixture> m_fixture;
    std::unique_ptr<FakeWindow> m_window;
    std::unique_ptr<OwnTemplatesController> m_own;
};

void TestOwnTemplatesController::init()
{
    m_guard = std::make_unique<QObject>();
    m_fixture = std::make_unique<GalleryFixture>();
    m_fixture->addCategory(QStringLiteral("Business.html"), {QStringLiteral("Sample")});
    m_fixture->addTemplate(QStringLiteral("Sample"));
    m_window = std::make_unique<FakeWindow>(m_fixture->appFolder(),
                                            m_fixture->dataFolder() + QStringLiteral("/own"));
    m_own = std::make_unique<OwnTemplatesController>(*m_window, m_window.get());
    // A box left open by a failed step must not hang the run.
    QTimer::singleShot(60000, m_guard.get(), [] {
        while (QWidget* modal = QApplication::activeModalWidget())
            modal->close();
    });
}

void TestOwnTemplatesController::cleanup()
{
    m_own.reset();
    m_window.reset();
    m_guard.reset();
    m_fixture.reset();
}

QString TestOwnTemplatesController::sampleMessage() const
{
    const QString path = m_fixture->dataFolder() + QStringLiteral("/Offer.eml");
    QFile::remove(path);
    if (!QFile::copy(QStringLiteral(QUILLERY_TEST_DATA "/templateexport/sample.eml"), path))
        return QString();
    return path;
}

void TestOwnTemplatesController::refusesWhatIsNotTheUsers_data()
{
    QTest::addColumn<bool>("renaming");
    QTest::addColumn<QString>("previewed");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("message");

    QTest::newRow("rename, nothing previewed") << true << QString() << "Rename the template"
                                               << "There is no template in the preview to rename.";
    QTest::newRow("remove, nothing previewed") << false << QString() << "Remove the template"
                                               << "There is no template in the preview to remove.";
    QTest::newRow("rename a shipped one")
        << true << "Sample"
        << "Rename the template"
        << "\u201cSample\u201d is a shipped template: only your own templates, added with "
           "Ctrl+O, can be renamed.";
    QTest::newRow("remove a shipped one")
        << false << "Sample"
        << "Remove the template"
        << "\u201cSample\u201d is a shipped template: only your own templates, added with "
           "Ctrl+O, can be removed.";
}

void TestOwnTemplatesController::refusesWhatIsNotTheUsers()
{
    QFETCH(bool, renaming);
    QFETCH(QString, previewed);
    QFETCH(QString, title);
    QFETCH(QString, message);

    m_window->category = QStringLiteral("Business");
    m_window->shownTemplate = previewed;
    QSignalSpy changed(m_own.get(), &OwnTemplatesController::templatesChanged);
    QString seenTitle, seenText;
    whenShown<QMessageBox>(m_guard.get(), [&](QMessageBox* box) {
        seenTitle = box->windowTitle();
        seenText = box->text();
        box->accept();
    });
    renaming ? m_own->rename() : m_own->remove();
    QCOMPARE(seenTitle, title);
    QCOMPARE(seenText, message);
    QCOMPARE(changed.count(), 0);
    QVERIFY(m_window->shownCategories.isEmpty());
}

void TestOwnTemplatesController::changesReachTheWindow()
{
    QSignalSpy changed(m_own.get(), &OwnTemplatesController::templatesChanged);
    QSignalSpy renamed(m_own.get(), &OwnTemplatesController::templateRenamed);
    QSignalSpy removed(m_own.get(), &OwnTemplatesController::templateRemoved);

    const QString file = sampleMessage();
    QVERIFY(!file.isEmpty());
    const Status added = m_own->addTemplate(file, QStringLiteral("Mine"), QStringLiteral("Offer"));
    QVERIFY2(added, qPrintable(added.message()));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(m_window->shownCategories, QStringList{"Mine"});
    QCOMPARE(m_window->selected, QStringList{"Offer"});

    // The window shows the user's category with the new template in the preview.
    m_window->category = QStringLiteral("Mine");
    const QString decomposed = QStringLiteral("Cafe\u0301 Menu");
    const QString composed = QStringLiteral("Caf\u00e9 Menu");
    QVERIFY(m_own->renameTemplate(QStringLiteral("Offer"), decomposed));
    QCOMPARE(renamed.count(), 1);
    QCOMPARE(renamed.first(), (QVariantList{"Offer", decomposed}));
    QCOMPARE(changed.count(), 2);
    QCOMPARE(m_window->shownCategories.last(), QStringLiteral("Mine"));
    QCOMPARE(m_window->selected.last(), composed);

    // A name the library refuses changes nothing and says nothing.
    QVERIFY(!m_own->renameTemplate(composed, QStringLiteral("../Escape")));
    QCOMPARE(renamed.count(), 1);
    QCOMPARE(changed.count(), 2);

    QVERIFY(m_own->removeTemplate(composed));
    QCOMPARE(removed.count(), 1);
    QCOMPARE(removed.first().first().toString(), composed);
    QCOMPARE(changed.count(), 3);
    QCOMPARE(m_window->shownCategories.last(), QStringLiteral("Mine"));
    QVERIFY(!m_window->libraries().isOwnTemplate(composed));
}

QTEST_MAIN(TestOwnTemplatesController)
#include "tst_owntemplatescontroller.moc"
