#include "app/galleryfixture.h"
#include "app/hostilewatch.h"
#include "app/pagetools.h"
#include "app/waits.h"
#include "app/windowcontrols.h"

#include "browserpane.h"
#include "core/platform/settingsstore.h"
#include "core/views/recipientview.h"
#include "form1.h"
#include "thumbnailrenderer.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDirIterator>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestInterceptor>

#include <functional>
#include <optional>

namespace {

// A newsletter as the shipped library writes them: headers, a plain-text
// alternative, and an HTML part with one picture by Content-ID.
struct Letter
{
    QByteArray from = "\"Harbour Books\" <news@harbour.example>";
    QByteArray subject = "Spring reading list";
    QByteArray preheader = "Twelve new novels for the long evenings";
    std::optional<QByteArray> plain = QByteArray("Hello reader,\r\n\r\nTwelve new novels <b>"
                                                 "arrived</b> & more.\r\nSee you soon.\r\n");
    QByteArray style;
    QByteArray body = "<div id=\"box\" style=\"color:rgb(200,100,50);height:40px\">Spring</div>"
                      "<img id=\"logo\" src=\"cid:logo@fixture\" alt=\"Harbour Books logo\" "
                      "width=\"160\" height=\"60\" style=\"display:block;border:0\">";

    QByteArray html(const QString& title) const
    {
        QByteArray page = "<html><head><title>" + title.toUtf8() + "</title><style>" + style +
                          "</style></head><body style=\"margin:0;background:#FFFFFF\">";
        if (!preheader.isEmpty())
            page +=
                "<div style=\"display:none;max-height:0;overflow:hidden\">" + preheader + "</div>";
        return page + body + "</body></html>";
    }

    QByteArray message(const QString& title) const
    {
        QImage image(24, 24, QImage::Format_RGB32);
        image.fill(Qt::red);
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        const QByteArray related = "Content-Type: multipart/related; boundary=\"rel\"\r\n\r\n"
                                   "--rel\r\n"
                                   "Content-Type: text/html; charset=utf-8\r\n"
                                   "Content-Transfer-Encoding: 8bit\r\n\r\n" +
                                   html(title) +
                                   "\r\n--rel\r\n"
                                   "Content-Type: image/png; name=\"logo.png\"\r\n"
                                   "Content-ID: <logo@fixture>\r\n"
                                   "Content-Transfer-Encoding: base64\r\n\r\n" +
                                   png.toBase64() + "\r\n--rel--\r\n";
        QByteArray message = "From: " + from + "\r\nTo: reader@example.com\r\nSubject: " + subject +
                             "\r\nMIME-Version: 1.0\r\n";
        if (!plain)
            return message + related;
        return message +
               "Content-Type: multipart/alternative; boundary=\"alt\"\r\n\r\n"
               "--alt\r\n"
               "Content-Type: text/plain; charset=utf-8\r\n"
               "Content-Transfer-Encoding: 8bit\r\n\r\n" +
               *plain + "\r\n--alt\r\n" + related + "\r\n--alt--\r\n";
    }
};

void addLetter(GalleryFixture& fixture, const QString& name, const Letter& letter = {})
{
    const auto packed = Module1::packTemplate(letter.message(name));
    QVERIFY2(packed, qPrintable(packed.status().message()));
    fixture.addFile(QStringLiteral("templates/") + name + QStringLiteral(".dat"), *packed);
}

// The colour the pane shows at `at`, once the engine has drawn it as `accept`
// wants; else the last colour seen.
QColor pixelOnScreen(QWidget* pane, QPoint at, const std::function<bool(QColor)>& accept)
{
    QColor seen;
    waitUntil([&] {
        seen = pane->grab().toImage().pixelColor(at);
        return accept(seen);
    });
    return seen;
}

bool near(QColor colour, QColor expected)
{
    return std::abs(colour.red() - expected.red()) <= 8 &&
           std::abs(colour.green() - expected.green()) <= 8 &&
           std::abs(colour.blue() - expected.blue()) <= 8;
}

// Records the address of every request the engine makes for a page of the
// profile; the pane's own filter still decides.
class RequestRecorder : public QWebEngineUrlRequestInterceptor
{
public:
    QList<QUrl> images;
    QList<QUrl> all;
    void interceptRequest(QWebEngineUrlRequestInfo& info) override
    {
        all << info.requestUrl();
        if (info.resourceType() == QWebEngineUrlRequestInfo::ResourceTypeImage ||
            info.resourceType() == QWebEngineUrlRequestInfo::ResourceTypeFavicon)
            images << info.requestUrl();
    }
};

QString innerText(Form1& form)
{
    return evaluate(control<BrowserPane>(form, "WebBrowser2"), "document.body.innerText")
        .toString();
}

// Chooses `path` in the save dialog as soon as it opens.
void saveAs(QObject* context, const QString& path)
{
    auto* timer = new QTimer(context);
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, path] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(path);
        auto* box = dialog->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
        for (QAbstractButton* button : box->buttons()) {
            if (box->buttonRole(button) == QDialogButtonBox::AcceptRole)
                return button->click();
        }
    });
    timer->start();
}

// Every file below `folder` with its bytes, by relative path.
QMap<QString, QByteArray> filesBelow(const QString& folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            files.insert(QDir(folder).relativeFilePath(path), file.readAll());
    }
    return files;
}

QAccessible::State stateOf(QWidget* widget)
{
    return QAccessible::queryAccessibleInterface(widget)->state();
}

const QStringList ToggleNames = {"viewDesktop",       "viewPhone",     "viewColours",
                                 "viewImagesBlocked", "viewPlainText", "viewInboxLine",
                                 "viewCheck"};

} // namespace

