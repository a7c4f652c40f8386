#include "sendtestdialog.h"

#include "core/export/passwordstore.h"
#include "dialogstyle.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QVBoxLayout>

namespace {

QLabel* plainLabel(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    // Addresses and server replies come from outside: never markup.
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    return label;
}

// Where a test server's own certificate is trusted; people send through
// servers with certificates the system trusts.
QString testCaFile()
{
    return qEnvironmentVariable("QUILLERY_SMTP_CA_FILE");
}

} // namespace

SendTestDialog::SendTestDialog(const QString& library, const QString& name, QWidget* parent)
    : QDialog(parent), m_library(library), m_name(name)
{
    setObjectName(QStringLiteral("sendTestDialog"));
    setWindowTitle(tr("Send a test"));
    setAccessibleName(tr("Send a test"));
    auto* layout = new QVBoxLayout(this);

    auto* what =
        plainLabel(name.isEmpty() ? tr("No template is previewed.")
                                  : tr("Sends \u201c%1\u201d as a test, with \u201c[Test]\u201d "
                                       "before its subject and sample values in its merge "
                                       "fields.")
                                        .arg(name),
                   this);
    layout->addWidget(what);

    auto* form = new QFormLayout;
    m_recipients = new QLineEdit(this);
    m_recipients->setAccessibleName(tr("Recipients"));
    m_recipients->setPlaceholderText(tr("name@example.com, another@example.com"));
    m_recipients->setText(TestSend::lastRecipients().join(QStringLiteral(", ")));
    auto* recipientsLabel = new QLabel(tr("&To:"), this);
    recipientsLabel->setBuddy(m_recipients);
    form->addRow(recipientsLabel, m_recipients);

    auto* accountRow = new QHBoxLayout;
    m_account = new QComboBox(this);
    m_account->setAccessibleName(tr("Account"));
    m_account->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    auto* add = new QPushButton(tr("&New\u2026"), this);
    add->setAccessibleName(tr("New account"));
    m_edit = new QPushButton(tr("&Edit\u2026"), this);
    m_edit->setAccessibleName(tr("Edit the account"));
    m_remove = new QPushButton(tr("&Remove"), this);
    m_remove->setAccessibleName(tr("Remove the account"));
    accountRow->addWidget(m_account, 1);
    accountRow->addWidget(add);
    accountRow->addWidget(m_edit);
    accountRow->addWidget(m_remove);
    auto* accountLabel = new QLabel(tr("&Account:"), this);
    accountLabel->setBuddy(m_account);
    form->addRow(accountLabel, accountRow);
    layout->addLayout(form);

    m_progress = new QProgressBar(this);
    m_progress->setAccessibleName(tr("Progress"));
    m_progress->setRange(0, 1000);
    m_progress->setValue(0);
    m_progress->setTextVisible(false);
    layout->addWidget(m_progress);
    m_status = plainLabel(QString(), this);
    m_status->setAccessibleName(tr("Outcome"));
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_status->setMinimumHeight(m_status->fontMetrics().lineSpacing() * 4);
    m_status->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    layout->addWidget(m_status);

    auto* buttons = new QDialogButtonBox(this);
    m_send = buttons->addButton(tr("&Send"), QDialogButtonBox::AcceptRole);
    m_send->setDefault(true);
    m_close = buttons->addButton(QDialogButtonBox::Close);
    layout->addWidget(buttons);

    connect(add, &QPushButton::clicked, this, &SendTestDialog::addAccount);
    connect(m_edit, &QPushButton::clicked, this, &SendTestDialog::editAccount);
    connect(m_remove, &QPushButton::clicked, this, &SendTestDialog::removeAccount);
    connect(m_send, &QPushButton::clicked, this, &SendTestDialog::send);
    connect(m_close, &QPushButton::clicked, this, &SendTestDialog::reject);

    fillAccounts(TestSend::lastAccount());
    if (name.isEmpty())
        m_send->setEnabled(false);
    m_recipients->setFocus();
    DialogStyle::apply(this);
    resize(qMax(width(), 560), height());
}

SendTestDialog::~SendTestDialog()
{
    if (m_worker) {
        m_cancel->store(true);
        m_worker->wait();
    }
}

QString SendTestDialog::outcome() const
{
    return m_status->text();
}

