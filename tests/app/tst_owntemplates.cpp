#include "app/dialogtools.h"
#include "app/galleryfixture.h"
#include "app/pagetools.h"
#include "app/waits.h"
#include "app/windowcontrols.h"

#include "appfonts.h"
#include "apptranslation.h"
#include "browserpane.h"
#include "core/gallery/library/templatelibrary.h"
#include "core/gallery/userlibrary/userlibrary.h"
#include "core/mime/mimecomponent.h"
#include "core/platform/settingsstore.h"
#include "form1.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDirIterator>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <functional>
#include <optional>

namespace {

// To the widget that has the focus, as a keyboard would. The offscreen
// platform gives a closed dialog's activation back to no window: the test does.
void press(QWidget* window, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    if (!QApplication::focusWidget()) {
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
    }
    QVERIFY(waitUntil([] { return QApplication::focusWidget() != nullptr; }));
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
}

QStringList files(const QString& folder)
{
    QStringList out;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        out << it.next();
    out.sort();
    return out;
}

// A file dragged over the window, taken and dropped, as a file manager does it.
void dropFile(QWidget* window, const QString& file)
{
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(file)});
    QDragEnterEvent enter(QPoint(300, 300), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(300, 300), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window, &drop);
}

// Gives the link to `name` on the category page an id, for clickElement.
bool markLink(QWebEngineView* page, const QString& name, const QString& id)
{
    return evaluate(page,
                    QStringLiteral("(function(){var a=document.querySelector('a[href=\"#%1\"]');"
                                   "if(!a)return false;a.id='%2';return true;})()")
                        .arg(name, id))
        .toBool();
}

// How a dialog of the window looked when it came up.
struct DialogLook
{
    QString title;
    int width = 0;
    QString family;
    QStringList buttons; // every button's text, with "!" after one that cuts it
};

DialogLook lookOf(const QWidget* dialog)
{
    DialogLook look;
    look.title = dialog->windowTitle();
    look.width = dialog->width();
    look.family = QFontInfo(dialog->font()).family();
    for (const QPushButton* button : dialog->findChildren<QPushButton*>()) {
        if (!button->isVisible())
            continue;
        const int text = button->fontMetrics().horizontalAdvance(button->text());
        look.buttons << button->text() + (text + 8 > button->width() ? "!" : "");
    }
    return look;
}

// The window manager draws the title in a face of its own, commonly a bold one
// of about 11 points, beside the icon and three buttons; a narrower dialog
// shows the title cut short ("Rename t\u2026template").
int widthForTitle(const QString& title)
{
    QFont face = QApplication::font();
    face.setBold(true);
    face.setPointSizeF(std::max(face.pointSizeF(), 11.0));
    return QFontMetrics(face).horizontalAdvance(title) + 4 * 28 + 16;
}

} // namespace

class TestOwnTemplates : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void addsFromMessageAndExportedPage();
    void addsWithCtrlO();
    void defaultCategoryInGermanIsStoredAsItIs();
    void renamesAndRemovesFromTheKeyboard();
    void favouritesFollowRenameAndRemove();
    void removeGoesToTheTrashAndUndoPutsItBack_data();
    void removeGoesToTheTrashAndUndoPutsItBack();
    void withoutATrashRemovalAsksFirst();
    void shippedTemplatesStayAsTheyAre();
    void badInputIsRefusedWithNothingWritten();
    void startFinishesACutOffChange();
    void textNamedHtmlIsRefusedFirst();
    void dialogsFitTheirTexts_data();
    void dialogsFitTheirTexts();
    void changeFailureSaysWhyInWords_data();
    void changeFailureSaysWhyInWords();

private:
    void start();
    QString sampleMessage(const QString& name) const;
    QString exportedPage(const QString& name) const;
    BrowserPane* categoryPane() const { return control<BrowserPane>(m_form, "WebBrowser1"); }
    QComboBox* categories() const { return control<QComboBox>(m_form, "cboCategory"); }
    QString ownFolder() const { return m_fixture->dataFolder() + "/quillery/library"; }
    QString trashFolder() const { return m_fixture->dataFolder() + "/Trash"; }

    GalleryFixture* m_fixture = nullptr;
    QTemporaryDir* m_inputs = nullptr;
    Form1* m_form = nullptr;
    QSignalSpy* m_shown = nullptr;
};

