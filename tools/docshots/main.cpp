// Takes the screenshots in docs/ from the real window and the built
// library, so that they show what the program shows today.
//
//   quillery-docshots OUT_FOLDER LIBRARY_FOLDER SOURCE_FOLDER
//
// Writes gallery.png, keyboard-focus.png, search.png, the preview's views
// view-phone.png, view-dark.png, view-inverted.png, view-images-blocked.png,
// view-plain-text.png and view-inbox-line.png, check-view.png, marked-thumbnail.png,
// export-confirmation.png, own-templates.png, the category pages
// category-retail.png and category-food-and-drink.png, the menus
// thumbnail-menu.png and commands-menu.png, brand-templates.png (three
// templates in two brands) and brand-editor.png, library-overview.png (every
// thumbnail, one row per category, from SOURCE_FOLDER), send-test.png and
// send-test-result.png (a test sent to the tests' SMTP server on loopback,
// which needs Debian's python3-aiosmtpd). Settings, cache,
// the user's own templates and temp folders are private to the run.

#include "brandeditor.h"
#include "browserpane.h"
#include "checkcontroller.h"
#include "checkpanel.h"
#include "commandmenu.h"
#include "core/brand/brandstore.h"
#include "core/export/templateexport.h"
#include "core/gallery/library/templatelibrary.h"
#include "enginewait.h"
#include "form1.h"
#include "renderfonts.h"
#include "sendtestdialog.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <QTimer>
#include <QTreeWidget>
#include <QWebEngineProfile>

#include <functional>

namespace {

bool waitUntil(const std::function<bool()>& done)
{
    return EngineWait::until(done, 30000);
}

bool save(const QImage& image, const QString& path)
{
    if (image.save(path))
        return true;
    QTextStream(stderr) << path << ": cannot be written\n";
    return false;
}

// Shows the window at its designed size and waits for its first preview;
// `shown` collects every template previewed from then on.
bool showAtDesignedSize(Form1& form, QStringList& shown)
{
    QObject::connect(&form, &Form1::previewShown, [&shown](const QString& name) { shown << name; });
    form.show();
    form.resize(1317, 675);
    return waitUntil([&] { return !shown.isEmpty(); });
}

bool windowShots(const QString& out, const QString& library)
{
    Form1 form(library);
    QStringList shown;
    if (!showAtDesignedSize(form, shown))
        return false;
    auto* pane = form.findChild<BrowserPane*>(QStringLiteral("WebBrowser1"));
    waitUntil([&] {
        return EngineWait::evaluate(pane->page(), "document.readyState").toString() == "complete";
    });
    EngineWait::settle(800);
    bool ok = save(form.grab().toImage(), out + "/gallery.png");

    // The second thumbnail reached by the keyboard, beside the marked first one.
    pane->setFocus();
    EngineWait::settle(300);
    for (int i = 0; i < 2; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EngineWait::settle(200);
    }
    EngineWait::settle(500);
    const QRect left = form.findChild<QWidget*>(QStringLiteral("Picture1"))->geometry();
    ok &= save(form.grab(QRect(0, 0, left.right() + 9, form.height())).toImage(),
               out + "/keyboard-focus.png");

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F, Qt::ControlModifier);
    auto* field = form.findChild<QLineEdit*>(QStringLiteral("txtSearch"));
    QTest::keyClicks(field, QStringLiteral("prosecco"));
    waitUntil([&] {
        return EngineWait::evaluate(pane->page(), "document.querySelector('h1') ? "
                                                  "document.querySelector('h1').textContent : ''")
            .toString()
            .contains(QStringLiteral("prosecco"));
    });
    EngineWait::settle(800);
    ok &= save(form.grab().toImage(), out + "/search.png");
    return ok;
}