class TestRecipientViews : public QObject
{
    Q_OBJECT

private slots:
    void rowSitsAtTheEndOfThePreviewTitle();
    void narrowTitleBarFoldsTheRowIntoAMenu();
    void togglesAreNamedAndShowTheirState_data();
    void togglesAreNamedAndShowTheirState();
    void togglesLeaveTheKeyboardOnTheCategoryPage();
    void shortcutsChooseTheView_data();
    void shortcutsChooseTheView();
    void phoneViewLaysThePageOutAtPhoneWidth();
    void phoneViewIsAPhoneToThePage();
    void thumbnailShowsTheDesktopLayout();
    void darkViewShowsTheTemplatesOwnDarkColours();
    void invertedViewInvertsAllButThePictures();
    void imagesBlockedFetchesNoPictureAndShowsAltText();
    void plainTextViewShowsTheTextPart_data();
    void plainTextViewShowsTheTextPart();
    void inboxLineShowsSenderSubjectAndPreheader_data();
    void inboxLineShowsSenderSubjectAndPreheader();
    void noticesShowInEveryView_data();
    void noticesShowInEveryView();
    void rapidSwitchingEndsOnTheLastChoice();
    void viewStaysAcrossCategoriesAndRestarts();
    void unknownStoredViewFallsBackToTheDefault();
    void exportsWriteTheTemplateNeverTheView_data();
    void exportsWriteTheTemplateNeverTheView();
};

// The row takes the right end of the grey bar; the title ends before it and
// every other control keeps its place in every view.
void TestRecipientViews::rowSitsAtTheEndOfThePreviewTitle()
{
    GalleryFixture fixture;
    fixture.addCategory("Retail.html", {"Offer"});
    addLetter(fixture, "Offer");
    Form1 form(fixture.appFolder());
    QSignalSpy shown(&form, &Form1::previewShown);
    form.show();
    QVERIFY(waitForPreview(shown, "Offer"));
    auto* bar = control(form, "viewBar");
    auto* title = control<QLabel>(form, "lblTitle1");
    auto* frame = control(form, "Picture2");
    QCOMPARE(title->text(), QStringLiteral(" Preview: Offer"));
    QVERIFY(control(form, "viewMenuButton")->isHidden());
    for (const QString& name : ToggleNames)
        QVERIFY2(control(form, name)->isVisible(), qPrintable(name));
    // Inside the title bar, which spans the preview's frame.
    QVERIFY(bar->geometry().right() <= frame->geometry().right());
    QVERIFY(bar->geometry().right() >= frame->geometry().right() - 8);
    QVERIFY(bar->y() >= title->y() - 6);
    QVERIFY(bar->geometry().bottom() < frame->y());
    QVERIFY(title->geometry().right() < bar->x());

    QMap<QString, QRect> before;
    const QStringList fixed = {"cboCategory", "lblTitle0",  "lblTitle1",   "lblTitle2",
                               "Picture1",    "Picture2",   "WebBrowser1", "picSplitter",
                               "cmdButton0",  "cmdButton1", "cmdButton3",  "cmdButton4"};
    for (const QString& name : fixed)
        before.insert(name, control(form, name)->geometry());
    control<QToolButton>(form, "viewPhone")->click();
    control<QToolButton>(form, "viewColours")->click();
    control<QToolButton>(form, "viewImagesBlocked")->click();
    QVERIFY(waitForPreview(shown, "Offer"));
    for (const QString& name : fixed)
        QCOMPARE(control(form, name)->geometry(), before.value(name));
}

// Dragged right, the bar cannot hold the row and the title: the row folds
// into one "View" menu button, then the name is cut, never under it.
void TestRecipientViews::narrowTitleBarFoldsTheRowIntoAMenu()
{
    GalleryFixture fixture;
    const QString name = QStringLiteral("Harbour Books spring reading list");
    fixture.addCategory("Retail.html", {name});
    addLetter(fixture, name);
    QVERIFY(modSettings::WriteSetting(Form1::SettingsKey, "Main", "Split", "899"));
    Form1 form(fixture.appFolder());
    QSignalSpy shown(&form, &Form1::previewShown);
    form.show();
    QVERIFY(waitForPreview(shown, name));
    auto* title = control<QLabel>(form, "lblTitle1");
    auto* menuButton = control<QToolButton>(form, "viewMenuButton");
    QVERIFY(menuButton->isVisible());
    for (const QString& toggle : ToggleNames)
        QVERIFY2(control(form, toggle)->isHidden(), qPrintable(toggle));
    QVERIFY(title->geometry().right() < control(form, "viewBar")->x());
    QVERIFY2(title->text().endsWith(QChar(0x2026)), qPrintable(title->text()));
    QCOMPARE(title->toolTip(), name);
    QCOMPARE(menuButton->accessibleName(), QStringLiteral("View"));
    // A stop of the tab walk that a click does not make one.
    QCOMPARE(menuButton->focusPolicy(), Qt::TabFocus);

    // The menu holds every choice; one taken from it shows at once.
    QMenu* menu = menuButton->menu();
    QStringList entries;
    for (QAction* action : menu->actions()) {
        if (!action->isSeparator())
            entries << action->text();
    }
    QCOMPARE(entries, QStringList({"Desktop", "Phone", "Light", "Dark", "Inverted", "Next colours",
                                   "Images blocked", "Plain text", "Inbox line", "In my brand",
                                   "Brand", "Check"}));
    menu->actions().at(1)->trigger();
    QVERIFY(waitForPreview(shown, name));
    // The frame is narrower than a phone: the phone's whole screen shows in
    // it, smaller, laid out at the phone's width all the same.
    auto* preview = control<BrowserPane>(form, "WebBrowser2");
    QCOMPARE(evaluate(preview, "window.innerWidth").toInt(), 375);
    QVERIFY(control(form, "Picture2")->width() < 375);
    QVERIFY(preview->x() >= 0);
    QVERIFY(preview->geometry().right() < control(form, "Picture2")->width());
    form.SelectTemplate(name);
    QVERIFY(waitForPreview(shown, name));
    QCOMPARE(evaluate(preview, "window.innerWidth").toInt(), 375);

    // A wider bar unfolds the row again.
    form.resize(form.width() + 500, form.height());
    QVERIFY(menuButton->isHidden());
    QVERIFY(control(form, "viewPhone")->isVisible());
    QVERIFY(title->geometry().right() < control(form, "viewBar")->x());
    QCOMPARE(preview->width(), 375);
    QVERIFY(waitUntil([&] { return evaluate(preview, "window.innerWidth").toInt() == 375; }));
}