void TestOwnTemplates::init()
{
    m_fixture = new GalleryFixture;
    m_fixture->addCategory("0Retail.html", {"Offer"});
    m_fixture->addTemplate("Offer");
    m_inputs = new QTemporaryDir;
}

void TestOwnTemplates::cleanup()
{
    delete m_shown;
    delete m_form;
    delete m_inputs;
    delete m_fixture;
    m_shown = nullptr;
    m_form = nullptr;
}

void TestOwnTemplates::start()
{
    m_form = new Form1(m_fixture->appFolder());
    m_shown = new QSignalSpy(m_form, &Form1::previewShown);
    m_form->show();
    m_form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_form));
    QVERIFY(waitForPreview(*m_shown, "Offer"));
}

QString TestOwnTemplates::sampleMessage(const QString& name) const
{
    const QString path = m_inputs->filePath(name + ".eml");
    QFile::copy(QUILLERY_TEST_DATA "/templateexport/sample.eml", path);
    return path;
}

// The page and its folder as the "> html" export writes them.
QString TestOwnTemplates::exportedPage(const QString& name) const
{
    MimeComponent mime;
    mime.LoadEmlFile(QUILLERY_TEST_DATA "/templateexport/sample.eml");
    const QByteArray html = mime.saveHtmlAndImagesUtf8(m_inputs->path(), name + "_files");
    const QString path = m_inputs->filePath(name + ".htm");
    if (const Status written = FileIo::writeAtomically(path, html); !written)
        qFatal("%s", qPrintable(written.message()));
    return path;
}

void TestOwnTemplates::addsFromMessageAndExportedPage()
{
    start();
    const Status added =
        m_form->addOwnTemplate(sampleMessage("Spring"), "My templates", "Spring News");
    QVERIFY2(added, qPrintable(added.message()));
    QVERIFY(waitForPreview(*m_shown, "Spring News"));
    // After the shipped categories, marked as the user's; the marker is no part of the name.
    QCOMPARE(categories()->count(), 2);
    QCOMPARE(categories()->itemText(1), QStringLiteral("My templates (yours)"));
    QCOMPARE(categories()->currentIndex(), 1);
    QCOMPARE(m_form->currentCategory(), QStringLiteral("My templates"));
    QCOMPARE(m_form->currentLibrary(), ownFolder());
    QCOMPARE(evaluate(control<BrowserPane>(m_form, "WebBrowser2"), "document.title").toString(),
             QStringLiteral("Sample"));

    // The category page shows the thumbnail the renderer drew.
    QVERIFY(waitUntil([this] {
        return categoryPane()->url().path().endsWith("/categories/My templates.html") &&
               evaluate(categoryPane(), "document.images.length ? document.images[0].naturalWidth "
                                        ": 0")
                       .toInt() == 300;
    }));
    const QImage thumb(ownFolder() + "/categories/thumbs/spring-news.png");
    QCOMPARE(thumb.size(), QSize(300, 375));
    QVERIFY(thumb != QImage::fromData(UserLibrary::placeholderThumbnail()));

    // A page dropped on the window: the dialog offers its name and the category.
    const QString page = exportedPage("Autumn News");
    whenShown<QDialog>(m_form, [](QDialog* dialog) {
        QCOMPARE(dialog->findChild<QLineEdit*>("name")->text(), QStringLiteral("Autumn News"));
        QCOMPARE(dialog->findChild<QComboBox*>("category")->currentText(),
                 QStringLiteral("My templates"));
        dialog->accept();
    });
    dropFile(m_form, page);
    QVERIFY(waitForPreview(*m_shown, "Autumn News"));
    QCOMPARE(TemplateLibrary::templateLinks(ownFolder() + "/categories/My templates.html"),
             (QStringList{"Spring News", "Autumn News"}));

    // A click on the first thumbnail previews it from the user's library.
    QVERIFY(waitUntil([this] { return markLink(categoryPane(), "Spring News", "spring"); }));
    clickElement(categoryPane(), "spring");
    QVERIFY(waitForPreview(*m_shown, "Spring News"));
    QCOMPARE(m_form->currentTemplate(), QStringLiteral("Spring News"));
}

