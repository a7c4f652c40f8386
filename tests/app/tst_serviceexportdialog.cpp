#include "app/dialogtools.h"
#include "app/galleryfixture.h"
#include "app/pagetools.h"
#include "app/windowcontrols.h"

#include "browserpane.h"
#include "exportnotice.h"
#include "form1.h"
#include "serviceexportdialog.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

QPushButton* okButton(QDialog* dialog)
{
    auto* box = dialog->findChild<QDialogButtonBox*>();
    return box->button(QDialogButtonBox::Ok);
}

// Where every control of the fixed layout stands.
QMap<QString, QRect> layoutOf(const QWidget& window)
{
    QMap<QString, QRect> places;
    for (const QWidget* child : window.findChildren<QWidget*>()) {
        const QString name = child->objectName();
        if (name.startsWith(QLatin1String("cmdButton")) ||
            name.startsWith(QLatin1String("lblTitle")) || name == u"cboCategory" ||
            name == u"WebBrowser1" || name == u"WebBrowser2" || name == u"picSplitter" ||
            name == u"Picture1" || name == u"Picture2")
            places.insert(name, child->isVisible() ? child->geometry() : QRect());
    }
    return places;
}

} // namespace

class TestServiceExportDialog : public QObject
{
    Q_OBJECT

    std::unique_ptr<GalleryFixture> m_fixture;
    std::unique_ptr<Form1> m_form;
    std::unique_ptr<QObject> m_guard;
    std::unique_ptr<QTemporaryDir> m_out;

private Q_SLOTS:
    void init();
    void cleanup();
    void keyWritesTheZipAndKeepsTheLayout();
    void httpAddressIsRefusedInTheDialog();
};

void TestServiceExportDialog::init()
{
    m_fixture = std::make_unique<GalleryFixture>();
    m_fixture->addCategory("Letters.html", {"Autumn"});
    m_fixture->addTemplate(QStringLiteral("Autumn"),
                           "<p>Hi [first_name]</p><a href=\"[unsubscribe_url]\">Unsubscribe</a>");
    m_form = std::make_unique<Form1>(m_fixture->appFolder());
    QStringList shown;
    connect(m_form.get(), &Form1::previewShown, m_form.get(),
            [&shown](const QString& name) { shown << name; });
    m_form->show();
    m_form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    QVERIFY(waitUntil([&shown] { return !shown.isEmpty(); }));
    disconnect(m_form.get(), &Form1::previewShown, m_form.get(), nullptr);
    auto* page = control<BrowserPane>(*m_form, "WebBrowser1");
    page->setFocus();
    QVERIFY(waitUntil([page] { return QApplication::focusWidget() == page->focusProxy(); }));
    m_guard = std::make_unique<QObject>();
    m_out = std::make_unique<QTemporaryDir>();
    QVERIFY(m_out->isValid());
}

void TestServiceExportDialog::cleanup()
{
    m_guard.reset();
    m_out.reset();
    m_form.reset();
    m_fixture.reset();
}

void TestServiceExportDialog::keyWritesTheZipAndKeepsTheLayout()
{
    const QString target = m_out->filePath(QStringLiteral("Autumn.zip"));
    const QMap<QString, QRect> before = layoutOf(*m_form);
    QString title;
    QStringList accessibleNames;
    bool focusOnList = false;
    QString tags;
    whenShown<ServiceExportDialog>(m_guard.get(), [&](ServiceExportDialog* dialog) {
        title = dialog->windowTitle();
        auto* services = dialog->findChild<QComboBox*>(QStringLiteral("serviceList"));
        accessibleNames
            << services->accessibleName()
            << dialog->findChild<QLineEdit*>(QStringLiteral("imagesAddress"))->accessibleName();
        // The keyboard starts on the list of services.
        focusOnList = dialog->focusWidget() == services;
        services->setCurrentIndex(services->findText(QStringLiteral("Mailchimp")));
        tags = dialog->findChild<QLabel*>(QStringLiteral("mergeTags"))->text();
        chooseInDialog(m_guard.get(), target);
        okButton(dialog)->click();
    });
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_E, Qt::ControlModifier | Qt::AltModifier);

    auto* notice = m_form->findChild<ExportNotice*>(QStringLiteral("exportNotice"));
    QVERIFY(waitUntil([notice] { return notice->isVisible(); }));
    QCOMPARE(title, QStringLiteral("Export for a mailing service"));
    QVERIFY(focusOnList);
    QVERIFY2(tags.contains(QLatin1String("Unsubscribe link: *|UNSUB|*")), qPrintable(tags));
    QCOMPARE(accessibleNames, (QStringList{"Mailing service", "Web address of the images"}));
    QVERIFY2(notice->accessibleName().startsWith(
                 QStringLiteral("Exported \u201cAutumn.zip\u201d for Mailchimp: page ")),
             qPrintable(notice->accessibleName()));

    QProcess unzip;
    unzip.start(QStringLiteral("unzip"),
                {QStringLiteral("-p"), target, QStringLiteral("index.html")});
    QVERIFY(unzip.waitForFinished(30000));
    QCOMPARE(unzip.exitCode(), 0);
    const QByteArray page = unzip.readAllStandardOutput();
    QVERIFY2(page.contains("<a href=\"*|UNSUB|*\">") && page.contains("Hi *|FNAME|*"),
             page.constData());
    QCOMPARE(layoutOf(*m_form), before);
}

void TestServiceExportDialog::httpAddressIsRefusedInTheDialog()
{
    bool stayedOpen = false;
    QString problem;
    whenShown<ServiceExportDialog>(m_guard.get(), [&](ServiceExportDialog* dialog) {
        dialog->findChild<QRadioButton*>(QStringLiteral("imagesAtAddress"))->click();
        auto* address = dialog->findChild<QLineEdit*>(QStringLiteral("imagesAddress"));
        address->setText(QStringLiteral("http://cdn.example.com/news"));
        okButton(dialog)->click();
        stayedOpen = dialog->isVisible();
        problem = dialog->findChild<QLabel*>(QStringLiteral("problem"))->text();
        dialog->reject();
    });
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_E, Qt::ControlModifier | Qt::AltModifier);
    QVERIFY(waitUntil([&] { return !problem.isEmpty(); }));
    QVERIFY(stayedOpen);
    QVERIFY2(problem.contains(QLatin1String("https://")), qPrintable(problem));
    QVERIFY(QDir(m_out->path()).isEmpty());
}

QTEST_MAIN(TestServiceExportDialog)
#include "tst_serviceexportdialog.moc"
