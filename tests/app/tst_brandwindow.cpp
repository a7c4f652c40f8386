#include "app/dialogtools.h"
#include "app/galleryfixture.h"
#include "app/pagetools.h"
#include "app/windowcontrols.h"

#include "brandeditor.h"
#include "browserpane.h"
#include "buttonplus.h"
#include "core/brand/brandstore.h"
#include "core/gallery/library/templatedecoding.h"
#include "core/mime/mimecomponent.h"
#include "core/platform/settingsstore.h"
#include "form1.h"
#include "serviceexportdialog.h"

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QDialogButtonBox>
#include <QDirIterator>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <memory>

namespace {

QByteArray pngOf(const QColor& colour, const QSize& size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

// A template as the generator marks one: the sender's logo, name, address
// and links, and the colours of its theme by role.
QByteArray markedMessage(const QString& title)
{
    const QByteArray html =
        "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>" + title.toUtf8() +
        "</title></head>"
        "<body data-brand-colours=\"page\" bgcolor=\"#f4f2ee\" style=\"margin:0\">"
        "<table width=\"600\"><tr><td data-brand-colours=\"band\" bgcolor=\"#2b5d3a\">"
        "<img data-brand=\"logo\" src=\"cid:logo@fixture\" width=\"88\" height=\"44\" "
        "alt=\"Harbour logo\">"
        "<span data-brand=\"name\">Harbour &amp; Pine</span>"
        "<span data-brand=\"tagline\">Fresh from the quay</span></td></tr>"
        "<tr><td data-brand-colours=\"text\" style=\"color:#333333\"><h1>" +
        title.toUtf8() +
        "</h1></td></tr>"
        "<tr><td><span data-brand=\"address\">1 Quay Street</span> "
        "<a data-brand=\"unsubscribe\" href=\"[unsubscribe_url]\">Unsubscribe</a> "
        "<a data-brand=\"view-in-browser\" href=\"[web_version_url]\">View in browser</a>"
        "<p data-brand=\"social\"></p></td></tr></table></body></html>";
    return "MIME-Version: 1.0\r\nSubject: " + title.toUtf8() +
           "\r\nContent-Type: multipart/related; boundary=\"b1\"\r\n\r\n"
           "--b1\r\nContent-Type: text/html; charset=utf-8\r\n"
           "Content-Transfer-Encoding: 8bit\r\n\r\n" +
           html +
           "\r\n--b1\r\nContent-Type: image/png; name=\"logo.png\"\r\n"
           "Content-ID: <logo@fixture>\r\nContent-Transfer-Encoding: base64\r\n\r\n" +
           pngOf(Qt::red, QSize(88, 44)).toBase64() + "\r\n--b1--\r\n";
}

void addMarkedTemplate(GalleryFixture& fixture, const QString& name)
{
    const auto packed = Module1::packTemplate(markedMessage(name));
    QVERIFY2(packed, qPrintable(packed.status().message()));
    fixture.addFile(QStringLiteral("templates/") + name + QStringLiteral(".dat"), *packed);
}

// A brand saved as the editor saves it, with a logo in one flat colour.
QString saveBrand(const QString& name, const QColor& main, const QString& website,
                  const QColor& logo, const QString& logoFolder)
{
    BrandKit brand;
    brand.name = name;
    brand.tagline = QStringLiteral("Tiles and gutters since 1990");
    brand.main = main;
    brand.accent = QColor(0xC0, 0x50, 0x00);
    brand.text = QColor(0x22, 0x22, 0x22);
    brand.background = Qt::white;
    brand.headingFonts = BrandFonts::stacks().first();
    brand.bodyFonts = BrandFonts::stacks().first();
    brand.address = QStringLiteral("7 Slate Row\nHillford");
    brand.website = website;
    brand.viewInBrowser = website + QStringLiteral("/web");
    brand.unsubscribe = website + QStringLiteral("/unsubscribe");
    brand.social.insert(QStringLiteral("mastodon"), QStringLiteral("https://social.example/@acme"));
    const QString logoPath = logoFolder + QLatin1Char('/') + name + QStringLiteral(".png");
    QFile file(logoPath);
    if (!file.open(QIODevice::WriteOnly) || file.write(pngOf(logo, QSize(160, 60))) <= 0)
        return QString();
    file.close();
    BrandStore store;
    if (const Status saved = store.save(brand, logoPath); !saved) {
        qWarning() << saved.message();
        return QString();
    }
    return brand.id;
}

// The images of the page `html` in `folder` drawn in one flat colour.
bool hasImageOf(const QString& folder, const QColor& colour)
{
    QDirIterator files(folder, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QImage image(files.next());
        if (!image.isNull() && image.pixelColor(image.width() / 2, image.height() / 2) == colour)
            return true;
    }
    return false;
}

QString previewHtml(const Form1& form)
{
    return evaluate(control<BrowserPane>(form, "WebBrowser2"),
                    QStringLiteral("document.documentElement.outerHTML"))
        .toString();
}

} // namespace

class TestBrandWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void editorMakesABrandOnTheCurrentTemplate();
    void editorRefusesBadInput_data();
    void editorRefusesBadInput();
    void templatesStepThroughInTheBrand();
    void exportsWriteTheBrand_data();
    void exportsWriteTheBrand();
    void brandsSwitch();
    void switchJustBeforeClosingIsKept();
    void brokenBrandFileIsNamed();

private:
    void openWindow();
    bool waitForPreviewWith(const QString& name, const QString& text);
    QAction* action(const QString& name) const { return m_form->findChild<QAction*>(name); }