// A German user sees "Meine Vorlagen" in the dialog and the list; the library
// keeps "My templates", which is what an English start shows again.
void TestOwnTemplates::defaultCategoryInGermanIsStoredAsItIs()
{
    start();
    {
        const AppTranslation german(QStringList{QStringLiteral("de-DE")});
        whenShown<QDialog>(m_form, [](QDialog* dialog) {
            QCOMPARE(dialog->findChild<QComboBox*>("category")->currentText(),
                     QStringLiteral("Meine Vorlagen"));
            dialog->accept();
        });
        dropFile(m_form, sampleMessage("Spring"));
        QVERIFY(waitForPreview(*m_shown, "Spring"));
        QCOMPARE(m_form->currentCategory(), QStringLiteral("My templates"));
        QCOMPARE(categories()->currentText(), QStringLiteral("Meine Vorlagen (eigene)"));
        QVERIFY(QFileInfo::exists(ownFolder() + "/categories/My templates.html"));
        QVERIFY(!QFileInfo::exists(ownFolder() + "/categories/Meine Vorlagen.html"));

        // The second one goes into the same category, offered again in German.
        whenShown<QDialog>(m_form, [](QDialog* dialog) {
            auto* category = dialog->findChild<QComboBox*>("category");
            QCOMPARE(category->currentText(), QStringLiteral("Meine Vorlagen"));
            QCOMPARE(category->count(), 1);
            dialog->accept();
        });
        dropFile(m_form, exportedPage("Autumn News"));
        QVERIFY(waitForPreview(*m_shown, "Autumn News"));
        QCOMPARE(TemplateLibrary::templateLinks(ownFolder() + "/categories/My templates.html"),
                 (QStringList{"Spring", "Autumn News"}));
    }
    QCOMPARE(TemplateLibrary::categoryNames(ownFolder()), QStringList{"My templates"});
}

void TestOwnTemplates::addsWithCtrlO()
{
    start();
    // The commands have names and tooltips that say their keys.
    const QList<QAction*> actions = m_form->actions();
    QStringList names;
    for (const QAction* action : actions)
        names << action->text() + " | " + action->toolTip();
    for (const char* expected : {"Add a template\u2026 | ", "(Ctrl+O)", "(F2)", "(Del)"})
        QVERIFY2(names.join('\n').contains(QString::fromUtf8(expected)),
                 qPrintable(names.join('\n')));

    const QString file = sampleMessage("Ctrl O");
    QString prefilled = "unread";
    whenShown<QFileDialog>(m_form, [this, file, &prefilled](QFileDialog* dialog) {
        prefilled = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text();
        whenShown<QDialog>(m_form, [](QDialog* dialog) {
            // Any other box would wait for an answer for ever; the checks
            // below then name what is missing.
            if (dialog->objectName() != QStringLiteral("AddTemplateDialog")) {
                qWarning("unexpected dialog %s", qPrintable(dialog->windowTitle()));
                dialog->reject();
                return;
            }
            dialog->findChild<QComboBox*>("category")->setCurrentText("Picked");
            // Its button says what it does; the title is not cut short.
            auto* box = dialog->findChild<QDialogButtonBox*>();
            QCOMPARE(box->button(QDialogButtonBox::Ok)->text(), QStringLiteral("Add"));
            QVERIFY(dialog->width() >=
                    dialog->fontMetrics().horizontalAdvance(dialog->windowTitle()) + 100);
            dialog->accept();
        });
        // Typed as a user types a path: the dialog need not have read its
        // folder yet, as selectFile would need on a busy machine.
        dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(file);
        static_cast<QDialog*>(dialog)->accept();
    });
    press(m_form, Qt::Key_O, Qt::ControlModifier);
    QVERIFY(waitForPreview(*m_shown, "Ctrl O"));
    // No folder offered as the name of the file to open.
    QCOMPARE(prefilled, QString());
    QCOMPARE(m_form->currentCategory(), QStringLiteral("Picked"));
    QVERIFY(QFileInfo::exists(ownFolder() + "/templates/Ctrl O.dat"));
}

