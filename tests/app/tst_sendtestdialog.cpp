#include "core/export/testsend.h"
#include "core/gallery/library/templatedecoding.h"
#include "dialogtools.h"
#include "sendtestdialog.h"
#include "smtp/smtptestserver.h"

#include <QComboBox>
#include <QInputDialog>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

// The dialog sends on a worker thread: the test's event loop (the window's)
// keeps running while it waits for the outcome.
class SendTestDialogTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    const QString m_password = QStringLiteral("Dlg-4a2b-secret");

    TestSend::Account account(int port) const
    {
        TestSend::Account account;
        account.name = QStringLiteral("Loopback");
        account.host = QStringLiteral("127.0.0.1");
        account.port = port;
        account.userName = QStringLiteral("tester");
        account.fromAddress = QStringLiteral("tester@quillery.example");
        return account;
    }

    QStringList serverOptions() const
    {
        return {QStringLiteral("--cert"),     m_dir.filePath(QStringLiteral("cert.pem")),
                QStringLiteral("--key"),      m_dir.filePath(QStringLiteral("key.pem")),
                QStringLiteral("--user"),     QStringLiteral("tester"),
                QStringLiteral("--password"), m_password};
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir.filePath(QStringLiteral("config"))));
        // No keyring: the dialog has to ask, and say why.
        qputenv("DBUS_SESSION_BUS_ADDRESS",
                QFile::encodeName(QStringLiteral("unix:path=") + m_dir.filePath("no-bus")));
        QVERIFY(SmtpTestServer::makeCertificate(m_dir.path()));
        qputenv("QUILLERY_SMTP_CA_FILE", QFile::encodeName(m_dir.filePath("cert.pem")));
        QFile source(QStringLiteral(QUILLERY_TEST_DATA "/testsend/newsletter.eml"));
        QVERIFY(source.open(QIODevice::ReadOnly));
        const Result<QByteArray> packed = Module1::packTemplate(source.readAll());
        QVERIFY(packed);
        QVERIFY(QDir().mkpath(m_dir.filePath("library/templates")));
        QFile library(m_dir.filePath("library/templates/Autumn.dat"));
        QVERIFY(library.open(QIODevice::WriteOnly));
        library.write(*packed);
    }

    void sendsAndRemembersTheRecipients()
    {
        SmtpTestServer server(m_dir.filePath("server1"), serverOptions());
        QVERIFY(server.port() > 0);
        QVERIFY(TestSend::saveAccounts({account(server.port())}).ok());
        SendTestDialog dialog(m_dir.filePath("library"), QStringLiteral("Autumn"));
        dialog.show();
        auto* recipients = dialog.findChild<QLineEdit*>();
        QVERIFY(recipients);
        recipients->setText(QStringLiteral("alex@example.com; sam@example.com"));
        QString asked;
        whenShown<QInputDialog>(this, [&](QInputDialog* ask) {
            asked = ask->labelText();
            ask->setTextValue(m_password);
            ask->accept();
        });
        QSignalSpy finished(&dialog, &SendTestDialog::finished);
        dialog.send();
        QVERIFY(finished.wait(60000));
        QCOMPARE(finished.first().first().toBool(), true);
        QVERIFY2(asked.contains(QLatin1String("No keyring answered")), qPrintable(asked));
        QVERIFY2(dialog.outcome().startsWith(
                     QLatin1String("Sent to alex@example.com, sam@example.com.")),
                 qPrintable(dialog.outcome()));
        QVERIFY(!dialog.outcome().contains(m_password));
        QCOMPARE(server.receivedFiles().size(), 2);
        QCOMPARE(TestSend::lastRecipients(), QStringList({QStringLiteral("alex@example.com"),
                                                          QStringLiteral("sam@example.com")}));

        SendTestDialog again(m_dir.filePath("library"), QStringLiteral("Autumn"));
        QCOMPARE(again.findChild<QLineEdit*>()->text(),
                 QStringLiteral("alex@example.com, sam@example.com"));
    }

    // Cancel, or closing the dialog, stops a send to a server that hangs.
    void cancelStopsTheSend()
    {
        SmtpTestServer server(m_dir.filePath("server2"), {QStringLiteral("--silent")});
        QVERIFY(server.port() > 0);
        TestSend::Account silent = account(server.port());
        silent.userName.clear();
        QVERIFY(TestSend::saveAccounts({silent}).ok());
        SendTestDialog dialog(m_dir.filePath("library"), QStringLiteral("Autumn"));
        dialog.show();
        dialog.findChild<QLineEdit*>()->setText(QStringLiteral("alex@example.com"));
        QSignalSpy finished(&dialog, &SendTestDialog::finished);
        dialog.send();
        QVERIFY(dialog.isSending());
        dialog.reject();
        QVERIFY(dialog.isVisible());
        QVERIFY(finished.wait(60000));
        QCOMPARE(finished.first().first().toBool(), false);
        QVERIFY2(dialog.outcome().contains(QLatin1String("cancelled")),
                 qPrintable(dialog.outcome()));
    }

    void noAccountSaysHowToSetOneUp()
    {
        QVERIFY(TestSend::saveAccounts({}).ok());
        SendTestDialog dialog(m_dir.filePath("library"), QStringLiteral("Autumn"));
        QVERIFY(dialog.outcome().contains(QLatin1String("No account is set up yet")));
        dialog.findChild<QLineEdit*>()->setText(QStringLiteral("alex@example.com"));
        dialog.send();
        QVERIFY(!dialog.isSending());
        QVERIFY(dialog.outcome().contains(QLatin1String("Choose an account")));
    }
};

QTEST_MAIN(SendTestDialogTest)
#include "tst_sendtestdialog.moc"
