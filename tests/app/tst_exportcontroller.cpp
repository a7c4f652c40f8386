#include "app/dialogtools.h"
#include "app/fakewindow.h"
#include "app/galleryfixture.h"

#include "exportcontroller.h"

#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// The exports without the gallery's window: where the save dialog starts.
class TestExportController : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void dialogStartsInTheLastSuccessfulFolder_data();
    void dialogStartsInTheLastSuccessfulFolder();
    void refusedFolderIsNotRemembered();
    void cancelRemembersNothing();

private:
    std::unique_ptr<ExportController> makeController();
    // Runs `run` with the save dialog answered by `target` (cancelled when
    // empty); the folder the dialog opened in.
    QString exportTo(const std::function<void()>& run, const QString& target);
    QString out(const QString& name) const { return m_out->filePath(name); }

    std::unique_ptr<QObject> m_guard;
    std::unique_ptr<GalleryFixture> m_fixture;
    std::unique_ptr<QTemporaryDir> m_out;
    std::unique_ptr<FakeWindow> m_window;
    QByteArray m_savedHome;
    QString m_documents;
};

void TestExportController::init()
{
    m_guard = std::make_unique<QObject>();
    m_fixture = std::make_unique<GalleryFixture>();
    m_fixture->addCategory(QStringLiteral("Business.html"), {QStringLiteral("Sample")});
    m_fixture->addTemplate(QStringLiteral("Sample"));
    m_out = std::make_unique<QTemporaryDir>();
    QVERIFY(m_out->isValid());
    m_savedHome = qgetenv("HOME");
    m_documents = out(QStringLiteral("home/Documents"));
    QVERIFY(QDir().mkpath(m_documents));
    qputenv("HOME", QFile::encodeName(out(QStringLiteral("home"))));
    m_window = std::make_unique<FakeWindow>(m_fixture->appFolder(),
                                            m_fixture->dataFolder() + QStringLiteral("/own"));
    m_window->category = QStringLiteral("Business");
    m_window->shownTemplate = QStringLiteral("Sample");
    // A dialog left open by a failed step must not hang the run.
    QTimer::singleShot(60000, m_guard.get(), [] {
        while (QWidget* modal = QApplication::activeModalWidget())
            modal->close();
    });
}

void TestExportController::cleanup()
{
    m_window.reset();
    qputenv("HOME", m_savedHome);
    m_guard.reset();
    m_out.reset();
    m_fixture.reset();
}

std::unique_ptr<ExportController> TestExportController::makeController()
{
    return std::make_unique<ExportController>(*m_window, m_window.get(), m_window->categoryPane,
                                              m_window->categoryPane);
}

QString TestExportController::exportTo(const std::function<void()>& run, const QString& target)
{
    QString folder;
    chooseInDialog(m_guard.get(), target, nullptr, nullptr, &folder);
    run();
    return folder;
}

void TestExportController::dialogStartsInTheLastSuccessfulFolder_data()
{
    QTest::addColumn<bool>("html");
    QTest::newRow("html") << true;
    QTest::newRow("eml") << false;
}

void TestExportController::dialogStartsInTheLastSuccessfulFolder()
{
    QFETCH(bool, html);
    auto exports = makeController();
    const auto run = [&] { html ? exports->exportHtml() : exports->exportEml(); };
    const QString chosen = out(QStringLiteral("Spring #2; 50% [Main]"));
    QVERIFY(QDir().mkpath(chosen));
    const QString target = chosen + (html ? QStringLiteral("/first.htm") : "/first.eml");

    QCOMPARE(exportTo(run, target), m_documents);
    QVERIFY(QFileInfo(target).isFile());
    QCOMPARE(exportTo(run, QString()), chosen);
    // Kept beyond this controller, as for the next start.
    exports = makeController();
    QCOMPARE(exportTo(run, QString()), chosen);
}

void TestExportController::refusedFolderIsNotRemembered()
{
    auto exports = makeController();
    const auto run = [&] { exports->exportHtml(); };
    const QString good = out(QStringLiteral("good"));
    const QString refusing = out(QStringLiteral("refusing"));
    QVERIFY(QDir().mkpath(good));
    QVERIFY(QDir().mkpath(refusing));
    // A file in the way of the images folder refuses the export even to root.
    QFile blocker(refusing + QStringLiteral("/refused_files"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    exportTo(run, good + QStringLiteral("/first.htm"));
    QString refusal;
    whenShown<QMessageBox>(m_guard.get(), [&](QMessageBox* box) {
        refusal = box->text();
        box->accept();
    });
    QCOMPARE(exportTo(run, refusing + QStringLiteral("/refused.htm")), good);
    QVERIFY2(refusal.contains(QStringLiteral("could not be exported")), qPrintable(refusal));
    QVERIFY(!QFileInfo::exists(refusing + QStringLiteral("/refused.htm")));
    QCOMPARE(exportTo(run, QString()), good);
}

void TestExportController::cancelRemembersNothing()
{
    auto exports = makeController();
    QCOMPARE(exportTo([&] { exports->exportEml(); }, QString()), m_documents);
    QVERIFY(QDir(m_documents).isEmpty());
    QCOMPARE(exportTo([&] { exports->exportEml(); }, QString()), m_documents);
}

QTEST_MAIN(TestExportController)
#include "tst_exportcontroller.moc"
