#pragma once

#include <QMessageBox>
#include <QString>

class QWidget;

// The window's own widgets showing texts that may carry a template's name,
// subject or path. Such a text comes from a stranger: Qt would take anything
// that looks like markup as rich text, load the pictures it names and draw its
// links, so these show every text exactly as written.
namespace PlainText {

// A tooltip for `text`; Qt reads a tooltip as rich text whenever it looks
// like markup.
QString toolTip(const QString& text);

// QMessageBox's own functions, with the text shown as written.
QMessageBox::StandardButton
message(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text,
        QMessageBox::StandardButtons buttons = QMessageBox::Ok,
        QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);
inline void warning(QWidget* parent, const QString& title, const QString& text)
{
    message(parent, QMessageBox::Warning, title, text);
}
inline void information(QWidget* parent, const QString& title, const QString& text)
{
    message(parent, QMessageBox::Information, title, text);
}

} // namespace PlainText
