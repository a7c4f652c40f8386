#pragma once

#include "core/platform/status.h"

#include <QMessageBox>
#include <QString>

class QWidget;

// How the window tells the user that something failed: what failed, why in
// words a user understands, and what to do. The core's messages name the path
// and end in the system's own reason ("Read-only file system"); the common
// reasons are said here, once, in the user's language.
namespace FailureReport {

struct Reason
{
    QString text;   // the message with its system reason said in words
    QString system; // the system's own reason it replaced, empty when none was known
};

// `message` ("path: reason") with a common system reason in words: "path: the
// drive it is on can only be read, so nothing can be saved there". A reason
// that is not one of them stays as it is.
Reason explain(const QString& message);

// The same on one line, for a page or a notice: the system's own reason
// follows the words in brackets, for whoever helps the user.
QString inWords(const QString& message);

// A box under the command's `title`: `what` failed, the reason in words with
// the path it names, and `advice`; the system's own message is in its details.
void show(QWidget* owner, const QString& title, const QString& what, const Status& status,
          const QString& advice, QMessageBox::Icon icon = QMessageBox::Warning);

} // namespace FailureReport