void TestRecipientViews::togglesAreNamedAndShowTheirState_data()
{
    QTest::addColumn<QString>("toggle");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("checkedAtFirst");
    QTest::addColumn<QString>("nameAfterPress");
    QTest::addColumn<QString>("shortcut");
    QTest::newRow("desktop") << "viewDesktop"
                             << "Desktop width" << true << "Desktop width"
                             << "Ctrl+1";
    QTest::newRow("phone") << "viewPhone"
                           << "Phone width" << false << "Phone width"
                           << "Ctrl+2";
    QTest::newRow("colours") << "viewColours"
                             << "Colours: Light" << false << "Colours: Dark"
                             << "Ctrl+3";
    QTest::newRow("images") << "viewImagesBlocked"
                            << "Images blocked" << false << "Images blocked"
                            << "Ctrl+4";
    QTest::newRow("plain text") << "viewPlainText"
                                << "Plain text" << false << "Plain text"
                                << "Ctrl+5";
    QTest::newRow("inbox line") << "viewInboxLine"
                                << "Inbox line" << false << "Inbox line"
                                << "Ctrl+6";
}

// Assistive tools read each toggle's name and whether it is on, and press it.
void TestRecipientViews::togglesAreNamedAndShowTheirState()
{
    QFETCH(QString, toggle);
    QFETCH(QString, name);
    QFETCH(bool, checkedAtFirst);
    QFETCH(QString, nameAfterPress);
    QFETCH(QString, shortcut);
    GalleryFixture fixture;
    fixture.addCategory("Retail.html", {"Offer"});
    addLetter(fixture, "Offer");
    Form1 form(fixture.appFolder());
    form.show();
    auto* button = control<QToolButton>(form, toggle);
    QAccessibleInterface* access = QAccessible::queryAccessibleInterface(button);
    QCOMPARE(access->text(QAccessible::Name), name);
    QVERIFY(stateOf(button).checkable);
    QCOMPARE(bool(stateOf(button).checked), checkedAtFirst);
    QVERIFY2(button->toolTip().contains(shortcut), qPrintable(button->toolTip()));
    QVERIFY(!access->text(QAccessible::Description).isEmpty());
    QVERIFY(access->actionInterface());
    access->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QCOMPARE(access->text(QAccessible::Name), nameAfterPress);
    QVERIFY(stateOf(button).checked);
}

// The row is no stop of the tab walk, and a click on it leaves the keyboard
// where it was: the keys still act on the category page, never on the preview.
void TestRecipientViews::togglesLeaveTheKeyboardOnTheCategoryPage()
{
    GalleryFixture fixture;
    fixture.addCategory("Retail.html", {"Offer"});
    addLetter(fixture, "Offer");
    Form1 form(fixture.appFolder());
    QSignalSpy shown(&form, &Form1::previewShown);
    auto* categories = control<BrowserPane>(form, "WebBrowser1");
    auto* preview = control<BrowserPane>(form, "WebBrowser2");
    form.show();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QVERIFY(waitForPreview(shown, "Offer"));
    categories->setFocus();
    QVERIFY(waitUntil([&] {
        return categories->isAncestorOf(QApplication::focusWidget()) ||
               QApplication::focusWidget() == categories;
    }));
    QWidget* keyboard = QApplication::focusWidget();
    // Each click changes the view: Phone first, as Desktop is already on.
    const QStringList order = {"viewPhone",         "viewDesktop",   "viewColours",
                               "viewImagesBlocked", "viewPlainText", "viewInboxLine"};
    for (const QString& name : order) {
        auto* button = control<QToolButton>(form, name);
        QCOMPARE(button->focusPolicy(), Qt::TabFocus);
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(waitForPreview(shown, "Offer"));
        QCOMPARE(QApplication::focusWidget(), keyboard);
        QVERIFY(!preview->isAncestorOf(QApplication::focusWidget()));
    }
    for (int press = 0; press < 12; ++press) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QVERIFY(!control(form, "viewBar")->isAncestorOf(QApplication::focusWidget()));
    }
}

void TestRecipientViews::shortcutsChooseTheView_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("checked");
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("focus");
    QTest::newRow("Ctrl+2 phone") << int(Qt::Key_2) << "viewPhone"
                                  << "String(window.innerWidth)"
                                  << "375" << QString();
    QTest::newRow("Ctrl+2 phone, from the list") << int(Qt::Key_2) << "viewPhone"
                                                 << "String(window.innerWidth)"
                                                 << "375"
                                                 << "cboCategory";
    QTest::newRow("Ctrl+3 colours") << int(Qt::Key_3) << "viewColours"
                                    << "getComputedStyle(document.body).backgroundColor"
                                    << "rgb(16, 32, 48)" << QString();
    QTest::newRow("Ctrl+4 images blocked") << int(Qt::Key_4) << "viewImagesBlocked"
                                           << "String(document.images[0].currentSrc === '')"
                                           << "true" << QString();
    QTest::newRow("Ctrl+5 plain text") << int(Qt::Key_5) << "viewPlainText"
                                       << "String(document.body.innerText.includes('See you'))"
                                       << "true" << QString();
    QTest::newRow("Ctrl+6 inbox line")
        << int(Qt::Key_6) << "viewInboxLine"
        << "String(document.body.innerText.includes('Harbour Books'))"
        << "true" << QString();
}