void TestOwnTemplates::renamesAndRemovesFromTheKeyboard()
{
    start();
    QVERIFY(m_form->addOwnTemplate(sampleMessage("a"), "Mine", "First"));
    QVERIFY(waitForPreview(*m_shown, "First"));

    whenShown<QInputDialog>(m_form, [](QInputDialog* dialog) {
        QCOMPARE(dialog->textValue(), QStringLiteral("First"));
        QCOMPARE(dialog->okButtonText(), QStringLiteral("Rename"));
        QVERIFY(dialog->width() >=
                dialog->fontMetrics().horizontalAdvance(dialog->windowTitle()) + 100);
        dialog->setTextValue("Renamed");
        dialog->accept();
    });
    press(m_form, Qt::Key_F2);
    QVERIFY(waitForPreview(*m_shown, "Renamed"));
    QCOMPARE(TemplateLibrary::templateLinks(ownFolder() + "/categories/Mine.html"),
             QStringList{"Renamed"});
    QVERIFY(QFileInfo::exists(ownFolder() + "/templates/Renamed.dat"));
    // The recent templates follow the rename, and forget a removed one.
    const auto recent = [] {
        return modSettings::ReadSetting(Form1::SettingsKey, "Main", "Recent")
            .split(' ', Qt::SkipEmptyParts);
    };
    QCOMPARE(recent(), QStringList{"Renamed"});

    // Into the trash without a question: the notice offers to undo it.
    press(m_form, Qt::Key_Delete);
    QVERIFY(waitUntil([this] { return categories()->count() == 1; }));
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    QVERIFY(control(m_form, "undoNotice")->isVisible());
    QCOMPARE(files(ownFolder()), QStringList());
    QVERIFY(QFileInfo::exists(trashFolder() + "/files/Renamed.dat"));
    QCOMPARE(m_form->currentCategory(), QStringLiteral("Retail"));
    QCOMPARE(recent(), QStringList());
}

// A favourite renamed keeps its place among the favourites, one removed leaves
// them; and an own template is renamed from the favourites as from its category.
void TestOwnTemplates::favouritesFollowRenameAndRemove()
{
    start();
    QVERIFY(m_form->addOwnTemplate(sampleMessage("a"), "Mine", "First"));
    QVERIFY(waitForPreview(*m_shown, "First"));
    m_form->setFavourite("First", true);
    m_form->setFavourite("Offer", true);
    const auto favourites = [] {
        return modSettings::ReadSetting(SettingKeys::Favourites).split(' ', Qt::SkipEmptyParts);
    };
    QCOMPARE(favourites(), (QStringList{"First", "Offer"}));

    m_form->showCategory(QString());
    QVERIFY(m_form->showsFavourites());
    QVERIFY(waitForPreview(*m_shown, "First"));
    whenShown<QInputDialog>(m_form, [](QInputDialog* dialog) {
        dialog->setTextValue("Second");
        dialog->accept();
    });
    press(m_form, Qt::Key_F2);
    QVERIFY(waitForPreview(*m_shown, "Second"));
    QCOMPARE(favourites(), (QStringList{"Second", "Offer"}));
    QVERIFY(m_form->showsFavourites());
    QCOMPARE(m_form->isFavourite("Second"), true);

    QVERIFY(m_form->removeOwnTemplate("Second"));
    QCOMPARE(favourites(), QStringList{"Offer"});
    QVERIFY(m_form->showsFavourites());
}

void TestOwnTemplates::removeGoesToTheTrashAndUndoPutsItBack_data()
{
    QTest::addColumn<bool>("byKey");
    QTest::addColumn<bool>("nameTaken");
    QTest::addColumn<QString>("restoredAs");
    QTest::newRow("Ctrl+Z") << true << false << "Second";
    QTest::newRow("the notice's Undo") << false << false << "Second";
    QTest::newRow("name taken meanwhile") << true << true << "Second (2)";
}

