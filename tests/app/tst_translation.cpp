#include "app/galleryfixture.h"
#include "app/pagetools.h"
#include "app/windowcontrols.h"

#include "apptranslation.h"
#include "browserpane.h"
#include "buttonplus.h"
#include "categorynames.h"
#include "core/gallery/library/templatedecoding.h"
#include "core/gallery/search/searchpage.h"
#include "core/gallery/userlibrary/userlibrary.h"
#include "core/platform/fileio.h"
#include "form1.h"
#include "form2.h"
#include "splitterbar.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

// The gallery in the user's language: which translation a list of preferred
// languages brings, the window and its pages in German, and the program as a
// German terminal user starts it.
class TestTranslation : public QObject
{
    Q_OBJECT

private slots:
    void chosenLanguage_data();
    void chosenLanguage();
    void windowInGerman();
    void morePanelInGerman();
    void pagesInGerman();
    void categoryMarkInGerman();
    void categoriesInGerman();
    void shippedCategoryWordsAreTheLibrarys();
    void searchPageNamesItsLanguage();
    void qtDialogsInTheSameLanguage();
    void programInTheUsersLanguage_data();
    void programInTheUsersLanguage();
};

namespace {

const QStringList German{QStringLiteral("de-DE")};

// A caption wider than its button is cut off at both ends.
void verifyCaptionsFit(const QWidget& window)
{
    for (const ButtonPlus* button : window.findChildren<ButtonPlus*>()) {
        const int width = QFontMetrics(button->font()).horizontalAdvance(button->Caption());
        QVERIFY2(width <= button->width(),
                 qPrintable(QStringLiteral("%1: \"%2\" is %3 pixels wide, the button %4")
                                .arg(button->objectName(), button->Caption())
                                .arg(width)
                                .arg(button->width())));
    }
}

QString pageText(BrowserPane* pane)
{
    return evaluate(pane, QStringLiteral("document.body.innerText")).toString();
}

} // namespace

void TestTranslation::chosenLanguage_data()
{
    QTest::addColumn<QStringList>("uiLanguages");
    QTest::addColumn<QString>("language");
    QTest::newRow("German") << QStringList{"de-DE"} << "de_DE";
    QTest::newRow("German of Austria") << QStringList{"de-AT"} << "de_AT";
    QTest::newRow("German written with its script") << QStringList{"de-Latn-CH"} << "de_CH";
    QTest::newRow("French first, no French") << QStringList{"fr-FR", "fr", "de"} << "de_DE";
    QTest::newRow("English first") << QStringList{"en-US", "de-DE"} << "";
    QTest::newRow("English only") << QStringList{"en-GB"} << "";
    QTest::newRow("unknown tag first") << QStringList{"qqq", "de"} << "de_DE";
    QTest::newRow("no translation at all") << QStringList{"fr-FR", "ja-JP"} << "";
    QTest::newRow("C locale") << QStringList{"C"} << "";
    QTest::newRow("nothing") << QStringList{} << "";
}

void TestTranslation::chosenLanguage()
{
    QFETCH(QStringList, uiLanguages);
    QFETCH(QString, language);
    {
        const AppTranslation translation(uiLanguages);
        QCOMPARE(translation.language(), language);
        QCOMPARE(QCoreApplication::translate("Form1", "More"),
                 language.isEmpty() ? QStringLiteral("More") : QStringLiteral("Mehr"));
        // A core message, which the window shows as it comes.
        QCOMPARE(QCoreApplication::translate("TemplateLibrary", "no template is chosen"),
                 language.isEmpty() ? QStringLiteral("no template is chosen")
                                    : QStringLiteral("keine Vorlage gewählt"));
        if (language.isEmpty())
            QVERIFY(!translation.hasQtTranslation());
    }
    // Gone with its object: the next test starts in English.
    QCOMPARE(QCoreApplication::translate("Form1", "More"), QStringLiteral("More"));
}

