#include "app/dialogtools.h"
#include "app/galleryfixture.h"
#include "app/pagetools.h"
#include "app/windowcontrols.h"

#include "buttonplus.h"
#include "core/gallery/library/templatedecoding.h"
#include "core/platform/settingsstore.h"
#include "form1.h"

#include <QApplication>
#include <QEventLoop>
#include <QFileDialog>
#include <QMessageBox>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineProfile>

#include <functional>
#include <memory>

namespace {

struct MessageSeen
{
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString details;
};

void recordMessage(QObject* context, MessageSeen* seen)
{
    whenShown<QMessageBox>(context, [seen](QMessageBox* box) {
        seen->title = box->windowTitle();
        seen->text = box->text();
        seen->icon = box->icon();
        seen->details = box->detailedText();
        box->accept();
    });
}

// The page as the engine shows it: every image's address and whether it drew.
QVariantList imagesOf(const QString& pagePath)
{
    QWebEngineProfile profile;
    auto page = std::make_unique<QWebEnginePage>(&profile);
    QSignalSpy loaded(page.get(), &QWebEnginePage::loadFinished);
    page->load(QUrl::fromLocalFile(pagePath));
    if (!loaded.wait(30000) || !loaded.first().first().toBool())
        return {};
    QVariantList images;
    QEventLoop loop;
    page->runJavaScript(QStringLiteral("Array.from(document.images).map("
                                       "i => [i.src, i.complete && i.naturalWidth > 0])"),
                        [&](const QVariant& result) {
                            images = result.toList();
                            loop.quit();
                        });
    QTimer::singleShot(20000, &loop, &QEventLoop::quit);
    loop.exec();
    page.reset();
    return images;
}

// Each image of the page is a drawn file inside `folder`.
void verifyImagesFrom(const QString& pagePath, const QString& folder)
{
    const QVariantList images = imagesOf(pagePath);
    QVERIFY2(!images.isEmpty(), qPrintable(pagePath));
    for (const QVariant& image : images) {
        const QVariantList pair = image.toList();
        const QString file = QUrl(pair.at(0).toString()).toLocalFile();
        QVERIFY2(file.startsWith(folder + QLatin1Char('/')), qPrintable(pair.at(0).toString()));
        QVERIFY2(QFileInfo(file).isFile(), qPrintable(file));
        QVERIFY2(pair.at(1).toBool(), qPrintable(file));
    }
}

QStringList entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

} // namespace

class TestExports : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void htmlPageShowsItsImages_data();
    void htmlPageShowsItsImages();
    void emlIsTheDecodedMessage();
    void cancelWritesNothing_data();
    void cancelWritesNothing();
    void missingTemplateIsReportedBeforeAsking_data();
    void missingTemplateIsReportedBeforeAsking();
    void blockedImagesFolderIsReported();
    void failureSaysWhyInWords_data();
    void failureSaysWhyInWords();
    void saveDialogStartsInTheLastExportFolder_data();
    void saveDialogStartsInTheLastExportFolder();
    void handoffStartsTheMailerWithThePage();
    void handoffOfADamagedTemplateWarnsAfterStartingTheMailer();
    void handoffWithoutTheMailerSaysSo();

private:
    void openWindow();
    QString out(const QString& name) const { return m_out->filePath(name); }

    std::unique_ptr<QObject> m_guard;
    std::unique_ptr<GalleryFixture> m_fixture;
    std::unique_ptr<QTemporaryDir> m_out;
    std::unique_ptr<Form1> m_form;
    QString m_mailerFolder;
};

