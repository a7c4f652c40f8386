#include "addtemplatedialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

AddTemplateDialog::AddTemplateDialog(const QString& file, const QStringList& categories,
                                     const QString& category, const QString& name, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(tr("Add a template"));
    setObjectName(QStringLiteral("AddTemplateDialog"));
    auto* layout = new QFormLayout(this);
    auto* source = new QLabel(QDir::toNativeSeparators(file), this);
    source->setTextFormat(Qt::PlainText);
    source->setWordWrap(true);
    layout->addRow(tr("File:"), source);

    m_category = new QComboBox(this);
    m_category->setObjectName(QStringLiteral("category"));
    m_category->setEditable(true);
    m_category->addItems(categories);
    m_category->setCurrentText(category);
    m_category->setAccessibleName(tr("Category"));
    m_category->setToolTip(tr("One of your categories, or a new one"));
    layout->addRow(tr("&Category:"), m_category);

    m_name = new QLineEdit(name, this);
    m_name->setObjectName(QStringLiteral("name"));
    m_name->setAccessibleName(tr("Template name"));
    m_name->setToolTip(tr("The name the category page shows"));
    layout->addRow(tr("&Name:"), m_name);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    //: The button that adds the file to the user's templates.
    buttons->button(QDialogButtonBox::Ok)->setText(tr("Add"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addRow(buttons);
    m_name->setFocus();
    m_name->selectAll();
}

QString AddTemplateDialog::category() const
{
    return m_category->currentText().trimmed();
}

QString AddTemplateDialog::name() const
{
    return m_name->text().trimmed();
}