// Removed into the trash, recorded as deleted from the library; undone, it is
// back on its category page in its place, with its own thumbnail.
void TestOwnTemplates::removeGoesToTheTrashAndUndoPutsItBack()
{
    QFETCH(bool, byKey);
    QFETCH(bool, nameTaken);
    QFETCH(QString, restoredAs);
    start();
    for (const char* name : {"First", "Second", "Third"}) {
        QVERIFY(m_form->addOwnTemplate(sampleMessage(name), "Mine", name));
        QVERIFY(waitForPreview(*m_shown, name));
    }
    const QString page = ownFolder() + "/categories/Mine.html";
    const QString thumb = ownFolder() + "/categories/thumbs/second.png";
    const QByteArray picture = FileIo::readAll(thumb).valueOr(QByteArray());
    QVERIFY(!picture.isEmpty());
    m_form->SelectTemplate("Second");
    QVERIFY(waitForPreview(*m_shown, "Second"));
    m_form->setFavourite("Second", true);

    press(m_form, Qt::Key_Delete);
    QVERIFY(waitUntil([&] { return !QFileInfo::exists(ownFolder() + "/templates/Second.dat"); }));
    QCOMPARE(TemplateLibrary::templateLinks(page), (QStringList{"First", "Third"}));
    const QString info =
        FileIo::readAll(trashFolder() + "/info/Second.dat.trashinfo").valueOr(QByteArray());
    QVERIFY2(info.startsWith("[Trash Info]\nPath=" +
                             QUrl::toPercentEncoding(ownFolder() + "/templates/Second.dat", "/") +
                             "\nDeletionDate="),
             qPrintable(info));
    QVERIFY(QFileInfo::exists(trashFolder() + "/files/Second.dat"));
    auto* notice = control(m_form, "undoNotice");
    QVERIFY(notice->isVisible());
    QCOMPARE(control<QLabel>(m_form, "undoNoticeText")->text(),
             QString::fromUtf8("“Second” is in the trash"));

    if (nameTaken) {
        QVERIFY(m_form->addOwnTemplate(sampleMessage("again"), "Other", "Second"));
        QVERIFY(waitForPreview(*m_shown, "Second"));
    }
    if (byKey) {
        // From the category page, where the keyboard is after a removal.
        categoryPane()->setFocus();
        press(m_form, Qt::Key_Z, Qt::ControlModifier);
    } else {
        QTest::mouseClick(control<QPushButton>(m_form, "undoNoticeAction"), Qt::LeftButton);
    }
    QVERIFY(waitForPreview(*m_shown, restoredAs));
    QCOMPARE(m_form->currentCategory(), QStringLiteral("Mine"));
    QCOMPARE(TemplateLibrary::templateLinks(page), (QStringList{"First", restoredAs, "Third"}));
    QVERIFY(QFileInfo::exists(ownFolder() + "/templates/" + restoredAs + ".dat"));
    // Its own picture, not the placeholder an added template shows first.
    const QStringList thumbs = QDir(ownFolder() + "/categories/thumbs").entryList(QDir::Files);
    bool samePicture = false;
    for (const QString& file : thumbs)
        samePicture |=
            FileIo::readAll(ownFolder() + "/categories/thumbs/" + file).valueOr(QByteArray()) ==
            picture;
    QVERIFY(samePicture);
    // Out of the trash, and nothing more to undo.
    QCOMPARE(QDir(trashFolder() + "/files").entryList(QDir::Files), QStringList());
    QCOMPARE(QDir(trashFolder() + "/info").entryList(QDir::Files), QStringList());
    QVERIFY(!m_form->findChild<QAction*>("undoRemoveAction")->isEnabled());
    // A favourite before, a favourite again, under the name it came back as.
    QVERIFY(m_form->isFavourite(restoredAs));
    if (nameTaken)
        QVERIFY(control(m_form, "undoNotice")->isVisible());
}