void TestTranslation::windowInGerman()
{
    GalleryFixture fixture;
    fixture.addCategory("Offers.html", {"Offer"});
    fixture.addTemplate("Offer");
    const AppTranslation translation(German);
    Form1 form(fixture.appFolder());

    QCOMPARE(control<QLabel>(form, "lblTitle0")->text(), QStringLiteral(" Vorlage wählen"));
    QCOMPARE(control<QLabel>(form, "lblTitle1")->text(), QStringLiteral(" Vorschau: Offer"));
    QCOMPARE(control<QLabel>(form, "lblTitle2")->text(), QStringLiteral(" Exportieren"));
    // The captions keep their arrow; names stay names.
    QCOMPARE(control<ButtonPlus>(form, "cmdButton", 0)->Caption(), QStringLiteral("> html"));
    QCOMPARE(control<ButtonPlus>(form, "cmdButton", 2)->Caption(), QStringLiteral("> Rookpost"));
    QCOMPARE(control<ButtonPlus>(form, "cmdButton", 3)->Caption(), QStringLiteral("Mehr"));
    QCOMPARE(control<ButtonPlus>(form, "cmdButton", 4)->Caption(), QStringLiteral("Quillery 1"));
    QCOMPARE(form.windowTitle(), QStringLiteral("Quillery 1 | 1.0.5"));

    QCOMPARE(control(form, "cmdButton", 0)->accessibleName(),
             QStringLiteral("Als HTML-Seite exportieren\u2026"));
    // The tooltips end in the button's key, named by Qt in the same language.
    const QString exportTip = control(form, "cmdButton", 0)->toolTip();
    QVERIFY2(exportTip.startsWith(QStringLiteral("Die angezeigte Vorlage als HTML-Seite mit ihrem "
                                                 "Bilderordner exportieren (")),
             qPrintable(exportTip));
    if (translation.hasQtTranslation())
        QVERIFY2(exportTip.endsWith(QStringLiteral(" (Strg+E)")), qPrintable(exportTip));
    QCOMPARE(control(form, "cmdButton", 1)->accessibleName(),
             QStringLiteral("Als .eml-Nachricht exportieren\u2026"));
    QCOMPARE(control(form, "cmdButton", 2)->accessibleName(),
             QStringLiteral("An Rookpost übergeben"));
    QVERIFY(control(form, "cmdButton", 3)
                ->toolTip()
                .startsWith(
                    QStringLiteral("Mehr: die Website, das Layout, Hilfe und „Über Quillery“ (")));
    QCOMPARE(control(form, "cmdButton", 4)->accessibleName(), QStringLiteral("Quillery-Website"));
    QCOMPARE(control(form, "cboCategory")->accessibleName(), QStringLiteral("Kategorie"));
    QCOMPARE(control(form, "lblTitle0")->accessibleName(), QStringLiteral("Kategorie"));
    QCOMPARE(control(form, "WebBrowser1")->accessibleName(), QStringLiteral("Kategorieseite"));
    QCOMPARE(control(form, "WebBrowser2")->accessibleName(), QStringLiteral("Vorschau"));
    QCOMPARE(control(form, "picSplitter")->accessibleName(),
             QStringLiteral("Trennleiste zwischen Kategorieseite und Vorschau"));
    verifyCaptionsFit(form);

    QCOMPARE(control<QLineEdit>(form, "txtSearch")->placeholderText(),
             QStringLiteral("Alle Vorlagen nach Name, Betreff oder Text durchsuchen"));
    QCOMPARE(control<QPushButton>(form, "exportNoticeOpen")->text(),
             QStringLiteral("Ordner öffnen"));
    const QString notice = control(form, "exportNotice")->accessibleDescription();
    QVERIFY2(notice.startsWith(QStringLiteral("Export abgeschlossen.")), qPrintable(notice));
    if (translation.hasQtTranslation())
        QVERIFY2(notice.contains(QStringLiteral("Strg+Umschalt+O")), qPrintable(notice));
}