void TestExports::init()
{
    m_guard = std::make_unique<QObject>();
    m_fixture = std::make_unique<GalleryFixture>();
    m_fixture->addCategory(QStringLiteral("Business.html"), {QStringLiteral("Sample")});
    m_fixture->addTemplate(QStringLiteral("Sample"));
    m_out = std::make_unique<QTemporaryDir>();
    QVERIFY(m_out->isValid());
    // A fake sibling mailer in a folder with a blank: it records its arguments.
    m_mailerFolder = m_out->filePath(QStringLiteral("Rook Post"));
    QVERIFY(QDir().mkpath(m_mailerFolder));
    const QString mailer = m_mailerFolder + QStringLiteral("/rookpost2");
    QFile script(mailer);
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$0.tmp\" && mv \"$0.tmp\" \"$0.args\"\n");
    script.close();
    QVERIFY(script.setPermissions(script.permissions() | QFileDevice::ExeOwner));
    QVERIFY(modSettings::WriteSetting(QStringLiteral("RookpostInt2"), QStringLiteral("Main"),
                                      QStringLiteral("Path"), m_mailerFolder));
    // A dialog left open by a failed step must not hang the run.
    QTimer::singleShot(60000, m_guard.get(), [] {
        while (QWidget* modal = QApplication::activeModalWidget())
            modal->close();
    });
}

void TestExports::openWindow()
{
    m_form = std::make_unique<Form1>(m_fixture->appFolder());
    QSignalSpy shown(m_form.get(), &Form1::previewShown);
    m_form->show();
    QVERIFY(shown.wait(30000));
    QCOMPARE(m_form->currentTemplate(), QStringLiteral("Sample"));
}

void TestExports::cleanup()
{
    m_form.reset();
    m_guard.reset();
    m_out.reset();
    m_fixture.reset();
}

void TestExports::htmlPageShowsItsImages_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("imagesFolder");
    QTest::newRow("proposed name") << "Sample.htm"
                                   << "Sample.htm"
                                   << "Sample_files";
    QTest::newRow("no extension") << "Sample"
                                  << "Sample.htm"
                                  << "Sample_files";
    QTest::newRow("news.html") << "news.html"
                               << "news.html"
                               << "news_files";
    QTest::newRow("Offer.HTM") << "Offer.HTM"
                               << "Offer.HTM"
                               << "Offer_files";
    QTest::newRow("blank and hash") << "Spring #2.htm"
                                    << "Spring #2.htm"
                                    << "Spring #2_files";
}

void TestExports::htmlPageShowsItsImages()
{
    QFETCH(QString, typed);
    QFETCH(QString, page);
    QFETCH(QString, imagesFolder);
    openWindow();
    QString title, proposed;
    chooseInDialog(m_guard.get(), out(typed), &title, &proposed);
    QTest::mouseClick(control<ButtonPlus>(*m_form, "cmdButton0"), Qt::LeftButton);
    QCOMPARE(title, QStringLiteral("Export as html"));
    QCOMPARE(proposed, QStringLiteral("Sample.htm"));
    QVERIFY(QFileInfo(out(page)).isFile());
    QVERIFY(QFileInfo(out(imagesFolder)).isDir());
    verifyImagesFrom(out(page), out(imagesFolder));
}

void TestExports::emlIsTheDecodedMessage()
{
    openWindow();
    QString title, proposed;
    chooseInDialog(m_guard.get(), out(QStringLiteral("letter")), &title, &proposed);
    QTest::mouseClick(control<ButtonPlus>(*m_form, "cmdButton1"), Qt::LeftButton);
    QCOMPARE(title, QStringLiteral("Export as eml"));
    QCOMPARE(proposed, QStringLiteral("Sample.eml"));
    QFile library(m_fixture->appFolder() + QStringLiteral("/templates/Sample.dat"));
    QVERIFY(library.open(QIODevice::ReadOnly));
    const auto message = Module1::unpackTemplate(library.readAll());
    QVERIFY(message);
    QFile exported(out(QStringLiteral("letter.eml")));
    QVERIFY(exported.open(QIODevice::ReadOnly));
    QCOMPARE(exported.readAll(), *message);
}

void TestExports::cancelWritesNothing_data()
{
    QTest::addColumn<int>("button");
    QTest::newRow("html") << 0;
    QTest::newRow("eml") << 1;
}

