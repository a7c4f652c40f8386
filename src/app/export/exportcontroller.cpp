#include "exportcontroller.h"

#include "brandchoice.h"
#include "ccommondialog.h"
#include "core/brand/brandapply.h"
#include "core/export/templateexport.h"
#include "core/platform/settingsstore.h"
#include "exportnotice.h"
#include "failurereport.h"
#include "gallerywindow.h"
#include "plaintext.h"
#include "serviceexportdialog.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
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

} // namespace

ExportController::ExportController(GalleryWindow& window, QWidget* owner, QWidget* preview,
                                   QWidget* focusAfter, QObject* parent)
    : QObject(parent), m_window(window), m_owner(owner),
      m_notice(new ExportNotice(preview, focusAfter, owner))
{
}

QString ExportController::rookpostPath()
{
    const QString folder = modSettings::ReadSetting(SettingKeys::RookpostPath);
    if (folder.isEmpty())
        return QString();
    const QString path = folder + QStringLiteral("/rookpost2");
    const QFileInfo info(path);
    return info.isFile() && info.isExecutable() ? path : QString();
}

// Where the save dialog opens: the folder of the last export, so a run of
// exports lands together; else Documents; else home. Never the working folder,
// which for a program started from a menu is anywhere at all.
QString ExportController::startFolder() const
{
    const QString last = modSettings::ReadSetting(SettingKeys::LastExportFolder);
    if (!last.isEmpty() && QFileInfo(last).isDir())
        return last;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!documents.isEmpty() && QFileInfo(documents).isDir())
        return documents;
    return QDir::homePath();
}

QString ExportController::askForTarget(const QString& title, const QString& extension,
                                       const QString& templateName) const
{
    cCommonDialog dialog;
    dialog.setInitDir(startFolder());
    dialog.setDialogTitle(title);
    dialog.setDefaultExt(extension);
    dialog.setFilter(QStringLiteral("*.") + extension);
    dialog.setFilename(templateName + QLatin1Char('.') + extension);
    dialog.setCancelError(false);
    dialog.setOwner(m_owner);
    dialog.setFlags(cCommonDialog::OverwritePrompt | cCommonDialog::HideReadOnly);
    // With CancelError off a cancel is no failure: it leaves the name empty.
    if (!dialog.ShowSave())
        return QString();
    return dialog.Filename();
}

// Only a folder an export succeeded in: one that refused the export would
// only refuse the next one again. Losing this costs the next dialog no more
// than its starting folder.
void ExportController::rememberFolder(const QString& target) const
{
    modSettings::WriteSetting(SettingKeys::LastExportFolder, QFileInfo(target).absolutePath());
}

bool ExportController::checkTemplate(const QString& title, const QString& name,
                                     const QString& what) const
{
    QByteArray message;
    const Status status =
        TemplateExport::decodeTemplate(m_window.templateLibrary(), name, &message);
    if (!status)
        showFailure(m_owner, title, what, status,
                    tr("Choose another template; a shipped one comes back when Quillery is "
                       "installed again."));
    return status.ok();
}

Result<TemplateStaging::DecodedTemplate> ExportController::messageToExport(const QString& name,
                                                                           QString* brandName) const
{
    brandName->clear();
    Result<TemplateStaging::DecodedTemplate> decoded =
        TemplateExport::decodePreviewed(m_window.templateLibrary(), name);
    if (!decoded)
        return decoded;
    Result<QByteArray> message = inBrand(decoded->message, brandName);
    if (!message)
        return message.status();
    decoded->message = std::move(*message);
    return decoded;
}

Result<QByteArray> ExportController::inBrand(const QByteArray& message, QString* brandName) const
{
    brandName->clear();
    const std::optional<BrandKit> brand = m_brands ? m_brands->active() : std::nullopt;
    if (!brand)
        return message;
    Result<BrandApply::Branded> branded = BrandApply::applyToMessage(message, *brand);
    if (!branded)
        return branded.status();
    // A template without places for a brand goes as shipped, and the notice says no brand.
    if (branded->message != message)
        *brandName = brand->name;
    return std::move(branded->message);
}

void ExportController::exportHtml()
{
    exportAs(Format::Html);
}

void ExportController::exportEml()
{
    exportAs(Format::Eml);
}

void ExportController::exportAs(Format format)
{
    const bool html = format == Format::Html;
    const QString what = html ? tr("The template could not be exported as a web page.")
                              : tr("The template could not be exported as a message file.");
    const QString title = html ? tr("Export as html") : tr("Export as eml");
    const QString name = m_window.currentTemplate();
    if (!checkTemplate(title, name, what))
        return;
    const QString target =
        askForTarget(title, html ? QStringLiteral("htm") : QStringLiteral("eml"), name);
    if (target.isEmpty())
        return;
    QString brandName;
    const Result<TemplateStaging::DecodedTemplate> decoded = messageToExport(name, &brandName);
    const Status status =
        !decoded ? decoded.status()
        : html ? TemplateExport::exportHtmlMessageTo(decoded->message, target, decoded->libraryPath)
               : TemplateExport::exportEmlMessageTo(decoded->message, target, decoded->libraryPath);
    if (!status) {
        showFailure(m_owner, title, what, status,
                    tr("Choose a folder you can write to, with room to spare, and export again."));
        return;
    }
    rememberFolder(target);
    m_notice->showExported(target,
                           brandName.isEmpty()
                               ? QString()
                               //: %1 is the exported file's name, %2 the name of the user's brand.
                               : tr("Exported \u201c%1\u201d in the brand \u201c%2\u201d")
                                     .arg(QFileInfo(target).fileName(), brandName));
}

