#include "dialogstyle.h"

#include "appfonts.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QInputDialog>
#include <QLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QSpacerItem>

#include <algorithm>

namespace DialogStyle {

QFont font()
{
    return AppFonts::tahoma(9);
}

int widthForTitle(const QString& title)
{
    // The dialog's own face says nothing about the title bar's, which is
    // usually larger and bold.
    QFont face = QApplication::font();
    face.setBold(true);
    face.setPointSizeF(std::max(face.pointSizeF(), 11.0));
    return QFontMetrics(face).horizontalAdvance(title) + 4 * 28 + 32;
}

void apply(QWidget* dialog)
{
    dialog->setFont(font());
    const int wanted = widthForTitle(dialog->windowTitle());
    // A message box sizes itself to its texts whenever it is shown; a spacer
    // across its grid is the one width it keeps.
    if (auto* box = qobject_cast<QMessageBox*>(dialog)) {
        if (auto* grid = qobject_cast<QGridLayout*>(box->layout()))
            grid->addItem(new QSpacerItem(wanted, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                          grid->rowCount(), 0, 1, grid->columnCount());
        return;
    }
    dialog->setMinimumWidth(std::max(dialog->minimumWidth(), wanted));
    // An input dialog's layout fixes its size by its contents, and its field
    // spans it: the field takes the width.
    if (auto* input = qobject_cast<QInputDialog*>(dialog)) {
        auto* field = input->findChild<QLineEdit*>();
        if (field && input->layout()) {
            const QMargins margins = input->layout()->contentsMargins();
            field->setMinimumWidth(
                std::max(field->minimumWidth(), wanted - margins.left() - margins.right()));
        }
    }
}

} // namespace DialogStyle