void TestTranslation::morePanelInGerman()
{
    GalleryFixture fixture;
    const AppTranslation translation(German);
    Form1 form(fixture.appFolder());
    Form2 panel(&form);
    QCOMPARE(panel.accessibleName(), QStringLiteral("Mehr"));
    QCOMPARE(control<ButtonPlus>(panel, "cmdButton", 3)->Caption(), QStringLiteral("Website"));
    // The caption is short enough for its button; the name says it in full.
    QCOMPARE(control<ButtonPlus>(panel, "cmdButton", 1)->Caption(), QStringLiteral("Zurücksetzen"));
    QCOMPARE(control(panel, "cmdButton", 1)->accessibleName(),
             QStringLiteral("Layout zurücksetzen"));
    QCOMPARE(control(panel, "cmdButton", 1)->toolTip(),
             QStringLiteral("Die Trennleiste zwischen den Bereichen an ihre Ausgangsposition "
                            "zurücksetzen"));
    QCOMPARE(control(panel, "cmdButton", 2)->accessibleName(), QStringLiteral("Schließen"));
    QCOMPARE(control(panel, "cmdButton", 2)->toolTip(), QStringLiteral("Dieses Fenster schließen"));
    verifyCaptionsFit(panel);
}

// The notice pages, with the reasons the core gives, are German through and through.
void TestTranslation::pagesInGerman()
{
    GalleryFixture fixture;
    const AppTranslation translation(German);
    Form1 form(fixture.appFolder());
    auto* categoryPane = control<BrowserPane>(form, "WebBrowser1");
    auto* preview = control<BrowserPane>(form, "WebBrowser2");
    QSignalSpy categoryLoaded(categoryPane, &BrowserPane::DocumentComplete);
    QSignalSpy shown(&form, &Form1::previewShown);
    form.show();
    QVERIFY(categoryLoaded.wait(20000));
    const QString empty = pageText(categoryPane);
    QVERIFY2(empty.contains(QStringLiteral("Keine Vorlagen")) &&
                 empty.contains(QStringLiteral("In %1/categories gibt es keine Kategorieseiten.")
                                    .arg(fixture.appFolder())),
             qPrintable(empty));

    form.SelectTemplate(QStringLiteral("Ghost"));
    QCOMPARE(control<QLabel>(form, "lblTitle1")->text(), QStringLiteral(" Vorschau: Ghost"));
    QVERIFY(shown.wait(20000));
    const QString notice = pageText(preview);
    QVERIFY2(notice.contains(QStringLiteral("Die Vorlage \u201eGhost\u201c kann nicht angezeigt "
                                            "werden")) &&
                 notice.contains(QStringLiteral("Ghost.dat: die Vorlagendatei fehlt")),
             qPrintable(notice));
}

// The label on the previewed thumbnail is drawn by a script inside the page.
void TestTranslation::categoryMarkInGerman()
{
    GalleryFixture fixture;
    fixture.addCategory("Offers.html", {"Offer"});
    fixture.addTemplate("Offer");
    const AppTranslation translation(German);
    Form1 form(fixture.appFolder());
    QSignalSpy shown(&form, &Form1::previewShown);
    form.show();
    QVERIFY(shown.wait(20000));
    auto* pane = control<BrowserPane>(form, "WebBrowser1");
    const QString label = QStringLiteral("getComputedStyle(document.getElementById('Offer'), "
                                         "'::after').getPropertyValue('content')");
    QElapsedTimer timer;
    timer.start();
    QString content;
    do {
        content = evaluate(pane, label).toString();
    } while (!content.contains(QStringLiteral("In der Vorschau")) && !timer.hasExpired(20000));
    QVERIFY2(content.contains(QStringLiteral("In der Vorschau")), qPrintable(content));
}

namespace {

// Writes the user's own category `category` holding `names`, as the gallery writes it.
void addOwnCategory(const GalleryFixture& fixture, const QString& category,
                    const QStringList& names)
{
    const QString own = fixture.dataFolder() + QStringLiteral("/quillery/library");
    QList<UserLibrary::Entry> entries;
    for (const QString& name : names) {
        entries.append({name, UserLibrary::thumbnailFileName(name)});
        const auto packed = Module1::packTemplate(GalleryFixture::message(name));
        QVERIFY(packed);
        QVERIFY(QDir().mkpath(own + "/templates"));
        QVERIFY(FileIo::writeAtomically(own + "/templates/" + name + ".dat", *packed));
    }
    QVERIFY(QDir().mkpath(own + "/categories"));
    QVERIFY(FileIo::writeAtomically(own + "/categories/" + category + ".html",
                                    UserLibrary::categoryPage(category, entries)));
}

QString pageWords(BrowserPane* pane)
{
    return evaluate(pane,
                    QStringLiteral("[document.title, document.querySelector('h1').textContent,"
                                   " document.querySelector('h1').lang,"
                                   " document.querySelector('h1 + p').textContent]"
                                   ".join('|')"))
        .toString();
}

} // namespace

