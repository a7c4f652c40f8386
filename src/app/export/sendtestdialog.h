#pragma once

#include "core/export/testsend.h"

#include <QDialog>

#include <atomic>
#include <functional>
#include <memory>

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QThread;

// "Send a test": the previewed template to addresses the user types, through
// one of the accounts kept in the settings. The send runs on a worker thread
// with progress and cancel, so the window stays responsive; the outcome is
// told in the dialog.
class SendTestDialog : public QDialog
{
    Q_OBJECT

public:
    // `library` and `name` say which template the preview shows.
    SendTestDialog(const QString& library, const QString& name, QWidget* parent = nullptr);
    ~SendTestDialog() override;
    // What goes out is what the exports write: the window hands in the step
    // that puts its brand, when one is on, on the template as shipped.
    void setMessageStep(std::function<Result<QByteArray>(const QByteArray&)> step)
    {
        m_step = std::move(step);
    }

    // The line that tells how the last send went, for tests and screen readers.
    QString outcome() const;
    bool isSending() const { return m_worker != nullptr; }

public slots:
    void send();
    void cancel();

    // Closing while sending cancels first; the dialog stays until the worker is done.
    void reject() override;

signals:
    void finished(bool delivered);

private:
    void fillAccounts(const QString& select);
    void addAccount();
    void editAccount();
    void removeAccount();
    // The password of `account`: from the keyring, or asked for. False when the user cancels.
    bool passwordFor(const TestSend::Account& account, QString* password);
    void showOutcome(const QString& text, bool failed);
    void setSending(bool sending);
    void onDone(const Result<SmtpSender::Report>& report);

    QString m_library;
    QString m_name;
    std::vector<TestSend::Account> m_accounts;
    QComboBox* m_account = nullptr;
    QPushButton* m_edit = nullptr;
    QPushButton* m_remove = nullptr;
    QLineEdit* m_recipients = nullptr;
    QLabel* m_status = nullptr;
    QProgressBar* m_progress = nullptr;
    QPushButton* m_send = nullptr;
    QPushButton* m_close = nullptr;
    QThread* m_worker = nullptr;
    std::shared_ptr<std::atomic_bool> m_cancel;
    std::function<Result<QByteArray>(const QByteArray&)> m_step;
};

// Makes or changes one account; the password goes to the keyring.
class AccountDialog : public QDialog
{
    Q_OBJECT

public:
    AccountDialog(const TestSend::Account& account, const QStringList& takenNames,
                  QWidget* parent = nullptr);

    TestSend::Account account() const;
    // What was typed into the password field; empty keeps the stored one.
    QString password() const;

    void accept() override;

private:
    QStringList m_taken;
    QLineEdit* m_name = nullptr;
    QLineEdit* m_host = nullptr;
    QLineEdit* m_port = nullptr;
    QComboBox* m_security = nullptr;
    QLineEdit* m_user = nullptr;
    QLineEdit* m_password = nullptr;
    QLineEdit* m_from = nullptr;
    QLineEdit* m_fromName = nullptr;
    QLabel* m_problem = nullptr;
};
