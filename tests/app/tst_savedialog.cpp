#include "app/dialogtools.h"

#include "ccommondialog.h"
#include "gcommondialog.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMainWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

void typeName(QFileDialog* dialog, const QString& name)
{
    auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    QVERIFY(edit);
    edit->selectAll();
    QTest::keyClicks(edit, name);
}

void pressAccept(QFileDialog* dialog)
{
    auto* box = dialog->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
    for (QAbstractButton* button : box->buttons()) {
        if (box->buttonRole(button) == QDialogButtonBox::AcceptRole)
            return button->click();
    }
    QFAIL("no accept button");
}

void pressCancel(QFileDialog* dialog)
{
    dialog->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"))
        ->button(QDialogButtonBox::Cancel)
        ->click();
}

} // namespace

class TestSaveDialog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void acceptingTheProposedName();
    void typedNameGetsTheDefaultExtension_data();
    void typedNameGetsTheDefaultExtension();
    void cancelClearsTheResult_data();
    void cancelClearsTheResult();
    void existingFileAsksFirst_data();
    void existingFileAsksFirst();
    void filterEntries_data();
    void filterEntries();

private:
    // The settings the html export passes.
    void configure(cCommonDialog& dialog, const QString& proposed = QStringLiteral("Sample.htm"));

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<QMainWindow> m_window;
};

void TestSaveDialog::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_window = std::make_unique<QMainWindow>();
    m_window->show();
    // A dialog left open by a failed step must not hang the run.
    QTimer::singleShot(30000, m_window.get(), [] {
        while (QWidget* modal = QApplication::activeModalWidget())
            modal->close();
    });
}

void TestSaveDialog::cleanup()
{
    m_window.reset();
    m_dir.reset();
}

void TestSaveDialog::configure(cCommonDialog& dialog, const QString& proposed)
{
    dialog.setDialogTitle(QStringLiteral("Export as html"));
    dialog.setDefaultExt(QStringLiteral("htm"));
    dialog.setFilter(QStringLiteral("*.htm"));
    dialog.setFilename(proposed);
    dialog.setCancelError(false);
    dialog.setOwner(m_window.get());
    dialog.setFlags(cCommonDialog::OverwritePrompt | cCommonDialog::HideReadOnly);
    dialog.setInitDir(m_dir->path());
}

void TestSaveDialog::acceptingTheProposedName()
{
    cCommonDialog dialog;
    configure(dialog);
    QString title, proposed;
    QStringList filters;
    QWidget* parent = nullptr;
    bool modal = false;
    whenShown<QFileDialog>(m_window.get(), [&](QFileDialog* shown) {
        title = shown->windowTitle();
        proposed = shown->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text();
        filters = shown->nameFilters();
        parent = shown->parentWidget();
        modal = shown->isModal();
        pressAccept(shown);
    });
    QVERIFY(dialog.ShowSave());
    QCOMPARE(title, QStringLiteral("Export as html"));
    QCOMPARE(proposed, QStringLiteral("Sample.htm"));
    QCOMPARE(filters, QStringList{QStringLiteral("*.htm")});
    QCOMPARE(parent, m_window.get());
    QVERIFY(modal);
    QCOMPARE(dialog.Filename(), m_dir->filePath(QStringLiteral("Sample.htm")));
    QCOMPARE(dialog.FileTitle(), QStringLiteral("Sample.htm"));
    QCOMPARE(dialog.FilterIndex(), 1);
    QCOMPARE(dialog.flags(), 6);
    QVERIFY(QDir(m_dir->path()).isEmpty());
}

void TestSaveDialog::typedNameGetsTheDefaultExtension_data()
{
    QTest::addColumn<QString>("defaultExt");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("chosen");
    QTest::newRow("htm appended") << "htm"
                                  << "news"
                                  << "news.htm";
    QTest::newRow("eml appended") << "eml"
                                  << "letter"
                                  << "letter.eml";
    QTest::newRow("own extension kept") << "htm"
                                        << "news.html"
                                        << "news.html";
}