// Each shortcut works while the keyboard is on the category page.
void TestRecipientViews::shortcutsChooseTheView()
{
    QFETCH(int, key);
    QFETCH(QString, checked);
    QFETCH(QString, script);
    QFETCH(QString, expected);
    QFETCH(QString, focus);
    GalleryFixture fixture;
    fixture.addCategory("Retail.html", {"Offer"});
    Letter letter;
    letter.style = "@media (prefers-color-scheme: dark){body{background:#102030!important}}";
    addLetter(fixture, "Offer", letter);
    Form1 form(fixture.appFolder());
    QSignalSpy shown(&form, &Form1::previewShown);
    auto* categories = control<BrowserPane>(form, "WebBrowser1");
    form.show();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QVERIFY(waitForPreview(shown, "Offer"));
    if (focus.isEmpty())
        categories->setFocus();
    else
        control(form, focus)->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), Qt::ControlModifier);
    QVERIFY(waitForPreview(shown, "Offer"));
    QVERIFY(control<QToolButton>(form, checked)->isChecked());
    QCOMPARE(evaluate(control<BrowserPane>(form, "WebBrowser2"), script).toString(), expected);
    // And Ctrl+1 brings the desktop width back.
    if (checked == u"viewPhone") {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_1, Qt::ControlModifier);
        QVERIFY(waitForPreview(shown, "Offer"));
        QVERIFY(control<QToolButton>(form, "viewDesktop")->isChecked());
        QVERIFY(evaluate(control<BrowserPane>(form, "WebBrowser2"), "window.innerWidth").toInt() >
                375);
    }
}

// The page is laid out in a real phone-wide viewport, centred in the frame,
// and the template's own rules for narrow screens apply.
void TestRecipientViews::phoneViewLaysThePageOutAtPhoneWidth()
{
    GalleryFixture fixture;
    fixture.addCategory("Retail.html", {"Offer"});
    Letter letter;
    letter.style = "@media (max-width:600px){#box{color:rgb(1,2,3)!important}}";
    addLetter(fixture, "Offer", letter);
    Form1 form(fixture.appFolder());
    QSignalSpy shown(&form, &Form1::previewShown);
    form.show();
    QVERIFY(waitForPreview(shown, "Offer"));
    auto* preview = control<BrowserPane>(form, "WebBrowser2");
    auto* frame = control(form, "Picture2");
    const QRect frameBefore = frame->geometry();
    const char* colour = "getComputedStyle(document.getElementById('box')).color";
    QCOMPARE(evaluate(preview, colour).toString(), QStringLiteral("rgb(200, 100, 50)"));
    QVERIFY(evaluate(preview, "window.innerWidth").toInt() > 600);

    control<QToolButton>(form, "viewPhone")->click();
    QVERIFY(waitForPreview(shown, "Offer"));
    QCOMPARE(evaluate(preview, "window.innerWidth").toInt(), 375);
    QCOMPARE(evaluate(preview, colour).toString(), QStringLiteral("rgb(1, 2, 3)"));
    QCOMPARE(preview->width(), 375);
    QVERIFY(std::abs(preview->x() + 375 / 2 - frame->width() / 2) <= 1);
    QCOMPARE(frame->geometry(), frameBefore);
    // Plain text keeps the phone's width; the inbox line draws both widths itself.
    control<QToolButton>(form, "viewPlainText")->click();
    QVERIFY(waitForPreview(shown, "Offer"));
    QCOMPARE(evaluate(preview, "window.innerWidth").toInt(), 375);
    control<QToolButton>(form, "viewInboxLine")->click();
    QVERIFY(waitForPreview(shown, "Offer"));
    QVERIFY(preview->width() > 375);
}

// The phone's screen is 375 pixels wide for the page too, with a page taller
// than the screen, and the page's queries about the device hear a phone: its
// screen's width, a finger for a pointer and nothing that hovers.
void TestRecipientViews::phoneViewIsAPhoneToThePage()
{
    struct Case
    {
        const char* media;
        bool phone; // holds on a phone
    };
    const Case cases[] = {
        {"(max-device-width: 480px)", true},
        {"only screen and (max-device-width:30em)", true},
        {"(min-device-width: 768px)", false},
        {"(pointer: coarse)", true},
        {"(pointer: fine)", false},
        {"(any-pointer: coarse)", true},
        {"(hover: none)", true},
        {"(hover: hover)", false},
        {"(hover)", false},
        {"not all and (hover: hover)", true},
    };
    GalleryFixture fixture;
    fixture.addCategory("Retail.html", {"Offer"});
    Letter letter;
    for (size_t i = 0; i < std::size(cases); ++i) {
        letter.style += QByteArray("@media ") + cases[i].media + "{#f" + QByteArray::number(i) +
                        "{color:rgb(1,2,3)!important}}";
        letter.body += "<p id=\"f" + QByteArray::number(i) + "\">" + cases[i].media + "</p>";
    }
    letter.body += "<div style=\"height:3000px\"></div>";
    addLetter(fixture, "Offer", letter);
    Form1 form(fixture.appFolder());
    QSignalSpy shown(&form, &Form1::previewShown);
    form.show();
    QVERIFY(waitForPreview(shown, "Offer"));
    auto* preview = control<BrowserPane>(form, "WebBrowser2");
    control<QToolButton>(form, "viewPhone")->click();
    QVERIFY(waitForPreview(shown, "Offer"));
    QCOMPARE(evaluate(preview, "document.documentElement.scrollHeight > innerHeight").toBool(),
             true);
    QCOMPARE(evaluate(preview, "document.documentElement.clientWidth").toInt(), 375);
    for (size_t i = 0; i < std::size(cases); ++i) {
        const QString colour =
            evaluate(preview, QStringLiteral("getComputedStyle(document.getElementById('f%1'))"
                                             ".color")
                                  .arg(i))
                .toString();
        QVERIFY2((colour == u"rgb(1, 2, 3)") == cases[i].phone,
                 qPrintable(QStringLiteral("%1 gave %2").arg(cases[i].media, colour)));
    }
}