// Where the trash cannot take the template, the user is asked before it is
// removed for good, as nothing could undo it.
void TestOwnTemplates::withoutATrashRemovalAsksFirst()
{
    start();
    QVERIFY(m_form->addOwnTemplate(sampleMessage("a"), "Mine", "First"));
    QVERIFY(waitForPreview(*m_shown, "First"));
    QVERIFY(FileIo::writeAtomically(trashFolder(), "a file where the trash should be"));

    // Asked, and kept when the user says no.
    QString question;
    whenShown<QMessageBox>(m_form, [&question](QMessageBox* box) {
        question = box->windowTitle() + " | " + box->text();
        box->reject();
    });
    press(m_form, Qt::Key_Delete);
    QVERIFY(waitUntil([&question] { return !question.isEmpty(); }));
    QVERIFY2(question.startsWith("Remove the template | The trash cannot take the template") &&
                 question.contains(QString::fromUtf8("“First”")) &&
                 question.contains("This cannot be undone."),
             qPrintable(question));
    QVERIFY(QFileInfo::exists(ownFolder() + "/templates/First.dat"));

    whenShown<QMessageBox>(m_form, [](QMessageBox* box) {
        // The button says what it does.
        for (QAbstractButton* button : box->buttons())
            if (button->text() == "Remove")
                button->click();
    });
    press(m_form, Qt::Key_Delete);
    QVERIFY(waitUntil([this] { return categories()->count() == 1; }));
    QCOMPARE(files(ownFolder()), QStringList());
    QVERIFY(!control(m_form, "undoNotice")->isVisible());
    QVERIFY(!m_form->findChild<QAction*>("undoRemoveAction")->isEnabled());
}

void TestOwnTemplates::shippedTemplatesStayAsTheyAre()
{
    start();
    const QStringList before = files(m_fixture->appFolder());
    for (Qt::Key key : {Qt::Key_F2, Qt::Key_Delete}) {
        QString said;
        whenShown<QMessageBox>(m_form, [&said](QMessageBox* box) {
            said = box->text();
            box->accept();
        });
        press(m_form, key);
        QVERIFY(waitUntil([&said] { return !said.isEmpty(); }));
        QVERIFY2(said.contains(QString::fromUtf8("“Offer” is a shipped template")),
                 qPrintable(said));
    }
    QCOMPARE(files(m_fixture->appFolder()), before);
    QVERIFY(!QFileInfo::exists(ownFolder()));
}

void TestOwnTemplates::badInputIsRefusedWithNothingWritten()
{
    start();
    const QString hostile = m_inputs->filePath("hostile.html");
    QVERIFY(FileIo::writeAtomically(hostile,
                                    "<html><body><p>Hi</p><script>steal()</script></body></html>"));
    const Status status = m_form->addOwnTemplate(hostile, "Mine", "Hostile");
    QVERIFY(!status);
    QVERIFY2(status.message().contains(hostile) && status.message().contains("script"),
             qPrintable(status.message()));
    QVERIFY(!QFileInfo::exists(ownFolder()));
    QCOMPARE(categories()->count(), 1);
    QCOMPARE(m_form->currentTemplate(), QStringLiteral("Offer"));

    // The same through the window: the reason in a message box, before the
    // dialog that would ask for a category and a name.
    QString said;
    whenShown<QDialog>(m_form, [&said](QDialog* dialog) {
        said = dialog->objectName() == "AddTemplateDialog"
                   ? QStringLiteral("asked first")
                   : static_cast<QMessageBox*>(dialog)->text();
        dialog->reject();
    });
    dropFile(m_form, hostile);
    QVERIFY(waitUntil([&said] { return !said.isEmpty(); }));
    QVERIFY2(said.contains("was not added") && said.contains("script"), qPrintable(said));
    QVERIFY(!QFileInfo::exists(ownFolder()));
}

// An add killed before its page was written: the next start takes it back,
// so that the name is free again and no invisible file stays.
void TestOwnTemplates::startFinishesACutOffChange()
{
    const QString own = ownFolder();
    QVERIFY(QDir().mkpath(own + "/templates"));
    QVERIFY(QDir().mkpath(own + "/categories/thumbs"));
    QVERIFY(FileIo::writeAtomically(own + "/templates/Half.dat", "half"));
    QVERIFY(FileIo::writeAtomically(own + "/categories/thumbs/half.png", "png"));
    QVERIFY(FileIo::writeAtomically(own + "/categories/Mine.html.a1B2c3", "<a"));
    QVERIFY(FileIo::writeAtomically(own + "/.quillery-change",
                                    "quillery-change 1\nop\tadd\nname\tHalf\ncategory\tMine\n"
                                    "thumbnail\thalf.png\n"));
    start();
    QCOMPARE(files(own), QStringList{own + "/.quillery-lock"});
    QCOMPARE(categories()->count(), 1);
}

