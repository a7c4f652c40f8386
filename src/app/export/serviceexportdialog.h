#pragma once

#include "core/export/serviceexport.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;

// Asks which mailing service a template is exported for, and whether its
// images travel in the archive or are named at the address the user hosts
// them at. Shows the merge tags the chosen service gets.
class ServiceExportDialog : public QDialog
{
    Q_OBJECT

public:
    explicit ServiceExportDialog(QWidget* parent, const ServiceExport::Options& start = {});

    ServiceExport::Options options() const;

    void accept() override;

private:
    void showForms();

    QComboBox* m_service = nullptr;
    QRadioButton* m_inArchive = nullptr;
    QRadioButton* m_atAddress = nullptr;
    QLineEdit* m_address = nullptr;
    QLabel* m_forms = nullptr;
    QLabel* m_problem = nullptr;
};