// A thumbnail shows the template as the Desktop view does: drawn at the
// width of the preview in the window's designed size, so that a template's
// rules for narrow screens (the common max-width: 600px) stay off.
void TestRecipientViews::thumbnailShowsTheDesktopLayout()
{
    GalleryFixture fixture;
    fixture.addCategory("Retail.html", {"Offer"});
    Letter letter;
    letter.style = "@media (max-width:600px){body{background:rgb(255,0,0)!important}}";
    letter.body += "<div style=\"height:3000px\"></div>";
    addLetter(fixture, "Offer", letter);

    ThumbnailRenderer renderer;
    const Result<QImage> thumbnail =
        renderer.renderTemplate(fixture.appFolder() + QStringLiteral("/templates/Offer.dat"));
    QVERIFY2(thumbnail, qPrintable(thumbnail.status().message()));
    QCOMPARE(thumbnail->size(),
             QSize(ThumbnailRenderer::ThumbWidth, ThumbnailRenderer::ThumbHeight));
    const QColor background = thumbnail->pixelColor(ThumbnailRenderer::ThumbWidth / 2,
                                                    ThumbnailRenderer::ThumbHeight - 10);
    QVERIFY2(near(background, Qt::white), qPrintable(background.name()));

    // The width the thumbnail is drawn at is the one the Desktop view lays
    // the page out at in the designed window, scrollbar and all.
    Form1 form(fixture.appFolder());
    QSignalSpy shown(&form, &Form1::previewShown);
    form.resize(1317, 675);
    form.show();
    QVERIFY(waitForPreview(shown, "Offer"));
    QCOMPARE(form.size(), QSize(1317, 675));
    QCOMPARE(
        evaluate(control<BrowserPane>(form, "WebBrowser2"), "document.documentElement.clientWidth")
            .toInt(),
        ThumbnailRenderer::TemplateWidth);
}

// A template's own dark rules take effect; one without any shows as it is,
// and the colours toggle says why.
void TestRecipientViews::darkViewShowsTheTemplatesOwnDarkColours()
{
    GalleryFixture fixture;
    fixture.addCategory("Retail.html", {"Night", "Plain"});
    Letter night;
    night.style = "@media (prefers-color-scheme: dark){body{background:#102030!important}}";
    addLetter(fixture, "Night", night);
    addLetter(fixture, "Plain");
    Form1 form(fixture.appFolder());
    QSignalSpy shown(&form, &Form1::previewShown);
    form.show();
    QVERIFY(waitForPreview(shown, "Night"));
    auto* preview = control<BrowserPane>(form, "WebBrowser2");
    // Below the picture, where only the body's background shows.
    const QPoint sample(preview->width() / 2, 200);
    QVERIFY(near(pixelOnScreen(preview, sample, [](QColor c) { return near(c, Qt::white); }),
                 Qt::white));

    auto* colours = control<QToolButton>(form, "viewColours");
    colours->click();
    QVERIFY(waitForPreview(shown, "Night"));
    const QColor dark =
        pixelOnScreen(preview, sample, [](QColor c) { return near(c, QColor(0x10, 0x20, 0x30)); });
    QVERIFY2(near(dark, QColor(0x10, 0x20, 0x30)), qPrintable(dark.name()));
    QVERIFY(!colours->toolTip().contains("no dark colours"));

    form.SelectTemplate("Plain");
    QVERIFY(waitForPreview(shown, "Plain"));
    QVERIFY(near(pixelOnScreen(preview, sample, [](QColor c) { return near(c, Qt::white); }),
                 Qt::white));
    QVERIFY2(colours->toolTip().contains("no dark colours"), qPrintable(colours->toolTip()));
    QCOMPARE(colours->accessibleName(), QStringLiteral("Colours: Dark"));
}

// Without dark rules of its own, the Inverted view turns the page's colours
// round and keeps the picture's.
void TestRecipientViews::invertedViewInvertsAllButThePictures()
{
    GalleryFixture fixture;
    fixture.addCategory("Retail.html", {"Offer"});
    addLetter(fixture, "Offer");
    Form1 form(fixture.appFolder());
    QSignalSpy shown(&form, &Form1::previewShown);
    form.show();
    QVERIFY(waitForPreview(shown, "Offer"));
    auto* preview = control<BrowserPane>(form, "WebBrowser2");
    const QPoint background(preview->width() / 2, 200);
    const QPoint logo = centreOf(preview, "logo");
    QVERIFY(near(pixelOnScreen(preview, logo, [](QColor c) { return near(c, Qt::red); }), Qt::red));

    form.findChild<QAction*>("viewInvertedAction")->trigger();
    QVERIFY(waitForPreview(shown, "Offer"));
    QCOMPARE(control<QToolButton>(form, "viewColours")->accessibleName(),
             QStringLiteral("Colours: Inverted"));
    const QColor page =
        pixelOnScreen(preview, background, [](QColor c) { return c.lightness() < 40; });
    QVERIFY2(page.lightness() < 40, qPrintable(page.name()));
    // Inverted with the page and not turned back, the red would be a light
    // pink (#FF9292); the engine's hue rotation clips pure red on the way, so
    // it comes back darker, but red.
    const auto red = [](QColor c) { return c.red() > 150 && c.green() < 100 && c.blue() < 100; };
    const QColor picture = pixelOnScreen(preview, logo, red);
    QVERIFY2(red(picture), qPrintable(picture.name()));
}

