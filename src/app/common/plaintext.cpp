#include "plaintext.h"

#include "dialogstyle.h"

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
    DialogStyle::apply(&box);
    if (box.exec() == -1)
        return QMessageBox::Cancel;
    return box.standardButton(box.clickedButton());
}

} // namespace PlainText
