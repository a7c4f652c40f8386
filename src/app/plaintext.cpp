#include "plaintext.h"

#include <QInputDialog>
#include <QLabel>
#include <QTextDocument>

namespace PlainText {

QString toolTip(const QString& text)
{
    // A text that does not look like markup is shown as it is already.
    return Qt::mightBeRichText(text) ? Qt::convertFromPlainText(text, Qt::WhiteSpaceNormal) : text;
}

QMessageBox::StandardButton message(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                                    const QString& text, QMessageBox::StandardButtons buttons,
                                    QMessageBox::StandardButton defaultButton)
{
    QMessageBox box(icon, title, text, buttons, parent);
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(defaultButton);
    if (box.exec() == -1)
        return QMessageBox::Cancel;
    return box.standardButton(box.clickedButton());
}

QString getText(QWidget* parent, const QString& title, const QString& label, const QString& text,
                bool* ok)
{
    QInputDialog dialog(parent);
    dialog.setWindowTitle(title);
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setLabelText(label);
    for (QLabel* shown : dialog.findChildren<QLabel*>())
        shown->setTextFormat(Qt::PlainText);
    dialog.setTextValue(text);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    if (ok)
        *ok = accepted;
    return accepted ? dialog.textValue() : QString();
}

} // namespace PlainText