void TestExports::cancelWritesNothing()
{
    QFETCH(int, button);
    openWindow();
    const QStringList outBefore = entries(out(QString()));
    const QStringList appBefore = entries(m_fixture->appFolder());
    const QStringList hereBefore = entries(QDir::currentPath());
    bool asked = false;
    whenShown<QFileDialog>(m_guard.get(), [&](QFileDialog* dialog) {
        asked = true;
        dialog->reject();
    });
    QTest::mouseClick(control<ButtonPlus>(*m_form, "cmdButton", button), Qt::LeftButton);
    QVERIFY(asked);
    QCOMPARE(entries(out(QString())), outBefore);
    QCOMPARE(entries(m_fixture->appFolder()), appBefore);
    QCOMPARE(entries(QDir::currentPath()), hereBefore);
}

void TestExports::missingTemplateIsReportedBeforeAsking_data()
{
    cancelWritesNothing_data();
}

void TestExports::missingTemplateIsReportedBeforeAsking()
{
    QFETCH(int, button);
    openWindow();
    const QString library = m_fixture->appFolder() + QStringLiteral("/templates/Sample.dat");
    QVERIFY(QFile::remove(library));
    MessageSeen seen;
    recordMessage(m_guard.get(), &seen);
    bool asked = false;
    whenShown<QFileDialog>(m_guard.get(), [&](QFileDialog* dialog) {
        asked = true;
        dialog->reject();
    });
    QTest::mouseClick(control<ButtonPlus>(*m_form, "cmdButton", button), Qt::LeftButton);
    QCOMPARE(seen.title, QStringLiteral("Export as ") + QTest::currentDataTag());
    QVERIFY2(seen.text.contains(library) && seen.text.contains(QLatin1String("missing")),
             qPrintable(seen.text));
    QCOMPARE(seen.icon, QMessageBox::Warning);
    QVERIFY(!asked);
}