// No request for a picture leaves the pane, local or remote; the alternative
// texts are drawn in the pictures' boxes, which keep their size.
void TestRecipientViews::imagesBlockedFetchesNoPictureAndShowsAltText()
{
    LoopbackListener server;
    const QByteArray remote = server.origin().toUtf8();
    GalleryFixture fixture;
    fixture.addCategory("Retail.html", {"Offer"});
    Letter letter;
    letter.body += "<img id=\"remote\" src=\"" + remote +
                   "/banner.png\" alt=\"Spring banner\" width=\"200\" height=\"80\">"
                   "<div style=\"width:50px;height:50px;background-image:url(" +
                   remote + "/back.png)\"></div>";
    addLetter(fixture, "Offer", letter);
    Form1 form(fixture.appFolder());
    QSignalSpy shown(&form, &Form1::previewShown);
    auto* preview = control<BrowserPane>(form, "WebBrowser2");
    RequestRecorder recorder;
    preview->page()->profile()->setUrlRequestInterceptor(&recorder);
    form.show();
    QVERIFY(waitForPreview(shown, "Offer"));
    // The recorder sees the pictures of the plain preview.
    QVERIFY2(std::any_of(recorder.images.cbegin(), recorder.images.cend(),
                         [](const QUrl& url) { return url.path().endsWith("logo.png"); }),
             qPrintable(QString::number(recorder.images.size())));

    recorder.images.clear();
    recorder.all.clear();
    control<QToolButton>(form, "viewImagesBlocked")->click();
    QVERIFY(waitForPreview(shown, "Offer"));
    QVERIFY(!preview->page()->settings()->testAttribute(QWebEngineSettings::AutoLoadImages));
    QVERIFY2(recorder.images.isEmpty(), qPrintable(recorder.images.value(0).toString()));
    for (const QUrl& url : std::as_const(recorder.all))
        QVERIFY2(!url.path().endsWith(".png"), qPrintable(url.toString()));
    QCOMPARE(server.connections(), 0);
    QCOMPARE(evaluate(preview, "document.images.length").toInt(), 2);
    QCOMPARE(
        evaluate(preview, "Array.from(document.images).every(i => i.currentSrc === '')").toBool(),
        true);
    // The boxes keep their size, and the alternative text is what fills them.
    QCOMPARE(evaluate(preview, "(function(){var r=document.getElementById('remote')"
                               ".getBoundingClientRect();return r.width+'x'+r.height;})()")
                 .toString(),
             QStringLiteral("200x80"));
    const QImage withAlt = preview->grab().toImage();
    evaluate(preview, "for (const i of document.images) i.alt = ''");
    QVERIFY(waitUntil([&] { return preview->grab().toImage() != withAlt; }));

    control<QToolButton>(form, "viewImagesBlocked")->click();
    QVERIFY(waitForPreview(shown, "Offer"));
    QVERIFY(preview->page()->settings()->testAttribute(QWebEngineSettings::AutoLoadImages));
    QCOMPARE(evaluate(preview, "document.getElementById('logo').naturalWidth").toInt(), 24);
    preview->page()->profile()->setUrlRequestInterceptor(nullptr);
}

void TestRecipientViews::plainTextViewShowsTheTextPart_data()
{
    QTest::addColumn<bool>("hasPlainText");
    QTest::newRow("with a text part") << true;
    QTest::newRow("without one") << false;
}

// A reader of plain-text mail sees exactly the text part, markup as text.
void TestRecipientViews::plainTextViewShowsTheTextPart()
{
    QFETCH(bool, hasPlainText);
    GalleryFixture fixture;
    fixture.addCategory("Retail.html", {"Offer"});
    Letter letter;
    if (!hasPlainText)
        letter.plain.reset();
    addLetter(fixture, "Offer", letter);
    Form1 form(fixture.appFolder());
    QSignalSpy shown(&form, &Form1::previewShown);
    form.show();
    QVERIFY(waitForPreview(shown, "Offer"));
    control<QToolButton>(form, "viewPlainText")->click();
    QVERIFY(waitForPreview(shown, "Offer"));
    auto* preview = control<BrowserPane>(form, "WebBrowser2");
    const QString text = innerText(form);
    if (hasPlainText) {
        const QString expected =
            QStringLiteral("Hello reader,\n\nTwelve new novels <b>arrived</b> & more.\n"
                           "See you soon.");
        QCOMPARE(evaluate(preview, "document.querySelector('pre').innerText").toString(),
                 expected + u'\n');
        QVERIFY2(text.endsWith(expected + u'\n'), qPrintable(text));
        QCOMPARE(evaluate(preview, "document.querySelectorAll('b').length").toInt(), 0);
    } else {
        QVERIFY2(text.contains("This template has no plain-text part."), qPrintable(text));
    }
    QCOMPARE(evaluate(preview, "document.images.length").toInt(), 0);
    // The text has neither colours nor pictures, but a width.
    QVERIFY(!control(form, "viewColours")->isEnabled());
    QVERIFY(!control(form, "viewImagesBlocked")->isEnabled());
    QVERIFY(control(form, "viewPhone")->isEnabled());
    // Back to the page.
    control<QToolButton>(form, "viewPlainText")->click();
    QVERIFY(waitForPreview(shown, "Offer"));
    QCOMPARE(evaluate(preview, "document.title").toString(), QStringLiteral("Offer"));
}

void TestRecipientViews::inboxLineShowsSenderSubjectAndPreheader_data()
{
    QTest::addColumn<QByteArray>("preheader");
    QTest::newRow("preheader") << QByteArray(
        "Twelve new novels for the long evenings, a reading group on Thursdays, and a "
        "signed first edition for the first hundred readers who reply");
    QTest::newRow("no preheader") << QByteArray();
}

// The inbox line shows what a mail list shows, cut where it cuts, at a
// phone's width and at a desktop's.
void TestRecipientViews::inboxLineShowsSenderSubjectAndPreheader()
{
    QFETCH(QByteArray, preheader);
    GalleryFixture fixture;
    fixture.addCategory("Retail.html", {"Offer"});
    Letter letter;
    letter.subject = "Spring reading list: twelve novels, one reading group and a signed edition";
    letter.preheader = preheader;
    letter.body.prepend("<p>Our spring list is here with something for every shelf.</p>");
    addLetter(fixture, "Offer", letter);
    Form1 form(fixture.appFolder());
    QSignalSpy shown(&form, &Form1::previewShown);
    form.show();
    QVERIFY(waitForPreview(shown, "Offer"));
    control<QToolButton>(form, "viewInboxLine")->click();
    QVERIFY(waitForPreview(shown, "Offer"));
    const QString text = innerText(form);

    RecipientView::InboxLine line;
    line.senderName = QStringLiteral("Harbour Books");
    line.senderAddress = QStringLiteral("news@harbour.example");
    line.subject = QString::fromUtf8(letter.subject);
    line.preheader = preheader.isEmpty()
                         ? QStringLiteral("Our spring list is here with something for every shelf.")
                         : QString::fromUtf8(preheader);
    line.preheaderMissing = preheader.isEmpty();
    for (const RecipientView::InboxCut& cut :
         {RecipientView::cutForPhone(line), RecipientView::cutForDesktop(line)}) {
        QVERIFY2(text.contains(cut.sender), qPrintable(text));
        QVERIFY2(text.contains(cut.subject), qPrintable(cut.subject + " in " + text));
        QVERIFY2(text.contains(cut.preheader), qPrintable(cut.preheader + " in " + text));
    }
    QVERIFY(RecipientView::cutForPhone(line).subject.endsWith(QChar(0x2026)));
    QCOMPARE(text.contains("preheader", Qt::CaseInsensitive), preheader.isEmpty());
    QCOMPARE(evaluate(control<BrowserPane>(form, "WebBrowser2"), "document.images.length").toInt(),
             0);
}