void TestSaveDialog::typedNameGetsTheDefaultExtension()
{
    QFETCH(QString, defaultExt);
    QFETCH(QString, typed);
    QFETCH(QString, chosen);
    cCommonDialog dialog;
    configure(dialog);
    dialog.setDefaultExt(defaultExt);
    whenShown<QFileDialog>(m_window.get(), [&](QFileDialog* shown) {
        typeName(shown, typed);
        pressAccept(shown);
    });
    QVERIFY(dialog.ShowSave());
    QCOMPARE(dialog.Filename(), m_dir->filePath(chosen));
    QCOMPARE(dialog.FileTitle(), chosen);
}

void TestSaveDialog::cancelClearsTheResult_data()
{
    QTest::addColumn<bool>("cancelError");
    QTest::newRow("quiet cancel") << false;
    QTest::newRow("cancel as error") << true;
}

void TestSaveDialog::cancelClearsTheResult()
{
    QFETCH(bool, cancelError);
    cCommonDialog dialog;
    configure(dialog);
    dialog.setCancelError(cancelError);
    whenShown<QFileDialog>(m_window.get(), [](QFileDialog* shown) { pressCancel(shown); });
    const Status status = dialog.ShowSave();
    QCOMPARE(status.ok(), !cancelError);
    if (cancelError)
        QCOMPARE(status.message(), QStringLiteral("User selected cancel."));
    QVERIFY(dialog.Filename().isEmpty());
    QVERIFY(dialog.FileTitle().isEmpty());
    QCOMPARE(dialog.flags(), 0);
    QCOMPARE(dialog.FilterIndex(), 0);
    QVERIFY(QDir(m_dir->path()).isEmpty());
}

void TestSaveDialog::existingFileAsksFirst_data()
{
    QTest::addColumn<int>("flags");
    QTest::addColumn<bool>("confirm");
    QTest::addColumn<bool>("asked");
    QTest::newRow("confirmed") << 6 << true << true;
    QTest::newRow("declined") << 6 << false << true;
    QTest::newRow("no prompt asked for") << 4 << true << false;
}

void TestSaveDialog::existingFileAsksFirst()
{
    QFETCH(int, flags);
    QFETCH(bool, confirm);
    QFETCH(bool, asked);
    const QString existing = m_dir->filePath(QStringLiteral("Sample.htm"));
    {
        QFile file(existing);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("old page");
    }
    cCommonDialog dialog;
    configure(dialog);
    dialog.setFlags(flags);
    bool questionShown = false;
    bool stillOpenAfterNo = false;
    whenShown<QFileDialog>(m_window.get(), [&](QFileDialog* shown) {
        if (asked) {
            whenShown<QMessageBox>(m_window.get(), [&, shown](QMessageBox* question) {
                questionShown = question->text().contains(QLatin1String("Sample.htm"));
                if (!confirm) {
                    // Back in the dialog, which must still be waiting for a
                    // choice; a dialog that closed never comes back.
                    whenShown<QFileDialog>(m_window.get(), [&, shown](QFileDialog* again) {
                        stillOpenAfterNo = again == shown;
                        pressCancel(again);
                    });
                }
                question->button(confirm ? QMessageBox::Yes : QMessageBox::No)->click();
            });
        }
        pressAccept(shown);
    });
    QVERIFY(dialog.ShowSave());
    QCOMPARE(questionShown, asked);
    QCOMPARE(stillOpenAfterNo, asked && !confirm);
    QCOMPARE(dialog.Filename(), confirm ? existing : QString());
    QFile file(existing);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("old page"));
}

void TestSaveDialog::filterEntries_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("entries");
    QTest::newRow("pattern only") << "*.htm" << QStringList{"*.htm"};
    QTest::newRow("text and patterns")
        << "Pages|*.htm;*.html" << QStringList{"Pages (*.htm *.html)"};
    QTest::newRow("colon splits") << "Pages:*.htm|Mail:*.eml"
                                  << QStringList{"Pages (*.htm)", "Mail (*.eml)"};
    QTest::newRow("empty") << "" << QStringList{};
}

void TestSaveDialog::filterEntries()
{
    QFETCH(QString, filter);
    QFETCH(QStringList, entries);
    QCOMPARE(GCommonDialog::NameFilters(filter), entries);
}

QTEST_MAIN(TestSaveDialog)
#include "tst_savedialog.moc"