// The preview's page loaded and drawn.
void waitForPreview(Form1& form)
{
    auto* preview = form.findChild<BrowserPane*>(QStringLiteral("WebBrowser2"));
    EngineWait::settle(300);
    waitUntil([&] {
        return EngineWait::evaluate(preview->page(), "document.readyState").toString() ==
               "complete";
    });
    EngineWait::settle(1200);
}

// Each view of the preview, one at a time from the default one, as the
// window's view bar chooses it.
bool viewShots(const QString& out, const QString& library)
{
    Form1 form(library);
    QStringList shown;
    if (!showAtDesignedSize(form, shown))
        return false;
    const auto action = [&form](const char* name) {
        return form.findChild<QAction*>(QLatin1String(name));
    };
    const struct
    {
        const char* choose;
        const char* back;
        const char* file;
    } views[] = {
        {"viewPhoneAction", "viewDesktopAction", "view-phone.png"},
        {"viewDarkAction", "viewLightAction", "view-dark.png"},
        {"viewInvertedAction", "viewLightAction", "view-inverted.png"},
        {"viewImagesBlockedAction", "viewImagesBlockedAction", "view-images-blocked.png"},
        {"viewPlainTextAction", "viewPlainTextAction", "view-plain-text.png"},
        {"viewInboxLineAction", "viewInboxLineAction", "view-inbox-line.png"},
    };
    bool ok = true;
    for (const auto& view : views) {
        QAction* choose = action(view.choose);
        QAction* back = action(view.back);
        if (!choose || !back) {
            QTextStream(stderr) << view.choose << ": no such view\n";
            return false;
        }
        choose->trigger();
        waitForPreview(form);
        ok &= save(form.grab().toImage(), out + '/' + view.file);
        back->trigger();
        waitForPreview(form);
    }
    return ok;
}

// The Check view's report on the first template, with one of its links to
// replace chosen and outlined in the preview.
bool checkShot(const QString& out, const QString& library)
{
    Form1 form(library);
    QStringList shown;
    if (!showAtDesignedSize(form, shown))
        return false;
    auto* check = form.findChild<CheckController*>();
    auto* toggle = form.findChild<QAction*>(QStringLiteral("viewCheckAction"));
    if (!check || !toggle) {
        QTextStream(stderr) << "check-view.png: no Check view\n";
        return false;
    }
    waitForPreview(form);
    bool finished = false;
    QObject::connect(check, &CheckController::reportChanged,
                     [&finished](bool done) { finished = finished || done; });
    toggle->trigger();
    // SpamAssassin takes up to a minute.
    if (!EngineWait::until([&] { return finished; }, 120000)) {
        QTextStream(stderr) << "check-view.png: the report did not finish\n";
        return false;
    }
    QTreeWidget* tree = check->panel()->tree();
    for (QTreeWidgetItem* item = tree->topLevelItem(0); item; item = tree->itemBelow(item)) {
        if (item->parent() && item->data(0, Qt::UserRole + 1).isValid()) {
            tree->setCurrentItem(item);
            check->locate(
                {item->data(0, Qt::UserRole).toString(), item->data(0, Qt::UserRole + 1).toInt()});
            break;
        }
    }
    EngineWait::settle(1200);
    return save(form.grab().toImage(), out + "/check-view.png");
}

// Chooses `path` in the next save dialog, as a user types it.
void chooseInSaveDialog(const QString& path)
{
    auto* timer = new QTimer;
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [timer, path] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(path);
        auto* box = dialog->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
        for (QAbstractButton* button : box->buttons())
            if (box->buttonRole(button) == QDialogButtonBox::AcceptRole)
                return button->click();
    });
    timer->start();
}

