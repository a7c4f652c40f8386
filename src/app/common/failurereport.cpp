#include "failurereport.h"

#include "dialogstyle.h"

#include <QCoreApplication>

#include <cerrno>
#include <cstring>
#include <initializer_list>

namespace FailureReport {

namespace {

struct Known
{
    std::initializer_list<int> codes;
    const char* words;
};

// The reasons users meet when saving, reading, renaming and removing files.
// Each ends a sentence that begins with the path.
const Known KnownReasons[] = {
    {{EACCES, EPERM},
     QT_TRANSLATE_NOOP("FailureReport", "your user account is not allowed to use this file or "
                                        "folder")},
    {{EROFS},
     QT_TRANSLATE_NOOP("FailureReport", "the drive it is on can only be read, so nothing can be "
                                        "saved or changed there")},
    {{ENOSPC, EDQUOT},
     QT_TRANSLATE_NOOP("FailureReport", "there is no room left on its drive, or your share of "
                                        "it is used up")},
    {{ENOENT},
     QT_TRANSLATE_NOOP("FailureReport", "there is no such file or folder; it may have been "
                                        "moved, renamed or removed")},
    {{ENOTDIR},
     QT_TRANSLATE_NOOP("FailureReport", "a part of this path is a file, where a folder should "
                                        "be")},
    {{ENAMETOOLONG},
     QT_TRANSLATE_NOOP("FailureReport", "the name or the path is too long for the system")},
    {{EBUSY, ETXTBSY}, QT_TRANSLATE_NOOP("FailureReport", "the file is in use by another program")},
    {{EISDIR}, QT_TRANSLATE_NOOP("FailureReport", "this is a folder, where a file should be")},
    {{EIO},
     QT_TRANSLATE_NOOP("FailureReport", "the drive could not be read or written; it may be "
                                        "damaged or no longer connected")},
};

// How the system words `code`: Qt's text (translated for a few codes) or the
// C library's, whichever wrote the message.
QStringList systemTexts(int code)
{
    QStringList texts{qt_error_string(code), QString::fromLocal8Bit(std::strerror(code))};
    texts.removeDuplicates();
    texts.removeAll(QString());
    return texts;
}

} // namespace

Reason explain(const QString& message)
{
    // The reason is the message's last part: "path: reason". The last match
    // wins, so that a folder named like a reason is never taken for one.
    qsizetype best = -1;
    QString system;
    const char* words = nullptr;
    for (const Known& known : KnownReasons)
        for (int code : known.codes)
            for (const QString& text : systemTexts(code)) {
                const qsizetype at = message.lastIndexOf(text);
                if (at < 0)
                    continue;
                const bool starts = at == 0 || (at >= 2 && message.mid(at - 2, 2) == u": ");
                const bool ends = at + text.size() == message.size() ||
                                  !message.at(at + text.size()).isLetterOrNumber();
                if (at > best && starts && ends) {
                    best = at;
                    system = text;
                    words = known.words;
                }
            }
    if (!words)
        return {message, QString()};
    return {message.left(best) + QCoreApplication::translate("FailureReport", words) +
                message.mid(best + system.size()),
            system};
}

QString inWords(const QString& message)
{
    const Reason reason = explain(message);
    if (reason.system.isEmpty())
        return reason.text;
    //: A reason in words, then the system's own words for it, for whoever helps the user.
    return QCoreApplication::translate("FailureReport", "%1 (system: %2)")
        .arg(reason.text, reason.system);
}

void show(QWidget* owner, const QString& title, const QString& what, const Status& status,
          const QString& advice, QMessageBox::Icon icon)
{
    const Reason reason = explain(status.message());
    QMessageBox box(icon, title,
                    what + QStringLiteral("\n\n") + reason.text + QStringLiteral("\n\n") + advice,
                    QMessageBox::Ok, owner);
    // The reason comes from the system and the paths from the user or a template.
    box.setTextFormat(Qt::PlainText);
    if (!reason.system.isEmpty())
        box.setDetailedText(
            //: The details of an error box, kept for whoever helps the user.
            QCoreApplication::translate("FailureReport", "The system's message: %1")
                .arg(status.message()));
    DialogStyle::apply(&box);
    box.exec();
}

} // namespace FailureReport