void TestRecipientViews::noticesShowInEveryView_data()
{
    QTest::addColumn<QStringList>("toggles");
    QTest::newRow("phone, dark, images blocked")
        << QStringList{"viewPhone", "viewColours", "viewImagesBlocked"};
    QTest::newRow("inverted") << QStringList{"viewColours", "viewColours"};
    QTest::newRow("plain text") << QStringList{"viewPlainText"};
    QTest::newRow("inbox line") << QStringList{"viewInboxLine"};
}

// A template that cannot be shown says why in every view, and one shown only
// in part says what is missing.
void TestRecipientViews::noticesShowInEveryView()
{
    QFETCH(QStringList, toggles);
    GalleryFixture fixture;
    fixture.addCategory("Retail.html", {"Ghost", "Torn"});
    // Cut off in the middle of its picture.
    QByteArray torn = Letter().message("Torn");
    torn.truncate(torn.indexOf("Content-ID: <logo@fixture>") + 60);
    const auto packed = Module1::packTemplate(torn);
    QVERIFY(packed);
    fixture.addFile("templates/Torn.dat", *packed);
    Form1 form(fixture.appFolder());
    QSignalSpy shown(&form, &Form1::previewShown);
    form.show();
    QVERIFY(waitForPreview(shown, "Ghost"));
    for (const QString& toggle : toggles) {
        control<QToolButton>(form, toggle)->click();
        QVERIFY(waitForPreview(shown, "Ghost"));
    }
    QString text = innerText(form);
    QVERIFY2(text.contains("Ghost") && text.contains("missing"), qPrintable(text));

    form.SelectTemplate("Torn");
    QVERIFY(waitForPreview(shown, "Torn"));
    text = innerText(form);
    QVERIFY2(text.contains("This template can be shown only in part"), qPrintable(text));
    QVERIFY(!QFileInfo::exists(fixture.msgFolder()));
}

// Switches and clicks in quick succession end on the last of them, with
// nothing left in the preview folder, and the category page is never loaded
// again.
void TestRecipientViews::rapidSwitchingEndsOnTheLastChoice()
{
    GalleryFixture fixture;
    fixture.addCategory("Retail.html", {"Offer", "Promo", "Trip"});
    for (const char* name : {"Offer", "Promo", "Trip"}) {
        Letter letter;
        letter.subject = QByteArray("Subject of ") + name;
        addLetter(fixture, name, letter);
    }
    Form1 form(fixture.appFolder());
    QSignalSpy shown(&form, &Form1::previewShown);
    auto* categories = control<BrowserPane>(form, "WebBrowser1");
    QSignalSpy pageLoaded(categories, &BrowserPane::DocumentComplete);
    form.show();
    QVERIFY(waitForPreview(shown, "Offer"));
    QVERIFY(pageLoaded.count() > 0 || pageLoaded.wait(20000));
    const QUrl categoryPage = categories->url();
    QSignalSpy categoryLoads(categories, &QWebEngineView::loadStarted);

    control<QToolButton>(form, "viewPhone")->click();
    form.SelectTemplate("Promo");
    control<QToolButton>(form, "viewColours")->click();
    control<QToolButton>(form, "viewImagesBlocked")->click();
    control<QToolButton>(form, "viewPlainText")->click();
    form.SelectTemplate("Trip");
    control<QToolButton>(form, "viewInboxLine")->click();
    shown.clear();
    QVERIFY(shown.wait(20000));
    QCOMPARE(shown.takeFirst().first().toString(), QStringLiteral("Trip"));
    QVERIFY2(innerText(form).contains("Subject of Trip"), qPrintable(innerText(form)));
    QVERIFY(!QFileInfo::exists(fixture.msgFolder()));
    QVERIFY(control<QToolButton>(form, "viewInboxLine")->isChecked());
    QVERIFY(!control<QToolButton>(form, "viewPlainText")->isChecked());

    // Back to the page: the last template in phone, dark, images blocked.
    control<QToolButton>(form, "viewInboxLine")->click();
    QVERIFY(waitForPreview(shown, "Trip"));
    auto* preview = control<BrowserPane>(form, "WebBrowser2");
    QCOMPARE(evaluate(preview, "document.title").toString(), QStringLiteral("Trip"));
    QCOMPARE(evaluate(preview, "window.innerWidth").toInt(), 375);
    QCOMPARE(evaluate(preview, "document.images[0].currentSrc").toString(), QString());
    QVERIFY(!QFileInfo::exists(fixture.msgFolder()));
    QCOMPARE(categoryLoads.count(), 0);
    QCOMPARE(categories->url(), categoryPage);
}

