#include "serviceexportdialog.h"

#include "dialogstyle.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

ServiceExportDialog::ServiceExportDialog(QWidget* parent, const ServiceExport::Options& start)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("serviceExportDialog"));
    setWindowTitle(tr("Export for a mailing service"));

    m_service = new QComboBox(this);
    m_service->setObjectName(QStringLiteral("serviceList"));
    for (const MergeFields::ServiceInfo& info : MergeFields::services())
        m_service->addItem(QCoreApplication::translate("MergeFields", info.name), int(info.id));
    m_service->setCurrentIndex(m_service->findData(int(start.service)));
    m_service->setAccessibleName(tr("Mailing service"));
    auto* serviceLabel = new QLabel(tr("&Mailing service:"), this);
    serviceLabel->setBuddy(m_service);

    m_inArchive = new QRadioButton(tr("&Images in the zip, beside index.html"), this);
    m_inArchive->setObjectName(QStringLiteral("imagesInArchive"));
    m_atAddress = new QRadioButton(tr("Images &hosted at this web address:"), this);
    m_atAddress->setObjectName(QStringLiteral("imagesAtAddress"));
    m_address = new QLineEdit(start.address, this);
    m_address->setObjectName(QStringLiteral("imagesAddress"));
    m_address->setPlaceholderText(QStringLiteral("https://"));
    m_address->setAccessibleName(tr("Web address of the images"));
    (start.images == ServiceExport::Images::AtAddress ? m_atAddress : m_inArchive)
        ->setChecked(true);
    m_address->setEnabled(m_atAddress->isChecked());
    connect(m_atAddress, &QRadioButton::toggled, m_address, &QLineEdit::setEnabled);

    // Tags and reasons are text the user reads, never markup.
    m_forms = new QLabel(this);
    m_forms->setObjectName(QStringLiteral("mergeTags"));
    m_forms->setTextFormat(Qt::PlainText);
    m_forms->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_forms->setWordWrap(true);
    m_problem = new QLabel(this);
    m_problem->setObjectName(QStringLiteral("problem"));
    m_problem->setTextFormat(Qt::PlainText);
    m_problem->setWordWrap(true);
    m_problem->setStyleSheet(QStringLiteral("color:#B00000"));
    m_problem->hide();
    connect(m_service, &QComboBox::currentIndexChanged, this, &ServiceExportDialog::showForms);
    showForms();

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(tr("&Export\u2026"));
    buttons->button(QDialogButtonBox::Cancel)->setText(tr("Cancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &ServiceExportDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* form = new QFormLayout;
    form->addRow(serviceLabel, m_service);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_forms);
    layout->addWidget(m_inArchive);
    layout->addWidget(m_atAddress);
    layout->addWidget(m_address);
    layout->addWidget(m_problem);
    layout->addWidget(buttons);
    setTabOrder(m_service, m_inArchive);
    setTabOrder(m_inArchive, m_atAddress);
    setTabOrder(m_atAddress, m_address);
    DialogStyle::apply(this);
    resize(qMax(width(), 460), height());
    m_service->setFocus();
}

ServiceExport::Options ServiceExportDialog::options() const
{
    ServiceExport::Options options;
    options.service = MergeFields::Service(m_service->currentData().toInt());
    options.images = m_atAddress->isChecked() ? ServiceExport::Images::AtAddress
                                              : ServiceExport::Images::InArchive;
    options.address = m_address->text().trimmed();
    return options;
}

void ServiceExportDialog::accept()
{
    if (m_atAddress->isChecked()) {
        const Result<QByteArray> address = ServiceExport::checkAddress(m_address->text());
        if (!address) {
            m_problem->setText(address.status().message());
            m_problem->show();
            m_address->setAccessibleDescription(address.status().message());
            m_address->setFocus();
            return;
        }
    }
    QDialog::accept();
}

void ServiceExportDialog::showForms()
{
    const auto service = MergeFields::Service(m_service->currentData().toInt());
    QStringList lines;
    for (const MergeFields::Field& field : MergeFields::fields()) {
        const MergeFields::Form form = MergeFields::form(service, field);
        QString written;
        if (form.html)
            written = QString::fromLatin1(form.url && field.isUrl ? form.url : form.html);
        else if (form.linkElement)
            written = QStringLiteral("<%1>\u2026</%1>").arg(QLatin1String(form.linkElement));
        else
            written = tr("stays %1 (this service has no tag for it)")
                          .arg(QString::fromLatin1(MergeFields::token(field)));
        lines << QStringLiteral("%1: %2").arg(
            QCoreApplication::translate("MergeFields", field.label), written);
    }
    m_forms->setText(tr("Merge tags written:") + QLatin1Char('\n') + lines.join(QLatin1Char('\n')));
}