// A text file named .html is refused before the user is asked for its
// category and name, under the command's title, with what to do.
void TestOwnTemplates::textNamedHtmlIsRefusedFirst()
{
    start();
    const QString text = m_inputs->filePath("notes.html");
    QVERIFY(FileIo::writeAtomically(text, "Dear all,\nthe meeting is on Monday.\n"));
    QVERIFY(!m_form->addOwnTemplate(text, "Mine", "Notes"));
    QString said, asked;
    whenShown<QDialog>(m_form, [&said, &asked](QDialog* dialog) {
        if (auto* box = qobject_cast<QMessageBox*>(dialog)) {
            said = box->windowTitle() + " | " + box->text();
            box->accept();
        } else {
            asked = dialog->windowTitle();
            dialog->reject();
        }
    });
    dropFile(m_form, text);
    QVERIFY(waitUntil([&] { return !said.isEmpty() || !asked.isEmpty(); }));
    QCOMPARE(asked, QString());
    QVERIFY2(said.startsWith("Add a template | The template was not added.") &&
                 said.contains(text + ": this is not an HTML page") &&
                 said.contains("add it again"),
             qPrintable(said));
    QVERIFY(!QFileInfo::exists(ownFolder()));
}

// The add, rename and remove dialogs in either language: the title in full,
// buttons that name the action, the window's face; the file dialog offers no
// folder as the name of the file to open.
void TestOwnTemplates::dialogsFitTheirTexts_data()
{
    QTest::addColumn<QStringList>("languages");
    QTest::addColumn<QStringList>("verbs");
    QTest::newRow("English") << QStringList{"en-US"} << QStringList{"Add", "Rename", "Remove"};
    QTest::newRow("German") << QStringList{"de-DE"}
                            << QStringList{"Hinzuf\u00fcgen", "Umbenennen", "Entfernen"};
}

void TestOwnTemplates::dialogsFitTheirTexts()
{
    QFETCH(QStringList, languages);
    QFETCH(QStringList, verbs);
    // A home without a Documents folder, as a fresh account has.
    QTemporaryDir home;
    const QByteArray savedHome = qgetenv("HOME");
    qputenv("HOME", home.path().toLocal8Bit());
    const auto restoreHome = qScopeGuard([&savedHome] { qputenv("HOME", savedHome); });
    const AppTranslation translation(languages);
    start();
    const QString window = QFontInfo(AppFonts::tahoma(9)).family();

    const QString file = sampleMessage("Mine");
    QString prefilled = "unread";
    DialogLook opened, added, renamed, removed;
    whenShown<QFileDialog>(m_form, [&, file](QFileDialog* dialog) {
        prefilled = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text();
        opened = lookOf(dialog);
        whenShown<QDialog>(m_form, [&added](QDialog* dialog) {
            added = lookOf(dialog);
            dialog->accept();
        });
        dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(file);
        static_cast<QDialog*>(dialog)->accept();
    });
    press(m_form, Qt::Key_O, Qt::ControlModifier);
    QVERIFY(waitForPreview(*m_shown, "Mine"));

    whenShown<QInputDialog>(m_form, [&renamed](QInputDialog* dialog) {
        renamed = lookOf(dialog);
        dialog->setTextValue("Ours");
        dialog->accept();
    });
    press(m_form, Qt::Key_F2);
    QVERIFY(waitForPreview(*m_shown, "Ours"));

    // The question comes only where the trash cannot take the template.
    QVERIFY(FileIo::writeAtomically(trashFolder(), "no trash here"));
    whenShown<QMessageBox>(m_form, [&removed, verbs](QMessageBox* box) {
        removed = lookOf(box);
        for (QAbstractButton* button : box->buttons())
            if (button->text() == verbs[2])
                button->click();
        if (box->isVisible())
            box->reject();
    });
    press(m_form, Qt::Key_Delete);
    QVERIFY(waitUntil([&removed] { return !removed.title.isEmpty(); }));

    QCOMPARE(prefilled, QString());
    QCOMPARE(opened.family, window);
    const QList<std::pair<DialogLook, QString>> dialogs{
        {added, verbs[0]}, {renamed, verbs[1]}, {removed, verbs[2]}};
    for (const auto& [look, verb] : dialogs) {
        QVERIFY2(look.width >= widthForTitle(look.title),
                 qPrintable(QStringLiteral("\"%1\" needs %2 pixels, the dialog has %3")
                                .arg(look.title)
                                .arg(widthForTitle(look.title))
                                .arg(look.width)));
        QVERIFY2(look.buttons.contains(verb), qPrintable(look.buttons.join(" | ")));
        QVERIFY2(look.buttons.filter("!").isEmpty(), qPrintable(look.buttons.join(" | ")));
        QCOMPARE(look.family, window);
    }
    // The button named for removing removed it.
    QVERIFY(waitUntil([this] { return categories()->count() == 1; }));
}