// The shipped categories and the user's default one in German; a category
// the user named keeps its name, and the files keep the library's names.
void TestTranslation::categoriesInGerman()
{
    GalleryFixture fixture;
    fixture.addFile("categories/0Retail.html",
                    "<!DOCTYPE html><html lang=\"en\"><head><meta charset=\"utf-8\">"
                    "<title>Retail</title></head><body><main><h1>Retail</h1>"
                    "<p>Sales, launches and loyalty mailings for shops and brands.</p>"
                    "<ul><li><a href=\"#Offer\">Offer</a></li></ul></main></body></html>");
    fixture.addTemplate("Offer");
    addOwnCategory(fixture, UserLibrary::DefaultCategory, {"Mine"});
    // A shipped name, but the user's: the shipped library here has no such category.
    addOwnCategory(fixture, "Nonprofit", {"Appeal"});
    const QString ownPage = fixture.dataFolder() + "/quillery/library/categories/My templates.html";
    const QByteArray storedPage = *FileIo::readAll(ownPage);

    const AppTranslation translation(German);
    Form1 form(fixture.appFolder());
    QSignalSpy shown(&form, &Form1::previewShown);
    auto* pane = control<BrowserPane>(form, "WebBrowser1");
    form.show();
    QVERIFY(shown.wait(20000));

    auto* list = control<QComboBox>(form, "cboCategory");
    QStringList texts;
    QStringList names;
    for (int i = 0; i < list->count(); ++i) {
        texts << list->itemText(i);
        names << list->itemData(i).toString();
    }
    QCOMPARE(texts, (QStringList{"Einzelhandel", "Meine Vorlagen (eigene)", "Nonprofit (eigene)"}));
    QCOMPARE(names, (QStringList{"Retail", "My templates", "Nonprofit"}));

    QVERIFY2(waitUntil([&] {
                 return pageWords(pane) ==
                        "Einzelhandel|Einzelhandel|de|Rabattaktionen, Neuheiten und "
                        "Kundenbindungs-Mailings für Geschäfte und Marken.";
             }),
             qPrintable(pageWords(pane)));

    const auto choose = [&](int index) {
        QSignalSpy loaded(pane, &BrowserPane::DocumentComplete);
        list->setCurrentIndex(index);
        emit list->activated(index);
        QVERIFY(loaded.count() > 0 || loaded.wait(20000));
    };
    choose(1);
    QCOMPARE(form.currentCategory(), QStringLiteral("My templates"));
    QVERIFY2(waitUntil([&] {
                 return pageWords(pane) ==
                        "Meine Vorlagen|Meine Vorlagen|de|Ihre eigenen Vorlagen.";
             }),
             qPrintable(pageWords(pane)));
    choose(2);
    QVERIFY2(
        waitUntil([&] { return pageWords(pane) == "Nonprofit|Nonprofit||Ihre eigenen Vorlagen."; }),
        qPrintable(pageWords(pane)));

    // Search results name the category as the list does.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F, Qt::ControlModifier);
    QTest::keyClicks(control<QLineEdit>(form, "txtSearch"), "Offer");
    QVERIFY2(waitUntil([&] {
                 const QString text = pageText(pane);
                 return text.contains(QStringLiteral("Einzelhandel")) &&
                        !text.contains(QStringLiteral("Retail"));
             }),
             qPrintable(pageText(pane)));

    // What is stored keeps the library's names.
    QCOMPARE(*FileIo::readAll(ownPage), storedPage);
    QVERIFY(storedPage.contains("<h1>My templates</h1>"));
}