    std::unique_ptr<GalleryFixture> m_fixture;
    std::unique_ptr<QTemporaryDir> m_files;
    std::unique_ptr<Form1> m_form;
    std::unique_ptr<QObject> m_guard;
    std::unique_ptr<QSignalSpy> m_shown;
};

void TestBrandWindow::init()
{
    m_fixture = std::make_unique<GalleryFixture>();
    m_files = std::make_unique<QTemporaryDir>();
    m_guard = std::make_unique<QObject>();
    m_fixture->addCategory("Letters.html", {"Autumn", "Winter", "Plain"});
    addMarkedTemplate(*m_fixture, QStringLiteral("Autumn"));
    addMarkedTemplate(*m_fixture, QStringLiteral("Winter"));
    m_fixture->addTemplate(QStringLiteral("Plain"));
}

void TestBrandWindow::cleanup()
{
    m_shown.reset();
    m_form.reset();
    m_guard.reset();
    m_files.reset();
    m_fixture.reset();
}

void TestBrandWindow::openWindow()
{
    m_form = std::make_unique<Form1>(m_fixture->appFolder());
    m_shown = std::make_unique<QSignalSpy>(m_form.get(), &Form1::previewShown);
    m_form->show();
    m_form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    QVERIFY(m_shown->wait(30000));
}

// The preview of `name` has loaded and its page holds `text`.
bool TestBrandWindow::waitForPreviewWith(const QString& name, const QString& text)
{
    return waitUntil(
        [&] {
            // The page of the template chosen before may still be on show.
            const QString html = previewHtml(*m_form);
            return m_form->currentTemplate() == name && html.contains(text) &&
                   html.contains(QStringLiteral("<h1>%1</h1>").arg(name));
        },
        30000);
}

