#include "app/dialogtools.h"
#include "app/galleryfixture.h"
#include "app/pagetools.h"
#include "app/urlrecorder.h"
#include "app/windowcontrols.h"

#include "buttonplus.h"
#include "form1.h"

#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDesktopServices>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <memory>

// Plays the desktop's file manager on the test's own session bus, on a
// connection of its own as a file manager would be, and records what it is asked.
class FileManagerStandIn : public QObject, protected QDBusContext
{
    Q_OBJECT

public:
    QList<QStringList> shown;
    bool failing = false;

public slots:
    void ShowItems(const QStringList& uris, const QString& startupId)
    {
        Q_UNUSED(startupId);
        shown.append(uris);
        if (failing)
            sendErrorReply(QDBusError::Failed, QStringLiteral("no window to show it in"));
    }
};

class FileManagerAdaptor : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")

public:
    explicit FileManagerAdaptor(FileManagerStandIn* standIn)
        : QDBusAbstractAdaptor(standIn), m_standIn(standIn)
    {
    }

public slots:
    void ShowItems(const QStringList& uris, const QString& startupId)
    {
        m_standIn->ShowItems(uris, startupId);
    }

private:
    FileManagerStandIn* m_standIn;
};

// After an export, "Open folder" has the file manager select the file, and
// "Open" opens the file itself.
class TestAfterExport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void openFolderSelectsTheFile_data();
    void openFolderSelectsTheFile();
    void openOpensTheExportedFile_data();
    void openOpensTheExportedFile();

private:
    void openWindow();
    void exportAs(int button, const QString& typed);
    QPushButton* noticeButton(const char* name) const
    {
        return control<QPushButton>(m_form.get(), name);
    }

    QDBusConnection m_standInBus{QString()};
    std::unique_ptr<QObject> m_guard;
    std::unique_ptr<GalleryFixture> m_fixture;
    std::unique_ptr<QTemporaryDir> m_out;
    std::unique_ptr<Form1> m_form;
    UrlRecorder m_opened;
};

void TestAfterExport::initTestCase()
{
    QVERIFY2(!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"),
             "runs on a session bus of its own (dbus-run-session)");
    m_standInBus = QDBusConnection::connectToBus(QDBusConnection::SessionBus,
                                                 QStringLiteral("fileManagerStandIn"));
    QVERIFY(m_standInBus.isConnected());
}

void TestAfterExport::init()
{
    QDesktopServices::setUrlHandler("file", &m_opened, "open");
    m_opened.urls.clear();
    m_guard = std::make_unique<QObject>();
    m_fixture = std::make_unique<GalleryFixture>();
    m_fixture->addCategory(QStringLiteral("Business.html"), {QStringLiteral("Sample")});
    m_fixture->addTemplate(QStringLiteral("Sample"));
    m_out = std::make_unique<QTemporaryDir>();
    QVERIFY(m_out->isValid());
}

void TestAfterExport::cleanup()
{
    m_standInBus.unregisterService(QStringLiteral("org.freedesktop.FileManager1"));
    m_standInBus.unregisterObject(QStringLiteral("/org/freedesktop/FileManager1"));
    m_form.reset();
    m_guard.reset();
    m_out.reset();
    m_fixture.reset();
    QDesktopServices::unsetUrlHandler("file");
}

void TestAfterExport::openWindow()
{
    m_form = std::make_unique<Form1>(m_fixture->appFolder());
    QSignalSpy shown(m_form.get(), &Form1::previewShown);
    m_form->show();
    m_form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    QVERIFY(shown.wait(30000));
}

void TestAfterExport::exportAs(int button, const QString& typed)
{
    chooseInDialog(m_guard.get(), m_out->filePath(typed));
    QTest::mouseClick(control<ButtonPlus>(m_form.get(), "cmdButton", button), Qt::LeftButton);
    m_form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    QVERIFY(control(m_form.get(), "exportNotice")->isVisible());
}

void TestAfterExport::openFolderSelectsTheFile_data()
{
    QTest::addColumn<bool>("fileManager");
    QTest::addColumn<bool>("failing");
    QTest::addColumn<bool>("selected");
    QTest::newRow("a file manager selects it") << true << false << true;
    QTest::newRow("a file manager that fails: the folder") << true << true << false;
    QTest::newRow("none on the bus: the folder") << false << false << false;
}

void TestAfterExport::openFolderSelectsTheFile()
{
    QFETCH(bool, fileManager);
    QFETCH(bool, failing);
    QFETCH(bool, selected);
    FileManagerStandIn standIn;
    standIn.failing = failing;
    new FileManagerAdaptor(&standIn);
    if (fileManager) {
        QVERIFY(m_standInBus.registerObject(QStringLiteral("/org/freedesktop/FileManager1"),
                                            &standIn, QDBusConnection::ExportAdaptors));
        QVERIFY(m_standInBus.registerService(QStringLiteral("org.freedesktop.FileManager1")));
    }
    openWindow();
    QVERIFY(QDir().mkpath(m_out->filePath("news")));
    exportAs(0, QStringLiteral("news/Spring #2.htm"));
    QTest::mouseClick(noticeButton("exportNoticeOpen"), Qt::LeftButton);
    const QString page = m_out->filePath("news/Spring #2.htm");
    if (fileManager)
        QVERIFY(waitUntil([&] { return !standIn.shown.isEmpty(); }));
    if (selected) {
        QCOMPARE(standIn.shown,
                 QList<QStringList>{{QUrl::fromLocalFile(page).toString(QUrl::FullyEncoded)}});
        // Nothing else opened meanwhile: the folder waits for the answer.
        QCOMPARE(m_opened.urls, QList<QUrl>());
    } else {
        QVERIFY(waitUntil([&] { return !m_opened.urls.isEmpty(); }));
        QCOMPARE(m_opened.urls, QList<QUrl>{QUrl::fromLocalFile(m_out->filePath("news"))});
    }
}

void TestAfterExport::openOpensTheExportedFile_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("file");
    QTest::newRow("page") << 0 << "page #1"
                          << "page #1.htm";
    QTest::newRow("message") << 1 << "letter.eml"
                             << "letter.eml";
}

void TestAfterExport::openOpensTheExportedFile()
{
    QFETCH(int, button);
    QFETCH(QString, typed);
    QFETCH(QString, file);
    openWindow();
    exportAs(button, typed);
    QPushButton* open = noticeButton("exportNoticeOpenFile");
    QVERIFY(open->isVisible());
    QCOMPARE(open->text(), QStringLiteral("Open"));
    // Beside "Open folder", inside the notice, with its whole text.
    QVERIFY(open->geometry().left() > noticeButton("exportNoticeOpen")->geometry().right());
    QVERIFY(open->width() >= open->fontMetrics().horizontalAdvance(open->text()));
    QTest::mouseClick(open, Qt::LeftButton);
    QCOMPARE(m_opened.urls, QList<QUrl>{QUrl::fromLocalFile(m_out->filePath(file))});

    // Gone since: the notice says so, and nothing is started.
    QVERIFY(QFile::remove(m_out->filePath(file)));
    QTest::mouseClick(open, Qt::LeftButton);
    QCOMPARE(m_opened.urls.size(), 1);
    const QString text = control<QLabel>(m_form.get(), "exportNoticeText")->text();
    QVERIFY2(text.contains(QLatin1String("could not be opened")), qPrintable(text));
}

QTEST_MAIN(TestAfterExport)
#include "moc_urlrecorder.cpp"
#include "tst_afterexport.moc"