// Black Friday previewed, the keyboard on a thumbnail beside it; then the
// template exported, and the notice over the preview that says so.
bool markAndExportShots(const QString& out, const QString& library)
{
    Form1 form(library);
    QStringList shown;
    if (!showAtDesignedSize(form, shown))
        return false;
    auto* pane = form.findChild<BrowserPane*>(QStringLiteral("WebBrowser1"));
    form.SelectTemplate(QStringLiteral("Black Friday"));
    if (!waitUntil([&] { return shown.last() == QLatin1String("Black Friday"); }))
        return false;
    waitForPreview(form);
    pane->setFocus();
    EngineWait::settle(300);
    for (int i = 0; i < 3; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EngineWait::settle(200);
    }
    EngineWait::settle(500);
    const QRect left = form.findChild<QWidget*>(QStringLiteral("Picture1"))->geometry();
    const QRect list = form.findChild<QWidget*>(QStringLiteral("cboCategory"))->geometry();
    bool ok = save(form.grab(QRect(left.left() - 8, list.top() - 8, left.width() + 16,
                                   form.height() - list.top() + 8))
                       .toImage(),
                   out + "/marked-thumbnail.png");

    QTemporaryDir exports;
    chooseInSaveDialog(exports.filePath(QStringLiteral("Black Friday.htm")));
    form.ExportHtml();
    EngineWait::settle(800);
    const QRect preview = form.findChild<QWidget*>(QStringLiteral("Picture2"))->geometry();
    ok &= save(form.grab(QRect(preview.left() - 8, list.top() - 8,
                               form.width() - preview.left() + 8, form.height() - list.top() + 8))
                   .toImage(),
               out + "/export-confirmation.png");
    return ok;
}

// A category of the user's own, from three shipped templates under names of
// the user's choosing.
bool ownShot(const QString& out, const QString& library)
{
    QTemporaryDir messages;
    const struct
    {
        const char* shipped;
        const char* name;
    } own[] = {{"Café Menu", "Our Lunch Menu"},
               {"Spa Weekend", "Member Weekend"},
               {"Open Day", "Studio Open Day"}};
    for (const auto& entry : own) {
        const QString file = messages.filePath(QString::fromUtf8(entry.name) + ".eml");
        if (const Status status =
                TemplateExport::exportEmlTo(library, QString::fromUtf8(entry.shipped), file);
            !status) {
            QTextStream(stderr) << status.message() << '\n';
            return false;
        }
    }
    Form1 form(library);
    QStringList shown;
    if (!showAtDesignedSize(form, shown))
        return false;
    for (const auto& entry : own) {
        const QString name = QString::fromUtf8(entry.name);
        if (const Status status = form.addOwnTemplate(messages.filePath(name + ".eml"),
                                                      QStringLiteral("My templates"), name);
            !status) {
            QTextStream(stderr) << status.message() << '\n';
            return false;
        }
        if (!waitUntil([&] { return shown.last() == name; }))
            return false;
    }
    waitForPreview(form);
    auto* pane = form.findChild<BrowserPane*>(QStringLiteral("WebBrowser1"));
    waitUntil([&] {
        return EngineWait::evaluate(pane->page(), "document.readyState").toString() == "complete";
    });
    EngineWait::settle(800);
    return save(form.grab().toImage(), out + "/own-templates.png");
}

// A brand as a user makes one, with a logo drawn in its main colour.
QString saveBrand(const QString& name, const QString& tagline, const QColor& main,
                  const QColor& accent, const QString& fonts, const QString& website)
{
    BrandKit brand;
    brand.name = name;
    brand.tagline = tagline;
    brand.main = main;
    brand.accent = accent;
    brand.text = QColor(0x22, 0x22, 0x22);
    brand.background = QColor(0xFA, 0xF8, 0xF5);
    brand.headingFonts = fonts;
    brand.bodyFonts = BrandFonts::stacks().first();
    brand.address = QStringLiteral("12 Market Lane\nHillford HF1 2AB");
    brand.website = website;
    brand.viewInBrowser = website + QStringLiteral("/newsletter");
    brand.unsubscribe = website + QStringLiteral("/unsubscribe");
    brand.social.insert(QStringLiteral("instagram"), website + QStringLiteral("/instagram"));
    brand.social.insert(QStringLiteral("mastodon"), website + QStringLiteral("/mastodon"));
    QTemporaryDir logoFolder;
    const QString logo = logoFolder.filePath(QStringLiteral("logo.png"));
    QImage image(240, 120, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::white);
    painter.setPen(Qt::NoPen);
    painter.drawRoundedRect(QRectF(8, 8, 224, 104), 24, 24);
    painter.setPen(main);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(64);
    font.setBold(true);
    painter.setFont(font);
    painter.drawText(image.rect(), Qt::AlignCenter, name.left(1) + name.section(' ', 1, 1).left(1));
    painter.end();
    image.save(logo);
    if (const Status saved = BrandStore().save(brand, logo); !saved) {
        QTextStream(stderr) << saved.message() << '\n';
        return QString();
    }
    return brand.id;
}

