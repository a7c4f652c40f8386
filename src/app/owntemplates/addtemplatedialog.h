#pragma once

#include <QDialog>

class QComboBox;
class QLineEdit;

// Asks where a file goes among the user's own templates: the category (one of
// the user's, or a new one typed in) and the template's name, both prefilled.
class AddTemplateDialog : public QDialog
{
    Q_OBJECT

public:
    AddTemplateDialog(const QString& file, const QStringList& categories, const QString& category,
                      const QString& name, QWidget* parent = nullptr);

    QString category() const;
    QString name() const;

private:
    QComboBox* m_category = nullptr;
    QLineEdit* m_name = nullptr;
};
