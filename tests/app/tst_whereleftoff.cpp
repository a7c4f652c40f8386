#include "app/galleryfixture.h"
#include "app/pagetools.h"
#include "app/waits.h"
#include "app/windowcontrols.h"

#include "core/platform/settingsstore.h"
#include "form1.h"

#include <QApplication>
#include <QComboBox>
#include <QSignalSpy>
#include <QTest>

#include <memory>

// The next start shows the category and template previewed last, as long as
// the library still has them.
class TestWhereLeftOff : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void nextStartShowsThePlaceLeft();
    void storedPlace_data();
    void storedPlace();

private:
    // Opens the window and waits for the preview of `expected`.
    void start(const QString& expected);
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier);

    std::unique_ptr<GalleryFixture> m_fixture;
    std::unique_ptr<Form1> m_form;
    std::unique_ptr<QSignalSpy> m_shown;
};

void TestWhereLeftOff::init()
{
    m_fixture = std::make_unique<GalleryFixture>();
    m_fixture->addCategory("0Retail.html", {"Offer", "Summer Sale"});
    m_fixture->addCategory("Food.html", {"Menu", "Tasting Night"});
    for (const char* name : {"Offer", "Summer Sale", "Menu", "Tasting Night"})
        m_fixture->addTemplate(name);
}

void TestWhereLeftOff::cleanup()
{
    m_shown.reset();
    m_form.reset();
    m_fixture.reset();
}

void TestWhereLeftOff::start(const QString& expected)
{
    m_shown.reset();
    m_form = std::make_unique<Form1>(m_fixture->appFolder());
    m_shown = std::make_unique<QSignalSpy>(m_form.get(), &Form1::previewShown);
    m_form->show();
    m_form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    QVERIFY2(waitForPreview(*m_shown, expected), qPrintable(m_form->currentTemplate()));
}

void TestWhereLeftOff::press(Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    if (!QApplication::focusWidget()) {
        m_form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    }
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
}

void TestWhereLeftOff::nextStartShowsThePlaceLeft()
{
    start("Offer");
    press(Qt::Key_PageDown);
    QVERIFY(waitForPreview(*m_shown, "Menu"));
    press(Qt::Key_Down);
    QVERIFY(waitForPreview(*m_shown, "Tasting Night"));
    m_form.reset();

    start("Tasting Night");
    QCOMPARE(m_form->currentCategory(), QStringLiteral("Food"));
    auto* pane = control<QWidget>(*m_form, "WebBrowser1");
    QVERIFY(waitUntil([pane] {
        return static_cast<QWebEngineView*>(pane)->url().path().endsWith("/Food.html");
    }));
    // Straight to it: the category's first template was never loaded.
    QVERIFY(m_shown.get()->isEmpty());

    // The favourites are a place too.
    m_form->setFavourite("Summer Sale", true);
    auto* categories = control<QComboBox>(*m_form, "cboCategory");
    while (categories->currentIndex() > 0)
        press(Qt::Key_PageUp);
    QVERIFY(waitForPreview(*m_shown, "Summer Sale"));
    m_form.reset();
    start("Summer Sale");
    QVERIFY(m_form->showsFavourites());
}

void TestWhereLeftOff::storedPlace_data()
{
    QTest::addColumn<QString>("category");
    QTest::addColumn<QString>("templateName");
    QTest::addColumn<QString>("shownCategory");
    QTest::addColumn<QString>("shownTemplate");
    QTest::newRow("both there") << "Food"
                                << "Tasting Night"
                                << "Food"
                                << "Tasting Night";
    QTest::newRow("template gone: the category's first") << "Food"
                                                         << "Gone"
                                                         << "Food"
                                                         << "Menu";
    QTest::newRow("category gone: the first of the list") << "Drinks"
                                                          << "Tasting Night"
                                                          << "Retail"
                                                          << "Offer";
    QTest::newRow("favourites without any: the first of the list") << ""
                                                                   << "Menu"
                                                                   << "Retail"
                                                                   << "Offer";
    QTest::newRow("a name that is no template's") << "Food"
                                                  << "../../etc/passwd"
                                                  << "Food"
                                                  << "Menu";
}

void TestWhereLeftOff::storedPlace()
{
    QFETCH(QString, category);
    QFETCH(QString, templateName);
    QFETCH(QString, shownCategory);
    QFETCH(QString, shownTemplate);
    QVERIFY(modSettings::WriteSetting(SettingKeys::LastCategory, category));
    QVERIFY(modSettings::WriteSetting(SettingKeys::LastTemplate, templateName));
    start(shownTemplate);
    QCOMPARE(m_form->currentCategory(), shownCategory);
    QCOMPARE(m_form->currentTemplate(), shownTemplate);
}

QTEST_MAIN(TestWhereLeftOff)
#include "tst_whereleftoff.moc"