// The view chosen last stays while the user browses, and at the next start.
void TestRecipientViews::viewStaysAcrossCategoriesAndRestarts()
{
    GalleryFixture fixture;
    fixture.addCategory("0Retail.html", {"Offer"});
    fixture.addCategory("1Travel.html", {"Trip"});
    Letter letter;
    letter.style = "@media (max-width:600px){#box{color:rgb(1,2,3)!important}}";
    addLetter(fixture, "Offer", letter);
    addLetter(fixture, "Trip", letter);
    const char* colour = "getComputedStyle(document.getElementById('box')).color";
    {
        Form1 form(fixture.appFolder());
        QSignalSpy shown(&form, &Form1::previewShown);
        form.show();
        QVERIFY(waitForPreview(shown, "Offer"));
        control<QToolButton>(form, "viewPhone")->click();
        control<QToolButton>(form, "viewImagesBlocked")->click();
        QVERIFY(waitForPreview(shown, "Offer"));
        auto* list = control<QComboBox>(form, "cboCategory");
        list->setCurrentIndex(1);
        emit list->activated(1);
        QVERIFY(waitForPreview(shown, "Trip"));
        auto* preview = control<BrowserPane>(form, "WebBrowser2");
        QCOMPARE(evaluate(preview, "window.innerWidth").toInt(), 375);
        QCOMPARE(evaluate(preview, colour).toString(), QStringLiteral("rgb(1, 2, 3)"));
        QCOMPARE(evaluate(preview, "document.images[0].currentSrc").toString(), QString());
        // Stored a moment after the switch, and at the latest when the window goes.
        QVERIFY(waitUntil([] {
            return modSettings::ReadSetting(Form1::SettingsKey, "Main", "ViewImages") == u"Blocked";
        }));
        QCOMPARE(modSettings::ReadSetting(Form1::SettingsKey, "Main", "ViewWidth"),
                 QStringLiteral("Phone"));
        form.findChild<QAction*>("viewDarkAction")->trigger();
    }
    QCOMPARE(modSettings::ReadSetting(Form1::SettingsKey, "Main", "ViewColours"),
             QStringLiteral("Dark"));

    Form1 again(fixture.appFolder());
    QSignalSpy shown(&again, &Form1::previewShown);
    again.show();
    QVERIFY(waitForPreview(shown, "Offer"));
    QVERIFY(control<QToolButton>(again, "viewPhone")->isChecked());
    QVERIFY(control<QToolButton>(again, "viewImagesBlocked")->isChecked());
    QVERIFY(!control<QToolButton>(again, "viewDesktop")->isChecked());
    QCOMPARE(control<QToolButton>(again, "viewColours")->accessibleName(),
             QStringLiteral("Colours: Dark"));
    auto* preview = control<BrowserPane>(again, "WebBrowser2");
    QCOMPARE(evaluate(preview, "window.innerWidth").toInt(), 375);
    QCOMPARE(evaluate(preview, colour).toString(), QStringLiteral("rgb(1, 2, 3)"));
}

void TestRecipientViews::unknownStoredViewFallsBackToTheDefault()
{
    GalleryFixture fixture;
    fixture.addCategory("Retail.html", {"Offer"});
    addLetter(fixture, "Offer");
    for (const auto& [name, value] :
         {std::pair{"ViewWidth", "Tablet"}, std::pair{"ViewColours", "Sepia"},
          std::pair{"ViewImages", "1"}, std::pair{"ViewContent", "Source"}})
        QVERIFY(modSettings::WriteSetting(Form1::SettingsKey, "Main", name, value));
    Form1 form(fixture.appFolder());
    QSignalSpy shown(&form, &Form1::previewShown);
    form.show();
    QVERIFY(waitForPreview(shown, "Offer"));
    QVERIFY(control<QToolButton>(form, "viewDesktop")->isChecked());
    for (const char* off :
         {"viewPhone", "viewColours", "viewImagesBlocked", "viewPlainText", "viewInboxLine"})
        QVERIFY2(!control<QToolButton>(form, off)->isChecked(), off);
    auto* preview = control<BrowserPane>(form, "WebBrowser2");
    QVERIFY(evaluate(preview, "window.innerWidth").toInt() > 375);
    QCOMPARE(evaluate(preview, "document.getElementById('logo').naturalWidth").toInt(), 24);
}

void TestRecipientViews::exportsWriteTheTemplateNeverTheView_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<QString>("target"); // none: the hand-off
    QTest::newRow("> html") << 0 << "page.htm";
    QTest::newRow("> eml") << 1 << "message.eml";
    QTest::newRow("> Rookpost") << 2 << QString();
}

// What leaves the program is the template itself, whatever the preview shows.
void TestRecipientViews::exportsWriteTheTemplateNeverTheView()
{
    QFETCH(int, button);
    QFETCH(QString, target);
    GalleryFixture fixture;
    fixture.addCategory("Retail.html", {"Offer"});
    Letter letter;
    letter.style = "@media (prefers-color-scheme: dark){body{background:#102030!important}}";
    addLetter(fixture, "Offer", letter);
    // A stand-in for the mailer, which the hand-off starts and leaves.
    QTemporaryDir mailer;
    QFile script(mailer.filePath("rookpost2"));
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\nexit 0\n");
    script.close();
    QVERIFY(script.setPermissions(script.permissions() | QFileDevice::ExeOwner));
    QVERIFY(modSettings::WriteSetting("RookpostInt2", "Main", "Path", mailer.path()));
    const QString handoff = modGetDirs::WorkspaceDir() + "/rp/" +
                            QString::number(QCoreApplication::applicationPid()) + "/Offer";

    QObject guard;
    const auto exportTemplate = [&](Form1& form, const QTemporaryDir& into) {
        if (!target.isEmpty())
            saveAs(&guard, into.filePath(target));
        QTest::mouseClick(control(form, "cmdButton", button), Qt::LeftButton);
        if (!target.isEmpty())
            return filesBelow(into.path());
        // The hand-off's page has a name of its own each time.
        QMap<QString, QByteArray> files;
        const QMap<QString, QByteArray> written = filesBelow(handoff);
        static const QRegularExpression page(QStringLiteral("^msg\\d+\\.html$"));
        for (auto it = written.cbegin(); it != written.cend(); ++it)
            files.insert(page.match(it.key()).hasMatch() ? QStringLiteral("msg.html") : it.key(),
                         it.value());
        return files;
    };
    QTemporaryDir plain;
    QTemporaryDir viewed;
    Form1 form(fixture.appFolder());
    QSignalSpy shown(&form, &Form1::previewShown);
    form.show();
    QVERIFY(waitForPreview(shown, "Offer"));
    const QMap<QString, QByteArray> expected = exportTemplate(form, plain);
    QVERIFY(!expected.isEmpty());

    control<QToolButton>(form, "viewColours")->click();
    control<QToolButton>(form, "viewImagesBlocked")->click();
    control<QToolButton>(form, "viewPhone")->click();
    QVERIFY(waitForPreview(shown, "Offer"));
    QCOMPARE(exportTemplate(form, viewed), expected);
}

QTEST_MAIN(TestRecipientViews)
#include "tst_recipientviews.moc"