// A rename or removal the file system refuses: the box names the command,
// what failed and where, the reason in words and what to do; the system's
// own words are in its details. A file where the library has a folder, or a
// folder where it has a file, makes the system refuse as it would for any
// user, root included.
void TestOwnTemplates::changeFailureSaysWhyInWords_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("blocked");
    QTest::addColumn<QString>("said");
    QTest::addColumn<QString>("words");
    QTest::addColumn<QString>("system");
    QTest::newRow("rename") << int(Qt::Key_F2) << "categories/thumbs"
                            << "Rename the template | The template was not renamed.\n\n%1"
                            << ": a part of this path is a file, where a folder should be\n\n"
                            << "Not a directory";
    QTest::newRow("remove") << int(Qt::Key_Delete) << ".quillery-lock"
                            << "Remove the template | The template was not removed.\n\n%1"
                            << ": this is a folder, where a file should be\n\n"
                            << "Is a directory";
}

void TestOwnTemplates::changeFailureSaysWhyInWords()
{
    QFETCH(int, key);
    QFETCH(QString, blocked);
    QFETCH(QString, said);
    QFETCH(QString, words);
    QFETCH(QString, system);
    start();
    QVERIFY(m_form->addOwnTemplate(sampleMessage("a"), "Mine", "First"));
    QVERIFY(waitForPreview(*m_shown, "First"));
    const QString path = ownFolder() + '/' + blocked;
    const bool folder = QFileInfo(path).isDir();
    QVERIFY(folder ? QDir().rename(path, path + ".moved") : QFile::remove(path));
    QVERIFY(folder ? FileIo::writeAtomically(path, "in the way").ok() : QDir().mkpath(path + "/x"));

    QString seen, details;
    const auto record = [&] {
        whenShown<QMessageBox>(m_form, [&](QMessageBox* box) {
            seen = box->windowTitle() + " | " + box->text();
            details = box->detailedText();
            box->accept();
        });
    };
    whenShown<QDialog>(m_form, [&](QDialog* dialog) {
        record();
        if (auto* input = qobject_cast<QInputDialog*>(dialog)) {
            input->setTextValue("Renamed");
            input->accept();
            return;
        }
        for (QAbstractButton* button : static_cast<QMessageBox*>(dialog)->buttons())
            if (button->text() == "Remove")
                button->click();
    });
    press(m_form, Qt::Key(key));
    QVERIFY(waitUntil([&seen] { return !seen.isEmpty(); }));
    QVERIFY2(seen.startsWith(said.arg(path)) && seen.contains(words) && seen.endsWith("again.") &&
                 !seen.contains(system),
             qPrintable(seen));
    QVERIFY2(details.contains(path) && details.contains(": " + system), qPrintable(details));
}

QTEST_MAIN(TestOwnTemplates)
#include "tst_owntemplates.moc"