void ExportController::exportRookpost()
{
    const QString program = rookpostPath();
    if (program.isEmpty()) {
        PlainText::information(m_owner, tr("Hand to Rookpost"), tr("Rookpost is not installed"));
        return;
    }
    const QString what = tr("The template could not be handed to Rookpost.");
    const QString title = tr("Hand to Rookpost");
    const QString name = m_window.currentTemplate();
    if (!checkTemplate(title, name, what))
        return;
    QString page;
    QString warning;
    QString brandName;
    const Result<TemplateStaging::DecodedTemplate> decoded = messageToExport(name, &brandName);
    if (!decoded) {
        showFailure(m_owner, title, what, decoded.status(),
                    tr("Check the brand in \u201c"
                       "Edit brands\u201d, or switch it off, and hand "
                       "the template over again."));
        return;
    }
    if (const Status status = TemplateExport::prepareHandoffOf(*decoded, name, &page, &warning);
        !status) {
        showFailure(m_owner, title, what, status,
                    tr("Make room in the temporary folder named above and hand the template "
                       "over again."));
        return;
    }
    // Arguments go to the program as they are; no shell ever sees the paths.
    QProcess mailer;
    mailer.setProgram(program);
    mailer.setArguments(TemplateExport::rookpostArguments(page));
    if (!mailer.startDetached()) {
        showFailure(m_owner, title, what,
                    Status::failure(QStringLiteral("%1: %2").arg(program, mailer.errorString())),
                    tr("Check that Rookpost starts on its own, or install it again, and hand "
                       "the template over again."));
        return;
    }
    // A damaged template still makes a page; the mailer has it before the user reads why
    // it may look incomplete.
    if (!warning.isEmpty())
        PlainText::warning(m_owner, tr("Hand to Rookpost"),
                           tr("The template was handed to Rookpost, but it is damaged, so the "
                              "page may be incomplete.") +
                               QStringLiteral("\n\n") + warning);
}

void ExportController::exportForService()
{
    const QString what = tr("The template could not be exported for a mailing service.");
    const QString title = tr("Export for a mailing service");
    const QString name = m_window.currentTemplate();
    if (!checkTemplate(title, name, what))
        return;
    ServiceExportDialog dialog(m_owner, m_serviceOptions);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_serviceOptions = dialog.options();
    const QString target = askForTarget(title, QStringLiteral("zip"), name);
    if (target.isEmpty())
        return;
    ServiceExport::Report report;
    QString brandName;
    const Result<TemplateStaging::DecodedTemplate> decoded = messageToExport(name, &brandName);
    const Status status =
        !decoded ? decoded.status()
                 : ServiceExport::exportMessageTo(decoded->message, target, decoded->libraryPath,
                                                  m_serviceOptions, &report);
    if (!status) {
        showFailure(m_owner, title, what, status,
                    tr("Choose a folder you can write to, with room to spare, and export again."));
        return;
    }
    rememberFolder(target);
    const QLocale locale;
    const auto size = [&locale](qint64 bytes) {
        return locale.formattedDataSize(bytes, 0, QLocale::DataSizeTraditionalFormat);
    };
    const QString service = QCoreApplication::translate(
        "MergeFields", MergeFields::service(m_serviceOptions.service).name);
    const QString pageSize = size(report.pageBytes);
    m_notice->showExported(
        target,
        brandName.isEmpty()
            ? tr("Exported \u201c%1\u201d for %2: page %3, images %4")
                  .arg(QFileInfo(target).fileName(), service, pageSize, size(report.imageBytes))
            //: %2 is the mailing service, %3 the name of the user's brand.
            : tr("Exported \u201c%1\u201d for %2 in the brand \u201c%3\u201d: page %4, "
                 "images %5")
                  .arg(QFileInfo(target).fileName(), service, brandName, pageSize,
                       size(report.imageBytes)));
    QStringList warnings;
    if (report.clipped())
        warnings << tr("The page is %1, more than the %2 after which Gmail clips a message: "
                       "its readers see the end, with the unsubscribe link, only after clicking "
                       "\u201cView entire message\u201d. A shorter template avoids that.")
                        .arg(size(report.pageBytes), size(ServiceExport::GmailClipBytes));
    if (!report.unconverted.isEmpty())
        warnings << tr("%1 has no merge tag for %2, so the page still holds it as it is; replace "
                       "it in the service's editor before sending.")
                        .arg(service, report.unconverted.join(QStringLiteral(", ")));
    if (!warnings.isEmpty())
        PlainText::warning(m_owner, title, warnings.join(QStringLiteral("\n\n")));
}