void TestBrandWindow::editorMakesABrandOnTheCurrentTemplate()
{
    openWindow();
    QVERIFY(waitForPreviewWith("Autumn", "Harbour &amp; Pine"));
    QMap<QString, QRect> before;
    for (const char* name :
         {"cmdButton0", "cmdButton1", "cmdButton3", "cboCategory", "lblTitle0", "lblTitle2",
          "Picture1", "Picture2", "WebBrowser1", "WebBrowser2", "picSplitter", "viewBar"})
        before.insert(name, control(*m_form, name)->geometry());

    // The toggle with no brand yet opens the editor on the previewed template.
    action("viewBrandAction")->trigger();
    auto* editor = m_form->brandEditor();
    QVERIFY(editor);
    QVERIFY(QTest::qWaitForWindowExposed(editor));
    QVERIFY(!action("viewBrandAction")->isChecked());

    QSignalSpy previewed(editor, &BrandEditor::previewShown);
    auto* name = control<QLineEdit>(editor, "brandName");
    name->setFocus();
    QTest::keyClicks(name, QStringLiteral("Acme Rooftops"));
    auto* main = control<QLineEdit>(editor, "brandColour_main");
    main->selectAll();
    QTest::keyClicks(main, QStringLiteral("#7A1F5C"));
    QTest::keyClicks(control<QLineEdit>(editor, "brandWebsite"),
                     QStringLiteral("https://acme.example"));
    const QString logo = m_files->filePath(QStringLiteral("logo.png"));
    QFile file(logo);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(pngOf(QColor(0x10, 0xA0, 0x30), QSize(200, 80)));
    file.close();
    editor->setLogoSource(logo);

    auto* pane = control<BrowserPane>(editor, "brandPreview");
    QVERIFY(waitUntil(
        [&] {
            return evaluate(pane, QStringLiteral("document.documentElement.outerHTML"))
                .toString()
                .contains(QStringLiteral("Acme Rooftops"));
        },
        30000));
    QVERIFY2(editor->problems().isEmpty(), qPrintable(editor->problems().join('\n')));

    QTest::mouseClick(control<QPushButton>(editor, "saveBrandButton"), Qt::LeftButton);
    const QStringList files =
        QDir(BrandStore::defaultFolder()).entryList({QStringLiteral("*.json")}, QDir::Files);
    QCOMPARE(files.size(), 1);

    // Saved after the toggle asked for it: the window wears it now.
    QVERIFY(action("viewBrandAction")->isChecked());
    // Stored a moment later, off the path to the branded page.
    QTRY_COMPARE(modSettings::ReadSetting(SettingKeys::BrandOn), QStringLiteral("1"));
    QVERIFY(waitForPreviewWith("Autumn", "Acme Rooftops"));
    QVERIFY(!previewHtml(*m_form).contains(QStringLiteral("Harbour")));
    for (auto it = before.cbegin(); it != before.cend(); ++it)
        QCOMPARE(control(*m_form, it.key())->geometry(), it.value());

    // The editor stays beside the window and follows its preview.
    m_form->SelectTemplate(QStringLiteral("Winter"));
    QVERIFY(waitForPreviewWith("Winter", "Acme Rooftops"));
    QVERIFY(waitUntil(
        [&] {
            return evaluate(pane, QStringLiteral("document.documentElement.outerHTML"))
                .toString()
                .contains(QStringLiteral("<h1>Winter</h1>"));
        },
        30000));
    m_form->SelectTemplate(QStringLiteral("Autumn"));
    QVERIFY(waitForPreviewWith("Autumn", "Acme Rooftops"));

    // Switched off by its key: the template as shipped again.
    editor->close();
    m_form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    QTest::keyClick(m_form.get(), Qt::Key_7, Qt::ControlModifier);
    QVERIFY(!action("viewBrandAction")->isChecked());
    QVERIFY(waitForPreviewWith("Autumn", "Harbour &amp; Pine"));
    QTRY_COMPARE(modSettings::ReadSetting(SettingKeys::BrandOn), QStringLiteral("0"));
}

void TestBrandWindow::editorRefusesBadInput_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("said");
    QTest::newRow("colour") << "brandColour_accent"
                            << "#12G45Z"
                            << "is not a colour";
    QTest::newRow("script link") << "brandWebsite"
                                 << "javascript:alert(1)"
                                 << "javascript";
    QTest::newRow("file link") << "brandUnsubscribe"
                               << "file:///etc/passwd"
                               << "file";
    QTest::newRow("long address") << "brandAddress" << QString(10000, QLatin1Char('x')) << "";
    QTest::newRow("not a logo") << "logo"
                                << "This is text, not a picture."
                                << "";
}

