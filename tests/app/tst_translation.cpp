#include "app/galleryfixture.h"
#include "app/pagetools.h"
#include "app/windowcontrols.h"

#include "apptranslation.h"
#include "browserpane.h"
#include "buttonplus.h"
#include "core/gallery/search/searchpage.h"
#include "form1.h"
#include "form2.h"
#include "splitterbar.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
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
                .startsWith(QStringLiteral("Mehr: die Website und das Layout (")));
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