// The table the window translates from says what the shipped pages say, and
// every shipped category has its German name and description.
void TestTranslation::shippedCategoryWordsAreTheLibrarys()
{
    const QDir sources(QStringLiteral(QUILLERY_SOURCE_DIR "/library/sources"));
    const QStringList folders = sources.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    QVERIFY(folders.size() >= 7);
    static const QRegularExpression words(QStringLiteral("<h1>([^<]*)</h1>\\s*<p>([^<]*)</p>"));
    const AppTranslation translation(German);
    for (const QString& folder : folders) {
        QString name = folder;
        if (name.startsWith('0') || name.startsWith('1'))
            name.remove(0, 1);
        QFile page(sources.filePath(folder + "/page.html"));
        QVERIFY(page.open(QIODevice::ReadOnly));
        const QRegularExpressionMatch match = words.match(QString::fromUtf8(page.readAll()));
        QVERIFY2(match.hasMatch(), qPrintable(folder));
        const CategoryNames::PageWords shipped = CategoryNames::pageWords({name, {}, false});
        QCOMPARE(shipped.heading, match.captured(1));
        QCOMPARE(shipped.description, match.captured(2));
        QVERIFY2(shipped.shownHeading != shipped.heading, qPrintable(name));
        QVERIFY2(shipped.shownDescription != shipped.description, qPrintable(name));
        // The user's category of the same name keeps it.
        QCOMPARE(CategoryNames::shown({name, {}, true}), name);
    }
}

// Screen readers choose their voice by the page's language.
void TestTranslation::searchPageNamesItsLanguage()
{
    QVERIFY(SearchPage::build(QStringLiteral("Recent templates"), {}, {})
                .contains("<html lang=\"en\">"));
    const AppTranslation translation(German);
    QVERIFY(SearchPage::build(QStringLiteral("Zuletzt angesehene Vorlagen"), {}, {})
                .contains("<html lang=\"de\">"));
}

// The save dialog is Qt's own; it speaks the window's language, never another.
void TestTranslation::qtDialogsInTheSameLanguage()
{
    {
        const AppTranslation english(QStringList{"en-US", "de-DE"});
        QVERIFY(!english.hasQtTranslation());
    }
    const AppTranslation translation(German);
    if (!translation.hasQtTranslation())
        QSKIP("Qt's German translation (qt6-translations-l10n) is not installed");
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    const auto* buttons = dialog.findChild<QDialogButtonBox*>();
    QVERIFY(buttons);
    QCOMPARE(buttons->button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Abbrechen"));
}

void TestTranslation::programInTheUsersLanguage_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");
    QTest::newRow("German help")
        << "de" << QStringList{"--help"} << 0
        << QStringLiteral("Aufruf: %1 [Optionen]\n"
                          "Quillery 1: eine Sammlung fertiger Vorlagen für E-Mail-Newsletter.\n")
               .arg(QUILLERY_PROGRAM)
        << "";
    QTest::newRow("German option") << "de" << QStringList{"--help"} << 0
                                   << "--library <ORDNER>  Öffnet die Vorlagenbibliothek in ORDNER"
                                   << "";
    QTest::newRow("German error") << "de" << QStringList{"Offer"} << 2 << ""
                                  << "quillery: unerwartetes Argument \u201eOffer\u201c\n"
                                     "Weitere Informationen mit \u201equillery --help\u201c.\n";
    // No translation for the language: English throughout, Qt's texts too, and no word about it.
    QTest::newRow("French help") << "fr" << QStringList{"--help"} << 0
                                 << QStringLiteral("Usage: %1 [options]\n").arg(QUILLERY_PROGRAM)
                                 << "";
    QTest::newRow("English error") << "en_GB:de" << QStringList{"Offer"} << 2 << ""
                                   << "quillery: unexpected argument 'Offer'\n"
                                      "Try 'quillery --help'.\n";
}

void TestTranslation::programInTheUsersLanguage()
{
    QFETCH(QString, language);
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, out);
    QFETCH(QString, err);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("LANGUAGE", language);
    environment.insert("LC_ALL", language.startsWith(u'e')
                                     ? "en_GB.UTF-8"
                                     : language + "_" + language.toUpper() + ".UTF-8");
    environment.remove("DISPLAY");
    environment.remove("WAYLAND_DISPLAY");
    environment.remove("QT_QPA_PLATFORM");
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(QUILLERY_PROGRAM, arguments);
    QVERIFY(program.waitForFinished(120000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), exitCode);
    const QString printed = QString::fromUtf8(program.readAllStandardOutput());
    const QString complained = QString::fromUtf8(program.readAllStandardError());
    QVERIFY2(printed.contains(out), qPrintable(printed));
    QCOMPARE(complained, err);
}

QTEST_MAIN(TestTranslation)
#include "tst_translation.moc"