void TestBrandWindow::editorRefusesBadInput()
{
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, said);
    openWindow();
    action("editBrandsAction")->trigger();
    auto* editor = m_form->brandEditor();
    QVERIFY(editor);
    QTest::keyClicks(control<QLineEdit>(editor, "brandName"), QStringLiteral("Acme"));
    if (field == QLatin1String("logo")) {
        const QString path = m_files->filePath(QStringLiteral("logo.png"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(typed.toUtf8());
        file.close();
        editor->setLogoSource(path);
    } else if (auto* address = editor->findChild<QPlainTextEdit*>(field)) {
        address->setPlainText(typed);
    } else {
        auto* edit = control<QLineEdit>(editor, field);
        edit->selectAll();
        QTest::keyClicks(edit, typed);
    }
    QVERIFY(!editor->save());
    QVERIFY(!editor->problems().isEmpty());
    const QString shown = control<QLabel>(editor, "brandProblems")->text();
    QVERIFY2(shown.contains(said), qPrintable(shown));
    QVERIFY(!shown.isEmpty());
    QVERIFY(QDir(BrandStore::defaultFolder())
                .entryList({QStringLiteral("*.json")}, QDir::Files)
                .isEmpty());
    // Refused, the fields keep what the user typed.
    QCOMPARE(control<QLineEdit>(editor, "brandName")->text(), QStringLiteral("Acme"));
}

void TestBrandWindow::templatesStepThroughInTheBrand()
{
    const QString id =
        saveBrand(QStringLiteral("Acme Rooftops"), QColor(0x7A, 0x1F, 0x5C),
                  QStringLiteral("https://acme.example"), Qt::green, m_files->path());
    QVERIFY(!id.isEmpty());
    QVERIFY(modSettings::WriteSetting(SettingKeys::BrandOn, QStringLiteral("1")));
    QVERIFY(modSettings::WriteSetting(SettingKeys::Brand, id));
    openWindow();
    // Remembered from the last session: on from the first preview.
    QVERIFY(action("viewBrandAction")->isChecked());
    QVERIFY(waitForPreviewWith("Autumn", "Acme Rooftops"));
    m_form->SelectTemplate(QStringLiteral("Winter"));
    QVERIFY(waitForPreviewWith("Winter", "Acme Rooftops"));
    QVERIFY2(previewHtml(*m_form).contains(QStringLiteral("acme.example")),
             qPrintable(previewHtml(*m_form)));
    QVERIFY(!previewHtml(*m_form).contains(QStringLiteral("Harbour")));

    // A template without places for a brand stays as it is, and the toggle says why.
    m_form->SelectTemplate(QStringLiteral("Plain"));
    QVERIFY(waitForPreviewWith("Plain", "<h1>Plain</h1>"));
    QVERIFY(!previewHtml(*m_form).contains(QStringLiteral("Acme")));
    QCOMPARE(action("viewBrandAction")->toolTip(),
             QStringLiteral("This template has no brand slots"));

    m_form->SelectTemplate(QStringLiteral("Autumn"));
    QVERIFY(waitForPreviewWith("Autumn", "Acme Rooftops"));
    QVERIFY(action("viewBrandAction")->toolTip() !=
            QStringLiteral("This template has no brand slots"));
}

void TestBrandWindow::exportsWriteTheBrand_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("on");
    QTest::newRow("html in the brand") << 0 << "Autumn.htm" << true;
    QTest::newRow("eml in the brand") << 1 << "Autumn.eml" << true;
    QTest::newRow("hand-off in the brand") << 2 << "" << true;
    QTest::newRow("zip for a mailing service in the brand") << 3 << "Autumn.zip" << true;
    QTest::newRow("html as shipped") << 0 << "Autumn.htm" << false;
    QTest::newRow("eml as shipped") << 1 << "Autumn.eml" << false;
    QTest::newRow("hand-off as shipped") << 2 << "" << false;
    QTest::newRow("zip for a mailing service as shipped") << 3 << "Autumn.zip" << false;
}