void SendTestDialog::fillAccounts(const QString& select)
{
    m_accounts = TestSend::loadAccounts();
    m_account->clear();
    for (const TestSend::Account& account : m_accounts)
        m_account->addItem(account.name);
    const int index = m_account->findText(select, Qt::MatchExactly);
    if (index >= 0)
        m_account->setCurrentIndex(index);
    const bool any = !m_accounts.empty();
    m_edit->setEnabled(any);
    m_remove->setEnabled(any);
    if (!any)
        showOutcome(tr("No account is set up yet: choose \u201cNew\u2026\u201d and enter your "
                       "mail provider's SMTP server."),
                    false);
}

void SendTestDialog::addAccount()
{
    QStringList taken;
    for (const TestSend::Account& account : m_accounts)
        taken.append(account.name);
    TestSend::Account fresh;
    AccountDialog dialog(fresh, taken, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const TestSend::Account made = dialog.account();
    std::vector<TestSend::Account> accounts = m_accounts;
    accounts.push_back(made);
    const Status saved = TestSend::saveAccounts(accounts);
    if (!saved) {
        showOutcome(saved.message(), true);
        return;
    }
    QString note;
    if (!dialog.password().isEmpty()) {
        const Status stored = PasswordStore::write(made.name, dialog.password());
        if (!stored)
            note = stored.message() + QLatin1Char(' ') +
                   tr("The password will be asked for each time.");
    }
    fillAccounts(made.name);
    showOutcome(note.isEmpty() ? tr("The account \u201c%1\u201d is set up.").arg(made.name) : note,
                !note.isEmpty());
}

void SendTestDialog::editAccount()
{
    const int index = m_account->currentIndex();
    if (index < 0 || index >= int(m_accounts.size()))
        return;
    QStringList taken;
    for (int i = 0; i < int(m_accounts.size()); ++i) {
        if (i != index)
            taken.append(m_accounts.at(i).name);
    }
    const TestSend::Account before = m_accounts.at(index);
    AccountDialog dialog(before, taken, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    std::vector<TestSend::Account> accounts = m_accounts;
    accounts[index] = dialog.account();
    const Status saved = TestSend::saveAccounts(accounts);
    if (!saved) {
        showOutcome(saved.message(), true);
        return;
    }
    const QString name = accounts[index].name;
    QString note;
    if (!dialog.password().isEmpty() || name != before.name) {
        // The keyring holds the password under the account's name.
        QString password = dialog.password();
        if (password.isEmpty()) {
            const PasswordStore::Lookup lookup = PasswordStore::read(before.name);
            if (lookup.kind == PasswordStore::Lookup::Found)
                password = lookup.password;
        }
        if (!password.isEmpty()) {
            const Status stored = PasswordStore::write(name, password);
            if (!stored)
                note = stored.message();
        }
        if (name != before.name)
            (void)PasswordStore::remove(before.name);
    }
    fillAccounts(name);
    showOutcome(note.isEmpty() ? tr("The account \u201c%1\u201d is changed.").arg(name) : note,
                !note.isEmpty());
}

void SendTestDialog::removeAccount()
{
    const int index = m_account->currentIndex();
    if (index < 0 || index >= int(m_accounts.size()))
        return;
    std::vector<TestSend::Account> accounts = m_accounts;
    const QString name = accounts.at(index).name;
    accounts.erase(accounts.begin() + index);
    const Status saved = TestSend::saveAccounts(accounts);
    if (!saved) {
        showOutcome(saved.message(), true);
        return;
    }
    const Status removed = PasswordStore::remove(name);
    fillAccounts(QString());
    showOutcome(removed ? tr("The account \u201c%1\u201d is removed.").arg(name)
                        : removed.message(),
                !removed.ok());
}

bool SendTestDialog::passwordFor(const TestSend::Account& account, QString* password)
{
    if (account.userName.isEmpty())
        return true;
    const PasswordStore::Lookup lookup = PasswordStore::read(account.name);
    if (lookup.kind == PasswordStore::Lookup::Found) {
        *password = lookup.password;
        return true;
    }
    QString why;
    if (lookup.kind == PasswordStore::Lookup::Unavailable)
        why = tr("No keyring answered (%1), so the password cannot be kept and is asked for "
                 "each time.")
                  .arg(lookup.reason);
    else
        why = tr("The keyring holds no password for this account; it keeps the one you enter.");
    bool ok = false;
    QInputDialog ask(this);
    ask.setWindowTitle(tr("Password"));
    ask.setLabelText(tr("Password of %1 for the account \u201c%2\u201d.\n%3")
                         .arg(account.userName, account.name, why));
    ask.setTextEchoMode(QLineEdit::Password);
    ask.setInputMode(QInputDialog::TextInput);
    ok = ask.exec() == QDialog::Accepted;
    if (!ok)
        return false;
    *password = ask.textValue();
    if (lookup.kind == PasswordStore::Lookup::Missing)
        (void)PasswordStore::write(account.name, *password);
    return true;
}

void SendTestDialog::send()
{
    if (m_worker)
        return;
    const QStringList to = TestSend::splitRecipients(m_recipients->text());
    if (to.isEmpty()) {
        showOutcome(tr("Type at least one address to send the test to."), true);
        m_recipients->setFocus();
        return;
    }
    const int index = m_account->currentIndex();
    if (index < 0 || index >= int(m_accounts.size())) {
        showOutcome(tr("Choose an account, or set one up with \u201cNew\u2026\u201d."), true);
        return;
    }
    const TestSend::Account account = m_accounts.at(index);
    TestSend::remember(to, account.name);

    Result<QByteArray> original = TestSend::previewedMessage(m_library, m_name);
    if (original && m_step)
        original = m_step(*original);
    if (!original) {
        showOutcome(original.status().message(), true);
        return;
    }
    const Result<QByteArray> message = TestSend::testMessage(*original, account, to);
    if (!message) {
        showOutcome(message.status().message(), true);
        return;
    }
    QString password;
    if (!passwordFor(account, &password)) {
        showOutcome(tr("Nothing was sent."), false);
        return;
    }
    SmtpSender::Server server = account.server();
    server.caFile = testCaFile();

    m_cancel = std::make_shared<std::atomic_bool>(false);
    showOutcome(tr("Sending to %1\u2026").arg(to.join(QStringLiteral(", "))), false);
    setSending(true);
    QPointer<SendTestDialog> self(this);
    auto cancel = m_cancel;
    const QString from = account.fromAddress;
    const QByteArray bytes = *message;
    m_worker = QThread::create([self, server, password, from, to, bytes, cancel]() mutable {
        auto progress = [self](qint64 sent, qint64 total) {
            QMetaObject::invokeMethod(
                self,
                [self, sent, total] {
                    if (self && total > 0)
                        self->m_progress->setValue(int(sent * 1000 / total));
                },
                Qt::QueuedConnection);
        };
        const Result<SmtpSender::Report> report =
            SmtpSender::send(server, password, from, to, bytes, cancel.get(), progress);
        password.fill(QLatin1Char('\0'));
        QMetaObject::invokeMethod(
            self,
            [self, report] {
                if (self)
                    self->onDone(report);
            },
            Qt::QueuedConnection);
    });
    password.fill(QLatin1Char('\0'));
    m_worker->start();
}

void SendTestDialog::onDone(const Result<SmtpSender::Report>& report)
{
    if (m_worker) {
        m_worker->wait();
        delete m_worker;
        m_worker = nullptr;
    }
    setSending(false);
    if (!report) {
        m_progress->setValue(0);
        showOutcome(report.status().message(), true);
        emit finished(false);
        return;
    }
    m_progress->setValue(m_progress->maximum());
    QString text = tr("Sent to %1.").arg(report->delivered.join(QStringLiteral(", ")));
    for (const auto& [address, reason] : report->refused)
        text += QLatin1Char('\n') + tr("Not sent to %1: %2").arg(address, reason);
    showOutcome(text, !report->refused.empty());
    emit finished(true);
}

void SendTestDialog::cancel()
{
    if (m_cancel)
        m_cancel->store(true);
}

void SendTestDialog::reject()
{
    // Closing while sending cancels first; the dialog stays until the worker is done.
    if (m_worker) {
        cancel();
        return;
    }
    QDialog::reject();
}

void SendTestDialog::setSending(bool sending)
{
    m_send->setEnabled(!sending && !m_name.isEmpty());
    m_recipients->setEnabled(!sending);
    m_account->setEnabled(!sending);
    m_close->setText(sending ? tr("&Cancel") : tr("&Close"));
    m_close->setAccessibleName(sending ? tr("Cancel the send") : tr("Close"));
}

void SendTestDialog::showOutcome(const QString& text, bool failed)
{
    m_status->setText(text);
    QPalette palette = m_status->palette();
    palette.setColor(QPalette::WindowText,
                     failed ? QColor(0xa0, 0x1c, 0x1c) : QColor(0x40, 0x40, 0x40));
    m_status->setPalette(palette);
    m_status->setAccessibleDescription(text);
}

AccountDialog::AccountDialog(const TestSend::Account& account, const QStringList& takenNames,
                             QWidget* parent)
    : QDialog(parent), m_taken(takenNames)
{
    setWindowTitle(account.name.isEmpty() ? tr("New account") : tr("Edit account"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    const auto field = [this, form](const QString& label, const QString& name,
                                    const QString& value) {
        auto* edit = new QLineEdit(value, this);
        edit->setAccessibleName(name);
        auto* caption = new QLabel(label, this);
        caption->setBuddy(edit);
        form->addRow(caption, edit);
        return edit;
    };
    m_name = field(tr("&Name:"), tr("Account name"), account.name);
    m_host = field(tr("&Server:"), tr("SMTP server"), account.host);
    m_host->setPlaceholderText(tr("smtp.example.com"));
    m_port = field(tr("&Port:"), tr("Port"), QString::number(account.port));
    m_port->setValidator(new QIntValidator(1, 65535, m_port));
    m_security = new QComboBox(this);
    m_security->setAccessibleName(tr("Security"));
    m_security->addItem(tr("STARTTLS (usually port 587)"), int(SmtpSender::Security::StartTls));
    m_security->addItem(tr("TLS (usually port 465)"), int(SmtpSender::Security::Tls));
    m_security->addItem(tr("None: only to a server on this computer"),
                        int(SmtpSender::Security::Plain));
    m_security->setCurrentIndex(m_security->findData(int(account.security)));
    auto* securityLabel = new QLabel(tr("S&ecurity:"), this);
    securityLabel->setBuddy(m_security);
    form->addRow(securityLabel, m_security);
    connect(m_security, &QComboBox::currentIndexChanged, this, [this] {
        const auto security = SmtpSender::Security(m_security->currentData().toInt());
        m_port->setText(QString::number(SmtpSender::defaultPort(security)));
    });
    m_user = field(tr("&User name:"), tr("User name"), account.userName);
    m_password = field(tr("Pass&word:"), tr("Password"), QString());
    m_password->setEchoMode(QLineEdit::Password);
    m_password->setPlaceholderText(account.name.isEmpty()
                                       ? tr("kept in the keyring")
                                       : tr("unchanged unless you type a new one"));
    m_from = field(tr("&From address:"), tr("From address"), account.fromAddress);
    m_from->setPlaceholderText(tr("you@example.com"));
    m_fromName = field(tr("From na&me:"), tr("From name"), account.fromName);
    m_fromName->setPlaceholderText(tr("the template's own"));
    layout->addLayout(form);
    m_problem = plainLabel(QString(), this);
    layout->addWidget(m_problem);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &AccountDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &AccountDialog::reject);
    layout->addWidget(buttons);
    DialogStyle::apply(this);
}

TestSend::Account AccountDialog::account() const
{
    TestSend::Account account;
    account.name = m_name->text().trimmed();
    account.host = m_host->text().trimmed();
    account.port = m_port->text().toInt();
    account.security = SmtpSender::Security(m_security->currentData().toInt());
    account.userName = m_user->text().trimmed();
    account.fromAddress = m_from->text().trimmed();
    account.fromName = m_fromName->text().trimmed();
    return account;
}

QString AccountDialog::password() const
{
    return m_password->text();
}

void AccountDialog::accept()
{
    const TestSend::Account made = account();
    QString problem;
    if (made.name.isEmpty())
        problem = tr("Give the account a name.");
    else if (m_taken.contains(made.name))
        problem = tr("Another account has this name.");
    else if (made.host.isEmpty())
        problem = tr("Enter the SMTP server's host name.");
    else if (made.port <= 0)
        problem = tr("Enter the server's port.");
    else if (made.security == SmtpSender::Security::Plain && !SmtpSender::isLoopback(made.host))
        problem = tr("Without encryption, mail goes only to a server on this computer.");
    else if (!made.fromAddress.contains(QLatin1Char('@')))
        problem = tr("Enter the address the test comes from.");
    if (!problem.isEmpty()) {
        m_problem->setText(problem);
        return;
    }
    QDialog::accept();
}
