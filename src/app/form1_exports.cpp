#include "form1.h"

#include "ccommondialog.h"
#include "core/export/templateexport.h"
#include "core/platform/settingsstore.h"
#include "exportnotice.h"
#include "failurereport.h"
#include "plaintext.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>

namespace {

// What failed, why, and what to do, under the name of the command.
void showFailure(QWidget* owner, const QString& title, const QString& what, const Status& status,
                 const QString& advice)
{
    FailureReport::show(owner, title, what, status, advice);
}

QString writeAdvice()
{
    return QCoreApplication::translate(
        "Form1", "Choose a folder you can write to, with room to spare, and export again.");
}

// Where the save dialog opens: the folder of the last export, so a run of
// exports lands together; else Documents; else home. Never the working folder,
// which for a program started from a menu is anywhere at all.
QString startFolder()
{
    const QString last = modSettings::ReadSetting(SettingKeys::LastExportFolder);
    if (!last.isEmpty() && QFileInfo(last).isDir())
        return last;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!documents.isEmpty() && QFileInfo(documents).isDir())
        return documents;
    return QDir::homePath();
}

// The chosen target, or empty when the user cancelled.
QString askForTarget(QWidget* owner, const QString& title, const QString& extension,
                     const QString& templateName)
{
    cCommonDialog dialog;
    dialog.setInitDir(startFolder());
    dialog.setDialogTitle(title);
    dialog.setDefaultExt(extension);
    dialog.setFilter(QStringLiteral("*.") + extension);
    dialog.setFilename(templateName + QLatin1Char('.') + extension);
    dialog.setCancelError(false);
    dialog.setOwner(owner);
    dialog.setFlags(cCommonDialog::OverwritePrompt | cCommonDialog::HideReadOnly);
    // With CancelError off a cancel is no failure: it leaves the name empty.
    if (!dialog.ShowSave())
        return QString();
    return dialog.Filename();
}

// Only a folder an export succeeded in: one that refused the export would
// only refuse the next one again. Losing this costs the next dialog no more
// than its starting folder.
void rememberExportFolder(const QString& target)
{
    modSettings::WriteSetting(SettingKeys::LastExportFolder, QFileInfo(target).absolutePath());
}

// Says why there is nothing to export before the user picks a file for it.
bool checkTemplate(QWidget* owner, const QString& title, const QString& appFolder,
                   const QString& name, const QString& what)
{
    QByteArray message;
    const Status status = TemplateExport::DecodeTemplate(appFolder, name, &message);
    if (!status)
        showFailure(owner, title, what, status,
                    QCoreApplication::translate("Form1",
                                                "Choose another template; a shipped one comes "
                                                "back when Quillery is installed again."));
    return status.ok();
}

} // namespace

void Form1::ExportHtml()
{
    const QString what = tr("The template could not be exported as a web page.");
    const QString title = tr("Export as html");
    const QString name = CurrentTemplate;
    if (!checkTemplate(this, title, templateLibrary(), name, what))
        return;
    const QString target = askForTarget(this, title, QStringLiteral("htm"), name);
    if (target.isEmpty())
        return;
    if (const Status status = TemplateExport::ExportHtmlTo(templateLibrary(), name, target);
        !status) {
        showFailure(this, title, what, status, writeAdvice());
    } else {
        rememberExportFolder(target);
        m_exportNotice->showExported(target);
    }
}

void Form1::ExportEml()
{
    const QString what = tr("The template could not be exported as a message file.");
    const QString title = tr("Export as eml");
    const QString name = CurrentTemplate;
    if (!checkTemplate(this, title, templateLibrary(), name, what))
        return;
    const QString target = askForTarget(this, title, QStringLiteral("eml"), name);
    if (target.isEmpty())
        return;
    if (const Status status = TemplateExport::ExportEmlTo(templateLibrary(), name, target);
        !status) {
        showFailure(this, title, what, status, writeAdvice());
    } else {
        rememberExportFolder(target);
        m_exportNotice->showExported(target);
    }
}

void Form1::ExportRookpost()
{
    const QString program = GetRPPath();
    if (program.isEmpty()) {
        PlainText::information(this, tr("Hand to Rookpost"), tr("Rookpost is not installed"));
        return;
    }
    const QString what = tr("The template could not be handed to Rookpost.");
    const QString title = tr("Hand to Rookpost");
    const QString name = CurrentTemplate;
    if (!checkTemplate(this, title, templateLibrary(), name, what))
        return;
    QString page;
    QString warning;
    if (const Status status =
            TemplateExport::PrepareHandoff(templateLibrary(), name, &page, &warning);
        !status) {
        showFailure(this, title, what, status,
                    tr("Make room in the temporary folder named above and hand the template "
                       "over again."));
        return;
    }
    // Arguments go to the program as they are; no shell ever sees the paths.
    QProcess mailer;
    mailer.setProgram(program);
    mailer.setArguments(TemplateExport::RookpostArguments(page));
    if (!mailer.startDetached()) {
        showFailure(this, title, what,
                    Status::failure(QStringLiteral("%1: %2").arg(program, mailer.errorString())),
                    tr("Check that Rookpost starts on its own, or install it again, and hand "
                       "the template over again."));
        return;
    }
    // A damaged template still makes a page; the mailer has it before the user reads why
    // it may look incomplete.
    if (!warning.isEmpty())
        PlainText::warning(this, tr("Hand to Rookpost"),
                           tr("The template was handed to Rookpost, but it is damaged, so the "
                              "page may be incomplete.") +
                               QStringLiteral("\n\n") + warning);
}