void TestBrandWindow::exportsWriteTheBrand()
{
    QFETCH(int, button);
    QFETCH(QString, file);
    QFETCH(bool, on);
    const QColor logo(0x10, 0xA0, 0x30);
    const QString id = saveBrand(QStringLiteral("Acme Rooftops"), QColor(0x7A, 0x1F, 0x5C),
                                 QStringLiteral("https://acme.example"), logo, m_files->path());
    QVERIFY(!id.isEmpty());
    QVERIFY(modSettings::WriteSetting(SettingKeys::BrandOn,
                                      on ? QStringLiteral("1") : QStringLiteral("0")));
    QTemporaryDir out;
    // A stand-in for the sibling mailer that records the page it was handed.
    const QString mailer = out.filePath(QStringLiteral("rookpost2"));
    QFile script(mailer);
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\nprintf '%s' \"$2\" > \"$0.tmp\" && mv \"$0.tmp\" \"$0.page\"\n");
    script.close();
    QVERIFY(script.setPermissions(script.permissions() | QFileDevice::ExeOwner));
    QVERIFY(modSettings::WriteSetting(SettingKeys::RookpostPath, out.path()));
    openWindow();
    QVERIFY(waitForPreviewWith("Autumn", on ? "Acme Rooftops" : "Harbour &amp; Pine"));

    QString target = out.filePath(file);
    if (button == 3) {
        whenShown<ServiceExportDialog>(m_guard.get(), [&](ServiceExportDialog* dialog) {
            chooseInDialog(m_guard.get(), target);
            dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        });
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_E,
                        Qt::ControlModifier | Qt::AltModifier);
    } else {
        if (button != 2)
            chooseInDialog(m_guard.get(), target);
        QTest::mouseClick(control<ButtonPlus>(m_form.get(), "cmdButton", button), Qt::LeftButton);
    }
    if (button == 2) {
        QVERIFY(waitUntil([&] { return QFileInfo::exists(mailer + QStringLiteral(".page")); }));
        QFile handed(mailer + QStringLiteral(".page"));
        QVERIFY(handed.open(QIODevice::ReadOnly));
        target = QString::fromUtf8(handed.readAll());
    }
    QVERIFY(waitUntil([&] { return QFileInfo(target).isFile(); }));
    m_form->activateWindow();

    // The page as a reader gets it: from the .htm and its folder, or from the message.
    QString html;
    QString images = out.path();
    if (button == 3) {
        // The zip as a service's upload unpacks it: index.html beside images/.
        const QString unpacked = out.filePath(QStringLiteral("unpacked"));
        QProcess unzip;
        unzip.start(QStringLiteral("unzip"),
                    {QStringLiteral("-q"), target, QStringLiteral("-d"), unpacked});
        QVERIFY(unzip.waitForFinished(30000));
        QCOMPARE(unzip.exitCode(), 0);
        QFile page(unpacked + QStringLiteral("/index.html"));
        QVERIFY(page.open(QIODevice::ReadOnly));
        html = QString::fromUtf8(page.readAll());
        images = unpacked + QStringLiteral("/images");
    } else if (button != 1) {
        QFile page(target);
        QVERIFY(page.open(QIODevice::ReadOnly));
        html = QString::fromUtf8(page.readAll());
        images = QFileInfo(target).absolutePath();
    } else {
        QFile message(target);
        QVERIFY(message.open(QIODevice::ReadOnly));
        MimeComponent mime;
        QVERIFY(mime.LoadEmlData(message.readAll()));
        images = out.filePath(QStringLiteral("read"));
        QVERIFY(QDir().mkpath(images));
        html = QString::fromUtf8(mime.saveHtmlAndImagesUtf8(images, QStringLiteral("files")));
    }
    QCOMPARE(html.contains(QStringLiteral("Acme Rooftops")), on);
    QCOMPARE(html.contains(QStringLiteral("https://acme.example/unsubscribe")), on);
    QCOMPARE(html.contains(QStringLiteral("social.example/@acme")), on);
    QCOMPARE(html.contains(QStringLiteral("#7a1f5c"), Qt::CaseInsensitive), on);
    QCOMPARE(html.contains(QStringLiteral("Harbour")), !on);
    QCOMPARE(hasImageOf(images, logo), on);

    if (button != 2) {
        // The whole message, as a screen reader reads it: the label may cut a
        // long one short in the middle.
        const QString notice =
            m_form->findChild<QWidget*>(QStringLiteral("exportNotice"))->accessibleName();
        QCOMPARE(notice.contains(QStringLiteral("Acme Rooftops")), on);
    }
}