// Three templates, each in two brands, side by side; then the editor.
bool brandShots(const QString& out, const QString& library)
{
    const QString first =
        saveBrand(QStringLiteral("Acme Rooftops"), QStringLiteral("Tiles and gutters since 1990"),
                  QColor(0x7A, 0x1F, 0x5C), QColor(0xC0, 0x50, 0x00),
                  BrandFonts::stacks().value(6, BrandFonts::stacks().first()),
                  QStringLiteral("https://acme.example"));
    const QString second =
        saveBrand(QStringLiteral("Birch Bakery"), QStringLiteral("Bread from the corner oven"),
                  QColor(0x1F, 0x4E, 0x79), QColor(0x2E, 0x8B, 0x57), BrandFonts::stacks().first(),
                  QStringLiteral("https://birch.example"));
    if (first.isEmpty() || second.isEmpty())
        return false;
    Form1 form(library);
    QStringList shown;
    if (!showAtDesignedSize(form, shown))
        return false;
    const QStringList templates{QStringLiteral("Black Friday"), QStringLiteral("Caf\u00e9 Menu"),
                                QStringLiteral("Spa Weekend")};
    constexpr int Scale = 2; // each preview at half its size
    const QRect frame = form.findChild<QWidget*>(QStringLiteral("Picture2"))->geometry();
    const QSize cell = frame.size() / Scale;
    QImage sheet(cell.width() * int(templates.size()), cell.height() * 2, QImage::Format_RGB32);
    sheet.fill(Qt::white);
    QPainter painter(&sheet);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    form.findChild<QAction*>(QStringLiteral("viewBrandAction"))->trigger();
    for (int row = 0; row < 2; ++row) {
        form.findChild<QAction*>(QStringLiteral("brand:") + (row == 0 ? first : second))->trigger();
        for (int column = 0; column < templates.size(); ++column) {
            form.SelectTemplate(templates[column]);
            if (!waitUntil([&] { return shown.last() == templates[column]; }))
                return false;
            waitForPreview(form);
            painter.drawImage(QRect(QPoint(column * cell.width(), row * cell.height()), cell),
                              form.grab(frame).toImage());
        }
    }
    painter.end();
    bool ok = save(sheet, out + "/brand-templates.png");

    form.findChild<QAction*>(QStringLiteral("editBrandsAction"))->trigger();
    BrandEditor* editor = form.brandEditor();
    if (!editor)
        return false;
    editor->resize(1180, 720);
    bool previewed = false;
    QObject::connect(editor, &BrandEditor::previewShown, [&] { previewed = true; });
    waitUntil([&] { return previewed; });
    EngineWait::settle(1200);
    ok &= save(editor->grab().toImage(), out + "/brand-editor.png");
    editor->close();
    return ok;
}

bool categoryShot(const QString& library, const QString& category, const QString& out)
{
    QWebEngineProfile profile;
    auto* pane = new BrowserPane(&profile, BrowserPane::Role::CategoryPage);
    pane->setLocalRoot(library + "/categories");
    pane->resize(460, 760);
    pane->show();
    bool loaded = false;
    QObject::connect(pane, &BrowserPane::DocumentComplete, [&] { loaded = true; });
    pane->Navigate2(TemplateLibrary::categoryPagePath(library, category));
    const bool ok = waitUntil([&] { return loaded; });
    EngineWait::settle(800);
    const bool saved = ok && save(pane->grab().toImage(), out);
    delete pane;
    return saved;
}