void TestExports::blockedImagesFolderIsReported()
{
    openWindow();
    QFile blocker(out(QStringLiteral("news_files")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    MessageSeen seen;
    chooseInDialog(m_guard.get(), out(QStringLiteral("news.html")));
    recordMessage(m_guard.get(), &seen);
    QTest::mouseClick(control<ButtonPlus>(*m_form, "cmdButton0"), Qt::LeftButton);
    // What failed, why and what to do, under the command's name.
    QCOMPARE(seen.title, QStringLiteral("Export as html"));
    QVERIFY2(seen.text.contains(out(QStringLiteral("news_files"))) &&
                 seen.text.contains(QLatin1String("in the way")) &&
                 seen.text.endsWith(QLatin1String("and export again.")),
             qPrintable(seen.text));
    QVERIFY(!QFileInfo::exists(out(QStringLiteral("news.html"))));
}

// A real failure of each common kind, as the box says it: the command, the
// path, the reason in words and what to do; the system's own words only in
// the details, for whoever helps the user.
void TestExports::failureSaysWhyInWords_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("words");
    QTest::addColumn<QString>("system");
    // Root may write nearly anywhere, but not into the kernel's folders.
    QTest::newRow("no permission") << "/sys/Sample.eml"
                                   << "your user account is not allowed to use this file or folder"
                                   << "Permission denied";
    QTest::newRow("folder is a file") << "blocker/Sample.eml"
                                      << "a part of this path is a file, where a folder should be"
                                      << "Not a directory";
    QTest::newRow("folder is gone") << "gone/Sample.eml"
                                    << "there is no such file or folder"
                                    << "No such file or directory";
}

void TestExports::failureSaysWhyInWords()
{
    QFETCH(QString, target);
    QFETCH(QString, words);
    QFETCH(QString, system);
    openWindow();
    QFile blocker(out(QStringLiteral("blocker")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString path = target.startsWith(u'/') ? target : out(target);
    MessageSeen seen;
    chooseInDialog(m_guard.get(), path);
    recordMessage(m_guard.get(), &seen);
    QTest::mouseClick(control<ButtonPlus>(*m_form, "cmdButton1"), Qt::LeftButton);
    QCOMPARE(seen.title, QStringLiteral("Export as eml"));
    QVERIFY2(seen.text.startsWith(
                 QLatin1String("The template could not be exported as a message file.\n\n")) &&
                 seen.text.contains(QFileInfo(path).absolutePath()) && seen.text.contains(words) &&
                 !seen.text.contains(system) &&
                 seen.text.endsWith(QLatin1String("and export again.")),
             qPrintable(seen.text));
    QVERIFY2(seen.details.contains(system), qPrintable(seen.details));
    QVERIFY(!QFileInfo::exists(path));
}

void TestExports::saveDialogStartsInTheLastExportFolder_data()
{
    QTest::addColumn<bool>("hasDocuments");
    QTest::newRow("Documents") << true;
    QTest::newRow("no Documents: home") << false;
}

void TestExports::saveDialogStartsInTheLastExportFolder()
{
    QFETCH(bool, hasDocuments);
    const bool hadHome = qEnvironmentVariableIsSet("HOME");
    const QByteArray savedHome = qgetenv("HOME");
    const auto restoreHome = qScopeGuard([&] {
        if (hadHome)
            qputenv("HOME", savedHome);
        else
            qunsetenv("HOME");
    });
    const QString home = out(QStringLiteral("home"));
    const QString documents = home + QStringLiteral("/Documents");
    QVERIFY(QDir().mkpath(hasDocuments ? documents : home));
    qputenv("HOME", QFile::encodeName(home));
    const QString fresh = hasDocuments ? documents : home;
    // Characters a settings file might read as its own.
    const QString chosen = out(QStringLiteral("Spring #2; 50% [Main]"));
    QVERIFY(QDir().mkpath(chosen));

    openWindow();
    QString proposed, folder;
    chooseInDialog(m_guard.get(), chosen + QStringLiteral("/first.htm"), nullptr, &proposed,
                   &folder);
    QTest::mouseClick(control<ButtonPlus>(*m_form, "cmdButton0"), Qt::LeftButton);
    QCOMPARE(folder, fresh);
    QCOMPARE(proposed, QStringLiteral("Sample.htm"));
    QVERIFY(QFileInfo(chosen + QStringLiteral("/first.htm")).isFile());

    // Remembered beyond the window that exported.
    m_form.reset();
    openWindow();
    chooseInDialog(m_guard.get(), QString(), nullptr, &proposed, &folder);
    QTest::mouseClick(control<ButtonPlus>(*m_form, "cmdButton1"), Qt::LeftButton);
    QCOMPARE(folder, chosen);
    QCOMPARE(proposed, QStringLiteral("Sample.eml"));

    // A folder that refused the export is not remembered: the next dialog
    // starts where the last export succeeded.
    // (A file in the way of the images folder refuses it even to root, as a
    // read-only disk would.)
    const QString refusing = out(QStringLiteral("refusing"));
    QVERIFY(QDir().mkpath(refusing));
    QFile blocker(refusing + QStringLiteral("/refused_files"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    MessageSeen seen;
    chooseInDialog(m_guard.get(), refusing + QStringLiteral("/refused.htm"));
    recordMessage(m_guard.get(), &seen);
    QTest::mouseClick(control<ButtonPlus>(*m_form, "cmdButton0"), Qt::LeftButton);
    QVERIFY(waitUntil([&] { return !seen.text.isEmpty(); }));
    QVERIFY(!QFileInfo::exists(refusing + QStringLiteral("/refused.htm")));
    chooseInDialog(m_guard.get(), QString(), nullptr, nullptr, &folder);
    QTest::mouseClick(control<ButtonPlus>(*m_form, "cmdButton0"), Qt::LeftButton);
    QCOMPARE(folder, chosen);

    // A remembered folder that has gone since is no place to start.
    QVERIFY(QDir(chosen).removeRecursively());
    chooseInDialog(m_guard.get(), QString(), nullptr, nullptr, &folder);
    QTest::mouseClick(control<ButtonPlus>(*m_form, "cmdButton0"), Qt::LeftButton);
    QCOMPARE(folder, fresh);
}

// The arguments the fake mailer was started with, once it has recorded them.
static QStringList mailerArguments(const QString& mailerFolder)
{
    const QString record = mailerFolder + QStringLiteral("/rookpost2.args");
    if (!waitUntil([&] { return QFileInfo::exists(record); }))
        return {};
    QFile file(record);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

void TestExports::handoffStartsTheMailerWithThePage()
{
    openWindow();
    QVERIFY(control<ButtonPlus>(*m_form, "cmdButton2")->isVisible());
    QTest::mouseClick(control<ButtonPlus>(*m_form, "cmdButton2"), Qt::LeftButton);
    const QStringList arguments = mailerArguments(m_mailerFolder);
    QCOMPARE(arguments.size(), 2);
    QCOMPARE(arguments.at(0), QStringLiteral("/LOADHTML"));
    const QString own = modGetDirs::ensureHandoffFolder().valueOr(QString());
    QVERIFY(!own.isEmpty());
    const QString folder = own + QStringLiteral("/Sample");
    const QFileInfo page(arguments.at(1));
    QCOMPARE(page.absolutePath(), folder);
    QVERIFY2(QRegularExpression(QStringLiteral("^msg\\d{1,4}\\.html$"))
                 .match(page.fileName())
                 .hasMatch(),
             qPrintable(page.fileName()));
    QVERIFY(page.isFile());
    verifyImagesFrom(page.filePath(), folder);
}

void TestExports::handoffOfADamagedTemplateWarnsAfterStartingTheMailer()
{
    openWindow();
    // Cut off in the middle of its picture.
    const QByteArray message = GalleryFixture::message(QStringLiteral("Sample"));
    const auto packed = Module1::packTemplate(message.left(message.size() - 60));
    QVERIFY(packed);
    m_fixture->addFile(QStringLiteral("templates/Sample.dat"), *packed);

    MessageSeen seen;
    QStringList pagesWhenWarned;
    whenShown<QMessageBox>(m_guard.get(), [&](QMessageBox* box) {
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        if (const Result<QString> own = modGetDirs::ensureHandoffFolder())
            pagesWhenWarned = QDir(*own + QStringLiteral("/Sample")).entryList({"msg*.html"});
        box->accept();
    });
    QTest::mouseClick(control<ButtonPlus>(*m_form, "cmdButton2"), Qt::LeftButton);
    QCOMPARE(seen.title, QStringLiteral("Hand to Rookpost"));
    QVERIFY2(seen.text.contains(QLatin1String("cut off")), qPrintable(seen.text));
    QCOMPARE(seen.icon, QMessageBox::Warning);
    QCOMPARE(pagesWhenWarned.size(), 1);
    const QStringList arguments = mailerArguments(m_mailerFolder);
    QCOMPARE(arguments.size(), 2);
    QCOMPARE(QFileInfo(arguments.at(1)).fileName(), pagesWhenWarned.first());
}

void TestExports::handoffWithoutTheMailerSaysSo()
{
    openWindow();
    // Gone since the start: the button is still there.
    QVERIFY(QFile::remove(m_mailerFolder + QStringLiteral("/rookpost2")));
    MessageSeen seen;
    recordMessage(m_guard.get(), &seen);
    QTest::mouseClick(control<ButtonPlus>(*m_form, "cmdButton2"), Qt::LeftButton);
    QCOMPARE(seen.title, QStringLiteral("Hand to Rookpost"));
    QCOMPARE(seen.text, QStringLiteral("Rookpost is not installed"));
    QCOMPARE(seen.icon, QMessageBox::Information);
    QVERIFY(!QFileInfo::exists(modGetDirs::WorkspaceDir() + QStringLiteral("/rp")));
}

QTEST_MAIN(TestExports)
#include "tst_exports.moc"