void TestBrandWindow::brandsSwitch()
{
    const QString first =
        saveBrand(QStringLiteral("Acme Rooftops"), QColor(0x7A, 0x1F, 0x5C),
                  QStringLiteral("https://acme.example"), Qt::green, m_files->path());
    const QString second =
        saveBrand(QStringLiteral("Birch Bakery"), QColor(0x1F, 0x4E, 0x79),
                  QStringLiteral("https://birch.example"), Qt::blue, m_files->path());
    QVERIFY(!first.isEmpty() && !second.isEmpty());
    QVERIFY(modSettings::WriteSetting(SettingKeys::Brand, first));
    openWindow();
    QVERIFY(waitForPreviewWith("Autumn", "Harbour &amp; Pine"));
    action("viewBrandAction")->trigger();
    QVERIFY(waitForPreviewWith("Autumn", "Acme Rooftops"));

    auto* choice = m_form->findChild<QAction*>(QStringLiteral("brand:") + second);
    QVERIFY(choice);
    choice->trigger();
    QVERIFY(waitForPreviewWith("Autumn", "Birch Bakery"));
    QVERIFY(!previewHtml(*m_form).contains(QStringLiteral("Acme")));
    QTRY_COMPARE(modSettings::ReadSetting(SettingKeys::Brand), second);
    QVERIFY(m_form->findChild<QAction*>(QStringLiteral("brand:") + second)->isChecked());
}

// The switch is stored a moment after it is made; a window closed within
// that moment still stores it.
void TestBrandWindow::switchJustBeforeClosingIsKept()
{
    QVERIFY(!saveBrand(QStringLiteral("Acme Rooftops"), QColor(0x7A, 0x1F, 0x5C),
                       QStringLiteral("https://acme.example"), Qt::green, m_files->path())
                 .isEmpty());
    openWindow();
    QVERIFY(waitForPreviewWith("Autumn", "Harbour &amp; Pine"));
    action("viewBrandAction")->trigger();
    m_shown.reset();
    m_form.reset();
    QCOMPARE(modSettings::ReadSetting(SettingKeys::BrandOn), QStringLiteral("1"));

    openWindow();
    QVERIFY(action("viewBrandAction")->isChecked());
    QVERIFY(waitForPreviewWith("Autumn", "Acme Rooftops"));
}

void TestBrandWindow::brokenBrandFileIsNamed()
{
    const QString good =
        saveBrand(QStringLiteral("Acme Rooftops"), QColor(0x7A, 0x1F, 0x5C),
                  QStringLiteral("https://acme.example"), Qt::green, m_files->path());
    QVERIFY(!good.isEmpty());
    QFile broken(BrandStore::defaultFolder() + QStringLiteral("/Torn Brand.json"));
    QVERIFY(broken.open(QIODevice::WriteOnly));
    broken.write("{\"name\": \"Torn");
    broken.close();
    QVERIFY(modSettings::WriteSetting(SettingKeys::BrandOn, QStringLiteral("1")));

    openWindow();
    // The good brand still loads and is worn.
    QVERIFY(waitForPreviewWith("Autumn", "Acme Rooftops"));
    QVERIFY(m_form->findChild<QAction*>(QStringLiteral("brand:") + good));
    const QString notice = control<QLabel>(m_form.get(), "settingsNoticeText")->toolTip() +
                           control<QWidget>(m_form.get(), "settingsNotice")->accessibleName();
    QVERIFY2(notice.contains(QStringLiteral("Torn Brand.json")), qPrintable(notice));

    action("editBrandsAction")->trigger();
    auto* editor = m_form->brandEditor();
    QVERIFY(editor);
    auto* problems = control<QLabel>(editor, "brandFileProblems");
    QVERIFY2(problems->text().contains(QStringLiteral("Torn Brand.json")),
             qPrintable(problems->text()));
    QCOMPARE(control<QListWidget>(editor, "brandList")->count(), 1);
}

QTEST_MAIN(TestBrandWindow)
#include "tst_brandwindow.moc"