// Every thumbnail, one row per category in the list's order, as the pages show them.
bool overview(const QString& sources, const QString& out)
{
    constexpr int Width = 240;
    constexpr int Height = 300;
    QList<QStringList> rows;
    const QStringList categories =
        QDir(sources).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    int columns = 0;
    for (const QString& category : categories) {
        const QString page = sources + '/' + category + "/page.html";
        QFile file(page);
        if (!file.open(QIODevice::ReadOnly))
            continue;
        QStringList pictures;
        static const QRegularExpression src(QStringLiteral("src=\"(thumbs/[^\"]+)\""));
        for (const auto& match : src.globalMatch(QString::fromUtf8(file.readAll())))
            pictures.append(sources + '/' + category + '/' + match.captured(1));
        columns = std::max(columns, int(pictures.size()));
        rows.append(pictures);
    }
    QImage image(columns * Width, int(rows.size()) * Height, QImage::Format_RGB32);
    image.fill(QColor(244, 242, 238));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    for (int r = 0; r < rows.size(); ++r) {
        for (int c = 0; c < rows[r].size(); ++c)
            painter.drawImage(QRect(c * Width, r * Height, Width, Height), QImage(rows[r][c]));
    }
    painter.end();
    return save(image, out);
}

// The send dialog before and after a test to a server on loopback that
// refuses one of three addresses.
bool sendTestShots(const QString& out, const QString& library)
{
    QTemporaryDir received;
    QProcess server;
    server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    server.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral(QUILLERY_SOURCE_DIR "/tests/smtp/smtpserver.py"),
                  QStringLiteral("--out"), received.path(), QStringLiteral("--refuse"),
                  QStringLiteral("nobody@example.com")});
    server.waitForStarted(10000);
    while (server.state() == QProcess::Running && !server.canReadLine())
        server.waitForReadyRead(30000);
    const QByteArray line = server.readLine().trimmed();
    if (!line.startsWith("READY ")) {
        QTextStream(stderr) << "quillery-docshots: the test SMTP server did not start\n";
        return false;
    }
    TestSend::Account account;
    account.name = QStringLiteral("Local test server");
    account.host = QStringLiteral("localhost");
    account.port = line.mid(6).toInt();
    account.security = SmtpSender::Security::Plain;
    account.fromAddress = QStringLiteral("me@example.com");
    bool ok = TestSend::saveAccounts({account}).ok();
    TestSend::remember({QStringLiteral("me@example.com"), QStringLiteral("nobody@example.com"),
                        QStringLiteral("colleague@example.com")},
                       account.name);

    Form1 form(library);
    QStringList shown;
    if (!showAtDesignedSize(form, shown))
        return false;
    form.SelectTemplate(QStringLiteral("Summer Sale"));
    waitUntil([&] { return shown.last() == QLatin1String("Summer Sale"); });
    form.showSendTest();
    auto* dialog = form.findChild<SendTestDialog*>();
    if (!dialog)
        return false;
    EngineWait::settle(500);
    ok &= save(dialog->grab().toImage(), out + "/send-test.png");
    bool done = false;
    QObject::connect(dialog, &SendTestDialog::finished, [&done] { done = true; });
    dialog->send();
    ok &= waitUntil([&] { return done; });
    EngineWait::settle(300);
    ok &= save(dialog->grab().toImage(), out + "/send-test-result.png");
    dialog->close();
    server.closeWriteChannel();
    server.waitForFinished(10000);
    return ok;
}

// A thumbnail's context menu as a right click opens it, over the category
// page, and the menu of every command the More panel opens, on its own: a
// menu is a window of its own, which the main window's picture leaves out.
bool menuShots(const QString& out, const QString& library)
{
    Form1 form(library);
    QStringList shown;
    if (!showAtDesignedSize(form, shown))
        return false;
    auto* pane = form.findChild<BrowserPane*>(QStringLiteral("WebBrowser1"));
    waitUntil([&] {
        return EngineWait::evaluate(pane->page(), "document.readyState").toString() == "complete";
    });
    waitForPreview(form);
    const QVariantList xy =
        EngineWait::evaluate(pane->page(),
                             "(function(){var r=document.querySelectorAll('a[href^=\"#\"]')[0]"
                             ".getBoundingClientRect();return [r.left+r.width/2,r.top+r.height/4];"
                             "})()")
            .toList();
    if (xy.size() != 2)
        return false;
    const QPoint at(int(xy[0].toDouble()), int(xy[1].toDouble()));
    QTest::mouseClick(pane->focusProxy(), Qt::RightButton, {}, at);
    const auto shownMenu = [&form] {
        QMenu* menu = form.commandMenu()->shownMenu();
        return menu && menu->isVisible() ? menu : nullptr;
    };
    if (!waitUntil([&] { return shownMenu() != nullptr; }))
        return false;
    EngineWait::settle(300);
    QMenu* menu = shownMenu();
    QImage image = form.grab().toImage();
    {
        QPainter painter(&image);
        painter.drawPixmap(menu->mapToGlobal(QPoint(0, 0)) - form.mapToGlobal(QPoint(0, 0)),
                           menu->grab());
    }
    const QRect placed(menu->mapToGlobal(QPoint(0, 0)) - form.mapToGlobal(QPoint(0, 0)),
                       menu->size());
    menu->close();
    const QRect left = form.findChild<QWidget*>(QStringLiteral("Picture1"))->geometry();
    const QRect list = form.findChild<QWidget*>(QStringLiteral("cboCategory"))->geometry();
    const QRect around(left.left() - 8, list.top() - 8, left.width() + 16,
                       form.height() - list.top() + 8);
    bool ok = save(image.copy(around.united(placed.adjusted(0, 0, 8, 8)).intersected(image.rect())),
                   out + "/thumbnail-menu.png");

    form.showCommandsMenu();
    if (!waitUntil([&] { return shownMenu() != nullptr; }))
        return false;
    EngineWait::settle(300);
    ok &= save(shownMenu()->grab().toImage(), out + "/commands-menu.png");
    shownMenu()->close();
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir config, cache, data;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    qputenv("XDG_CACHE_HOME", cache.path().toLocal8Bit());
    qputenv("XDG_DATA_HOME", data.path().toLocal8Bit());
    // The pictures show templates drawn as the gallery draws them.
    if (const QStringList missing = RenderFonts::use(RenderFonts::besideProgram());
        !missing.isEmpty())
        QTextStream(stderr) << "quillery-docshots: fonts missing (" << missing.join(", ")
                            << "); drawing with the system's fonts\n";
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4) {
        QTextStream(stderr) << "usage: quillery-docshots OUT_FOLDER LIBRARY_FOLDER SOURCE_FOLDER\n";
        return 2;
    }
    const QString out = args[1];
    const QString library = QDir(args[2]).absolutePath();
    bool ok = windowShots(out, library);
    ok &= viewShots(out, library);
    ok &= checkShot(out, library);
    ok &= markAndExportShots(out, library);
    ok &= ownShot(out, library);
    ok &= menuShots(out, library);
    ok &= brandShots(out, library);
    ok &= categoryShot(library, QStringLiteral("Retail"), out + "/category-retail.png");
    ok &= categoryShot(library, QStringLiteral("Food and Drink"),
                       out + "/category-food-and-drink.png");
    ok &= overview(args[3], out + "/library-overview.png");
    ok &= sendTestShots(out, library);
    return ok ? 0 : 1;
}
